#pragma once
// Puts pixels into an X11 drawable: through a shared memory segment (MIT-SHM) when
// the server offers it and can attach the segment (a server on this machine), else
// with XPutImage. The segment follows the size of the pixels put; it is marked for
// removal as soon as both sides have attached it, so that none outlives the program.
// KESTRIN_NO_MITSHM=1 in the environment keeps to XPutImage.
#include "XRect.h"

// Xlib has a type XPoint of its own: it is renamed while its headers are read.
#define XPoint WXlibPoint
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#undef XPoint

#include <cstdint>
#include <vector>

class WImagePutter {
public:
    WImagePutter(Display* inDisplay, Visual* inVisual, int inDepth);
    ~WImagePutter();
    WImagePutter(const WImagePutter&) = delete;
    WImagePutter& operator=(const WImagePutter&) = delete;

    bool IsSharingMemory() const { return itsShared; }
    // Where a channel of 8 bits lands in a pixel of a visual: its mask's lowest bit.
    static int ChannelShift(unsigned long inMask);
    // Puts inArea of the inWidth × inHeight 0x00RRGGBB pixels at the same place in
    // inDrawable, in the visual's pixel layout.
    void Put(Drawable inDrawable, GC inGC, const uint32_t* inPixels, int inWidth, int inHeight, const XRect& inArea);

private:
    bool MakeSegment(int inWidth, int inHeight);
    void FreeSegment();
    // The pixels in the visual's layout, written into inTarget rows of inStride bytes.
    void Convert(const uint32_t* inPixels, int inWidth, const XRect& inArea, char* inTarget, int inStride) const;
    bool IsNativeLayout() const;

    Display* itsDisplay;
    Visual* itsVisual;
    int itsDepth;
    bool itsShared = false;
    XShmSegmentInfo itsSegment{};
    XImage* itsSharedImage = nullptr;
    bool itsPutPending = false; // the server may still read the segment
    std::vector<uint32_t> itsConverted;
};
