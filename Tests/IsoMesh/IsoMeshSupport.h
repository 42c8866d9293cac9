#pragma once
// Shared by the mesh and job tests: regions drawn by hand, a closedness check, the
// main thread's message pump, and a node that counts the redraws asked of it.
#include "X3DIsosurfaceMesh.h"
#include "X3DRegion.h"
#include "X3DSceneNode.h"
#include "XAppMessageCentre.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <map>
#include <thread>
#include <utility>

namespace IsoMeshSupport {
inline X3DRegion Ball(int32_t inCentreX, int32_t inCentreY, int32_t inCentreZ, int32_t inRadius, XARGB32Colour inColour)
{
    X3DRegion region;
    region.SetColour(inColour);
    for (int32_t z = -inRadius; z <= inRadius; ++z)
        for (int32_t y = -inRadius; y <= inRadius; ++y)
            for (int32_t x = -inRadius; x <= inRadius; ++x)
                if (x * x + y * y + z * z <= inRadius * inRadius)
                    region.AddVoxel(X3DPoint(inCentreX + x, inCentreY + y, inCentreZ + z));
    return region;
}

// Every directed edge of the quads is matched by its reverse.
inline bool IsClosed(const X3DIsosurfaceMesh::XIsoMeshInstance& inInstance)
{
    std::map<std::pair<uint32_t, uint32_t>, int> edges;
    for (const XMathVectorU4& q : inInstance.itsQuads)
        for (size_t k = 0; k < 4; ++k)
            ++edges[{q[k], q[(k + 1) % 4]}];
    for (const auto& [edge, count] : edges) {
        const auto reverse = edges.find({edge.second, edge.first});
        if (reverse == edges.end() || reverse->second != count)
            return false;
    }
    return !inInstance.itsQuads.empty();
}

// Pumps the main thread's messages until inDone holds or a few seconds pass.
inline bool PumpUntil(const std::function<bool()>& inDone)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!inDone()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        XAppMessageCentre::GetAppMessageCentre().WaitAndProcessMessages(10);
    }
    return true;
}

class XRefreshCounter : public X3DSceneNode {
public:
    void RefreshScene(bool) override { ++itsRefreshes; }
    std::atomic<int> itsRefreshes{0};
};
} // namespace IsoMeshSupport
