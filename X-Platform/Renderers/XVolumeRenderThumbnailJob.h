#pragma once
// Renders a small picture of a renderer's current view for the item named by an
// identifier: on the job thread when the renderer can render there, else at once
// when the job is made. On completion the picture is announced with the identifier
// (XVolumeRenderThumbnailJobCompleteMsg), but only a rendered picture: a render that
// failed or was stopped announces nothing.
#include "XJob.h"
#include "XMessage.h"
#include "XSpeaker.h"
#include "XUUID.h"

#include <cstdint>
#include <memory>

class XRenderer;
class XVolume;

class XVolumeRenderThumbnailJob : public XJob, public XSpeaker {
public:
    class XVolumeRenderThumbnailJobCompleteMsg : public XMessage {
    public:
        // Takes ownership of inImage.
        XVolumeRenderThumbnailJobCompleteMsg(XSpeaker* inSpeaker, XVolume* inImage, const XUUID& inID);
        // Copies the image.
        XVolumeRenderThumbnailJobCompleteMsg(const XVolumeRenderThumbnailJobCompleteMsg& inOther);
        XVolumeRenderThumbnailJobCompleteMsg& operator=(const XVolumeRenderThumbnailJobCompleteMsg&) = delete;
        ~XVolumeRenderThumbnailJobCompleteMsg() override;
        XMessage* Clone() const override { return new XVolumeRenderThumbnailJobCompleteMsg(*this); }

        // Valid while the message is; a listener that keeps the picture copies it.
        const XVolume* GetImage() const { return itsImage.get(); }
        const XUUID& GetID() const { return itsID; }

    private:
        std::unique_ptr<XVolume> itsImage;
        XUUID itsID;
    };

    // Sides of 0, or past what an image rectangle holds, throw XException kBadArgument.
    // The renderer is not owned and must outlive the job.
    XVolumeRenderThumbnailJob(const XUUID& inID, uint64_t inWidth, uint64_t inHeight, XRenderer* inRenderer);
    ~XVolumeRenderThumbnailJob() override;

    // The blank placeholder until the picture is rendered; null when there is none.
    const XVolume* GetThumbnail() const { return itsThumbnail.get(); }
    bool IsRendered() const { return itsIsRendered; }
    const XUUID& GetID() const { return itsID; }

protected:
    void GenerateInitialThumbnail();
    void RunJobSelf() override;
    void JobCompleteSelf(unsigned long inStatus) override;

private:
    void Render();

    std::unique_ptr<XVolume> itsThumbnail;
    XRenderer* itsRenderer;
    uint64_t itsWidth;
    uint64_t itsHeight;
    XUUID itsID;
    bool itsIsRendered = false;
};
