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

namespace {
// A strategy sorted before the slice stack that may not be the default.
class XEarlierStrategy : public XVolumeRendererStrategy {
public:
    uint32_t GetSortOrder() override { return 5; }
    uint32_t GetID() override { return 5; }
    XString GetName() override { return "Earlier"; }
    void AttachRenderer(XVolumeRenderingViewProtocol&) override {}
    bool IsDefaultCandidate() override { return false; }
    bool IsPrefPropertySupported(XPrefProperty) override { return false; }
};

using SliceStackModuleTest = XSliceStackFixture;
} // namespace

TEST_F(SliceStackModuleTest, RegistersFromItsFolderBecomesTheDefaultAndOffersItsModels)
{
    bool loaded = false;
    for (const XString& path : XModuleManager::GetModuleManager().GetModulePaths())
        loaded = loaded || path.Contains("KestrinSliceStack");
    EXPECT_TRUE(loaded) << "the module manager should have loaded the module from its folder";

    itsRegistry->RegisterRendererStrategy(new XEarlierStrategy);
    ASSERT_EQ(itsRegistry->GetRendererCount(), 2u);
    XVolumeRendererStrategy* strategy = itsRegistry->FindStrategy(kSliceStackID);
    ASSERT_NE(strategy, nullptr);
    EXPECT_EQ(strategy->GetName(), "Slice Stack");
    EXPECT_EQ(strategy->GetSortOrder(), 100u);
    EXPECT_EQ(itsRegistry->GetStrategyList()[1], strategy) << "sorted after key 5";
    // No stored default: the first candidate in key order wins.
    XUserPrefsSaver().Write32("Volume Renderer Manager", "Default Renderer ID", 0);
    EXPECT_EQ(itsRegistry->GetDefaultRendererStrategy(), strategy);
    for (uint32_t p = XVolumeRendererStrategy::kPrefStereo; p <= XVolumeRendererStrategy::kPrefBall; ++p)
        EXPECT_TRUE(strategy->IsPrefPropertySupported(XVolumeRendererStrategy::XPrefProperty(p)));

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
    EXPECT_FALSE(renderer.IsModelSupported(1, XShading::kIsosurface));

    // Their ranges and defaults are what XSliceStackModels completes a specification with.
    for (const auto model : {XShading::kFluorescence, XShading::kMaximumIP}) {
        XVector<XVolumeRendererBase::XShaderModelPropertyInfo> infos;
        renderer.GetShaderModelSupportedProperties(model, infos);
        ASSERT_EQ(infos.size(), 2u) << model;
        EXPECT_EQ(infos[0].property, XShading::kBrightness);
        EXPECT_EQ(infos[1].property, XShading::kOpacity);
    }
    XVector<XVolumeRendererBase::XShaderModelPropertyInfo> infos;
    renderer.GetShaderModelSupportedProperties(XShading::kIsosurface, infos);
    EXPECT_TRUE(infos.empty());
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
