#include "XVolumeIsosurfaceTool.h"

#include "XException.h"
#include "XLock.h"
#include "XMaskVolume.h"
#include "XThread.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#if defined(__linux__)
#include <sys/mman.h>
#endif
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Per axis of the crossed edge, the offsets from its start voxel to the other three
// cells that share the edge.
const int32_t XVolumeIsosurfaceTool::sFaceVertexLut[3][3][3] = {
    {{0, 0, -1}, {0, -1, -1}, {0, -1, 0}},
    {{0, 0, -1}, {-1, 0, -1}, {-1, 0, 0}},
    {{0, -1, 0}, {-1, -1, 0}, {-1, 0, 0}},
};

namespace {
using XByte16 = uint8_t __attribute__((vector_size(16)));

XByte16 Load16(const uint8_t* inBytes)
{
    XByte16 v;
    std::memcpy(&v, inBytes, sizeof v);
    return v;
}

// Bit k set when byte k of a comparison result (0 or all ones) is set.
template <class TVector>
uint32_t GetByteSigns(const TVector& inBytes)
{
#if defined(__SSE2__)
    __m128i v;
    std::memcpy(&v, &inBytes, sizeof v);
    return uint32_t(_mm_movemask_epi8(v));
#else
    uint8_t bytes[16];
    std::memcpy(bytes, &inBytes, sizeof bytes);
    uint32_t mask = 0;
    for (int k = 0; k < 16; ++k)
        mask |= uint32_t(bytes[k] >> 7) << k;
    return mask;
#endif
}

// Storage for the padded copy. Large copies ask for huge pages: the copy is written
// once, front to back, right after allocation, and with small pages the faults on
// first touch cost more than the copying itself.
uint8_t* AllocatePadded(uint64_t inBytes)
{
    constexpr uint64_t kHugePage = uint64_t(2) << 20;
    void* storage = nullptr;
    if (inBytes >= kHugePage) {
        const uint64_t rounded = (inBytes + kHugePage - 1) / kHugePage * kHugePage;
        storage = std::aligned_alloc(size_t(kHugePage), size_t(rounded));
#if defined(__linux__) && defined(MADV_HUGEPAGE)
        if (storage)
            madvise(storage, size_t(rounded), MADV_HUGEPAGE); // only a hint: small pages work too
#endif
    } else {
        storage = std::malloc(size_t(inBytes));
    }
    if (!storage)
        throw std::bad_alloc();
    return static_cast<uint8_t*>(storage);
}

// Refuses a box whose padded form leaves 32-bit coordinates or cannot be held.
void CheckPaddedBox(int64_t inLow[3], int64_t inSize[3], const char* inWhat)
{
    constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    const int64_t pad = XVolumeIsosurfaceTool::kPadding;
    uint64_t voxels = 1;
    for (int i = 0; i < 3; ++i) {
        if (inSize[i] <= 0)
            return;
        if (inLow[i] - pad < kMin || inLow[i] + inSize[i] + pad > kMax)
            throw XException(XException::kBadArgument,
                             XString("the %1 with its border of 2 voxels leaves 32-bit coordinates; "
                                     "move it nearer the origin")
                                 .Replace(XString(inWhat)));
        const uint64_t padded = uint64_t(inSize[i] + 2 * pad);
        if (voxels > XVolumeIsosurfaceTool::kMaxPaddedVoxels / padded)
            voxels = XVolumeIsosurfaceTool::kMaxPaddedVoxels + 1;
        else
            voxels *= padded;
    }
    if (voxels > XVolumeIsosurfaceTool::kMaxPaddedVoxels)
        throw XException(XException::kBadArgument,
                         XString("the %1 with its border of 2 voxels is too large to hold (more than %2 voxels); "
                                 "use a smaller region or a smaller resample factor")
                             .Replace(XString(inWhat))
                             .Replace(int64_t(XVolumeIsosurfaceTool::kMaxPaddedVoxels)));
}
} // namespace

XVolumeIsosurfaceTool::XVolumeIsosurfaceTool(const XMaskVolume& inVolume, unsigned char inIsoValue)
{
    SetInput(inVolume, inIsoValue);
}

void XVolumeIsosurfaceTool::SetInput(const XMaskVolume& inVolume, unsigned char inIsoValue)
{
    XLock lock(*this, kLockWrite);
    const X3DRect box = inVolume.GetBounds();
    int64_t low[3] = {box.left, box.top, box.front};
    int64_t size[3] = {int64_t(box.right) - box.left, int64_t(box.bottom) - box.top, int64_t(box.back) - box.front};
    CheckPaddedBox(low, size, "volume");

    itsInputBox = box;
    itsIsoValue = inIsoValue;
    // Nothing to walk until the copy is made, so that a failure below leaves an empty
    // input rather than the last one's sizes over storage that is gone; an empty axis
    // leaves it so (its size less one would wrap).
    for (int i = 0; i < 3; ++i) {
        itsWalkSize[i] = 0;
        itsWalkOrigin[i] = low[i];
    }
    itsStrideY = itsStrideZ = 0;
    if (size[0] <= 0 || size[1] <= 0 || size[2] <= 0)
        return;

    const size_t px = size_t(size[0]) + 2 * kPadding, py = size_t(size[1]) + 2 * kPadding,
                 pz = size_t(size[2]) + 2 * kPadding;
    const uint64_t voxels = uint64_t(px) * py * pz;
    if (voxels > itsPaddedCapacity) {
        itsPadded.reset();
        itsPaddedCapacity = 0;
        try {
            itsPadded.reset(AllocatePadded(voxels));
        } catch (const std::bad_alloc&) {
            throw XException(XException::kBadArgument,
                             XString("there is not enough memory for a copy of %1 voxels of the volume; "
                                     "use a smaller region or a smaller resample factor")
                                 .Replace(int64_t(voxels)));
        }
        itsPaddedCapacity = voxels;
    }

    // One pass: zero border planes, rows and ends, the input rows between.
    const size_t w = size_t(size[0]), h = size_t(size[1]), d = size_t(size[2]);
    const size_t plane = px * py;
    XVolume::XReadLock readLock(inVolume);
    for (size_t z = 0; z < pz; ++z) {
        uint8_t* slice = itsPadded.get() + z * plane;
        if (z < size_t(kPadding) || z >= d + kPadding) {
            std::memset(slice, 0, plane);
            continue;
        }
        std::memset(slice, 0, kPadding * px);
        std::memset(slice + (h + kPadding) * px, 0, kPadding * px);
        for (size_t y = 0; y < h; ++y) {
            uint8_t* row = slice + (y + kPadding) * px;
            std::memset(row, 0, kPadding);
            std::memcpy(row + kPadding, inVolume.GetVoxelRow(int32_t(y), int32_t(z - kPadding)), w);
            std::memset(row + kPadding + w, 0, kPadding);
        }
    }

    for (int i = 0; i < 3; ++i)
        itsWalkOrigin[i] = low[i] - kPadding;
    itsWalkSize[0] = uint32_t(px - 1);
    itsWalkSize[1] = uint32_t(py - 1);
    itsWalkSize[2] = uint32_t(pz - 1);
    itsStrideY = px;
    itsStrideZ = plane;
}

void XVolumeIsosurfaceTool::SetOutputBounds(const X3DRect& inBounds)
{
    XLock lock(*this, kLockWrite);
    const int64_t in[3] = {int64_t(itsInputBox.right) - itsInputBox.left, int64_t(itsInputBox.bottom) - itsInputBox.top,
                           int64_t(itsInputBox.back) - itsInputBox.front};
    const int64_t out[3] = {int64_t(inBounds.right) - inBounds.left, int64_t(inBounds.bottom) - inBounds.top,
                            int64_t(inBounds.back) - inBounds.front};
    itsOutputOrigin[0] = float(inBounds.left);
    itsOutputOrigin[1] = float(inBounds.top);
    itsOutputOrigin[2] = float(inBounds.front);
    for (int i = 0; i < 3; ++i)
        itsOutputScale[i] = in[i] > 0 ? float(out[i]) / float(in[i]) : 1.0f;
}

X3DRect XVolumeIsosurfaceTool::MakeResampledBox(const X3DRect& inBounds, const float inFactor[3])
{
    int64_t low[3] = {inBounds.left, inBounds.top, inBounds.front};
    const int64_t size[3] = {int64_t(inBounds.right) - inBounds.left, int64_t(inBounds.bottom) - inBounds.top,
                             int64_t(inBounds.back) - inBounds.front};
    int64_t target[3];
    for (int i = 0; i < 3; ++i) {
        if (!std::isfinite(inFactor[i]) || !(inFactor[i] > 0.0f))
            throw XException(XException::kBadArgument,
                             XString("the resample factor %1 is not a number above 0; give factors such as 1 or 0.5")
                                 .Replace(double(inFactor[i])));
        const double scaled = std::floor(double(std::max<int64_t>(size[i], 0)) * double(inFactor[i]));
        if (scaled > double(std::numeric_limits<int32_t>::max()))
            throw XException(XException::kBadArgument,
                             XString("the resample factor %1 makes a region more than 2147483647 voxels long; "
                                     "use a smaller factor")
                                 .Replace(double(inFactor[i])));
        target[i] = std::max<int64_t>(int64_t(scaled), 1);
    }
    CheckPaddedBox(low, target, "resampled region");
    return X3DRect(int32_t(low[0]), int32_t(low[1]), int32_t(low[2]), int32_t(low[0] + target[0]),
                   int32_t(low[1] + target[1]), int32_t(low[2] + target[2]));
}

void XVolumeIsosurfaceTool::MakeIsoSurface(XVector<XMathVectorF3>& outPositions, XVector<XMathVectorF3>& outNormals,
                                           XVector<XMathVectorU4>& outQuads)
{
    XLock lock(*this, kLockRead);
    const size_t positions = outPositions.size(), normals = outNormals.size(), quads = outQuads.size();
    itsPositions = &outPositions;
    itsQuads = &outQuads;
    itsFirstVertex = positions;
    itsFirstQuad = quads;
    const auto restore = [&] {
        outPositions.resize(positions);
        outNormals.resize(normals);
        outQuads.resize(quads);
        itsPositions = nullptr;
        itsQuads = nullptr;
    };
    try {
        ReserveOutput();
        Walk();
        GenerateVertexNormals(outNormals);
    } catch (const std::bad_alloc&) {
        restore();
        throw XException(XException::kBadArgument,
                         XString("there is not enough memory for the surface of this volume; make it from a smaller "
                                 "region or a smaller resample factor"));
    } catch (...) {
        restore();
        throw;
    }
    itsPositions = nullptr;
    itsQuads = nullptr;
}

void XVolumeIsosurfaceTool::ReserveOutput()
{
    // Lists that grow by doubling touch about twice the memory they end with, and on
    // first touch every page costs a fault: a count of the quads first is cheaper.
    // Every vertex is named by at least three quads (its cell has at least three
    // crossed edges, as each face of the cell has an even number) and every quad
    // names four, so there are at most 4/3 as many vertices as quads. Reserving does
    // not touch the memory.
    const uint64_t quads = CountQuads();
    const uint64_t vertices = std::min<uint64_t>(quads + quads / 3, itsMaxVertexCount);
    itsQuads->reserve(itsQuads->size() + size_t(quads));
    itsPositions->reserve(itsPositions->size() + size_t(vertices));
}

uint64_t XVolumeIsosurfaceTool::CountQuads() const
{
    const uint32_t nx = itsWalkSize[0], ny = itsWalkSize[1], nz = itsWalkSize[2];
    const size_t sy = itsStrideY, sz = itsStrideZ;
    XByte16 iso;
    for (int i = 0; i < 16; ++i)
        iso[i] = itsIsoValue;
    uint64_t count = 0;
    for (uint32_t z = 0; z < nz; ++z) {
        // A pass over a large volume takes a while too.
        XThread::TestCancelCurrentThread();
        for (uint32_t y = 0; y < ny; ++y) {
            const uint8_t* row = itsPadded.get() + z * sz + y * sy;
            // Crossings per byte lane, at most 3 a step: flushed before a lane could wrap.
            XByte16 lanes = {};
            uint32_t steps = 0, x = 0;
            for (; x + 16 <= nx; x += 16) {
                const auto here = Load16(row + x) > iso;
                lanes -= here ^ (Load16(row + x + 1) > iso);
                lanes -= here ^ (Load16(row + x + sy) > iso);
                lanes -= here ^ (Load16(row + x + sz) > iso);
                if (++steps == 85 || x + 32 > nx) {
                    for (int k = 0; k < 16; ++k)
                        count += lanes[k];
                    lanes = XByte16{};
                    steps = 0;
                }
            }
            for (; x < nx; ++x) {
                const bool s = IsAboveIsoValue(row[x]);
                count += (s != IsAboveIsoValue(row[x + 1])) + (s != IsAboveIsoValue(row[x + sy])) +
                         (s != IsAboveIsoValue(row[x + sz]));
            }
        }
    }
    return count;
}

void XVolumeIsosurfaceTool::Walk()
{
    const uint32_t nx = itsWalkSize[0], ny = itsWalkSize[1], nz = itsWalkSize[2];
    if (nx == 0 || ny == 0 || nz == 0) {
        XThread::TestCancelCurrentThread();
        return;
    }
    for (int slot = 0; slot < 2; ++slot)
        itsCellVertex[slot].assign(size_t(nx) * ny, kNoVertex);
    uint64_t walked = 0, nextTest = itsCancelInterval;
    for (uint32_t z = 0; z < nz; ++z) {
        // Faces of slice z name cells of slices z - 1 and z only, and the vertices of
        // slice z are all made from here on: what the slot holds from before is stale.
        itsSliceFirstVertex[z & 1] = itsPositions->size();
        for (uint32_t y = 0; y < ny; ++y) {
            WalkRow(y, z);
            if (itsCancelInterval) {
                walked += nx;
                if (walked >= nextTest) {
                    XThread::TestCancelCurrentThread();
                    nextTest = walked + itsCancelInterval;
                }
            }
        }
        if (!itsCancelInterval)
            XThread::TestCancelCurrentThread();
    }
    XThread::TestCancelCurrentThread();
}

void XVolumeIsosurfaceTool::WalkRow(uint32_t inY, uint32_t inZ)
{
    const uint8_t* row = itsPadded.get() + inZ * itsStrideZ + inY * itsStrideY;
    const size_t sy = itsStrideY, sz = itsStrideZ;
    const uint32_t nx = itsWalkSize[0];
    // Sixteen voxels at a time: a mask per axis of the voxels that differ from their
    // forward neighbour, visited in order, voxel by voxel and x, y, z within one.
    XByte16 iso;
    for (int i = 0; i < 16; ++i)
        iso[i] = itsIsoValue;
    uint32_t x = 0;
    for (; x + 16 <= nx; x += 16) {
        const auto here = Load16(row + x) > iso;
        const uint32_t alongX = GetByteSigns(here ^ (Load16(row + x + 1) > iso));
        const uint32_t alongY = GetByteSigns(here ^ (Load16(row + x + sy) > iso));
        const uint32_t alongZ = GetByteSigns(here ^ (Load16(row + x + sz) > iso));
        uint32_t any = alongX | alongY | alongZ;
        if (!any)
            continue;
        const uint32_t above = GetByteSigns(here);
        while (any) {
            const int k = __builtin_ctz(any);
            any &= any - 1;
            const uint32_t bit = 1u << k;
            const bool s = (above & bit) != 0;
            if (alongX & bit)
                AddFace(x + uint32_t(k), inY, inZ, 0, s);
            if (alongY & bit)
                AddFace(x + uint32_t(k), inY, inZ, 1, s);
            if (alongZ & bit)
                AddFace(x + uint32_t(k), inY, inZ, 2, s);
        }
    }
    for (; x < nx; ++x) {
        const bool s = IsAboveIsoValue(row[x]);
        if (s != IsAboveIsoValue(row[x + 1]))
            AddFace(x, inY, inZ, 0, s);
        if (s != IsAboveIsoValue(row[x + sy]))
            AddFace(x, inY, inZ, 1, s);
        if (s != IsAboveIsoValue(row[x + sz]))
            AddFace(x, inY, inZ, 2, s);
    }
}

// AddFace and GenerateVertexIndexForCell are inline: they are used in this file only,
// and members of a shared library that are not are called through its symbol table.
inline void XVolumeIsosurfaceTool::AddFace(uint32_t inX, uint32_t inY, uint32_t inZ, int inAxis, bool inAbove)
{
    const int32_t(*lut)[3] = sFaceVertexLut[inAxis];
    // The rows of the table hold only 0 and -1, and crossings lie at least one voxel
    // inside the padded box, so the cells stay inside the walk region.
    const int32_t* first = lut[0];
    const int32_t* last = lut[2];
    if ((inAxis == 1) == inAbove)
        std::swap(first, last);
    XMathVectorU4 quad;
    quad[0] = GenerateVertexIndexForCell(inX, inY, inZ);
    quad[1] = GenerateVertexIndexForCell(inX + first[0], inY + first[1], inZ + first[2]);
    quad[2] = GenerateVertexIndexForCell(inX + lut[1][0], inY + lut[1][1], inZ + lut[1][2]);
    quad[3] = GenerateVertexIndexForCell(inX + last[0], inY + last[1], inZ + last[2]);
    itsQuads->push_back(quad);
}

inline uint32_t XVolumeIsosurfaceTool::GenerateVertexIndexForCell(uint32_t inX, uint32_t inY, uint32_t inZ)
{
    const uint32_t slot = inZ & 1;
    const size_t index = size_t(inY) * itsWalkSize[0] + inX;
    uint32_t& vertex = itsCellVertex[slot][index];
    if (vertex != kNoVertex && vertex >= itsSliceFirstVertex[slot])
        return vertex;
    if (itsPositions->size() >= itsMaxVertexCount)
        throw XException(XException::kBadArgument,
                         XString("the surface needs more than %1 vertices; make it from a smaller region or "
                                 "a smaller resample factor")
                             .Replace(int64_t(itsMaxVertexCount)));
    itsPositions->push_back(GenerateVertexPositionForCell(inX, inY, inZ));
    vertex = uint32_t(itsPositions->size() - 1);
    return vertex;
}

XMathVectorF3 XVolumeIsosurfaceTool::GenerateVertexPositionForCell(uint32_t inX, uint32_t inY, uint32_t inZ) const
{
    // The position is the mean of the crossing points of the cell's twelve edges, axis x
    // first, then y, then z; edge bit 0 moves along the lower of the other two axes,
    // bit 1 along the higher. Each crossing adds its fraction along its own axis and
    // 0 or 1 along the others. The sums are made here in the same order of float
    // additions as point after point would make them (adding 0 changes nothing; the
    // 1s before the first fraction of a component add up exactly), with fewer steps.
    const uint8_t* cell = itsPadded.get() + inZ * itsStrideZ + inY * itsStrideY + inX;
    const size_t sy = itsStrideY, sz = itsStrideZ;
    const uint8_t v[2][2][2] = {{{cell[0], cell[1]}, {cell[sy], cell[sy + 1]}},
                                {{cell[sz], cell[sz + 1]}, {cell[sz + sy], cell[sz + sy + 1]}}};
    const float iso = float(itsIsoValue);
    const auto crossed = [this](uint8_t a, uint8_t b) { return IsAboveIsoValue(a) != IsAboveIsoValue(b); };
    const auto fraction = [iso](uint8_t a, uint8_t b) { return (iso - float(a)) / (float(b) - float(a)); };

    bool cx[4], cy[4], cz[4]; // per axis, edge e: x (y = e & 1, z = e >> 1), y (x, z), z (x, y)
    for (int e = 0; e < 4; ++e) {
        const int lo = e & 1, hi = e >> 1;
        cx[e] = crossed(v[hi][lo][0], v[hi][lo][1]);
        cy[e] = crossed(v[hi][0][lo], v[hi][1][lo]);
        cz[e] = crossed(v[0][hi][lo], v[1][hi][lo]);
    }
    float sum[3];
    // x: its own fractions, then the 1s of y edges 1, 3 and z edges 1, 3.
    sum[0] = 0.0f;
    for (int e = 0; e < 4; ++e)
        if (cx[e])
            sum[0] += fraction(v[e >> 1][e & 1][0], v[e >> 1][e & 1][1]);
    for (int ones = cy[1] + cy[3] + cz[1] + cz[3]; ones > 0; --ones)
        sum[0] += 1.0f;
    // y: the 1s of x edges 1, 3, its own fractions, then the 1s of z edges 2, 3.
    sum[1] = float(cx[1] + cx[3]);
    for (int e = 0; e < 4; ++e)
        if (cy[e])
            sum[1] += fraction(v[e >> 1][0][e & 1], v[e >> 1][1][e & 1]);
    for (int ones = cz[2] + cz[3]; ones > 0; --ones)
        sum[1] += 1.0f;
    // z: the 1s of x edges 2, 3 and y edges 2, 3, then its own fractions.
    sum[2] = float(cx[2] + cx[3] + cy[2] + cy[3]);
    for (int e = 0; e < 4; ++e)
        if (cz[e])
            sum[2] += fraction(v[0][e >> 1][e & 1], v[1][e >> 1][e & 1]);
    int count = 0;
    for (int e = 0; e < 4; ++e)
        count += cx[e] + cy[e] + cz[e];

    const int64_t cellCoord[3] = {itsWalkOrigin[0] + inX, itsWalkOrigin[1] + inY, itsWalkOrigin[2] + inZ};
    XMathVectorF3 position;
    for (size_t i = 0; i < 3; ++i) {
        const float mean = sum[i] / float(count);
        const float p = mean + float(cellCoord[i]);
        position[i] = itsOutputOrigin[i] + itsOutputScale[i] * (p - itsOutputOrigin[i]);
    }
    return position;
}

void XVolumeIsosurfaceTool::GenerateVertexNormals(XVector<XMathVectorF3>& outNormals)
{
    const XVector<XMathVectorF3>& positions = *itsPositions;
    const size_t count = positions.size() - itsFirstVertex;
    // The sums are made in the output list itself: no second list of the same size to
    // fill and copy.
    const size_t firstNormal = outNormals.size();
    outNormals.resize(firstNormal + count);
    XMathVectorF3* sums = outNormals.data() + firstNormal;
    itsNormalCounts.assign(count, 0);
    const XVector<XMathVectorU4>& quads = *itsQuads;
    for (size_t q = itsFirstQuad; q < quads.size(); ++q) {
        const XMathVectorU4& quad = quads[q];
        for (size_t k = 0; k < 4; ++k) {
            const XMathVectorF3& p = positions[quad[k]];
            const XMathVectorF3 toPrevious = positions[quad[(k + 3) & 3]] - p;
            const XMathVectorF3 toNext = positions[quad[(k + 1) & 3]] - p;
            sums[quad[k] - itsFirstVertex] += toPrevious.Cross(toNext);
            ++itsNormalCounts[quad[k] - itsFirstVertex];
        }
    }
    for (size_t i = 0; i < count; ++i)
        sums[i] = sums[i] / float(itsNormalCounts[i]);
}
