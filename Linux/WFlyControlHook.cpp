#include "WFlyControlHook.h"

#include "WGLWnd.h"
#include "XCamera.h"
#include "XGLVolumeRenderer.h"

void WFlyControlHook::DragStep(WGLWnd& inWnd, const XPoint& inFrom, const XPoint& inTo)
{
    XCamera camera;
    itsRenderer.GetCamera(camera);
    camera.Move(float(double(inFrom.y - inTo.y) * kUnitsPerPixel));
    // Dragging right turns the view right: a negative turn about the up vector.
    camera.RotateAroundPoint(camera.GetEye(), float(-double(inTo.x - inFrom.x) * kDegreesPerPixel), camera.GetUp());
    itsRenderer.SetCamera(camera);
    inWnd.RefreshScene(true);
}
