#pragma once
// What a view shows of measurements: a feedback item receives the measured objects of
// one kind (points, lines, tracks, regions) and draws them in its view's own way.
#include "XVector.h"

#include <cstdint>

// A measured object: its points in voxel coordinates of the data set (one for a point
// or a centroid, several for a line, one per timepoint for a track).
struct XMeasurementObject {
    struct XPoint3 {
        double x = 0.0, y = 0.0, z = 0.0;
        friend bool operator==(const XPoint3&, const XPoint3&) = default;
    };
    uint32_t id = 0;
    uint32_t timepoint = 0; // 0: shown at every timepoint
    bool selected = false;
    XVector<XPoint3> points;
    friend bool operator==(const XMeasurementObject&, const XMeasurementObject&) = default;
};

class XMeasurementFeedback {
public:
    virtual ~XMeasurementFeedback() = default;

    // Replaces the objects shown; the item then updates itself (ObjectListChangedSelf).
    void SetObjectList(const XVector<XMeasurementObject>& inObjects);
    const XVector<XMeasurementObject>& GetObjectList() const { return itsObjects; }
    // Counts object list changes, so views can tell when to redraw.
    uint64_t GetChangeCount() const { return itsChangeCount; }

protected:
    virtual void ObjectListChangedSelf();

private:
    XVector<XMeasurementObject> itsObjects;
    uint64_t itsChangeCount = 0;
};
