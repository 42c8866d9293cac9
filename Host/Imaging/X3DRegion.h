#pragma once
// A set of voxels (a measured object, an ROI) with a display colour. Held as runs
// along x, so a region is a cheap value to copy however large its box is.
#include "X3DPoint.h"
#include "X3DRect.h"
#include "XARGB32Colour.h"
#include "XMaskVolume.h"

#include <cstdint>
#include <vector>

class X3DRegion {
public:
    // Voxels (x0..x1-1, y, z); x1 is exclusive like every far edge.
    struct XRun {
        int32_t z = 0;
        int32_t y = 0;
        int32_t x0 = 0;
        int32_t x1 = 0;
        friend bool operator==(const XRun&, const XRun&) = default;
    };

    X3DRegion() = default;
    // Every voxel of a box.
    explicit X3DRegion(const X3DRect& inBox, XARGB32Colour inColour = XARGB32Colour::kWhite);
    // The non-zero voxels of a volume, at the volume's bounds (colour volumes: voxels
    // with any non-zero colour byte).
    explicit X3DRegion(const XVolume& inMask, XARGB32Colour inColour = XARGB32Colour::kWhite);
    // The 6-connected objects of the voxels whose value is above inThreshold (in the
    // volume's own units; colour volumes: their brightest component), in the order of
    // their first voxel by z, y, x. The caller holds the volume's read lock.
    static std::vector<X3DRegion> FindObjects(const XVolume& inVolume, double inThreshold,
                                              XARGB32Colour inColour = XARGB32Colour::kWhite);

    XARGB32Colour GetColour() const { return itsColour; }
    void SetColour(XARGB32Colour inColour) { itsColour = inColour; }

    void AddVoxel(const X3DPoint& inVoxel) { AddRun(inVoxel.y, inVoxel.z, inVoxel.x, inVoxel.x + 1); }
    // An empty run (x1 <= x0) adds nothing.
    void AddRun(int32_t inY, int32_t inZ, int32_t inX0, int32_t inX1);
    void AddBox(const X3DRect& inBox);
    void Offset(int32_t inDX, int32_t inDY, int32_t inDZ);
    void Clear() { itsRuns.clear(); }

    bool IsEmpty() const { return itsRuns.empty(); }
    bool Contains(const X3DPoint& inVoxel) const;
    uint64_t GetVoxelCount() const;
    // The smallest box holding every voxel; the zero box when empty.
    X3DRect GetBounds() const;
    // Sorted by z, then y, then x; runs neither overlap nor touch.
    const std::vector<XRun>& GetRuns() const { return itsRuns; }

    // A mask over GetBounds(): 255 on the region's voxels, 0 elsewhere.
    XMaskVolume GetMaskVolume() const;
    // The same over a given box (voxels outside it are left out).
    XMaskVolume GetMaskVolume(const X3DRect& inBox) const;

    friend bool operator==(const X3DRegion&, const X3DRegion&) = default;

private:
    std::vector<XRun> itsRuns;
    XARGB32Colour itsColour = XARGB32Colour::kWhite;
};
