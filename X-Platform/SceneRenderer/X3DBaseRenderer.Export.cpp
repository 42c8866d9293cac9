#include "X3DBaseRenderer.h"
#include "X3DBaseRendererParts.h"

#include "X3DGC.h"
#include "X3DGCOffscreenTarget.h"
#include "X3DGCScopedLock.h"
#include "XBGRA32Volume.h"
#include "XException.h"
#include "XFlipVVolumeTool.h"
#include "XGC.h"
#include "XLock.h"
#include "XTexture2D.h"
#include "XThread.h"

#include <algorithm>
#include <cstdint>

using namespace X3DBaseRendererParts;

XRect X3DBaseRenderer::GetMaxRenderToImageBounds() const
{
    const X3DGC::XDeviceInfo& info = Get3DGC().GetDeviceInfo();
    const auto side = int32_t(std::min<uint32_t>(info.maxTextureSize, uint32_t(INT32_MAX)));
    return XRect(0, 0, side, side).Intersection(info.maxViewportBounds).Intersection(info.maxRenderBufferBounds);
}

XVolume* X3DBaseRenderer::RenderToImageSelf(const XRect& inRect, XRenderingIntent inIntent)
{
    XLock renderLock(itsRenderMutex);
    const XRect maximum = GetMaxRenderToImageBounds();
    if (inRect.GetWidth() > maximum.GetWidth() || inRect.GetHeight() > maximum.GetHeight())
        throw XException(XException::kExportTooLarge,
            XString("An image of %1 x %2 pixels is larger than this graphics device can render (at most %3 x %4); "
                    "choose a smaller size.")
                .Replace(int64_t(inRect.GetWidth()))
                .Replace(int64_t(inRect.GetHeight()))
                .Replace(int64_t(maximum.GetWidth()))
                .Replace(int64_t(maximum.GetHeight())));
    XIdleSuspension idle;
    const auto width = uint32_t(inRect.GetWidth()), height = uint32_t(inRect.GetHeight());
    const XRect bounds(0, 0, int32_t(width), int32_t(height));
    std::unique_ptr<XVolume> image;
    {
        X3DGC& gc = Get3DGC();
        X3DGCScopedLock lock(gc);
        const bool markerShown = itsLightMarker.IsVisible();
        itsLightMarker.SetVisible(false);
        XScopeExit restoreMarker([&] { itsLightMarker.SetVisible(markerShown); });
        // Other threads' devices are not the one DestroyTargets releases with: their
        // targets go with the export.
        const bool keep = XThread::IsMainThread();
        XExportTargets made;
        XExportTargets& targets = keep ? itsExportTargets : made;
        bool done = false;
        XScopeExit release([&] {
            if (!keep || !done)
                targets.Destroy(gc);
        });
        if (targets.width != width || targets.height != height) {
            targets.Destroy(gc);
            targets.Make(gc, width, height);
            if (keep)
                itsHasGraphicsResources = true; // so that ReleaseGraphicsResources frees them
        }
        SetVolumeQualitySelf(1);
        XScopeExit restoreQuality([&] { SetVolumeQualitySelf(0); });
        if (targets.second) {
            RenderToTarget(gc, *targets.second, bounds, inIntent, XMatrix_4x4<float>());
            FlipTextureToTarget(*targets.texture, *targets.first);
            image = targets.first->MakeVolume();
        } else {
            RenderToTarget(gc, *targets.first, bounds, inIntent, XMatrix_4x4<float>());
            image = targets.first->MakeVolume();
            XFlipVVolumeTool::Flip(*image);
        }
        done = true;
    }
    if (inIntent != kRenderingIntentFinal)
        if (auto* picture = dynamic_cast<XBGRA32Volume*>(image.get())) {
            const XBGRA32Volume rendered(*picture);
            XGC gc(*picture);
            DrawToCanvas(gc, rendered, bounds);
            gc.Flush();
        }
    return image.release();
}

void X3DBaseRenderer::XExportTargets::Make(X3DGC& inGC, uint32_t inWidth, uint32_t inHeight)
{
    first = std::make_unique<X3DGCOffscreenTarget>(inGC, inWidth, inHeight);
    width = inWidth;
    height = inHeight;
    if (!first->IsRenderToTextureSupported())
        return;
    first->SetSingleSample(); // it only receives the flipped copy, as in DrawCanvas3D
    texture = std::make_unique<XTexture2D>(inGC, inWidth, inHeight, X3DGC::kBGRA32);
    second = std::make_unique<X3DGCOffscreenTarget>(inGC, inWidth, inHeight);
    second->AttachTexture(*texture);
}

void X3DBaseRenderer::XExportTargets::Destroy(X3DGC& inGC)
{
    for (std::unique_ptr<X3DGCOffscreenTarget>* target : {&second, &first})
        if (*target) {
            (*target)->Destroy(inGC);
            target->reset();
        }
    if (texture)
        texture.release()->Destroy(inGC); // deletes itself
    width = height = 0;
}
