#pragma once
// The region-surface extraction of the legacy renderer: the same dual method as
// XVolumeIsosurfaceTool (it runs that code), with a cancellation test every 10,000
// voxels, and the surface handed back as a shared result. It runs on host threads
// only (an assertion otherwise).
#include "XRefCountable.h"
#include "XRefPtr.h"
#include "XVolumeIsosurfaceTool.h"

#include <type_traits>

class XMaskVolume;

template <class TVoxel>
class XVolumeIsoTool {
    static_assert(std::is_same_v<TVoxel, unsigned char>, "only byte masks are extracted");
};

template <>
class XVolumeIsoTool<unsigned char> : private XVolumeIsosurfaceTool {
public:
    static constexpr uint64_t kCancelTestInterval = 10000;

    class XIsoData : public XRefCountable {
    public:
        XVector<XMathVectorF3> itsPositions;
        XVector<XMathVectorF3> itsNormals;
        XVector<XMathVectorU4> itsQuads;

    protected:
        ~XIsoData() override = default;
    };

    // Same checks as XVolumeIsosurfaceTool's.
    XVolumeIsoTool(const XMaskVolume& inVolume, unsigned char inIsoValue);

    using XVolumeIsosurfaceTool::SetOutputBounds;
    // A new result each call; cancellation and failures unwind, as in the base.
    XRefPtr<XIsoData> MakeIsoSurface();
};
