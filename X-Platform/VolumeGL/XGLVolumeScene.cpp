#include "XGLVolumeScene.h"

#include "XGLDisableAttachment.h"
#include "XGLStaticTextAlignAttachment.h"
#include "XOpenGL.h"
#include "XString.h"

XGLVolumeScene::XGLVolumeScene()
    : itsFloor(10.0, 10.0, 1.2, 0.4), itsUnitCube(X3DRect(), 1), itsScaleCaption(12.0, 1, 0)
{
    const XARGB32Colour white(255, 255, 255, 255);

    AddChild(itsWorldTransform);
    itsWorldTransform.AddChild(itsFloor);
    itsFloor.SetVisible(true);
    itsWorldTransform.AddChild(itsTransform1);

    itsTransform1.AddChild(itsTransform2);
    itsTransform2.AddChild(itsTransform3);
    itsTransform3.AddChild(itsTransform4);
    itsTransform4.AddChild(itsVolumeTransform);

    itsTransform3.AddChild(itsBall, 0);
    itsBall.SetVisible(false);

    itsVolumeTransform.AddChild(itsUnitCube);
    itsVolumeTransform.AddChild(itsOrientator);

    itsUnitCube.AddChild(itsScaleGroup);
    itsScaleGroup.SetVisible(false);
    itsScaleGroup.AddChild(itsScaleCaption);
    itsScaleCaption.SetVisible(false);
    itsScaleGroup.AddChild(itsScaleGraph);
    // The graph itself starts visible; the hidden group keeps it off screen until the
    // first ShowScale, which switches both.
    itsScaleGraph.SetColour(white);

    AddChild(itsTimeGroup);
    itsTimeGroup.SetVisible(false);
    itsTimeGroup.AddChild(itsTimeDisplay);
    itsTimeDisplay.SetVisible(false);

    itsScaleCaption.AddAttachment(new XGLDisableAttachment(GL_LIGHTING));
    itsScaleCaption.AddAttachment(new XGLDisableAttachment(GL_DEPTH_TEST));
    itsScaleCaption.AddAttachment(new XGLStaticTextAlignAttachment(1, -10));
    itsScaleCaption.SetPosition(0.0, 10.0, 0.0);
    itsScaleCaption.SetColour(white);

    itsTransformQueue.push_back(&itsWorldTransform);
    itsTransformQueue.push_back(&itsTransform1);
    itsTransformQueue.push_back(&itsTransform2);
    itsTransformQueue.push_back(&itsTransform3);
    itsTransformQueue.push_back(&itsTransform4);
    itsTransformQueue.push_back(&itsVolumeTransform);
}

XGLVolumeScene::~XGLVolumeScene() = default;

void XGLVolumeScene::Reset()
{
    XGLRenderable::Reset();
    itsOrientator.Reset();
    itsFloor.Reset();
    itsTimeDisplay.Reset();
    itsBall.Reset();
    itsUnitCube.Reset();
    itsWorldTransform.Reset();
    itsVolumeTransform.Reset();
    itsTransform1.Reset();
    itsTransform2.Reset();
    itsTransform3.Reset();
    itsTransform4.Reset();
}

void XGLVolumeScene::ShowOrientator(bool inShow)
{
    itsOrientator.SetVisible(inShow);
    RefreshScene(false);
}

bool XGLVolumeScene::IsOrientatorVisible() const { return itsOrientator.IsVisible(); }

void XGLVolumeScene::ShowFloor(bool inShow)
{
    itsFloor.SetVisible(inShow);
    RefreshScene(false);
}

bool XGLVolumeScene::IsFloorVisible() const { return itsFloor.IsVisible(); }

void XGLVolumeScene::SetFloorPosition(float inPosition) { itsFloor.SetLevel(double(inPosition)); }

float XGLVolumeScene::GetFloorPosition() const { return float(itsFloor.GetLevel()); }

void XGLVolumeScene::SetFloorColour(const XARGB32Colour& inColour) { itsFloor.SetColour1(inColour); }

XARGB32Colour XGLVolumeScene::GetFloorColour() const { return itsFloor.GetColour1(); }

void XGLVolumeScene::SetFloorChecked(bool inChecked) { itsFloor.SetChecked(inChecked); }

bool XGLVolumeScene::IsFloorChecked() const { return itsFloor.IsChecked(); }

void XGLVolumeScene::ShowTimestamp(bool inShow)
{
    itsTimeDisplay.SetVisible(inShow);
    RefreshScene(false);
}

bool XGLVolumeScene::IsTimestampVisible() const { return itsTimeDisplay.IsVisible(); }

void XGLVolumeScene::SetTimestampTime(const XTime& inTime)
{
    itsTimeDisplay.SetTime(inTime);
    RefreshScene(false);
}

void XGLVolumeScene::SetTimestampColour(const XARGB32Colour& inColour)
{
    itsTimeDisplay.SetColour(inColour);
    RefreshScene(false);
}

XARGB32Colour XGLVolumeScene::GetTimestampColour() const { return itsTimeDisplay.GetColour(); }

void XGLVolumeScene::ShowBall(bool inShow)
{
    itsBall.SetVisible(inShow);
    RefreshScene(false);
}

bool XGLVolumeScene::IsBallVisible() const { return itsBall.IsVisible(); }

X3DMatrix XGLVolumeScene::ScreenToBallPoint(const XPoint& inPoint)
{
    return itsBall.GetPointOnBallFromScreenPoint(inPoint);
}

void XGLVolumeScene::ShowScale(bool inShow)
{
    itsScaleGraph.SetVisible(inShow);
    itsScaleGroup.SetVisible(inShow);
    RefreshScene(false);
}

bool XGLVolumeScene::IsScaleVisible() const { return itsScaleGraph.IsVisible(); }

XARGB32Colour XGLVolumeScene::GetScaleColour() const { return itsScaleGraph.GetColour(); }

void XGLVolumeScene::SetScaleColour(const XARGB32Colour& inColour)
{
    itsScaleGraph.SetColour(inColour);
    itsScaleCaption.SetColour(inColour);
    RefreshScene(false);
}

void XGLVolumeScene::ShowScaleCalibration(bool inShow) { itsScaleCaption.SetVisible(inShow); }

bool XGLVolumeScene::IsScaleCalibrationVisible() const { return itsScaleCaption.IsVisible(); }

void XGLVolumeScene::SetVolumeSequenceMode(bool inSequence) { itsTimeGroup.SetVisible(inSequence); }

void XGLVolumeScene::CalibrateScale(float inX, float inY, float inZ, const X3DRect& inRect)
{
    const double unit = itsScaleGraph.CalibrateForDimension(10, double(inX), double(inY), double(inZ), inRect);
    itsScaleCaption.SetText(XString("1 Unit = %1 \xC2\xB5m").Replace(XString::FromFloat64(unit, 1)));
}
