#include "X3DConeSceneNode.h"

#include "X3DGC.h"
#include "X3DGeometryStateSaver.h"

#include <algorithm>
#include <cmath>
#include <numbers>

X3DConeSceneNode::X3DConeSceneNode(uint32_t inHalfSectors)
    : itsSectorCount(2 * std::max(inHalfSectors, kMinHalfSectors))
{
    // Sectors are counted, not stepped through by angle: summing a float step can
    // overshoot or fall short of a full turn and leave a sector doubled or missing.
    const auto rim = [this](uint32_t inSector) {
        const double a = 2.0 * std::numbers::pi * double(inSector % itsSectorCount) / double(itsSectorCount);
        return XMathVectorF3(float(0.5 * std::sin(a)), float(0.5 * std::cos(a)), -0.5f);
    };
    const XMathVectorF3 apex(0.0f, 0.0f, 0.5f), baseCentre(0.0f, 0.0f, -0.5f), down(0.0f, 0.0f, -1.0f);
    const XVertexTypes::XVertexColour white(XARGB32Colour::kWhite);
    itsVertices.reserve(6 * itsSectorCount);
    for (uint32_t i = 0; i < itsSectorCount; ++i) {
        const XMathVectorF3 a = rim(i), b = rim(i + 1);
        // The rim runs clockwise seen from the apex, so apex, b, a faces outwards.
        const XMathVectorF3 normal = (b - apex).Cross(a - apex).GetNormalised();
        itsVertices.push_back({apex, white, normal});
        itsVertices.push_back({b, white, normal});
        itsVertices.push_back({a, white, normal});
    }
    for (uint32_t i = 0; i < itsSectorCount; ++i) {
        itsVertices.push_back({baseCentre, white, down});
        itsVertices.push_back({rim(i), white, down});
        itsVertices.push_back({rim(i + 1), white, down});
    }
}

void X3DConeSceneNode::RenderSelf(X3DGC& inGC, const XSceneRenderState&)
{
    X3DGeometryStateSaver saver(inGC, X3DGeometryStateSaver::kDefinition);
    inGC.SetVertexDefinition(XVertexTypes::XVertexPositionColourNormal::GetDefinition());
    inGC.DrawUserPrimitives(X3DGC::kTriangleList, itsVertices.data(), 0, uint32_t(itsVertices.size() / 3));
    saver.Restore();
}
