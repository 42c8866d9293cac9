// The GL context: locking, the frame, projection, stereo, read-back, groups and the report.
#include "GLTestScene.h"
#include "WGLWnd.h"
#include "XAssertRecorder.h"
#include "XGLCameraAttachment.h"
#include "XGLContextGroupListener.h"
#include "XGLContextListener.h"
#include "XGLContextLock.h"
#include "XGLEyeInfo.h"
#include "XSessionLogManager.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using TestPicture::PixelAt;

TEST(XGLContext, NestedLocksTouchTheNativeContextOnceAndASecondContextIsReported)
{
    WGLWnd window(8, 8), other(8, 8);
    EXPECT_EQ(XGLContext::GetCurrentContext(), nullptr);
    {
        XGLContextLock outer(window);
        {
            XGLContextLock inner(window);
            EXPECT_EQ(window.GetLockCount(), 2);
        }
        // Still current: only the outermost unlock releases the native context.
        EXPECT_EQ(eglGetCurrentContext(), window.GetNativeContext());
        EXPECT_EQ(XGLContext::GetCurrentContextID(), window.GetContextID());
        XAssertRecorder recorder;
        XGLContextLock lockOther(other);
        EXPECT_TRUE(recorder.Has("(GetCurrentContext() == this) || (GetCurrentContext() == 0)", "X-Platform/XGLContext"));
        EXPECT_EQ(eglGetCurrentContext(), other.GetNativeContext());
    }
    EXPECT_EQ(XGLContext::GetCurrentContext(), nullptr);
    EXPECT_EQ(eglGetCurrentContext(), EGL_NO_CONTEXT);
}

TEST(XGLContext, ProjectionNumbersFollowTheViewport)
{
    WGLWnd window(400, 300);
    window.SetProjectionMode(XGLContext::kOrthographic);
    {
        XGLContextLock lock(window);
        window.SetUpProjection();
        // glOrtho(-4/3, 4/3, 1, -1, 0.1, 50): y flipped.
        XGLMatrix p = XGLMatrix::GetMatrix(GL_PROJECTION_MATRIX);
        EXPECT_NEAR(p(0, 0), 0.75, 1e-6);
        EXPECT_NEAR(p(1, 1), -1.0, 1e-6);
        EXPECT_NEAR(p(2, 2), -2.0 / 49.9, 1e-6);
        EXPECT_NEAR(p(2, 3), -50.1 / 49.9, 1e-6);
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW) << "the camera is set on the model-view matrix";
    }
    window.SetSize(300, 400);
    window.SetProjectionMode(XGLContext::kPerspective);
    XGLContextLock lock(window);
    window.SetUpProjection();
    // ax = 1, ay = 4/3; infinite far plane, then scaled by 3.
    const double n = 0.1, k = std::tan(0.35) * n, ay = 4.0 / 3.0;
    XGLMatrix p = XGLMatrix::GetMatrix(GL_PROJECTION_MATRIX);
    EXPECT_NEAR(p(0, 0), 3.0 * n / k, 1e-3);
    EXPECT_NEAR(p(1, 1), -3.0 * n / (ay * k), 1e-3);
    EXPECT_NEAR(p(2, 2), -3.0, 1e-6);
    EXPECT_NEAR(p(3, 2), -3.0, 1e-6);
    EXPECT_NEAR(p(2, 3), -2.0 * n, 1e-6);
    EXPECT_NEAR(p(3, 3), 0.0, 1e-9);
    EXPECT_NEAR(window.GetPixelUnityDepth(), 300.0 / (2.0 * std::tan(0.35)), 1e-2);

    // The eye info reads the default camera: eye (0, 0, 7.5) looking down -z at the origin.
    XGLEyeInfo info;
    EXPECT_NEAR(info.GetEyeVector()[0], 0.0f, 1e-5);
    EXPECT_NEAR(info.GetEyeVector()[2], 7.5f, 1e-5);
    EXPECT_NEAR(std::fabs(info.GetLookVector()[2]), 1.0f, 1e-5);
    // The near plane faces -z in front of the eye, at the near distance over the scale of 3.
    EXPECT_NEAR(info.GetNearPlane()[2], -1.0f, 1e-4);
    EXPECT_NEAR(info.GetNearDepth(), 0.1f / 3.0f, 1e-4);
    EXPECT_NEAR(info.GetEyePosition(), -7.5f, 1e-4);
    for (int plane : {0, 1, 4, 5}) // the origin is inside the four side planes
        EXPECT_GT(info.GetFrustumPlanes()[size_t(plane)][3], 0.0f) << "plane " << plane;
}

TEST(XGLContext, RenderToVolumeGivesTopRowFirstAtAnySize)
{
    WGLWnd window(64, 48);
    window.SetProjectionMode(XGLContext::kOrthographic);
    window.SetClearColor(XARGB32Colour(255, 0, 0, 255));
    // A red band across the upper half of the picture (y grows downwards).
    XQuadRenderable band(XARGB32Colour::kRed, 2.0, 0.5);
    band.SetTranslation(0.0, -0.5, 0.0);
    window.AddChild(band);
    // At the window's size every picture test reads it; at another size it draws
    // through a surface of that size, and the window keeps its own.
    window.SetQualityMode(0);
    std::unique_ptr<XVolume> large(window.RenderToVolume(XRect(0, 0, 128, 96)));
    ASSERT_EQ(large->GetBounds(), X3DRect(0, 0, 0, 128, 96, 1));
    EXPECT_EQ(PixelAt(*large, 20, 4), XARGB32Colour::kRed) << "row 0 is not the top of the picture";
    // The clear colour is written with alpha 0.
    EXPECT_EQ(PixelAt(*large, 20, 90), XARGB32Colour(0, 0, 0, 255));
    EXPECT_EQ(window.GetViewportBounds(), XRect(0, 0, 64, 48));
    EXPECT_EQ(window.GetQualityMode(), 0u) << "the picture's best quality outlived it";
    EXPECT_THROW(window.RenderToVolume(XRect(0, 0, 0, 10)), XException);

    window.RemoveChild(band);

    // A window of no size draws nothing and does not fail.
    WGLWnd empty(0, 0);
    empty.AddChild(band);
    EXPECT_NO_THROW(empty.RenderContext());
    std::unique_ptr<XVolume> picture(empty.RenderToVolume());
    EXPECT_EQ(picture->GetWidth(), 0);
    EXPECT_EQ(picture->GetHeight(), 0);
    empty.RemoveChild(band);
}

// A white card 3 units in front of the context's origin in a 200 × 100 window (50
// pixels per unit): the orthographic eyes turn the context 4° apart about y, which
// moves the card sideways by 3·sin 4° (about 10 pixels). The card spans columns 85 to
// 115; column 120 shows only the left eye's card, column 90 only the right eye's.
TEST(XGLContextStereo, EachModeShowsEachEyeWhereItShould)
{
    constexpr int kLeftOnly = 120, kRightOnly = 90;
    WGLWnd window(200, 100);
    window.SetProjectionMode(XGLContext::kOrthographic);
    XQuadRenderable card(XARGB32Colour::kWhite, 0.3, 0.3);
    card.SetTranslation(0.0, 0.0, 3.0);
    window.AddChild(card);
    const auto white = [](const XVolume& inPicture, int inX, int inY) {
        return PixelAt(inPicture, inX, inY) == XARGB32Colour::kWhite;
    };

    ASSERT_FALSE(XGLContext::IsGLStereoSupported());
    window.SetStereoMode(XGLContext::kStereoHardware);
    EXPECT_EQ(window.GetStereoMode(), XGLContext::kStereoNone) << "hardware stereo without support";

    window.SetStereoMode(XGLContext::kStereoRedCyan);
    std::unique_ptr<XVolume> picture(window.RenderToVolume());
    TestPicture::SavePNG(*picture, "XGLContext-red-cyan");
    // Red, green and blue only: the alpha of an anaglyph pixel is not defined.
    const auto rgb = [&](int inColumn) {
        const XARGB32Colour p = PixelAt(*picture, inColumn, 50);
        return std::array<int, 3>{p.red, p.green, p.blue};
    };
    EXPECT_EQ(rgb(kLeftOnly), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(rgb(kRightOnly), (std::array<int, 3>{0, 255, 255}));
    EXPECT_EQ(rgb(100), (std::array<int, 3>{255, 255, 255}));
    EXPECT_TRUE(window.GetRotation().IsNearlyEqual(XGLMatrix(), 1e-9)) << "the eyes' turns did not cancel";

    // Interlaced, the left eye owns the odd screen rows: with the top at 20, odd picture
    // rows; one row lower the phase swaps.
    window.SetStereoMode(XGLContext::kStereoHInterlaced);
    for (int top : {20, 21}) {
        window.SetScreenPosition(XPoint(10, top));
        picture.reset(window.RenderToVolume());
        TestPicture::SavePNG(*picture, "XGLContext-h-interlaced-" + std::to_string(top));
        for (int row = 40; row < 50; ++row) {
            EXPECT_EQ(white(*picture, kLeftOnly, row), (row + top) % 2 == 1) << "top " << top << ", row " << row;
            EXPECT_EQ(white(*picture, kRightOnly, row), (row + top) % 2 == 0) << "top " << top << ", row " << row;
        }
    }
    // The stencil mask is rebuilt only when the window moves or resizes: wiped behind
    // the context's back, a frame at the same place finds no rows for the left eye.
    {
        XGLContextLock lock(window);
        glClearStencil(0);
        glClear(GL_STENCIL_BUFFER_BIT);
        window.RenderContext();
        picture.reset(window.XGLContext::RenderToVolume());
    }
    for (int row = 40; row < 44; ++row)
        EXPECT_FALSE(white(*picture, kLeftOnly, row)) << "the stencil was rebuilt, row " << row;
    window.SetSize(200, 102);
    picture.reset(window.XGLContext::RenderToVolume());
    int leftRows = 0;
    for (int row = 40; row < 50; ++row)
        leftRows += white(*picture, kLeftOnly, row);
    EXPECT_EQ(leftRows, 5) << "a resize did not rebuild the stencil";

    // Vertically interlaced, the left eye owns the odd screen columns; inside the card
    // both eyes draw.
    window.SetSize(200, 100);
    window.SetStereoMode(XGLContext::kStereoVInterlaced);
    window.SetScreenPosition(XPoint(0, 0));
    picture.reset(window.RenderToVolume());
    for (int column = 116; column <= 124; ++column)
        EXPECT_EQ(white(*picture, column, 50), column % 2 == 1) << "column " << column;
    for (int column = 95; column < 105; ++column)
        EXPECT_TRUE(white(*picture, column, 50)) << "column " << column;
    window.RemoveChild(card);
}

namespace {
// Records the model-view matrix of every frame it is drawn in.
class XEyeProbe : public XGLRenderable {
public:
    std::vector<XGLMatrix> modelViews;

protected:
    void RenderSelf(XGLRenderable&) override { modelViews.push_back(XGLMatrix::GetMatrix(GL_MODELVIEW_MATRIX)); }
};
} // namespace

// A scene that brings its own camera (as the volume renderer does) must still see
// the two eyes apart: strafed cameras in perspective, turned scenes in orthographic.
TEST(XGLContextStereo, SceneCamerasTakeEachEyesOffset)
{
    for (const auto mode : {XGLContext::kPerspective, XGLContext::kOrthographic}) {
        SCOPED_TRACE(mode == XGLContext::kPerspective ? "perspective" : "orthographic");
        WGLWnd window(64, 64);
        window.SetProjectionMode(mode);
        window.AddAttachment(new XGLCameraAttachment(XCamera()));
        XEyeProbe probe;
        window.AddChild(probe);
        window.SetStereoMode(XGLContext::kStereoRedCyan);
        std::unique_ptr<XVolume> stereo(window.RenderToVolume());
        window.SetStereoMode(XGLContext::kStereoNone);
        std::unique_ptr<XVolume> mono(window.RenderToVolume());
        window.RemoveChild(probe);
        ASSERT_EQ(probe.modelViews.size(), 3u);
        const XGLMatrix &left = probe.modelViews[0], &right = probe.modelViews[1], &plain = probe.modelViews[2];
        if (mode == XGLContext::kPerspective) {
            // The view matrix moves the world opposite to the eye: 0.02 each way.
            EXPECT_NEAR(left(0, 3) - plain(0, 3), 0.02, 1e-5);
            EXPECT_NEAR(right(0, 3) - plain(0, 3), -0.02, 1e-5);
        } else {
            // The left eye sees the scene turned 4 degrees about y; the right eye as it is.
            const double turn = std::atan2(left(0, 2), left(0, 0)) - std::atan2(plain(0, 2), plain(0, 0));
            EXPECT_NEAR(std::abs(turn), 0.06981317007977318, 1e-5);
            EXPECT_TRUE(right.IsNearlyEqual(plain, 1e-6));
        }
        EXPECT_TRUE(window.GetEyeTurn().IsNearlyEqual(XGLMatrix(), 1e-12)) << "no eye offset outlives the frame";
        EXPECT_EQ(window.GetEyeStrafe(), 0.0f);
    }
}

namespace {
class XCountingGroupListener : public XGLContextGroupListener {
public:
    int itsCreated = 0, itsDestroyed = 0;
    unsigned long itsLastGroup = 0;
    void ContextGroupCreated(unsigned long inGroupID) override { ++itsCreated, itsLastGroup = inGroupID; }
    void ContextGroupDestroyed(unsigned long inGroupID) override { ++itsDestroyed, itsLastGroup = inGroupID; }
};

class XCountingContextListener : public XGLContextListener {
public:
    int itsDisposals = 0;
    bool itsWasCurrent = false;
    void PreContextDispose() override
    {
        ++itsDisposals;
        itsWasCurrent = GetContext() && GetContext()->IsCurrent();
    }
};
} // namespace

TEST(XGLContextGroups, ContextsOfOnePixelFormatShareObjectsAndEndOnce)
{
    XCountingGroupListener listener;
    XCountingContextListener staying;
    GLuint texture = 0;
    unsigned long groupID = 0;
    {
        auto first = std::make_unique<WGLWnd>(8, 8);
        auto second = std::make_unique<WGLWnd>(8, 8);
        ASSERT_EQ(first->GetPixelFormatID(), second->GetPixelFormatID());
        groupID = first->GetContextGroupID();
        EXPECT_NE(groupID, 0u);
        EXPECT_EQ(second->GetContextGroupID(), groupID);
        EXPECT_EQ(listener.itsCreated, 1);
        EXPECT_EQ(XGLContext::GetContextsInGroup(groupID).size(), 2u);
        const uint32_t texel = 0xFF3366CCu;
        {
            XGLContextLock lock(*first);
            glGenTextures(1, &texture);
            glBindTexture(GL_TEXTURE_2D, texture);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, &texel);
            glFinish();
        }
        {
            XGLContextLock lock(*second);
            EXPECT_EQ(XGLContext::GetCurrentContextGroupID(), groupID);
            ASSERT_TRUE(glIsTexture(texture)) << "the second context does not see the first one's texture";
            uint32_t readBack = 0;
            glBindTexture(GL_TEXTURE_2D, texture);
            glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, &readBack);
            EXPECT_EQ(readBack, texel);
        }
        first.reset();
        EXPECT_EQ(listener.itsDestroyed, 0) << "the group ended while a member remained";
        {
            XGLContextLock lock(*second);
            EXPECT_TRUE(glIsTexture(texture));
            glDeleteTextures(1, &texture);
        }
        // Context listeners hear of the disposal while the context is still current;
        // one that ends first unregisters itself.
        second->AddContextListener(&staying);
        {
            XCountingContextListener temporary;
            second->AddContextListener(&temporary);
        }
    }
    EXPECT_EQ(listener.itsDestroyed, 1);
    EXPECT_EQ(listener.itsLastGroup, groupID);
    EXPECT_TRUE(XGLContext::GetContextsInGroup(groupID).empty());
    EXPECT_EQ(staying.itsDisposals, 1);
    EXPECT_TRUE(staying.itsWasCurrent);
    EXPECT_EQ(staying.GetContext(), nullptr);
}

TEST(XGLContextProbe, ReportListsWhatTheDriverOffersOrThatOpenGLIsMissing)
{
    bool texture3D, multiTexture, fragmentPrograms, vertexBuffers;
    {
        WGLWnd window(8, 8);
        XGLContextLock lock(window);
        texture3D = OpenGLCheckExtension("GL_EXT_texture3D");
        multiTexture = OpenGLCheckExtension("GL_ARB_multitexture");
        fragmentPrograms = OpenGLCheckExtension("GL_ARB_fragment_program");
        vertexBuffers = OpenGLCheckExtension("GL_ARB_vertex_buffer_object");
    }
    XSessionLogManager& log = *XSessionLogManager::GetManager();
    log.ClearEntries();
    WGLWnd::ProbeOpenGL();
    ASSERT_TRUE(XGLContext::IsGLAvail());
    auto entries = log.FindEntries("OpenGL Version: ");
    ASSERT_EQ(entries.size(), 1u);
    const XString report = entries[0].text;
    EXPECT_TRUE(report.Contains(XString("OpenGL Version: ") + XGLContext::GetVersionStr() + ".  ")) << report;
    EXPECT_TRUE(report.Contains(XString("Renderer: ") + XGLContext::GetVendorStr() + " " + XGLContext::GetRendererStr()));
    EXPECT_EQ(report.Contains("3D textures"), texture3D) << report;
    EXPECT_EQ(XGLContext::Is3DTexturingSupported(), texture3D);
    EXPECT_EQ(report.Contains("fragment programs"), fragmentPrograms);
    EXPECT_EQ(report.Contains("vertex buffer objects"), vertexBuffers);
    EXPECT_FALSE(report.Contains("hardware stereo"));
    if (multiTexture) {
        EXPECT_GT(XGLContext::GetTextureUnitCount(), 1u);
        EXPECT_TRUE(report.Contains(XString("multi-texturing with %1 texture units")
                                        .Replace(int64_t(XGLContext::GetTextureUnitCount()))));
    }
    EXPECT_GT(XGLContext::GetGLVersion(), 1.0);
    EXPECT_FALSE(OpenGLIsLoaded()) << "the probe kept OpenGL loaded";
    EXPECT_EQ(XGLContext::MakeFeatureList(false, false, false, false, 0, false, false), XString("None."));

    setenv("KESTRIN_GL_LIBRARY", "libKestrinNoSuchGL.so.1", 1);
    log.ClearEntries();
    WGLWnd::ProbeOpenGL();
    unsetenv("KESTRIN_GL_LIBRARY");
    EXPECT_FALSE(XGLContext::IsGLAvail());
    EXPECT_FALSE(XGLContext::Is3DTexturingSupported());
    EXPECT_FALSE(XGLContext::IsMultitexturingSupported());
    EXPECT_EQ(log.FindEntries("OpenGL is not available").size(), 1u);
    EXPECT_TRUE(log.FindEntries("OpenGL Version").empty());
}
