// A renderer module as a sibling library would be: it answers the registry's
// registration message by registering one strategy.
#include "XMessage.h"
#include "XVolumeRendererManager.h"
#include "XVolumeRendererStrategy.h"

#include <cstdint>

namespace {
class TestModuleStrategy : public XVolumeRendererStrategy {
public:
    uint32_t GetSortOrder() override { return 7; }
    uint32_t GetID() override { return 0x7E57; }
    XString GetName() override { return "Test Module Renderer"; }
    void AttachRenderer(XVolumeRenderingViewProtocol&) override {}
    bool IsDefaultCandidate() override { return true; }
    bool IsPrefPropertySupported(XPrefProperty) override { return false; }
};
} // namespace

extern "C" void KestrinModuleHandleMessage(const XMessage& inMessage, uint32_t)
{
    if (dynamic_cast<const XVolumeRendererManager::XRegisterVolumeRendererMessage*>(&inMessage))
        XVolumeRendererManager::GetManager().RegisterRendererStrategy(new TestModuleStrategy);
}
