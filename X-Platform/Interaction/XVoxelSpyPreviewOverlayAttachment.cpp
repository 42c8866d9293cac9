#include "XVoxelSpyPreviewOverlayAttachment.h"
#include "XAssert.h"
#include "XGC.h"
#include "XGCFont.h"
#include "XImageDataSource.h"
#include "XImagePane.h"
#include "XRenderer.h"
#include "XUserPrefsSaver.h"
#include "XVolume.h"
#include "XVoxelSpyValues.h"

#include <algorithm>

namespace {
const XARGB32Colour kBackground(200, 30, 30, 30);
const XARGB32Colour kGridColour(160, 128, 128, 128);
const XARGB32Colour kCrosshairColour(255, 255, 220, 0);
const XARGB32Colour kTextColour = XARGB32Colour::kWhite;
} // namespace

XVoxelSpyPreviewOverlayAttachment::XVoxelSpyPreviewOverlayAttachment(XRenderer& inRenderer, bool inFollowsMouse)
    : itsRenderer(inRenderer), itsFollowsMouse(inFollowsMouse)
{
    const uint32_t stored = XUserPrefsSaver().Read32Defaulted(kPrefsSection, kPrefsZoomKey, kDefaultMagnification);
    // A stored value that is not one of the steps (an old or edited file) falls back to the default.
    itsMagnification = LevelOf(stored) != 0 ? stored : kDefaultMagnification;
    itsZoomLevel = LevelOf(itsMagnification);
    itsSnapshotBounds = XRect(kMargin, kMargin, kMargin + kSnapshotSide, kMargin + kSnapshotSide);
}

uint32_t XVoxelSpyPreviewOverlayAttachment::LevelOf(uint32_t inMagnification)
{
    switch (inMagnification) {
    case 2: return 1;
    case 6: return 2;
    case 18: return 3;
    default: return 0;
    }
}

XImagePane* XVoxelSpyPreviewOverlayAttachment::GetImagePane() const { return dynamic_cast<XImagePane*>(GetCanvasPane()); }

void XVoxelSpyPreviewOverlayAttachment::SetPosition(const X3DPoint& inPosition)
{
    itsPosition = inPosition;
    itsHasPosition = true;
}

void XVoxelSpyPreviewOverlayAttachment::ClearOverlay()
{
    itsHasPosition = false;
    itsOverlayBounds = XRect();
    if (XCanvasPaneBase* pane = GetCanvasPane())
        pane->RedrawCanvas();
}

void XVoxelSpyPreviewOverlayAttachment::UpdateSnapshotZoom()
{
    switch (itsZoomLevel) {
    case 1: itsMagnification = 6; break;
    case 2: itsMagnification = 18; break;
    case 3: itsMagnification = 2; break;
    default:
        X_ASSERT(false);
        return;
    }
    itsZoomLevel = LevelOf(itsMagnification);
    XUserPrefsSaver().Write32(kPrefsSection, kPrefsZoomKey, itsMagnification);
    if (XCanvasPaneBase* pane = GetCanvasPane())
        pane->RedrawCanvas();
}

void XVoxelSpyPreviewOverlayAttachment::AdjustToMainOverlay(const XVoxelSpyPreviewOverlayAttachment& inMain)
{
    itsMagnification = inMain.itsMagnification;
    itsZoomLevel = inMain.itsZoomLevel;
}

bool XVoxelSpyPreviewOverlayAttachment::IsInData() const
{
    const auto& source = itsRenderer.GetDataSource();
    if (!source)
        return false;
    const X3DRect b = source->GetBounds();
    return itsPosition.x >= b.left && itsPosition.x < b.right && itsPosition.y >= b.top && itsPosition.y < b.bottom &&
           itsPosition.z >= b.front && itsPosition.z < b.back;
}

std::vector<XString> XVoxelSpyPreviewOverlayAttachment::GetPreviewLines() const
{
    std::vector<XString> lines;
    if (!itsHasPosition)
        return lines;
    // Coordinates outside the data are bracketed.
    const char* format = IsInData() ? "%1" : "(%1)";
    const int32_t values[3] = {itsPosition.x, itsPosition.y, itsPosition.z};
    const char* names[3] = {"x: %1", "y: %1", "z: %1"};
    for (int i = 0; i < 3; ++i)
        lines.push_back(XString(names[i]).Replace(XString(format).Replace(int64_t(values[i]))));
    const auto channels = XVoxelSpyValues::GetChannelValues(itsRenderer, itsPosition);
    for (size_t i = 0; i < channels.size(); ++i) {
        if (i == kMaxChannelLines) {
            lines.push_back("Unable to display more channels");
            break;
        }
        lines.push_back(channels[i].value);
    }
    return lines;
}

size_t XVoxelSpyPreviewOverlayAttachment::GetShownChannelCount() const
{
    return itsHasPosition ? XVoxelSpyValues::GetChannelValues(itsRenderer, itsPosition).size() : 0;
}

int32_t XVoxelSpyPreviewOverlayAttachment::GetOverlayHeight() const
{
    const size_t channels = GetShownChannelCount();
    const size_t lines = 3 + std::min<size_t>(channels, kMaxChannelLines) + (channels > kMaxChannelLines ? 1 : 0);
    return kMargin + kSnapshotSide + kMargin + int32_t(lines) * kLineHeight + kMargin;
}

XEventResult XVoxelSpyPreviewOverlayAttachment::HandleMouseEvent(XMouseEvent inEvent, const XPoint& inPoint, uint32_t)
{
    XImagePane* pane = GetImagePane();
    if (!pane)
        return kEventNotHandled;
    // Quick clicks on the snapshot step on, so a double click counts as a press too.
    if ((inEvent == kMouseDown || inEvent == kMouseDoubleClick) && itsHasPosition && itsSnapshotBounds.Contains(inPoint)) {
        UpdateSnapshotZoom();
        return kEventHandled;
    }
    if (inEvent == kMouseMove && itsFollowsMouse) {
        if (pane->CalcImageDestBounds().Contains(inPoint))
            SetPosition(XImagePane::PictureToVolumeAxes(pane->Translate2DTo3D(inPoint), pane->GetPlaneMode()));
        else
            itsHasPosition = false;
        pane->RedrawCanvas();
    }
    return kEventNotHandled;
}

XEventResult XVoxelSpyPreviewOverlayAttachment::HandleSetCursor(const XPoint& inPoint, uint32_t)
{
    if (!itsHasPosition || !itsSnapshotBounds.Contains(inPoint))
        return kEventNotHandled;
    SetZoomCursor();
    return kEventHandled;
}

void XVoxelSpyPreviewOverlayAttachment::SetZoomCursor()
{
    if (XCanvasPaneBase* pane = GetCanvasPane())
        pane->SetCursor(kCursorZoomIn);
}

XEventResult XVoxelSpyPreviewOverlayAttachment::PostDrawCanvas(XGC& inGC)
{
    if (!itsHasPosition || !GetImagePane())
        return kEventNotHandled;
    itsOverlayBounds = XRect(0, 0, kOverlayWidth, GetOverlayHeight());
    inGC.Save();
    DrawBackground(inGC);
    DrawSnapshot(inGC);
    DrawGrid(inGC);
    DrawCrosshair(inGC);
    DrawCoordinates(inGC);
    DrawChannelInformation(inGC);
    inGC.Restore();
    return kEventNotHandled;
}

void XVoxelSpyPreviewOverlayAttachment::DrawBackground(XGC& inGC)
{
    inGC.SetFillColour(kBackground);
    inGC.FillRect(itsOverlayBounds);
}

void XVoxelSpyPreviewOverlayAttachment::DrawSnapshot(XGC& inGC)
{
    const XImagePane* pane = GetImagePane();
    const XVolume* picture = pane->GetImage();
    if (!picture)
        return;
    // The voxel under the mouse in the picture's order, drawn in the snapshot's middle.
    const X3DPoint at = XImagePane::PictureToVolumeAxes(itsPosition, pane->GetPlaneMode());
    const XRect pictureRect = pane->GetPictureRect();
    const double m = itsMagnification;
    const int32_t half = kSnapshotSide / int32_t(itsMagnification) / 2;
    const double left = itsSnapshotBounds.left - (at.x - half - pictureRect.left) * m;
    const double top = itsSnapshotBounds.top - (at.y - half - pictureRect.top) * m;
    inGC.Save();
    inGC.ClipToRect(itsSnapshotBounds);
    inGC.SetFillColour(XARGB32Colour::kBlack);
    inGC.FillRect(itsSnapshotBounds);
    inGC.SetSmoothImages(false);
    inGC.DrawImage(*picture, XRectF(left, top, left + picture->GetWidth() * m, top + picture->GetHeight() * m));
    inGC.Restore();
}

void XVoxelSpyPreviewOverlayAttachment::DrawGrid(XGC& inGC)
{
    inGC.SetStrokeWidth(0.5);
    inGC.SetStrokeColour(kGridColour);
    for (int32_t offset = 0; offset <= kSnapshotSide; offset += int32_t(itsMagnification)) {
        inGC.DrawLine(itsSnapshotBounds.left + offset, itsSnapshotBounds.top, itsSnapshotBounds.left + offset, itsSnapshotBounds.bottom);
        inGC.DrawLine(itsSnapshotBounds.left, itsSnapshotBounds.top + offset, itsSnapshotBounds.right, itsSnapshotBounds.top + offset);
    }
}

void XVoxelSpyPreviewOverlayAttachment::DrawCrosshair(XGC& inGC)
{
    const int32_t m = int32_t(itsMagnification);
    const int32_t centre = (kSnapshotSide / m / 2) * m;
    const XRectF voxel(itsSnapshotBounds.left + centre, itsSnapshotBounds.top + centre,
                       itsSnapshotBounds.left + centre + m, itsSnapshotBounds.top + centre + m);
    const double midX = (voxel.left + voxel.right) / 2, midY = (voxel.top + voxel.bottom) / 2;
    inGC.SetStrokeWidth(0.5);
    inGC.SetStrokeColour(kCrosshairColour);
    inGC.FrameRect(voxel);
    inGC.DrawLine(itsSnapshotBounds.left, midY, voxel.left, midY);
    inGC.DrawLine(voxel.right, midY, itsSnapshotBounds.right, midY);
    inGC.DrawLine(midX, itsSnapshotBounds.top, midX, voxel.top);
    inGC.DrawLine(midX, voxel.bottom, midX, itsSnapshotBounds.bottom);
}

void XVoxelSpyPreviewOverlayAttachment::DrawCoordinates(XGC& inGC)
{
    inGC.SetFont(XGCFont::MakeStandard(XGCFont::kFaceSmall));
    inGC.SetFillColour(kTextColour);
    const std::vector<XString> lines = GetPreviewLines();
    double y = itsSnapshotBounds.bottom + kMargin;
    for (size_t i = 0; i < 3 && i < lines.size(); ++i, y += kLineHeight)
        inGC.DrawTextA(lines[i], kMargin, y);
}

void XVoxelSpyPreviewOverlayAttachment::DrawChannelInformation(XGC& inGC)
{
    const auto channels = XVoxelSpyValues::GetChannelValues(itsRenderer, itsPosition);
    double y = itsSnapshotBounds.bottom + kMargin + 3 * kLineHeight;
    for (size_t i = 0; i < channels.size(); ++i, y += kLineHeight) {
        if (i == kMaxChannelLines) {
            DrawChannelText(inGC, "Unable to display more channels", y);
            break;
        }
        DrawChannelSwatch(inGC, channels[i].colour, y);
        DrawChannelText(inGC, channels[i].value, y);
    }
}

void XVoxelSpyPreviewOverlayAttachment::DrawChannelSwatch(XGC& inGC, const XARGB32Colour& inColour, double inY)
{
    inGC.SetFillColour(inColour);
    inGC.FillRect(XRectF(kMargin, inY + 3, kMargin + 8, inY + 11));
}

void XVoxelSpyPreviewOverlayAttachment::DrawChannelText(XGC& inGC, const XString& inText, double inY)
{
    inGC.SetFont(XGCFont::MakeStandard(XGCFont::kFaceSmall));
    inGC.SetFillColour(kTextColour);
    inGC.DrawTextA(inGC.TruncateTextWithEllipsis(inText, kOverlayWidth - 3 * kMargin - 8), 2 * kMargin + 8, inY);
}
