#include "X3DCentroidFeedback.h"

void X3DCentroidFeedback::AddObjectLines(const XMeasurementObject& inObject, uint32_t, XVector<XMathVectorF3>& outLines) const
{
    for (const XMeasurementObject::XPoint3& point : inObject.points)
        AddCross(point, outLines);
}
