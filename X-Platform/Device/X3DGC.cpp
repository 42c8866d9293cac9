#include "X3DGC.h"

#include "X3DGCImp.h"
#include "X3DGCRenderTarget.h"
#include "X3DGCScopedLock.h"
#include "X3DIndexBuffer.h"
#include "X3DRenderSystem.h"
#include "X3DRenderSystemManager.h"
#include "X3DVertexBuffer.h"
#include "XAssert.h"
#include "XSessionLogManager.h"
#include "XShader.h"
#include "XThread.h"
#include "XThreadLock.h"

#include <algorithm>
#include <mutex>
#include <set>

XMap<unsigned long, X3DGC*> X3DGC::sLockMap;
XMutex X3DGC::sLockMapMutex{4000, false};


X3DGC::X3DGC()
{
    itsImp = X3DRenderSystemManager::GetRequiredRenderSystem().CreateGCImp(*this);
    if (X3DRenderSystemManager* manager = X3DRenderSystemManager::GetManager())
        itsCgContext = manager->GetApplicationCgContext();
}

X3DGC::~X3DGC()
{
    X_ASSERT(itsLockCount == 0);
    itsImp.reset();
}

void X3DGC::Initialise(const XCreationParameters& inParameters)
{
    X3DGCScopedLock lock(*this);
    itsCreationParameters = inParameters;
    itsImp->Initialise(inParameters);
    itsDeviceInfo = itsImp->GetDeviceInfo();
    itsTextureUnits.resize(itsDeviceInfo.textureUnitCount);
    itsImp->CreateShaderProfiles(itsVertexProfile, itsFragmentProfile);
}

void X3DGC::Initialise() { Initialise(XCreationParameters()); }

std::unique_ptr<X3DGC> X3DGC::Clone() const
{
    auto clone = std::make_unique<X3DGC>();
    clone->Initialise(itsCreationParameters);
    return clone;
}

bool X3DGC::IsHardwareShadersSupported() const
{
    return itsVertexProfile != CG_PROFILE_UNKNOWN && itsFragmentProfile != CG_PROFILE_UNKNOWN;
}

// Frame.

void X3DGC::AttachRenderTarget(X3DGCRenderTarget* inTarget)
{
    if (itsCurrentTarget)
        itsCurrentTarget->HandleBecomeCurrentTarget(nullptr);
    itsCurrentTarget = inTarget;
    if (itsCurrentTarget)
        itsCurrentTarget->HandleBecomeCurrentTarget(this);
}

void X3DGC::BeginRender()
{
    X_ASSERT(itsCurrentTarget != 0);
    if (itsCurrentTarget)
        itsCurrentTarget->HandleBeginRender();
}

void X3DGC::EndRender()
{
    X_ASSERT(itsCurrentTarget != 0);
    if (itsCurrentTarget)
        itsCurrentTarget->HandleEndRender();
}

void X3DGC::Present() { itsImp->Present(); }

void X3DGC::Clear(uint32_t inFlags, const XARGB32Colour& inColour, float inDepth, uint32_t inStencil)
{
    itsImp->Clear(inFlags, inColour, inDepth, inStencil);
}

// State: store, then forward only what changed.

void X3DGC::SetColourBufferWriteMask(uint32_t inMask)
{
    if (inMask == itsColourBufferWriteMask)
        return;
    itsColourBufferWriteMask = inMask;
    itsImp->SetColourBufferWriteMask(inMask);
}

void X3DGC::SetDepthTestEnabled(bool inEnabled)
{
    if (inEnabled == itsDepthTestEnabled)
        return;
    itsDepthTestEnabled = inEnabled;
    itsImp->SetDepthTestEnabled(inEnabled);
}

void X3DGC::SetDepthBufferWritesEnabled(bool inEnabled)
{
    if (inEnabled == itsDepthBufferWritesEnabled)
        return;
    itsDepthBufferWritesEnabled = inEnabled;
    itsImp->SetDepthBufferWritesEnabled(inEnabled);
}

void X3DGC::SetDepthBufferOffset(float inOffset)
{
    if (inOffset == itsDepthBufferOffset)
        return;
    itsDepthBufferOffset = inOffset;
    itsImp->SetDepthBufferOffset(inOffset);
}

void X3DGC::SetStencilBufferEnabled(bool inEnabled)
{
    if (inEnabled == itsStencilBufferEnabled)
        return;
    itsStencilBufferEnabled = inEnabled;
    itsImp->SetStencilBufferEnabled(inEnabled);
}

void X3DGC::SetStencilFunc(XStencilFunc inFunc, uint32_t inRef, uint32_t inMask)
{
    if (inFunc == itsStencilFunc && inRef == itsStencilRef && inMask == itsStencilMask)
        return;
    itsStencilFunc = inFunc;
    itsStencilRef = inRef;
    itsStencilMask = inMask;
    itsImp->SetStencilFunc(inFunc, inRef, inMask);
}

void X3DGC::SetStencilWriteOp(XStencilWriteOp inPass, XStencilWriteOp inFail)
{
    if (itsStencilWriteOpSet && inPass == itsStencilPassOp && inFail == itsStencilFailOp)
        return;
    itsStencilWriteOpSet = true;
    itsStencilPassOp = inPass;
    itsStencilFailOp = inFail;
    itsImp->SetStencilWriteOp(inPass, inFail);
}

void X3DGC::SetCullMode(XCullMode inMode)
{
    if (inMode == itsCullMode)
        return;
    itsCullMode = inMode;
    itsImp->SetCullMode(inMode);
}

void X3DGC::SetFillMode(XFillMode inMode)
{
    if (inMode == itsFillMode)
        return;
    itsFillMode = inMode;
    itsImp->SetFillMode(inMode);
}

void X3DGC::SetBlendMode(XBlendMode inMode)
{
    if (inMode == itsBlendMode)
        return;
    itsBlendMode = inMode;
    itsImp->SetBlendMode(inMode);
}

// Viewport and matrices.

void X3DGC::SetViewport(const X3DViewport& inViewport)
{
    itsViewport = inViewport;
    itsWorldViewProjection = itsWorld * itsView * itsProjection;
    itsImp->SetViewport(inViewport);
}

void X3DGC::SetWorld(const XMatrix_4x4<float>& inMatrix)
{
    itsWorld = inMatrix;
    itsWorldView = itsWorld * itsView;
    itsWorldViewProjection = itsWorldView * itsProjection;
    itsImp->SetWorld(inMatrix);
}

void X3DGC::SetView(const XMatrix_4x4<float>& inMatrix)
{
    itsView = inMatrix;
    itsWorldView = itsWorld * itsView;
    itsWorldViewProjection = itsWorldView * itsProjection;
    itsImp->SetView(inMatrix);
}

void X3DGC::SetProjection(const XMatrix_4x4<float>& inMatrix)
{
    itsProjection = inMatrix;
    itsWorldViewProjection = itsWorldView * itsProjection;
    itsImp->SetProjection(inMatrix);
}

void X3DGC::SetVertexDefinition(const XVertexDefinition& inDefinition)
{
    std::set<uint32_t> uniqueUsages;
    for (const XVertexElement& element : inDefinition.elements) {
        const bool isNew = uniqueUsages.insert(element.usage).second;
        X_ASSERT_TEXT(isNew, "Find( aKey ) == this->end()");
        if (!isNew)
            return;
    }
    const bool hasPosition = uniqueUsages.count(kUsagePosition) != 0;
    X_ASSERT_TEXT(hasPosition, "uniqueUsages.DoesContain( kUsagePosition )");
    if (!hasPosition)
        return;
    if (inDefinition == itsVertexDefinition)
        return;
    itsVertexDefinition = inDefinition;
    itsImp->SetVertexDefinition(inDefinition);
}

// Clipping planes.

void X3DGC::AddClippingPlane(const XMathVectorF4& inEquation)
{
    itsClippingPlanes.push_back(inEquation);
    itsImp->UpdateClippingPlanes();
}

void X3DGC::DeleteAllClippingPlanes()
{
    itsClippingPlanes.clear();
    itsImp->UpdateClippingPlanes();
}

XMathVectorF4 X3DGC::GetClippingPlane(uint32_t inPlaneIndex) const
{
    X_ASSERT(inPlaneIndex < itsClippingPlanes.size());
    return inPlaneIndex < itsClippingPlanes.size() ? itsClippingPlanes[inPlaneIndex] : XMathVectorF4();
}

// Geometry.

void X3DGC::SetVerticies(X3DVertexBuffer* inBuffer)
{
    if (inBuffer == itsVertexSource)
        return;
    if (itsVertexSource)
        itsVertexSource->RenderUnlock(*this);
    itsVertexSource = inBuffer;
    if (itsVertexSource)
        itsVertexSource->RenderLock(*this);
}

void X3DGC::SetIndicies(X3DIndexBuffer* inBuffer)
{
    if (inBuffer == itsIndicies)
        return;
    if (itsIndicies)
        itsIndicies->RenderUnlock(*this);
    itsIndicies = inBuffer;
    if (itsIndicies)
        itsIndicies->RenderLock(*this);
}

X3DIndexBuffer* X3DGC::GetIndexBuffer() const
{
    X_ASSERT(itsIndicies);
    return itsIndicies;
}

void X3DGC::ResetVertexSource()
{
    if (itsVertexSource) {
        itsVertexSource->RenderUnlock(*this);
        itsVertexSource->RenderLock(*this);
    }
}

void X3DGC::DrawPrimitives(XPrimitiveType inType, uint32_t inStartVertex, uint32_t inPrimitiveCount)
{
    X_ASSERT(itsVertexSource != 0);
    if (itsVertexSource)
        itsImp->DrawPrimitives(inType, inStartVertex, inPrimitiveCount);
}

void X3DGC::DrawIndexedPrimitives(XPrimitiveType inType, uint32_t inStartIndex, uint32_t inPrimitiveCount)
{
    X_ASSERT(itsVertexSource != 0);
    X_ASSERT(itsIndicies != 0);
    if (itsVertexSource && itsIndicies)
        itsImp->DrawIndexedPrimitives(inType, inStartIndex, inPrimitiveCount);
}

void X3DGC::DrawUserPrimitives(XPrimitiveType inType, const void* inVertexData, uint32_t inStartVertex, uint32_t inPrimitiveCount)
{
    ReleaseBoundBuffers();
    try {
        itsImp->DrawUserPrimitives(inType, inVertexData, inStartVertex, inPrimitiveCount);
    } catch (...) {
        RestoreBoundBuffers();
        throw;
    }
    RestoreBoundBuffers();
}

void X3DGC::DrawUserIndexedPrimitives(XPrimitiveType inType, const void* inVertexData, uint32_t inVertexCount, uint32_t inStride,
    const uint32_t* inIndices, uint32_t inPrimitiveCount)
{
    ReleaseBoundBuffers();
    try {
        itsImp->DrawUserIndexedPrimitives(inType, inVertexData, inVertexCount, inStride, inIndices, inPrimitiveCount);
    } catch (...) {
        RestoreBoundBuffers();
        throw;
    }
    RestoreBoundBuffers();
}

// The bound buffers step aside while a draw takes the caller's memory.
void X3DGC::ReleaseBoundBuffers()
{
    if (itsVertexSource)
        itsVertexSource->RenderUnlock(*this);
    if (itsIndicies)
        itsIndicies->RenderUnlock(*this);
}

void X3DGC::RestoreBoundBuffers()
{
    if (itsVertexSource)
        itsVertexSource->RenderLock(*this);
    if (itsIndicies)
        itsIndicies->RenderLock(*this);
}

// Textures.

bool X3DGC::CheckUnit(uint32_t inUnit) const
{
    const bool inside = inUnit < itsDeviceInfo.textureUnitCount && inUnit < itsTextureUnits.size();
    X_ASSERT_TEXT(inside, "inUnit < itsDeviceInfo.textureUnitCount");
    return inside;
}

_CGparameter* X3DGC::GetSamplerParameter(uint32_t inUnit) const
{
    if (itsCurrentFragmentShader == nullptr)
        return nullptr;
    const std::vector<_CGparameter*> samplers = itsCurrentFragmentShader->GetParametersByClass(CG_PARAMETERCLASS_SAMPLER);
    if (samplers.empty())
        return nullptr;
    return samplers[std::min<size_t>(inUnit, samplers.size() - 1)];
}

void X3DGC::AttachUnit(uint32_t inUnit, const XTextureUnitState& inState, bool inTakeWholeState)
{
    _CGparameter* sampler = GetSamplerParameter(inUnit);
    XTextureUnitState& unit = itsTextureUnits[inUnit];
    if (inState.texture != unit.texture) {
        if (unit.texture)
            itsImp->UnattachTexture(inUnit, unit, sampler);
        if (inTakeWholeState)
            unit = inState;
        else
            unit.texture = inState.texture;
    }
    // Also when the texture was bound already: it is bound again with the unit's sampler.
    if (unit.texture)
        itsImp->AttachTexture(inUnit, unit, sampler);
}

void X3DGC::SetTexture(uint32_t inUnit, XTexture* inTexture)
{
    if (!CheckUnit(inUnit))
        return;
    XTextureUnitState state = itsTextureUnits[inUnit];
    state.texture = inTexture;
    AttachUnit(inUnit, state, false);
}

XTexture* X3DGC::GetTexture(uint32_t inUnit) const
{
    return CheckUnit(inUnit) ? itsTextureUnits[inUnit].texture : nullptr;
}

void X3DGC::SetTextureSampler(uint32_t inUnit, const XSamplerState& inSampler)
{
    if (!CheckUnit(inUnit))
        return;
    itsTextureUnits[inUnit].sampler = inSampler;
    itsImp->SetTextureSampler(inUnit, itsTextureUnits[inUnit]);
}

X3DGC::XSamplerState X3DGC::GetTextureSampler(uint32_t inUnit) const
{
    return CheckUnit(inUnit) ? itsTextureUnits[inUnit].sampler : XSamplerState();
}

X3DGC::XTextureUnitState X3DGC::SwapTexture(uint32_t inUnit, const XTextureUnitState& inState)
{
    if (!CheckUnit(inUnit))
        return XTextureUnitState();
    const XTextureUnitState previous = itsTextureUnits[inUnit];
    AttachUnit(inUnit, inState, true);
    return previous;
}

// Shaders.

CGprofile X3DGC::GetProfileFor(const XShader& inShader) const
{
    return inShader.GetType() == XShader::kVertexShader ? itsVertexProfile : itsFragmentProfile;
}

void X3DGC::AttachShader(XShader& inShader)
{
    switch (inShader.GetType()) {
    case XShader::kVertexShader:
        itsCurrentVertexShader = &inShader;
        break;
    case XShader::kFragmentShader:
        itsCurrentFragmentShader = &inShader;
        break;
    default:
        X_REPORT("false");
        return;
    }
    itsImp->AttachShader(inShader, GetProfileFor(inShader));
}

void X3DGC::UnattachShader(XShader& inShader)
{
    if (inShader.GetType() == XShader::kVertexShader) {
        X_ASSERT(itsCurrentVertexShader == &inShader);
        if (itsCurrentVertexShader == &inShader)
            itsCurrentVertexShader = nullptr;
    } else {
        X_ASSERT(itsCurrentFragmentShader == &inShader);
        if (itsCurrentFragmentShader == &inShader)
            itsCurrentFragmentShader = nullptr;
    }
}

void X3DGC::BeginShader(XShader& inShader) { itsImp->BeginShader(inShader, GetProfileFor(inShader)); }

void X3DGC::EndShader(XShader& inShader) { itsImp->EndShader(inShader, GetProfileFor(inShader)); }

void X3DGC::BeginShaders()
{
    if (itsCurrentVertexShader)
        BeginShader(*itsCurrentVertexShader);
    if (itsCurrentFragmentShader)
        BeginShader(*itsCurrentFragmentShader);
}

void X3DGC::EndShaders()
{
    if (itsCurrentVertexShader)
        EndShader(*itsCurrentVertexShader);
    if (itsCurrentFragmentShader)
        EndShader(*itsCurrentFragmentShader);
}

// Locking.

void X3DGC::Lock()
{
    // Blocks while another thread holds the device; the holder may lock again.
    itsLockMutex.Lock();
    if (++itsLockCount > 1)
        return;
    itsLockingThread = XThread::GetCurrentThreadID();
    {
        XThreadLock hold(sLockMapMutex);
        sLockMap.insert_or_assign(itsLockingThread, this);
    }
    try {
        itsImp->Lock();
    } catch (...) {
        // Leave the device as it was before this call.
        RemoveFromLockMap();
        --itsLockCount;
        itsLockMutex.Unlock();
        XSessionLogManager::GetManager()->AddEntry("Lock Failed", 2);
        throw;
    }
}

void X3DGC::Unlock()
{
    const bool held = itsLockMutex.IsLockedByCurrentThread() && itsLockCount > 0;
    X_ASSERT_TEXT(held, "itsLockMutex.IsLockedByCurrentThread()");
    if (!held)
        return;
    if (--itsLockCount == 0) {
        try {
            itsImp->Unlock();
        } catch (...) {
            RemoveFromLockMap();
            itsLockMutex.Unlock();
            throw;
        }
        RemoveFromLockMap();
    }
    itsLockMutex.Unlock();
}

void X3DGC::RemoveFromLockMap()
{
    XThreadLock hold(sLockMapMutex);
    auto lockIter = sLockMap.find(itsLockingThread);
    X_ASSERT(lockIter != sLockMap.end());
    if (lockIter != sLockMap.end() && lockIter->second == this)
        sLockMap.erase(lockIter);
    itsLockingThread = 0;
}

X3DGC* X3DGC::GetCurrentThreadContext()
{
    XThreadLock hold(sLockMapMutex);
    return sLockMap.Lookup(XThread::GetCurrentThreadID(), nullptr);
}
