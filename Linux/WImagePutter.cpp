#include "WImagePutter.h"

#include <bit>
#include <cstdlib>
#include <cstring>
#include <sys/ipc.h>
#include <sys/shm.h>

namespace {
bool sAttachFailed = false;
int NoteAttachFailure(Display*, XErrorEvent*)
{
    sAttachFailed = true;
    return 0;
}
} // namespace

int WImagePutter::ChannelShift(unsigned long inMask) { return inMask ? std::countr_zero(inMask) : 0; }

WImagePutter::WImagePutter(Display* inDisplay, Visual* inVisual, int inDepth)
    : itsDisplay(inDisplay), itsVisual(inVisual), itsDepth(inDepth)
{
    const char* off = std::getenv("KESTRIN_NO_MITSHM");
    itsShared = !(off && *off && std::strcmp(off, "0") != 0) && XShmQueryExtension(inDisplay);
}

WImagePutter::~WImagePutter() { FreeSegment(); }

bool WImagePutter::IsNativeLayout() const
{
    return itsVisual->red_mask == 0xFF0000 && itsVisual->green_mask == 0xFF00 && itsVisual->blue_mask == 0xFF;
}

void WImagePutter::Convert(const uint32_t* inPixels, int inWidth, const XRect& inArea, char* inTarget,
    int inStride) const
{
    const unsigned long red = itsVisual->red_mask, green = itsVisual->green_mask, blue = itsVisual->blue_mask;
    const bool native = IsNativeLayout();
    for (int32_t y = inArea.top; y < inArea.bottom; ++y) {
        const uint32_t* from = inPixels + size_t(y) * size_t(inWidth) + size_t(inArea.left);
        auto* to = reinterpret_cast<uint32_t*>(inTarget + size_t(y) * size_t(inStride)) + inArea.left;
        if (native) {
            std::memcpy(to, from, size_t(inArea.GetWidth()) * 4);
            continue;
        }
        for (int32_t x = 0; x < inArea.GetWidth(); ++x) {
            const uint32_t p = from[x];
            to[x] = uint32_t((((p >> 16) & 0xFF) << ChannelShift(red)) | (((p >> 8) & 0xFF) << ChannelShift(green)) |
                             ((p & 0xFF) << ChannelShift(blue)));
        }
    }
}

bool WImagePutter::MakeSegment(int inWidth, int inHeight)
{
    if (itsSharedImage && itsSharedImage->width == inWidth && itsSharedImage->height == inHeight)
        return true;
    FreeSegment();
    itsSharedImage = XShmCreateImage(itsDisplay, itsVisual, unsigned(itsDepth), ZPixmap, nullptr, &itsSegment,
                                     unsigned(inWidth), unsigned(inHeight));
    if (!itsSharedImage)
        return false;
    itsSegment.shmid = shmget(IPC_PRIVATE, size_t(itsSharedImage->bytes_per_line) * size_t(inHeight), IPC_CREAT | 0600);
    if (itsSegment.shmid < 0) {
        FreeSegment();
        return false;
    }
    itsSegment.shmaddr = itsSharedImage->data = static_cast<char*>(shmat(itsSegment.shmid, nullptr, 0));
    itsSegment.readOnly = True;
    // A server elsewhere cannot attach the segment: its error is caught, not fatal.
    sAttachFailed = false;
    XSync(itsDisplay, False);
    const auto previous = XSetErrorHandler(NoteAttachFailure);
    const bool attached = itsSegment.shmaddr != reinterpret_cast<char*>(-1) && XShmAttach(itsDisplay, &itsSegment);
    XSync(itsDisplay, False);
    XSetErrorHandler(previous);
    if (!attached || sAttachFailed) {
        if (itsSegment.shmaddr == reinterpret_cast<char*>(-1))
            itsSegment.shmaddr = itsSharedImage->data = nullptr;
        itsSegment.shmseg = 0; // not the server's
        FreeSegment();
        return false;
    }
    // Both sides hold it now; it goes when the last detaches, even after a crash.
    shmctl(itsSegment.shmid, IPC_RMID, nullptr);
    itsSegment.shmid = -1;
    return true;
}

void WImagePutter::FreeSegment()
{
    if (itsPutPending || itsSegment.shmseg) {
        if (itsSegment.shmseg)
            XShmDetach(itsDisplay, &itsSegment);
        XSync(itsDisplay, False);
        itsPutPending = false;
    }
    if (itsSegment.shmaddr)
        shmdt(itsSegment.shmaddr);
    if (itsSegment.shmid >= 0 && itsSharedImage)
        shmctl(itsSegment.shmid, IPC_RMID, nullptr);
    if (itsSharedImage) {
        itsSharedImage->data = nullptr; // the segment's, not Xlib's to free
        XDestroyImage(itsSharedImage);
    }
    itsSharedImage = nullptr;
    itsSegment = XShmSegmentInfo{};
}

void WImagePutter::Put(Drawable inDrawable, GC inGC, const uint32_t* inPixels, int inWidth, int inHeight,
    const XRect& inArea)
{
    const XRect area = inArea.Intersection(XRect(0, 0, inWidth, inHeight));
    if (area.IsEmpty())
        return;
    if (itsShared && itsPutPending) {
        // The last put must be done with the segment before it is written again.
        XSync(itsDisplay, False);
        itsPutPending = false;
    }
    if (itsShared && !MakeSegment(inWidth, inHeight))
        itsShared = false; // for good: the server cannot share this memory
    if (itsShared) {
        Convert(inPixels, inWidth, area, itsSharedImage->data, itsSharedImage->bytes_per_line);
        XShmPutImage(itsDisplay, inDrawable, inGC, itsSharedImage, area.left, area.top, area.left, area.top,
                     unsigned(area.GetWidth()), unsigned(area.GetHeight()), False);
        itsPutPending = true;
        XFlush(itsDisplay);
        return;
    }
    const char* data = reinterpret_cast<const char*>(inPixels);
    if (!IsNativeLayout()) {
        itsConverted.resize(size_t(inWidth) * size_t(inHeight));
        Convert(inPixels, inWidth, area, reinterpret_cast<char*>(itsConverted.data()), inWidth * 4);
        data = reinterpret_cast<const char*>(itsConverted.data());
    }
    XImage* image = XCreateImage(itsDisplay, itsVisual, unsigned(itsDepth), ZPixmap, 0, const_cast<char*>(data),
                                 unsigned(inWidth), unsigned(inHeight), 32, inWidth * 4);
    if (!image)
        return;
    XPutImage(itsDisplay, inDrawable, inGC, image, area.left, area.top, area.left, area.top, unsigned(area.GetWidth()),
              unsigned(area.GetHeight()));
    image->data = nullptr; // the pixels are the caller's
    XDestroyImage(image);
    XFlush(itsDisplay);
}
