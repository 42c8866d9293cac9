#pragma once
// What a render system implements for a device. The device has already filtered
// redundant changes; the implementation reads the device's matrices, vertex
// definition, bound buffers and clipping planes through its back reference.
#include "X3DGC.h"

class X3DGCImp {
public:
    explicit X3DGCImp(X3DGC& inGC) : itsGC(inGC) {}
    virtual ~X3DGCImp() = default;
    X3DGCImp(const X3DGCImp&) = delete;
    X3DGCImp& operator=(const X3DGCImp&) = delete;

    X3DGC& GetGC() const { return itsGC; }

    virtual X3DGC::XDeviceInfo GetDeviceInfo() const = 0;
    virtual void Initialise(const X3DGC::XCreationParameters& inParameters) = 0;
    // Same implementation type and same pixel format.
    virtual bool IsCompatible(const X3DGCImp& inOther) const = 0;
    virtual void Clear(uint32_t inFlags, const XARGB32Colour& inColour, float inDepth, uint32_t inStencil) = 0;
    virtual void Present() = 0;
    virtual void SetColourBufferWriteMask(uint32_t inMask) = 0;
    virtual void SetDepthTestEnabled(bool inEnabled) = 0;
    virtual void SetDepthBufferWritesEnabled(bool inEnabled) = 0;
    virtual void SetDepthBufferOffset(float inOffset) = 0;
    virtual void SetStencilBufferEnabled(bool inEnabled) = 0;
    virtual void SetStencilFunc(X3DGC::XStencilFunc inFunc, uint32_t inRef, uint32_t inMask) = 0;
    virtual void SetStencilWriteOp(X3DGC::XStencilWriteOp inPass, X3DGC::XStencilWriteOp inFail) = 0;
    virtual void SetCullMode(X3DGC::XCullMode inMode) = 0;
    virtual void SetFillMode(X3DGC::XFillMode inMode) = 0;
    virtual void SetBlendMode(X3DGC::XBlendMode inMode) = 0;
    virtual void SetViewport(const X3DViewport& inViewport) = 0;
    virtual void SetWorld(const XMatrix_4x4<float>& inMatrix) = 0;
    virtual void SetView(const XMatrix_4x4<float>& inMatrix) = 0;
    virtual void SetProjection(const XMatrix_4x4<float>& inMatrix) = 0;
    // Expected to re-bind the vertex source (X3DGC::ResetVertexSource) for the new layout.
    virtual void SetVertexDefinition(const X3DGC::XVertexDefinition& inDefinition) = 0;
    virtual void DrawUserPrimitives(X3DGC::XPrimitiveType inType, const void* inVertexData, uint32_t inStartVertex,
        uint32_t inPrimitiveCount) = 0;
    virtual void DrawUserIndexedPrimitives(X3DGC::XPrimitiveType inType, const void* inVertexData, uint32_t inVertexCount,
        uint32_t inStride, const uint32_t* inIndices, uint32_t inPrimitiveCount) = 0;
    virtual void DrawPrimitives(X3DGC::XPrimitiveType inType, uint32_t inStartVertex, uint32_t inPrimitiveCount) = 0;
    virtual void DrawIndexedPrimitives(X3DGC::XPrimitiveType inType, uint32_t inStartIndex, uint32_t inPrimitiveCount) = 0;
    virtual void SetTextureSampler(uint32_t inUnit, const X3DGC::XTextureUnitState& inState) = 0;
    // inSampler: the fragment program's sampler for the unit, or null.
    virtual void AttachTexture(uint32_t inUnit, const X3DGC::XTextureUnitState& inState, _CGparameter* inSampler) = 0;
    virtual void UnattachTexture(uint32_t inUnit, const X3DGC::XTextureUnitState& inState, _CGparameter* inSampler) = 0;
    // CG_PROFILE_UNKNOWN where the device cannot run programs of that kind.
    virtual void CreateShaderProfiles(CGprofile& outVertexProfile, CGprofile& outFragmentProfile) = 0;
    virtual void AttachShader(XShader& inShader, CGprofile inProfile) = 0;
    virtual void BeginShader(XShader& inShader, CGprofile inProfile) = 0;
    virtual void EndShader(XShader& inShader, CGprofile inProfile) = 0;
    virtual void UpdateClippingPlanes() = 0;
    // Makes the platform context current on the calling thread, and releases it.
    virtual void Lock() = 0;
    virtual void Unlock() = 0;

private:
    X3DGC& itsGC;
};
