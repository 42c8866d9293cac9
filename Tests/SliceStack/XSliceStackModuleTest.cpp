// The module as the host finds it: loaded from its folder, registered on the
// application's initialisation, and the renderer's side of the contract.
#include "SliceStackTestSupport.h"
#include "TestPicture.h"
#include "XDataVolume.h"
#include "XGLVolumeRenderer.h"
#include "XGrey16Volume.h"
#include "XModuleManager.h"
#include "XSampleDB.h"
#include "XUserPrefsSaver.h"
#include "XVolumeRendererStrategy.h"

using namespace SliceStackTest;

using SliceStackModuleTest = XSliceStackFixture;

// The registry's ordering and default choice are its own suite's; here, what the module
// brings to them.
TEST_F(SliceStackModuleTest, RegistersFromItsFolderBecomesTheDefaultAndOffersItsModels)
{
    bool loaded = false;
    for (const XString& path : XModuleManager::GetModuleManager().GetModulePaths())
        loaded = loaded || path.Contains("KestrinSliceStack");
    EXPECT_TRUE(loaded) << "the module manager should have loaded the module from its folder";
    XVolumeRendererStrategy* strategy = itsRegistry->FindStrategy(kSliceStackID);
    ASSERT_NE(strategy, nullptr);
    EXPECT_TRUE(strategy->IsDefaultCandidate());
    XUserPrefsSaver().Write32("Volume Renderer Manager", "Default Renderer ID", 0);
    WOffscreenRendererView view(64, 48);
    itsRegistry->AttachDefaultRenderer(view);
    ASSERT_NE(view.GetVolumeRenderer(), nullptr);
    EXPECT_EQ(view.GetVolumeRenderer()->GetRendererID(), kSliceStackID);

    // Fluorescence and maximum projection, each with brightness and opacity.
    XVolumeRendererBase& renderer = *view.GetVolumeRenderer();
    using XShading = XChannelShadeSpecification;
    XVector<XVolumeRendererBase::XChannelShaderModel> models;
    renderer.GetSupportedModels(1, models);
    EXPECT_EQ(models, (XVector<XVolumeRendererBase::XChannelShaderModel>{XShading::kFluorescence, XShading::kMaximumIP}));
    EXPECT_EQ(renderer.GetDefaultModel(1), XShading::kFluorescence);

    // Brightness and opacity for both models, none for a model it does not draw.
    for (const auto model : {XShading::kFluorescence, XShading::kMaximumIP, XShading::kIsosurface}) {
        XVector<XVolumeRendererBase::XShaderModelPropertyInfo> infos;
        renderer.GetShaderModelSupportedProperties(model, infos);
        EXPECT_EQ(infos.size(), model == XShading::kIsosurface ? 0u : 2u) << model;
    }
}

// A sample with no channels' worth of voxels, or none at all, draws nothing and
// does not fail; a removed sample empties the view at the next frame.
TEST_F(SliceStackModuleTest, ShowsWhatTheSampleHoldsAndNothingWithoutOne)
{
    Show(0);
    EXPECT_EQ(TestPicture::CountNonBackground(Picture()), 0);
    const uint32_t id = AddBoxSample(X3DRect(0, 0, 0, 16, 16, 8), {{XARGB32Colour(255, 255, 255, 255), {X3DRect(2, 2, 2, 14, 14, 6)}}});
    itsRenderer->SetSampleID(id);
    EXPECT_GT(TestPicture::CountNonBackground(Picture()), 100);
    XSampleDB::GetDB().RemoveSample(id);
    EXPECT_EQ(TestPicture::CountNonBackground(Picture()), 0);

    // A sample of one plain volume is one channel, in its image renderer's colour and
    // display range.
    auto volume = std::make_shared<XGrey16Volume>(X3DRect(0, 0, 0, 32, 32, 16));
    for (int32_t z = 4; z < 12; ++z)
        for (int32_t y = 8; y < 24; ++y)
            for (int32_t x = 8; x < 24; ++x)
                volume->SetVoxel(x, y, z, uint16_t(3000));
    auto sample = std::make_unique<XDataVolume>(volume);
    sample->SetRenderer(XImageRenderer(XARGB32Colour(255, 0, 0, 255), 0.0, 3000.0));
    itsRenderer->SetSampleID(XSampleDB::GetDB().AddSample(std::move(sample)));
    EXPECT_EQ(itsRenderer->GetChannelCount(), 1u);
    const XARGB32Volume picture = Picture();
    const XARGB32Colour centre = TestPicture::PixelAt(picture, 80, 60);
    EXPECT_GT(centre.blue, 200);
    EXPECT_EQ(centre.red, 0);
    EXPECT_EQ(centre.green, 0);
}

// The scene follows the sample: the unit cube fits the volume's box in its true
// proportions, the scale is calibrated, and the time stamp shows the time since the
// start of the sequence.
TEST_F(SliceStackModuleTest, LaysTheSceneOutForTheSampleAndTimepoint)
{
    const X3DRect bounds(0, 0, 0, 40, 30, 10);
    const uint32_t id = AddBoxSample(bounds, {{XARGB32Colour(255, 255, 255, 255), {X3DRect(), X3DRect()}}}, 0.5, 0.5, 2.0);
    auto* renderer = dynamic_cast<XGLVolumeRenderer*>(&Show(id));
    ASSERT_NE(renderer, nullptr);
    XGLVolumeScene& scene = renderer->GetVolumeScene();
    EXPECT_EQ(scene.GetUnitCube().GetFitRect(), bounds);
    EXPECT_EQ(scene.GetUnitCube().GetSecondaryXScaling(), 0.5);
    EXPECT_EQ(scene.GetUnitCube().GetSecondaryZScaling(), 2.0);
    EXPECT_TRUE(scene.GetTimeGroup().IsVisible()) << "a sequence of two timepoints";
    EXPECT_TRUE(scene.GetScaleCaption().GetText().Contains("1 Unit = "));
    EXPECT_EQ(scene.GetTimeDisplay().GetTime().GetSeconds(), 0.0);
    renderer->SetCurrentTimepoint(2);
    EXPECT_EQ(scene.GetTimeDisplay().GetTime().GetSeconds(), 10.0);

    const uint32_t single = AddBoxSample(bounds, {{XARGB32Colour(255, 255, 255, 255), {X3DRect()}}});
    renderer->SetSampleID(single);
    EXPECT_FALSE(scene.GetTimeGroup().IsVisible()) << "one timepoint";
    EXPECT_EQ(scene.GetUnitCube().GetSecondaryZScaling(), 1.0);
}
