#include "X3DTrackFeedback.h"

// A track holds one point per timepoint, the first at timepoint 1.
void X3DTrackFeedback::AddObjectLines(const XMeasurementObject& inObject, uint32_t inTimepoint,
    XVector<XMathVectorF3>& outLines) const
{
    for (size_t i = 1; i < inObject.points.size(); ++i) {
        outLines.push_back(ToVector(inObject.points[i - 1]));
        outLines.push_back(ToVector(inObject.points[i]));
    }
    if (inTimepoint >= 1 && inTimepoint <= inObject.points.size())
        AddCross(inObject.points[inTimepoint - 1], outLines);
}

bool X3DTrackFeedback::IsShownAt(const XMeasurementObject&, uint32_t) const { return true; }
