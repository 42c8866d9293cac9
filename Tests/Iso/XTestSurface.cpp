#include "XTestSurface.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <set>

XTestMask::XTestMask(int inX, int inY, int inZ) : itsSize{inX, inY, inZ}, itsVoxels(size_t(inX) * inY * inZ, 0) {}

uint8_t XTestMask::Get(int x, int y, int z) const
{
    if (x < 0 || y < 0 || z < 0 || x >= itsSize[0] || y >= itsSize[1] || z >= itsSize[2])
        return 0;
    return itsVoxels[(size_t(z) * itsSize[1] + y) * itsSize[0] + x];
}

void XTestMask::AddBox(int x0, int y0, int z0, int x1, int y1, int z1)
{
    for (int z = z0; z < z1; ++z)
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                At(x, y, z) = 255;
}

void XTestMask::AddBall(double inX, double inY, double inZ, double inRadius)
{
    for (int z = 0; z < itsSize[2]; ++z)
        for (int y = 0; y < itsSize[1]; ++y)
            for (int x = 0; x < itsSize[0]; ++x) {
                const double dx = x + 0.5 - inX, dy = y + 0.5 - inY, dz = z + 0.5 - inZ;
                if (dx * dx + dy * dy + dz * dz <= inRadius * inRadius)
                    At(x, y, z) = 255;
            }
}

XTestSurface MakeTestSurface(const XTestMask& inMask)
{
    constexpr int kPad = 2;
    constexpr float kIso = 128.0f;
    const int size[3] = {inMask.itsSize[0] + 2 * kPad, inMask.itsSize[1] + 2 * kPad, inMask.itsSize[2] + 2 * kPad};
    auto value = [&](int x, int y, int z) { return float(inMask.Get(x - kPad, y - kPad, z - kPad)); };
    static const int kOffsets[3][3][3] = {{{0, 0, -1}, {0, -1, -1}, {0, -1, 0}},
                                          {{0, 0, -1}, {-1, 0, -1}, {-1, 0, 0}},
                                          {{0, -1, 0}, {-1, -1, 0}, {-1, 0, 0}}};
    XTestSurface surface;
    std::map<std::array<int, 3>, uint32_t> cells;
    auto vertex = [&](int x, int y, int z) {
        auto found = cells.find({x, y, z});
        if (found != cells.end())
            return found->second;
        float sum[3] = {0, 0, 0};
        int n = 0;
        for (int axis = 0; axis < 3; ++axis)
            for (int edge = 0; edge < 4; ++edge) {
                int offset[3] = {0, 0, 0};
                const int other1 = axis == 0 ? 1 : 0, other2 = axis == 2 ? 1 : 2;
                offset[other1] = edge & 1;
                offset[other2] = (edge >> 1) & 1;
                const int e0[3] = {x + offset[0], y + offset[1], z + offset[2]};
                int e1[3] = {e0[0], e0[1], e0[2]};
                ++e1[axis];
                const float a = value(e0[0], e0[1], e0[2]), b = value(e1[0], e1[1], e1[2]);
                if ((a > kIso) != (b > kIso)) {
                    float point[3] = {float(offset[0]), float(offset[1]), float(offset[2])};
                    point[axis] += (kIso - a) / (b - a);
                    for (int i = 0; i < 3; ++i)
                        sum[i] += point[i];
                    ++n;
                }
            }
        surface.itsPositions.push_back(XMathVectorF3(sum[0] / n + float(x - kPad), sum[1] / n + float(y - kPad),
                                                     sum[2] / n + float(z - kPad)));
        const uint32_t index = uint32_t(surface.itsPositions.size() - 1);
        cells[{x, y, z}] = index;
        return index;
    };
    for (int z = 0; z + 1 < size[2]; ++z)
        for (int y = 0; y + 1 < size[1]; ++y)
            for (int x = 0; x + 1 < size[0]; ++x)
                for (int axis = 0; axis < 3; ++axis) {
                    const bool s = value(x, y, z) > kIso;
                    const bool t = value(x + (axis == 0), y + (axis == 1), z + (axis == 2)) > kIso;
                    if (s == t)
                        continue;
                    uint32_t v[4];
                    v[0] = vertex(x, y, z);
                    for (int k = 0; k < 3; ++k) {
                        const int* o = kOffsets[axis][k];
                        v[k + 1] = vertex(x + o[0], y + o[1], z + o[2]);
                    }
                    if ((axis == 1) != s)
                        surface.itsQuads.push_back(XMathVectorU4(v[0], v[1], v[2], v[3]));
                    else
                        surface.itsQuads.push_back(XMathVectorU4(v[0], v[3], v[2], v[1]));
                }
    return surface;
}

void ForEachTriangle(const XTestSurface& inSurface, const std::function<void(uint32_t, uint32_t, uint32_t)>& inDo)
{
    for (const XMathVectorU3& t : inSurface.itsTriangles)
        inDo(t[0], t[1], t[2]);
    for (const XMathVectorU4& q : inSurface.itsQuads) {
        inDo(q[0], q[1], q[2]);
        inDo(q[0], q[2], q[3]);
    }
}

std::map<std::pair<uint32_t, uint32_t>, int> GetDirectedEdges(const XTestSurface& inSurface)
{
    std::map<std::pair<uint32_t, uint32_t>, int> edges;
    auto polygon = [&edges](const uint32_t* inCorners, int inCount) {
        for (int k = 0; k < inCount; ++k)
            ++edges[{inCorners[k], inCorners[(k + 1) % inCount]}];
    };
    for (const XMathVectorU3& t : inSurface.itsTriangles)
        polygon(t.GetData(), 3);
    for (const XMathVectorU4& q : inSurface.itsQuads)
        polygon(q.GetData(), 4);
    return edges;
}

double GetSignedVolume(const XTestSurface& inSurface)
{
    double volume = 0.0;
    ForEachTriangle(inSurface, [&](uint32_t a, uint32_t b, uint32_t c) {
        const XMathVectorF3 &p = inSurface.itsPositions[a], &q = inSurface.itsPositions[b],
                            &r = inSurface.itsPositions[c];
        const XMathVectorD3 pd(p[0], p[1], p[2]), qd(q[0], q[1], q[2]), rd(r[0], r[1], r[2]);
        volume += pd.Dot(qd.Cross(rd)) / 6.0;
    });
    return volume;
}

std::pair<XMathVectorF3, XMathVectorF3> GetUsedBounds(const XTestSurface& inSurface)
{
    XMathVectorF3 low = XMathVectorF3::MakeFilled(FLT_MAX), high = XMathVectorF3::MakeFilled(-FLT_MAX);
    ForEachTriangle(inSurface, [&](uint32_t a, uint32_t b, uint32_t c) {
        for (uint32_t v : {a, b, c}) {
            low = XMathVectorF3::Min(low, inSurface.itsPositions[v]);
            high = XMathVectorF3::Max(high, inSurface.itsPositions[v]);
        }
    });
    return {low, high};
}

size_t CountUsedVertices(const XTestSurface& inSurface)
{
    std::set<uint32_t> used;
    ForEachTriangle(inSurface, [&](uint32_t a, uint32_t b, uint32_t c) { used.insert({a, b, c}); });
    return used.size();
}
