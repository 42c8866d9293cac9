#pragma once
// The scale around the volume: the box of the fitted volume with calibrated tick
// marks along its three edges from the first corner and a grid on the floor face.
// Drawn in the voxel coordinates of the fit rectangle.
#include "X3DRect.h"
#include "XARGB32Colour.h"
#include "XGLRenderable.h"

class XGLBoundingGraph : public XGLRenderable {
public:
    XGLBoundingGraph();

    void SetColour(const XARGB32Colour& inColour);
    XARGB32Colour GetColour() const;

    // Lays the ticks out for a box of voxels inRect whose voxels measure inX × inY ×
    // inZ micrometres: one scene unit is the longest calibrated side (as the volume
    // is fitted to the unit cube), and that unit is cut into inDivisions, the ticks
    // standing that far apart along every axis. Returns the length of one scene unit
    // in micrometres and, when outTickSpacing is given, the tick spacing in µm.
    // A voxel size that is not a positive finite number, an empty box or zero
    // divisions give XException kBadArgument and leave the graph as it was.
    double CalibrateForDimension(unsigned inDivisions, double inX, double inY, double inZ, const X3DRect& inRect,
                                 double* outTickSpacing = nullptr);

    bool IsCalibrated() const;
    X3DRect GetRect() const;
    // Tick spacing along x, y and z in voxels (0 before calibration).
    double GetTickSpacing(int inAxis) const;
    // The number of ticks along an axis, the corner's included.
    unsigned long GetTickCount(int inAxis) const;
    double GetUnitLength() const;

protected:
    void RenderSelf(XGLRenderable& inFrom) override;

private:
    XARGB32Colour itsColour = XARGB32Colour::kWhite;
    X3DRect itsRect;
    double itsTickSpacing[3] = {0.0, 0.0, 0.0};
    double itsUnitLength = 0.0;
    bool itsCalibrated = false;
};
