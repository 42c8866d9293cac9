#pragma once
// The fixed-function volume renderer base: a GL window inside the view's enclosure,
// the volume scene under it, the camera and the current tool's hook. Everything about
// the view is done here; the data and its shading are left to derived renderers,
// which hang their voxel renderables under the scene's volume transform.
#include "XGLVolumeScene.h"
#include "XVolumeRendererBase.h"

#include <memory>

class WRendererEnclosureWnd;
class XGLCameraAttachment;
class XGLContext;
class XGLToolHook;
class XVolumeRenderingViewProtocol;

class XGLVolumeRenderer : public XVolumeRendererBase {
public:
    // Throws XException when no GL window can be made in the view.
    explicit XGLVolumeRenderer(XVolumeRenderingViewProtocol& inView);
    ~XGLVolumeRenderer() override;
    XGLVolumeRenderer(const XGLVolumeRenderer&) = delete;
    XGLVolumeRenderer& operator=(const XGLVolumeRenderer&) = delete;

    bool IsStereoModeSupported(XStereoMode inMode) const override;
    XStereoMode GetStereoMode() override;
    void SetStereoMode(XStereoMode inMode) override;
    bool IsOrientatorVisible() const override;
    void ShowOrientator(bool inShow) override;
    bool IsScaleVisible() const override;
    void ShowScale(bool inShow) override;
    XARGB32Colour GetScaleColour() override;
    void SetScaleColour(XARGB32Colour inColour) override;
    bool IsScaleCalibrationVisible() const override;
    void ShowScaleCalibration(bool inShow) override;
    bool IsFloorVisible() const override;
    void ShowFloor(bool inShow) override;
    void SetFloorPosition(float inPosition) override;
    float GetFloorPosition() const override;
    void SetFloorPattern(XFloorPattern inPattern) override;
    XFloorPattern GetFloorPattern() override;
    void SetFloorColour(const XARGB32Colour& inColour) override;
    XARGB32Colour GetFloorColour() override;
    bool IsBallVisible() const override;
    void ShowBall(bool inShow) override;
    X3DMatrix ScreenToBallPoint(const XPoint& inPoint) override;
    XARGB32Colour GetBackgroundColour() override;
    void SetBackgroundColour(XARGB32Colour inColour) override;
    bool IsTimestampVisible() const override;
    void ShowTimestamp(bool inShow) override;
    void SetTimestampTime(const XTime& inTime) override;
    XARGB32Colour GetTimestampColour() override;
    void SetTimestampColour(const XARGB32Colour& inColour) override;
    void GetVolumeWorldMatrix(X3DMatrix& outMatrix) const override;
    void SetVolumeWorldMatrix(const X3DMatrix& inMatrix) override;
    void GetScreenToVolumeMatrix(X3DMatrix& outMatrix) const override;
    void GetCamera(XCamera& outCamera) const override;
    void SetCamera(const XCamera& inCamera) override;
    void ResetView() override;
    void SetWorldScale(float inScale) override;
    float GetWorldScale() const override;
    void SetSceneScale(float inScale) override;
    float GetSceneScale() const override;
    // Identifiers 0 (world) to 5 (volume); others are reported and change nothing.
    void GetTransformMatrix(XMatrixTransformID inID, X3DMatrix& outMatrix) const override;
    void SetTransformMatrix(XMatrixTransformID inID, const X3DMatrix& inMatrix) override;
    // Renders at the image's size, whatever the window's.
    void Render(XARGB32Volume& outImage) override;
    void Render(bool inImmediately) override;
    // The caller owns the picture.
    XVolume* RenderView() override;
    bool IsToolSupported(XVolumeRendererTool inTool) const override;

    XGLVolumeScene& GetVolumeScene() { return itsScene; }
    const XGLVolumeScene& GetVolumeScene() const { return itsScene; }
    // The window the renderer draws in, made by the registered XGLWindowFactory.
    XGLContext& GetWindow() { return *itsContext; }
    XGLToolHook* GetToolHook() const { return itsToolHook; }

protected:
    void SetToolSelf(XVolumeRendererTool inTool) override;
    void InitialiseUserInterface(WRendererEnclosureWnd& inEnclosure);

private:
    static XCamera MakeDefaultCamera();
    XGLRenderable* GetQueueEntry(XMatrixTransformID inID) const;

    XGLCameraAttachment* itsCameraAttachment = nullptr;
    XGLVolumeScene itsScene;
    XGLContext* itsContext = nullptr;
    XGLToolHook* itsToolHook = nullptr;
};
