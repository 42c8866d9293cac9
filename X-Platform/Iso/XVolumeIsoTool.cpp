#include "XVolumeIsoTool.h"

#include "XAssert.h"
#include "XThread.h"

XVolumeIsoTool<unsigned char>::XVolumeIsoTool(const XMaskVolume& inVolume, unsigned char inIsoValue)
    : XVolumeIsosurfaceTool(inVolume, inIsoValue)
{
    SetCancelTestInterval(kCancelTestInterval);
}

XRefPtr<XVolumeIsoTool<unsigned char>::XIsoData> XVolumeIsoTool<unsigned char>::MakeIsoSurface()
{
    XThread* currentThread = XThread::GetCurrentThread();
    X_ASSERT(currentThread);
    XRefPtr<XIsoData> data(new XIsoData);
    XVolumeIsosurfaceTool::MakeIsoSurface(data->itsPositions, data->itsNormals, data->itsQuads);
    return data;
}
