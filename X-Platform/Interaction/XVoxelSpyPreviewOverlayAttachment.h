#pragma once
// The voxel spy's preview on an image pane: a magnified snapshot of the picture around
// the voxel under the mouse, with a grid of voxels and a crosshair on that voxel, its
// coordinates and the value of each shown channel there (nine at most). A click on the
// snapshot steps the magnification 2, 6, 18, 2, …, which the user's preferences keep.
#include "X3DPoint.h"
#include "XARGB32Colour.h"
#include "XCanvasAttachment.h"
#include "XString.h"

#include <cstdint>
#include <vector>

class XCanvasPaneBase;
class XImagePane;
class XRenderer;

class XVoxelSpyPreviewOverlayAttachment : public XCanvasAttachment {
public:
    static constexpr const char* kPrefsSection = "Voxel Spy Preferences";
    static constexpr const char* kPrefsZoomKey = "Zoom Level:";
    static constexpr uint32_t kDefaultMagnification = 6;
    static constexpr uint32_t kMaxChannelLines = 9;
    // A multiple of every magnification, so that whole voxels fill it.
    static constexpr int32_t kSnapshotSide = 108;
    static constexpr int32_t kMargin = 6;
    static constexpr int32_t kLineHeight = 15;
    static constexpr int32_t kOverlayWidth = kSnapshotSide + 2 * kMargin + 40;

    // inFollowsMouse: the preview tracks the mouse over its pane (the main plane's does).
    XVoxelSpyPreviewOverlayAttachment(XRenderer& inRenderer, bool inFollowsMouse = true);

    XImagePane* GetImagePane() const;
    // The voxel shown (volume axes) and whether there is one.
    void SetPosition(const X3DPoint& inPosition);
    const X3DPoint& GetPosition() const { return itsPosition; }
    bool HasPosition() const { return itsHasPosition; }
    void ClearOverlay();

    uint32_t GetMagnification() const { return itsMagnification; }
    uint32_t GetZoomLevel() const { return itsZoomLevel; }
    // The next magnification (2 → 6 → 18 → 2), stored in the preferences.
    void UpdateSnapshotZoom();
    // Follows another preview's magnification (the main plane's).
    void AdjustToMainOverlay(const XVoxelSpyPreviewOverlayAttachment& inMain);
    void SetCanvasTablePane(XCanvasPaneBase* inTable) { itsTablePane = inTable; }
    void SetNotMainPlane(bool inNotMain) { itsNotMainPlane = inNotMain; }
    bool GetNotMainPlane() const { return itsNotMainPlane; }
    void SetLocalSnapshotBounds(const XRect& inBounds) { itsSnapshotBounds = inBounds; }
    const XRect& GetLocalSnapshotBounds() const { return itsSnapshotBounds; }
    const XRect& GetOverlayBounds() const { return itsOverlayBounds; }
    int32_t GetOverlayHeight() const;
    // The text lines below the snapshot, as drawn.
    std::vector<XString> GetPreviewLines() const;

    XEventResult PostDrawCanvas(XGC& inGC) override;
    XEventResult HandleMouseEvent(XMouseEvent inEvent, const XPoint& inPoint, uint32_t inFlags) override;
    XEventResult HandleSetCursor(const XPoint& inPoint, uint32_t inFlags) override;

protected:
    void DrawBackground(XGC& inGC);
    void DrawSnapshot(XGC& inGC);
    void DrawGrid(XGC& inGC);
    void DrawCrosshair(XGC& inGC);
    void DrawCoordinates(XGC& inGC);
    void DrawChannelInformation(XGC& inGC);
    void DrawChannelSwatch(XGC& inGC, const XARGB32Colour& inColour, double inY);
    void DrawChannelText(XGC& inGC, const XString& inText, double inY);
    void SetZoomCursor();

private:
    static uint32_t LevelOf(uint32_t inMagnification);
    bool IsInData() const;
    size_t GetShownChannelCount() const;

    XRenderer& itsRenderer;
    X3DPoint itsPosition;
    bool itsHasPosition = false;
    XRect itsSnapshotBounds;
    XRect itsOverlayBounds;
    bool itsNotMainPlane = false;
    bool itsFollowsMouse;
    XCanvasPaneBase* itsTablePane = nullptr;
    uint32_t itsMagnification = kDefaultMagnification;
    uint32_t itsZoomLevel = 2;
};
