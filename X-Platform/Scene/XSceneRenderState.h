#pragma once
// What every node of a frame sees while the tree is updated and drawn: the frame's
// camera, the light position, the render pass under way, the timepoint shown and
// whether the frame is a final render (an export, where interaction aids hide).
// The renderer makes one per frame; it is a value.
#include "X3DCamera.h"
#include "XFrustum.h"
#include "XMathVector.h"

#include <cstdint>

class XSceneRenderState {
public:
    XSceneRenderState() = default;
    explicit XSceneRenderState(const X3DCamera& inCamera) : itsCamera(inCamera) {}

    const X3DCamera& GetCamera() const { return itsCamera; }
    void SetCamera(const X3DCamera& inCamera) { itsCamera = inCamera; }
    // The camera's view volume in world space.
    XFrustum GetViewFrustum() const { return itsCamera.GetViewFrustum(); }

    const XMathVectorF3& GetLightPosition() const { return itsLightPosition; }
    void SetLightPosition(const XMathVectorF3& inPosition) { itsLightPosition = inPosition; }

    // Counted from 0; a node draws itself in the passes below its GetMaxRenderPassCount.
    uint32_t GetRenderPass() const { return itsRenderPass; }
    void SetRenderPass(uint32_t inPass) { itsRenderPass = inPass; }

    uint32_t GetTimepoint() const { return itsTimepoint; }
    void SetTimepoint(uint32_t inTimepoint) { itsTimepoint = inTimepoint; }

    bool IsFinalRender() const { return itsFinalRender; }
    void SetFinalRender(bool inFinal) { itsFinalRender = inFinal; }

private:
    X3DCamera itsCamera;
    XMathVectorF3 itsLightPosition;
    uint32_t itsRenderPass = 0;
    uint32_t itsTimepoint = 1;
    bool itsFinalRender = false;
};
