#pragma once
// How the volume renderer gets its GL window and its tools' hooks without knowing the
// window system: the window-system layer registers one factory when the module loads.
#include "XVolumeRendererBase.h"

class WRendererEnclosureWnd;
class XGLContext;
class XGLVolumeRenderer;

// A tool's input hook, as the renderer sees it: something it owns and hands back.
class XGLToolHook {
public:
    virtual ~XGLToolHook() = default;
};

class XGLWindowFactory {
public:
    virtual ~XGLWindowFactory() = default;

    // A new GL window that fills the enclosure and is shown in it; the caller owns it.
    // Throws XException when no window can be made.
    virtual XGLContext* MakeRendererWindow(WRendererEnclosureWnd& inEnclosure) = 0;
    // The hook that drives the tool in the renderer's window, or null for a tool
    // without one. The caller owns it.
    virtual XGLToolHook* MakeToolHook(XGLVolumeRenderer& inRenderer,
                                      XVolumeRendererBase::XVolumeRendererTool inTool) = 0;
    // Puts a hook of this factory in front of, or takes it out of, a window of this factory.
    virtual void AddToolHook(XGLContext& inWindow, XGLToolHook& inHook) = 0;
    virtual void RemoveToolHook(XGLContext& inWindow, XGLToolHook& inHook) = 0;

    // The factory the renderers use from now on (not owned; null withdraws it).
    static void Register(XGLWindowFactory* inFactory);
    // Throws XException when no window system registered a factory.
    static XGLWindowFactory& Get();
};
