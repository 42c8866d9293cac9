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

// Its operations are virtual so that a renderer in another module can adapt its scene.
class XGLVolumeScene : public XGLRenderable {
public:
    XGLVolumeScene();
    ~XGLVolumeScene() override;
    XGLVolumeScene(const XGLVolumeScene&) = delete;
    XGLVolumeScene& operator=(const XGLVolumeScene&) = delete;

    void Reset() override;

    virtual void ShowOrientator(bool inShow);
    virtual bool IsOrientatorVisible() const;
    virtual void ShowFloor(bool inShow);
    virtual bool IsFloorVisible() const;
    virtual void SetFloorPosition(float inPosition);
    virtual float GetFloorPosition() const;
    virtual void SetFloorColour(const XARGB32Colour& inColour);
    virtual XARGB32Colour GetFloorColour() const;
    virtual void SetFloorChecked(bool inChecked);
    virtual bool IsFloorChecked() const;
    virtual void ShowTimestamp(bool inShow);
    virtual bool IsTimestampVisible() const;
    virtual void SetTimestampTime(const XTime& inTime);
    virtual void SetTimestampColour(const XARGB32Colour& inColour);
    virtual XARGB32Colour GetTimestampColour() const;
    virtual void ShowBall(bool inShow);
    virtual bool IsBallVisible() const;
    virtual X3DMatrix ScreenToBallPoint(const XPoint& inPoint);
    virtual void ShowScale(bool inShow);
    virtual bool IsScaleVisible() const;
    virtual XARGB32Colour GetScaleColour() const;
    virtual void SetScaleColour(const XARGB32Colour& inColour);
    // Only the caption; it shows while the scale does.
    virtual void ShowScaleCalibration(bool inShow);
    virtual bool IsScaleCalibrationVisible() const;
    virtual void SetVolumeSequenceMode(bool inSequence);
    // Lays out the scale for voxels of inX × inY × inZ µm in the box inRect and writes
    // the length of one scene unit into the caption.
    virtual void CalibrateScale(float inX, float inY, float inZ, const X3DRect& inRect);

    virtual XGLFitVolumeToUnitCube& GetUnitCube() { return itsUnitCube; }
    XGLRenderable& GetWorldTransform() { return itsWorldTransform; }
    virtual XGLRenderable& GetTransform1() { return itsTransform1; }
    virtual XGLRenderable& GetTransform2() { return itsTransform2; }
    virtual XGLRenderable& GetTransform3() { return itsTransform3; }
    virtual XGLRenderable& GetTransform4() { return itsTransform4; }
    virtual XGLRenderable& GetVolumeTransform() { return itsVolumeTransform; }
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
