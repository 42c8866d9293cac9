// Thumbnails: made at once for renderers that cannot render on a job thread, on the
// job thread for those that can, and announced only when a picture was rendered.
#include "XARGB32Volume.h"
#include "XAssertRecorder.h"
#include "XErrorCode.h"
#include "XException.h"
#include "XListener.h"
#include "XRenderer.h"
#include "XVolumeRenderThumbnailJob.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>

namespace {
using XCompleteMsg = XVolumeRenderThumbnailJob::XVolumeRenderThumbnailJobCompleteMsg;

enum class XOutcome { kPicture, kNull, kThrows };

// Renders a solid picture whose red byte counts the renders, or fails as told.
class XSolidRenderer : public XRenderer {
public:
    XSolidRenderer(bool inThreaded, XOutcome inOutcome) : itsThreaded(inThreaded), itsOutcome(inOutcome) {}
    bool CanThreadRenderToImage() const override { return itsThreaded; }
    int renders = 0;
    XRect lastRect;
    XRenderingIntent lastIntent = kRenderingIntentScreen;

protected:
    XVolume* RenderToImageSelf(const XRect& inRect, XRenderingIntent inIntent) override
    {
        ++renders;
        lastRect = inRect;
        lastIntent = inIntent;
        if (itsOutcome == XOutcome::kThrows)
            throw XException(XException::kOpenGLError, "the device is lost");
        if (itsOutcome == XOutcome::kNull)
            return nullptr;
        auto image = std::make_unique<XARGB32Volume>(inRect.GetWidth(), inRect.GetHeight(), 1);
        for (uint64_t v = 0; v < image->GetVoxelCount(); ++v)
            std::memcpy(image->GetData() + 4 * v, &kColour, 4);
        return image.release();
    }

private:
    static constexpr uint8_t kColour[4] = {255, 10, 20, 30};
    bool itsThreaded;
    XOutcome itsOutcome;
};

class XThumbnailCatcher : public XListener {
public:
    void HandleMessage(const XMessage& inMessage) override
    {
        if (const auto* done = dynamic_cast<const XCompleteMsg*>(&inMessage)) {
            ++count;
            id = done->GetID();
            // The message's picture goes with it: keep a copy.
            image = done->GetImage() ? done->GetImage()->Clone() : nullptr;
        }
    }
    int count = 0;
    XUUID id;
    std::unique_ptr<XVolume> image;
};

bool IsBlank(const XVolume& inImage)
{
    for (uint64_t b = 0; b < inImage.GetDataSize(); ++b)
        if (inImage.GetData()[b] != 0)
            return false;
    return true;
}

struct XCase {
    const char* name;
    bool threaded;
    XOutcome outcome;
    bool completeAfterRun; // run the job before completing it
    int rendersAtConstruction;
    bool announced;
};

TEST(XVolumeRenderThumbnailJobTest, OnlyARenderedPictureIsAnnounced)
{
    const XUUID id = XUUID::Generate();
    for (const XCase& c : {
             XCase{"main thread", false, XOutcome::kPicture, true, 1, true},
             XCase{"job thread", true, XOutcome::kPicture, true, 0, true},
             XCase{"job thread, completed without running (stopped)", true, XOutcome::kPicture, false, 0, false},
             XCase{"job thread, render throws", true, XOutcome::kThrows, true, 0, false},
             XCase{"job thread, no picture", true, XOutcome::kNull, true, 0, false},
             XCase{"main thread, no picture", false, XOutcome::kNull, true, 1, false},
         }) {
        SCOPED_TRACE(c.name);
        XAssertRecorder asserts;
        XSolidRenderer renderer(c.threaded, c.outcome);
        XVolumeRenderThumbnailJob job(id, 6, 4, &renderer);
        EXPECT_EQ(renderer.renders, c.rendersAtConstruction);
        if (c.threaded) {
            // The placeholder: blank, of the thumbnail's size.
            ASSERT_NE(job.GetThumbnail(), nullptr);
            EXPECT_EQ(job.GetThumbnail()->GetBounds(), X3DRect(0, 0, 0, 6, 4, 1));
            EXPECT_TRUE(IsBlank(*job.GetThumbnail()));
        }
        const XVolume* before = job.GetThumbnail();
        XThumbnailCatcher catcher;
        catcher.Subscribe(job);
        if (c.completeAfterRun && c.outcome == XOutcome::kThrows) {
            EXPECT_EQ(CodeOf([&] { job.RunJob(); }), XException::kOpenGLError);
        } else if (c.completeAfterRun) {
            job.RunJob();
        }
        if (!c.threaded) {
            EXPECT_EQ(job.GetThumbnail(), before) << "a picture made at once stays as it is";
        }
        job.JobComplete(c.completeAfterRun && c.outcome == XOutcome::kPicture ? XJob::kJobDone : XJob::kJobFailed);
        EXPECT_EQ(catcher.count, c.announced ? 1 : 0);
        EXPECT_EQ(asserts.Has("itsThumbnail", "X-Platform/XVolumeRenderThumbnailJob"), c.outcome == XOutcome::kNull);
        if (c.announced) {
            EXPECT_EQ(catcher.id, id);
            ASSERT_NE(catcher.image, nullptr);
            EXPECT_EQ(catcher.image->GetBounds(), X3DRect(0, 0, 0, 6, 4, 1));
            EXPECT_EQ(catcher.image->GetData()[1], 10);
            EXPECT_EQ(renderer.lastRect, XRect(0, 0, 6, 4));
            EXPECT_EQ(renderer.lastIntent, XRenderer::kRenderingIntentFinal) << "thumbnails carry no overlays";
        }
    }
}

TEST(XVolumeRenderThumbnailJobTest, SizesAnImageCannotHaveAreRefusedAndCopiedMessagesHaveTheirOwnPicture)
{
    XSolidRenderer renderer(true, XOutcome::kPicture);
    for (const std::pair<uint64_t, uint64_t>& size : {std::pair<uint64_t, uint64_t>{0, 4}, {4, 0}, {uint64_t(1) << 31, 4},
             {4, (uint64_t(1) << 32) + 4}}) {
        SCOPED_TRACE(std::to_string(size.first) + " x " + std::to_string(size.second));
        EXPECT_EQ(CodeOf([&] { XVolumeRenderThumbnailJob job(XUUID(), size.first, size.second, &renderer); }),
            XException::kBadArgument);
    }
    EXPECT_EQ(renderer.renders, 0);

    // A copied message has its own picture.
    auto image = std::make_unique<XARGB32Volume>(2, 2, 1);
    image->GetData()[5] = 77;
    const XUUID id = XUUID::Generate();
    auto message = std::make_unique<XCompleteMsg>(nullptr, image.release(), id);
    const std::unique_ptr<XMessage> copy(message->Clone());
    const auto* copied = dynamic_cast<const XCompleteMsg*>(copy.get());
    ASSERT_NE(copied, nullptr);
    EXPECT_NE(copied->GetImage(), message->GetImage());
    message.reset(); // the copy outlives the original
    EXPECT_EQ(copied->GetID(), id);
    EXPECT_EQ(copied->GetImage()->GetData()[5], 77);
}
} // namespace
