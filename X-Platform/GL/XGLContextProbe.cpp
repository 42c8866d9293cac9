// The capability probe of XGLContext: what the driver offers, and the OpenGL report.
#include "XGLContext.h"
#include "XGLContextLock.h"
#include "XOpenGL.h"
#include "XSessionLogManager.h"

#include <memory>

namespace {
XString GLString(GLenum inName)
{
    const GLubyte* text = glGetString(inName);
    return text ? XString(reinterpret_cast<const char*>(text)) : XString();
}

void LogUnavailable()
{
    XSessionLogManager::GetManager()->AddEntry("OpenGL is not available", XSessionLogManager::kWarning);
}
} // namespace

XString XGLContext::MakeFeatureList(bool inStereo, bool in3DTextures, bool inPbuffers, bool inMultiTexture,
                                    uint32_t inTextureUnits, bool inFragmentPrograms, bool inVertexBuffers)
{
    XString list;
    if (inStereo)
        list += "hardware stereo, ";
    if (in3DTextures)
        list += "3D textures, ";
    if (inPbuffers)
        list += "Pbuffers, ";
    if (inMultiTexture)
        list += XString("multi-texturing with %1 texture units, ").Replace(int64_t(inTextureUnits));
    if (inFragmentPrograms)
        list += "fragment programs, ";
    if (inVertexBuffers)
        list += "vertex buffer objects, ";
    std::string text = list.GetStdString();
    while (!text.empty() && (text.back() == ' ' || text.back() == ',' || text.back() == '.'))
        text.pop_back();
    if (text.empty())
        text = "None";
    return XString(text + ".");
}

void XGLContext::ProbeCapabilities(XGLContext* (*inMakeProbeContext)())
{
    sIsGLAvail = sIsGLStereoSupported = sIs3DTexturingSupported = false;
    sIsFragmentProgramSupported = sIsMultiTexturingSupported = false;
    sTextureUnitCount = 0;
    sVertexBufferType = kNoVertexBuffers;
    // The probe holds OpenGL only while it runs; every window holds its own count.
    if (OpenGLInit() != 0) {
        OpenGLUnInit();
        LogUnavailable();
        return;
    }
    struct UnInit {
        ~UnInit() { OpenGLUnInit(); }
    } unInit;
    try {
        sIsGLAvail = true;
        std::unique_ptr<XGLContext> probe(inMakeProbeContext ? inMakeProbeContext() : nullptr);
        if (!probe)
            throw XException(XException::kOpenGLError, "no OpenGL context could be created");
        XGLContextLock lock(*probe);
        sVersionStr = GLString(GL_VERSION);
        sVendorStr = GLString(GL_VENDOR);
        sRendererStr = GLString(GL_RENDERER);
        sGLVersion = 0.0;
        GetGLVersion();

        XString report = XString("OpenGL Version: %1.  ").Replace(sVersionStr);
        report += XString("Renderer: %1 %2.  ").Replace(sVendorStr).Replace(sRendererStr);
        const XPixelFormatInfo info = probe->GetPixelFormatInfo();
        report += (info.generic && !info.genericAccelerated) ? "Hardware Acceleration: Not Available.  "
                                                             : "Hardware Acceleration: Available.  ";
        sIsGLStereoSupported = info.stereo;
        sIs3DTexturingSupported = OpenGLCheckExtension("GL_EXT_texture3D");
        sIsMultiTexturingSupported = OpenGLCheckExtension("GL_ARB_multitexture");
        if (sIsMultiTexturingSupported) {
            GLint units = 0;
            glGetIntegerv(GL_MAX_TEXTURE_UNITS_ARB, &units);
            sTextureUnitCount = uint32_t(std::max(units, 0));
        }
        sIsFragmentProgramSupported = OpenGLCheckExtension("GL_ARB_fragment_program");
        sVertexBufferType = OpenGLCheckExtension("GL_ARB_vertex_buffer_object") ? kARBVertexBuffers : kNoVertexBuffers;
        report += "Features: ";
        report += MakeFeatureList(sIsGLStereoSupported, sIs3DTexturingSupported, info.pbuffers,
                                  sIsMultiTexturingSupported, sTextureUnitCount, sIsFragmentProgramSupported,
                                  sVertexBufferType == kARBVertexBuffers);
        // The vendor's control-panel queries have no counterpart here: the report ends.
        XSessionLogManager::GetManager()->AddEntry(report, XSessionLogManager::kInfo);
    } catch (...) {
        sIsGLAvail = sIsGLStereoSupported = sIs3DTexturingSupported = false;
        sIsFragmentProgramSupported = sIsMultiTexturingSupported = false;
        sTextureUnitCount = 0;
        sVertexBufferType = kNoVertexBuffers;
        LogUnavailable();
    }
}
