#include "WPanControlHook.h"

#include "WGLWnd.h"
#include "XException.h"
#include "XGLVolumeRenderer.h"

#include <cmath>

namespace {
// Applies a 4x4 matrix to (x, y, z, 1) and divides by w; false when w vanishes.
bool Transform(const X3DMatrix& inM, double inX, double inY, double inZ, double outP[3])
{
    const X3DMatrix p = inM * X3DMatrix::ColumnVector({inX, inY, inZ, 1.0});
    const double w = p(3, 0);
    if (!(std::isfinite(w) && std::fabs(w) > 1e-12))
        return false;
    for (int i = 0; i < 3; ++i)
        outP[i] = p(i, 0) / w;
    return std::isfinite(outP[0]) && std::isfinite(outP[1]) && std::isfinite(outP[2]);
}
} // namespace

void WPanControlHook::DragStep(WGLWnd& inWnd, const XPoint& inFrom, const XPoint& inTo)
{
    XGLVolumeScene& scene = itsRenderer.GetVolumeScene();
    XGLRenderable& moved = scene.GetTransform1();
    // Transform 1 is translated in its parent's frame, whose last drawing maps to the window.
    const X3DMatrix toScreen = scene.GetWorldTransform().GetLastWorldToScreenMatrix();
    X3DMatrix toWorld;
    try {
        toWorld = !toScreen;
    } catch (const XException&) {
        return; // not drawn yet, or drawn flat: nothing to move along
    }
    double centre[3];
    if (!Transform(toScreen, moved.GetXTranslation(), moved.GetYTranslation(), moved.GetZTranslation(), centre))
        return;
    const XPoint from = inWnd.LocalToGLPoint(inFrom);
    const XPoint to = inWnd.LocalToGLPoint(inTo);
    double a[3], b[3];
    if (!Transform(toWorld, from.x, from.y, centre[2], a) || !Transform(toWorld, to.x, to.y, centre[2], b))
        return;
    moved.SetTranslation(moved.GetXTranslation() + b[0] - a[0], moved.GetYTranslation() + b[1] - a[1],
                         moved.GetZTranslation() + b[2] - a[2]);
    inWnd.RefreshScene(true);
}
