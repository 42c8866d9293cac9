// Every decoration leaves the GL state as it found it, whatever that state was, even
// when its drawing fails half way.
#include "DecorationTestSupport.h"
#include "XGLBoundingGraph.h"
#include "XGLContextLock.h"
#include "XGLDisableAttachment.h"
#include "XGLException.h"
#include "XARGB32Volume.h"
#include "XGLFloor.h"
#include "XGLImagePlane.h"
#include "XGLInteractiveBall.h"
#include "XGLOrientator.h"
#include "XGLStaticText.h"
#include "XGLTickBall.h"
#include "XGLTimeDisplay.h"
#include "XGLWirePlane.h"
#include "XGLXYZ.h"

#include <functional>
#include <gtest/gtest.h>

using namespace DecorationTest;

namespace {
// How a case's drawing ends: a failing one is made to fail by a GL error left pending
// before it starts, which its own error check finds, or fails by itself.
enum XEnding { kDraws, kFailsOnPendingError, kFails };

struct XDecoration {
    const char* name;
    std::function<std::unique_ptr<XGLRenderable>()> make;
    XEnding ending = kDraws;
};

// Fails as the node it is attached to starts drawing its own children.
class XFailingAttachment : public XGLAttachment {
public:
    void PreRender() override { throw XGLException(GL_INVALID_OPERATION); }
};

std::unique_ptr<XGLRenderable> MakeImagePlane()
{
    auto plane = std::make_unique<XGLImagePlane>();
    XARGB32Volume picture(30, 20, 1);
    plane->SetVolume(&picture);
    return plane;
}

std::unique_ptr<XGLRenderable> MakeText()
{
    auto text = std::make_unique<XGLStaticText>(12.0, 1, 0);
    text->SetText("Scale");
    return text;
}

const XDecoration kDecorations[] = {
    {"CheckedFloor", [] { return std::make_unique<XGLFloor>(10.0, 10.0, 1.2, 0.4); }},
    {"PlainFloor",
     [] {
         return std::make_unique<XGLFloor>(10.0, 10.0, 1.2, 0.4, XARGB32Colour::kRed, XARGB32Colour::kBlue, false);
     }},
    {"ImagePlane", MakeImagePlane},
    {"WirePlane", [] { return std::make_unique<XGLWirePlane>(); }},
    {"TickBall", [] { return std::make_unique<XGLTickBall>(); }},
    {"InteractiveBall", [] { return std::make_unique<XGLInteractiveBall>(); }},
    {"TimeDisplay",
     [] {
         auto display = std::make_unique<XGLTimeDisplay>();
         display->SetTime(XTime(61.25));
         return display;
     }},
    {"Orientator", [] { return std::make_unique<XGLOrientator>(); }},
    {"XYZ", [] { return std::make_unique<XGLXYZ>(); }},
    {"StaticText", MakeText},
    {"BoundingGraph",
     [] {
         auto graph = std::make_unique<XGLBoundingGraph>();
         graph->CalibrateForDimension(10, 1.0, 1.0, 2.0, X3DRect(0, 0, 0, 30, 20, 10));
         graph->SetScale(0.02);
         return graph;
     }},
    // In the marker's own viewport and projection.
    {"FailingOrientator",
     [] {
         auto orientator = std::make_unique<XGLOrientator>();
         orientator->AddAttachment(new XFailingAttachment);
         return orientator;
     },
     kFails},
    {"FailingImagePlane", MakeImagePlane, kFailsOnPendingError},
    // As the scene's caption is: its attachments switch state around the text.
    {"FailingCaption",
     [] {
         std::unique_ptr<XGLRenderable> text = MakeText();
         text->AddAttachment(new XGLDisableAttachment(GL_LIGHTING));
         text->AddAttachment(new XGLDisableAttachment(GL_DEPTH_TEST));
         return text;
     },
     kFailsOnPendingError},
};

class XDecorationStateTest : public ::testing::TestWithParam<XDecoration> {};
} // namespace

TEST_P(XDecorationStateTest, LeavesTheStateAsItFoundIt)
{
    WGLWnd window(160, 160);
    std::unique_ptr<XGLRenderable> decoration = GetParam().make();
    XGLContextLock lock(window);
    window.SetUpProjection();
    // Once with every capability that decorations touch on, once with all off.
    for (bool on : {true, false}) {
        SCOPED_TRACE(on ? "capabilities on" : "capabilities off");
        for (GLenum capability : {GL_LIGHTING, GL_TEXTURE_2D, GL_CULL_FACE, GL_BLEND, GL_DEPTH_TEST})
            on ? glEnable(capability) : glDisable(capability);
        SetUnusualState(on);
        glMatrixMode(on ? GL_MODELVIEW : GL_PROJECTION);
        const XGLStateSnapshot before = XGLStateSnapshot::Take();
        if (GetParam().ending == kFailsOnPendingError)
            glEnable(GLenum(0xFFFF));
        if (GetParam().ending == kDraws)
            decoration->Render(*decoration);
        else
            EXPECT_THROW(decoration->Render(*decoration), XGLException);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        const XGLStateSnapshot after = XGLStateSnapshot::Take();
        EXPECT_EQ(before.Difference(after), "") << GetParam().name << " changed these";
        glMatrixMode(GL_MODELVIEW);
    }
}

INSTANTIATE_TEST_SUITE_P(Decorations, XDecorationStateTest, ::testing::ValuesIn(kDecorations),
                         [](const ::testing::TestParamInfo<XDecoration>& inInfo) { return inInfo.param.name; });
