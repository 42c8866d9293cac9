#pragma once
// How the host offers renderers other than volume renderers: a strategy names a kind
// of renderer, says which data it can show and makes renderers of that kind. The host
// keeps the registered strategies and finds them by ID.
#include "X3DRect.h"
#include "XString.h"

#include <boost/shared_ptr.hpp>

#include <cstdint>
#include <memory>
#include <vector>

class XImageDataSource;
class XRenderer;

using XRendererStrategyID = uint32_t;

class XRendererStrategy {
public:
    virtual ~XRendererStrategy() = default;

    virtual XRendererStrategyID GetID() const = 0;
    virtual XString GetName() const = 0;
    // Strategies may offer variants of their renderer under IDs of their own.
    virtual bool IsSubRendererStrategySupported(XRendererStrategyID inSubStrategy) const;
    // A variant's renderer; the base makes its usual one for a supported variant and
    // throws XException kNoRenderer for any other.
    virtual XRenderer* MakeRendererWithSubStrategy(const boost::shared_ptr<XImageDataSource>& inSource,
                                                   XRendererStrategyID inSubStrategy) const;

    // A new renderer for the source, owned by the caller. A null source or one the
    // strategy cannot show throws XException (kBadArgument, kNoRenderer).
    XRenderer* MakeRenderer(const boost::shared_ptr<XImageDataSource>& inSource) const;
    bool IsSourceSupported(const XImageDataSource& inSource) const;

    // Registration: the registry owns the strategies. A second strategy with an ID
    // already registered replaces the first.
    static void RegisterStrategy(std::unique_ptr<XRendererStrategy> inStrategy);
    // False when no strategy has the ID.
    static bool UnregisterStrategy(XRendererStrategyID inID);
    // Null when none has the ID.
    static const XRendererStrategy* FindStrategy(XRendererStrategyID inID);
    // In ascending ID.
    static std::vector<const XRendererStrategy*> GetStrategies();

protected:
    virtual XRenderer* MakeRendererSelf(const boost::shared_ptr<XImageDataSource>& inSource) const = 0;
    // inBounds: the source's voxel bounds. The base takes any data with voxels.
    virtual bool IsSourceSupportedSelf(const X3DRect& inBounds, unsigned long inChannelCount,
                                       unsigned long inTimepointCount) const;
};
