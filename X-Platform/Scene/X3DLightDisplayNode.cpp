#include "X3DLightDisplayNode.h"

#include "X3DGeometryGenerator.h"
#include "X3DGeometryStateSaver.h"
#include "X3DNodePrograms.h"
#include "X3DShaderScope.h"
#include "XThreadLock.h"
#include "XVertexTypes.h"

X3DLightDisplayNode::X3DLightDisplayNode()
{
    SetScale(XMathVectorF3(kScale, kScale, kScale));
}

X3DLightDisplayNode::X3DLightDisplayNode(const X3DLightDisplayNode& inOther) : X3DSceneNode(inOther) {}

X3DLightDisplayNode& X3DLightDisplayNode::operator=(const X3DLightDisplayNode& inOther)
{
    // The programs stay with this node: they belong to the device that made them.
    X3DSceneNode::operator=(inOther);
    return *this;
}

X3DLightDisplayNode::~X3DLightDisplayNode() = default;

XMatrix_4x4<float> X3DLightDisplayNode::MakeOrientation(const XMathVectorF3& inPosition)
{
    XMathVectorF3 n = inPosition;
    const float length = n.GetLength();
    if (!(length >= kMinimumRadius) || !std::isfinite(length))
        n = XMathVectorF3(0.0f, 0.0f, 1.0f);
    else
        n /= length;
    XMathVectorF3 r0 = n.Cross(XMathVectorF3(1.0f, 0.0f, 0.0f));
    if (r0.GetLengthSquared() < 1e-6f)
        r0 = n.Cross(XMathVectorF3(0.0f, 1.0f, 0.0f));
    const XMathVectorF3 r1 = n.Cross(r0).GetNormalised();
    r0.Normalise();
    XMatrix_4x4<float> m;
    const XMathVectorF3* rows[3] = {&r0, &r1, &n};
    for (size_t r = 0; r < 3; ++r)
        for (size_t c = 0; c < 3; ++c)
            m(r, c) = (*rows[r])[c];
    return m;
}

XMathVectorF3 X3DLightDisplayNode::GetOriginInNodeSpace(const XMathVectorF3& inPosition, const XMathVectorF3& inScale)
{
    XMathVectorF3 origin;
    for (size_t i = 0; i < 3; ++i)
        origin[i] = inScale[i] != 0.0f ? -inPosition[i] / inScale[i] : 0.0f;
    return origin;
}

void X3DLightDisplayNode::LoadGraphicsResourcesSelf(X3DGC& inGC)
{
    XThreadLock lock(GetNodeMutex());
    const XString source(GetNodeProgramSource(XNodeProgram::kDirectionalLightLit));
    if (!itsVertexShader)
        itsVertexShader = std::make_unique<XShader>(inGC, source,
            XString(GetNodeProgramEntry(XNodeProgram::kDirectionalLightLit, XShader::kVertexShader)), XShader::kVertexShader);
    if (!itsFragmentShader)
        itsFragmentShader = std::make_unique<XShader>(inGC, source,
            XString(GetNodeProgramEntry(XNodeProgram::kDirectionalLightLit, XShader::kFragmentShader)),
            XShader::kFragmentShader);
}

void X3DLightDisplayNode::UnloadGraphicsResourcesSelf(X3DGC&)
{
    XThreadLock lock(GetNodeMutex());
    itsVertexShader.reset();
    itsFragmentShader.reset();
}

void X3DLightDisplayNode::RenderSelf(X3DGC& inGC, const XSceneRenderState& inState)
{
    XThreadLock lock(GetNodeMutex());
    LoadGraphicsResourcesSelf(inGC);
    const XMathVectorF3 position = GetPosition();
    X3DGeometryStateSaver geometry(inGC, X3DGeometryStateSaver::kDefinition);

    // The line to the scene origin, before any program. White vertices: the device's
    // current colour is whatever the last coloured draw left.
    using XLineVertex = XVertexTypes::XVertexPositionColour;
    const XLineVertex line[2] = {{XMathVectorF3(), XARGB32Colour::kWhite},
                                 {GetOriginInNodeSpace(position, GetScale()), XARGB32Colour::kWhite}};
    inGC.SetVertexDefinition(XLineVertex::GetDefinition());
    inGC.DrawUserPrimitives(X3DGC::kLineList, line, 0, 1);

    const XMatrix_4x4<float> previousWorld = inGC.GetWorld();
    try {
        X3DShaderScope shaders(inGC, itsVertexShader.get(), itsFragmentShader.get());
        const XMatrix_4x4<float> world = MakeOrientation(position) * previousWorld;
        inGC.SetWorld(world);
        const XMathVectorF3 camera = inState.GetCamera().GetPosition();
        XShader& vertex = *itsVertexShader;
        if (vertex.HasParameter("ModelViewProj"))
            vertex.SetMatrixParameter("ModelViewProj", inGC.GetWorldViewProjection());
        if (vertex.HasParameter("NormalMatrix"))
            vertex.SetMatrixParameter("NormalMatrix", world.GetInverse().GetTranspose());
        if (vertex.HasParameter("World"))
            vertex.SetMatrixParameter("World", world);
        if (vertex.HasParameter("inDirectionalLightVector")) {
            const XMathVectorF3 light = camera.GetNormalised();
            cgSetParameter3f(vertex.GetParameter("inDirectionalLightVector"), light[0], light[1], light[2]);
        }
        if (vertex.HasParameter("inCameraPos"))
            cgSetParameter3f(vertex.GetParameter("inCameraPos"), camera[0], camera[1], camera[2]);

        using XVertex = XVertexTypes::XVertexPositionColourNormal;
        inGC.SetVertexDefinition(XVertex::GetDefinition());
        XVector<XVertex> vertices;
        XVector<uint32_t> indices;
        X3DGeometryGenerator::GenerateBox(vertices, indices,
            XMathRectF3(XMathVectorF3(-0.25f, -0.25f, -0.5f), XMathVectorF3(0.5f, 0.5f, 1.0f)), XARGB32Colour::kWhite);
        inGC.DrawUserIndexedPrimitives(X3DGC::kTriangleList, vertices.data(), uint32_t(vertices.size()), sizeof(XVertex),
            indices.data(), uint32_t(indices.size() / 3));
        vertices.clear();
        X3DGeometryGenerator::GenerateCone(vertices, 0.25f, 0.5f, XMathVectorF3(0.0f, 0.0f, -0.5f),
            XMathVectorF3(0.0f, 0.0f, 1.0f), XARGB32Colour::kWhite);
        inGC.DrawUserPrimitives(X3DGC::kTriangleList, vertices.data(), 0, uint32_t(vertices.size() / 3));
        shaders.End();
    } catch (...) {
        inGC.SetWorld(previousWorld);
        throw;
    }
    inGC.SetWorld(previousWorld);
    geometry.Restore();
}
