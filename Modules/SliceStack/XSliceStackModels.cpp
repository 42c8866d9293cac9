#include "XSliceStackModels.h"

#include <algorithm>

bool XSliceStackModels::IsSupported(XModel inModel)
{
    return inModel == XChannelShadeSpecification::kFluorescence || inModel == XChannelShadeSpecification::kMaximumIP;
}

void XSliceStackModels::GetSupportedModels(XVector<XModel>& outModels)
{
    outModels.push_back(XChannelShadeSpecification::kFluorescence);
    outModels.push_back(XChannelShadeSpecification::kMaximumIP);
}

void XSliceStackModels::GetProperties(XModel inModel, XVector<XProperty>& outProperties)
{
    if (!IsSupported(inModel))
        return;
    outProperties.push_back(XChannelShadeSpecification::kBrightness);
    outProperties.push_back(XChannelShadeSpecification::kOpacity);
}

bool XSliceStackModels::GetPropertyInfo(XModel inModel, XProperty inProperty, XPropertyInfo& outInfo)
{
    if (!IsSupported(inModel))
        return false;
    switch (inProperty) {
    case XChannelShadeSpecification::kBrightness:
        outInfo = XPropertyInfo{inProperty, "Brightness", 0, 0.0f, 10.0f, 1.0f};
        return true;
    case XChannelShadeSpecification::kOpacity:
        // A maximum projection is opaque by default; emission half absorbs.
        outInfo = XPropertyInfo{inProperty, "Opacity", 0, 0.0f, 1.0f,
                                inModel == XChannelShadeSpecification::kMaximumIP ? 1.0f : 0.5f};
        return true;
    default:
        return false;
    }
}

XChannelShadeSpecification XSliceStackModels::Completed(const XChannelShadeSpecification& inShading)
{
    XChannelShadeSpecification shading = inShading;
    if (!IsSupported(shading.GetShaderModel()))
        shading.SetShaderModel(kDefaultModel);
    XVector<XProperty> properties;
    GetProperties(shading.GetShaderModel(), properties);
    for (XProperty property : properties) {
        XPropertyInfo info;
        GetPropertyInfo(shading.GetShaderModel(), property, info);
        shading.SetProperty(property, shading.IsProperty(property)
                                       ? std::clamp(shading.GetProperty(property), info.minimum, info.maximum)
                                       : info.defaultValue);
    }
    return shading;
}
