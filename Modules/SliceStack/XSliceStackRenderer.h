#pragma once
// The slice-stack volume renderer: each visible channel of the sample's current
// timepoint drawn as stacks of blended, textured planes (XSliceStackVolume) in the
// legacy volume scene. Models "Fluorescence" (emission and absorption) and
// "Maximum IP"; properties Brightness and Opacity.
#include "XGLVolumeRenderer.h"
#include "XSliceStackVolume.h"

#include <cstdint>

class XDataSample;

class XSliceStackRenderer : public XGLVolumeRenderer {
public:
    // Activation-state bits.
    static constexpr uint32_t kShowVolumeFrame = 1u << 1;

    explicit XSliceStackRenderer(XVolumeRenderingViewProtocol& inView);
    ~XSliceStackRenderer() override;

    uint32_t GetRendererID() const override;
    void ApplyActivationState(uint32_t inState, bool inFlag) override;
    uint32_t GetActivationState() override { return itsActivationState; }
    void GetSupportedModels(uint32_t inChannel, XVector<XChannelShaderModel>& outModels) override;
    XChannelShaderModel GetDefaultModel(uint32_t inChannel) override;
    void GetShaderModelPropertyInfo(XChannelShaderModel inModel, XShaderModelProperty inProperty,
                                    XShaderModelPropertyInfo& outInfo) override;
    void GetShaderModelProperties(XChannelShaderModel inModel, XVector<XShaderModelProperty>& outProperties) override;

protected:
    void SetSampleIDSelf() override;
    void SetChannelShadeSpecificationSelf(const XChannelShadeSpecification& inShading) override;
    void SetCurrentTimepointSelf() override;

private:
    // Reads the sample's current timepoint into the channels and lays out the scene
    // for it (box, calibration, scale, time stamp).
    void LoadSample();
    // Before each frame: the sample may have changed in the database since (a new
    // display range, new volumes); follows it when it did.
    void FollowSample();
    void ReadSample(const XDataSample* inSample);

    XSliceStackVolume itsVolume;
    uint32_t itsActivationState = 0;
    uint64_t itsSampleGeneration = 0; // of the database snapshot last read
};
