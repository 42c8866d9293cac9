#include "XGLIsoRegionJob.h"

#include "XThreadLock.h"

std::shared_ptr<const XGLIsoRegionJob::XSurface> XGLIsoRegionJob::XDelivery::GetSurface() const
{
    XThreadLock lock(itsMutex);
    return itsSurface;
}

XGLIsoRegionJob::XStage XGLIsoRegionJob::XDelivery::GetStage() const
{
    XThreadLock lock(itsMutex);
    return itsStage;
}

void XGLIsoRegionJob::XDelivery::SetSurface(std::shared_ptr<const XSurface> inSurface, XStage inStage)
{
    XThreadLock lock(itsMutex);
    itsSurface = std::move(inSurface);
    itsStage = inStage;
}

XGLIsoRegionJob::XGLIsoRegionJob(std::shared_ptr<XDelivery> inDelivery) : itsDelivery(std::move(inDelivery)) {}

std::shared_ptr<XGLIsoRegionJob::XSurface> XGLIsoRegionJob::MakeSurface(
    const XVolumeIsoTool<unsigned char>::XIsoData& inData)
{
    auto surface = std::make_shared<XSurface>();
    surface->itsVertices = std::make_shared<XVertexBuffer>();
    XVertexBuffer& vertices = *surface->itsVertices;
    vertices.LockFor(kLockWrite);
    vertices.Resize(inData.itsPositions.size());
    for (size_t i = 0; i < inData.itsPositions.size(); ++i)
        vertices.GetVertices()[i] = {inData.itsPositions[i], inData.itsNormals[i]};
    vertices.UnlockFor(kLockWrite);
    surface->itsQuads = inData.itsQuads;
    return surface;
}

void XGLIsoRegionJob::CompleteIsoRegionJob(std::shared_ptr<const XSurface> inSurface, XStage inStage)
{
    if (itsDelivery)
        itsDelivery->SetSurface(std::move(inSurface), inStage);
}
