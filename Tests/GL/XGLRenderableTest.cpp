// The renderable tree: structure, drawing order and where things land on screen.
#include "GLTestScene.h"
#include "WGLWnd.h"
#include "XAssertRecorder.h"
#include "XGLContextLock.h"
#include "XGLEnableAttachment.h"

#include <gtest/gtest.h>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

using TestPicture::PixelAt;

TEST(XGLRenderable, ChildrenAndParentsStayInStep)
{
    XGLRenderable a, b, c1, c2;
    a.AddChild(c1);
    a.AddChild(c2);
    auto* shared = new XGLRenderable;
    shared->SetAutoDelete(true);
    a.AddChild(*shared, 99); // past the end: appended
    EXPECT_EQ(a.GetChild(2), shared);
    b.AddChild(*shared);
    ASSERT_EQ(shared->GetParents().size(), 2u);

    // Auto-delete: kept while one parent remains, deleted with the last.
    a.RemoveChild(*shared);
    EXPECT_EQ(a.GetChildren().size(), 2u);
    ASSERT_EQ(b.GetChildren().size(), 1u);
    b.RemoveChild(*shared); // deletes it; the sanitizer build would see a leak otherwise
    EXPECT_TRUE(b.GetChildren().empty());

    XAssertRecorder recorder;
    EXPECT_EQ(a.GetChild(5), nullptr);
    EXPECT_TRUE(recorder.Has("pos < itsChildren.size()", "X-Platform/XGLRenderable"));

    // A node that ends leaves its parents and children.
    XGLRenderable child;
    {
        XGLRenderable middle;
        a.AddChild(middle);
        middle.AddChild(child);
    }
    EXPECT_EQ(a.GetChildren().size(), 2u);
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

TEST(XGLRenderable, ContextsAreFoundOncePerPathAndRedrawRequestsClimbToThem)
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
    EXPECT_TRUE(XGLRenderable().GetContexts().empty());

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
    leaf.RemoveAttachment(attachment);
    EXPECT_EQ(attachment->GetRenderable(), nullptr);
    delete attachment;
    window.RemoveChild(left);
    window.RemoveChild(right);
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

// In the orthographic frame of a 200 × 200 window one scene unit spans 100 pixels,
// x grows to the right and y grows downwards (row 0 at the top of the picture).
TEST(XGLRenderable, NodesLandWhereTheirMatricesSayAndHiddenOnesDrawNothing)
{
    WGLWnd window(200, 200);
    window.SetProjectionMode(XGLContext::kOrthographic);
    // A 0.3 × 0.1 bar, turned 90° about z (so 0.1 wide, 0.3 tall), doubled, and moved
    // to (0.5, 0.25): 0.2 wide and 0.6 tall, x 0.4..0.6, y -0.05..0.55.
    XQuadRenderable bar(XARGB32Colour::kGreen, 0.15, 0.05);
    bar.SetTranslation(0.5, 0.25, 0.0);
    XGLMatrix quarterTurn;
    quarterTurn.RotateZ(90);
    bar.SetRotation(quarterTurn);
    bar.SetScale(2.0);
    // A child at (-0.5, 0) under a parent turned 90° about z ends up at (0, -0.5).
    XGLRenderable parent;
    parent.SetRotation(quarterTurn);
    XQuadRenderable child(XARGB32Colour::kGreen, 0.1, 0.1);
    child.SetTranslation(-0.5, 0.0, 0.0);
    parent.AddChild(child);
    // A hidden group with a quad at (-0.5, -0.5).
    XGLRenderable hidden;
    XQuadRenderable hiddenQuad(XARGB32Colour::kWhite, 0.1, 0.1);
    hiddenQuad.SetTranslation(-0.5, -0.5, 0.0);
    hidden.AddChild(hiddenQuad);
    hidden.SetVisible(false);
    for (XGLRenderable* node : {static_cast<XGLRenderable*>(&bar), &parent, &hidden})
        window.AddChild(*node);
    {
        XGLContextLock lock(window);
        GLint depthBefore = 0, depthAfter = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
        hidden.Render(hidden);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
        EXPECT_EQ(depthAfter, depthBefore) << "a hidden node left the matrix stack changed";
    }
    std::unique_ptr<XVolume> picture(window.RenderToVolume());
    TestPicture::SavePNG(*picture, "XGLRenderable-transformed");
    const auto at = [&](double inX, double inY) {
        return PixelAt(*picture, int(std::lround((inX + 1.0) * 100.0)), int(std::lround((inY + 1.0) * 100.0)));
    };
    const auto isGreen = [&](double inX, double inY) { return at(inX, inY) == XARGB32Colour::kGreen; };
    EXPECT_TRUE(isGreen(0.5, 0.25));
    EXPECT_TRUE(isGreen(0.45, -0.0));
    EXPECT_TRUE(isGreen(0.55, 0.5));
    EXPECT_FALSE(isGreen(0.35, 0.25)) << "too wide: the turn was lost";
    EXPECT_FALSE(isGreen(0.65, 0.25));
    EXPECT_FALSE(isGreen(0.5, -0.1));
    EXPECT_FALSE(isGreen(0.5, 0.6)) << "too tall: the scale was lost";
    EXPECT_FALSE(isGreen(0.0, 0.0)) << "the translation was lost";
    EXPECT_TRUE(isGreen(0.0, -0.5)) << "the parent's turn did not reach the child";
    EXPECT_FALSE(isGreen(-0.5, 0.0));
    EXPECT_EQ(at(-0.5, -0.5).GetPacked(), 0x00000000u) << "the hidden quad was drawn";
    hidden.SetVisible(true);
    picture.reset(window.RenderToVolume());
    EXPECT_EQ(at(-0.5, -0.5), XARGB32Colour::kWhite);
    for (XGLRenderable* node : {static_cast<XGLRenderable*>(&bar), &parent, &hidden})
        window.RemoveChild(*node);
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
