#pragma once
// The OpenGL render system: makes the OpenGL implementations of devices and their
// resources. The window system supplies the device implementation and, for drivers
// without framebuffer objects, pbuffer targets.
#include "X3DRenderSystem.h"

#include <memory>
#include <mutex>

class XOpenGLRenderSystem : public X3DRenderSystem {
public:
    // What the window system provides.
    class XPlatform {
    public:
        virtual ~XPlatform() = default;
        virtual std::unique_ptr<X3DGCImp> CreateGCImp(X3DGC& inGC) = 0;
        // With inGC locked: whether the window system can make pbuffers for it.
        virtual bool IsPBufferSupported(X3DGC& inGC) = 0;
        virtual std::unique_ptr<X3DGCOffscreenTargetImp> CreatePBufferTargetImp(X3DGC& inGC, X3DGCOffscreenTarget& inTarget) = 0;
    };
    // The key it registers under with the render system manager.
    static constexpr uint32_t kRenderSystemKey = 1;

    explicit XOpenGLRenderSystem(std::unique_ptr<XPlatform> inPlatform);

    std::unique_ptr<X3DGCImp> CreateGCImp(X3DGC& inGC) override;
    std::unique_ptr<X3DVertexBufferImp> CreateVertexBufferImp(X3DGC& inGC, X3DVertexBuffer& inBuffer) override;
    std::unique_ptr<X3DIndexBufferImp> CreateIndexBufferImp(X3DGC& inGC, X3DIndexBuffer& inBuffer) override;
    std::unique_ptr<XTexture2DImp> CreateTexture2DImp(X3DGC& inGC, XTexture2D& inTexture) override;
    std::unique_ptr<XTexture3DImp> CreateTexture3DImp(X3DGC& inGC, XTexture3D& inTexture) override;
    std::unique_ptr<X3DGCOffscreenTargetImp> CreateOffscreenTargetImp(X3DGC& inGC, X3DGCOffscreenTarget& inTarget) override;

    // With a device locked: whether the driver rasterises in software (read once).
    bool IsSoftwareRasteriser();

private:
    std::unique_ptr<XPlatform> itsPlatform;
    std::once_flag itsRasteriserProbe;
    bool itsSoftwareRasteriser = false;
};
