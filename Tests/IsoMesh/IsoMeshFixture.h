#pragma once
// Shared by the mesh and job tests: a ball region, a closedness check, and meshes drawn
// by the OpenGL device offscreen, voxels 0..kSpan in x and y filling the picture (y up),
// seen along −z and lit from above the viewer.
#include "X3DCamera.h"
#include "X3DIsosurfaceMesh.h"
#include "X3DRegion.h"
#include "XOffscreenPictureFixture.h"

#include <map>
#include <memory>
#include <string>

inline X3DRegion Ball(int32_t inX, int32_t inY, int32_t inZ, int32_t inRadius, XARGB32Colour inColour)
{
    X3DRegion region;
    region.SetColour(inColour);
    for (int32_t z = -inRadius; z <= inRadius; ++z)
        for (int32_t y = -inRadius; y <= inRadius; ++y)
            for (int32_t x = -inRadius; x <= inRadius; ++x)
                if (x * x + y * y + z * z <= inRadius * inRadius)
                    region.AddVoxel(X3DPoint(inX + x, inY + y, inZ + z));
    return region;
}

// Has quads, and every directed edge is matched by its reverse.
inline bool IsClosed(const X3DIsosurfaceMesh::XIsoMeshInstance& inInstance)
{
    std::map<std::pair<uint32_t, uint32_t>, int> edges;
    for (const XMathVectorU4& q : inInstance.itsQuads)
        for (size_t k = 0; k < 4; ++k)
            ++edges[{q[k], q[(k + 1) % 4]}];
    for (const auto& [edge, count] : edges)
        if (edges.count({edge.second, edge.first}) == 0 || edges[{edge.second, edge.first}] != count)
            return false;
    return !edges.empty();
}

class IsoMeshPictureTest : public OffscreenPictureTest {
protected:
    static constexpr int kSize = 80;
    static constexpr float kSpan = 40.0f;

    IsoMeshPictureTest() : OffscreenPictureTest(kSize, kSize) {}

    // Draws the meshes and unloads them; the picture (upright) is kept for a failing test.
    XBGRA32Volume Draw(std::initializer_list<X3DIsosurfaceMesh*> inMeshes, const std::string& inName)
    {
        using M = XMatrix_4x4<float>;
        BeginFrameOn(*target);
        gc->SetProjection(M::MakeOrthographic(-0.5f, 0.5f, -0.5f, 0.5f, -2.0f, 2.0f));
        gc->SetView(M());
        gc->SetWorld(M::MakeScale(1 / kSpan, 1 / kSpan, 1 / kSpan) * M::MakeTranslation(-0.5f, -0.5f, -0.5f));
        gc->SetDepthTestEnabled(true);
        gc->SetDepthBufferWritesEnabled(true);
        gc->Clear(X3DGC::kClearColour | X3DGC::kClearDepth, XARGB32Colour::kBlack, 1.0f, 0);
        X3DCamera camera;
        camera.SetPosition(XMathVectorF3(0, 0, 10));
        for (X3DIsosurfaceMesh* mesh : inMeshes)
            mesh->Render(*gc, camera, XMathVectorF3(0, 10, 10));
        const XBGRA32Volume result = EndFrameOn(*target, inName);
        for (X3DIsosurfaceMesh* mesh : inMeshes)
            mesh->UnloadGraphicsResources(*gc, true);
        return result;
    }
};
