#pragma once
// A line through voxel positions, open or closed (the last point joins the first).
#include "X3DPoint.h"
#include "X3DRect.h"

#include <cstddef>
#include <vector>

class X3DPolyLine {
public:
    X3DPolyLine() = default;
    explicit X3DPolyLine(std::vector<X3DPoint> inPoints, bool inClosed = false)
        : itsPoints(std::move(inPoints)), itsIsClosed(inClosed) {}

    size_t GetPointCount() const { return itsPoints.size(); }
    const X3DPoint& GetPoint(size_t inIndex) const { return itsPoints.at(inIndex); }
    const std::vector<X3DPoint>& GetPoints() const { return itsPoints; }
    void AddPoint(const X3DPoint& inPoint) { itsPoints.push_back(inPoint); }
    void SetPoint(size_t inIndex, const X3DPoint& inPoint) { itsPoints.at(inIndex) = inPoint; }
    void RemovePoint(size_t inIndex);
    void Clear() { itsPoints.clear(); }

    bool IsClosed() const { return itsIsClosed; }
    void SetClosed(bool inClosed) { itsIsClosed = inClosed; }

    // Number of segments: n - 1 when open, n when closed with at least 3 points.
    size_t GetSegmentCount() const;
    // Sum of the segment lengths in voxels, each axis scaled by its voxel size.
    double GetLength(double inScaleX = 1.0, double inScaleY = 1.0, double inScaleZ = 1.0) const;
    // The voxels the points occupy (each point is one voxel); empty without points.
    X3DRect GetBounds() const;

    friend bool operator==(const X3DPolyLine&, const X3DPolyLine&) = default;

private:
    std::vector<X3DPoint> itsPoints;
    bool itsIsClosed = false;
};
