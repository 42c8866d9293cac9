#pragma once
// The unit sphere drawn as short tick marks at the corners of a subdivided cube: the
// look of the virtual trackball. Size, colour and lighting come from the tree above.
#include "X3DMatrix.h"
#include "XGLRenderable.h"
#include "XVector.h"

#include <array>
#include <mutex>

static_assert(sizeof(std::array<float, 3>) == 3 * sizeof(float), "vertex arrays need packed points");

class XGLTickBall : public XGLRenderable {
public:
    using XPoint3f = std::array<float, 3>;

    // The shared line list (pairs of points) and its normals, made on first use.
    static const XVector<XPoint3f>& GetVertices();
    static const XVector<XPoint3f>& GetNormals();

protected:
    void RenderSelf(XGLRenderable& inFrom) override;

private:
    static void GenerateVertices();
    static void TickSquare(X3DMatrix a, X3DMatrix b, X3DMatrix c, X3DMatrix d, unsigned int depth);
    static void LoadVectorIntoArray(const X3DMatrix& from, const X3DMatrix& to);
    static void EnsureVertices();

    static XVector<XPoint3f> sVertices;
    static XVector<XPoint3f> sNormals;
    static std::mutex sVerticesMutex;
};
