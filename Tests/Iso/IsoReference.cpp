#include "IsoReference.h"

#include <map>
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
    long long origin[3];
    long long paddedSize[3];
    long long walkSize[3];
    unsigned char iso;
    float outOrigin[3] = {0, 0, 0};
    float outScale[3] = {1, 1, 1};
    std::map<uint64_t, uint32_t> cells;
    XSurface surface;

    uint8_t Value(long long x, long long y, long long z) const
    {
        return padded[size_t(((z - origin[2]) * paddedSize[1] + (y - origin[1])) * paddedSize[0] + (x - origin[0]))];
    }

    XMathVectorF3 Position(long long x, long long y, long long z) const
    {
        XMathVectorF3 sum;
        int n = 0;
        const long long c[3] = {x, y, z};
        for (int i = 0; i < 3; ++i) {
            for (int e = 0; e < 4; ++e) {
                long long offset[3] = {0, 0, 0};
                int others[2], k = 0;
                for (int j = 0; j < 3; ++j)
                    if (j != i)
                        others[k++] = j;
                offset[others[0]] = e & 1;
                offset[others[1]] = (e >> 1) & 1;
                long long e0[3], e1[3];
                for (int j = 0; j < 3; ++j) {
                    e0[j] = c[j] + offset[j];
                    e1[j] = e0[j] + (j == i ? 1 : 0);
                }
                const float a = float(Value(e0[0], e0[1], e0[2]));
                const float b = float(Value(e1[0], e1[1], e1[2]));
                if ((a > float(iso)) != (b > float(iso))) {
                    const XMathVectorF3 point{float(offset[0]), float(offset[1]), float(offset[2])};
                    XMathVectorF3 unit;
                    unit[size_t(i)] = 1.0f;
                    sum += point + unit * ((float(iso) - a) / (b - a));
                    ++n;
                }
            }
        }
        XMathVectorF3 p = sum / float(n) + XMathVectorF3(float(x), float(y), float(z));
        for (size_t j = 0; j < 3; ++j)
            p[j] = outOrigin[j] + outScale[j] * (p[j] - outOrigin[j]);
        return p;
    }

    uint32_t Vertex(long long x, long long y, long long z)
    {
        const uint64_t key =
            (uint64_t(z - origin[2]) * uint64_t(walkSize[1]) + uint64_t(y - origin[1])) * uint64_t(walkSize[0]) +
            uint64_t(x - origin[0]);
        auto it = cells.find(key);
        if (it != cells.end())
            return it->second;
        surface.positions.push_back(Position(x, y, z));
        cells[key] = uint32_t(surface.positions.size() - 1);
        return uint32_t(surface.positions.size() - 1);
    }

    void AddFace(long long x, long long y, long long z, int a, bool s)
    {
        auto cell = [&](int row) {
            return Vertex(x + kLut[a][row][0], y + kLut[a][row][1], z + kLut[a][row][2]);
        };
        XMathVectorU4 q;
        q[0] = Vertex(x, y, z);
        if ((a == 1) != s) {
            q[1] = cell(0);
            q[2] = cell(1);
            q[3] = cell(2);
        } else {
            q[1] = cell(2);
            q[2] = cell(1);
            q[3] = cell(0);
        }
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
        m.outOrigin[0] = float(inOutputBounds->left);
        m.outOrigin[1] = float(inOutputBounds->top);
        m.outOrigin[2] = float(inOutputBounds->front);
        const long long out[3] = {inOutputBounds->GetWidth(), inOutputBounds->GetHeight(), inOutputBounds->GetDepth()};
        for (int i = 0; i < 3; ++i)
            m.outScale[i] = float(out[i]) / float(size[i]);
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

    for (long long z = m.origin[2]; z < m.origin[2] + m.walkSize[2]; ++z)
        for (long long y = m.origin[1]; y < m.origin[1] + m.walkSize[1]; ++y)
            for (long long x = m.origin[0]; x < m.origin[0] + m.walkSize[0]; ++x)
                for (int a = 0; a < 3; ++a) {
                    const bool s = m.Value(x, y, z) > inIso;
                    const bool t = m.Value(x + (a == 0), y + (a == 1), z + (a == 2)) > inIso;
                    if (s != t)
                        m.AddFace(x, y, z, a, s);
                }

    std::vector<XMathVectorF3> sums(m.surface.positions.size());
    std::vector<int> counts(m.surface.positions.size(), 0);
    for (const XMathVectorU4& q : m.surface.quads)
        for (size_t k = 0; k < 4; ++k) {
            const XMathVectorF3 p = m.surface.positions[q[k]];
            const XMathVectorF3 prev = m.surface.positions[q[(k + 3) % 4]];
            const XMathVectorF3 next = m.surface.positions[q[(k + 1) % 4]];
            sums[q[k]] += (prev - p).Cross(next - p);
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

XTopology GetTopology(const XVector<XMathVectorU4>& inQuads)
{
    XTopology t;
    std::map<std::pair<uint32_t, uint32_t>, int> directed;
    std::map<std::pair<uint32_t, uint32_t>, int> undirected;
    std::map<uint32_t, int> used;
    for (const XMathVectorU4& q : inQuads)
        for (size_t k = 0; k < 4; ++k) {
            const uint32_t a = q[k], b = q[(k + 1) % 4];
            ++directed[{a, b}];
            ++undirected[{std::min(a, b), std::max(a, b)}];
            used[a] = 1;
        }
    t.vertices = used.size();
    t.edges = undirected.size();
    t.faces = inQuads.size();
    for (const auto& [edge, count] : undirected)
        t.twoFacesPerEdge = t.twoFacesPerEdge && count == 2;
    for (const auto& [edge, count] : directed) {
        auto reverse = directed.find({edge.second, edge.first});
        t.directedEdgesPaired = t.directedEdgesPaired && reverse != directed.end() && reverse->second == count;
    }
    return t;
}

double GetEnclosedVolume(const XSurface& inSurface)
{
    double volume = 0;
    for (const XMathVectorU4& q : inSurface.quads)
        for (size_t k = 1; k + 1 < 4; ++k) {
            const XMathVectorF3& a = inSurface.positions[q[0]];
            const XMathVectorF3& b = inSurface.positions[q[k]];
            const XMathVectorF3& c = inSurface.positions[q[k + 1]];
            // Clockwise from outside: the determinant of (a, c, b) counts positive.
            volume += (double(a[0]) * (double(c[1]) * b[2] - double(c[2]) * b[1]) -
                       double(a[1]) * (double(c[0]) * b[2] - double(c[2]) * b[0]) +
                       double(a[2]) * (double(c[0]) * b[1] - double(c[1]) * b[0])) /
                      6.0;
        }
    return volume;
}
} // namespace IsoReference
