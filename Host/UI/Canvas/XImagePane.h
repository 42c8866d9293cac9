#pragma once
// A canvas pane that shows one picture (an XY plane of any voxel type) scaled and
// scrolled, with attachments drawn over it. The picture is a plane of a data set: in
// plane mode 0 an XY plane (x across, y down), in mode 1 an XZ plane (x across, z
// down), in mode 2 a YZ plane (z across, y down), at one index along the remaining
// axis. Positions in the data are given in the picture's order (across, down, plane
// index), that is (x, y, z) in mode 0, (x, z, y) in mode 1 and (z, y, x) in mode 2;
// PictureToVolumeAxes turns one into (x, y, z) and back.
//
// Scale 1 shows a data voxel as one pixel; scales run from 1/64 to 64. Zoom to fit
// scales the picture to fit the pane and centres it, again whenever the pane's size
// or the picture changes, until it is switched off.
#include "X3DPoint.h"
#include "X3DRect.h"
#include "XCanvasPaneBase.h"
#include "XMessage.h"

#include <memory>

class XVolume;

class XImagePane : public XCanvasPaneBase {
public:
    static constexpr double kMinScale = 1.0 / 64.0;
    static constexpr double kMaxScale = 64.0;

    // Spoken when the scale changes.
    class XMessageZoomChanged : public XMessage {
    public:
        XMessageZoomChanged(XSpeaker* inSpeaker, double inScale) : XMessage(inSpeaker), itsScale(inScale) {}
        double GetScale() const { return itsScale; }
        XMessage* Clone() const override { return new XMessageZoomChanged(*this); }

    private:
        double itsScale;
    };
    // Spoken when the picture moves in the pane without a change of scale.
    class XMessageImagePanned : public XMessage {
    public:
        explicit XMessageImagePanned(XSpeaker* inSpeaker) : XMessage(inSpeaker) {}
        XMessage* Clone() const override { return new XMessageImagePanned(*this); }
    };

    explicit XImagePane(const XRect& inBounds, const XString& inName = XString());
    ~XImagePane() override;

    // The picture, shared with the caller; null shows none. Its size should be the
    // data's picture rectangle (see SetPlane); without a plane set, the picture's own
    // XY rectangle is taken, mode 0, at its front plane.
    void SetImage(std::shared_ptr<const XVolume> inImage);
    const XVolume* GetImage() const { return itsImage.get(); }

    // Which plane of the data the picture is: mode 0, 1 or 2 (others are refused with an
    // assertion), the data's voxel bounds and the plane's index along the third axis.
    void SetPlane(uint32_t inMode, const X3DRect& inDataBounds, int32_t inPlaneIndex);
    uint32_t GetPlaneMode() const { return itsPlaneMode; }
    int32_t GetPlaneIndex() const { return itsPlaneIndex; }
    // The picture's rectangle in picture coordinates (across, down).
    XRect GetPictureRect() const;

    double GetScale() const { return itsScale; }
    // Sets the scale keeping the picture point under inAbout (canvas coordinates) where
    // it is. A scale outside kMinScale..kMaxScale (or NaN) is refused: false, no change.
    bool SetScale(double inScale, const XPoint& inAbout);
    // About the canvas's centre.
    bool SetScale(double inScale);
    void SetZoomToFit(bool inZoomToFit);
    bool IsZoomToFit() const { return itsZoomToFit; }
    // Every image pane that exists stops fitting (a zoom chosen by the user wins).
    static void DisableZoomToFitForAllImagePanes();

    // Moves the picture by whole pixels.
    void ScrollBy(int32_t inDX, int32_t inDY);
    // The canvas rectangle the picture is drawn into.
    XRect CalcImageDestBounds() const;
    // The data position under a canvas point, in the picture's order; points off the
    // picture give positions outside the data (callers clamp or refuse them).
    X3DPoint Translate2DTo3D(const XPoint& inPoint) const;
    // The canvas point at the centre of a data position (picture's order) as drawn.
    XPoint Translate3DTo2D(const X3DPoint& inPosition) const;
    // (across, down, plane) of a mode into (x, y, z), and back: the same exchange.
    static X3DPoint PictureToVolumeAxes(const X3DPoint& inPosition, uint32_t inPlaneMode);

protected:
    void DrawCanvasSelf(XGC& inGC) override;
    void PaneBoundsChangedSelf() override;

private:
    void FitToPane();

    std::shared_ptr<const XVolume> itsImage;
    uint32_t itsPlaneMode = 0;
    bool itsHasPlane = false;
    X3DRect itsDataBounds;
    int32_t itsPlaneIndex = 0;
    double itsScale = 1.0;
    double itsOffsetX = 0.0; // canvas position of the picture's top-left corner
    double itsOffsetY = 0.0;
    bool itsZoomToFit = true;
};
