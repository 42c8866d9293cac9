#pragma once
// The host's single registry of volume renderers. Modules register their
// strategies when the registration message reaches them after start-up.
#include "XListener.h"
#include "XMessage.h"
#include "XPtrVector.h"
#include "XSpeaker.h"
#include "XString.h"
#include "XVector.h"
#include "XVolumeRendererStrategy.h"

#include <cstdint>

class XVolumeRenderingViewProtocol;

class XVolumeRendererManager : public XSpeaker, public XListener {
public:
    // Sent to every loaded module; those with volume renderers register their strategies.
    class XRegisterVolumeRendererMessage : public XMessage {
    public:
        explicit XRegisterVolumeRendererMessage(XSpeaker* inSpeaker) : XMessage(inSpeaker) {}
        XMessage* Clone() const override { return new XRegisterVolumeRendererMessage(*this); }
    };

    static XVolumeRendererManager& GetManager();
    static bool AllowAllRenderers() { return false; }

    XVolumeRendererManager();
    ~XVolumeRendererManager() override;
    XVolumeRendererManager(const XVolumeRendererManager&) = delete;
    XVolumeRendererManager& operator=(const XVolumeRendererManager&) = delete;

    virtual uint64_t GetRendererCount();
    // Ownership passes to the registry when the strategy is registered (sort key not 0).
    virtual void RegisterRendererStrategy(XVolumeRendererStrategy* inStrategy);
    virtual XVolumeRendererStrategy* FindStrategy(uint32_t inID);
    virtual XVolumeRendererStrategy* GetDefaultRendererStrategy();
    virtual void SetDefaultRendererStrategy(uint32_t inID);
    virtual void GetStrategies(XVector<unsigned long>& outIDs);
    virtual void GetRendererNames(XVector<XString>& outNames);
    virtual void AttachDefaultRenderer(XVolumeRenderingViewProtocol& inView);
    virtual void AttachRenderer(uint32_t inID, XVolumeRenderingViewProtocol& inView);
    virtual const XPtrVector<XVolumeRendererStrategy>& GetStrategyList() const;
    virtual bool IsPrefPropertySupported(XVolumeRendererStrategy::XPrefProperty inProperty);

    void HandleMessage(const XMessage& inMessage) override;

    static constexpr const char* kPrefsSection = "Volume Renderer Manager";
    static constexpr const char* kDefaultRendererKey = "Default Renderer ID";

protected:
    virtual void DetectRendererPlugins();

private:
    static XVolumeRendererManager* sRendererManager;
    XPtrVector<XVolumeRendererStrategy> itsStrategies;
};
