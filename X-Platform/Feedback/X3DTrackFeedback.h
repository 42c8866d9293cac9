#pragma once
// Feedback of tracks: the path over all timepoints, with a cross where the object is at the frame's timepoint.
#include "X3DSceneFeedback.h"

class X3DTrackFeedback : public X3DSceneFeedback {
public:
    using X3DSceneFeedback::X3DSceneFeedback;

protected:
    void AddObjectLines(const XMeasurementObject& inObject, uint32_t inTimepoint,
        XVector<XMathVectorF3>& outLines) const override;
    bool IsShownAt(const XMeasurementObject& inObject, uint32_t inTimepoint) const override;
};
