#pragma once
// Texture storage of the OpenGL device: a copy of every level in host memory,
// uploaded whole when a level is unlocked. Extents are enlarged to powers of two.
#include "XOpenGLGC.h"
#include "XSimpleBuffer.h"
#include "XTexture2D.h"
#include "XTexture2DImp.h"
#include "XTexture3D.h"
#include "XTexture3DImp.h"

#include <vector>

// What the framebuffer target needs of a texture it renders into.
class XGLTextureStorage {
public:
    virtual ~XGLTextureStorage() = default;
    // The texture name, made on the first call.
    virtual GLuint MakeName() = 0;
    virtual XMathVectorU3 GetAllocatedExtents() const = 0;
};

template <class TBaseImp, class TTexture, GLenum kTarget>
class XOpenGLGC::XGLSimpleBufferTextureImp : public TBaseImp, public XGLTextureStorage {
public:
    explicit XGLSimpleBufferTextureImp(TTexture& inOwner);

    void DestroySelf(X3DGC& inGC) override;
    void CopyInData(const void* inData, uint64_t inSizeBytes) override;
    void* GetData() override;
    void HandleTextureUnitAttach(X3DGC& inGC, uint32_t inUnit, _CGparameter* inSampler) override;
    void HandleTextureUnitUnattach(X3DGC& inGC, uint32_t inUnit, _CGparameter* inSampler) override;
    void LockLevel(XLockMode inMode, uint32_t inLevel) override;
    void UnlockLevel(XLockMode inMode, uint32_t inLevel) override;
    uint64_t GetRowBytes() const override { return itsRowBytes; }
    uint64_t GetPlaneBytes() const override { return itsPlaneBytes; }
    XMathVectorF3 GetMaxTextureCoords() const override { return itsMaxTextureCoords; }

    GLuint MakeName() override;
    XMathVectorU3 GetAllocatedExtents() const override { return itsAllocatedExtents; }
    GLuint GetName() const { return itsName; }

private:
    XMathVectorU3 GetLevelExtents(uint32_t inLevel) const;
    uint64_t GetLevelBytes(uint32_t inLevel) const;

    TTexture& itsOwner;
    GLuint itsName = 0;
    XMathVectorU3 itsAllocatedExtents;
    XMathVectorF3 itsMaxTextureCoords;
    uint64_t itsRowBytes = 0;
    uint64_t itsPlaneBytes = 0;
    std::vector<XSimpleBuffer> itsLevelBuffers;
    XSimpleBuffer* itsBuffer = nullptr;
};

using XGLTexture2DImp = XOpenGLGC::XGLSimpleBufferTextureImp<XTexture2DImp, XTexture2D, GL_TEXTURE_2D>;
using XGLTexture3DImp = XOpenGLGC::XGLSimpleBufferTextureImp<XTexture3DImp, XTexture3D, GL_TEXTURE_3D>;
