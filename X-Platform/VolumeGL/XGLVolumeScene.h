#pragma once
// The graph the legacy volume renderer hangs under its window: the chain of view
// transforms, the unit-cube fit of the volume and the scene's decorations.
#include "X3DMatrix.h"
#include "X3DRect.h"
#include "XARGB32Colour.h"
#include "XGLBoundingGraph.h"
#include "XGLFitVolumeToUnitCube.h"
#include "XGLFloor.h"
#include "XGLInteractiveBall.h"
#include "XGLOrientator.h"
#include "XGLRenderable.h"
#include "XGLStaticText.h"
#include "XGLTimeDisplay.h"
#include "XPoint.h"
#include "XPtrVector.h"

class XTime;

class XGLVolumeScene : public XGLRenderable {
public:
    XGLVolumeScene();
    ~XGLVolumeScene() override;
    XGLVolumeScene(const XGLVolumeScene&) = delete;
    XGLVolumeScene& operator=(const XGLVolumeScene&) = delete;

    void Reset() override;

    void ShowOrientator(bool inShow);
    bool IsOrientatorVisible() const;
    void ShowFloor(bool inShow);
    bool IsFloorVisible() const;
    void SetFloorPosition(float inPosition);
    float GetFloorPosition() const;
    void SetFloorColour(const XARGB32Colour& inColour);
    XARGB32Colour GetFloorColour() const;
    void SetFloorChecked(bool inChecked);
    bool IsFloorChecked() const;
    void ShowTimestamp(bool inShow);
    bool IsTimestampVisible() const;
    void SetTimestampTime(const XTime& inTime);
    void SetTimestampColour(const XARGB32Colour& inColour);
    XARGB32Colour GetTimestampColour() const;
    void ShowBall(bool inShow);
    bool IsBallVisible() const;
    X3DMatrix ScreenToBallPoint(const XPoint& inPoint);
    void ShowScale(bool inShow);
    bool IsScaleVisible() const;
    XARGB32Colour GetScaleColour() const;
    void SetScaleColour(const XARGB32Colour& inColour);
    // Only the caption; it shows while the scale does.
    void ShowScaleCalibration(bool inShow);
    bool IsScaleCalibrationVisible() const;
    void SetVolumeSequenceMode(bool inSequence);
    // Lays out the scale for voxels of inX × inY × inZ µm in the box inRect and writes
    // the length of one scene unit into the caption.
    void CalibrateScale(float inX, float inY, float inZ, const X3DRect& inRect);

    XGLFitVolumeToUnitCube& GetUnitCube() { return itsUnitCube; }
    XGLRenderable& GetWorldTransform() { return itsWorldTransform; }
    XGLRenderable& GetTransform1() { return itsTransform1; }
    XGLRenderable& GetTransform2() { return itsTransform2; }
    XGLRenderable& GetTransform3() { return itsTransform3; }
    XGLRenderable& GetTransform4() { return itsTransform4; }
    XGLRenderable& GetVolumeTransform() { return itsVolumeTransform; }
    const XGLRenderable& GetVolumeTransform() const { return itsVolumeTransform; }
    // World transform, transforms 1 to 4, volume transform.
    const XPtrVector<XGLRenderable>& GetTransformQueue() const { return itsTransformQueue; }
    XGLInteractiveBall& GetBall() { return itsBall; }
    XGLFloor& GetFloor() { return itsFloor; }
    XGLOrientator& GetOrientator() { return itsOrientator; }
    XGLTimeDisplay& GetTimeDisplay() { return itsTimeDisplay; }
    XGLRenderable& GetTimeGroup() { return itsTimeGroup; }
    XGLRenderable& GetScaleGroup() { return itsScaleGroup; }
    XGLBoundingGraph& GetScaleGraph() { return itsScaleGraph; }
    XGLStaticText& GetScaleCaption() { return itsScaleCaption; }

private:
    XGLOrientator itsOrientator;
    XGLFloor itsFloor;
    XGLTimeDisplay itsTimeDisplay;
    XGLInteractiveBall itsBall;
    XGLFitVolumeToUnitCube itsUnitCube;
    XGLRenderable itsTimeGroup;
    XGLRenderable itsScaleGroup;
    XGLBoundingGraph itsScaleGraph;
    XGLStaticText itsScaleCaption;
    XGLRenderable itsWorldTransform;
    XGLRenderable itsTransform1;
    XGLRenderable itsTransform2;
    XGLRenderable itsTransform3;
    XGLRenderable itsTransform4;
    XGLRenderable itsVolumeTransform;
    XPtrVector<XGLRenderable> itsTransformQueue;
};
