#pragma once
// Which stack of slices to draw for a view, in which order, and how much each slice
// weighs. Worked out from the model-view matrix of the volume's voxel frame, so the
// voxel calibration and every view transform count.
#include "X3DRect.h"

#include <vector>

class XSliceStackView {
public:
    // Emission and absorption are given per this fraction of the volume's longest side,
    // so a volume looks the same whatever its resolution, and noise summed over many
    // voxels does not fog it.
    static constexpr double kSlicesPerLongestSide = 16.0;

    // inModelView: column-major 4×4 (as OpenGL gives it) from voxel to eye coordinates;
    // inOrthographic: the projection is parallel (the viewer is infinitely far along +z).
    XSliceStackView(const double inModelView[16], bool inOrthographic, const X3DRect& inBox);

    // 0, 1 or 2: the slices lie across x, y or z, the axis the view looks along most.
    int GetAxis() const { return itsAxis; }
    // The distance between slices along the line of sight, in units of 1/16 of the
    // volume's longest side: each slice stands for this much of the ray, whichever
    // stack is drawn.
    double GetSliceWeight() const { return itsWeight; }
    // Slice indices 0..inCount-1 (slice i lies at front + i + 0.5 along the axis), the
    // farthest from the viewer first.
    std::vector<int> GetBackToFrontOrder(int inCount, int inFront) const;

private:
    int itsAxis = 2;
    double itsWeight = 1.0;
    bool itsOrthographic = false;
    double itsEye = 0.0;       // the viewer's coordinate along the axis (perspective)
    bool itsViewerAbove = true; // the viewer lies on the + side (orthographic)
};
