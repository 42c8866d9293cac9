#pragma once
// Feedback of centroids of regions, each a small cross.
#include "X3DSceneFeedback.h"

class X3DCentroidFeedback : public X3DSceneFeedback {
public:
    using X3DSceneFeedback::X3DSceneFeedback;

protected:
    void AddObjectLines(const XMeasurementObject& inObject, uint32_t inTimepoint,
        XVector<XMathVectorF3>& outLines) const override;
};
