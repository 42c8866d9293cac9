#include "WZoomControlHook.h"

#include "WGLWnd.h"
#include "XGLVolumeRenderer.h"

#include <algorithm>
#include <cmath>

void WZoomControlHook::DragStep(WGLWnd& inWnd, const XPoint& inFrom, const XPoint& inTo)
{
    // Window y grows downwards: dragging up (negative dy) zooms in.
    const double factor = std::exp2(double(inFrom.y - inTo.y) / kPixelsPerDoubling);
    const double scale = std::clamp(double(itsRenderer.GetWorldScale()) * factor, kMinScale, kMaxScale);
    itsRenderer.SetWorldScale(float(scale));
    inWnd.RefreshScene(true);
}
