#include "X3DTickBall.h"

#include "X3DGeometryStateSaver.h"
#include "X3DShaderScope.h"
#include "XFrustum.h"
#include "XThreadLock.h"

#include <algorithm>

namespace {
// Vertex stage only: the fixed-function fragment stage takes the colour as it is,
// clamped, so the side facing the viewer saturates to white.
const char* const kTickBallSource =
    "uniform vec4 inColour;\n"
    "uniform vec3 inViewVector;\n"
    "uniform mat4 ModelViewProj;\n"
    "void main()\n"
    "{\n"
    "    float cosTheta = clamp(dot(inViewVector, gl_Normal), 0.0, 1.0);\n"
    "    vec4 colour = 0.25 * inColour + cosTheta * inColour;\n"
    "    colour.a = 1.0;\n"
    "    gl_FrontColor = colour;\n"
    "    gl_Position = gl_Vertex * ModelViewProj;\n"
    "}\n";

X3DMatrix Blend(const X3DMatrix& inNear, const X3DMatrix& inFar)
{
    X3DMatrix p(3, 1);
    for (size_t i = 0; i < 3; ++i)
        p(i, 0) = 0.9 * inNear(i, 0) + 0.1 * inFar(i, 0);
    return p;
}
X3DMatrix Sum(const X3DMatrix& a, const X3DMatrix& b)
{
    return X3DMatrix::ColumnVector(a(0, 0) + b(0, 0), a(1, 0) + b(1, 0), a(2, 0) + b(2, 0));
}
} // namespace

X3DTickBall::X3DTickBall()
{
    GetSharedVertices();
}

X3DTickBall::X3DTickBall(const X3DTickBall& inOther) : X3DSceneNode(inOther) {}

X3DTickBall& X3DTickBall::operator=(const X3DTickBall& inOther)
{
    // The shader stays with this node: it belongs to the device that made it.
    X3DSceneNode::operator=(inOther);
    return *this;
}

X3DTickBall::~X3DTickBall() = default;

const std::vector<X3DTickBall::XTickVertex>& X3DTickBall::GetSharedVertices()
{
    // Made by the first caller; others wait for it (a function-local static).
    static const std::vector<XTickVertex> sVertices = [] {
        std::vector<XTickVertex> vertices;
        GenerateVertices(vertices);
        return vertices;
    }();
    return sVertices;
}

const X3DGC::XVertexDefinition& X3DTickBall::GetVertexDefinition()
{
    static const X3DGC::XVertexDefinition sDefinition{
        {{0, X3DGC::kElementFloat3, X3DGC::kUsagePosition}, {12, X3DGC::kElementFloat3, X3DGC::kUsageNormal}},
        sizeof(XTickVertex)};
    return sDefinition;
}

const char* X3DTickBall::GetShaderSource()
{
    return kTickBallSource;
}

void X3DTickBall::GenerateVertices(std::vector<XTickVertex>& outVertices)
{
    outVertices.clear();
    outVertices.reserve(2 * kTickCount);
    using M = X3DMatrix;
    const double faces[6][4][3] = {
        {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1}},
        {{-1, 1, 1}, {1, 1, 1}, {1, -1, 1}, {-1, -1, 1}},
        {{-1, -1, 1}, {-1, -1, -1}, {-1, 1, -1}, {-1, 1, 1}},
        {{1, 1, 1}, {1, 1, -1}, {1, -1, -1}, {1, -1, 1}},
        {{-1, -1, 1}, {1, -1, 1}, {1, -1, -1}, {-1, -1, -1}},
        {{1, 1, 1}, {-1, 1, 1}, {-1, 1, -1}, {1, 1, -1}},
    };
    for (const auto& face : faces)
        TickSquare(outVertices, M::ColumnVector(face[0], 3), M::ColumnVector(face[1], 3), M::ColumnVector(face[2], 3),
            M::ColumnVector(face[3], 3), 2);
}

void X3DTickBall::TickSquare(std::vector<XTickVertex>& outVertices, X3DMatrix a, X3DMatrix b, X3DMatrix c, X3DMatrix d,
    unsigned int inDepth)
{
    a.L2Norm();
    b.L2Norm();
    c.L2Norm();
    d.L2Norm();
    if (inDepth > 0) {
        const X3DMatrix ab = X3DMatrix::L2Norm(Sum(a, b)), dc = X3DMatrix::L2Norm(Sum(d, c));
        const X3DMatrix ad = X3DMatrix::L2Norm(Sum(a, d)), bc = X3DMatrix::L2Norm(Sum(b, c));
        const X3DMatrix e = X3DMatrix::L2Norm(Sum(ad, bc));
        TickSquare(outVertices, a, ab, e, ad, inDepth - 1);
        TickSquare(outVertices, ab, b, bc, e, inDepth - 1);
        TickSquare(outVertices, ad, e, dc, d, inDepth - 1);
        TickSquare(outVertices, e, bc, c, dc, inDepth - 1);
        return;
    }
    LoadVectorIntoArray(outVertices, Blend(a, d), a);
    LoadVectorIntoArray(outVertices, a, Blend(a, b));
    LoadVectorIntoArray(outVertices, Blend(b, a), b);
    LoadVectorIntoArray(outVertices, b, Blend(b, c));
    LoadVectorIntoArray(outVertices, Blend(d, a), d);
    LoadVectorIntoArray(outVertices, d, Blend(d, c));
    LoadVectorIntoArray(outVertices, Blend(c, d), c);
    LoadVectorIntoArray(outVertices, c, Blend(c, b));
}

void X3DTickBall::LoadVectorIntoArray(std::vector<XTickVertex>& outVertices, const X3DMatrix& inFrom, const X3DMatrix& inTo)
{
    for (const X3DMatrix* p : {&inFrom, &inTo}) {
        const XMathVectorF3 v(float((*p)(0, 0)), float((*p)(1, 0)), float((*p)(2, 0)));
        outVertices.push_back(XTickVertex{v, v});
    }
}

float X3DTickBall::GetRadiusFor(const XMatrix_4x4<float>& inWorldViewProjection)
{
    const XFrustum frustum = XFrustum::MakeFromSpacialTransform(inWorldViewProjection);
    float radius = kMaxRadius;
    for (size_t plane : {XFrustum::kLeft, XFrustum::kRight, XFrustum::kBottom, XFrustum::kTop})
        radius = std::min(radius, frustum.GetPlane(plane)[3]);
    // NaN (a degenerate transform) counts as outside.
    return radius > 0.0f ? radius : 0.0f;
}

void X3DTickBall::UnloadGraphicsResourcesSelf(X3DGC&)
{
    XThreadLock lock(GetNodeMutex());
    itsShader.reset();
}

void X3DTickBall::RenderSelf(X3DGC& inGC, const XSceneRenderState& inState)
{
    if (inState.IsFinalRender())
        return;
    XThreadLock lock(GetNodeMutex());
    if (!itsShader)
        itsShader = std::make_unique<XShader>(inGC, XString(kTickBallSource), XString("main"), XShader::kVertexShader);

    const XMatrix_4x4<float> world = inGC.GetWorld();
    const float radius = GetRadiusFor(world * inGC.GetView() * inGC.GetProjection());
    if (!(radius > 0.0f))
        return; // the centre is outside the view: no ball fits
    const XMatrix_4x4<float> scaledWorld = XMatrix_4x4<float>::MakeScale(radius, radius, radius) * world;

    X3DGeometryStateSaver geometry(inGC, X3DGeometryStateSaver::kDefinition);
    inGC.SetWorld(scaledWorld);
    try {
        X3DShaderScope shaders(inGC, itsShader.get(), nullptr);
        const X3DCamera& camera = inState.GetCamera();
        if (itsShader->HasParameter("ModelViewProj"))
            itsShader->SetMatrixParameter("ModelViewProj", inGC.GetWorldViewProjection());
        if (itsShader->HasParameter("inColour"))
            cgSetParameter4f(itsShader->GetParameter("inColour"), 1.0f, 1.0f, 1.0f, 1.0f);
        if (itsShader->HasParameter("inViewVector")) {
            // Into node space by the inverse, which stays right under any scaling above the ball.
            const XMathVectorF3 view = scaledWorld.GetInverse().TransformVector(-camera.GetLookVector()).GetNormalised();
            cgSetParameter3f(itsShader->GetParameter("inViewVector"), view[0], view[1], view[2]);
        }
        inGC.SetVertexDefinition(GetVertexDefinition());
        inGC.DrawUserPrimitives(X3DGC::kLineList, GetSharedVertices().data(), 0, kTickCount);
        shaders.End();
    } catch (...) {
        inGC.SetWorld(world);
        throw;
    }
    inGC.SetWorld(world);
    geometry.Restore();
}
