// The scene's graph, the visibility rules of its decorations, the scale caption, and
// a renderer module's own scene.
#include "VolumeSceneTestSupport.h"
#include "WGLWnd.h"
#include "XGLVolumeScene.h"

#include <dlfcn.h>
#include <functional>
#include <gtest/gtest.h>

using namespace VolumeSceneTest;

namespace {
bool IsBeneath(const XGLRenderable& inNode, const XGLRenderable& inAncestor)
{
    for (const XGLRenderable* parent : inNode.GetParents())
        if (parent == &inAncestor || IsBeneath(*parent, inAncestor))
            return true;
    return false;
}
} // namespace

TEST(XGLVolumeScene, EachTransformMovesWhatHangsBeneathIt)
{
    XGLVolumeScene scene;
    const XPtrVector<XGLRenderable>& queue = scene.GetTransformQueue();
    const XGLRenderable* chain[] = {&scene.GetWorldTransform(), &scene.GetTransform1(), &scene.GetTransform2(),
                                    &scene.GetTransform3(),     &scene.GetTransform4(), &scene.GetVolumeTransform()};
    ASSERT_EQ(queue.size(), std::size(chain));
    // The innermost transform in the queue that moves each node; -1 for none.
    struct XRow {
        const char* name;
        const XGLRenderable& node;
        int innermost;
    };
    const XRow rows[] = {
        {"transform 1", scene.GetTransform1(), 0}, {"transform 4", scene.GetTransform4(), 3},
        {"floor", scene.GetFloor(), 0},           {"ball", scene.GetBall(), 3},
        {"orientator", scene.GetOrientator(), 5}, {"scale caption", scene.GetScaleCaption(), 5},
        {"time stamp", scene.GetTimeDisplay(), -1},
    };
    for (size_t i = 0; i < queue.size(); ++i) {
        EXPECT_EQ(queue[i], chain[i]) << "queue entry " << i;
        for (const XRow& r : rows)
            EXPECT_EQ(IsBeneath(r.node, *queue[i]), int(i) <= r.innermost) << r.name << " under entry " << i;
    }
    EXPECT_TRUE(IsBeneath(scene.GetScaleGraph(), scene.GetUnitCube()));
}

TEST(XGLVolumeScene, ScaleCaptionAndTimeGroupRulesAndReset)
{
    XGLVolumeScene scene;
    // The graph starts visible, but its group keeps it off screen until ShowScale.
    EXPECT_TRUE(scene.IsScaleVisible());
    EXPECT_FALSE(scene.GetScaleGroup().IsVisible());
    scene.ShowScaleCalibration(true);
    EXPECT_TRUE(scene.IsScaleCalibrationVisible());
    EXPECT_FALSE(scene.GetScaleGroup().IsVisible()) << "the caption alone showed its group";
    for (bool show : {true, false}) {
        scene.ShowScale(show);
        EXPECT_EQ(scene.IsScaleVisible(), show);
        EXPECT_EQ(scene.GetScaleGroup().IsVisible(), show);
        EXPECT_TRUE(scene.IsScaleCalibrationVisible()) << "the scale switched its caption";
    }

    scene.SetVolumeSequenceMode(true);
    EXPECT_TRUE(scene.GetTimeGroup().IsVisible());
    EXPECT_FALSE(scene.IsTimestampVisible()) << "the sequence mode showed the time stamp itself";

    // The longest calibrated side (100 × 0.5 µm) is one unit.
    scene.CalibrateScale(0.5f, 0.5f, 2.0f, X3DRect(0, 0, 0, 100, 50, 20));
    EXPECT_EQ(scene.GetScaleCaption().GetText(), "1 Unit = 50.0 \xC2\xB5m");
    scene.SetScaleColour(XARGB32Colour(255, 10, 20, 30));
    EXPECT_EQ(scene.GetScaleCaption().GetColour(), XARGB32Colour(255, 10, 20, 30));

    // Reset returns every transform to identity.
    for (XGLRenderable* node : scene.GetTransformQueue()) {
        node->SetScale(2.0);
        node->SetTranslation(1, 2, 3);
        XGLMatrix turn;
        turn.RotateX(30);
        node->SetRotation(turn);
    }
    scene.SetScale(3.0);
    scene.Reset();
    EXPECT_DOUBLE_EQ(scene.GetScale(), 1.0);
    for (XGLRenderable* node : scene.GetTransformQueue()) {
        EXPECT_DOUBLE_EQ(node->GetScale(), 1.0);
        EXPECT_DOUBLE_EQ(node->GetYTranslation(), 0.0);
        EXPECT_TRUE(static_cast<const X3DMatrix&>(node->GetRotation()) == X3DMatrix::UnitMatrix(4));
    }
}

TEST(XGLVolumeScene, DecorationsDrawBeforeTheVolumeHasABox)
{
    struct XDecoration {
        const char* name;
        void (XGLVolumeScene::*show)(bool);
        bool shownAtFirst;
        bool needsTheBox;
    };
    const XDecoration decorations[] = {
        {"floor", &XGLVolumeScene::ShowFloor, true, false},
        {"orientator", &XGLVolumeScene::ShowOrientator, true, false},
        {"ball", &XGLVolumeScene::ShowBall, false, false},
        {"time stamp", &XGLVolumeScene::ShowTimestamp, false, false},
        {"scale", &XGLVolumeScene::ShowScale, false, true},
    };
    WGLWnd window(200, 150);
    XGLVolumeScene scene;
    const X3DRect box(0, 0, 0, 100, 50, 20);
    scene.CalibrateScale(1.0f, 1.0f, 1.0f, box);
    window.AddChild(scene);
    auto picture = [&window] { return std::unique_ptr<XVolume>(window.RenderToVolume()); };

    const auto fresh = picture();
    scene.SetVolumeSequenceMode(true);
    for (const XDecoration& d : decorations)
        (scene.*d.show)(false);
    const auto bare = picture();
    for (const XDecoration& d : decorations) {
        (scene.*d.show)(true);
        EXPECT_EQ(CountDifferences(*bare, *picture()) > 0, !d.needsTheBox) << d.name;
        (scene.*d.show)(false);
    }

    // A new scene shows just the decorations that start shown.
    for (const XDecoration& d : decorations)
        (scene.*d.show)(d.shownAtFirst);
    EXPECT_EQ(CountDifferences(*fresh, *picture()), 0);

    scene.GetUnitCube().SetFitRect(box);
    scene.ShowScale(true);
    EXPECT_GT(CountDifferences(*fresh, *picture()), 0) << "the scale did not show with the box";
    window.RemoveChild(scene);
}

TEST(XGLVolumeScene, ARendererModuleOverridesItsOperations)
{
    void* module = dlopen(KESTRIN_TEST_SCENE_MODULE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    auto make = reinterpret_cast<XGLVolumeScene* (*)()>(dlsym(module, "KestrinTestMakeVolumeScene"));
    ASSERT_NE(make, nullptr) << dlerror();
    {
        const std::unique_ptr<XGLVolumeScene> scene(make());
        // Through the base, as the renderer calls it: the module's caption follows the scale.
        scene->ShowScaleCalibration(false);
        scene->ShowScale(true);
        EXPECT_TRUE(scene->IsScaleCalibrationVisible());
    }
    dlclose(module);
}
