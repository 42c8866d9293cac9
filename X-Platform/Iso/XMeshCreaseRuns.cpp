#include "XMeshCreaseRuns.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr uint32_t kNone = 0xFFFFFFFF;

enum : uint8_t { kVertexKept = 0, kVertexDeleted = 1, kVertexRunEnd = 2 };

} // namespace

XMeshCreaseRuns::XMeshCreaseRuns(uint32_t inVertexCount)
    : itsVertexCount(inVertexCount), itsVertexState(inVertexCount, kVertexKept)
{
    itsPendingCreases.reserve(inVertexCount / 10);
}

void XMeshCreaseRuns::AddVertex(uint32_t inFirst, uint32_t inSecond, uint32_t inVertex)
{
    itsPendingCreases.push_back({inFirst, inSecond, inVertex});
}

void XMeshCreaseRuns::ChainRuns(XVector<XCreaseRun>& outRuns) const
{
    // Two crease vertices are linked when each names the other as a crease neighbour;
    // links[i][k] is the crease vertex reached through neighbour k (first, second).
    const uint32_t count = uint32_t(itsPendingCreases.size());
    XVector<uint32_t> pendingOfVertex(itsVertexCount, kNone);
    for (uint32_t i = 0; i < count; ++i)
        pendingOfVertex[itsPendingCreases[i].itsVertex] = i;
    XVector<std::array<uint32_t, 2>> links(count);
    for (uint32_t i = 0; i < count; ++i) {
        const XPendingCrease& p = itsPendingCreases[i];
        const uint32_t neighbours[2] = {p.itsFirst, p.itsSecond};
        for (int k = 0; k < 2; ++k) {
            const uint32_t other = pendingOfVertex[neighbours[k]];
            const bool mutual = other != kNone && (itsPendingCreases[other].itsFirst == p.itsVertex ||
                                                   itsPendingCreases[other].itsSecond == p.itsVertex);
            links[i][k] = mutual ? other : kNone;
        }
    }
    auto onward = [&links](uint32_t inAt, uint32_t inFrom) {
        for (uint32_t next : links[inAt])
            if (next != kNone && next != inFrom)
                return next;
        return kNone;
    };
    auto unlinkedNeighbour = [&](uint32_t inAt, bool inMayTakeFirst) {
        const XPendingCrease& p = itsPendingCreases[inAt];
        if (links[inAt][0] == kNone && inMayTakeFirst)
            return p.itsFirst;
        return links[inAt][1] == kNone ? p.itsSecond : kNone;
    };

    XVector<uint8_t> visited(count, 0);
    for (uint32_t start = 0; start < count; ++start) {
        if (visited[start])
            continue;
        // Walk one way to the end of the chain; coming back to the start means a loop.
        uint32_t end = start, from = kNone;
        bool closed = false;
        for (uint32_t next; (next = onward(end, from)) != kNone;) {
            if (next == start) {
                closed = true;
                break;
            }
            from = end;
            end = next;
        }
        // From that end, the other way, collecting the inner vertices.
        XCreaseRun run;
        uint32_t at = end, previous = kNone;
        for (;;) {
            visited[at] = 1;
            run.itsInner.push_back(itsPendingCreases[at].itsVertex);
            const uint32_t next = onward(at, previous);
            if (next == kNone || visited[next])
                break;
            previous = at;
            at = next;
        }
        if (closed)
            continue;
        run.itsEnds[0] = unlinkedNeighbour(end, true);
        run.itsEnds[1] = unlinkedNeighbour(at, at != end);
        if (run.itsEnds[0] == kNone || run.itsEnds[1] == kNone || run.itsEnds[0] == run.itsEnds[1])
            continue;
        outRuns.push_back(std::move(run));
    }
}

bool XMeshCreaseRuns::MayCollapse(const XCreaseRun& inRun) const
{
    for (uint32_t v : inRun.itsInner)
        if (itsVertexState[v] != kVertexKept)
            return false;
    for (uint32_t v : inRun.itsEnds)
        if (itsVertexState[v] == kVertexDeleted)
            return false;
    return true;
}

void XMeshCreaseRuns::SetCollapsed(const XCreaseRun& inRun)
{
    for (uint32_t v : inRun.itsInner)
        itsVertexState[v] = kVertexDeleted;
    for (uint32_t v : inRun.itsEnds)
        itsVertexState[v] = kVertexRunEnd;
}

bool XMeshCreaseRuns::SeparateNeighbours(const XVector<uint32_t>& inLoop, const uint32_t inEnds[2],
                                         XVector<uint32_t>& outSide1, XVector<uint32_t>& outSide2)
{
    const auto first = std::find(inLoop.begin(), inLoop.end(), inEnds[0]);
    const auto second = std::find(inLoop.begin(), inLoop.end(), inEnds[1]);
    if (first == inLoop.end() || second == inLoop.end())
        return false;
    const size_t size = inLoop.size();
    const size_t a = size_t(first - inLoop.begin()), b = size_t(second - inLoop.begin());
    outSide1.clear();
    outSide2.clear();
    for (size_t i = a;; i = (i + 1) % size) {
        outSide1.push_back(inLoop[i]);
        if (i == b)
            break;
    }
    for (size_t i = b;; i = (i + 1) % size) {
        outSide2.push_back(inLoop[i]);
        if (i == a)
            break;
    }
    return true;
}
