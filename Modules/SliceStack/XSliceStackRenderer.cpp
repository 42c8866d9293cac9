#include "XSliceStackRenderer.h"

#include "XDataVolume.h"
#include "XDataVolumeSequence.h"
#include "XException.h"
#include "XGLContextLock.h"
#include "XSampleDB.h"
#include "XSliceStackModels.h"
#include "XSliceStackStrategy.h"
#include "XTime.h"

#include <algorithm>

XSliceStackRenderer::XSliceStackRenderer(XVolumeRenderingViewProtocol& inView) : XGLVolumeRenderer(inView)
{
    itsVolume.SetFrameHook([this] { FollowSample(); });
    GetVolumeScene().GetUnitCube().AddChild(itsVolume);
}

XSliceStackRenderer::~XSliceStackRenderer()
{
    GetVolumeScene().GetUnitCube().RemoveChild(itsVolume);
    // Texture and program names belong to the window's context: free them there.
    try {
        XGLContextLock lock(GetWindow());
        itsVolume.ForgetGL();
    } catch (const XException&) {
        // The context cannot be made current: its names are gone with it.
    }
}

uint32_t XSliceStackRenderer::GetRendererID() const { return XSliceStackStrategy::kRendererID; }

void XSliceStackRenderer::ApplyActivationState(uint32_t inState, bool)
{
    itsActivationState = inState;
    if (inState & kShowVolumeFrame)
        GetVolumeScene().GetUnitCube().ShowVolumeFrame();
    else
        GetVolumeScene().GetUnitCube().HideVolumeFrame();
    Render(false);
}

void XSliceStackRenderer::GetSupportedModels(uint32_t, XVector<XChannelShaderModel>& outModels)
{
    XSliceStackModels::GetSupportedModels(outModels);
}

XVolumeRendererBase::XChannelShaderModel XSliceStackRenderer::GetDefaultModel(uint32_t)
{
    return XSliceStackModels::kDefaultModel;
}

void XSliceStackRenderer::GetShaderModelPropertyInfo(XChannelShaderModel inModel, XShaderModelProperty inProperty,
                                                     XShaderModelPropertyInfo& outInfo)
{
    XSliceStackModels::GetPropertyInfo(inModel, inProperty, outInfo);
}

void XSliceStackRenderer::GetShaderModelProperties(XChannelShaderModel inModel,
                                                   XVector<XShaderModelProperty>& outProperties)
{
    XSliceStackModels::GetProperties(inModel, outProperties);
}

void XSliceStackRenderer::SetSampleIDSelf() { LoadSample(); }

void XSliceStackRenderer::SetCurrentTimepointSelf() { LoadSample(); }

void XSliceStackRenderer::SetChannelShadeSpecificationSelf(const XChannelShadeSpecification& inShading)
{
    const uint32_t channel = inShading.GetChannel();
    if (channel >= 1 && channel <= itsVolume.GetChannelCount())
        itsVolume.GetChannel(channel - 1).SetShading(XSliceStackModels::Completed(inShading));
    Render(false);
}

void XSliceStackRenderer::LoadSample()
{
    const uint32_t id = GetSampleID();
    std::shared_ptr<const XDataSample> sample;
    if (id != 0) {
        const XSampleDB::XSnapshot snapshot = XSampleDB::GetDB().GetSnapshot(id);
        sample = snapshot.sample;
        itsSampleGeneration = snapshot.generation;
    }
    ReadSample(sample.get());
    Render(false);
}

void XSliceStackRenderer::FollowSample()
{
    const uint32_t id = GetSampleID();
    if (id == 0)
        return;
    // The shading lives in the base; bring the channels in line with it.
    for (size_t c = 0; c < std::min(itsShadeSpecs.size(), itsVolume.GetChannelCount()); ++c)
        itsVolume.GetChannel(c).SetShading(XSliceStackModels::Completed(itsShadeSpecs[c]));
    XSampleDB& db = XSampleDB::GetDB();
    if (!db.HasSample(id)) {
        // The sample was removed under the view: show nothing rather than fail every frame.
        ReadSample(nullptr);
        itsSampleGeneration = 0;
        return;
    }
    const XSampleDB::XSnapshot snapshot = db.GetSnapshot(id);
    if (snapshot.generation == itsSampleGeneration)
        return;
    itsSampleGeneration = snapshot.generation;
    ReadSample(snapshot.sample.get());
}

void XSliceStackRenderer::ReadSample(const XDataSample* inSample)
{
    XGLVolumeScene& scene = GetVolumeScene();
    XGLFitVolumeToUnitCube& cube = scene.GetUnitCube();
    const uint32_t timepoint = GetCurrentTimepoint();
    const auto* sequence = dynamic_cast<const XDataVolumeSequence*>(inSample);
    const auto* single = dynamic_cast<const XDataVolume*>(inSample);
    if (inSample && !sequence && !single)
        throw XException(XException::kWrongSampleType,
                         XString("data set %1 holds no volume the slice-stack renderer can show; choose a volume or a "
                                 "volume sequence")
                             .Replace(int64_t(GetSampleID())));

    size_t channels = 0;
    double calibration[3] = {1.0, 1.0, 1.0};
    XTime time;
    if (sequence) {
        channels = sequence->GetChannelCount();
        itsVolume.SetChannelCount(channels);
        const uint32_t t = std::clamp<uint32_t>(timepoint, 1, sequence->GetTimepointCount());
        for (uint32_t c = 1; c <= channels; ++c) {
            std::shared_ptr<const XVolume> volume = sequence->GetVolume(c, t);
            std::unique_ptr<XImageRenderer> display(sequence->GetRendererCopy(c));
            const XImageRenderer shown =
                display ? *display : (volume ? volume->GetEffectiveImageRenderer() : XImageRenderer());
            itsVolume.GetChannel(c - 1).SetSource(std::move(volume), shown);
        }
        calibration[0] = sequence->GetCalibrationX();
        calibration[1] = sequence->GetCalibrationY();
        calibration[2] = sequence->GetCalibrationZ();
        time = sequence->GetTimepointTimeFromStart(t);
        scene.SetVolumeSequenceMode(sequence->GetTimepointCount() > 1);
    } else if (single) {
        channels = 1;
        itsVolume.SetChannelCount(1);
        const std::shared_ptr<const XVolume>& volume = single->GetVolume();
        std::unique_ptr<XImageRenderer> display(single->GetRendererCopy());
        const XImageRenderer shown = display ? *display : (volume ? volume->GetEffectiveImageRenderer() : XImageRenderer());
        itsVolume.GetChannel(0).SetSource(volume, shown);
        if (volume) {
            calibration[0] = volume->GetCalibrationX();
            calibration[1] = volume->GetCalibrationY();
            calibration[2] = volume->GetCalibrationZ();
        }
        scene.SetVolumeSequenceMode(false);
    } else {
        itsVolume.SetChannelCount(0);
        scene.SetVolumeSequenceMode(false);
    }
    for (size_t c = 0; c < std::min(itsShadeSpecs.size(), channels); ++c)
        itsVolume.GetChannel(c).SetShading(XSliceStackModels::Completed(itsShadeSpecs[c]));

    // The first channel's box is the volume's; the calibration gives it its true proportions.
    const X3DRect box = channels > 0 ? itsVolume.GetChannel(0).GetBounds() : X3DRect();
    cube.SetFitRect(box);
    cube.SetSecondaryXScaling(calibration[0]);
    cube.SetSecondaryYScaling(calibration[1]);
    cube.SetSecondaryZScaling(calibration[2]);
    if (!box.IsEmpty())
        scene.CalibrateScale(float(calibration[0]), float(calibration[1]), float(calibration[2]), box);
    scene.SetTimestampTime(time);
}
