#pragma once
// The OpenGL device: the device implementation and the resource implementations of
// the OpenGL render system. The window-system pieces (contexts, pixel formats,
// making current) are supplied by a platform subclass of XOpenGLGCImp.
#include "X3DGCImp.h"
#include "XMap.h"
#include "XMutex.h"
#include "XOpenGL.h"

#include <cstdint>

class XOpenGLGC {
public:
    class XOpenGLGCImp;
    template <class TOwner, class TBaseImp, GLenum kTarget>
    class XGLBufferImp;
    class XGLSimpleVertexBufferImp;
    class XGLSimpleIndexBufferImp;
    template <class TBaseImp, class TTexture, GLenum kTarget>
    class XGLSimpleBufferTextureImp;
    class XGLFrameBufferObjectTargetImp;
};

class XOpenGLGC::XOpenGLGCImp : public X3DGCImp {
public:
    explicit XOpenGLGCImp(X3DGC& inGC);
    ~XOpenGLGCImp() override;

    X3DGC::XDeviceInfo GetDeviceInfo() const override;
    void Initialise(const X3DGC::XCreationParameters& inParameters) override;
    bool IsCompatible(const X3DGCImp& inOther) const override;
    void Clear(uint32_t inFlags, const XARGB32Colour& inColour, float inDepth, uint32_t inStencil) override;
    void SetColourBufferWriteMask(uint32_t inMask) override;
    void SetDepthTestEnabled(bool inEnabled) override;
    void SetDepthBufferWritesEnabled(bool inEnabled) override;
    void SetDepthBufferOffset(float inOffset) override;
    void SetStencilBufferEnabled(bool inEnabled) override;
    void SetStencilFunc(X3DGC::XStencilFunc inFunc, uint32_t inRef, uint32_t inMask) override;
    void SetStencilWriteOp(X3DGC::XStencilWriteOp inPass, X3DGC::XStencilWriteOp inFail) override;
    void SetCullMode(X3DGC::XCullMode inMode) override;
    void SetFillMode(X3DGC::XFillMode inMode) override;
    void SetBlendMode(X3DGC::XBlendMode inMode) override;
    void SetViewport(const X3DViewport& inViewport) override;
    void SetWorld(const XMatrix_4x4<float>& inMatrix) override;
    void SetView(const XMatrix_4x4<float>& inMatrix) override;
    void SetProjection(const XMatrix_4x4<float>& inMatrix) override;
    void SetVertexDefinition(const X3DGC::XVertexDefinition& inDefinition) override;
    void DrawUserPrimitives(X3DGC::XPrimitiveType inType, const void* inVertexData, uint32_t inStartVertex,
        uint32_t inPrimitiveCount) override;
    void DrawUserIndexedPrimitives(X3DGC::XPrimitiveType inType, const void* inVertexData, uint32_t inVertexCount,
        uint32_t inStride, const uint32_t* inIndices, uint32_t inPrimitiveCount) override;
    void DrawPrimitives(X3DGC::XPrimitiveType inType, uint32_t inStartVertex, uint32_t inPrimitiveCount) override;
    void DrawIndexedPrimitives(X3DGC::XPrimitiveType inType, uint32_t inStartIndex, uint32_t inPrimitiveCount) override;
    void SetTextureSampler(uint32_t inUnit, const X3DGC::XTextureUnitState& inState) override;
    void AttachTexture(uint32_t inUnit, const X3DGC::XTextureUnitState& inState, _CGparameter* inSampler) override;
    void UnattachTexture(uint32_t inUnit, const X3DGC::XTextureUnitState& inState, _CGparameter* inSampler) override;
    void CreateShaderProfiles(CGprofile& outVertexProfile, CGprofile& outFragmentProfile) override;
    void AttachShader(XShader& inShader, CGprofile inProfile) override;
    void BeginShader(XShader& inShader, CGprofile inProfile) override;
    void EndShader(XShader& inShader, CGprofile inProfile) override;
    void UpdateClippingPlanes() override;

    virtual void InitialiseState();
    // Client arrays of the device's vertex definition from inBase (null when a
    // buffer object is bound: offsets are then into the buffer).
    virtual void SetUpVertexArrays(const void* inBase);

    // Whether the fixed-function pipeline has a unit for inUnit (enabling a texture
    // target on a unit past them is an OpenGL error).
    bool HasFixedFunctionUnit(uint32_t inUnit) const { return inUnit < itsFixedFunctionUnits; }
    uint64_t GetPixelFormat() const { return itsPixelFormat; }
    void* GetContext() const { return itsContext; }

protected:
    // The window-system operations.
    virtual uint64_t ChoosePixelFormat(const X3DGC::XCreationParameters& inParameters) = 0;
    virtual void* CreateShareContext(uint64_t inPixelFormat) = 0;
    virtual void* CreateContext(uint64_t inPixelFormat, void* inShareContext) = 0;
    virtual void DestroyContext(void* inContext) = 0;
    virtual void LoadModelView();

    // Subclasses destroy their context in their own destructor: the slots are gone here.
    void ReleaseContext();
    XMutex& GetContextMutex() { return itsContextMutex; }

private:
    void SetBlendEquation(GLenum inEquation);

    XMutex itsContextMutex{4000, false};
    void* itsContext = nullptr;
    uint64_t itsPixelFormat = 0;
    XARGB32Colour itsClearColour{255, 0, 0, 0};
    float itsClearDepth = 1.0f;
    uint32_t itsClearStencil = 0;
    uint32_t itsEnabledClipPlanes = 0;
    uint32_t itsFixedFunctionUnits = 1;
    uint32_t itsTexCoordSets = 1;
    bool itsHasBlendEquation = false;

    static XMap<uint64_t, void*> sShareContexts;
    static XMutex sShareContextMutex;
};
