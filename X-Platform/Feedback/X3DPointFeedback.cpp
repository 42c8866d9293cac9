#include "X3DPointFeedback.h"

void X3DPointFeedback::AddObjectLines(const XMeasurementObject& inObject, uint32_t, XVector<XMathVectorF3>& outLines) const
{
    for (const XMeasurementObject::XPoint3& point : inObject.points)
        AddCross(point, outLines);
}
