#pragma once
// Feedback of poly-lines, their points joined in order.
#include "X3DSceneFeedback.h"

class X3DPolyLineFeedback : public X3DSceneFeedback {
public:
    using X3DSceneFeedback::X3DSceneFeedback;

protected:
    void AddObjectLines(const XMeasurementObject& inObject, uint32_t inTimepoint,
        XVector<XMathVectorF3>& outLines) const override;
};
