#include "XVolumeRenderThumbnailJob.h"

#include "XARGB32Volume.h"
#include "XAssert.h"
#include "XException.h"
#include "XRect.h"
#include "XRenderer.h"

#include <limits>
#include <string>

using XCompleteMsg = XVolumeRenderThumbnailJob::XVolumeRenderThumbnailJobCompleteMsg;

XCompleteMsg::XVolumeRenderThumbnailJobCompleteMsg(XSpeaker* inSpeaker, XVolume* inImage, const XUUID& inID)
    : XMessage(inSpeaker), itsImage(inImage), itsID(inID)
{
}

XCompleteMsg::XVolumeRenderThumbnailJobCompleteMsg(const XVolumeRenderThumbnailJobCompleteMsg& inOther)
    : XMessage(inOther), itsImage(inOther.itsImage ? inOther.itsImage->Clone() : nullptr), itsID(inOther.itsID)
{
}

XCompleteMsg::~XVolumeRenderThumbnailJobCompleteMsg() = default;

XVolumeRenderThumbnailJob::XVolumeRenderThumbnailJob(const XUUID& inID, uint64_t inWidth, uint64_t inHeight,
    XRenderer* inRenderer)
    : itsRenderer(inRenderer), itsWidth(inWidth), itsHeight(inHeight), itsID(inID)
{
    constexpr uint64_t kMaxSide = uint64_t(std::numeric_limits<int32_t>::max());
    if (inWidth == 0 || inHeight == 0 || inWidth > kMaxSide || inHeight > kMaxSide)
        throw XException(XException::kBadArgument,
            XString("a thumbnail of " + std::to_string(inWidth) + " x " + std::to_string(inHeight)
                + " pixels cannot be made; give each side from 1 to " + std::to_string(kMaxSide)));
    GenerateInitialThumbnail();
}

XVolumeRenderThumbnailJob::~XVolumeRenderThumbnailJob() = default;

void XVolumeRenderThumbnailJob::Render()
{
    std::unique_ptr<XVolume> image(itsRenderer->RenderToImage(
        XRect(0, 0, int32_t(itsWidth), int32_t(itsHeight)), XRenderer::kRenderingIntentFinal));
    X_ASSERT_TEXT(image != nullptr, "itsThumbnail");
    if (!image)
        return;
    itsThumbnail = std::move(image);
    itsIsRendered = true;
}

void XVolumeRenderThumbnailJob::GenerateInitialThumbnail()
{
    if (!itsRenderer)
        return;
    if (itsRenderer->CanThreadRenderToImage()) {
        itsThumbnail = std::make_unique<XARGB32Volume>(int32_t(itsWidth), int32_t(itsHeight), 1);
        return;
    }
    Render();
}

void XVolumeRenderThumbnailJob::RunJobSelf()
{
    if (itsRenderer && itsRenderer->CanThreadRenderToImage())
        Render();
}

void XVolumeRenderThumbnailJob::JobCompleteSelf(unsigned long)
{
    // The placeholder is blank: announcing it would replace a thumbnail with nothing.
    if (!itsThumbnail || !itsIsRendered)
        return;
    const XVolumeRenderThumbnailJobCompleteMsg message(this, itsThumbnail->Clone().release(), itsID);
    SpeakMessage(message, kDeliverNow);
}
