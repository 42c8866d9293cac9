// The scene's graph, the visibility rules of its decorations and the scale caption.
#include "XGLDisableAttachment.h"
#include "XGLStaticTextAlignAttachment.h"
#include "XGLVolumeScene.h"
#include "XOpenGL.h"

#include <gtest/gtest.h>

TEST(XGLVolumeScene, GraphHasTheTransformChainAndDecorationsInOrder)
{
    XGLVolumeScene scene;
    const XPtrVector<XGLRenderable>& queue = scene.GetTransformQueue();
    ASSERT_EQ(queue.size(), 6u);
    EXPECT_EQ(queue[0], &scene.GetWorldTransform());
    EXPECT_EQ(queue[1], &scene.GetTransform1());
    EXPECT_EQ(queue[2], &scene.GetTransform2());
    EXPECT_EQ(queue[3], &scene.GetTransform3());
    EXPECT_EQ(queue[4], &scene.GetTransform4());
    EXPECT_EQ(queue[5], &scene.GetVolumeTransform());

    EXPECT_EQ(scene.GetChild(0), &scene.GetWorldTransform());
    EXPECT_EQ(scene.GetChild(1), &scene.GetTimeGroup());
    EXPECT_EQ(scene.GetWorldTransform().GetChild(0), static_cast<XGLRenderable*>(&scene.GetFloor()));
    EXPECT_EQ(scene.GetWorldTransform().GetChild(1), &scene.GetTransform1());
    for (size_t i = 0; i + 1 < 5; ++i)
        EXPECT_TRUE(queue[i + 1]->GetParents().DoesContain(queue[i])) << "link " << i;
    // The ball comes first under transform 3, before the rest of the chain.
    EXPECT_EQ(scene.GetTransform3().GetChild(0), static_cast<XGLRenderable*>(&scene.GetBall()));
    EXPECT_EQ(scene.GetTransform3().GetChild(1), &scene.GetTransform4());
    EXPECT_EQ(scene.GetVolumeTransform().GetChild(0), static_cast<XGLRenderable*>(&scene.GetUnitCube()));
    EXPECT_EQ(scene.GetVolumeTransform().GetChild(1), static_cast<XGLRenderable*>(&scene.GetOrientator()));
    EXPECT_EQ(scene.GetUnitCube().GetChild(0), &scene.GetScaleGroup());
    EXPECT_EQ(scene.GetScaleGroup().GetChild(0), static_cast<XGLRenderable*>(&scene.GetScaleCaption()));
    EXPECT_EQ(scene.GetScaleGroup().GetChild(1), static_cast<XGLRenderable*>(&scene.GetScaleGraph()));
    EXPECT_EQ(scene.GetTimeGroup().GetChild(0), static_cast<XGLRenderable*>(&scene.GetTimeDisplay()));

    EXPECT_TRUE(scene.IsFloorVisible());
    EXPECT_FALSE(scene.IsBallVisible());
    EXPECT_FALSE(scene.GetScaleGroup().IsVisible());
    EXPECT_FALSE(scene.IsScaleCalibrationVisible());
    EXPECT_FALSE(scene.GetTimeGroup().IsVisible());
    EXPECT_FALSE(scene.IsTimestampVisible());
    EXPECT_EQ(scene.GetUnitCube().GetFitStyle(), 1u);
    EXPECT_EQ(scene.GetScaleColour().GetPacked(), 0xFFFFFFFFu);
}

TEST(XGLVolumeScene, CaptionCarriesItsAttachmentsPositionAndColour)
{
    XGLVolumeScene scene;
    XGLStaticText& caption = scene.GetScaleCaption();
    // Two state switches and the alignment; removing each hands it back to us.
    EXPECT_EQ(caption.GetAttachmentCount(), 3u);
    EXPECT_EQ(caption.GetAlignment(), 0); // the alignment lives in the attachment, not the text
    EXPECT_DOUBLE_EQ(caption.GetXPosition(), 0.0);
    EXPECT_DOUBLE_EQ(caption.GetYPosition(), 10.0);
    EXPECT_DOUBLE_EQ(caption.GetZPosition(), 0.0);
    EXPECT_EQ(caption.GetColour().GetPacked(), 0xFFFFFFFFu);
    EXPECT_DOUBLE_EQ(caption.GetFont().GetSize(), XGLStaticText(12.0, 1, 0).GetFont().GetSize());

    scene.SetScaleColour(XARGB32Colour(255, 10, 20, 30));
    EXPECT_EQ(caption.GetColour().GetPacked(), 0xFF0A141Eu);
    EXPECT_EQ(scene.GetScaleColour().GetPacked(), 0xFF0A141Eu);
}

TEST(XGLVolumeScene, ScaleAndCaptionVisibilityRules)
{
    XGLVolumeScene scene;
    // Hidden at first, and said to be.
    EXPECT_FALSE(scene.IsScaleVisible());
    scene.ShowScaleCalibration(true);
    EXPECT_TRUE(scene.IsScaleCalibrationVisible());
    // The caption alone stays hidden with its group.
    EXPECT_FALSE(scene.GetScaleGroup().IsVisible());
    EXPECT_FALSE(scene.IsScaleVisible());

    scene.ShowScale(true);
    EXPECT_TRUE(scene.IsScaleVisible());
    EXPECT_TRUE(scene.GetScaleGroup().IsVisible());
    scene.ShowScale(false);
    EXPECT_FALSE(scene.GetScaleGroup().IsVisible());
    EXPECT_TRUE(scene.IsScaleCalibrationVisible());

    scene.SetVolumeSequenceMode(true);
    EXPECT_TRUE(scene.GetTimeGroup().IsVisible());
    EXPECT_FALSE(scene.IsTimestampVisible());
    scene.ShowTimestamp(true);
    EXPECT_TRUE(scene.IsTimestampVisible());

    scene.SetFloorPosition(-0.75f);
    EXPECT_FLOAT_EQ(scene.GetFloorPosition(), -0.75f);
    scene.SetFloorChecked(false);
    EXPECT_FALSE(scene.IsFloorChecked());
}

TEST(XGLVolumeScene, CalibrateScaleWritesTheUnitLengthIntoTheCaption)
{
    XGLVolumeScene scene;
    const X3DRect box(0, 0, 0, 100, 50, 20);
    scene.CalibrateScale(0.5f, 0.5f, 2.0f, box);
    const double unit = scene.GetScaleGraph().GetUnitLength();
    EXPECT_GT(unit, 0.0);
    const XString expected = XString("1 Unit = %1 \xC2\xB5m").Replace(XString::FromFloat64(unit, 1));
    EXPECT_EQ(scene.GetScaleCaption().GetText(), expected);
    EXPECT_TRUE(scene.GetScaleCaption().GetText().Contains("\xC2\xB5m"));
    // The longest calibrated side (100 × 0.5 µm) is one unit.
    EXPECT_TRUE(scene.GetScaleCaption().GetText().Contains("= 50.0 "));
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
