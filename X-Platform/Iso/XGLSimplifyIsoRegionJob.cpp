#include "XGLSimplifyIsoRegionJob.h"

#include "XMeshSimplificationTool.h"

XGLSimplifyIsoRegionJob::XGLSimplifyIsoRegionJob(std::shared_ptr<XDelivery> inDelivery)
    : XGLIsoRegionJob(std::move(inDelivery))
{
}

void XGLSimplifyIsoRegionJob::RunJobSelf()
{
    if (!GetDelivery() || GetDelivery()->GetStage() != kFull)
        return;
    const std::shared_ptr<const XSurface> full = GetDelivery()->GetSurface();
    auto simplified = std::make_shared<XSurface>(*full);
    XVector<XMathVectorF3> positions;
    XVertexBuffer& vertices = *full->itsVertices;
    vertices.LockFor(kLockRead);
    positions.reserve(vertices.GetVertexCount());
    for (size_t i = 0; i < vertices.GetVertexCount(); ++i)
        positions.push_back(vertices[i].itsPosition);
    vertices.UnlockFor(kLockRead);

    // The tool hands back its result whole or not at all, and works on a copy anyway.
    XMeshSimplificationTool tool(simplified->itsTriangles, simplified->itsQuads, positions);
    tool.SimplifyMesh();
    CompleteIsoRegionJob(std::move(simplified), kSimplified);
}
