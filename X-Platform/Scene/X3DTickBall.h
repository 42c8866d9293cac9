#pragma once
// The virtual trackball: a wire sphere of short tick marks, bright on the side that
// faces the viewer, that always fits inside the view (its radius shrinks to the
// nearest side of the view, at most 0.5). Not drawn in final renders.
#include "X3DGC.h"
#include "X3DMatrix.h"
#include "X3DSceneNode.h"
#include "XShader.h"

#include <memory>
#include <vector>

class X3DTickBall : public X3DSceneNode {
public:
    static constexpr uint32_t kTickCount = 768;
    static constexpr float kMaxRadius = 0.5f;

    // A tick end on (or just inside) the unit sphere; its normal is its position.
    struct XTickVertex {
        XMathVectorF3 position;
        XMathVectorF3 normal;
    };
    static_assert(sizeof(XTickVertex) == 24);

    X3DTickBall();
    // A copy is a node like the original without its shader, which it makes when drawn.
    X3DTickBall(const X3DTickBall& inOther);
    X3DTickBall& operator=(const X3DTickBall& inOther);
    ~X3DTickBall() override;

    // The ticks of every ball (two vertices each), made once for the process; safe to
    // ask from several threads at once.
    static const std::vector<XTickVertex>& GetSharedVertices();
    // Position and normal, both three floats; stride 24.
    static const X3DGC::XVertexDefinition& GetVertexDefinition();
    // The radius the ball takes for a node-space to clip-space transform: the least
    // distance from the node's origin to the four sides of the view, at most
    // kMaxRadius. Not positive when the origin lies outside the view.
    static float GetRadiusFor(const XMatrix_4x4<float>& inWorldViewProjection);
    static const char* GetShaderSource();

protected:
    void UnloadGraphicsResourcesSelf(X3DGC& inGC) override;
    void RenderSelf(X3DGC& inGC, const XSceneRenderState& inState) override;

private:
    static void GenerateVertices(std::vector<XTickVertex>& outVertices);
    static void TickSquare(std::vector<XTickVertex>& outVertices, X3DMatrix a, X3DMatrix b, X3DMatrix c, X3DMatrix d,
        unsigned int inDepth);
    static void LoadVectorIntoArray(std::vector<XTickVertex>& outVertices, const X3DMatrix& inFrom, const X3DMatrix& inTo);

    std::unique_ptr<XShader> itsShader;
};
