#include "X3DVolumeScaleGrid.h"

#include "XException.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
// Quotients within this (relative) distance of a whole number count as that number,
// so that 5.9999999 intervals are 6 and not 5 or 7.
constexpr double kWholeTolerance = 1e-6;

bool IsNearlyWhole(double inValue, double& outWhole)
{
    outWhole = std::round(inValue);
    return std::abs(inValue - outWhole) <= kWholeTolerance * std::max(1.0, std::abs(inValue));
}
double CeilNearly(double inValue)
{
    double whole;
    return IsNearlyWhole(inValue, whole) ? whole : std::ceil(inValue);
}
double FloorNearly(double inValue)
{
    double whole;
    return IsNearlyWhole(inValue, whole) ? whole : std::floor(inValue);
}

// The face a box side lies on: x max 2, min 3; y max 0, min 1; z max 4, min 5.
int32_t FaceOf(int inAxis, bool inMax)
{
    static constexpr int32_t kFaces[3][2] = {{3, 2}, {1, 0}, {5, 4}};
    return kFaces[inAxis][inMax ? 1 : 0];
}

bool LessZYX(const XMathVectorF3& a, const XMathVectorF3& b)
{
    for (int i = 2; i >= 0; --i)
        if (a[size_t(i)] != b[size_t(i)])
            return a[size_t(i)] < b[size_t(i)];
    return false;
}
} // namespace

const std::array<XMathVectorF3, X3DVolumeScaleGrid::kFaceCount> X3DVolumeScaleGrid::kFaceNormals = {
    XMathVectorF3(0, 1, 0), XMathVectorF3(0, -1, 0), XMathVectorF3(1, 0, 0),
    XMathVectorF3(-1, 0, 0), XMathVectorF3(0, 0, 1), XMathVectorF3(0, 0, -1)};

X3DVolumeScaleGrid::XLineElement::XLineElement(const XMathVectorF3& inA, const XMathVectorF3& inB)
    : first(LessZYX(inB, inA) ? inB : inA), second(LessZYX(inB, inA) ? inA : inB)
{
}

bool operator<(const X3DVolumeScaleGrid::XLineElement& a, const X3DVolumeScaleGrid::XLineElement& b)
{
    if (a.first != b.first)
        return LessZYX(a.first, b.first);
    return LessZYX(a.second, b.second);
}

float X3DVolumeScaleGrid::Calibrate(uint32_t inIntervals, double inVoxelSizeX, double inVoxelSizeY, double inVoxelSizeZ,
    const X3DRect& inBounds)
{
    if (inIntervals == 0 || inIntervals > kMaxIntervals)
        throw XException(XException::kBadArgument,
            XString("the scale needs 1 to %1 intervals, not %2").Replace(int64_t(kMaxIntervals)).Replace(int64_t(inIntervals)));
    const double sizes[3] = {inVoxelSizeX, inVoxelSizeY, inVoxelSizeZ};
    for (double size : sizes)
        if (!(size > 0.0) || !std::isfinite(size))
            throw XException(XException::kBadArgument,
                XString("the scale needs positive, finite voxel sizes, not %1").Replace(size));
    if (inBounds.IsEmpty())
        throw XException(XException::kBadArgument, XString("the scale needs a volume of at least one voxel"));

    const int64_t voxels[3] = {inBounds.GetWidth(), inBounds.GetHeight(), inBounds.GetDepth()};
    double lengths[3];
    for (int a = 0; a < 3; ++a)
        lengths[a] = double(voxels[a] + 2) * sizes[a];
    int reference = 0;
    for (int a = 1; a < 3; ++a)
        if (voxels[a] > voxels[reference])
            reference = a;
    const double spacing = lengths[reference] / double(inIntervals);

    XMathVectorU3 counts;
    int32_t extents[3];
    for (int a = 0; a < 3; ++a) {
        const double count = CeilNearly(lengths[a] / spacing);
        if (!(count <= double(kMaxIntervals)))
            throw XException(XException::kBadArgument,
                XString("the scale would need %1 intervals along one axis; at most %2 are drawn")
                    .Replace(count)
                    .Replace(int64_t(kMaxIntervals)));
        counts[size_t(a)] = uint32_t(std::max(1.0, count));
        const double extent = FloorNearly(double(counts[size_t(a)]) * spacing / sizes[a]);
        if (!(extent <= double(std::numeric_limits<int32_t>::max() / 4)))
            throw XException(XException::kBadArgument, XString("the volume is too large for the scale"));
        extents[a] = int32_t(extent);
    }
    X3DRect box(0, 0, 0, extents[0], extents[1], extents[2]);
    box.CentreOn(inBounds);

    itsBox = XMathRectF3(XMathVectorF3(float(box.left), float(box.top), float(box.front)),
        XMathVectorF3(float(box.GetWidth()), float(box.GetHeight()), float(box.GetDepth())));
    itsTickCounts = counts;
    Generate();
    return float(spacing);
}

size_t X3DVolumeScaleGrid::GetLineCount() const
{
    size_t count = 0;
    for (const auto& lines : itsFaceLines)
        count += lines.size();
    return count;
}

void X3DVolumeScaleGrid::Generate()
{
    for (auto& lines : itsFaceLines)
        lines.clear();
    GenerateInZ(itsBox, itsTickCounts[2]);
    GenerateInX(itsBox, itsTickCounts[0]);
    GenerateInY(itsBox, itsTickCounts[1]);
}

void X3DVolumeScaleGrid::GenerateInX(const XMathRectF3& inBox, uint32_t inCount)
{
    AddCrossSections(0, inBox, inCount);
}

void X3DVolumeScaleGrid::GenerateInY(const XMathRectF3& inBox, uint32_t inCount)
{
    AddCrossSections(1, inBox, inCount);
}

void X3DVolumeScaleGrid::GenerateInZ(const XMathRectF3& inBox, uint32_t inCount)
{
    AddCrossSections(2, inBox, inCount);
}

void X3DVolumeScaleGrid::AddCrossSections(int inAxis, const XMathRectF3& inBox, uint32_t inCount)
{
    if (inCount == 0)
        return;
    const XMathVectorF3 min = inBox.GetMin(), max = inBox.GetMax();
    const int b = (inAxis + 1) % 3, c = (inAxis + 2) % 3;
    const float step = inBox.GetSize()[size_t(inAxis)] / float(inCount);
    for (uint32_t i = 0; i <= inCount; ++i) {
        XMathVectorF3 at = min;
        // The last section lies exactly on the far side, where the other axes' sections
        // put their edges too, so that shared edges compare equal.
        at[size_t(inAxis)] = i == inCount ? max[size_t(inAxis)] : min[size_t(inAxis)] + float(i) * step;
        for (bool atMax : {false, true}) {
            // The edge along c on the b side, and the edge along b on the c side.
            XMathVectorF3 p = at, q = at;
            p[size_t(b)] = q[size_t(b)] = atMax ? max[size_t(b)] : min[size_t(b)];
            p[size_t(c)] = min[size_t(c)];
            q[size_t(c)] = max[size_t(c)];
            itsFaceLines[size_t(FaceOf(b, atMax))].emplace_back(p, q);
            XMathVectorF3 r = at, s = at;
            r[size_t(c)] = s[size_t(c)] = atMax ? max[size_t(c)] : min[size_t(c)];
            r[size_t(b)] = min[size_t(b)];
            s[size_t(b)] = max[size_t(b)];
            itsFaceLines[size_t(FaceOf(c, atMax))].emplace_back(r, s);
        }
    }
}

X3DVolumeScaleGrid::XFaceState X3DVolumeScaleGrid::GetFaceVisibilityState(int32_t inFace, const XMathVectorF3& inNormal,
    const XMathVectorF3& inView)
{
    return XFaceState{inFace, (1.0f - inNormal.Dot(inView)) * 0.5f, inNormal};
}

float X3DVolumeScaleGrid::GetFaceAlpha(float inVisibility)
{
    if (!(inVisibility > kHiddenVisibility))
        return 0.0f;
    if (inVisibility > kOpaqueVisibility)
        return 1.0f;
    const float range = kOpaqueVisibility - kHiddenVisibility;
    return (inVisibility - kHiddenVisibility) / range;
}

XVector<X3DVolumeScaleGrid::XFaceDrawing> X3DVolumeScaleGrid::GetFaceDrawings(const XMathVectorF3& inView) const
{
    std::array<XFaceState, kFaceCount> states;
    for (int32_t f = 0; f < kFaceCount; ++f)
        states[size_t(f)] = GetFaceVisibilityState(f, kFaceNormals[size_t(f)], inView);
    // Least visible first; a view along a diagonal ties faces, which keep their order.
    std::stable_sort(states.begin(), states.end(),
        [](const XFaceState& a, const XFaceState& b) { return a.visibility < b.visibility; });

    XVector<XFaceDrawing> drawings;
    XVector<XLineElement> later; // sorted lines of the faces after the current one
    for (int32_t i = kFaceCount - 1; i >= 0; --i) {
        const XFaceState& state = states[size_t(i)];
        const XVector<XLineElement>& lines = itsFaceLines[size_t(state.face)];
        if (state.visibility > kHiddenVisibility) {
            XFaceDrawing drawing{state, GetFaceAlpha(state.visibility), {}};
            for (const XLineElement& line : lines)
                if (!std::binary_search(later.begin(), later.end(), line))
                    drawing.lines.push_back(line);
            drawings.insert(drawings.begin(), std::move(drawing));
        }
        const size_t middle = later.size();
        later.insert(later.end(), lines.begin(), lines.end());
        std::sort(later.begin() + std::ptrdiff_t(middle), later.end());
        std::inplace_merge(later.begin(), later.begin() + std::ptrdiff_t(middle), later.end());
    }
    return drawings;
}
