// The scene's graph, the visibility rules of its decorations, the scale caption, and
// a renderer module's own scene.
#include "VolumeSceneTestSupport.h"
#include "WGLWnd.h"
#include "XGLVolumeScene.h"

#include <dlfcn.h>
#include <functional>
#include <gtest/gtest.h>

using namespace VolumeSceneTest;

TEST(XGLVolumeScene, GraphHasTheTransformChainAndDecorationsInOrder)
{
    XGLVolumeScene scene;
    const XPtrVector<XGLRenderable>& queue = scene.GetTransformQueue();
    const XGLRenderable* chain[] = {&scene.GetWorldTransform(), &scene.GetTransform1(), &scene.GetTransform2(),
                                    &scene.GetTransform3(),     &scene.GetTransform4(), &scene.GetVolumeTransform()};
    ASSERT_EQ(queue.size(), std::size(chain));
    for (size_t i = 0; i < queue.size(); ++i)
        EXPECT_EQ(queue[i], chain[i]) << "queue entry " << i;

    struct XEdge {
        XGLRenderable& parent;
        unsigned long index;
        const XGLRenderable* child;
    };
    const XEdge edges[] = {
        {scene, 0, &scene.GetWorldTransform()},
        {scene, 1, &scene.GetTimeGroup()},
        {scene.GetWorldTransform(), 0, &scene.GetFloor()},
        {scene.GetWorldTransform(), 1, &scene.GetTransform1()},
        {scene.GetTransform1(), 0, &scene.GetTransform2()},
        {scene.GetTransform2(), 0, &scene.GetTransform3()},
        // The ball comes first under transform 3, before the rest of the chain.
        {scene.GetTransform3(), 0, &scene.GetBall()},
        {scene.GetTransform3(), 1, &scene.GetTransform4()},
        {scene.GetTransform4(), 0, &scene.GetVolumeTransform()},
        {scene.GetVolumeTransform(), 0, &scene.GetUnitCube()},
        {scene.GetVolumeTransform(), 1, &scene.GetOrientator()},
        {scene.GetUnitCube(), 0, &scene.GetScaleGroup()},
        {scene.GetScaleGroup(), 0, &scene.GetScaleCaption()},
        {scene.GetScaleGroup(), 1, &scene.GetScaleGraph()},
        {scene.GetTimeGroup(), 0, &scene.GetTimeDisplay()},
    };
    for (const XEdge& e : edges)
        EXPECT_EQ(e.parent.GetChild(e.index), e.child) << "child " << e.index << " of " << &e.parent;
}

TEST(XGLVolumeScene, ScaleAndCaptionVisibilityRules)
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

    scene.SetScaleColour(XARGB32Colour(255, 10, 20, 30));
    EXPECT_EQ(scene.GetScaleCaption().GetColour(), XARGB32Colour(255, 10, 20, 30));
    EXPECT_EQ(scene.GetScaleColour(), XARGB32Colour(255, 10, 20, 30));
}

TEST(XGLVolumeScene, CalibrateScaleWritesTheUnitLengthIntoTheCaption)
{
    XGLVolumeScene scene;
    // The longest calibrated side (100 × 0.5 µm) is one unit.
    scene.CalibrateScale(0.5f, 0.5f, 2.0f, X3DRect(0, 0, 0, 100, 50, 20));
    EXPECT_EQ(scene.GetScaleCaption().GetText(), "1 Unit = 50.0 \xC2\xB5m");
}

TEST(XGLVolumeScene, ResetReturnsEveryTransformToIdentity)
{
    XGLVolumeScene scene;
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
        std::function<void(XGLVolumeScene&, bool)> show;
        bool shownAtFirst;
        bool needsTheBox;
    };
    const XDecoration decorations[] = {
        {"floor", [](XGLVolumeScene& s, bool b) { s.ShowFloor(b); }, true, false},
        {"orientator", [](XGLVolumeScene& s, bool b) { s.ShowOrientator(b); }, true, false},
        {"ball", [](XGLVolumeScene& s, bool b) { s.ShowBall(b); }, false, false},
        {"time stamp",
         [](XGLVolumeScene& s, bool b) {
             s.SetVolumeSequenceMode(b);
             s.ShowTimestamp(b);
         },
         false, false},
        {"scale",
         [](XGLVolumeScene& s, bool b) {
             s.ShowScale(b);
             s.ShowScaleCalibration(b);
         },
         false, true},
    };
    WGLWnd window(200, 150);
    XGLVolumeScene scene;
    const X3DRect box(0, 0, 0, 100, 50, 20);
    scene.CalibrateScale(1.0f, 1.0f, 1.0f, box);
    XMatrixProbe volume;
    scene.GetUnitCube().AddChild(volume);
    window.AddChild(scene);
    auto picture = [&window] { return std::unique_ptr<XVolume>(window.RenderToVolume()); };

    const auto fresh = picture();
    for (const XDecoration& d : decorations)
        d.show(scene, false);
    const auto bare = picture();
    for (const XDecoration& d : decorations) {
        d.show(scene, true);
        EXPECT_EQ(CountDifferences(*bare, *picture()) > 0, !d.needsTheBox) << d.name;
        d.show(scene, false);
    }
    EXPECT_EQ(volume.renderCount, 0) << "the volume was drawn without a box";

    // A new scene shows just the decorations that start shown.
    for (const XDecoration& d : decorations)
        d.show(scene, d.shownAtFirst);
    EXPECT_EQ(CountDifferences(*fresh, *picture()), 0);

    scene.GetUnitCube().SetFitRect(box);
    decorations[4].show(scene, true);
    EXPECT_GT(CountDifferences(*fresh, *picture()), 0) << "the scale did not show with the box";
    EXPECT_GT(volume.renderCount, 0);
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
        // Through the base, as the renderer calls them: the module's caption follows the
        // scale, and its floor stays at or below 0.5.
        scene->ShowScaleCalibration(false);
        scene->ShowScale(true);
        EXPECT_TRUE(scene->IsScaleCalibrationVisible());
        scene->SetFloorPosition(-2.0f);
        EXPECT_FLOAT_EQ(scene->GetFloorPosition(), 0.5f);
        scene->SetFloorPosition(2.0f);
        EXPECT_FLOAT_EQ(scene->GetFloorPosition(), 2.0f);
    }
    dlclose(module);
}
