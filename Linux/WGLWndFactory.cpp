// The window system's side of XGLWindowFactory: volume renderers get WGLWnd windows
// and the W tool hooks. Registered while the module loads, before any renderer exists.
#include "WBallControlHook.h"
#include "WFlyControlHook.h"
#include "WGLWnd.h"
#include "WPanControlHook.h"
#include "WRendererEnclosureWnd.h"
#include "WZoomControlHook.h"
#include "XException.h"
#include "XGLVolumeRenderer.h"
#include "XGLWindowFactory.h"

#include <memory>

namespace {
class WGLWndFactory : public XGLWindowFactory {
public:
    XGLContext* MakeRendererWindow(WRendererEnclosureWnd& inEnclosure) override
    {
        std::unique_ptr<WGLWnd> window;
        if (inEnclosure.GetNativeWindow().window) {
            try {
                window = std::make_unique<WGLWnd>(inEnclosure.GetWidth(), inEnclosure.GetHeight(),
                                                  inEnclosure.GetNativeWindow());
            } catch (const XException& e) {
                // Off screen still works: the host shows read-back frames instead.
                inEnclosure.SetNativeWindowError(e.GetErrorMessage());
            }
        }
        if (!window)
            window = std::make_unique<WGLWnd>(inEnclosure.GetWidth(), inEnclosure.GetHeight());
        inEnclosure.SetRendererWnd(window.get());
        return window.release();
    }

    XGLToolHook* MakeToolHook(XGLVolumeRenderer& inRenderer, XVolumeRendererBase::XVolumeRendererTool inTool) override
    {
        switch (inTool) {
        case XVolumeRendererBase::kToolBall: return new WBallControlHook(inRenderer);
        case XVolumeRendererBase::kToolZoom: return new WZoomControlHook(inRenderer);
        case XVolumeRendererBase::kToolPan: return new WPanControlHook(inRenderer);
        case XVolumeRendererBase::kToolFly: return new WFlyControlHook(inRenderer);
        default: return nullptr;
        }
    }

    void AddToolHook(XGLContext& inWindow, XGLToolHook& inHook) override
    {
        Window(inWindow).AddHook(&Hook(inHook));
    }

    void RemoveToolHook(XGLContext& inWindow, XGLToolHook& inHook) override
    {
        Window(inWindow).RemoveHook(&Hook(inHook));
    }

private:
    // Only windows and hooks this factory made come back to it.
    static WGLWnd& Window(XGLContext& inWindow) { return dynamic_cast<WGLWnd&>(inWindow); }
    static WBaseHook& Hook(XGLToolHook& inHook) { return dynamic_cast<WBaseHook&>(inHook); }
};

// Never destroyed: renderers that outlive static destruction still reach it.
[[maybe_unused]] const bool sRegistered = (XGLWindowFactory::Register(new WGLWndFactory), true);
} // namespace
