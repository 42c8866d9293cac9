#include "XMeasurementFeedback.h"

void XMeasurementFeedback::SetObjectList(const XVector<XMeasurementObject>& inObjects)
{
    itsObjects = inObjects;
    ++itsChangeCount;
    ObjectListChangedSelf();
}

void XMeasurementFeedback::ObjectListChangedSelf() {}
