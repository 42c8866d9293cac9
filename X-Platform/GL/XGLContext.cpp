#include "XGLContext.h"
#include "SwapBuffer32.h"
#include "XARGB32Volume.h"
#include "XAssert.h"
#include "XFlipVVolumeTool.h"
#include "XGLAntiAlias.h"
#include "XGLCapabilitySetter.h"
#include "XGLContextGroupListener.h"
#include "XGLContextListener.h"
#include "XGLContextLock.h"
#include "XGLException.h"
#include "XGLFrameMessage.h"
#include "XLock.h"
#include "XOpenGL.h"
#include "XProgressDisabler.h"
#include "XStopThreadException.h"
#include "XThread.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstring>
#include <memory>

const XGLContext* XGLContext::sCurrentContext = nullptr;
uint32_t XGLContext::sNextContextID = 1;
uint32_t XGLContext::sNextContextGroupID = 1;
XMap<uint32_t, std::pair<uint64_t, XPtrVector<XGLContext>>> XGLContext::sContextGroupMap;
XPtrVector<XGLContextGroupListener> XGLContext::sContextGroupListeners;
XMutex XGLContext::sContextGroupListenerMutex(4000, false);
bool XGLContext::sIsGLAvail = false;
bool XGLContext::sIsGLStereoSupported = false;
bool XGLContext::sIs3DTexturingSupported = false;
bool XGLContext::sIsFragmentProgramSupported = false;
bool XGLContext::sIsMultiTexturingSupported = false;
bool XGLContext::sIsFramebufferObjectSupported = false;
uint32_t XGLContext::sTextureUnitCount = 0;
XGLContext::XGLVertexBufferType XGLContext::sVertexBufferType = XGLContext::kNoVertexBuffers;
XString XGLContext::sVendorStr;
XString XGLContext::sRendererStr;
XString XGLContext::sVersionStr;
bool XGLContext::sUserEnabledHardwareShaders = true;
bool XGLContext::sSingleSampleOnSoftwareRasteriser = false;
XTime XGLContext::sAccumulatedRenderToImageTime;
double XGLContext::sGLVersion = 0.0;

namespace {
constexpr float kEyeSeparation = 0.02f;
constexpr double kOrthographicEyeTurn = 0.06981317007977318; // 4 degrees

// Divide-by-zero must not trap while the driver and the scene draw; whatever the
// frame raised is cleared and the caller's environment restored on the way out.
class XFloatingPointGuard {
public:
    XFloatingPointGuard()
    {
        std::fegetenv(&itsSaved);
#if defined(__GLIBC__)
        fedisableexcept(FE_DIVBYZERO);
#endif
    }
    ~XFloatingPointGuard()
    {
        std::feclearexcept(FE_ALL_EXCEPT);
        std::fesetenv(&itsSaved);
    }
    XFloatingPointGuard(const XFloatingPointGuard&) = delete;
    XFloatingPointGuard& operator=(const XFloatingPointGuard&) = delete;

private:
    std::fenv_t itsSaved;
};

struct XViewport {
    GLint x = 0, y = 0, w = 0, h = 0;
};

XViewport ReadViewport()
{
    GLint v[4] = {};
    glGetIntegerv(GL_VIEWPORT, v);
    ThrowIfGLErr();
    return XViewport{v[0], v[1], v[2], v[3]};
}
} // namespace

XGLContext::XGLContext() : itsContextID(sNextContextID++) {}

XGLContext::~XGLContext()
{
    while (!itsListeners.empty())
        RemoveContextListener(*itsListeners.begin());
    if (itsContextGroupID != 0)
        RemoveContextFromGroup(this);
    X_ASSERT_TEXT(sCurrentContext != this, "sCurrentContext != this");
    if (sCurrentContext == this)
        sCurrentContext = nullptr;
}

void XGLContext::SetProjectionMode(XProjectionMode inMode)
{
    itsProjectionMode = inMode;
}

void XGLContext::SetClearColor(const XARGB32Colour& inColour)
{
    itsClearColour = inColour;
}

void XGLContext::SetQualityMode(XQualityMode inMode)
{
    itsQualityMode = inMode;
}

void XGLContext::SetCamera(const XCamera& inCamera)
{
    itsCamera = inCamera;
}

void XGLContext::SetStereoMode(XStereoMode inMode)
{
    if (inMode == kStereoHardware && !sIsGLStereoSupported)
        inMode = kStereoNone;
    itsStereoMode = inMode;
    InvalidateStencil();
}

XRect XGLContext::GetViewportBounds()
{
    XGLContextLock lock(*this);
    XViewport v = ReadViewport();
    return XRect(v.x, v.y, v.x + v.w, v.y + v.h);
}

// ---------------------------------------------------------------------------
// Locking

void XGLContext::Lock() const
{
    X_ASSERT_TEXT(XThread::IsMainThread(), "XThread::IsMainThread()");
    X_ASSERT_TEXT((GetCurrentContext() == this) || (GetCurrentContext() == nullptr),
                  "(GetCurrentContext() == this) || (GetCurrentContext() == 0)");
    sCurrentContext = this;
    if (++itsLockCount == 1) {
        try {
            LockSelf();
        } catch (...) {
            --itsLockCount;
            sCurrentContext = nullptr;
            throw;
        }
    }
}

void XGLContext::Unlock() const
{
    X_ASSERT_TEXT(itsLockCount > 0, "itsLockCount > 0");
    if (itsLockCount <= 0)
        return;
    if (--itsLockCount > 0)
        return;
    struct Finish {
        const XGLContext& context;
        ~Finish()
        {
            if (sCurrentContext == &context)
                sCurrentContext = nullptr;
            context.itsFrameTime = context.itsFrameTimer.GetElapsedTime();
            context.itsFrameTimer.Start();
        }
    } finish{*this};
    UnlockSelf();
}

bool XGLContext::IsSoftwareRendererName(const XString& inRenderer)
{
    const XString name = inRenderer.ToLower();
    return name.Contains("llvmpipe") || name.Contains("softpipe") || name.Contains("swrast") || name.Contains("software");
}

uint32_t XGLContext::GetCurrentContextID()
{
    return sCurrentContext ? sCurrentContext->itsContextID : 0;
}

uint32_t XGLContext::GetCurrentContextGroupID()
{
    return sCurrentContext ? sCurrentContext->itsContextGroupID : 0;
}

// ---------------------------------------------------------------------------
// The frame

void XGLContext::RenderContext()
{
    XProgressDisabler noProgress;
    XGLContextLock lock(*this);
    XFloatingPointGuard floatingPointGuard;
    try {
        if (!IsCurrent())
            return;
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(itsClearColour.red / 255.0f, itsClearColour.green / 255.0f, itsClearColour.blue / 255.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_LIGHTING);
        glEnable(GL_COLOR_MATERIAL);
        glShadeModel(GL_SMOOTH);
        glEnable(GL_NORMALIZE);

        // An empty drawing area (a minimised or collapsed window) has nothing to show,
        // and its aspect ratio would divide by zero.
        XViewport viewport = ReadViewport();
        if (viewport.w <= 0 || viewport.h <= 0)
            return;

        switch (itsStereoMode) {
        case kStereoRedCyan: RenderRBStereo(); break;
        case kStereoHInterlaced: RenderHInterlacedStereo(); break;
        case kStereoVInterlaced: RenderVInterlacedStereo(); break;
        default:
            SetUpProjection();
            RenderFrame();
            break;
        }
    } catch (const XStopThreadException&) {
        throw;
    } catch (const XException& e) {
        if (e.ShouldReportError())
            XGLFrameMessage::Draw(e.GetErrorMessage());
        throw;
    } catch (...) {
        XGLFrameMessage::Draw(XString("The command could not be completed because ") + "an unknown error occurred");
        throw;
    }
}

void XGLContext::SetUpProjection()
{
    SetUpProjection(0.0f, itsCamera);
}

void XGLContext::SetUpProjection(float inShift, const XCamera& inCamera)
{
    XViewport v = ReadViewport();
    glMatrixMode(GL_PROJECTION);
    ThrowIfGLErr();
    glLoadIdentity();
    ThrowIfGLErr();
    if (v.w <= 0 || v.h <= 0)
        return; // nothing can be drawn; the aspect ratio would divide by zero
    double ax = 1.0, ay = 1.0;
    if (v.w > v.h)
        ax = double(v.w) / double(v.h);
    else
        ay = double(v.h) / double(v.w);
    if (itsProjectionMode == kOrthographic) {
        glOrtho(-ax, ax, ay, -ay, itsNearDistance, itsFarDistance);
    } else {
        const double halfAngleTan = std::tan(0.5 * double(itsNarrowViewAngle));
        const double k = halfAngleTan * double(itsNearDistance);
        FrustumWithInfiniteFarPlane(float(-ax * k + inShift), float(ax * k + inShift), float(ay * k), float(-ay * k),
                                    itsNearDistance);
        glScalef(3.0f, 3.0f, 3.0f);
        itsPixelUnityDepth = float(double(std::min(v.w, v.h)) / (2.0 * halfAngleTan));
    }
    SetupForCamera(inCamera);
}

void XGLContext::FrustumWithInfiniteFarPlane(float inLeft, float inRight, float inBottom, float inTop, float inNear)
{
    GLfloat m[16] = {};
    m[0] = 2.0f * inNear / (inRight - inLeft);
    m[5] = 2.0f * inNear / (inTop - inBottom);
    m[8] = (inRight + inLeft) / (inRight - inLeft);
    m[9] = (inTop + inBottom) / (inTop - inBottom);
    m[10] = -1.0f;
    m[11] = -1.0f;
    m[14] = -2.0f * inNear;
    glMultMatrixf(m);
}

void XGLContext::SetupForCamera(const XCamera& inCamera)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const XMathVectorF3& eye = inCamera.GetEye();
    const XMathVectorF3& at = inCamera.GetLookAt();
    const XMathVectorF3& up = inCamera.GetUp();
    gluLookAt(eye[0], eye[1], eye[2], at[0], at[1], at[2], up[0], up[1], up[2]);
}

void XGLContext::RenderFrame()
{
    glClear(GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    // Given while the model-view holds only the camera, so the light stays fixed in
    // the world while the renderables turn.
    const GLfloat ambient0[] = {0.1f, 0.1f, 0.1f, 1.0f};
    const GLfloat diffuse1[] = {0.75f, 0.75f, 0.75f, 1.0f};
    const GLfloat specular1[] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat position1[] = {3.0f, -1.0f, 3.0f, 1.0f};
    const GLfloat materialSpecular[] = {0.2f, 0.2f, 0.2f, 1.0f};
    const GLfloat materialDiffuse[] = {0.8f, 0.8f, 0.8f, 1.0f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient0);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse1);
    glLightfv(GL_LIGHT1, GL_SPECULAR, specular1);
    glLightfv(GL_LIGHT1, GL_POSITION, position1);
    glLightf(GL_LIGHT1, GL_LINEAR_ATTENUATION, 1.0f);
    glMaterialfv(GL_FRONT, GL_SPECULAR, materialSpecular);
    glMaterialf(GL_FRONT, GL_SHININESS, 40.0f);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, materialDiffuse);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    // The scene is drawn in a left-handed frame.
    glScalef(1.0f, 1.0f, -1.0f);
    glFrontFace(GL_CW);
    XGLAntiAlias lineSmoothing(GL_LINE_SMOOTH);
    ThrowIfGLErr();
    Render(*this);
}

// ---------------------------------------------------------------------------
// Stereo

void XGLContext::SetupForLeftEye()
{
    SetupForEye(1.0);
}

void XGLContext::SetupForRightEye()
{
    SetupForEye(-1.0);
}

// inSide is +1 for the left eye and -1 for the right.
void XGLContext::SetupForEye(double inSide)
{
    if (itsProjectionMode == kOrthographic) {
        SetUpProjection();
        const X3DMatrix turn = X3DMatrix::RotationMatrix(X3DMatrix::ColumnVector(0, 1, 0), inSide * kOrthographicEyeTurn);
        MulRotation(turn);
        itsEyeTurn = XGLMatrix(static_cast<const X3DMatrix&>(itsEyeTurn) * turn);
        SetupForCamera(itsCamera);
        return;
    }
    const XMathVectorF3& eye = itsCamera.GetEye();
    const float d = std::sqrt(eye[0] * eye[0] + eye[1] * eye[1] + eye[2] * eye[2]);
    const float shift = d > 0.0f ? (itsNearDistance / d) * kEyeSeparation : 0.0f;
    itsEyeStrafe = float(-inSide) * kEyeSeparation;
    XCamera camera = itsCamera;
    camera.Strafe(itsEyeStrafe);
    SetUpProjection(float(inSide) * shift, camera);
}

void XGLContext::EndStereoEyes()
{
    itsEyeStrafe = 0.0f;
    itsEyeTurn = XGLMatrix();
}

void XGLContext::RenderRBStereo()
{
    struct EndEyes {
        XGLContext& context;
        ~EndEyes() { context.EndStereoEyes(); }
    } endEyes{*this};
    glColorMask(GL_TRUE, GL_FALSE, GL_FALSE, GL_FALSE);
    SetupForLeftEye();
    RenderFrame();
    glColorMask(GL_FALSE, GL_TRUE, GL_TRUE, GL_FALSE);
    SetupForRightEye();
    RenderFrame();
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}

void XGLContext::RenderStereoEyes(void (XGLContext::*inMakeStencil)(), unsigned int inLeftTest,
                                  unsigned int inRightTest)
{
    const XGLMatrix rotation = GetRotation();
    struct RestoreRotation {
        XGLContext& context;
        const XGLMatrix& rotation;
        ~RestoreRotation() { context.SetRotation(rotation); }
    } restore{*this, rotation};
    struct EndEyes {
        XGLContext& context;
        ~EndEyes() { context.EndStereoEyes(); }
    } endEyes{*this};
    (this->*inMakeStencil)();
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    const XGLCapabilitySetter stencil(GL_STENCIL_TEST, true);
    glStencilFunc(inLeftTest, 1, 1);
    SetupForLeftEye();
    RenderFrame();
    glStencilFunc(inRightTest, 1, 1);
    SetupForRightEye();
    RenderFrame();
}

void XGLContext::RenderHInterlacedStereo()
{
    RenderStereoEyes(&XGLContext::MakeHInterlaceStencil, GL_EQUAL, GL_NOTEQUAL);
}

void XGLContext::RenderVInterlacedStereo()
{
    RenderStereoEyes(&XGLContext::MakeVInterlaceStencil, GL_NOTEQUAL, GL_EQUAL);
}

namespace {
// Marks (stencil 1) every other row or column of the drawing area, in phase with the
// screen so that the pattern stays on the same physical lines as the window moves.
// Each line is a one-pixel quad: polygon rasterisation covers exactly that line,
// where a GL line on a pixel edge may land on either neighbour.
void MakeInterlaceStencil(const XRect& inBounds, bool inRows)
{
    const GLint w = inBounds.GetWidth();
    const GLint h = inBounds.GetHeight();
    glClearStencil(0);
    glClear(GL_STENCIL_BUFFER_BIT);
    const XGLCapabilitySetter stencil(GL_STENCIL_TEST, true);
    {
        const XGLCapabilitySetter texture(GL_TEXTURE_2D, false), depth(GL_DEPTH_TEST, false),
            lighting(GL_LIGHTING, false), cull(GL_CULL_FACE, false), blend(GL_BLEND, false),
            lineSmooth(GL_LINE_SMOOTH, false), polygonSmooth(GL_POLYGON_SMOOTH, false);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, w, 0, h, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glStencilFunc(GL_ALWAYS, 1, 1);
        glStencilOp(GL_REPLACE, GL_REPLACE, GL_REPLACE);
        glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
        glBegin(GL_QUADS);
        if (inRows) {
            // Rows on odd screen lines; GL row r is screen line top + (h - 1 - r).
            for (GLint r = 0; r < h; ++r) {
                if (((int64_t(inBounds.top) + (h - 1 - r)) & 1) == 0)
                    continue;
                glVertex2i(0, r);
                glVertex2i(w, r);
                glVertex2i(w, r + 1);
                glVertex2i(0, r + 1);
            }
        } else {
            // Columns on even screen columns.
            for (GLint c = 0; c < w; ++c) {
                if (((int64_t(inBounds.left) + c) & 1) != 0)
                    continue;
                glVertex2i(c, 0);
                glVertex2i(c + 1, 0);
                glVertex2i(c + 1, h);
                glVertex2i(c, h);
            }
        }
        glEnd();
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    }
    ThrowIfGLErr();
}
} // namespace

void XGLContext::MakeHInterlaceStencil()
{
    XRect bounds = GetGlobalContextBounds();
    if (bounds == itsLastGlobalBounds)
        return; // the stencil is still valid
    itsLastGlobalBounds = bounds;
    MakeInterlaceStencil(bounds, true);
}

void XGLContext::MakeVInterlaceStencil()
{
    XRect bounds = GetGlobalContextBounds();
    if (bounds == itsLastGlobalBounds)
        return;
    itsLastGlobalBounds = bounds;
    MakeInterlaceStencil(bounds, false);
}

// ---------------------------------------------------------------------------
// Reading back

XVolume* XGLContext::RenderToVolume()
{
    const XQualityMode savedQuality = itsQualityMode;
    struct RestoreQuality {
        XGLContext& context;
        XQualityMode quality;
        ~RestoreQuality() { context.itsQualityMode = quality; }
    } restoreQuality{*this, savedQuality};
    itsQualityMode = 1;
    XGLContextLock lock(*this);
    RenderContext();
    XViewport v = ReadViewport();
    auto volume = std::make_unique<XARGB32Volume>(XRect(0, 0, std::max(v.w, 0), std::max(v.h, 0)), 1);
    if (v.w > 0 && v.h > 0) {
        XVolume::XWriteLock volumeLock(*volume);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_SWAP_BYTES, 0);
        glPixelStorei(GL_PACK_LSB_FIRST, 0);
        glPixelStorei(GL_PACK_ROW_LENGTH, 0);
        glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
        glPixelStorei(GL_PACK_SKIP_ROWS, 0);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glPixelTransferi(GL_MAP_COLOR, 0);
        glPixelTransferi(GL_MAP_STENCIL, 0);
        glPixelTransferi(GL_INDEX_SHIFT, 0);
        glPixelTransferi(GL_INDEX_OFFSET, 0);
        for (GLenum scale : {GL_RED_SCALE, GL_GREEN_SCALE, GL_BLUE_SCALE, GL_ALPHA_SCALE, GL_DEPTH_SCALE})
            glPixelTransferf(scale, 1.0f);
        for (GLenum bias : {GL_RED_BIAS, GL_GREEN_BIAS, GL_BLUE_BIAS, GL_ALPHA_BIAS, GL_DEPTH_BIAS})
            glPixelTransferf(bias, 0.0f);
        uint8_t* pixels = volume->GetLayerPtr(0);
        glReadPixels(v.x, v.y, v.w, v.h, GL_BGRA_EXT, GL_UNSIGNED_BYTE, pixels);
        ThrowIfGLErr();
        glFinish();
        ThrowIfGLErr();
        // BGRA memory order becomes the volume's ARGB order.
        SwapBuffer32(pixels, size_t(v.w) * size_t(v.h));
    }
    // GL rows run bottom to top; the volume's first row is the top of the picture.
    XFlipVVolumeTool::Flip(*volume);
    return volume.release();
}

// ---------------------------------------------------------------------------
// Context groups

XGLContext* XGLContext::ContextChanged(uint64_t inPixelFormatID)
{
    if (itsContextGroupID != 0)
        RemoveContextFromGroup(this);
    itsContextID = sNextContextID++;
    InvalidateStencil();
    if (inPixelFormatID == 0)
        return nullptr;
    return AddContextToGroup(this, inPixelFormatID);
}

XGLContext* XGLContext::FindGroupContext(uint64_t inPixelFormatID)
{
    for (auto& [id, group] : sContextGroupMap)
        if (group.first == inPixelFormatID && !group.second.empty())
            return group.second.front();
    return nullptr;
}

XGLContext* XGLContext::AddContextToGroup(XGLContext* inContext, uint64_t inPixelFormatID)
{
    X_ASSERT(inContext);
    X_ASSERT(inPixelFormatID != 0);
    if (!inContext || inPixelFormatID == 0)
        return nullptr;
    for (auto it = sContextGroupMap.begin(); it != sContextGroupMap.end(); ++it) {
        if (it->second.first != inPixelFormatID)
            continue;
        X_ASSERT_TEXT(!it->second.second.empty(), "!it->second.second.empty()");
        X_ASSERT_TEXT(!it->second.second.DoesContain(inContext),
                      "it->second.second.Find( inContext ) == it->second.second.end()");
        if (!it->second.second.DoesContain(inContext))
            it->second.second.push_back(inContext);
        inContext->itsContextGroupID = it->first;
        return it->second.second.empty() ? nullptr : it->second.second.front();
    }
    const uint32_t groupID = sNextContextGroupID++;
    sContextGroupMap[groupID] = std::make_pair(inPixelFormatID, XPtrVector<XGLContext>{inContext});
    inContext->itsContextGroupID = groupID;
    XLock lock(sContextGroupListenerMutex);
    for (XGLContextGroupListener* listener : XPtrVector<XGLContextGroupListener>(sContextGroupListeners))
        listener->ContextGroupCreated(groupID);
    return nullptr;
}

void XGLContext::RemoveContextFromGroup(XGLContext* inContext)
{
    const uint32_t groupID = inContext->itsContextGroupID;
    auto it = sContextGroupMap.find(groupID);
    if (it == sContextGroupMap.end()) {
        inContext->itsContextGroupID = 0;
        return;
    }
    it->second.second.Remove(inContext);
    if (!it->second.second.empty()) {
        inContext->itsContextGroupID = 0;
        return;
    }
    sContextGroupMap.erase(it);
    {
        XLock lock(sContextGroupListenerMutex);
        for (XGLContextGroupListener* listener : XPtrVector<XGLContextGroupListener>(sContextGroupListeners))
            listener->ContextGroupDestroyed(groupID);
    }
    inContext->itsContextGroupID = 0;
}

XPtrVector<XGLContext> XGLContext::GetContextsInGroup(unsigned long inID)
{
    X_ASSERT(inID != 0);
    auto it = sContextGroupMap.find(uint32_t(inID));
    return it == sContextGroupMap.end() ? XPtrVector<XGLContext>() : it->second.second;
}

void XGLContext::AddContextGroupListener(XGLContextGroupListener* inListener)
{
    X_ASSERT(inListener);
    if (!inListener)
        return;
    XLock lock(sContextGroupListenerMutex);
    X_ASSERT_TEXT(!sContextGroupListeners.DoesContain(inListener),
                  "sContextGroupListeners.Find( inListener ) == sContextGroupListeners.end()");
    if (!sContextGroupListeners.DoesContain(inListener))
        sContextGroupListeners.push_back(inListener);
}

void XGLContext::RemoveContextGroupListener(XGLContextGroupListener* inListener)
{
    XLock lock(sContextGroupListenerMutex);
    sContextGroupListeners.Remove(inListener);
}

// ---------------------------------------------------------------------------
// Context listeners

void XGLContext::AddContextListener(XGLContextListener* inListener)
{
    X_ASSERT_TEXT(XThread::IsMainThread(), "XThread::IsMainThread()");
    if (!inListener)
        return;
    itsListeners.insert(inListener);
    inListener->SetContext(this);
}

void XGLContext::RemoveContextListener(XGLContextListener* inListener)
{
    auto iter = itsListeners.find(inListener);
    X_ASSERT_TEXT(iter != itsListeners.end(), "iter != ctxListeners.end()");
    if (iter == itsListeners.end())
        return;
    itsListeners.erase(iter);
    inListener->SetContext(nullptr);
}

void XGLContext::PreContextDispose()
{
    XGLContextLock lock(*this);
    // A listener may unregister itself from its notification.
    XSet<XGLContextListener*> listeners = itsListeners;
    for (XGLContextListener* listener : listeners)
        if (itsListeners.Contains(listener))
            listener->PreContextDispose();
}

// ---------------------------------------------------------------------------
// Version and capabilities

double XGLContext::GetGLVersion()
{
    if (sGLVersion == 0.0 && OpenGLIsLoaded()) {
        const GLubyte* text = glGetString(GL_VERSION);
        if (text) {
            // The leading number only: "4.5 (Compatibility Profile) Mesa 22.3.6".
            XString version(reinterpret_cast<const char*>(text));
            size_t end = 0;
            const std::string& s = version.GetStdString();
            int dots = 0;
            while (end < s.size() && (std::isdigit(static_cast<unsigned char>(s[end])) || (s[end] == '.' && ++dots == 1)))
                ++end;
            double value = 0.0;
            if (XString(s.substr(0, end)).TryGetSFloat64(value))
                sGLVersion = value;
        }
    }
    return sGLVersion;
}
