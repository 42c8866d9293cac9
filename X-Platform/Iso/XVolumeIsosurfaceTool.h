#pragma once
// Turns a byte mask volume into a closed surface by the dual method: one vertex per
// cell the surface crosses (the mean of the cell's edge crossings) and one quad per
// voxel edge whose ends lie on different sides of the iso value.
//
// The input is copied with a zero border of kPadding voxels on every side of each
// non-empty axis, so the surface closes where the object touches the volume's edge.
// Vertices are numbered in the order the quads first name their cells. Quads wind
// clockwise seen from outside; the normals (not normalised) point outwards.
//
// The tool keeps its storage (padded copy, cell caches, normal counts) between runs:
// SetInput and MakeIsoSurface again reuse it.
#include "X3DRect.h"
#include "XLockable.h"
#include "XMathVector.h"
#include "XVector.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

class XMaskVolume;

class XVolumeIsosurfaceTool : public XLockable {
public:
    static constexpr int32_t kPadding = 2;
    // Padded copies above this many bytes are refused before allocating.
    static constexpr uint64_t kMaxPaddedVoxels = uint64_t(1) << 34;

    // Throws XException kBadArgument when the padded box leaves 32-bit coordinates or
    // is too large to hold; nothing is allocated then.
    XVolumeIsosurfaceTool(const XMaskVolume& inVolume, unsigned char inIsoValue);

    // A new input for the next run, in the storage of the last one (same checks).
    void SetInput(const XMaskVolume& inVolume, unsigned char inIsoValue);
    // Positions are mapped to O + S · (p − O), O the box's minimum corner and S its
    // size over the input's size, per axis (an empty input axis keeps scale 1).
    void SetOutputBounds(const X3DRect& inBounds);

    // Appends the surface to the three lists, under the tool's read lock. Quads index
    // the positions list as it grows. Tests for cancellation after each z slice.
    // Throws XException kBadArgument when the positions would pass the vertex limit
    // or the surface does not fit in memory; on any exception (cancellation too) the lists are left as they were.
    void MakeIsoSurface(XVector<XMathVectorF3>& outPositions, XVector<XMathVectorF3>& outNormals,
                        XVector<XMathVectorU4>& outQuads);

    // The most positions the lists may hold (4294967295, the largest count a 32-bit
    // index reaches); smaller budgets are for callers that want one.
    void SetMaxVertexCount(uint64_t inCount) { itsMaxVertexCount = inCount; }

    // The box a region of inBounds is resampled into: each size floor(size × factor),
    // at least 1, at the bounds' origin. Throws XException kBadArgument for a factor
    // that is not a finite number above 0, or a box (padded) outside 32-bit
    // coordinates or too large to hold.
    static X3DRect MakeResampledBox(const X3DRect& inBounds, const float inFactor[3]);

protected:
    // Cancellation tests every inVoxels voxels of the walk instead of once per slice (0).
    void SetCancelTestInterval(uint64_t inVoxels) { itsCancelInterval = inVoxels; }

private:
    bool IsAboveIsoValue(unsigned char inValue) const { return inValue > itsIsoValue; }
    // Walk coordinates (from the padded box's origin) of the edge's start voxel.
    void AddFace(uint32_t inX, uint32_t inY, uint32_t inZ, int inAxis, bool inAbove);
    uint32_t GenerateVertexIndexForCell(uint32_t inX, uint32_t inY, uint32_t inZ);
    XMathVectorF3 GenerateVertexPositionForCell(uint32_t inX, uint32_t inY, uint32_t inZ) const;
    void GenerateVertexNormals(XVector<XMathVectorF3>& outNormals);

    void ReserveOutput();
    uint64_t CountQuads() const;
    void Walk();
    void WalkRow(uint32_t inY, uint32_t inZ);

    static const int32_t sFaceVertexLut[3][3][3];

    // Padded copy (its storage only grows) and walk region.
    struct XFreeStorage {
        void operator()(uint8_t* inStorage) const { std::free(inStorage); }
    };
    std::unique_ptr<uint8_t[], XFreeStorage> itsPadded;
    uint64_t itsPaddedCapacity = 0;
    X3DRect itsInputBox;
    int64_t itsWalkOrigin[3] = {0, 0, 0};
    uint32_t itsWalkSize[3] = {0, 0, 0};
    size_t itsStrideY = 0;
    size_t itsStrideZ = 0;
    unsigned char itsIsoValue = 0;

    // Output mapping.
    float itsOutputScale[3] = {1, 1, 1};
    float itsOutputOrigin[3] = {0, 0, 0};

    // Vertex indices of the cells of two z slices (slot z & 1), kNoVertex where none
    // was made. An entry counts only from the first vertex made while walking its
    // slice: older ones are left from slice z - 2, so no slot is ever cleared.
    static constexpr uint32_t kNoVertex = 0xFFFFFFFFu;
    std::vector<uint32_t> itsCellVertex[2];
    size_t itsSliceFirstVertex[2] = {0, 0};

    // Per-run state: the lists being appended to and where this run's part starts.
    XVector<XMathVectorF3>* itsPositions = nullptr;
    XVector<XMathVectorU4>* itsQuads = nullptr;
    size_t itsFirstVertex = 0;
    size_t itsFirstQuad = 0;
    // Quads per vertex: at most 12, one per crossed edge of its cell.
    std::vector<uint8_t> itsNormalCounts;

    uint64_t itsMaxVertexCount = 0xFFFFFFFFu;
    uint64_t itsCancelInterval = 0;
};
