#pragma once
// The zoom tool of an image pane: a click zooms in to the next step about the clicked
// point (out with modifier bit 0), a drag draws a rubber band and zooms so that the
// band fills the pane. Scales run from 1/64 to 64; a zoom past either end leaves the
// scale and shows a hint alert instead.
#include "XCanvasAttachment.h"
#include "XRect.h"

#include <cstdint>

class XImagePane;

class XZoomToolRendererAttachment : public XCanvasAttachment {
public:
    static constexpr double kMinZoomScale = 1.0 / 64.0;
    static constexpr double kMaxZoomScale = 64.0;

    XZoomToolRendererAttachment() = default;

    static bool IsValidZoomScale(double inScale);
    // The next step in and out from inScale: powers of two, and their inverses below 1.
    static double GetNextZoomInScale(double inScale);
    static double GetNextZoomOutScale(double inScale);
    // The scale at which inRect (canvas pixels at inScale) fills a pane of
    // inPaneWidth x inPaneHeight; above 1 it is rounded to an even number.
    static double GetZoomScaleFromRect(const XRect& inRect, double inScale, int32_t inPaneWidth, int32_t inPaneHeight);
    static void AlertForInvalidZoomScaleValue(double inScale);
    static bool IsModifierKeysForZoomOut(uint32_t inFlags) { return (inFlags & 1u) != 0; }

    double GetNextZoomInScale() const;
    double GetNextZoomOutScale() const;
    double GetZoomScaleFromRect(const XRect& inRect) const;
    bool IsPointInActiveToolArea(const XPoint& inPoint) const;
    // The band shown while dragging (empty when none).
    const XRect& GetDragRect() const { return itsDragRect; }
    XImagePane* GetImagePane() const;
    // Takes the tool off its pane.
    void Destroy();

    XEventResult HandleMouseEvent(XMouseEvent inEvent, const XPoint& inPoint, uint32_t inFlags) override;
    XEventResult HandleSetCursor(const XPoint& inPoint, uint32_t inFlags) override;
    XEventResult PostDrawCanvas(XGC& inGC) override;

protected:
    // After a press without zoom-out: a click gives the next step in about the point, a
    // drag the band's scale about its centre (inOutPoint becomes the zoom point).
    void HandleZoomInEvent(XPoint& inOutPoint, double& outScale);
    void DrawDragRectFeedback(XGC& inGC);

private:
    XRect itsDragRect;
};
