#include "X3DCubeSceneNode.h"

#include "X3DGC.h"
#include "X3DGeometryStateSaver.h"
#include "X3DVertexBuffer.h"
#include "XAssert.h"
#include "XLock.h"
#include "XThreadLock.h"

#include <memory>
#include <utility>

namespace {
X3DCubeSceneNode::XVertices MakeCube()
{
    struct XFace {
        XMathVectorF3 normal;
        XMathVectorF3 u; // along the face; v = normal x u, so that u x v is the normal
        XARGB32Colour colour;
    };
    static const XFace kFaces[6] = {
        {{0, 0, 1}, {1, 0, 0}, XARGB32Colour::kWhite},
        {{0, 0, -1}, {0, 1, 0}, XARGB32Colour::kRed},
        {{1, 0, 0}, {0, 1, 0}, XARGB32Colour::kBlue},
        {{-1, 0, 0}, {0, 0, 1}, XARGB32Colour::kGreen},
        {{0, 1, 0}, {0, 0, 1}, XARGB32Colour(255, 255, 255, 0)},
        {{0, -1, 0}, {1, 0, 0}, XARGB32Colour::kWhite},
    };
    X3DCubeSceneNode::XVertices vertices;
    size_t n = 0;
    for (const XFace& face : kFaces) {
        const XMathVectorF3 centre = face.normal * 0.5f;
        const XMathVectorF3 u = face.u * 0.5f;
        const XMathVectorF3 v = face.normal.Cross(face.u) * 0.5f;
        const XMathVectorF3 corners[4] = {centre - u - v, centre + u - v, centre + u + v, centre - u + v};
        for (size_t c : {0, 1, 2, 0, 2, 3})
            vertices[n++] = {corners[c], face.colour, face.normal};
    }
    return vertices;
}
} // namespace

X3DCubeSceneNode::X3DCubeSceneNode() = default;

X3DCubeSceneNode::~X3DCubeSceneNode()
{
    X_ASSERT_TEXT(itsVertexBuffer == nullptr, "resources unloaded before destruction");
}

const X3DCubeSceneNode::XVertices& X3DCubeSceneNode::GetVertices()
{
    static const XVertices sVertices = MakeCube();
    return sVertices;
}

void X3DCubeSceneNode::RenderSelf(X3DGC& inGC, const XSceneRenderState&)
{
    XThreadLock lock(GetNodeMutex());
    if (!itsVertexBuffer) {
        auto buffer = std::make_unique<X3DVertexBuffer>(inGC, sizeof(XVertices), X3DGCBuffer::kBufferStaticDraw);
        {
            XLock mapped(*buffer, kLockWrite); // device storage is written while mapped
            buffer->CopyInData(GetVertices().data(), sizeof(XVertices));
        }
        itsVertexBuffer = buffer.release();
    }
    X3DGeometryStateSaver saver(inGC, X3DGeometryStateSaver::kDefinition | X3DGeometryStateSaver::kVertexBuffer);
    inGC.SetVertexDefinition(XVertexTypes::XVertexPositionColourNormal::GetDefinition());
    inGC.SetVerticies(itsVertexBuffer);
    inGC.DrawPrimitives(X3DGC::kTriangleList, 0, 12);
    saver.Restore();
}

void X3DCubeSceneNode::UnloadGraphicsResourcesSelf(X3DGC& inGC)
{
    XThreadLock lock(GetNodeMutex());
    if (itsVertexBuffer)
        std::exchange(itsVertexBuffer, nullptr)->Destroy(inGC);
}
