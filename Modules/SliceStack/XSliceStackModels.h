#pragma once
// The shading models of the slice-stack renderer and their properties.
#include "XVector.h"
#include "XVolumeRendererBase.h"

class XSliceStackModels {
public:
    using XModel = XChannelShadeSpecification::XChannelShaderModel;
    using XProperty = XChannelShadeSpecification::XShaderModelProperty;
    using XPropertyInfo = XVolumeRendererBase::XShaderModelPropertyInfo;

    static constexpr XModel kDefaultModel = XChannelShadeSpecification::kFluorescence;

    static bool IsSupported(XModel inModel);
    // Fluorescence and Maximum IP.
    static void GetSupportedModels(XVector<XModel>& outModels);
    // Brightness and opacity for the supported models; none for the others.
    static void GetProperties(XModel inModel, XVector<XProperty>& outProperties);
    // False (info untouched) for a property the model does not have.
    static bool GetPropertyInfo(XModel inModel, XProperty inProperty, XPropertyInfo& outInfo);
    // The shading as it is drawn: an unsupported model becomes the default, a
    // missing property takes its default and values outside their range are clamped.
    static XChannelShadeSpecification Completed(const XChannelShadeSpecification& inShading);
};
