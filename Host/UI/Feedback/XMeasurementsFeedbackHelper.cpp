#include "XMeasurementsFeedbackHelper.h"

#include <cmath>

XMeasurementsFeedbackHelper::XDisplayOptions XMeasurementsFeedbackHelper::GetDisplayOptions(uint32_t inType) const
{
    auto found = itsOptions.find(inType);
    return found == itsOptions.end() ? XDisplayOptions() : found->second;
}

bool XMeasurementsFeedbackHelper::SetDisplayOptions(uint32_t inType, const XDisplayOptions& inOptions)
{
    if (!std::isfinite(inOptions.size) || inOptions.size <= 0.0)
        return false;
    itsOptions[inType] = inOptions;
    return true;
}

void XMeasurementsFeedbackHelper::SetROIBoundingBoxThickness(double inThickness)
{
    itsROIBoxThickness = inThickness >= 1.0 && std::isfinite(inThickness) ? inThickness : 1.0;
}
