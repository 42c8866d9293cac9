#include "X3DSphereNode.h"

#include "X3DGC.h"
#include "X3DGeometryStateSaver.h"

#include <algorithm>
#include <cmath>
#include <numbers>

X3DSphereNode::X3DSphereNode(uint32_t inSlices, uint32_t inStacks)
    : itsSlices(std::max(inSlices, kMinSlices)), itsStacks(std::max(inStacks, kMinStacks))
{
    const uint32_t n = itsSlices, m = itsStacks;
    const XVertexTypes::XVertexColour white(XARGB32Colour::kWhite);
    itsVertices.reserve(size_t(n) * m);
    for (uint32_t i = 0; i < m; ++i) {
        const double theta = double(i) * std::numbers::pi / double(m - 1);
        const double y = 0.5 * std::cos(theta), r = 0.5 * std::sin(theta);
        for (uint32_t j = 0; j < n; ++j) {
            const double phi = double(j) * 2.0 * std::numbers::pi / double(n);
            const XMathVectorF3 position(float(r * std::cos(phi)), float(y), float(r * std::sin(phi)));
            itsVertices.push_back({position, white, position.GetNormalised()});
        }
    }
    itsIndices.reserve(size_t(6) * n * (m - 1));
    for (uint32_t k = 0; k + 1 < m; ++k)
        for (uint32_t j = 0; j < n; ++j) {
            const uint32_t v = k * n + j;
            // The neighbour along the ring; the last slice closes the band on slice 0.
            const uint32_t next = j + 1 < n ? v + 1 : k * n;
            const uint32_t below = v + n, belowNext = next + n;
            itsIndices.insert(itsIndices.end(), {belowNext, below, v, next, belowNext, v});
        }
}

void X3DSphereNode::RenderSelf(X3DGC& inGC, const XSceneRenderState&)
{
    X3DGeometryStateSaver saver(inGC, X3DGeometryStateSaver::kDefinition);
    inGC.SetVertexDefinition(XVertexTypes::XVertexPositionColourNormal::GetDefinition());
    inGC.DrawUserIndexedPrimitives(X3DGC::kTriangleList, itsVertices.data(), uint32_t(itsVertices.size()),
        uint32_t(sizeof(XVertexTypes::XVertexPositionColourNormal)), itsIndices.data(), uint32_t(itsIndices.size() / 3));
    saver.Restore();
}
