#include "XRendererStrategy.h"

#include "XException.h"
#include "XImageDataSource.h"

#include <map>
#include <mutex>

namespace {
struct XRegistry {
    std::mutex mutex;
    std::map<XRendererStrategyID, std::unique_ptr<XRendererStrategy>> strategies;
};

// Never destroyed: modules may unregister while the program ends.
XRegistry& GetRegistry()
{
    static XRegistry* registry = new XRegistry;
    return *registry;
}
} // namespace

bool XRendererStrategy::IsSubRendererStrategySupported(XRendererStrategyID) const { return false; }

XRenderer* XRendererStrategy::MakeRendererWithSubStrategy(const boost::shared_ptr<XImageDataSource>& inSource,
                                                          XRendererStrategyID inSubStrategy) const
{
    if (!IsSubRendererStrategySupported(inSubStrategy))
        throw XException(XException::kNoRenderer,
                         XString("The \"%1\" view has no variant %2; choose one of the variants it offers.")
                             .Replace(GetName())
                             .Replace(int64_t(inSubStrategy)));
    return MakeRenderer(inSource);
}

XRenderer* XRendererStrategy::MakeRenderer(const boost::shared_ptr<XImageDataSource>& inSource) const
{
    if (!inSource)
        throw XException(XException::kBadArgument, "No image data was given for the view; open an image first.");
    if (!IsSourceSupported(*inSource)) {
        const X3DRect bounds = inSource->GetBounds();
        throw XException(XException::kNoRenderer,
                         XString("The \"%1\" view cannot show an image of %2 x %3 x %4 voxels; choose another view.")
                             .Replace(GetName())
                             .Replace(int64_t(bounds.GetWidth()))
                             .Replace(int64_t(bounds.GetHeight()))
                             .Replace(int64_t(bounds.GetDepth())));
    }
    return MakeRendererSelf(inSource);
}

bool XRendererStrategy::IsSourceSupported(const XImageDataSource& inSource) const
{
    return IsSourceSupportedSelf(inSource.GetBounds(), inSource.GetChannelCount(), inSource.GetTimepointCount());
}

bool XRendererStrategy::IsSourceSupportedSelf(const X3DRect& inBounds, unsigned long inChannelCount,
                                              unsigned long inTimepointCount) const
{
    return !inBounds.IsEmpty() && inChannelCount > 0 && inTimepointCount > 0;
}

void XRendererStrategy::RegisterStrategy(std::unique_ptr<XRendererStrategy> inStrategy)
{
    if (!inStrategy)
        return;
    XRegistry& registry = GetRegistry();
    std::lock_guard lock(registry.mutex);
    const XRendererStrategyID id = inStrategy->GetID();
    registry.strategies[id] = std::move(inStrategy);
}

bool XRendererStrategy::UnregisterStrategy(XRendererStrategyID inID)
{
    XRegistry& registry = GetRegistry();
    std::lock_guard lock(registry.mutex);
    return registry.strategies.erase(inID) > 0;
}

const XRendererStrategy* XRendererStrategy::FindStrategy(XRendererStrategyID inID)
{
    XRegistry& registry = GetRegistry();
    std::lock_guard lock(registry.mutex);
    auto found = registry.strategies.find(inID);
    return found == registry.strategies.end() ? nullptr : found->second.get();
}

std::vector<const XRendererStrategy*> XRendererStrategy::GetStrategies()
{
    XRegistry& registry = GetRegistry();
    std::lock_guard lock(registry.mutex);
    std::vector<const XRendererStrategy*> strategies;
    for (const auto& [id, strategy] : registry.strategies)
        strategies.push_back(strategy.get());
    return strategies;
}
