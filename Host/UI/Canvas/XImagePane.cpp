#include "XImagePane.h"

#include "XAssert.h"
#include "XGC.h"
#include "XVolume.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <vector>

namespace {
// The panes that exist, for DisableZoomToFitForAllImagePanes.
std::mutex sPanesMutex;
std::vector<XImagePane*>& GetPanes()
{
    static std::vector<XImagePane*> panes;
    return panes;
}
} // namespace

XImagePane::XImagePane(const XRect& inBounds, const XString& inName) : XCanvasPaneBase(inBounds, inName)
{
    std::lock_guard lock(sPanesMutex);
    GetPanes().push_back(this);
}

XImagePane::~XImagePane()
{
    std::lock_guard lock(sPanesMutex);
    std::erase(GetPanes(), this);
}

void XImagePane::SetImage(std::shared_ptr<const XVolume> inImage)
{
    itsImage = std::move(inImage);
    if (itsZoomToFit)
        FitToPane();
    RedrawCanvas();
}

void XImagePane::SetPlane(uint32_t inMode, const X3DRect& inDataBounds, int32_t inPlaneIndex)
{
    X_ASSERT(inMode <= 2);
    if (inMode > 2)
        return;
    const bool pictureChanged = !itsHasPlane || inMode != itsPlaneMode || !(inDataBounds == itsDataBounds);
    itsHasPlane = true;
    itsPlaneMode = inMode;
    itsDataBounds = inDataBounds;
    itsPlaneIndex = inPlaneIndex;
    if (pictureChanged && itsZoomToFit)
        FitToPane();
    RedrawCanvas();
}

XRect XImagePane::GetPictureRect() const
{
    if (!itsHasPlane)
        return itsImage ? itsImage->GetBounds().GetXYRect() : XRect();
    switch (itsPlaneMode) {
    case 1: return itsDataBounds.GetXZRect();
    case 2: return itsDataBounds.GetYZRect();
    default: return itsDataBounds.GetXYRect();
    }
}

bool XImagePane::SetScale(double inScale, const XPoint& inAbout)
{
    if (!(inScale >= kMinScale && inScale <= kMaxScale))
        return false;
    // The picture point under inAbout stays there.
    const double pictureX = (inAbout.x - itsOffsetX) / itsScale;
    const double pictureY = (inAbout.y - itsOffsetY) / itsScale;
    itsOffsetX = inAbout.x - pictureX * inScale;
    itsOffsetY = inAbout.y - pictureY * inScale;
    const bool changed = inScale != itsScale;
    itsScale = inScale;
    RedrawCanvas();
    if (changed)
        SpeakMessage(XMessageZoomChanged(this, itsScale));
    return true;
}

bool XImagePane::SetScale(double inScale)
{
    return SetScale(inScale, XPoint(GetWidth() / 2, GetHeight() / 2));
}

void XImagePane::SetZoomToFit(bool inZoomToFit)
{
    itsZoomToFit = inZoomToFit;
    if (itsZoomToFit)
        FitToPane();
}

void XImagePane::DisableZoomToFitForAllImagePanes()
{
    std::lock_guard lock(sPanesMutex);
    for (XImagePane* pane : GetPanes())
        pane->itsZoomToFit = false;
}

void XImagePane::ScrollBy(int32_t inDX, int32_t inDY)
{
    if (inDX == 0 && inDY == 0)
        return;
    itsOffsetX += inDX;
    itsOffsetY += inDY;
    RedrawCanvas();
    SpeakMessage(XMessageImagePanned(this));
}

XRect XImagePane::CalcImageDestBounds() const
{
    const XRect picture = GetPictureRect();
    const double left = std::round(itsOffsetX);
    const double top = std::round(itsOffsetY);
    return XRect(int32_t(left), int32_t(top), int32_t(left + std::max(1.0, std::round(picture.GetWidth() * itsScale))),
                 int32_t(top + std::max(1.0, std::round(picture.GetHeight() * itsScale))));
}

X3DPoint XImagePane::Translate2DTo3D(const XPoint& inPoint) const
{
    const XRect picture = GetPictureRect();
    // The exact scale and offset, not the rounded drawing rectangle: far from 1 the
    // rounding would move a point by many voxels, and zooming about it would drift.
    const double across = (inPoint.x + 0.5 - itsOffsetX) / itsScale;
    const double down = (inPoint.y + 0.5 - itsOffsetY) / itsScale;
    const int32_t plane = itsHasPlane ? itsPlaneIndex : (itsImage ? itsImage->GetBounds().front : 0);
    return X3DPoint(picture.left + int32_t(std::floor(across)), picture.top + int32_t(std::floor(down)), plane);
}

XPoint XImagePane::Translate3DTo2D(const X3DPoint& inPosition) const
{
    const XRect picture = GetPictureRect();
    const double x = itsOffsetX + (inPosition.x - picture.left + 0.5) * itsScale;
    const double y = itsOffsetY + (inPosition.y - picture.top + 0.5) * itsScale;
    return XPoint(int32_t(std::floor(x)), int32_t(std::floor(y)));
}

X3DPoint XImagePane::PictureToVolumeAxes(const X3DPoint& inPosition, uint32_t inPlaneMode)
{
    switch (inPlaneMode) {
    case 1: return X3DPoint(inPosition.x, inPosition.z, inPosition.y);
    case 2: return X3DPoint(inPosition.z, inPosition.y, inPosition.x);
    default: return inPosition;
    }
}

void XImagePane::DrawCanvasSelf(XGC& inGC)
{
    if (!itsImage || itsImage->IsEmpty())
        return;
    // Enlarged voxels show as squares: the user counts them.
    inGC.SetSmoothImages(itsScale < 1.0);
    inGC.DrawImage(*itsImage, XRectF(CalcImageDestBounds()));
}

void XImagePane::PaneBoundsChangedSelf()
{
    if (itsZoomToFit)
        FitToPane();
}

void XImagePane::FitToPane()
{
    const XRect picture = GetPictureRect();
    if (picture.IsEmpty())
        return;
    const double fit = std::min(double(GetWidth()) / picture.GetWidth(), double(GetHeight()) / picture.GetHeight());
    const double scale = std::clamp(fit, kMinScale, kMaxScale);
    itsOffsetX = (GetWidth() - picture.GetWidth() * scale) / 2.0;
    itsOffsetY = (GetHeight() - picture.GetHeight() * scale) / 2.0;
    const bool changed = scale != itsScale;
    itsScale = scale;
    RedrawCanvas();
    if (changed)
        SpeakMessage(XMessageZoomChanged(this, itsScale));
}
