#pragma once
// What the voxel spy shows of one voxel: its coordinates and, for each shown channel
// whose data covers it, the channel's value read from the renderer's data at the
// current timepoint. A voxel outside a channel's volume (a pin kept from larger data)
// reads nothing there; unknown voxel types give no value.
#include "X3DPoint.h"
#include "XARGB32Colour.h"
#include "XString.h"

#include <cstdint>
#include <vector>

class XRenderer;
class XVolume;

class XVoxelSpyValues {
public:
    struct XChannelValue {
        uint32_t channel = 0; // from 1
        XARGB32Colour colour;
        XString name;
        XString value;
    };

    // "x: %1", "y: %1", "z: %1" of a position.
    static std::vector<XString> GetCoordinateLines(const X3DPoint& inPosition);
    // The shown channels (scene state per channel) with data at inPosition, in order.
    static std::vector<XChannelValue> GetChannelValues(const XRenderer& inRenderer, const X3DPoint& inPosition);
    // The voxel at inPosition (bounds coordinates) as text; false outside the volume or
    // for a voxel type without a value.
    static bool FormatVoxel(const XVolume& inVolume, const X3DPoint& inPosition, XString& outText);
    // Whether the channel is shown (its visibility state is not 0).
    static bool IsChannelShown(const XRenderer& inRenderer, uint32_t inChannel);
};
