#pragma once
// Surfaces drawn inside a volume node: a list of instances (one surface each, in the
// node's voxel coordinates) that share one vertex and one index buffer and are drawn
// with one call, lit by a point light. Instances arrive from job threads (SetInstance);
// the buffers are rebuilt at the next frame after a change. An instance without
// positions is a placeholder, drawn as the wire box of its bounds.
#include "X3DIsosurfaceMeshBase.h"
#include "X3DRect.h"
#include "XARGB32Colour.h"
#include "XJobQueue.h"
#include "XListener.h"
#include "XMathVector.h"
#include "XMessage.h"
#include "XMutex.h"
#include "XVector.h"

#include <cstdint>
#include <memory>

class X3DCamera;
class X3DIndexBuffer;
class X3DVertexBuffer;
class XShader;

class X3DIsosurfaceMesh : public X3DIsosurfaceMeshBase, public XListener {
public:
    struct XIsoMeshInstance {
        bool itsEnabled = false;
        XMathVectorF3 itsOrigin;
        XMathVectorF3 itsSize;
        XARGB32Colour itsColour = XARGB32Colour::kWhite;
        XVector<XMathVectorF3> itsPositions;
        XVector<XMathVectorF3> itsNormals; // one per position
        XVector<XMathVectorU4> itsQuads;   // local to the instance

        bool IsPlaceholder() const { return itsPositions.empty(); }
        // Bounds of the positions (left as they are when there are none).
        void ComputeBounds();
    };

    // Asks the main thread to have the owner redraw.
    class XPostRefreshMessage : public XMessage {
    public:
        XMessage* Clone() const override { return new XPostRefreshMessage(*this); }
        bool ShouldCoalesceQueueMessage() const override { return true; }
    };

    // Iso value 0; the job queue starts with the first UpdateGeometry.
    X3DIsosurfaceMesh();
    // Starts the job queue at once.
    explicit X3DIsosurfaceMesh(double inIsoValue);
    // Cancels and waits for its jobs, leaves its owner. Device resources must have been
    // unloaded (the owner does so when it unloads).
    ~X3DIsosurfaceMesh() override;

    void HandleMessage(const XMessage& inMessage) override;
    bool ShouldRenderForFrameState(const XSceneRenderState& inState) const override;
    // Waits, in slices, until the surfaces being made have arrived; gives up when the
    // calling thread is asked to stop or the queue is stopped or suspended. False when
    // it gave up.
    virtual bool WaitForSurface();

    double GetIsoValue() const { return itsIsoValue; }
    bool GetVisible() const;
    void SetVisible(bool inVisible);
    bool GetBoxesVisible() const;
    void SetBoxesVisible(bool inVisible);
    float GetBrightness() const;
    void SetBrightness(float inBrightness);
    bool ShouldRefreshBuffers() const;
    void SetRefreshBuffers(bool inRefresh);

    // Any thread: copies the instance into slot inIndex (growing the list) and asks the
    // owner to redraw.
    void SetInstance(uint64_t inIndex, const XIsoMeshInstance& inInstance);
    XIsoMeshInstance GetInstance(uint64_t inIndex) const;
    size_t GetInstanceCount() const;
    bool IsSurfaceDataReady() const;
    // Quads in the buffers as last uploaded.
    uint32_t GetUploadedQuadCount() const;

    void UpdateGeometry();
    XJobQueue& GetJobQueue() { return itsJobQueue; }

    // Device locked by the caller. Instances whose normals do not match their positions
    // or whose quads name missing vertices are left out (reported).
    void LoadGraphicsResources(X3DGC& inGC);
    void UnloadGraphicsResources(X3DGC& inGC, bool inReleaseShader);
    void UnloadGraphicsResources(X3DGC& inGC) override { UnloadGraphicsResources(inGC, true); }
    void RenderInVolume(X3DGC& inGC, const XSceneRenderState& inState) override;
    void Render(X3DGC& inGC, const X3DCamera& inCamera, const XMathVectorF3& inLightPos);
    bool IsOpaque() const { return true; }

    // A closed box of 24 vertices and 6 quads, normals outwards.
    static void MakeSimpleSurface(XVector<XMathVectorF3>& outPositions, XVector<XMathVectorF3>& outNormals,
                                  XVector<XMathVectorU4>& outQuads, const X3DRect& inBox);

protected:
    virtual void UpdateGeometrySelf();
    // Slices of WaitForSurface.
    static constexpr uint32_t kWaitSliceMs = 50;
    // Waits on inQueue as WaitForSurface does.
    static bool WaitForQueueInSlices(XJobQueue& inQueue);

private:
    void RenderSurface(X3DGC& inGC, const X3DCamera& inCamera, const XMathVectorF3& inLightPos);
    void RenderBoxOutlines(X3DGC& inGC);
    void RenderWireframeBox(X3DGC& inGC, const XIsoMeshInstance& inInstance);
    void DestroyBuffers(X3DGC& inGC);
    void CreateShaders(X3DGC& inGC);

    mutable XMutex itsMutex{4000};
    XVector<XIsoMeshInstance> itsInstances;
    double itsIsoValue = 0.0;
    bool itsVisible = true;
    bool itsBoxesVisible = false;
    float itsBrightness = 1.0f;
    bool itsRefreshBuffers = true;
    X3DVertexBuffer* itsVertexBuffer = nullptr;
    X3DIndexBuffer* itsIndexBuffer = nullptr;
    uint32_t itsQuadCount = 0;
    bool itsBuffersLoaded = false;
    std::unique_ptr<XShader> itsVertexShader;
    std::unique_ptr<XShader> itsFragmentShader;
    bool itsShaderFailed = false;
    XJobQueue itsJobQueue;
};
