#include "X3DRegion.h"

#include "XVolume.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {
bool RowBefore(const X3DRegion::XRun& a, int32_t inZ, int32_t inY)
{
    return a.z < inZ || (a.z == inZ && a.y < inY);
}
} // namespace

X3DRegion::X3DRegion(const X3DRect& inBox, XARGB32Colour inColour) : itsColour(inColour)
{
    AddBox(inBox);
}

X3DRegion::X3DRegion(const XVolume& inMask, XARGB32Colour inColour) : itsColour(inColour)
{
    const X3DRect& b = inMask.GetBounds();
    if (inMask.IsEmpty())
        return;
    const size_t bpv = inMask.GetBytesPerVoxel();
    const bool colour = inMask.GetVoxelType() == XVoxelType::kARGB32 || inMask.GetVoxelType() == XVoxelType::kBGRA32;
    const size_t skip = inMask.GetVoxelType() == XVoxelType::kARGB32 ? 1 : 0; // alpha is not part of the colour
    auto isSet = [&](const uint8_t* p) {
        if (colour) {
            const uint8_t* c = p + skip;
            return c[0] || c[1] || c[2];
        }
        if (inMask.GetVoxelType() == XVoxelType::kFloat32) {
            float v;
            std::memcpy(&v, p, 4);
            return v != 0.0f && v == v;
        }
        for (size_t i = 0; i < bpv; ++i)
            if (p[i])
                return true;
        return false;
    };
    // Rows are scanned in order, so runs come out sorted and can be appended.
    for (int32_t z = 0; z < inMask.GetDepth(); ++z)
        for (int32_t y = 0; y < inMask.GetHeight(); ++y) {
            const uint8_t* row = inMask.GetRowPtr(y, z);
            int32_t x = 0;
            while (x < inMask.GetWidth()) {
                while (x < inMask.GetWidth() && !isSet(row + size_t(x) * bpv))
                    ++x;
                int32_t start = x;
                while (x < inMask.GetWidth() && isSet(row + size_t(x) * bpv))
                    ++x;
                if (x > start)
                    itsRuns.push_back(XRun{b.front + z, b.top + y, b.left + start, b.left + x});
            }
        }
}

void X3DRegion::AddRun(int32_t inY, int32_t inZ, int32_t inX0, int32_t inX1)
{
    if (inX1 <= inX0)
        return;
    // First run of the row that could touch the new one, then swallow every run it touches.
    auto first = std::lower_bound(itsRuns.begin(), itsRuns.end(), XRun{inZ, inY, inX0, inX0},
                                  [](const XRun& a, const XRun& b) {
                                      if (a.z != b.z || a.y != b.y)
                                          return RowBefore(a, b.z, b.y);
                                      return a.x1 < b.x0; // ends before the new run starts (touching counts as joining)
                                  });
    auto last = first;
    XRun merged{inZ, inY, inX0, inX1};
    while (last != itsRuns.end() && last->z == inZ && last->y == inY && last->x0 <= inX1) {
        merged.x0 = std::min(merged.x0, last->x0);
        merged.x1 = std::max(merged.x1, last->x1);
        ++last;
    }
    if (first == last) {
        itsRuns.insert(first, merged);
        return;
    }
    *first = merged;
    itsRuns.erase(first + 1, last);
}

void X3DRegion::AddBox(const X3DRect& inBox)
{
    if (inBox.IsEmpty())
        return;
    for (int32_t z = inBox.front; z < inBox.back; ++z)
        for (int32_t y = inBox.top; y < inBox.bottom; ++y)
            AddRun(y, z, inBox.left, inBox.right);
}

void X3DRegion::Offset(int32_t inDX, int32_t inDY, int32_t inDZ)
{
    for (XRun& run : itsRuns) {
        run.x0 += inDX;
        run.x1 += inDX;
        run.y += inDY;
        run.z += inDZ;
    }
}

bool X3DRegion::Contains(const X3DPoint& inVoxel) const
{
    auto it = std::upper_bound(itsRuns.begin(), itsRuns.end(), inVoxel, [](const X3DPoint& p, const XRun& r) {
        if (p.z != r.z || p.y != r.y)
            return p.z < r.z || (p.z == r.z && p.y < r.y);
        return p.x < r.x0;
    });
    if (it == itsRuns.begin())
        return false;
    --it;
    return it->z == inVoxel.z && it->y == inVoxel.y && inVoxel.x >= it->x0 && inVoxel.x < it->x1;
}

uint64_t X3DRegion::GetVoxelCount() const
{
    uint64_t n = 0;
    for (const XRun& run : itsRuns)
        n += uint64_t(int64_t(run.x1) - run.x0);
    return n;
}

X3DRect X3DRegion::GetBounds() const
{
    if (itsRuns.empty())
        return X3DRect();
    X3DRect box(itsRuns.front().x0, itsRuns.front().y, itsRuns.front().z, itsRuns.front().x1, itsRuns.front().y + 1,
                itsRuns.back().z + 1);
    for (const XRun& run : itsRuns) {
        box.left = std::min(box.left, run.x0);
        box.right = std::max(box.right, run.x1);
        box.top = std::min(box.top, run.y);
        box.bottom = std::max(box.bottom, run.y + 1);
    }
    return box;
}

XMaskVolume X3DRegion::GetMaskVolume() const
{
    return GetMaskVolume(GetBounds());
}

XMaskVolume X3DRegion::GetMaskVolume(const X3DRect& inBox) const
{
    XMaskVolume mask(inBox);
    if (mask.IsEmpty())
        return mask;
    for (const XRun& run : itsRuns) {
        if (run.z < inBox.front || run.z >= inBox.back || run.y < inBox.top || run.y >= inBox.bottom)
            continue;
        int32_t x0 = std::max(run.x0, inBox.left), x1 = std::min(run.x1, inBox.right);
        if (x1 > x0)
            std::memset(mask.GetVoxelRow(run.y - inBox.top, run.z - inBox.front) + (x0 - inBox.left), 255, size_t(x1 - x0));
    }
    return mask;
}

std::vector<X3DRegion> X3DRegion::FindObjects(const XVolume& inVolume, double inThreshold, XARGB32Colour inColour)
{
    const int64_t w = inVolume.GetWidth(), h = inVolume.GetHeight(), d = inVolume.GetDepth();
    if (inVolume.IsEmpty() || w <= 0 || h <= 0 || d <= 0)
        return {};
    const XVoxelType type = inVolume.GetVoxelType();
    const auto value = [type](const uint8_t* p) -> double {
        uint16_t c16[3];
        float f;
        switch (type) {
        case XVoxelType::kGrey16:
            std::memcpy(c16, p, 2);
            return c16[0];
        case XVoxelType::kFloat32:
            std::memcpy(&f, p, 4);
            return f == f ? f : -std::numeric_limits<double>::infinity();
        case XVoxelType::kARGB32:
            return std::max({p[1], p[2], p[3]});
        case XVoxelType::kBGRA32:
            return std::max({p[0], p[1], p[2]});
        case XVoxelType::kRGB48:
            std::memcpy(c16, p, 6);
            return std::max({c16[0], c16[1], c16[2]});
        default:
            return p[0];
        }
    };
    // 0: below; kUnlabelled: above, no object yet; else the object's index + 1.
    constexpr uint32_t kUnlabelled = std::numeric_limits<uint32_t>::max();
    const size_t bpv = inVolume.GetBytesPerVoxel();
    std::vector<uint32_t> labels(size_t(w * h * d), 0);
    for (int64_t z = 0; z < d; ++z)
        for (int64_t y = 0; y < h; ++y) {
            const uint8_t* row = inVolume.GetRowPtr(int32_t(y), int32_t(z));
            for (int64_t x = 0; x < w; ++x)
                if (value(row + size_t(x) * bpv) > inThreshold)
                    labels[size_t((z * h + y) * w + x)] = kUnlabelled;
        }
    uint32_t objects = 0;
    std::vector<size_t> stack;
    for (size_t seed = 0; seed < labels.size(); ++seed) {
        if (labels[seed] != kUnlabelled)
            continue;
        const uint32_t label = ++objects;
        labels[seed] = label;
        stack.push_back(seed);
        while (!stack.empty()) {
            const size_t i = stack.back();
            stack.pop_back();
            const int64_t x = int64_t(i) % w, y = int64_t(i) / w % h, z = int64_t(i) / (w * h);
            const auto visit = [&](bool inInside, size_t inNext) {
                if (inInside && labels[inNext] == kUnlabelled) {
                    labels[inNext] = label;
                    stack.push_back(inNext);
                }
            };
            visit(x > 0, i - 1);
            visit(x + 1 < w, i + 1);
            visit(y > 0, i - size_t(w));
            visit(y + 1 < h, i + size_t(w));
            visit(z > 0, i - size_t(w * h));
            visit(z + 1 < d, i + size_t(w * h));
        }
    }
    // Scanning in z, y, x order gives every object its runs already sorted.
    std::vector<X3DRegion> result(objects, X3DRegion());
    const X3DRect& b = inVolume.GetBounds();
    for (int64_t z = 0; z < d; ++z)
        for (int64_t y = 0; y < h; ++y) {
            const uint32_t* row = labels.data() + size_t((z * h + y) * w);
            for (int64_t x = 0; x < w;) {
                const uint32_t label = row[x];
                int64_t end = x + 1;
                while (end < w && row[end] == label)
                    ++end;
                if (label != 0)
                    result[label - 1].itsRuns.push_back(
                        {int32_t(b.GetFront() + z), int32_t(b.GetTop() + y), int32_t(b.GetLeft() + x), int32_t(b.GetLeft() + end)});
                x = end;
            }
        }
    for (X3DRegion& region : result)
        region.itsColour = inColour;
    return result;
}
