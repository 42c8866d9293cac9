#include "XGLVolumeRenderer.h"

#include "XARGB32Volume.h"
#include "XAssert.h"
#include "XCamera.h"
#include "XException.h"
#include "XGLCameraAttachment.h"
#include "XGLContext.h"
#include "XGLWindowFactory.h"
#include "XVolumeRenderingViewProtocol.h"

namespace {
// Sets a context's quality mode for a scope.
class XQualityModeScope {
public:
    XQualityModeScope(XGLContext& inContext, XGLContext::XQualityMode inMode)
        : itsContext(inContext), itsSaved(inContext.GetQualityMode())
    {
        itsContext.SetQualityMode(inMode);
    }
    ~XQualityModeScope() { itsContext.SetQualityMode(itsSaved); }

private:
    XGLContext& itsContext;
    XGLContext::XQualityMode itsSaved;
};
} // namespace

XGLVolumeRenderer::XGLVolumeRenderer(XVolumeRenderingViewProtocol& inView)
{
    InitialiseUserInterface(inView.GetRendererEnclosureWnd());
    if (!itsContext) {
        // A renderer without its window could only crash later: refuse to exist.
        X_REPORT("itsContext != 0");
        throw XException(XException::kOpenGLError,
                         "The 3D view could not create its OpenGL window. Check the graphics driver and try again.");
    }
    itsContext->AddChild(itsScene);
    itsCameraAttachment = new XGLCameraAttachment(MakeDefaultCamera());
    itsContext->AddAttachment(itsCameraAttachment);
}

XGLVolumeRenderer::~XGLVolumeRenderer()
{
    if (itsContext && itsToolHook)
        XGLWindowFactory::Get().RemoveToolHook(*itsContext, *itsToolHook);
    delete itsToolHook;
    itsToolHook = nullptr;
    delete itsContext; // takes the camera attachment with it
    itsContext = nullptr;
    itsCameraAttachment = nullptr;
}

XCamera XGLVolumeRenderer::MakeDefaultCamera()
{
    XCamera camera;
    camera.RotateAroundPoint(XMathVectorF3(0.0f, 0.0f, 0.0f), -10.0f, XMathVectorF3(1.0f, 0.0f, 0.0f));
    return camera;
}

void XGLVolumeRenderer::InitialiseUserInterface(WRendererEnclosureWnd& inEnclosure)
{
    try {
        itsContext = XGLWindowFactory::Get().MakeRendererWindow(inEnclosure);
    } catch (const XException&) {
        return; // reported by the window
    }
    itsContext->RefreshScene(true);
}

bool XGLVolumeRenderer::IsStereoModeSupported(XStereoMode inMode) const
{
    if (inMode == XStereoMode(XGLContext::kStereoHardware))
        return XGLContext::IsGLStereoSupported();
    return true;
}

XVolumeRendererBase::XStereoMode XGLVolumeRenderer::GetStereoMode()
{
    return XStereoMode(itsContext->GetStereoMode());
}

void XGLVolumeRenderer::SetStereoMode(XStereoMode inMode)
{
    itsContext->SetStereoMode(XGLContext::XStereoMode(inMode));
    itsContext->RefreshScene(false);
}

bool XGLVolumeRenderer::IsOrientatorVisible() const { return itsScene.IsOrientatorVisible(); }
void XGLVolumeRenderer::ShowOrientator(bool inShow) { itsScene.ShowOrientator(inShow); }
bool XGLVolumeRenderer::IsScaleVisible() const { return itsScene.IsScaleVisible(); }
void XGLVolumeRenderer::ShowScale(bool inShow) { itsScene.ShowScale(inShow); }
XARGB32Colour XGLVolumeRenderer::GetScaleColour() { return itsScene.GetScaleColour(); }
void XGLVolumeRenderer::SetScaleColour(XARGB32Colour inColour) { itsScene.SetScaleColour(inColour); }
bool XGLVolumeRenderer::IsScaleCalibrationVisible() const { return itsScene.IsScaleCalibrationVisible(); }
void XGLVolumeRenderer::ShowScaleCalibration(bool inShow) { itsScene.ShowScaleCalibration(inShow); }
bool XGLVolumeRenderer::IsFloorVisible() const { return itsScene.IsFloorVisible(); }
void XGLVolumeRenderer::ShowFloor(bool inShow) { itsScene.ShowFloor(inShow); }
void XGLVolumeRenderer::SetFloorPosition(float inPosition) { itsScene.SetFloorPosition(inPosition); }
float XGLVolumeRenderer::GetFloorPosition() const { return itsScene.GetFloorPosition(); }
void XGLVolumeRenderer::SetFloorPattern(XFloorPattern inPattern) { itsScene.SetFloorChecked(inPattern == 1); }
XVolumeRendererBase::XFloorPattern XGLVolumeRenderer::GetFloorPattern() { return itsScene.IsFloorChecked() ? 1 : 0; }
void XGLVolumeRenderer::SetFloorColour(const XARGB32Colour& inColour) { itsScene.SetFloorColour(inColour); }
XARGB32Colour XGLVolumeRenderer::GetFloorColour() { return itsScene.GetFloorColour(); }
bool XGLVolumeRenderer::IsBallVisible() const { return itsScene.IsBallVisible(); }
void XGLVolumeRenderer::ShowBall(bool inShow) { itsScene.ShowBall(inShow); }
X3DMatrix XGLVolumeRenderer::ScreenToBallPoint(const XPoint& inPoint) { return itsScene.ScreenToBallPoint(inPoint); }
XARGB32Colour XGLVolumeRenderer::GetBackgroundColour() { return itsContext->GetClearColor(); }
void XGLVolumeRenderer::SetBackgroundColour(XARGB32Colour inColour) { itsContext->SetClearColor(inColour); }
bool XGLVolumeRenderer::IsTimestampVisible() const { return itsScene.IsTimestampVisible(); }
void XGLVolumeRenderer::ShowTimestamp(bool inShow) { itsScene.ShowTimestamp(inShow); }
void XGLVolumeRenderer::SetTimestampTime(const XTime& inTime) { itsScene.SetTimestampTime(inTime); }
XARGB32Colour XGLVolumeRenderer::GetTimestampColour() { return itsScene.GetTimestampColour(); }
void XGLVolumeRenderer::SetTimestampColour(const XARGB32Colour& inColour) { itsScene.SetTimestampColour(inColour); }

XGLRenderable* XGLVolumeRenderer::GetQueueEntry(XMatrixTransformID inID) const
{
    const XPtrVector<XGLRenderable>& queue = itsScene.GetTransformQueue();
    if (inID >= queue.size()) {
        X_REPORT("inID < transform queue size");
        return nullptr;
    }
    return queue[inID];
}

void XGLVolumeRenderer::GetTransformMatrix(XMatrixTransformID inID, X3DMatrix& outMatrix) const
{
    if (XGLRenderable* node = GetQueueEntry(inID))
        outMatrix = node->GetRotation();
}

void XGLVolumeRenderer::SetTransformMatrix(XMatrixTransformID inID, const X3DMatrix& inMatrix)
{
    if (XGLRenderable* node = GetQueueEntry(inID))
        node->SetRotation(XGLMatrix(inMatrix));
}

void XGLVolumeRenderer::GetVolumeWorldMatrix(X3DMatrix& outMatrix) const { GetTransformMatrix(5, outMatrix); }

void XGLVolumeRenderer::SetVolumeWorldMatrix(const X3DMatrix& inMatrix) { SetTransformMatrix(5, inMatrix); }

void XGLVolumeRenderer::GetScreenToVolumeMatrix(X3DMatrix& outMatrix) const
{
    outMatrix = !static_cast<const X3DMatrix&>(itsScene.GetVolumeTransform().GetLastWorldToScreenMatrix());
}

void XGLVolumeRenderer::GetCamera(XCamera& outCamera) const { outCamera = itsCameraAttachment->GetCamera(); }

void XGLVolumeRenderer::SetCamera(const XCamera& inCamera) { itsCameraAttachment->SetCamera(inCamera); }

void XGLVolumeRenderer::ResetView()
{
    XVolumeRendererBase::ResetView();
    itsScene.Reset();
    itsCameraAttachment->SetCamera(MakeDefaultCamera());
}

void XGLVolumeRenderer::SetWorldScale(float inScale) { itsScene.GetWorldTransform().SetScale(double(inScale)); }
float XGLVolumeRenderer::GetWorldScale() const { return float(itsScene.GetTransformQueue()[0]->GetScale()); }
void XGLVolumeRenderer::SetSceneScale(float inScale) { itsScene.SetScale(double(inScale)); }
float XGLVolumeRenderer::GetSceneScale() const { return float(itsScene.GetScale()); }

void XGLVolumeRenderer::Render(bool inImmediately) { itsContext->RefreshScene(inImmediately); }

XVolume* XGLVolumeRenderer::RenderView()
{
    XQualityModeScope quality(*itsContext, 1);
    return itsContext->RenderToVolume();
}

void XGLVolumeRenderer::Render(XARGB32Volume& outImage)
{
    std::unique_ptr<XVolume> picture;
    {
        XQualityModeScope quality(*itsContext, 1);
        picture.reset(itsContext->RenderToVolume(outImage.GetBounds().GetXYRect()));
    }
    if (picture)
        picture->CopyInto(outImage);
}

bool XGLVolumeRenderer::IsToolSupported(XVolumeRendererTool inTool) const { return inTool != kToolOther; }

void XGLVolumeRenderer::SetToolSelf(XVolumeRendererTool inTool)
{
    XGLWindowFactory& factory = XGLWindowFactory::Get();
    if (itsToolHook) {
        factory.RemoveToolHook(*itsContext, *itsToolHook);
        delete itsToolHook;
        itsToolHook = nullptr;
    }
    itsToolHook = factory.MakeToolHook(*this, inTool);
    if (itsToolHook)
        factory.AddToolHook(*itsContext, *itsToolHook);
}
