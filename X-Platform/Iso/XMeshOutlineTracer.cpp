#include "XMeshOutlineTracer.h"

#include <algorithm>
#include <utility>

namespace {

uint64_t EdgeKey(uint32_t inFrom, uint32_t inTo) { return (uint64_t(inFrom) << 32) | inTo; }

} // namespace

XMeshOutlineTracer::XMeshOutlineTracer(const XVector<XMathVectorU3>& inTriangles, const XVector<XMathVectorU4>& inQuads,
                                       size_t inVertexCount)
    : itsTriangles(inTriangles), itsQuads(inQuads), itsVertexMark(inVertexCount, 0)
{
}

uint32_t XMeshOutlineTracer::NextMark()
{
    if (itsMarkStamp == 0xFFFFFFFF) {
        std::fill(itsVertexMark.begin(), itsVertexMark.end(), 0);
        itsMarkStamp = 0;
    }
    return ++itsMarkStamp;
}

// An edge at one of the inside vertices is inside the region, since each of them has its
// whole fan there, so only the others need looking up.
bool XMeshOutlineTracer::Trace(const XVector<XPolygon>& inPolygons, const XVector<uint32_t>& inInside,
                               XVector<XVector<uint32_t>>& outLoops)
{
    outLoops.clear();
    const uint32_t inside = NextMark();
    for (uint32_t v : inInside)
        itsVertexMark[v] = inside;
    XVector<uint64_t>& edges = itsEdgeScratch;
    edges.clear();
    for (const XPolygon& polygon : inPolygons) {
        uint32_t c[4];
        const uint32_t n = polygon.GetCorners(itsTriangles, itsQuads, c);
        for (uint32_t k = 0; k < n; ++k) {
            const uint32_t from = c[k], to = c[(k + 1) % n];
            if (itsVertexMark[from] != inside && itsVertexMark[to] != inside)
                edges.push_back(EdgeKey(from, to));
        }
    }
    std::sort(edges.begin(), edges.end());
    XVector<XEdge> outline;
    for (size_t i = 0; i < edges.size();) {
        size_t j = i;
        while (j < edges.size() && edges[j] == edges[i])
            ++j;
        const uint32_t from = uint32_t(edges[i] >> 32), to = uint32_t(edges[i]);
        const uint64_t reverse = EdgeKey(to, from);
        const auto range = std::equal_range(edges.begin(), edges.end(), reverse);
        for (ptrdiff_t extra = ptrdiff_t(j - i) - (range.second - range.first); extra > 0; --extra)
            outline.push_back({from, to});
        i = j;
    }

    // Outline edges by their start; at a vertex the outline passes more than once, any
    // unused edge will do: the loops are split at repeated vertices afterwards.
    XVector<uint8_t> used(outline.size(), 0);
    XVector<uint32_t> loop;
    for (size_t first = 0; first < outline.size(); ++first) {
        if (used[first])
            continue;
        loop.clear();
        used[first] = 1;
        loop.push_back(outline[first].itsFrom);
        uint32_t at = outline[first].itsTo;
        while (at != outline[first].itsFrom) {
            loop.push_back(at);
            auto it = std::lower_bound(outline.begin(), outline.end(), at,
                                       [](const XEdge& e, uint32_t v) { return e.itsFrom < v; });
            const XEdge* currentEdge = nullptr;
            for (; it != outline.end() && it->itsFrom == at; ++it)
                if (!used[size_t(it - outline.begin())]) {
                    currentEdge = &*it;
                    used[size_t(it - outline.begin())] = 1;
                    break;
                }
            if (!currentEdge)
                return false;
            at = currentEdge->itsTo;
        }
        SplitOutDuplicates(loop, outLoops);
    }
    return true;
}

void XMeshOutlineTracer::SplitOutDuplicates(const XVector<uint32_t>& inLoop, XVector<XVector<uint32_t>>& outLoops)
{
    const uint32_t stamp = NextMark();
    XVector<uint32_t> stack;
    for (uint32_t v : inLoop) {
        if (itsVertexMark[v] == stamp) {
            auto it = std::find(stack.begin(), stack.end(), v);
            XVector<uint32_t> piece(it, stack.end());
            for (auto p = it + 1; p != stack.end(); ++p)
                itsVertexMark[*p] = 0;
            stack.erase(it + 1, stack.end());
            if (piece.size() >= 3)
                outLoops.push_back(std::move(piece));
            continue;
        }
        itsVertexMark[v] = stamp;
        stack.push_back(v);
    }
    if (stack.size() >= 3)
        outLoops.push_back(std::move(stack));
}

bool XMeshOutlineTracer::Closes(const XVector<XVector<uint32_t>>& inLoops, const XVector<XMathVectorU3>& inAdded)
{
    XVector<std::pair<uint64_t, int>> flow;
    auto add = [&flow](uint32_t a, uint32_t b, int inSign) {
        if (a < b)
            flow.push_back({EdgeKey(a, b), inSign});
        else
            flow.push_back({EdgeKey(b, a), -inSign});
    };
    for (const XVector<uint32_t>& loop : inLoops)
        for (size_t k = 0; k < loop.size(); ++k)
            add(loop[k], loop[(k + 1) % loop.size()], 1);
    for (const XMathVectorU3& t : inAdded) {
        if (t[0] == t[1] || t[1] == t[2] || t[2] == t[0])
            return false;
        for (uint32_t k = 0; k < 3; ++k)
            add(t[k], t[(k + 1) % 3], -1);
    }
    std::sort(flow.begin(), flow.end());
    for (size_t i = 0; i < flow.size();) {
        int sum = 0;
        size_t j = i;
        for (; j < flow.size() && flow[j].first == flow[i].first; ++j)
            sum += flow[j].second;
        if (sum != 0)
            return false;
        i = j;
    }
    return true;
}
