#include "XGLTextureImp.h"

#include "X3DGCScopedLock.h"
#include "XAssert.h"
#include "XGLRendererException.h"
#include "XOpenGLShaderRuntime.h"
#include "XOpenGLUtilities.h"

#include <algorithm>
#include <cstring>

using namespace XOpenGLUtilities;

template <class TBaseImp, class TTexture, GLenum kTarget>
XOpenGLGC::XGLSimpleBufferTextureImp<TBaseImp, TTexture, kTarget>::XGLSimpleBufferTextureImp(TTexture& inOwner)
    : itsOwner(inOwner)
{
    const XMathVectorU3& extents = inOwner.GetExtents();
    for (size_t axis = 0; axis < 3; ++axis) {
        itsAllocatedExtents[axis] = NextPowerOfTwo(std::max(extents[axis], 1u));
        itsMaxTextureCoords[axis] = float(std::max(extents[axis], 1u)) / float(itsAllocatedExtents[axis]);
    }
    const uint32_t texelBytes = GetPixelFormat(inOwner.GetFormat()).bytesPerTexel;
    itsRowBytes = uint64_t(itsAllocatedExtents[0]) * texelBytes;
    itsPlaneBytes = uint64_t(itsAllocatedExtents[1]) * itsRowBytes;
    itsLevelBuffers.resize(inOwner.GetMaxLevels());
    for (uint32_t level = 0; level < itsLevelBuffers.size(); ++level)
        itsLevelBuffers[level].Resize(size_t(GetLevelBytes(level)));
}

template <class TBaseImp, class TTexture, GLenum kTarget>
XMathVectorU3 XOpenGLGC::XGLSimpleBufferTextureImp<TBaseImp, TTexture, kTarget>::GetLevelExtents(uint32_t inLevel) const
{
    XMathVectorU3 extents;
    for (size_t axis = 0; axis < 3; ++axis)
        extents[axis] = std::max(1u, inLevel < 32 ? itsAllocatedExtents[axis] >> inLevel : 0u);
    return extents;
}

template <class TBaseImp, class TTexture, GLenum kTarget>
uint64_t XOpenGLGC::XGLSimpleBufferTextureImp<TBaseImp, TTexture, kTarget>::GetLevelBytes(uint32_t inLevel) const
{
    const XMathVectorU3 e = GetLevelExtents(inLevel);
    return uint64_t(e[0]) * e[1] * e[2] * GetPixelFormat(itsOwner.GetFormat()).bytesPerTexel;
}

template <class TBaseImp, class TTexture, GLenum kTarget>
void XOpenGLGC::XGLSimpleBufferTextureImp<TBaseImp, TTexture, kTarget>::DestroySelf(X3DGC& inGC)
{
    if (itsName != 0) {
        X3DGCScopedLock lock(inGC);
        ClearGLErrors();
        glDeleteTextures(1, &itsName);
        itsName = 0;
    }
}

template <class TBaseImp, class TTexture, GLenum kTarget>
void XOpenGLGC::XGLSimpleBufferTextureImp<TBaseImp, TTexture, kTarget>::CopyInData(const void* inData, uint64_t inSizeBytes)
{
    X_ASSERT(itsBuffer != 0);
    if (itsBuffer == nullptr)
        return;
    std::memcpy(itsBuffer->GetData(), inData, size_t(std::min<uint64_t>(inSizeBytes, itsBuffer->GetSize())));
}

template <class TBaseImp, class TTexture, GLenum kTarget>
void* XOpenGLGC::XGLSimpleBufferTextureImp<TBaseImp, TTexture, kTarget>::GetData()
{
    X_ASSERT(itsBuffer != 0);
    return itsBuffer ? itsBuffer->GetData() : nullptr;
}

template <class TBaseImp, class TTexture, GLenum kTarget>
GLuint XOpenGLGC::XGLSimpleBufferTextureImp<TBaseImp, TTexture, kTarget>::MakeName()
{
    if (itsName == 0)
        glGenTextures(1, &itsName);
    return itsName;
}

template <class TBaseImp, class TTexture, GLenum kTarget>
void XOpenGLGC::XGLSimpleBufferTextureImp<TBaseImp, TTexture, kTarget>::LockLevel(XLockMode, uint32_t inLevel)
{
    X_ASSERT(itsBuffer == 0);
    X_ASSERT(inLevel < itsLevelBuffers.size());
    if (inLevel >= itsLevelBuffers.size())
        return;
    XSimpleBuffer& buffer = itsLevelBuffers[inLevel];
    // A static texture gave its copy up after the upload; a new lock needs one again.
    if (buffer.GetSize() == 0)
        buffer.Resize(size_t(GetLevelBytes(inLevel)));
    itsBuffer = &buffer;
}

template <class TBaseImp, class TTexture, GLenum kTarget>
void XOpenGLGC::XGLSimpleBufferTextureImp<TBaseImp, TTexture, kTarget>::UnlockLevel(XLockMode, uint32_t inLevel)
{
    X_ASSERT(inLevel < itsLevelBuffers.size());
    if (inLevel >= itsLevelBuffers.size())
        return;
    X_ASSERT(itsBuffer == &itsLevelBuffers[inLevel]);
    if (itsBuffer != &itsLevelBuffers[inLevel])
        return;
    itsBuffer = nullptr;
    CheckGLError();
    const XGLPixelFormat format = GetPixelFormat(itsOwner.GetFormat());
    const XMathVectorU3 e = GetLevelExtents(inLevel);
    XSimpleBuffer& buffer = itsLevelBuffers[inLevel];
    glBindTexture(kTarget, MakeName());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if constexpr (kTarget == GL_TEXTURE_3D)
        glTexImage3D(kTarget, GLint(inLevel), format.internalFormat, GLsizei(e[0]), GLsizei(e[1]), GLsizei(e[2]), 0,
                     format.uploadFormat, format.uploadType, buffer.GetData());
    else
        exceptglTexImage2D(kTarget, GLint(inLevel), format.internalFormat, GLsizei(e[0]), GLsizei(e[1]), 0,
                           format.uploadFormat, format.uploadType, buffer.GetData());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    const GLenum error = glGetError();
    glBindTexture(kTarget, 0);
    if (error != GL_NO_ERROR)
        throw XGLRendererException(error);
    if (itsOwner.GetUsage() == X3DGCBuffer::kBufferStaticDraw)
        buffer.Clear();
}

template <class TBaseImp, class TTexture, GLenum kTarget>
void XOpenGLGC::XGLSimpleBufferTextureImp<TBaseImp, TTexture, kTarget>::HandleTextureUnitAttach(X3DGC& inGC, uint32_t inUnit,
                                                                                              _CGparameter* inSampler)
{
    if (itsName == 0)
        return;
    if (inSampler != nullptr) {
        XOpenGLShaderRuntime& runtime = XOpenGLShaderRuntime::Require();
        runtime.SetTextureParameter(inSampler, itsName);
        runtime.CheckError();
    }
    glActiveTextureARB(GL_TEXTURE0_ARB + inUnit);
    if (static_cast<XOpenGLGCImp&>(inGC.GetImp()).HasFixedFunctionUnit(inUnit))
        glEnable(kTarget);
    glBindTexture(kTarget, itsName);
    CheckGLError();
}

template <class TBaseImp, class TTexture, GLenum kTarget>
void XOpenGLGC::XGLSimpleBufferTextureImp<TBaseImp, TTexture, kTarget>::HandleTextureUnitUnattach(X3DGC& inGC, uint32_t inUnit,
                                                                                                _CGparameter*)
{
    glActiveTextureARB(GL_TEXTURE0_ARB + inUnit);
    glBindTexture(kTarget, 0);
    if (static_cast<XOpenGLGCImp&>(inGC.GetImp()).HasFixedFunctionUnit(inUnit))
        glDisable(kTarget);
}

template class XOpenGLGC::XGLSimpleBufferTextureImp<XTexture2DImp, XTexture2D, GL_TEXTURE_2D>;
template class XOpenGLGC::XGLSimpleBufferTextureImp<XTexture3DImp, XTexture3D, GL_TEXTURE_3D>;
