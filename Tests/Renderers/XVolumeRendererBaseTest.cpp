#include "X3DRegion.h"
#include "XAssertRecorder.h"
#include "XCamera.h"
#include "XDBGetSample.h"
#include "XDataVolume.h"
#include "XDataVolumeSequence.h"
#include "XErrorCode.h"
#include "XException.h"
#include "XImageRenderer.h"
#include "XSampleDB.h"
#include "XSamplePrefsSaver.h"
#include "XTime.h"
#include "XVolumeRendererBase.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

namespace {
using Model = XChannelShadeSpecification::XChannelShaderModel;
using Property = XChannelShadeSpecification::XShaderModelProperty;

constexpr Property kBrightness = XChannelShadeSpecification::kBrightness;
constexpr Property kOpacity = XChannelShadeSpecification::kOpacity;

// A renderer whose drawing state is plain members, so the base's logic can be watched.
class RecordingRenderer : public XVolumeRendererBase {
public:
    int activations = 0;
    int sampleChanges = 0;
    std::vector<XChannelShadeSpecification> applied;
    std::vector<uint32_t> stereoCalls;
    bool supportsStereo1 = false;
    bool supportsBall = true;
    XVolumeRendererTool lastToolSelf = kToolNone;

    bool orientator = false, scale = true, calibration = false, floor = false, ball = true, timestamp = true;
    XARGB32Colour scaleColour{255, 1, 2, 3}, floorColour{255, 4, 5, 6}, background{255, 7, 8, 9}, timeColour{255, 10, 11, 12};
    float floorPosition = -3;
    XFloorPattern floorPattern = 7;
    XStereoMode stereo = kStereoMono;

    uint32_t GetRendererID() const override { return 1; }
    void ApplyActivationState(uint32_t, bool) override { ++activations; }
    uint32_t GetActivationState() override { return 0; }
    bool IsOrientatorVisible() const override { return orientator; }
    void ShowOrientator(bool v) override { orientator = v; }
    bool IsScaleVisible() const override { return scale; }
    void ShowScale(bool v) override { scale = v; }
    XARGB32Colour GetScaleColour() override { return scaleColour; }
    void SetScaleColour(XARGB32Colour c) override { scaleColour = c; }
    bool IsScaleCalibrationVisible() const override { return calibration; }
    void ShowScaleCalibration(bool v) override { calibration = v; }
    bool IsFloorVisible() const override { return floor; }
    void ShowFloor(bool v) override { floor = v; }
    void SetFloorPosition(float p) override { floorPosition = p; }
    float GetFloorPosition() const override { return floorPosition; }
    void SetFloorPattern(XFloorPattern p) override { floorPattern = p; }
    XFloorPattern GetFloorPattern() override { return floorPattern; }
    void SetFloorColour(const XARGB32Colour& c) override { floorColour = c; }
    XARGB32Colour GetFloorColour() override { return floorColour; }
    bool IsBallVisible() const override { return ball; }
    void ShowBall(bool v) override { ball = v; }
    X3DMatrix ScreenToBallPoint(const XPoint&) override { return X3DMatrix::ZeroMatrix(3, 1); }
    XARGB32Colour GetBackgroundColour() override { return background; }
    void SetBackgroundColour(XARGB32Colour c) override { background = c; }
    bool IsTimestampVisible() const override { return timestamp; }
    void ShowTimestamp(bool v) override { timestamp = v; }
    void SetTimestampTime(const XTime&) override {}
    XARGB32Colour GetTimestampColour() override { return timeColour; }
    void SetTimestampColour(const XARGB32Colour& c) override { timeColour = c; }
    void GetVolumeWorldMatrix(X3DMatrix&) const override {}
    void SetVolumeWorldMatrix(const X3DMatrix&) override {}
    void GetScreenToVolumeMatrix(X3DMatrix&) const override {}
    void GetCamera(XCamera&) const override {}
    void SetCamera(const XCamera&) override {}
    void SetWorldScale(float) override {}
    float GetWorldScale() const override { return 1; }
    void SetSceneScale(float) override {}
    float GetSceneScale() const override { return 1; }
    void GetTransformMatrix(XMatrixTransformID, X3DMatrix&) const override {}
    void SetTransformMatrix(XMatrixTransformID, const X3DMatrix&) override {}
    bool IsStereoModeSupported(XStereoMode m) const override { return m == 0 || (m == 1 && supportsStereo1); }
    XStereoMode GetStereoMode() override { return stereo; }
    void SetStereoMode(XStereoMode m) override
    {
        stereoCalls.push_back(m);
        stereo = m;
    }
    void GetSupportedModels(uint32_t, XVector<Model>& out) override
    {
        out.push_back(XChannelShadeSpecification::kFluorescence);
        out.push_back(XChannelShadeSpecification::kMaximumIP);
    }
    Model GetDefaultModel(uint32_t) override { return XChannelShadeSpecification::kMaximumIP; }
    void GetShaderModelPropertyInfo(Model, Property p, XShaderModelPropertyInfo& info) override
    {
        info.property = p;
        info.name = p == kBrightness ? "Brightness" : "Opacity";
        info.minimum = 0;
        info.maximum = p == kBrightness ? 4.0f : 1.0f;
        info.defaultValue = p == kBrightness ? 1.0f : 0.5f;
    }
    void GetShaderModelProperties(Model, XVector<Property>& out) override
    {
        out.push_back(kBrightness);
        out.push_back(kOpacity);
    }
    void Render(XARGB32Volume&) override {}
    void Render(bool) override {}
    XVolume* RenderView() override { return nullptr; }
    bool IsToolSupported(XVolumeRendererTool t) const override { return t != kToolOther && (t != kToolBall || supportsBall); }

    // Exposed for the tests of the protected steps.
    using XVolumeRendererBase::RestoreChannelShadeSpecification;
    using XVolumeRendererBase::GetChannelPlaceholder;

protected:
    void SetSampleIDSelf() override { ++sampleChanges; }
    void SetChannelShadeSpecificationSelf(const XChannelShadeSpecification& s) override { applied.push_back(s); }
    void SetToolSelf(XVolumeRendererTool t) override { lastToolSelf = t; }
};

// The scene settings the preferences keep, in the order orientator, scale, calibration,
// floor, ball, timestamp, scale colour, floor colour, background, time colour, floor
// position, floor pattern.
auto SceneSettings(const RecordingRenderer& r)
{
    return std::tuple(r.orientator, r.scale, r.calibration, r.floor, r.ball, r.timestamp, r.scaleColour, r.floorColour,
                      r.background, r.timeColour, r.floorPosition, r.floorPattern);
}

uint32_t AddSequence(uint32_t inChannels, uint32_t inTimepoints)
{
    auto sequence = std::make_unique<XDataVolumeSequence>(inChannels, inTimepoints);
    for (uint32_t c = 1; c <= inChannels; ++c) {
        sequence->SetChannelName(c, XString("Ch%1").Replace(static_cast<int64_t>(c)));
        XImageRenderer renderer;
        renderer.SetColour(c == 1 ? XARGB32Colour::kRed : XARGB32Colour::kGreen);
        renderer.SetEmissionLevel(c == 1 ? 1 : 0);
        sequence->SetRenderer(c, renderer);
    }
    return XSampleDB::GetDB().AddSample(std::move(sequence));
}
} // namespace

namespace {
// A sample that is neither a sequence nor a volume.
class OtherSample : public XDataSample {
public:
    XVersion GetSampleType() const override { return XVersion(XDataSample::kSampleType); }
    std::unique_ptr<XDataSample> Clone() const override { return std::make_unique<OtherSample>(*this); }
};
} // namespace

TEST(VolumeRendererBase, ChannelsTimepointsAndNamesFollowTheSample)
{
    RecordingRenderer r;
    // Without a sample: one channel, one timepoint.
    EXPECT_EQ(r.GetChannelCount(), 1u);
    EXPECT_EQ(r.GetTimepointCount(), 1u);
    EXPECT_EQ(r.GetChannelName(1), "1");
    EXPECT_EQ(r.GetChannelPlaceholder(1), 0u);
    EXPECT_EQ(r.GetModelName(XChannelShadeSpecification::kMaximumIP), "Maximum IP");

    const uint32_t id = AddSequence(3, 5);
    r.SetSampleID(id);
    EXPECT_EQ(r.GetChannelCount(), 3u);
    EXPECT_EQ(r.GetTimepointCount(), 5u);
    EXPECT_EQ(r.GetChannelName(2), "Ch2");
    EXPECT_NE(r.GetChannelPlaceholder(2), id);
    EXPECT_EQ(r.GetChannelType(1), 1u);
    EXPECT_EQ(r.GetChannelType(2), 2u);

    // A plain volume is one channel and its own placeholder.
    auto volume = std::make_unique<XDataVolume>();
    volume->SetRenderer(XImageRenderer());
    const uint32_t plain = XSampleDB::GetDB().AddSample(std::move(volume));
    r.SetSampleID(plain);
    EXPECT_EQ(r.GetChannelCount(), 1u);
    EXPECT_EQ(r.GetChannelPlaceholder(1), plain);

    const uint32_t other = XSampleDB::GetDB().AddSample(std::make_unique<OtherSample>());
    EXPECT_EQ(CodeOf([&] { r.SetSampleID(other); }), 2210) << "a sample that is not a volume must be refused";
}

TEST(VolumeRendererBase, SampleSetupWaitsForActivationAndChannelsAreChecked)
{
    XAssertRecorder recorder;
    RecordingRenderer r;
    const uint32_t id = AddSequence(2, 1);
    r.SetSampleID(id);
    EXPECT_EQ(r.sampleChanges, 0);
    XChannelShadeSpecification shading;
    r.GetChannelShadeSpecification(2, shading);
    EXPECT_EQ(shading.GetShaderModel(), XChannelShadeSpecification::kMaximumIP);
    EXPECT_EQ(shading.GetColour(), XARGB32Colour::kGreen);
    EXPECT_FLOAT_EQ(shading.GetProperty(kOpacity), 0.5f);

    // Out of range: reported, and nothing is read or applied.
    shading.SetChannel(99);
    r.GetChannelShadeSpecification(0, shading);
    EXPECT_TRUE(recorder.Has("inChannel > 0", "X-Platform/XVolumeRendererBase"));
    EXPECT_EQ(shading.GetChannel(), 99u);
    r.SetChannelShadeSpecification(3, shading);
    EXPECT_TRUE(recorder.Has("inChannel <= itsShadeSpecs.size()"));
    EXPECT_TRUE(r.applied.empty());

    r.SetActive(true);
    r.SetActive(true);
    EXPECT_EQ(r.activations, 1);
    EXPECT_EQ(r.sampleChanges, 1);
    r.SetSampleID(id); // active now: applied at once
    EXPECT_EQ(r.sampleChanges, 2);
    r.SetActive(false);
    EXPECT_EQ(r.activations, 1);
}

TEST(VolumeRendererBase, ShadingStoredWithPlaceholderAndRestoredWithinRange)
{
    RecordingRenderer r;
    const uint32_t id = AddSequence(2, 1);
    r.SetSampleID(id);
    r.SetActive(true);

    XChannelShadeSpecification shading;
    r.GetChannelShadeSpecification(1, shading);
    shading.SetVisible(false);
    shading.SetShaderModel(XChannelShadeSpecification::kGlass); // no longer supported on restore
    shading.SetProperty(kBrightness, 9.0f);                     // above the maximum of 4
    shading.RemoveProperty(kOpacity);                           // missing: takes the default
    r.SetChannelShadeSpecification(1, shading);
    ASSERT_EQ(r.applied.size(), 1u);
    {
        XDBGetSample<XDataVolumeSequence> sample(id);
        EXPECT_TRUE(sample.Get().IsChannelHidden(1));
    }
    const uint32_t placeholder = r.GetChannelPlaceholder(1);
    EXPECT_TRUE(XSamplePrefsSaver(placeholder).EntryExists("VRShadeSpecs", "ChannelShadeSpec0"));

    r.RestoreChannelShadeSpecification(1);
    XChannelShadeSpecification restored;
    r.GetChannelShadeSpecification(1, restored);
    EXPECT_EQ(restored.GetShaderModel(), XChannelShadeSpecification::kMaximumIP);
    EXPECT_FLOAT_EQ(restored.GetProperty(kBrightness), 4.0f);
    EXPECT_FLOAT_EQ(restored.GetProperty(kOpacity), 0.5f);
    EXPECT_FALSE(restored.IsVisible()); // from the sample's hidden flag
    EXPECT_EQ(r.applied.size(), 2u);

    // Below the minimum clamps up.
    restored.SetShaderModel(XChannelShadeSpecification::kFluorescence);
    restored.SetProperty(kBrightness, -2.0f);
    restored.SetVisible(true);
    r.SetChannelShadeSpecification(1, restored);
    r.RestoreChannelShadeSpecifications();
    r.GetChannelShadeSpecification(1, restored);
    EXPECT_EQ(restored.GetShaderModel(), XChannelShadeSpecification::kFluorescence);
    EXPECT_FLOAT_EQ(restored.GetProperty(kBrightness), 0.0f);
    EXPECT_TRUE(restored.IsVisible());
}

namespace {
// Samples whose working copy cannot be made, so their hidden flag cannot be written.
class FragileVolume : public XDataVolume {
public:
    std::unique_ptr<XDataSample> Clone() const override
    {
        throw XException(XException::kBadArgument, "this test sample cannot be copied");
    }
};
class FragileSequence : public XDataVolumeSequence {
public:
    FragileSequence() : XDataVolumeSequence(1, 1) {}
    std::unique_ptr<XDataSample> Clone() const override
    {
        throw XException(XException::kBadArgument, "this test sample cannot be copied");
    }
};
} // namespace

TEST(VolumeRendererBase, HiddenFlagFailureStillStoresAndAppliesTheShading)
{
    const std::vector<std::pair<const char*, std::function<std::unique_ptr<XDataSample>()>>> samples = {
        {"sequence", [] { return std::make_unique<FragileSequence>(); }},
        {"plain volume", [] { return std::make_unique<FragileVolume>(); }},
    };
    for (const auto& [what, make] : samples) {
        SCOPED_TRACE(what);
        RecordingRenderer r;
        r.SetSampleID(XSampleDB::GetDB().AddSample(make()));
        r.SetActive(true);
        XChannelShadeSpecification shading;
        r.GetChannelShadeSpecification(1, shading);
        shading.SetVisible(false);
        EXPECT_NO_THROW(r.SetChannelShadeSpecification(1, shading));
        ASSERT_EQ(r.applied.size(), 1u);
        EXPECT_FALSE(r.applied[0].IsVisible());
        EXPECT_TRUE(XSamplePrefsSaver(r.GetChannelPlaceholder(1)).EntryExists("VRShadeSpecs", "ChannelShadeSpec0"));
    }
}

TEST(VolumeRendererBase, ScenePreferencesRoundTripAndDefaultWhenUnwritten)
{
    RecordingRenderer defaults;
    defaults.RestoreScenePrefs("Never Written Section", true);
    EXPECT_EQ(SceneSettings(defaults), std::tuple(true, false, true, true, false, false, XARGB32Colour::kWhite,
                                                  XARGB32Colour(255, 51, 51, 51), XARGB32Colour::kBlack,
                                                  XARGB32Colour::kWhite, 1.2f, 1u));
    EXPECT_EQ(defaults.stereo, 0u);

    const XString section = "Scene Round Trip";
    RecordingRenderer saved;
    saved.supportsStereo1 = true;
    saved.stereo = static_cast<XVolumeRendererBase::XStereoMode>(1);
    saved.SaveScenePrefs(section);
    RecordingRenderer restored;
    restored.supportsStereo1 = true;
    restored.scale = false;
    restored.ball = false;
    restored.RestoreScenePrefs(section, false);
    EXPECT_EQ(SceneSettings(restored), SceneSettings(saved));
    EXPECT_EQ(restored.stereoCalls, std::vector<uint32_t>{1});

    // A renderer without that stereo mode restores mono and does not call SetStereoMode.
    RecordingRenderer mono;
    mono.RestoreScenePrefs(section, false);
    EXPECT_TRUE(mono.stereoCalls.empty());
    EXPECT_EQ(mono.stereo, 0u);
}

TEST(VolumeRendererBase, ToolFallsBackToBallThenNoneAndMissingFeaturesAreReported)
{
    RecordingRenderer r;
    r.SetTool(XVolumeRendererBase::kToolPan);
    EXPECT_EQ(r.GetTool(), XVolumeRendererBase::kToolPan);
    r.SetTool(XVolumeRendererBase::kToolOther);
    EXPECT_EQ(r.GetTool(), XVolumeRendererBase::kToolBall);
    EXPECT_EQ(r.lastToolSelf, XVolumeRendererBase::kToolBall);
    r.supportsBall = false;
    r.SetTool(XVolumeRendererBase::kToolOther);
    EXPECT_EQ(r.GetTool(), XVolumeRendererBase::kToolNone);

    // What the base does not offer is reported.
    XAssertRecorder recorder;
    EXPECT_EQ(r.AddRegion(X3DRegion(), XARGB32Colour::kRed, false), 0u);
    EXPECT_TRUE(recorder.Has("DoesSupportRegions()", "X-Platform/XVolumeRendererBase"));

    r.SetLightPosition(XMathVectorF3(1, 2, 3));
    r.ResetView();
    EXPECT_FLOAT_EQ(r.GetLightPosition()[0], 0.5f);
    EXPECT_FLOAT_EQ(r.GetLightPosition()[1], -0.5f);
}
