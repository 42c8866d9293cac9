#pragma once
// The graphics device of the scene-graph renderers. It keeps a complete shadow copy
// of the render state and forwards each change to its implementation, made by the
// current render system; state that did not change is filtered here, so every
// implementation gets the same economy. A device is used by one thread at a time:
// lock it with X3DGCScopedLock.
#include "XMap.h"
#include "XMathVector.h"
#include "XMatrix_4x4.h"
#include "XMutex.h"
#include "XRect.h"
#include "XString.h"
#include "X3DViewport.h"
#include "XARGB32Colour.h"
#include "cg.h"

#include <cstdint>
#include <memory>
#include <vector>

class X3DGCImp;
class X3DGCRenderTarget;
class X3DIndexBuffer;
class X3DVertexBuffer;
class XShader;
class XTexture;

class X3DGC {
public:
    enum XClearFlags : uint32_t { kClearColour = 1, kClearDepth = 2, kClearStencil = 4 };
    enum XPrimitiveType : uint32_t {
        kPointList = 0, kLineList = 1, kLineStrip = 2, kTriangleList = 3, kTriangleStrip = 4, kTriangleFan = 5, kQuadList = 6
    };
    enum XBlendMode : uint32_t { kBlendNone = 0, kBlendOver = 1, kBlendUnder = 2, kBlendMaximum = 3 };
    enum XCullMode : uint32_t { kCullClockwise = 0, kCullCounterClockwise = 1, kCullNone = 2 };
    enum XFillMode : uint32_t { kFillSolid = 0, kFillWireframe = 1, kFillPoint = 2 };
    enum XStencilFunc : uint32_t { kStencilNever = 0, kStencilAlways = 1, kStencilEqual = 2 };
    enum XStencilWriteOp : uint32_t { kStencilKeep = 0, kStencilReplace = 1 };
    // 2 has no texel size and is refused; 3 is stored and drawn exactly as kBGRA32.
    enum XPixelFormat : uint32_t { kLuminance8 = 0, kLuminanceAlpha16 = 1, kUnsizedFormat = 2, kBGRA32Alternate = 3, kBGRA32 = 4 };
    enum XElementType : uint32_t { kElementUByte4 = 0, kElementFloat1 = 1, kElementFloat2 = 2, kElementFloat3 = 3 };
    // Texture coordinates of unit n use kUsageTexCoord0 + n.
    enum XElementUsage : uint32_t { kUsagePosition = 0, kUsageColour = 1, kUsageNormal = 2, kUsageTexCoord0 = 100 };

    struct XCreationParameters {
        uint8_t wantsStencil = 1;
        uint8_t wantsStereo = 0;
        uint8_t wantsGenericFormat = 0;
        friend bool operator==(const XCreationParameters&, const XCreationParameters&) = default;
    };
    struct XDeviceInfo {
        XString description;
        uint32_t textureUnitCount = 0;
        uint32_t maxTextureSize = 0;
        XRect maxViewportBounds;
        XRect maxRenderBufferBounds;
    };
    // Address modes: 0 clamp to edge, 1 repeat. Filters: 0 nearest, 1 linear.
    struct XSamplerState {
        uint32_t addressU = 0;
        uint32_t addressV = 0;
        uint32_t addressW = 0;
        uint32_t minFilter = 0;
        uint32_t magFilter = 0;
        friend bool operator==(const XSamplerState&, const XSamplerState&) = default;
    };
    struct XTextureUnitState {
        XTexture* texture = nullptr; // not owned; null for an empty unit
        XSamplerState sampler;
        friend bool operator==(const XTextureUnitState&, const XTextureUnitState&) = default;
    };
    struct XVertexElement {
        uint64_t offset = 0;
        uint32_t type = kElementFloat3;
        uint32_t usage = kUsagePosition;
        friend bool operator==(const XVertexElement&, const XVertexElement&) = default;
    };
    // Valid when the usages are unique and one of them is kUsagePosition.
    struct XVertexDefinition {
        std::vector<XVertexElement> elements;
        uint64_t stride = 0;
        friend bool operator==(const XVertexDefinition&, const XVertexDefinition&) = default;
    };

    // Asks the current render system for the implementation; throws XException
    // kNoRenderer when no render system is registered.
    X3DGC();
    virtual ~X3DGC();
    X3DGC(const X3DGC&) = delete;
    X3DGC& operator=(const X3DGC&) = delete;

    // Creates the platform context and reads what it can do.
    void Initialise(const XCreationParameters& inParameters);
    // With stencil, without stereo, in an accelerated format.
    void Initialise();
    // A new device initialised like this one.
    std::unique_ptr<X3DGC> Clone() const;
    bool CanShare(const X3DGC&) const { return true; }
    X3DGCImp& GetImp() const { return *itsImp; }
    const XDeviceInfo& GetDeviceInfo() const { return itsDeviceInfo; }
    const XCreationParameters& GetCreationParameters() const { return itsCreationParameters; }
    bool IsHardwareShadersSupported() const;
    _CGcontext* GetCgContext() const { return itsCgContext; }
    CGprofile GetVertexProfile() const { return itsVertexProfile; }
    CGprofile GetFragmentProfile() const { return itsFragmentProfile; }

    // Frame.
    void AttachRenderTarget(X3DGCRenderTarget* inTarget);
    X3DGCRenderTarget* GetCurrentRenderTarget() const { return itsCurrentTarget; }
    void BeginRender();
    void EndRender();
    void Present();
    void Clear(uint32_t inFlags, const XARGB32Colour& inColour, float inDepth, uint32_t inStencil);

    // State; unchanged values do not reach the implementation.
    void SetColourBufferWriteMask(uint32_t inMask);
    uint32_t GetColourBufferWriteMask() const { return itsColourBufferWriteMask; }
    void SetDepthTestEnabled(bool inEnabled);
    bool GetDepthTestEnabled() const { return itsDepthTestEnabled; }
    void SetDepthBufferWritesEnabled(bool inEnabled);
    bool GetDepthBufferWritesEnabled() const { return itsDepthBufferWritesEnabled; }
    void SetDepthBufferOffset(float inOffset);
    float GetDepthBufferOffset() const { return itsDepthBufferOffset; }
    void SetStencilBufferEnabled(bool inEnabled);
    bool GetStencilBufferEnabled() const { return itsStencilBufferEnabled; }
    void SetStencilFunc(XStencilFunc inFunc, uint32_t inRef, uint32_t inMask);
    XStencilFunc GetStencilFunc() const { return itsStencilFunc; }
    uint32_t GetStencilRef() const { return itsStencilRef; }
    uint32_t GetStencilMask() const { return itsStencilMask; }
    void SetStencilWriteOp(XStencilWriteOp inPass, XStencilWriteOp inFail);
    XStencilWriteOp GetStencilPassOp() const { return itsStencilPassOp; }
    XStencilWriteOp GetStencilFailOp() const { return itsStencilFailOp; }
    void SetCullMode(XCullMode inMode);
    XCullMode GetCullMode() const { return itsCullMode; }
    void SetFillMode(XFillMode inMode);
    XFillMode GetFillMode() const { return itsFillMode; }
    void SetBlendMode(XBlendMode inMode);
    XBlendMode GetBlendMode() const { return itsBlendMode; }

    // Viewport and matrices always reach the implementation. Points are row vectors
    // (p x M), so world-view is world x view.
    void SetViewport(const X3DViewport& inViewport);
    const X3DViewport& GetViewport() const { return itsViewport; }
    void SetWorld(const XMatrix_4x4<float>& inMatrix);
    void SetView(const XMatrix_4x4<float>& inMatrix);
    void SetProjection(const XMatrix_4x4<float>& inMatrix);
    const XMatrix_4x4<float>& GetWorld() const { return itsWorld; }
    const XMatrix_4x4<float>& GetView() const { return itsView; }
    const XMatrix_4x4<float>& GetProjection() const { return itsProjection; }
    const XMatrix_4x4<float>& GetWorldView() const { return itsWorldView; }
    const XMatrix_4x4<float>& GetWorldViewProjection() const { return itsWorldViewProjection; }

    // An invalid definition (a usage twice, no position) is reported and not taken.
    void SetVertexDefinition(const XVertexDefinition& inDefinition);
    const XVertexDefinition& GetVertexDefinition() const { return itsVertexDefinition; }

    void AddClippingPlane(const XMathVectorF4& inEquation);
    void DeleteAllClippingPlanes();
    uint32_t GetNumClippingPlanes() const { return uint32_t(itsClippingPlanes.size()); }
    // A zero equation for an index past the last plane (reported).
    XMathVectorF4 GetClippingPlane(uint32_t inPlaneIndex) const;

    // Geometry. The bound buffers are not owned.
    void SetVerticies(X3DVertexBuffer* inBuffer);
    void SetIndicies(X3DIndexBuffer* inBuffer);
    X3DVertexBuffer* GetVertexBuffer() const { return itsVertexSource; }
    X3DIndexBuffer* GetIndexBuffer() const;
    // Whether an index buffer is bound (GetIndexBuffer reports when none is).
    bool HasIndexBuffer() const { return itsIndicies != nullptr; }
    // Binds the vertex buffer again, so that its arrays follow a new layout.
    void ResetVertexSource();
    void DrawPrimitives(XPrimitiveType inType, uint32_t inStartVertex, uint32_t inPrimitiveCount);
    void DrawIndexedPrimitives(XPrimitiveType inType, uint32_t inStartIndex, uint32_t inPrimitiveCount);
    // Draws from the caller's memory; the bound buffers stay bound, also when the draw throws.
    void DrawUserPrimitives(XPrimitiveType inType, const void* inVertexData, uint32_t inStartVertex, uint32_t inPrimitiveCount);
    void DrawUserIndexedPrimitives(XPrimitiveType inType, const void* inVertexData, uint32_t inVertexCount, uint32_t inStride,
        const uint32_t* inIndices, uint32_t inPrimitiveCount);

    // Textures. A unit past the device's last is reported and changes nothing.
    void SetTexture(uint32_t inUnit, XTexture* inTexture);
    XTexture* GetTexture(uint32_t inUnit) const;
    void SetTextureSampler(uint32_t inUnit, const XSamplerState& inSampler);
    XSamplerState GetTextureSampler(uint32_t inUnit) const;
    // Installs inState on the unit and returns the state it had.
    XTextureUnitState SwapTexture(uint32_t inUnit, const XTextureUnitState& inState);

    // Shaders (not owned).
    void AttachShader(XShader& inShader);
    void UnattachShader(XShader& inShader);
    XShader* GetCurrentVertexShader() const { return itsCurrentVertexShader; }
    XShader* GetCurrentFragmentShader() const { return itsCurrentFragmentShader; }
    void BeginShader(XShader& inShader);
    void EndShader(XShader& inShader);
    void BeginShaders();
    void EndShaders();

    int32_t GetLockCount() const { return itsLockCount; }

protected:
    friend class X3DGCScopedLock;

    // Waits while another thread holds the device; the holding thread may lock again.
    void Lock();
    void Unlock();
    // The device the calling thread has locked, or null.
    static X3DGC* GetCurrentThreadContext();

private:
    void RemoveFromLockMap();
    bool CheckUnit(uint32_t inUnit) const;
    _CGparameter* GetSamplerParameter(uint32_t inUnit) const;
    CGprofile GetProfileFor(const XShader& inShader) const;
    void ReleaseBoundBuffers();
    void RestoreBoundBuffers();
    void AttachUnit(uint32_t inUnit, const XTextureUnitState& inState, bool inTakeWholeState);

    std::unique_ptr<X3DGCImp> itsImp;
    XCreationParameters itsCreationParameters;
    XDeviceInfo itsDeviceInfo;
    X3DGCRenderTarget* itsCurrentTarget = nullptr;
    X3DViewport itsViewport;
    XMatrix_4x4<float> itsWorld;
    XMatrix_4x4<float> itsView;
    XMatrix_4x4<float> itsProjection;
    XMatrix_4x4<float> itsWorldView;
    XMatrix_4x4<float> itsWorldViewProjection;
    XVertexDefinition itsVertexDefinition;
    uint32_t itsColourBufferWriteMask = 0xFFFFFFFF;
    bool itsDepthTestEnabled = false;
    bool itsDepthBufferWritesEnabled = true;
    float itsDepthBufferOffset = 0.0f;
    bool itsStencilBufferEnabled = false;
    XStencilFunc itsStencilFunc = kStencilNever;
    uint32_t itsStencilRef = 0;
    uint32_t itsStencilMask = 0;
    // Unset until the first SetStencilWriteOp, which therefore always reaches the implementation.
    bool itsStencilWriteOpSet = false;
    XStencilWriteOp itsStencilPassOp = kStencilKeep;
    XStencilWriteOp itsStencilFailOp = kStencilKeep;
    XCullMode itsCullMode = kCullClockwise;
    XFillMode itsFillMode = kFillSolid;
    XBlendMode itsBlendMode = kBlendOver;
    std::vector<XTextureUnitState> itsTextureUnits;
    X3DVertexBuffer* itsVertexSource = nullptr;
    X3DIndexBuffer* itsIndicies = nullptr;
    _CGcontext* itsCgContext = nullptr;
    CGprofile itsFragmentProfile = CG_PROFILE_UNKNOWN;
    CGprofile itsVertexProfile = CG_PROFILE_UNKNOWN;
    XShader* itsCurrentVertexShader = nullptr;
    XShader* itsCurrentFragmentShader = nullptr;
    std::vector<XMathVectorF4> itsClippingPlanes;
    int32_t itsLockCount = 0;
    XMutex itsLockMutex{4000, false};
    uint64_t itsLockingThread = 0;

    static XMap<unsigned long, X3DGC*> sLockMap;
    static XMutex sLockMapMutex;
};
