#include "X3DPolyLineFeedback.h"

void X3DPolyLineFeedback::AddObjectLines(const XMeasurementObject& inObject, uint32_t,
    XVector<XMathVectorF3>& outLines) const
{
    for (size_t i = 1; i < inObject.points.size(); ++i) {
        outLines.push_back(ToVector(inObject.points[i - 1]));
        outLines.push_back(ToVector(inObject.points[i]));
    }
}
