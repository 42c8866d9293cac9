#pragma once
// Draws a renderable's subtree from its own camera: the model-view matrix is
// replaced by the camera's view (in the scene's left-handed frame) and restored after.
#include "XCamera.h"
#include "XGLAttachment.h"

class XGLCameraAttachment : public XGLAttachment {
public:
    XGLCameraAttachment() = default;
    explicit XGLCameraAttachment(const XCamera& inCamera) : itsCamera(inCamera) {}
    ~XGLCameraAttachment() override = default;
    void PreRender() override;
    void PostRender() override;

    void SetCamera(const XCamera& inCamera) { itsCamera = inCamera; }
    XCamera& GetCamera() { return itsCamera; }
    const XCamera& GetCamera() const { return itsCamera; }

private:
    XCamera itsCamera;
};
