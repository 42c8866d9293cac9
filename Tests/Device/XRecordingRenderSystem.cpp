#include "XRecordingRenderSystem.h"

#include "X3DGCOffscreenTarget.h"
#include "X3DIndexBuffer.h"
#include "X3DVertexBuffer.h"
#include "XException.h"
#include "XShader.h"
#include "XTexture2D.h"
#include "XTexture3D.h"

#include <bit>
#include <utility>
#include <cstring>

void XCallLog::Add(std::string inCall)
{
    std::lock_guard lock(itsMutex);
    itsCalls.push_back(std::move(inCall));
}

std::vector<std::string> XCallLog::Take()
{
    std::lock_guard lock(itsMutex);
    return std::exchange(itsCalls, {});
}

void XCallLog::ThrowOn(std::string inCall)
{
    std::lock_guard lock(itsMutex);
    itsFailing.insert(std::move(inCall));
}

void XCallLog::Disarm()
{
    std::lock_guard lock(itsMutex);
    itsFailing.clear();
}

void XCallLog::ThrowIfArmed(const std::string& inCall) const
{
    std::lock_guard lock(itsMutex);
    if (itsFailing.count(inCall))
        throw XException(XException::kBadArgument, "armed failure of " + inCall);
}

namespace {
std::string N(uint64_t inValue) { return std::to_string(inValue); }

class XRecordingGCImp : public X3DGCImp {
public:
    XRecordingGCImp(X3DGC& inGC, XCallLog& inLog, const XRecordingRenderSystem& inSystem)
        : X3DGCImp(inGC), itsLog(inLog), itsSystem(inSystem) {}

    X3DGC::XDeviceInfo GetDeviceInfo() const override
    {
        X3DGC::XDeviceInfo info;
        info.description = "recording";
        info.textureUnitCount = XRecordingRenderSystem::kTextureUnits;
        return info;
    }
    void Initialise(const X3DGC::XCreationParameters&) override { Call("Initialise"); }
    bool IsCompatible(const X3DGCImp&) const override { return true; }
    void Clear(uint32_t inFlags, const XARGB32Colour&, float, uint32_t) override { Call("Clear " + N(inFlags)); }
    void Present() override { Call("Present"); }
    void SetColourBufferWriteMask(uint32_t inMask) override { Call("SetColourBufferWriteMask " + N(inMask)); }
    void SetDepthTestEnabled(bool inOn) override { Call("SetDepthTestEnabled " + N(inOn)); }
    void SetDepthBufferWritesEnabled(bool inOn) override { Call("SetDepthBufferWritesEnabled " + N(inOn)); }
    void SetDepthBufferOffset(float inOffset) override { Call("SetDepthBufferOffset " + std::to_string(inOffset)); }
    void SetStencilBufferEnabled(bool inOn) override { Call("SetStencilBufferEnabled " + N(inOn)); }
    void SetStencilFunc(X3DGC::XStencilFunc inFunc, uint32_t inRef, uint32_t inMask) override
    {
        Call("SetStencilFunc " + N(inFunc) + " " + N(inRef) + " " + N(inMask));
    }
    void SetStencilWriteOp(X3DGC::XStencilWriteOp inPass, X3DGC::XStencilWriteOp inFail) override
    {
        Call("SetStencilWriteOp " + N(inPass) + " " + N(inFail));
    }
    void SetCullMode(X3DGC::XCullMode inMode) override { Call("SetCullMode " + N(inMode)); }
    void SetFillMode(X3DGC::XFillMode inMode) override { Call("SetFillMode " + N(inMode)); }
    void SetBlendMode(X3DGC::XBlendMode inMode) override { Call("SetBlendMode " + N(inMode)); }
    void SetViewport(const X3DViewport&) override { Call("SetViewport"); }
    void SetWorld(const XMatrix_4x4<float>&) override { Call("SetWorld"); }
    void SetView(const XMatrix_4x4<float>&) override { Call("SetView"); }
    void SetProjection(const XMatrix_4x4<float>&) override { Call("SetProjection"); }
    void SetVertexDefinition(const X3DGC::XVertexDefinition&) override
    {
        Call("SetVertexDefinition");
        GetGC().ResetVertexSource();
    }
    void DrawUserPrimitives(X3DGC::XPrimitiveType, const void*, uint32_t, uint32_t) override { Call("DrawUserPrimitives"); }
    void DrawUserIndexedPrimitives(X3DGC::XPrimitiveType, const void*, uint32_t, uint32_t, const uint32_t*, uint32_t) override
    {
        Call("DrawUserIndexedPrimitives");
    }
    void DrawPrimitives(X3DGC::XPrimitiveType, uint32_t, uint32_t) override { Call("DrawPrimitives"); }
    void DrawIndexedPrimitives(X3DGC::XPrimitiveType, uint32_t, uint32_t) override { Call("DrawIndexedPrimitives"); }
    void SetTextureSampler(uint32_t inUnit, const X3DGC::XTextureUnitState& inState) override
    {
        Call("SetTextureSampler " + N(inUnit) + " min " + N(inState.sampler.minFilter));
    }
    void AttachTexture(uint32_t inUnit, const X3DGC::XTextureUnitState& inState, _CGparameter* inSampler) override
    {
        Call("AttachTexture " + N(inUnit) + " min " + N(inState.sampler.minFilter) + " sampler " + N(uintptr_t(inSampler)));
    }
    void UnattachTexture(uint32_t inUnit, const X3DGC::XTextureUnitState&, _CGparameter*) override
    {
        Call("UnattachTexture " + N(inUnit));
    }
    void CreateShaderProfiles(CGprofile& outVertex, CGprofile& outFragment) override
    {
        outVertex = itsSystem.itsVertexProfile;
        outFragment = itsSystem.itsFragmentProfile;
    }
    void AttachShader(XShader& inShader, CGprofile inProfile) override { Call("AttachShader " + N(inShader.GetType()) + " " + N(inProfile)); }
    void BeginShader(XShader& inShader, CGprofile) override { Call("BeginShader " + N(inShader.GetType())); }
    void EndShader(XShader& inShader, CGprofile) override { Call("EndShader " + N(inShader.GetType())); }
    void UpdateClippingPlanes() override { Call("UpdateClippingPlanes " + N(GetGC().GetNumClippingPlanes())); }
    void Lock() override { Call("Lock"); }
    void Unlock() override { Call("Unlock"); }

private:
    void Call(const std::string& inCall)
    {
        itsLog.Add(inCall);
        itsLog.ThrowIfArmed(inCall);
    }
    XCallLog& itsLog;
    const XRecordingRenderSystem& itsSystem;
};

// Buffers in host memory; binding is recorded with the buffer's name.
template <class TBase>
class XRecordingBufferImp : public TBase {
public:
    XRecordingBufferImp(XCallLog& inLog, std::string inName, uint64_t inSize) : itsLog(inLog), itsName(std::move(inName)), itsBytes(inSize) {}
    void DestroySelf(X3DGC&) override { itsLog.Add("Destroy " + itsName); }
    void CopyInDataWithOffset(const void* inData, uint64_t inSize, uint64_t inOffset) override
    {
        std::memcpy(itsBytes.data() + inOffset, inData, inSize);
    }
    void* GetData(uint64_t inOffset, uint64_t) override { return itsBytes.data() + inOffset; }
    void RenderLock(X3DGC&) override { itsLog.Add("RenderLock " + itsName); }
    void RenderUnlock(X3DGC&) override { itsLog.Add("RenderUnlock " + itsName); }

protected:
    XCallLog& itsLog;
    std::string itsName;
    std::vector<uint8_t> itsBytes;
};

class XRecordingIndexBufferImp : public XRecordingBufferImp<X3DIndexBufferImp> {
public:
    using XRecordingBufferImp::XRecordingBufferImp;
    const void* GetBaseElementAddress() const override { return itsBytes.data(); }
};

// Storage rounded up to powers of two, as a device without arbitrary sizes would.
template <class TBase>
class XRecordingTextureImp : public TBase {
public:
    XRecordingTextureImp(XCallLog& inLog, const XTexture& inTexture) : itsLog(inLog)
    {
        for (int i = 0; i < 3; ++i)
            itsAllocated[i] = std::bit_ceil(inTexture.GetExtents()[i]);
        itsRowBytes = uint64_t(itsAllocated[0]) * XTexture::TexelFormatToSizeBytes(inTexture.GetFormat());
        for (int i = 0; i < 3; ++i)
            itsCoords[i] = float(inTexture.GetExtents()[i]) / float(itsAllocated[i]);
        itsLevel.resize(GetPlaneBytes() * itsAllocated[2]);
    }
    void DestroySelf(X3DGC&) override { itsLog.Add("Destroy texture"); }
    void CopyInData(const void* inData, uint64_t inSize) override
    {
        itsLog.Add("CopyInData " + N(inSize));
        std::memcpy(itsLevel.data(), inData, inSize);
    }
    void* GetData() override { return itsLocked ? itsLevel.data() : nullptr; }
    void HandleTextureUnitAttach(X3DGC&, uint32_t, _CGparameter*) override {}
    void HandleTextureUnitUnattach(X3DGC&, uint32_t, _CGparameter*) override {}
    void LockLevel(XLockMode, uint32_t) override { itsLocked = true; }
    void UnlockLevel(XLockMode, uint32_t) override { itsLocked = false; }
    uint64_t GetRowBytes() const override { return itsRowBytes; }
    uint64_t GetPlaneBytes() const override { return itsRowBytes * itsAllocated[1]; }
    XMathVectorF3 GetMaxTextureCoords() const override { return itsCoords; }

private:
    XCallLog& itsLog;
    uint32_t itsAllocated[3] = {};
    uint64_t itsRowBytes = 0;
    XMathVectorF3 itsCoords;
    std::vector<uint8_t> itsLevel;
    bool itsLocked = false;
};

class XRecordingTargetImp : public X3DGCOffscreenTargetImp {
public:
    explicit XRecordingTargetImp(XCallLog& inLog) : itsLog(inLog) {}
    bool IsRenderToTextureSupported() const override { return false; }
    std::unique_ptr<XVolume> MakeVolume() override { return nullptr; }
    void CopyOutToBGRA32Volume(XBGRA32Volume&) const override {}
    void AttachTexture(XTexture2D&) override {}
    void HandleBecomeCurrentTarget(X3DGC* inGC) override { itsLog.Add(inGC ? "Target attached" : "Target detached"); }
    void HandleBeginRender(X3DGC&) override { itsLog.Add("BeginRender"); }
    void HandleEndRender(X3DGC&) override { itsLog.Add("EndRender"); }
    void DestroySelf(X3DGC&) override { itsLog.Add("Destroy target"); }

private:
    XCallLog& itsLog;
};
} // namespace

std::unique_ptr<X3DGCImp> XRecordingRenderSystem::CreateGCImp(X3DGC& inGC)
{
    return std::make_unique<XRecordingGCImp>(inGC, itsLog, *this);
}

std::unique_ptr<X3DVertexBufferImp> XRecordingRenderSystem::CreateVertexBufferImp(X3DGC&, X3DVertexBuffer& inBuffer)
{
    return std::make_unique<XRecordingBufferImp<X3DVertexBufferImp>>(itsLog, "vertices", inBuffer.GetSizeBytes());
}

std::unique_ptr<X3DIndexBufferImp> XRecordingRenderSystem::CreateIndexBufferImp(X3DGC&, X3DIndexBuffer& inBuffer)
{
    return std::make_unique<XRecordingIndexBufferImp>(itsLog, "indices", inBuffer.GetSizeBytes());
}

std::unique_ptr<XTexture2DImp> XRecordingRenderSystem::CreateTexture2DImp(X3DGC&, XTexture2D& inTexture)
{
    return std::make_unique<XRecordingTextureImp<XTexture2DImp>>(itsLog, inTexture);
}

std::unique_ptr<XTexture3DImp> XRecordingRenderSystem::CreateTexture3DImp(X3DGC&, XTexture3D& inTexture)
{
    return std::make_unique<XRecordingTextureImp<XTexture3DImp>>(itsLog, inTexture);
}

std::unique_ptr<X3DGCOffscreenTargetImp> XRecordingRenderSystem::CreateOffscreenTargetImp(X3DGC&, X3DGCOffscreenTarget&)
{
    return std::make_unique<XRecordingTargetImp>(itsLog);
}
