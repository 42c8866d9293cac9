#pragma once
// Offers the "3D Planes" renderer to the host: data at least 2 voxels along each axis.
#include "XRendererStrategy.h"

class X3DPlaneRendererStrategy : public XRendererStrategy {
public:
    static constexpr XRendererStrategyID kID = 10;

    XRendererStrategyID GetID() const override { return kID; }
    XString GetName() const override { return "3D Planes"; }

protected:
    // A new X3DPlaneRenderer, owned by the caller.
    XRenderer* MakeRendererSelf(const boost::shared_ptr<XImageDataSource>& inSource) const override;
    bool IsSourceSupportedSelf(const X3DRect& inBounds, unsigned long inChannelCount,
        unsigned long inTimepointCount) const override;
};
