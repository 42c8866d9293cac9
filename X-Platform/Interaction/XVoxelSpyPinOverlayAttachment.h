#pragma once
// Draws the voxel spy's pins on an image pane: a mark on each pin of the plane shown
// and a bubble beside it with the pin's coordinates and one line per shown channel
// with the channel's value there. Selected pins have a highlighted bubble.
//
// Bubble positions are corners of the pin: kBubbleAboveRight, …; each bubble is a
// rectangle of one width and a height that grows with its lines.
#include "X3DPoint.h"
#include "XCanvasAttachment.h"
#include "XString.h"

#include <cstdint>
#include <vector>

class XImagePane;
class XRenderer;
class XVoxelSpyPinList;

class XVoxelSpyPinOverlayAttachment : public XCanvasAttachment {
public:
    enum : uint32_t { kBubbleAboveRight = 0, kBubbleAboveLeft = 1, kBubbleBelowLeft = 2, kBubbleBelowRight = 3 };
    static constexpr int32_t kBubbleWidth = 110;
    static constexpr int32_t kLineHeight = 15;
    static constexpr int32_t kBubbleMargin = 4;
    // Between the pin and its bubble's near corner.
    static constexpr int32_t kBubbleOffset = 6;

    XVoxelSpyPinOverlayAttachment(XRenderer& inRenderer, XVoxelSpyPinList& inPins);

    XImagePane* GetImagePane() const;
    // Whether the pin lies in the plane the pane shows, and where it is drawn.
    bool IsPinShown(const X3DPoint& inPosition) const;
    XPoint GetPinPoint(const X3DPoint& inPosition) const;
    // The lines of a pin's bubble, as drawn.
    std::vector<XString> GetBubbleLines(const X3DPoint& inPosition) const;
    // The bubble's rectangle in pane coordinates.
    XRect GetLocalBoundsForPinBubble(const X3DPoint& inPosition, uint32_t inBubble) const;

    XEventResult PostDrawCanvas(XGC& inGC) override;

protected:
    void DrawBubble(XGC& inGC, const X3DPoint& inPosition, uint32_t inBubble, bool inSelected);
    void DrawCoordinates(XGC& inGC, const X3DPoint& inPosition, const XRect& inBubble);
    void DrawChannelInformation(XGC& inGC, const X3DPoint& inPosition, const XRect& inBubble);

private:
    XRenderer& itsRenderer;
    XVoxelSpyPinList& itsPins;
};
