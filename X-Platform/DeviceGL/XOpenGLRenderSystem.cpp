#include "XOpenGLRenderSystem.h"

#include "X3DRendererException.h"
#include "X3DGCScopedLock.h"
#include "XGLBufferImp.h"
#include "XGLContext.h"
#include "XGLFrameBufferObjectTargetImp.h"
#include "XGLTextureImp.h"

XOpenGLRenderSystem::XOpenGLRenderSystem(std::unique_ptr<XPlatform> inPlatform) : itsPlatform(std::move(inPlatform)) {}

std::unique_ptr<X3DGCImp> XOpenGLRenderSystem::CreateGCImp(X3DGC& inGC) { return itsPlatform->CreateGCImp(inGC); }

std::unique_ptr<X3DVertexBufferImp> XOpenGLRenderSystem::CreateVertexBufferImp(X3DGC& inGC, X3DVertexBuffer& inBuffer)
{
    X3DGCScopedLock lock(inGC);
    if (OpenGLCheckExtension("GL_ARB_vertex_buffer_object"))
        return std::make_unique<XGLVertexBufferImp>(inBuffer, OpenGLCheckExtension("GL_APPLE_flush_buffer_range"));
    return std::make_unique<XOpenGLGC::XGLSimpleVertexBufferImp>(inBuffer);
}

std::unique_ptr<X3DIndexBufferImp> XOpenGLRenderSystem::CreateIndexBufferImp(X3DGC& inGC, X3DIndexBuffer& inBuffer)
{
    X3DGCScopedLock lock(inGC);
    if (OpenGLCheckExtension("GL_ARB_vertex_buffer_object"))
        return std::make_unique<XGLIndexBufferImp>(inBuffer, OpenGLCheckExtension("GL_APPLE_flush_buffer_range"));
    return std::make_unique<XOpenGLGC::XGLSimpleIndexBufferImp>(inBuffer);
}

std::unique_ptr<XTexture2DImp> XOpenGLRenderSystem::CreateTexture2DImp(X3DGC& inGC, XTexture2D& inTexture)
{
    X3DGCScopedLock lock(inGC);
    return std::make_unique<XGLTexture2DImp>(inTexture);
}

std::unique_ptr<XTexture3DImp> XOpenGLRenderSystem::CreateTexture3DImp(X3DGC& inGC, XTexture3D& inTexture)
{
    X3DGCScopedLock lock(inGC);
    return std::make_unique<XGLTexture3DImp>(inTexture);
}

bool XOpenGLRenderSystem::IsSoftwareRasteriser()
{
    std::call_once(itsRasteriserProbe, [this] {
        const GLubyte* renderer = glGetString(GL_RENDERER);
        itsSoftwareRasteriser =
            renderer != nullptr && XGLContext::IsSoftwareRendererName(XString(reinterpret_cast<const char*>(renderer)));
    });
    return itsSoftwareRasteriser;
}

std::unique_ptr<X3DGCOffscreenTargetImp> XOpenGLRenderSystem::CreateOffscreenTargetImp(X3DGC& inGC,
                                                                                       X3DGCOffscreenTarget& inTarget)
{
    X3DGCScopedLock lock(inGC);
    if (OpenGLCheckExtension("GL_EXT_framebuffer_object")) {
        const bool singleSample = XGLContext::IsSingleSampleOnSoftwareRasteriser() && IsSoftwareRasteriser();
        return std::make_unique<XOpenGLGC::XGLFrameBufferObjectTargetImp>(
            inTarget, !singleSample && OpenGLCheckExtension("GL_EXT_framebuffer_multisample"));
    }
    if (itsPlatform->IsPBufferSupported(inGC))
        return itsPlatform->CreatePBufferTargetImp(inGC, inTarget);
    throw X3DRendererException(XException::kNoOffscreen,
        "this OpenGL driver can draw offscreen neither into framebuffer objects nor into pbuffers; update the "
        "graphics driver");
}
