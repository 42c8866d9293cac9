#include "X3DIsosurfaceMesh.h"

#include "X3DCamera.h"
#include "X3DGC.h"
#include "X3DGCScopedLock.h"
#include "X3DGeometryStateSaver.h"
#include "X3DIndexBuffer.h"
#include "X3DNodePrograms.h"
#include "X3DShaderScope.h"
#include "X3DVertexBuffer.h"
#include "X3DVolumeNode.h"
#include "XAppMessageCentre.h"
#include "XAssert.h"
#include "XException.h"
#include "XSpeaker.h"
#include "XThread.h"
#include "XThreadLock.h"
#include "XVertexTypes.h"

#include <algorithm>
#include <cg.h>

namespace {
using M = XMatrix_4x4<float>;
using XVertex = XVertexTypes::XVertexPositionColourNormal;

XMathVectorF3 Corner(const XMathVectorF3& inMin, const XMathVectorF3& inMax, uint32_t inK)
{
    return XMathVectorF3(inK & 1 ? inMax[0] : inMin[0], inK & 2 ? inMax[1] : inMin[1], inK & 4 ? inMax[2] : inMin[2]);
}

// Whether the instance can be uploaded as it stands: a normal per position and every
// quad corner naming one of its vertices.
bool IsUploadable(const X3DIsosurfaceMesh::XIsoMeshInstance& inInstance)
{
    X_ASSERT_TEXT(inInstance.itsPositions.size() == inInstance.itsNormals.size(),
        "instanceIter->itsPositions.size() == instanceIter->itsNormals.size()");
    if (inInstance.itsPositions.size() != inInstance.itsNormals.size())
        return false;
    const size_t count = inInstance.itsPositions.size();
    for (const XMathVectorU4& quad : inInstance.itsQuads)
        for (size_t k = 0; k < 4; ++k)
            if (quad[k] >= count) {
                X_ASSERT_TEXT(false, "quadIter < instanceIter->itsPositions.size()");
                return false;
            }
    return true;
}

// A device buffer filled while it is mapped for writing.
template <typename TBuffer>
TBuffer* MakeBuffer(X3DGC& inGC, const void* inData, uint64_t inSizeBytes)
{
    auto* buffer = new TBuffer(inGC, inSizeBytes, X3DGCBuffer::kBufferStaticDraw);
    try {
        buffer->LockFor(kLockWrite);
        try {
            buffer->CopyInDataWithOffset(inData, inSizeBytes, 0);
        } catch (...) {
            buffer->UnlockFor(kLockWrite);
            throw;
        }
        buffer->UnlockFor(kLockWrite);
    } catch (...) {
        buffer->Destroy(inGC);
        throw;
    }
    return buffer;
}

void SetUniform(XShader* inShader, const char* inName, const M& inValue)
{
    if (inShader && inShader->HasParameter(inName))
        inShader->SetMatrixParameter(inName, inValue);
}
void SetUniform(XShader* inShader, const char* inName, const XMathVectorF3& inValue)
{
    if (inShader && inShader->HasParameter(inName))
        cgSetParameter3f(inShader->GetParameter(inName), inValue[0], inValue[1], inValue[2]);
}
void SetUniform(XShader* inShader, const char* inName, const XMathVectorF4& inValue)
{
    if (inShader && inShader->HasParameter(inName))
        cgSetParameter4f(inShader->GetParameter(inName), inValue[0], inValue[1], inValue[2], inValue[3]);
}
} // namespace

void X3DIsosurfaceMesh::XIsoMeshInstance::ComputeBounds()
{
    if (itsPositions.empty())
        return;
    XMathVectorF3 low = itsPositions.front(), high = low;
    for (const XMathVectorF3& p : itsPositions) {
        low = XMathVectorF3::Min(low, p);
        high = XMathVectorF3::Max(high, p);
    }
    itsOrigin = low;
    itsSize = high - low;
}

X3DIsosurfaceMesh::X3DIsosurfaceMesh() = default;

X3DIsosurfaceMesh::X3DIsosurfaceMesh(double inIsoValue) : itsIsoValue(inIsoValue)
{
    itsJobQueue.Start();
}

X3DIsosurfaceMesh::~X3DIsosurfaceMesh()
{
    StopListening();
    // Jobs deliver into this mesh: none may run past here.
    itsJobQueue.DeleteAllJobs();
    itsJobQueue.Stop();
    if (X3DVolumeNode* owner = GetOwner())
        owner->RemoveIsoData(this);
    X_ASSERT(itsVertexBuffer == nullptr && itsIndexBuffer == nullptr);
}

void X3DIsosurfaceMesh::HandleMessage(const XMessage& inMessage)
{
    if (dynamic_cast<const XPostRefreshMessage*>(&inMessage) == nullptr)
        return;
    X3DVolumeNode* owner = GetOwner();
    // A final-quality owner waits for its surfaces while it draws; it needs no nudge.
    if (owner == nullptr || owner->GetQuality() == X3DVolumeNode::kQualityFinal)
        return;
    owner->RefreshScene(false);
}

bool X3DIsosurfaceMesh::ShouldRenderForFrameState(const XSceneRenderState&) const
{
    return GetVisible();
}

bool X3DIsosurfaceMesh::WaitForQueueInSlices(XJobQueue& inQueue)
{
    XThread* thread = XThread::GetCurrentThread();
    while (!inQueue.WaitForQueueEmpty(kWaitSliceMs)) {
        // A queue that is not working would never empty; a stopped waiter leaves.
        if (!inQueue.IsRunning() || inQueue.IsSuspended() || (thread != nullptr && thread->IsStopRequested()))
            return false;
    }
    return true;
}

bool X3DIsosurfaceMesh::WaitForSurface()
{
    return WaitForQueueInSlices(itsJobQueue);
}

bool X3DIsosurfaceMesh::GetVisible() const
{
    XThreadLock lock(itsMutex);
    return itsVisible;
}
void X3DIsosurfaceMesh::SetVisible(bool inVisible)
{
    XThreadLock lock(itsMutex);
    itsVisible = inVisible;
}
bool X3DIsosurfaceMesh::GetBoxesVisible() const
{
    XThreadLock lock(itsMutex);
    return itsBoxesVisible;
}
void X3DIsosurfaceMesh::SetBoxesVisible(bool inVisible)
{
    XThreadLock lock(itsMutex);
    itsBoxesVisible = inVisible;
}
float X3DIsosurfaceMesh::GetBrightness() const
{
    XThreadLock lock(itsMutex);
    return itsBrightness;
}
void X3DIsosurfaceMesh::SetBrightness(float inBrightness)
{
    XThreadLock lock(itsMutex);
    itsBrightness = inBrightness;
}
bool X3DIsosurfaceMesh::ShouldRefreshBuffers() const
{
    XThreadLock lock(itsMutex);
    return itsRefreshBuffers;
}
void X3DIsosurfaceMesh::SetRefreshBuffers(bool inRefresh)
{
    XThreadLock lock(itsMutex);
    itsRefreshBuffers = inRefresh;
}

void X3DIsosurfaceMesh::SetInstance(uint64_t inIndex, const XIsoMeshInstance& inInstance)
{
    {
        XThreadLock lock(itsMutex);
        if (inIndex >= itsInstances.size())
            itsInstances.resize(size_t(inIndex) + 1);
        itsInstances[size_t(inIndex)] = inInstance;
        itsRefreshBuffers = true;
    }
    XSpeaker::PostXMessage(new XPostRefreshMessage, this);
}

X3DIsosurfaceMesh::XIsoMeshInstance X3DIsosurfaceMesh::GetInstance(uint64_t inIndex) const
{
    XThreadLock lock(itsMutex);
    return inIndex < itsInstances.size() ? itsInstances[size_t(inIndex)] : XIsoMeshInstance();
}

size_t X3DIsosurfaceMesh::GetInstanceCount() const
{
    XThreadLock lock(itsMutex);
    return itsInstances.size();
}

bool X3DIsosurfaceMesh::IsSurfaceDataReady() const
{
    return GetInstanceCount() > 0;
}

uint32_t X3DIsosurfaceMesh::GetUploadedQuadCount() const
{
    XThreadLock lock(itsMutex);
    return itsQuadCount;
}

void X3DIsosurfaceMesh::UpdateGeometry()
{
    if (!itsJobQueue.IsRunning())
        itsJobQueue.Start();
    UpdateGeometrySelf();
}

void X3DIsosurfaceMesh::UpdateGeometrySelf() {}

void X3DIsosurfaceMesh::DestroyBuffers(X3DGC& inGC)
{
    if (itsVertexBuffer)
        itsVertexBuffer->Destroy(inGC);
    if (itsIndexBuffer)
        itsIndexBuffer->Destroy(inGC);
    itsVertexBuffer = nullptr;
    itsIndexBuffer = nullptr;
    itsQuadCount = 0;
    itsBuffersLoaded = false;
}

void X3DIsosurfaceMesh::CreateShaders(X3DGC& inGC)
{
    if (itsVertexShader || itsShaderFailed)
        return;
    const char* source = GetNodeProgramSource(XNodeProgram::kPointLightLit);
    try {
        itsVertexShader = std::make_unique<XShader>(inGC, XString(source),
            XString(GetNodeProgramEntry(XNodeProgram::kPointLightLit, XShader::kVertexShader)), XShader::kVertexShader);
        itsFragmentShader = std::make_unique<XShader>(inGC, XString(source),
            XString(GetNodeProgramEntry(XNodeProgram::kPointLightLit, XShader::kFragmentShader)), XShader::kFragmentShader);
    } catch (const XException&) {
        // Without programs the surfaces are not drawn (the boxes still are); not retried each frame.
        itsVertexShader.reset();
        itsFragmentShader.reset();
        itsShaderFailed = true;
    }
}

void X3DIsosurfaceMesh::LoadGraphicsResources(X3DGC& inGC)
{
    XThreadLock lock(itsMutex);
    X3DGCScopedLock device(inGC);
    DestroyBuffers(inGC);
    itsRefreshBuffers = false;
    itsBuffersLoaded = true;
    CreateShaders(inGC);

    uint64_t vertexCount = 0, quadCount = 0;
    XVector<const XIsoMeshInstance*> uploads;
    for (const XIsoMeshInstance& instance : itsInstances)
        if (instance.itsEnabled && IsUploadable(instance)) {
            uploads.push_back(&instance);
            vertexCount += instance.itsPositions.size();
            quadCount += instance.itsQuads.size();
        }
    // 32-bit indices, and a draw call counts quads in 32 bits.
    if (vertexCount == 0 || quadCount == 0 || vertexCount > 0xFFFFFFFFu || quadCount * 4 > 0xFFFFFFFFu)
        return;

    XVector<XVertex> vertices;
    vertices.reserve(size_t(vertexCount));
    XVector<uint32_t> indices;
    indices.reserve(size_t(quadCount) * 4);
    for (const XIsoMeshInstance* instance : uploads) {
        const uint32_t base = uint32_t(vertices.size());
        for (const XMathVectorU4& quad : instance->itsQuads)
            for (size_t k = 0; k < 4; ++k)
                indices.push_back(base + quad[k]);
        const XVertexTypes::XVertexColour colour(instance->itsColour);
        for (size_t i = 0; i < instance->itsPositions.size(); ++i)
            vertices.push_back({instance->itsPositions[i], colour, instance->itsNormals[i]});
    }
    try {
        itsVertexBuffer = MakeBuffer<X3DVertexBuffer>(inGC, vertices.data(), vertices.size() * sizeof(XVertex));
        itsIndexBuffer = MakeBuffer<X3DIndexBuffer32>(inGC, indices.data(), indices.size() * sizeof(uint32_t));
    } catch (...) {
        DestroyBuffers(inGC);
        itsBuffersLoaded = true; // not retried until the instances change
        throw;
    }
    itsQuadCount = uint32_t(quadCount);
}

void X3DIsosurfaceMesh::UnloadGraphicsResources(X3DGC& inGC, bool inReleaseShader)
{
    XThreadLock lock(itsMutex);
    X3DGCScopedLock device(inGC);
    DestroyBuffers(inGC);
    itsRefreshBuffers = true;
    if (inReleaseShader) {
        itsVertexShader.reset();
        itsFragmentShader.reset();
        itsShaderFailed = false;
    }
}

void X3DIsosurfaceMesh::RenderInVolume(X3DGC& inGC, const XSceneRenderState& inState)
{
    Render(inGC, inState.GetCamera(), inState.GetLightPosition());
}

void X3DIsosurfaceMesh::Render(X3DGC& inGC, const X3DCamera& inCamera, const XMathVectorF3& inLightPos)
{
    // Outside the mutex: jobs deliver under it.
    if (const X3DVolumeNode* owner = GetOwner(); owner && owner->GetQuality() == X3DVolumeNode::kQualityFinal)
        WaitForSurface();
    RenderSurface(inGC, inCamera, inLightPos);
    RenderBoxOutlines(inGC);
}

void X3DIsosurfaceMesh::RenderSurface(X3DGC& inGC, const X3DCamera& inCamera, const XMathVectorF3& inLightPos)
{
    XThreadLock lock(itsMutex);
    if (itsRefreshBuffers || !itsBuffersLoaded)
        LoadGraphicsResources(inGC);
    if (itsQuadCount == 0 || itsShaderFailed)
        return;
    X_ASSERT(itsVertexShader);
    if (!itsVertexShader)
        return;

    const X3DGC::XCullMode previousCull = inGC.GetCullMode();
    X3DGeometryStateSaver saver(inGC, X3DGeometryStateSaver::kAll);
    try {
        inGC.SetCullMode(X3DGC::kCullNone);
        X3DShaderScope shaders(inGC, itsVertexShader.get(), itsFragmentShader.get());
        const M& world = inGC.GetWorld();
        for (XShader* shader : {itsVertexShader.get(), itsFragmentShader.get()}) {
            SetUniform(shader, "ModelViewProj", inGC.GetWorldViewProjection());
            SetUniform(shader, "NormalMatrix", world.GetInverse().GetTranspose());
            SetUniform(shader, "World", world);
            SetUniform(shader, "inDirectionalLightVector", inLightPos.GetNormalised());
            SetUniform(shader, "inCameraPos", inCamera.GetPosition());
            SetUniform(shader, "inLightPos", inLightPos);
            SetUniform(shader, "inModulateColour", XMathVectorF4(itsBrightness, itsBrightness, itsBrightness, 1.0f));
        }
        inGC.SetVertexDefinition(XVertex::GetDefinition());
        inGC.SetVerticies(itsVertexBuffer);
        inGC.SetIndicies(itsIndexBuffer);
        inGC.DrawIndexedPrimitives(X3DGC::kQuadList, 0, itsQuadCount);
        shaders.End();
    } catch (...) {
        inGC.SetCullMode(previousCull);
        throw;
    }
    saver.Restore();
    inGC.SetCullMode(previousCull);
}

void X3DIsosurfaceMesh::RenderBoxOutlines(X3DGC& inGC)
{
    XThreadLock lock(itsMutex);
    for (const XIsoMeshInstance& instance : itsInstances)
        if (instance.itsEnabled && (itsBoxesVisible || instance.IsPlaceholder()))
            RenderWireframeBox(inGC, instance);
}

void X3DIsosurfaceMesh::RenderWireframeBox(X3DGC& inGC, const XIsoMeshInstance& inInstance)
{
    static const uint32_t kLines[24] = {0, 1, 1, 3, 3, 2, 2, 0, 4, 5, 5, 7, 7, 6, 6, 4, 0, 4, 1, 5, 2, 6, 3, 7};
    using XLineVertex = XVertexTypes::XVertexPositionColour;
    XLineVertex corners[8];
    const XMathVectorF3 high = inInstance.itsOrigin + inInstance.itsSize;
    for (uint32_t k = 0; k < 8; ++k)
        corners[k] = {Corner(inInstance.itsOrigin, high, k), XVertexTypes::XVertexColour(inInstance.itsColour)};
    X3DGeometryStateSaver saver(inGC, X3DGeometryStateSaver::kDefinition);
    inGC.SetVertexDefinition(XLineVertex::GetDefinition());
    inGC.DrawUserIndexedPrimitives(X3DGC::kLineList, corners, 8, uint32_t(sizeof(XLineVertex)), kLines, 12);
    saver.Restore();
}

void X3DIsosurfaceMesh::MakeSimpleSurface(XVector<XMathVectorF3>& outPositions, XVector<XMathVectorF3>& outNormals,
                                          XVector<XMathVectorU4>& outQuads, const X3DRect& inBox)
{
    static const uint32_t kFaces[6][4] = {{0, 2, 3, 1}, {4, 6, 7, 5}, {0, 4, 6, 2}, {1, 3, 7, 5}, {0, 1, 5, 4}, {2, 6, 7, 3}};
    static const XMathVectorF3 kNormals[6] = {XMathVectorF3(0, 0, -1), XMathVectorF3(0, 0, 1), XMathVectorF3(-1, 0, 0),
                                              XMathVectorF3(1, 0, 0), XMathVectorF3(0, -1, 0), XMathVectorF3(0, 1, 0)};
    const XMathVectorF3 low(float(inBox.GetLeft()), float(inBox.GetTop()), float(inBox.GetFront()));
    const XMathVectorF3 high(float(inBox.GetRight()), float(inBox.GetBottom()), float(inBox.GetBack()));
    const uint32_t first = uint32_t(outPositions.size());
    for (uint32_t face = 0; face < 6; ++face) {
        for (uint32_t k : kFaces[face]) {
            outPositions.push_back(Corner(low, high, k));
            outNormals.push_back(kNormals[face]);
        }
        const uint32_t q = first + 4 * face;
        outQuads.push_back(XMathVectorU4(q, q + 1, q + 2, q + 3));
    }
}
