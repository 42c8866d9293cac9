#pragma once
// Turns clicks, drags, keys and commands on one image pane into changes of the voxel
// spy's pins: a click on the image pins its voxel (keeping the other pins with
// modifier bit 1), a click on a bubble selects that pin (bit 0 adds to or takes from
// the selection) and a drag moves the selected pins within the volume, a click off the
// image removes every pin. Delete removes the selected pins; select all, select none
// and invert selection work on the selection. Mouse events are left unhandled so that
// the pane's other attachments see them too.
#include "X3DPoint.h"
#include "X3DRect.h"
#include "XCanvasAttachment.h"
#include "XPtrVector.h"

#include <cstdint>

class XImagePane;
class XRenderer;
class XVoxelSpyPinList;
class XVoxelSpyPinOverlayAttachment;

class XVoxelSpyPinTargetAttachment : public XCanvasAttachment {
public:
    enum : uint32_t {
        kCommandClear = 57632,     // remove the selected pins
        kCommandSelectAll = 57642,
        kCommandSelectNone = 5151,
        kCommandInvertSelection = 6101,
    };

    // inPanes: every image pane of the view (not owned), refreshed after a change.
    XVoxelSpyPinTargetAttachment(XRenderer& inRenderer, XVoxelSpyPinOverlayAttachment& inOverlay, XVoxelSpyPinList& inPins,
                                 const XPtrVector<XImagePane>& inPanes);

    XImagePane* GetImagePane() const;
    // The first pin, in index order, whose bubble holds inPoint.
    bool IsPinHit(const XPoint& inPoint, size_t& outIndex) const;
    // A bubble corner for a pin at inPosition that keeps the bubble in the pane and
    // off the other bubbles where it can, trying inPreferred first.
    uint32_t GetAllowedPinBubblePosition(const X3DPoint& inPosition, uint32_t inPreferred) const;
    // Shrinks inOutOffset so that every selected pin, moved by it from where it is, stays in the volume.
    void ConstrainOffsetForSelectedPins(X3DPoint& inOutOffset) const;
    // Writes the pins into the renderer's scene state (one row each: x, y, z, selected).
    void SetStateOfPins();
    void RefreshAllOtherImagePanes();

    XEventResult HandleMouseEvent(XMouseEvent inEvent, const XPoint& inPoint, uint32_t inFlags) override;
    XEventResult HandleKeyDown(uint32_t inKey, uint32_t inFlags) override;
    XEventResult HandleCmd(uint32_t inCommand) override;
    XEventResult HandleCmdUpdate(uint32_t inCommand, bool& outEnabled) override;

private:
    // The voxel of the plane under a pane point, in volume axes, clamped into the data.
    X3DPoint GetVolumePosition(const XPoint& inPoint) const;
    X3DRect GetDataBounds() const;
    void DragSelectedPins(const XPoint& inStart);
    void Changed();

    XRenderer& itsRenderer;
    XVoxelSpyPinOverlayAttachment& itsOverlay;
    XVoxelSpyPinList& itsPins;
    XPtrVector<XImagePane> itsPanes;
};
