#pragma once
// The root of every legacy drawing graph and the owner of one native OpenGL context.
// The platform window derives from it and supplies making the native context
// current, presenting, point mapping and its screen rectangle; everything else -
// locking, the standard frame, projection, stereo, read-back, context groups,
// listeners and the process-wide capabilities - is here.
#include "XARGB32Colour.h"
#include "XCamera.h"
#include "XGLRenderable.h"
#include "XMap.h"
#include "XMutex.h"
#include "XPoint.h"
#include "XPtrVector.h"
#include "XRect.h"
#include "XSet.h"
#include "XString.h"
#include "XTime.h"
#include "XTimer.h"

#include <cstdint>
#include <utility>

class XGLContextListener;
class XGLContextGroupListener;
class XVolume;

class XGLContext : public XGLRenderable {
public:
    enum XStereoMode : uint32_t {
        kStereoNone = 0,
        kStereoRedCyan = 1,
        kStereoHInterlaced = 2,
        kStereoVInterlaced = 3,
        kStereoHardware = 4,
    };
    // 0 orthographic; any other value perspective.
    enum XProjectionMode : uint32_t { kOrthographic = 0, kPerspective = 1 };
    // 1 while rendering to a volume (best quality); 0 interactive.
    using XQualityMode = uint32_t;
    enum XGLVertexBufferType : uint32_t { kNoVertexBuffers = 0, kARBVertexBuffers = 1 };

    // What the platform knows of its pixel format, for the OpenGL report.
    struct XPixelFormatInfo {
        bool stereo = false;
        bool generic = false;            // drawn in software
        bool genericAccelerated = false; // software front end on accelerated hardware
        bool pbuffers = false;
    };

    XGLContext();
    ~XGLContext() override;

    // Pure: the window invalidates itself and, when inRedrawNow, redraws at once.
    void RefreshScene(bool inRedrawNow) override = 0;
    // Window coordinates (y down) to GL coordinates (y up) and back.
    virtual XPoint LocalToGLPoint(const XPoint& inPoint) = 0;
    virtual XPoint GLToLocalPoint(const XPoint& inPoint) = 0;
    virtual void SetProjectionMode(XProjectionMode inMode);
    virtual void SetClearColor(const XARGB32Colour& inColour);
    // Draws one whole frame: clear, default state, projection, camera, lights, graph.
    virtual void RenderContext();
    // Renders at the rectangle's size and reads the picture back; the caller owns it.
    virtual XVolume* RenderToVolume(const XRect& inRect) = 0;
    // Renders into the current drawing area and reads it back as a w × h × 1 ARGB
    // volume whose first row is the top of the picture; the caller owns it.
    virtual XVolume* RenderToVolume();
    virtual void SetStereoMode(XStereoMode inMode);
    virtual void SetQualityMode(XQualityMode inMode);
    // The GL viewport (x, y, w, h) as a rectangle.
    virtual XRect GetViewportBounds();

    bool IsCurrent() const { return sCurrentContext == this; }
    XStereoMode GetStereoMode() const { return itsStereoMode; }
    uint32_t GetContextID() const { return itsContextID; }
    int32_t GetLockCount() const { return itsLockCount; }
    XProjectionMode GetProjectionMode() const { return itsProjectionMode; }
    const XARGB32Colour& GetClearColor() const { return itsClearColour; }
    XQualityMode GetQualityMode() const { return itsQualityMode; }
    uint32_t GetContextGroupID() const { return itsContextGroupID; }
    float GetNearDistance() const { return itsNearDistance; }
    float GetFarDistance() const { return itsFarDistance; }
    void SetNearDistance(float inDistance) { itsNearDistance = inDistance; }
    void SetFarDistance(float inDistance) { itsFarDistance = inDistance; }
    float GetNarrowViewAngle() const { return itsNarrowViewAngle; }
    void SetNarrowViewAngle(float inRadians) { itsNarrowViewAngle = inRadians; }
    float GetPixelUnityDepth() const { return itsPixelUnityDepth; }
    // Milliseconds between the last two final unlocks.
    int64_t GetFrameTime() const { return itsFrameTime; }
    const XCamera& GetCamera() const { return itsCamera; }
    void SetCamera(const XCamera& inCamera);
    uint64_t GetUserValue() const { return itsUserValue; }
    // While one eye of a stereo frame is drawn: how far that eye's camera is strafed
    // (perspective) and how the scene is turned for it (orthographic). Cameras of the
    // scene itself (XGLCameraAttachment) take them, or both eyes would see the same.
    float GetEyeStrafe() const { return itsEyeStrafe; }
    const XGLMatrix& GetEyeTurn() const { return itsEyeTurn; }
    void SetUserValue(uint64_t inValue) { itsUserValue = inValue; }

    static const XGLContext* GetCurrentContext() { return sCurrentContext; }
    static uint32_t GetCurrentContextID();
    static uint32_t GetCurrentContextGroupID();
    static XPtrVector<XGLContext> GetContextsInGroup(unsigned long inID);
    // The leading number of GL_VERSION (read once, with a context current).
    static double GetGLVersion();

    static bool IsGLAvail() { return sIsGLAvail; }
    static bool IsGLStereoSupported() { return sIsGLStereoSupported; }
    static bool Is3DTexturingSupported() { return sIs3DTexturingSupported; }
    static bool IsFragmentProgramSupported() { return sIsFragmentProgramSupported; }
    static bool IsMultitexturingSupported() { return sIsMultiTexturingSupported; }
    static bool IsFrameBufferObjectSupported() { return sIsFramebufferObjectSupported; }
    static XGLVertexBufferType GetVertexBufferObjectType() { return sVertexBufferType; }
    static uint32_t GetTextureUnitCount() { return sTextureUnitCount; }
    static const XString& GetVendorStr() { return sVendorStr; }
    static const XString& GetRendererStr() { return sRendererStr; }
    static const XString& GetVersionStr() { return sVersionStr; }
    // Whether a GL_RENDERER string names a software rasteriser.
    static bool IsSoftwareRendererName(const XString& inRenderer);
    // Workaround flag, off by default: offscreen targets draw one sample per pixel on a
    // software rasteriser. There four samples cost about four times the fill and clear plus
    // a resolve each frame (a 1920 x 1080 frame takes several times longer); without
    // samples, edges of polygons and lines are stepped instead of smoothed. Targets made
    // after a change follow it.
    static bool IsSingleSampleOnSoftwareRasteriser() { return sSingleSampleOnSoftwareRasteriser; }
    static void SetSingleSampleOnSoftwareRasteriser(bool inOn) { sSingleSampleOnSoftwareRasteriser = inOn; }
    static bool IsUserEnabledHardwareShaders() { return sUserEnabledHardwareShaders; }
    static void SetUserEnabledHardwareShaders(bool inEnabled) { sUserEnabledHardwareShaders = inEnabled; }
    static XTime GetAccumulatedRenderToImageTime() { return sAccumulatedRenderToImageTime; }
    static void ResetAccumulatedRenderToImageTime() { sAccumulatedRenderToImageTime = XTime(); }
    // The platform window adds the time each render-to-image took.
    static void AccumulateRenderToImageTime(XTime inTime) { sAccumulatedRenderToImageTime = sAccumulatedRenderToImageTime + inTime; }

    // Loads OpenGL, reads the driver's capabilities into the flags above (with the
    // hidden context inMakeProbeContext creates) and writes the OpenGL report to the
    // session log; "OpenGL is not available" when that fails. Main thread, once.
    static void ProbeCapabilities(XGLContext* (*inMakeProbeContext)());
    // The "Features: ..." part of the report for the given findings.
    static XString MakeFeatureList(bool inStereo, bool in3DTextures, bool inPbuffers, bool inMultiTexture,
                                   uint32_t inTextureUnits, bool inFragmentPrograms, bool inVertexBuffers);

    void AddContextListener(XGLContextListener* inListener);
    void RemoveContextListener(XGLContextListener* inListener);
    // Lets every listener free its GL objects while the native context still exists.
    void PreContextDispose();

    static void AddContextGroupListener(XGLContextGroupListener* inListener);
    static void RemoveContextGroupListener(XGLContextGroupListener* inListener);

    void SetUpProjection();

protected:
    friend class XGLContextLock;

    virtual void Lock() const;
    virtual void Unlock() const;
    // Make the native context current; throw XGLException when it cannot be.
    virtual void LockSelf() const = 0;
    // Present the back buffer and release the native context.
    virtual void UnlockSelf() const = 0;
    // The drawing area in screen coordinates.
    virtual XRect GetGlobalContextBounds() = 0;
    virtual void RenderRBStereo();
    virtual void RenderHInterlacedStereo();
    virtual void RenderVInterlacedStereo();
    virtual void MakeHInterlaceStencil();
    virtual void MakeVInterlaceStencil();
    virtual void SetupForLeftEye();
    virtual void SetupForRightEye();
    virtual void RenderFrame();
    // What the platform's pixel format offers (for the report); nothing by default.
    virtual XPixelFormatInfo GetPixelFormatInfo() const { return XPixelFormatInfo(); }

    // Called by the platform window whenever its native context is created (with its
    // pixel-format number) or destroyed (0). Returns the context to share objects with.
    XGLContext* ContextChanged(uint64_t inPixelFormatID);
    // The first context of the group of that pixel format (a share partner), or null.
    static XGLContext* FindGroupContext(uint64_t inPixelFormatID);
    // Forget the rectangle the interlace stencil was built for.
    void InvalidateStencil() { itsLastGlobalBounds = XRect(); }

    static void SetupForCamera(const XCamera& inCamera);
    static void FrustumWithInfiniteFarPlane(float inLeft, float inRight, float inBottom, float inTop, float inNear);

private:
    // Projection with the frustum shifted sideways by inShift (perspective only).
    void SetUpProjection(float inShift, const XCamera& inCamera);
    void RenderStereoEyes(void (XGLContext::*inMakeStencil)(), unsigned int inLeftTest, unsigned int inRightTest);
    void SetupForEye(double inSide);
    void EndStereoEyes();
    static XGLContext* AddContextToGroup(XGLContext* inContext, uint64_t inPixelFormatID);
    static void RemoveContextFromGroup(XGLContext* inContext);

    XStereoMode itsStereoMode = kStereoNone;
    XRect itsLastGlobalBounds;
    uint32_t itsContextID;
    mutable int32_t itsLockCount = 0;
    XProjectionMode itsProjectionMode = kPerspective;
    XARGB32Colour itsClearColour{255, 0, 0, 0};
    XQualityMode itsQualityMode = 0;
    uint32_t itsContextGroupID = 0;
    float itsNearDistance = 0.1f;
    float itsFarDistance = 50.0f;
    float itsNarrowViewAngle = 0.7f;
    float itsPixelUnityDepth = 0.0f;
    mutable XTimer itsFrameTimer{0, 0};
    mutable int64_t itsFrameTime = 0;
    XSet<XGLContextListener*> itsListeners;
    XCamera itsCamera;
    uint64_t itsUserValue = 0;
    float itsEyeStrafe = 0.0f;
    XGLMatrix itsEyeTurn;

    static const XGLContext* sCurrentContext;
    static uint32_t sNextContextID;
    static uint32_t sNextContextGroupID;
    static XMap<uint32_t, std::pair<uint64_t, XPtrVector<XGLContext>>> sContextGroupMap;
    static XPtrVector<XGLContextGroupListener> sContextGroupListeners;
    static XMutex sContextGroupListenerMutex;
    static bool sIsGLAvail;
    static bool sIsGLStereoSupported;
    static bool sIs3DTexturingSupported;
    static bool sIsFragmentProgramSupported;
    static bool sIsMultiTexturingSupported;
    static bool sIsFramebufferObjectSupported;
    static uint32_t sTextureUnitCount;
    static XGLVertexBufferType sVertexBufferType;
    static XString sVendorStr;
    static XString sRendererStr;
    static XString sVersionStr;
    static bool sUserEnabledHardwareShaders;
    static bool sSingleSampleOnSoftwareRasteriser;
    static XTime sAccumulatedRenderToImageTime;
    static double sGLVersion;
};
