// The renderable tree: structure, drawing order and where things land on screen.
#include "GLTestScene.h"
#include "WGLWnd.h"
#include "XAssertRecorder.h"
#include "XGLContextLock.h"
#include "XGLDisableAttachment.h"
#include "XGLEnableAttachment.h"

#include <gtest/gtest.h>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

using GLTest::PixelAt;

TEST(XGLRenderable, ChildrenAndParentsStayInStep)
{
    std::vector<std::string> log;
    XRecordingRenderable a(log, "a"), b(log, "b");
    XGLRenderable c1, c2;
    a.AddChild(c1);
    a.AddChild(c2);
    auto* shared = new XGLRenderable;
    shared->SetAutoDelete(true);
    a.AddChild(*shared, 99); // past the end: appended
    EXPECT_EQ(a.GetChild(2), shared);
    b.AddChild(*shared);
    ASSERT_EQ(shared->GetParents().size(), 2u);

    const int refreshes = a.itsRefreshCount;
    XGLRenderable stranger;
    a.RemoveChild(stranger);
    EXPECT_EQ(a.itsRefreshCount, refreshes) << "removing a non-child asked for a redraw";

    // Auto-delete: kept while one parent remains, deleted with the last.
    a.RemoveChild(*shared);
    EXPECT_EQ(a.GetChildren().size(), 2u);
    ASSERT_EQ(b.GetChildren().size(), 1u);
    b.RemoveChild(*shared); // deletes it; the sanitizer build would see a leak otherwise
    EXPECT_TRUE(b.GetChildren().empty());

    XAssertRecorder recorder;
    EXPECT_EQ(a.GetChild(5), nullptr);
    EXPECT_TRUE(recorder.Has("pos < itsChildren.size()", "X-Platform/XGLRenderable"));
}

TEST(XGLRenderable, DestroyingANodeDetachesItEverywhere)
{
    XGLRenderable parent, child;
    {
        XGLRenderable middle;
        parent.AddChild(middle);
        middle.AddChild(child);
    }
    EXPECT_TRUE(parent.GetChildren().empty());
    EXPECT_TRUE(child.GetParents().empty());
}

TEST(XGLRenderable, CopiesTakeValuesButNotThePlaceInTheGraph)
{
    XGLRenderable parent, original, child;
    parent.AddChild(original);
    original.AddChild(child);
    original.AddAttachment(new XGLEnableAttachment(GL_LIGHTING));
    original.SetTranslation(1, 2, 3);
    original.SetScale(4);
    original.SetVisible(false);
    original.GetRotation().RotateZ(30);
    {
        XGLRenderable copy(original);
        EXPECT_EQ(copy.GetXTranslation(), 1);
        EXPECT_EQ(copy.GetZTranslation(), 3);
        EXPECT_EQ(copy.GetScale(), 4);
        EXPECT_FALSE(copy.IsVisible());
        EXPECT_TRUE(copy.GetRotation().IsNearlyEqual(original.GetRotation()));
        EXPECT_TRUE(copy.GetParents().empty());
        EXPECT_TRUE(copy.GetChildren().empty());
        EXPECT_EQ(copy.GetAttachmentCount(), 0u);
    }
    // The copy's end must not have touched the original's graph or attachments.
    EXPECT_EQ(parent.GetChildren().size(), 1u);
    EXPECT_EQ(child.GetParents().size(), 1u);
    EXPECT_EQ(original.GetAttachmentCount(), 1u);
}

TEST(XGLRenderable, ContextsAreFoundOncePerPath)
{
    WGLWnd window(4, 4);
    XGLRenderable left, right, leaf;
    window.AddChild(left);
    window.AddChild(right);
    left.AddChild(leaf);
    right.AddChild(leaf);
    XPtrVector<XGLContext> contexts = leaf.GetContexts();
    ASSERT_EQ(contexts.size(), 2u);
    EXPECT_EQ(contexts[0], &window);
    EXPECT_EQ(contexts[1], &window);
    XGLRenderable orphan;
    EXPECT_TRUE(orphan.GetContexts().empty());
    window.RemoveChild(left);
    window.RemoveChild(right);
}

TEST(XGLRenderable, RedrawRequestsClimbToTheWindow)
{
    WGLWnd window(4, 4);
    XGLRenderable group, leaf;
    window.AddChild(group);
    group.AddChild(leaf);
    window.Redraw();
    EXPECT_FALSE(window.NeedsRedraw());
    leaf.SetTranslation(1, 0, 0); // setters do not ask
    EXPECT_FALSE(window.NeedsRedraw());
    leaf.RefreshScene(false);
    EXPECT_TRUE(window.NeedsRedraw());
    window.Redraw();
    XGLAttachment* attachment = new XGLEnableAttachment(GL_FOG);
    leaf.AddAttachment(attachment);
    EXPECT_TRUE(window.NeedsRedraw());
    window.Redraw();
    XGLAttachment unknown;
    leaf.RemoveAttachment(&unknown);
    EXPECT_TRUE(window.NeedsRedraw()) << "removing an unknown attachment still asks for a redraw";
    leaf.RemoveAttachment(attachment);
    EXPECT_EQ(attachment->GetRenderable(), nullptr);
    delete attachment;
    window.RemoveChild(group);
}

TEST(XGLRenderable, AttachmentsWrapChildrenAndSelfInOrder)
{
    WGLWnd window(8, 8);
    std::vector<std::string> log;
    XRecordingRenderable node(log, "node"), child(log, "child");
    node.AddAttachment(new XRecordingAttachment(log, "A"));
    node.AddAttachment(new XRecordingAttachment(log, "B"));
    node.AddChild(child);
    XGLContextLock lock(window);
    node.Render(node);
    const std::vector<std::string> expected = {"A.Pre", "B.Pre", "child.Self", "node.Self", "B.Post", "A.Post"};
    EXPECT_EQ(log, expected);
}

TEST(XGLRenderable, InvisibleNodesDrawNothingAndKeepTheStack)
{
    WGLWnd window(64, 64);
    window.SetProjectionMode(XGLContext::kOrthographic);
    XGLRenderable root;
    XQuadRenderable quad(XARGB32Colour::kWhite, 0.5, 0.5);
    root.AddChild(quad);
    window.AddChild(root);
    root.SetVisible(false);
    {
        XGLContextLock lock(window);
        GLint depthBefore = 0, depthAfter = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
        root.Render(root);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
        EXPECT_EQ(depthAfter, depthBefore);
    }
    std::unique_ptr<XVolume> picture(window.RenderToVolume());
    EXPECT_EQ(PixelAt(*picture, 32, 32).GetPacked(), 0x00000000u) << "the hidden quad was drawn";
    root.SetVisible(true);
    picture.reset(window.RenderToVolume());
    EXPECT_EQ(PixelAt(*picture, 32, 32), XARGB32Colour::kWhite);
    window.RemoveChild(root);
}

TEST(XGLRenderable, EnableAndDisableAttachmentsRestoreWhatTheyFound)
{
    WGLWnd window(8, 8);
    XGLContextLock lock(window);
    XGLEnableAttachment enable(GL_FOG);
    XGLDisableAttachment disable(GL_DITHER);
    for (bool wasOn : {true, false}) {
        wasOn ? glEnable(GL_FOG) : glDisable(GL_FOG);
        wasOn ? glDisable(GL_DITHER) : glEnable(GL_DITHER);
        enable.PreRender();
        disable.PreRender();
        EXPECT_TRUE(glIsEnabled(GL_FOG));
        EXPECT_FALSE(glIsEnabled(GL_DITHER));
        disable.PostRender();
        enable.PostRender();
        EXPECT_EQ(glIsEnabled(GL_FOG) != GL_FALSE, wasOn) << "fog was " << wasOn;
        EXPECT_EQ(glIsEnabled(GL_DITHER) != GL_FALSE, !wasOn) << "dither was " << !wasOn;
    }
}

// In the orthographic frame of a 200 × 200 window one scene unit spans 100 pixels,
// x grows to the right and y grows downwards (row 0 at the top of the picture).
class XGLTransformPixelTest : public ::testing::Test {
protected:
    XGLTransformPixelTest() : itsWindow(200, 200) { itsWindow.SetProjectionMode(XGLContext::kOrthographic); }
    static int Column(double inX) { return int(std::lround((inX + 1.0) * 100.0)); }
    static int Row(double inY) { return int(std::lround((inY + 1.0) * 100.0)); }
    bool IsQuad(const XVolume& inPicture, double inX, double inY)
    {
        return PixelAt(inPicture, Column(inX), Row(inY)) == XARGB32Colour::kGreen;
    }
    WGLWnd itsWindow;
};

TEST_F(XGLTransformPixelTest, TranslatedRotatedAndScaledQuadLandsWhereTheMatricesSay)
{
    // A 0.3 × 0.1 bar, turned 90° about z (so 0.1 wide, 0.3 tall), doubled, and moved to (0.5, 0.25).
    XQuadRenderable bar(XARGB32Colour::kGreen, 0.15, 0.05);
    bar.SetTranslation(0.5, 0.25, 0.0);
    XGLMatrix rotation;
    rotation.RotateZ(90);
    bar.SetRotation(rotation);
    bar.SetScale(2.0);
    itsWindow.AddChild(bar);
    std::unique_ptr<XVolume> picture(itsWindow.RenderToVolume());
    GLTest::SavePNG(*picture, "XGLRenderable-transformed-bar");
    ASSERT_EQ(picture->GetWidth(), 200);
    // Now 0.2 wide and 0.6 tall around (0.5, 0.25): x 0.4..0.6, y -0.05..0.55.
    EXPECT_TRUE(IsQuad(*picture, 0.5, 0.25));
    EXPECT_TRUE(IsQuad(*picture, 0.45, -0.0));
    EXPECT_TRUE(IsQuad(*picture, 0.55, 0.5));
    EXPECT_FALSE(IsQuad(*picture, 0.35, 0.25)) << "too wide: the turn was lost";
    EXPECT_FALSE(IsQuad(*picture, 0.65, 0.25));
    EXPECT_FALSE(IsQuad(*picture, 0.5, -0.1));
    EXPECT_FALSE(IsQuad(*picture, 0.5, 0.6)) << "too tall: the scale was lost";
    EXPECT_FALSE(IsQuad(*picture, 0.0, 0.0)) << "the translation was lost";
    itsWindow.RemoveChild(bar);
}

TEST_F(XGLTransformPixelTest, ParentTransformsApplyToChildren)
{
    // The child at (0.5, 0) under a parent turned 90° about z ends up at (0, 0.5).
    XGLRenderable parent;
    XGLMatrix rotation;
    rotation.RotateZ(90);
    parent.SetRotation(rotation);
    XQuadRenderable child(XARGB32Colour::kGreen, 0.1, 0.1);
    child.SetTranslation(0.5, 0.0, 0.0);
    parent.AddChild(child);
    itsWindow.AddChild(parent);
    std::unique_ptr<XVolume> picture(itsWindow.RenderToVolume());
    EXPECT_TRUE(IsQuad(*picture, 0.0, 0.5));
    EXPECT_FALSE(IsQuad(*picture, 0.5, 0.0));
    itsWindow.RemoveChild(parent);
}

namespace {
class XLockableNode : public XGLRenderable {
public:
    XMutex& GetMutex() { return itsMutex; }
};
} // namespace

TEST(XGLRenderable, RedrawRequestsDoNotHoldTheChildWhileWaitingForTheParent)
{
    // A drawing thread locks parent then child (top-down). A redraw request from the
    // child must not hold the child while it waits for the parent, or the two threads
    // wait for each other.
    XLockableNode parent, child;
    parent.AddChild(child);
    std::atomic<bool> parentHeld{false}, childTaken{false};
    std::thread drawer([&] {
        parent.GetMutex().Lock();
        parentHeld = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100)); // let the request reach the parent
        childTaken = child.GetMutex().Lock(2000);
        if (childTaken)
            child.GetMutex().Unlock();
        parent.GetMutex().Unlock();
    });
    while (!parentHeld)
        std::this_thread::yield();
    child.RefreshScene(false);
    drawer.join();
    EXPECT_TRUE(childTaken) << "the request held the child's lock while waiting for the parent";
    parent.RemoveChild(child);
}
