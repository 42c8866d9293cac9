#pragma once
// The legacy renderer's region-surface jobs. A region's surfaces arrive, in turn, at a
// delivery the jobs share: a preview of a large region, the full surface, then the
// simplified one. Each delivery is a whole new surface, so one handed out earlier
// (and being drawn) never changes under its reader.
#include "XGLVertexBuffer.h"
#include "XJob.h"
#include "XMathVector.h"
#include "XMutex.h"
#include "XVector.h"
#include "XVolumeIsoTool.h"

#include <cstdint>
#include <memory>

class XGLIsoRegionJob : public XJob {
public:
    using XVertexBuffer = XGLVertexBuffer<XGLVertex_P_N, 22>;

    enum XStage : uint32_t { kNone = 0, kPreview = 1, kFull = 2, kSimplified = 3 };

    // One surface: vertices (shared between a surface and its simplification, which
    // only stops using some), triangles and quads.
    struct XSurface {
        std::shared_ptr<XVertexBuffer> itsVertices;
        XVector<XMathVectorU3> itsTriangles;
        XVector<XMathVectorU4> itsQuads;
    };

    // Where a region's surfaces arrive; safe from any thread.
    class XDelivery {
    public:
        std::shared_ptr<const XSurface> GetSurface() const;
        XStage GetStage() const;
        void SetSurface(std::shared_ptr<const XSurface> inSurface, XStage inStage);

    private:
        mutable XMutex itsMutex{4000};
        std::shared_ptr<const XSurface> itsSurface;
        XStage itsStage = kNone;
    };

    explicit XGLIsoRegionJob(std::shared_ptr<XDelivery> inDelivery);

    const std::shared_ptr<XDelivery>& GetDelivery() const { return itsDelivery; }
    // The vertices of an extracted surface, in the legacy layout, with its quads.
    static std::shared_ptr<XSurface> MakeSurface(const XVolumeIsoTool<unsigned char>::XIsoData& inData);

protected:
    // Hands a finished surface on (on the job's thread); by default to the delivery.
    virtual void CompleteIsoRegionJob(std::shared_ptr<const XSurface> inSurface, XStage inStage);

private:
    std::shared_ptr<XDelivery> itsDelivery;
};
