#pragma once
// The vertices in the middle of a surface's straight creases, chained into runs: a run's
// inner vertices can go while its two ends stay. Remembers which vertices the runs
// collapsed so far deleted or kept, since a later run must not reach across them.
#include "XVector.h"

#include <cstdint>

class XMeshCreaseRuns {
public:
    // A chain of crease vertices: its inner vertices go, its two ends stay.
    struct XCreaseRun {
        uint32_t itsEnds[2];
        XVector<uint32_t> itsInner;
    };

    explicit XMeshCreaseRuns(uint32_t inVertexCount);

    // A vertex on a straight crease, with its two crease neighbours.
    void AddVertex(uint32_t inFirst, uint32_t inSecond, uint32_t inVertex);

    // Vertices that name each other as crease neighbours are chained. A closed chain has
    // no ends to keep and is left out, as is one whose ends are missing or the same.
    void ChainRuns(XVector<XCreaseRun>& outRuns) const;

    // False when a run collapsed earlier deleted or kept one of the run's inner vertices,
    // or deleted one of its ends: the run's crease test did not see that neighbourhood.
    bool MayCollapse(const XCreaseRun& inRun) const;
    void SetCollapsed(const XCreaseRun& inRun);

    // The two sides of a loop through both ends of a run, each from one end to the other
    // along the loop (the new edge between the ends closes it). False when an end is not
    // on the loop.
    static bool SeparateNeighbours(const XVector<uint32_t>& inLoop, const uint32_t inEnds[2],
                                   XVector<uint32_t>& outSide1, XVector<uint32_t>& outSide2);

private:
    struct XPendingCrease {
        uint32_t itsFirst;
        uint32_t itsSecond;
        uint32_t itsVertex;
    };

    uint32_t itsVertexCount;
    XVector<XPendingCrease> itsPendingCreases;
    XVector<uint8_t> itsVertexState;
};
