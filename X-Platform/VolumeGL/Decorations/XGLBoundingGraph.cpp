#include "XGLBoundingGraph.h"

#include "XException.h"
#include "XGLCapabilitySetter.h"
#include "XLock.h"
#include "XOpenGL.h"

#include <algorithm>
#include <cmath>

namespace {
// Tick marks stand this far out of the box, in scene units.
constexpr double kTickLength = 0.025;
// The floor grid is drawn dimmer than the box, so it does not hide the volume.
constexpr float kGridIntensity = 0.5f;
// More ticks than this along one axis could not be told apart; the graph thins them.
constexpr double kMaxTicks = 1000.0;

bool IsUsableSize(double inSize)
{
    return std::isfinite(inSize) && inSize > 0.0;
}
} // namespace

XGLBoundingGraph::XGLBoundingGraph() = default;

void XGLBoundingGraph::SetColour(const XARGB32Colour& inColour)
{
    XLock lock(itsMutex);
    itsColour = inColour;
}

XARGB32Colour XGLBoundingGraph::GetColour() const
{
    XLock lock(itsMutex);
    return itsColour;
}

double XGLBoundingGraph::CalibrateForDimension(unsigned inDivisions, double inX, double inY, double inZ,
                                               const X3DRect& inRect, double* outTickSpacing)
{
    if (!IsUsableSize(inX) || !IsUsableSize(inY) || !IsUsableSize(inZ))
        throw XException(XException::kBadArgument,
                         XString("The scale could not be calibrated because the voxel size (%1 × %2 × %3 µm) is not "
                                 "a positive number. Set the image's voxel size and try again.")
                             .Replace(inX)
                             .Replace(inY)
                             .Replace(inZ));
    if (inRect.IsEmpty())
        throw XException(XException::kBadArgument,
                         "The scale could not be calibrated because the volume is empty. Open an image with at "
                         "least one voxel and try again.");
    if (inDivisions == 0)
        throw XException(XException::kBadArgument,
                         "The scale could not be calibrated because it was asked for no divisions.");
    const double size[3] = {inX, inY, inZ};
    const double extent[3] = {double(inRect.GetWidth()), double(inRect.GetHeight()), double(inRect.GetDepth())};
    // The volume is fitted so that its longest calibrated side spans one scene unit.
    double unit = 0.0;
    for (int i = 0; i < 3; ++i)
        unit = std::max(unit, extent[i] * size[i]);
    if (!std::isfinite(unit))
        throw XException(XException::kBadArgument,
                         "The scale could not be calibrated because the volume's calibrated size is too large.");
    const double spacing = unit / double(inDivisions);

    XLock lock(itsMutex);
    itsRect = inRect;
    itsUnitLength = unit;
    for (int i = 0; i < 3; ++i) {
        double voxels = spacing / size[i];
        // Very many divisions: keep every n-th tick so that a frame stays drawable.
        if (extent[i] / voxels > kMaxTicks)
            voxels *= std::ceil(extent[i] / voxels / kMaxTicks);
        itsTickSpacing[i] = voxels;
    }
    itsCalibrated = true;
    if (outTickSpacing)
        *outTickSpacing = spacing;
    return unit;
}

bool XGLBoundingGraph::IsCalibrated() const
{
    XLock lock(itsMutex);
    return itsCalibrated;
}

X3DRect XGLBoundingGraph::GetRect() const
{
    XLock lock(itsMutex);
    return itsRect;
}

double XGLBoundingGraph::GetTickSpacing(int inAxis) const
{
    XLock lock(itsMutex);
    return inAxis >= 0 && inAxis < 3 ? itsTickSpacing[inAxis] : 0.0;
}

unsigned long XGLBoundingGraph::GetTickCount(int inAxis) const
{
    XLock lock(itsMutex);
    if (!itsCalibrated || inAxis < 0 || inAxis > 2)
        return 0;
    const double extent[3] = {double(itsRect.GetWidth()), double(itsRect.GetHeight()), double(itsRect.GetDepth())};
    // A tick that falls on the far edge within rounding still counts.
    return (unsigned long)(std::floor(extent[inAxis] / itsTickSpacing[inAxis] + 1e-9)) + 1;
}

double XGLBoundingGraph::GetUnitLength() const
{
    XLock lock(itsMutex);
    return itsUnitLength;
}

void XGLBoundingGraph::RenderSelf(XGLRenderable&)
{
    XLock lock(itsMutex);
    if (!itsCalibrated)
        return;
    GLfloat savedColour[4];
    glGetFloatv(GL_CURRENT_COLOR, savedColour);
    const XGLCapabilitySetter lighting(GL_LIGHTING, false), texturing(GL_TEXTURE_2D, false);

    const double x0 = itsRect.left, x1 = itsRect.right;
    const double y0 = itsRect.top, y1 = itsRect.bottom;
    const double z0 = itsRect.front, z1 = itsRect.back;
    const float r = itsColour.red / 255.0f, g = itsColour.green / 255.0f, b = itsColour.blue / 255.0f;
    const double extent[3] = {x1 - x0, y1 - y0, z1 - z0};
    const double longest = std::max({extent[0], extent[1], extent[2]});
    const double tick = kTickLength * longest;

    glBegin(GL_LINES);
    // The floor grid, on the face nearest the floor (largest y), dimmer.
    glColor3f(r * kGridIntensity, g * kGridIntensity, b * kGridIntensity);
    for (double x = x0 + itsTickSpacing[0]; x < x1 - 1e-9; x += itsTickSpacing[0]) {
        glVertex3d(x, y1, z0);
        glVertex3d(x, y1, z1);
    }
    for (double z = z0 + itsTickSpacing[2]; z < z1 - 1e-9; z += itsTickSpacing[2]) {
        glVertex3d(x0, y1, z);
        glVertex3d(x1, y1, z);
    }
    glColor3f(r, g, b);
    // The box: both end faces and the four edges between them.
    const double corners[4][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    for (int i = 0; i < 4; ++i) {
        const double* p = corners[i];
        const double* q = corners[(i + 1) % 4];
        glVertex3d(p[0], p[1], z0);
        glVertex3d(q[0], q[1], z0);
        glVertex3d(p[0], p[1], z1);
        glVertex3d(q[0], q[1], z1);
        glVertex3d(p[0], p[1], z0);
        glVertex3d(p[0], p[1], z1);
    }
    // Ticks on the three edges that leave the corner (x0, y1, z0), pointing out of the box.
    for (double x = x0; x <= x1 + 1e-9; x += itsTickSpacing[0]) {
        glVertex3d(x, y1, z0);
        glVertex3d(x, y1, z0 - tick);
    }
    for (double y = y1; y >= y0 - 1e-9; y -= itsTickSpacing[1]) {
        glVertex3d(x0, y, z0);
        glVertex3d(x0 - tick, y, z0);
    }
    for (double z = z0; z <= z1 + 1e-9; z += itsTickSpacing[2]) {
        glVertex3d(x0, y1, z);
        glVertex3d(x0 - tick, y1, z);
    }
    glEnd();

    glColor4fv(savedColour);
}
