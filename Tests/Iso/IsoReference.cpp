#include "IsoReference.h"

#include <cfloat>
#include <set>
#include <vector>

namespace IsoReference {
namespace {
const int kLut[3][3][3] = {
    {{0, 0, -1}, {0, -1, -1}, {0, -1, 0}},
    {{0, 0, -1}, {-1, 0, -1}, {-1, 0, 0}},
    {{0, -1, 0}, {-1, -1, 0}, {-1, 0, 0}},
};

struct XLiteral {
    std::vector<uint8_t> padded;
    long long origin[3], paddedSize[3], walkSize[3];
    unsigned char iso;
    float outOrigin[3] = {0, 0, 0};
    float outScale[3] = {1, 1, 1};
    std::map<uint64_t, uint32_t> cells;
    XSurface surface;

    uint8_t Value(const long long p[3]) const
    {
        return padded[size_t(((p[2] - origin[2]) * paddedSize[1] + (p[1] - origin[1])) * paddedSize[0] + (p[0] - origin[0]))];
    }

    XMathVectorF3 Position(const long long c[3]) const
    {
        XMathVectorF3 sum;
        int n = 0;
        for (int i = 0; i < 3; ++i)
            for (int e = 0; e < 4; ++e) {
                const int lower = i == 0 ? 1 : 0, higher = i == 2 ? 1 : 2;
                long long offset[3] = {0, 0, 0};
                offset[lower] = e & 1;
                offset[higher] = (e >> 1) & 1;
                long long e0[3], e1[3];
                for (int j = 0; j < 3; ++j) {
                    e0[j] = c[j] + offset[j];
                    e1[j] = e0[j] + (j == i);
                }
                const float a = float(Value(e0)), b = float(Value(e1));
                if ((a > float(iso)) != (b > float(iso))) {
                    XMathVectorF3 unit;
                    unit[size_t(i)] = 1.0f;
                    sum += XMathVectorF3{float(offset[0]), float(offset[1]), float(offset[2])} +
                           unit * ((float(iso) - a) / (b - a));
                    ++n;
                }
            }
        XMathVectorF3 p = sum / float(n) + XMathVectorF3(float(c[0]), float(c[1]), float(c[2]));
        for (size_t j = 0; j < 3; ++j)
            p[j] = outOrigin[j] + outScale[j] * (p[j] - outOrigin[j]);
        return p;
    }

    uint32_t Vertex(const long long c[3])
    {
        const uint64_t key = (uint64_t(c[2] - origin[2]) * uint64_t(walkSize[1]) + uint64_t(c[1] - origin[1])) *
                                 uint64_t(walkSize[0]) +
                             uint64_t(c[0] - origin[0]);
        if (auto it = cells.find(key); it != cells.end())
            return it->second;
        surface.positions.push_back(Position(c));
        return cells[key] = uint32_t(surface.positions.size() - 1);
    }

    void AddFace(const long long p[3], int a, bool s)
    {
        long long cell[3][3];
        for (int row = 0; row < 3; ++row)
            for (int j = 0; j < 3; ++j)
                cell[row][j] = p[j] + kLut[a][row][j];
        const bool forward = (a == 1) != s;
        XMathVectorU4 q;
        q[0] = Vertex(p);
        q[1] = Vertex(cell[forward ? 0 : 2]);
        q[2] = Vertex(cell[1]);
        q[3] = Vertex(cell[forward ? 2 : 0]);
        surface.quads.push_back(q);
    }
};
} // namespace

XSurface Extract(const XMaskVolume& inVolume, unsigned char inIso, const std::optional<X3DRect>& inOutputBounds)
{
    XLiteral m;
    m.iso = inIso;
    const X3DRect b = inVolume.GetBounds();
    const long long low[3] = {b.left, b.top, b.front};
    const long long size[3] = {b.GetWidth(), b.GetHeight(), b.GetDepth()};
    if (size[0] <= 0 || size[1] <= 0 || size[2] <= 0)
        return {};
    if (inOutputBounds) {
        const X3DRect& o = *inOutputBounds;
        const long long out[3] = {o.GetWidth(), o.GetHeight(), o.GetDepth()};
        const float origin[3] = {float(o.left), float(o.top), float(o.front)};
        for (int i = 0; i < 3; ++i) {
            m.outOrigin[i] = origin[i];
            m.outScale[i] = float(out[i]) / float(size[i]);
        }
    }
    for (int i = 0; i < 3; ++i) {
        m.origin[i] = low[i] - 2;
        m.paddedSize[i] = size[i] + 4;
        m.walkSize[i] = m.paddedSize[i] - 1;
    }
    m.padded.assign(size_t(m.paddedSize[0] * m.paddedSize[1] * m.paddedSize[2]), 0);
    for (long long z = 0; z < size[2]; ++z)
        for (long long y = 0; y < size[1]; ++y)
            for (long long x = 0; x < size[0]; ++x)
                m.padded[size_t(((z + 2) * m.paddedSize[1] + (y + 2)) * m.paddedSize[0] + (x + 2))] =
                    inVolume.GetVoxel(int32_t(x), int32_t(y), int32_t(z));

    long long p[3];
    for (p[2] = m.origin[2]; p[2] < m.origin[2] + m.walkSize[2]; ++p[2])
        for (p[1] = m.origin[1]; p[1] < m.origin[1] + m.walkSize[1]; ++p[1])
            for (p[0] = m.origin[0]; p[0] < m.origin[0] + m.walkSize[0]; ++p[0])
                for (int a = 0; a < 3; ++a) {
                    const long long next[3] = {p[0] + (a == 0), p[1] + (a == 1), p[2] + (a == 2)};
                    const bool s = m.Value(p) > inIso;
                    if (s != (m.Value(next) > inIso))
                        m.AddFace(p, a, s);
                }

    std::vector<XMathVectorF3> sums(m.surface.positions.size());
    std::vector<int> counts(m.surface.positions.size(), 0);
    const XVector<XMathVectorF3>& pos = m.surface.positions;
    for (const XMathVectorU4& q : m.surface.quads)
        for (size_t k = 0; k < 4; ++k) {
            sums[q[k]] += (pos[q[(k + 3) % 4]] - pos[q[k]]).Cross(pos[q[(k + 1) % 4]] - pos[q[k]]);
            counts[q[k]] += 1;
        }
    for (size_t i = 0; i < sums.size(); ++i)
        m.surface.normals.push_back(sums[i] / float(counts[i]));
    return m.surface;
}

XMaskVolume MakeMask(const X3DRect& inBox, const std::function<bool(int, int, int)>& inInside)
{
    XMaskVolume mask(inBox);
    for (int z = inBox.front; z < inBox.back; ++z)
        for (int y = inBox.top; y < inBox.bottom; ++y)
            for (int x = inBox.left; x < inBox.right; ++x)
                mask.SetVoxel(x - inBox.left, y - inBox.top, z - inBox.front, inInside(x, y, z) ? 255 : 0);
    return mask;
}

void ForEachTriangle(const XSurface& inSurface, const std::function<void(uint32_t, uint32_t, uint32_t)>& inDo)
{
    for (const XMathVectorU3& t : inSurface.triangles)
        inDo(t[0], t[1], t[2]);
    for (const XMathVectorU4& q : inSurface.quads) {
        inDo(q[0], q[1], q[2]);
        inDo(q[0], q[2], q[3]);
    }
}

std::map<std::pair<uint32_t, uint32_t>, int> GetDirectedEdges(const XSurface& inSurface)
{
    std::map<std::pair<uint32_t, uint32_t>, int> edges;
    auto polygon = [&edges](const uint32_t* inCorners, int inCount) {
        for (int k = 0; k < inCount; ++k)
            ++edges[{inCorners[k], inCorners[(k + 1) % inCount]}];
    };
    for (const XMathVectorU3& t : inSurface.triangles)
        polygon(t.GetData(), 3);
    for (const XMathVectorU4& q : inSurface.quads)
        polygon(q.GetData(), 4);
    return edges;
}

double GetEnclosedVolume(const XSurface& inSurface)
{
    double volume = 0;
    auto d = [&](uint32_t v) {
        const XMathVectorF3& p = inSurface.positions[v];
        return XMathVectorD3(p[0], p[1], p[2]);
    };
    // Clockwise from outside: the triple product of (a, c, b) counts positive.
    ForEachTriangle(inSurface, [&](uint32_t a, uint32_t b, uint32_t c) { volume += d(a).Dot(d(c).Cross(d(b))) / 6.0; });
    return volume;
}

std::pair<XMathVectorF3, XMathVectorF3> GetUsedBounds(const XSurface& inSurface)
{
    XMathVectorF3 low = XMathVectorF3::MakeFilled(FLT_MAX), high = XMathVectorF3::MakeFilled(-FLT_MAX);
    ForEachTriangle(inSurface, [&](uint32_t a, uint32_t b, uint32_t c) {
        for (uint32_t v : {a, b, c}) {
            low = XMathVectorF3::Min(low, inSurface.positions[v]);
            high = XMathVectorF3::Max(high, inSurface.positions[v]);
        }
    });
    return {low, high};
}

size_t CountUsedVertices(const XSurface& inSurface)
{
    std::set<uint32_t> used;
    ForEachTriangle(inSurface, [&](uint32_t a, uint32_t b, uint32_t c) { used.insert({a, b, c}); });
    return used.size();
}
} // namespace IsoReference
