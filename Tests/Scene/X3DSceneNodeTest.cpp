// The scene graph through a recording device: transforms, frame order, passes,
// culling, attachments, refused edits, locking and unwinding.
#include "XDeviceFixture.h"
#include "XLoggingSceneNode.h"

#include "X3DSceneNodeDepthStateAttachment.h"
#include "X3DSceneNodeFillStateAttachment.h"
#include "X3DTextureAttachment.h"
#include "XStopThreadException.h"
#include "XTexture2D.h"
#include "XThread.h"

#include <atomic>
#include <functional>
#include <numbers>
#include <thread>

namespace {
using Calls = std::vector<std::string>;
const XMatrix_4x4<float> kIdentity;

class SceneNodeTest : public DeviceTest {
protected:
    // One frame as the renderer makes it: geometry from the root, then every pass.
    void Frame(X3DSceneNode& inRoot, const XSceneRenderState& inState = XSceneRenderState())
    {
        XSceneRenderState state = inState;
        inRoot.UpdateGeometry(kIdentity, state);
        for (uint32_t pass = 0; pass < inRoot.GetSceneRenderPassCount(); ++pass) {
            state.SetRenderPass(pass);
            inRoot.Render(gc, state);
        }
    }
    XAssertRecorder asserts;
    XJournal journal;
};

TEST(SceneNodeTransform, ScalesThenRotatesThenTranslatesThenFollowsTheParent)
{
    const auto halfTurnZ = XQuaternion::MakeFromAxisAngle(XMathVectorF3(0, 0, 1), std::numbers::pi);
    const auto quarterTurnX = XQuaternion::MakeFromAxisAngle(XMathVectorF3(1, 0, 0), std::numbers::pi / 2);
    struct Case {
        const char* name;
        XMathVectorF3 position, scale;
        XQuaternion rotation;
        XMathVectorF3 point, expected;
    };
    const Case cases[] = {
        {"all three", {1, 0, 0}, {2, 2, 2}, halfTurnZ, {1, 0, 0}, {-1, 0, 0}},
        {"scale per axis before a turn", {0, 0, 0}, {1, 3, 1}, quarterTurnX, {0, 1, 0}, {0, 0, 3}},
        {"translation last", {0, 5, 0}, {2, 2, 2}, quarterTurnX, {0, 0, 1}, {0, 3, 0}},
        {"identity", {0, 0, 0}, {1, 1, 1}, XQuaternion::kIdentity, {4, 5, 6}, {4, 5, 6}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        X3DSceneNode node;
        node.SetScale(c.scale);
        node.SetRotation(c.rotation);
        node.SetPosition(c.position);
        EXPECT_TRUE(node.GetLocalTransform().TransformPoint(c.point).IsNearlyEqual(c.expected, 1e-5f));
    }
    // Under a parent the local transform applies first; bounds hold the whole subtree.
    X3DSceneNode parent, child;
    parent.SetPosition({10, 0, 0});
    parent.SetScale({2, 2, 2});
    child.SetPosition({0, 0, 3});
    parent.AddChild(child);
    parent.UpdateGeometry(kIdentity, XSceneRenderState());
    EXPECT_TRUE(child.GetWorldTransform().TransformPoint({0, 0, 0}).IsNearlyEqual({10, 0, 6}, 1e-5f));
    EXPECT_EQ(parent.GetWorldBounds(), XBoundingBox(XMathVectorF3(9, -1, -1), XMathVectorF3(11, 1, 7)));
}

TEST_F(SceneNodeTest, AttachmentsWrapChildrenWhichDrawBeforeTheirParent)
{
    XLoggingSceneNode root(journal, "root"), a(journal, "a"), b(journal, "b"), hidden(journal, "hidden");
    root.AddAttachment(*new XLoggingAttachment(journal, "first"));
    root.AddAttachment(*new XLoggingAttachment(journal, "second"));
    a.AddAttachment(*new XLoggingAttachment(journal, "a's"));
    hidden.AddAttachment(*new XLoggingAttachment(journal, "hidden's"));
    hidden.SetVisible(false);
    root.AddChild(a);
    root.AddChild(hidden);
    root.AddChild(b);
    Frame(root);
    EXPECT_EQ(journal.Take(), (Calls{"first pre", "second pre", "a's pre", "a self 0", "a's post", "b self 0", "root self 0",
                                   "second post", "first post"}));
    EXPECT_TRUE(root.HasRenderedSinceUpdate());
    EXPECT_FALSE(hidden.HasRenderedSinceUpdate());
    root.UpdateGeometry(kIdentity, XSceneRenderState());
    EXPECT_FALSE(root.HasRenderedSinceUpdate());
}

TEST_F(SceneNodeTest, ATreeRunsAsManyPassesAsItsHungriestNodeAndOthersDrawInTheFirstOnly)
{
    XLoggingSceneNode root(journal, "root"), once(journal, "once"), thrice(journal, "thrice", 3);
    root.AddChild(once);
    once.AddChild(thrice);
    EXPECT_EQ(root.GetSceneRenderPassCount(), 3u);
    Frame(root);
    EXPECT_EQ(journal.Take(), (Calls{"thrice self 0", "once self 0", "root self 0", "thrice self 1", "thrice self 2"}));
}

TEST_F(SceneNodeTest, ACulledSubtreeStillRunsItsAttachments)
{
    XLoggingSceneNode root(journal, "root"), child(journal, "child");
    root.AddAttachment(*new XLoggingAttachment(journal, "root's"));
    root.AddChild(child);
    root.SetCullChildrenAgainstFrustum(true);
    struct Case {
        const char* name;
        XMathVectorF3 position;
        Calls expected;
    };
    // The default camera at (0, 0, 2) looks down -z at the origin.
    const Case cases[] = {
        {"in view", {0, 0, 0}, {"root's pre", "child self 0", "root self 0", "root's post"}},
        {"behind the camera", {0, 0, 10}, {"root's pre", "root's post"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        root.SetPosition(c.position);
        Frame(root);
        EXPECT_EQ(journal.Take(), c.expected);
    }
}

TEST_F(SceneNodeTest, StateAttachmentsCallTheDeviceOnlyForAChangeAndPutItBack)
{
    XTexture2D* texture = new XTexture2D(gc, 4, 4, X3DGC::kBGRA32);
    const X3DGC::XSamplerState linear{0, 0, 0, 1, 1};
    struct Case {
        const char* name;
        std::function<void(X3DGC&)> before;
        std::function<X3DSceneNodeAttachment*()> make;
        Calls expected;
    };
    const Case cases[] = {
        {"depth on, already on", [](X3DGC& g) { g.SetDepthTestEnabled(true); },
         [] { return new X3DSceneNodeDepthStateAttachment(true); }, {"SetWorld", "SetWorld"}},
        {"depth on, off before", [](X3DGC& g) { g.SetDepthTestEnabled(false); },
         [] { return new X3DSceneNodeDepthStateAttachment(true); },
         {"SetWorld", "SetDepthTestEnabled 1", "SetDepthTestEnabled 0", "SetWorld"}},
        {"wireframe, solid before", [](X3DGC&) {}, [] { return new X3DSceneNodeFillStateAttachment(X3DGC::kFillWireframe); },
         {"SetWorld", "SetFillMode 1", "SetFillMode 0", "SetWorld"}},
        {"solid, already solid", [](X3DGC&) {}, [] { return new X3DSceneNodeFillStateAttachment(X3DGC::kFillSolid); },
         {"SetWorld", "SetWorld"}},
        {"texture on an empty unit", [](X3DGC&) {}, [&] { return new X3DTextureAttachment(2, texture, linear); },
         {"SetWorld", "AttachTexture 2 min 1 sampler 0", "UnattachTexture 2", "SetWorld"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.before(gc);
        X3DSceneNode node;
        node.AddAttachment(*c.make());
        node.UpdateGeometry(kIdentity, XSceneRenderState());
        Taken();
        node.Render(gc, XSceneRenderState());
        EXPECT_EQ(Taken(), c.expected);
    }
    EXPECT_EQ(gc.GetTexture(2), nullptr);
    texture->Destroy(gc);
}

TEST_F(SceneNodeTest, RefusedEditsAreReportedAndChangeNothing)
{
    X3DSceneNode root, child, grandchild, other;
    root.AddChild(child);
    child.AddChild(grandchild);
    auto* attachment = new X3DSceneNodeAttachment;
    child.AddAttachment(*attachment);
    X3DSceneNodeAttachment loose;
    struct Case {
        const char* name;
        std::function<void()> edit;
        const char* condition;
    };
    const Case cases[] = {
        {"a child of another", [&] { other.AddChild(grandchild); }, "!inNode.HasParent()"},
        {"the same child twice", [&] { root.AddChild(child); }, "!itsChildren.DoesContain( &inNode )"},
        {"itself", [&] { other.AddChild(other); }, "!IsSelfOrAncestor( inNode )"},
        {"its own ancestor", [&] { grandchild.AddChild(root); }, "!IsSelfOrAncestor( inNode )"},
        {"removing a stranger", [&] { root.RemoveChild(grandchild); }, "iter != itsChildren.end()"},
        {"the same attachment twice", [&] { child.AddAttachment(*attachment); }, "!itsAttachments.DoesContain( &inAttachment )"},
        {"another node's attachment", [&] { other.AddAttachment(*attachment); }, "itsHost == 0"},
        {"removing an attachment not there", [&] { root.RemoveAttachment(loose); }, "iter != itsAttachments.end()"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        asserts.Clear();
        c.edit();
        EXPECT_TRUE(asserts.Has(c.condition, "X-Platform/X3DSceneNode"));
        EXPECT_EQ(root.GetChildren(), XPtrVector<X3DSceneNode>{&child});
        EXPECT_EQ(child.GetChildren(), XPtrVector<X3DSceneNode>{&grandchild});
        EXPECT_EQ(grandchild.GetParent(), &child);
        EXPECT_FALSE(root.HasParent() || other.HasParent() || other.HasChildren());
        EXPECT_EQ(attachment->GetHost(), &child);
        EXPECT_EQ(child.GetAttachmentCount() + other.GetAttachmentCount(), 1u);
    }
    // The unchanged tree is still drawn, once per node.
    root.UpdateGeometry(kIdentity, XSceneRenderState());
    root.Render(gc, XSceneRenderState());
    EXPECT_TRUE(grandchild.HasRenderedSinceUpdate());
}

TEST_F(SceneNodeTest, LeavesAreFoundDepthFirstInChildOrder)
{
    X3DSceneNode root, a, a1, a2, b, c, c1;
    EXPECT_TRUE(root.GetLeafNodes().empty());
    for (auto [parent, child] : {std::pair{&root, &a}, {&a, &a1}, {&a, &a2}, {&root, &b}, {&root, &c}, {&c, &c1}})
        parent->AddChild(*child);
    EXPECT_EQ(root.GetLeafNodes(), (XPtrVector<X3DSceneNode>{&a1, &a2, &b, &c1}));
    EXPECT_EQ(c.GetLeafNodes(), XPtrVector<X3DSceneNode>{&c1});
}

TEST_F(SceneNodeTest, UnlockReleasesExactlyWhatLockTook)
{
    X3DSceneNode root, kept, removed, added;
    root.AddChild(kept);
    root.AddChild(removed);
    root.Lock();
    root.Lock(); // nested, as an editor calling a helper that locks again
    root.RemoveChild(removed);
    root.AddChild(added);
    root.Unlock();
    root.Unlock();
    // Another thread can take every node, so none is still held (else this would hang).
    std::thread([&] {
        for (X3DSceneNode* node : {&root, &kept, &removed, &added})
            node->SetVisible(true);
    }).join();
    EXPECT_EQ(asserts.GetCount(), 0u);
    root.Unlock();
    EXPECT_TRUE(asserts.Has("Unlock() after Lock()"));
}

TEST_F(SceneNodeTest, AFailureOrACancellationMidFrameUnwindsDeviceState)
{
    struct Case {
        const char* name;
        bool cancel; // else the second child throws
    };
    for (const Case& c : {Case{"throwing child", false}, Case{"cancelled thread", true}}) {
        SCOPED_TRACE(c.name);
        XLoggingSceneNode root(journal, "root"), first(journal, "first"), second(journal, "second");
        root.AddAttachment(*new X3DSceneNodeFillStateAttachment(X3DGC::kFillWireframe));
        root.AddAttachment(*new X3DSceneNodeDepthStateAttachment(true));
        root.AddAttachment(*new XLoggingAttachment(journal, "root's"));
        root.SetPosition({1, 2, 3});
        root.AddChild(first);
        root.AddChild(second);
        first.itsStopsItsThread = c.cancel;
        second.itsThrows = !c.cancel;
        root.UpdateGeometry(kIdentity, XSceneRenderState());
        bool stopped = false, failed = false;
        XThread thread([&] {
            try {
                root.Render(gc, XSceneRenderState());
            } catch (const XStopThreadException&) {
                stopped = true;
            } catch (const XException&) {
                failed = true;
            }
        });
        thread.Start();
        thread.Join();
        EXPECT_EQ(stopped, c.cancel);
        EXPECT_EQ(failed, !c.cancel);
        EXPECT_EQ(gc.GetFillMode(), X3DGC::kFillSolid);
        EXPECT_FALSE(gc.GetDepthTestEnabled());
        EXPECT_EQ(gc.GetWorld(), kIdentity);
        const Calls expected = c.cancel ? Calls{"root's pre", "first self 0", "root's post"}
                                        : Calls{"root's pre", "first self 0", "second self 0", "root's post"};
        EXPECT_EQ(journal.Take(), expected);
    }
}

TEST_F(SceneNodeTest, RefreshesReachTheRootAndEditsBesideARenderingThreadNeitherDeadlockNorRace)
{
    XLoggingSceneNode root(journal, "root");
    X3DSceneNode branch, leaf;
    root.AddChild(branch);
    branch.AddChild(leaf);
    leaf.RefreshScene(true);
    branch.RefreshScene(false);
    EXPECT_EQ(journal.Take(), (Calls{"root refresh 1", "root refresh 0"}));
    std::atomic<bool> done{false};
    std::atomic<int> frames{0};
    std::thread renderer([&] {
        while (!done) {
            root.Lock();
            Frame(root);
            root.Unlock();
            journal.Take();
            ++frames;
        }
    });
    std::vector<std::unique_ptr<X3DSceneNode>> extra;
    for (int i = 0; i < 300; ++i) {
        leaf.RefreshScene(i % 2 == 0);
        leaf.SetPosition({float(i % 7), 0, 0});
        extra.push_back(std::make_unique<X3DSceneNode>());
        branch.AddChild(*extra.back());
        if (extra.size() > 16) { // a sanitizer's deadlock detector follows at most 64 held locks
            branch.RemoveChild(*extra.front());
            extra.erase(extra.begin());
        }
        (void)branch.GetWorldBounds();
        if (i % 50 == 0)
            while (frames.load() < i / 50)
                std::this_thread::yield();
    }
    done = true;
    renderer.join();
    EXPECT_GT(frames.load(), 0);
    EXPECT_EQ(asserts.GetCount(), 0u);
}

TEST_F(SceneNodeTest, BoxesGoOutInOneLineDrawAndTheDefinitionComesBack)
{
    const X3DGC::XVertexDefinition textured = XVertexTypes::XVertexPositionTexture::GetDefinition();
    gc.SetVertexDefinition(textured);
    Taken();
    const XVector<XBoundingBox> boxes(3, XBoundingBox(XMathVectorF3(0, 0, 0), XMathVectorF3(1, 1, 1)));
    X3DSceneNode::BatchRenderBoxes(gc, boxes, {XARGB32Colour::kGreen});
    EXPECT_EQ(Taken(), (Calls{"SetVertexDefinition", "DrawUserPrimitives", "SetVertexDefinition"}));
    EXPECT_EQ(gc.GetVertexDefinition(), textured);
}
} // namespace
