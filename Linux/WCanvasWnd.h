#pragma once
// The canvas window: a canvas pane whose pixels (a Cairo image surface) are painted
// off screen, and, when a display is at hand, shown in an X11 window of the same size.
// The window's mouse and key events go into the pane's input queue, stamped with the
// application's time; its close button sets a flag the host's loop reads.
//
// Without a display (DISPLAY unset, or a display that cannot be opened) the window is
// headless and everything but the showing works the same, so the same code serves
// tests, exports and the desktop.
#include "XCanvasPaneBase.h"

#include <memory>

class XBGRA32Volume;
struct _XDisplay;

class WCanvasWnd : public XCanvasPaneBase {
public:
    // inDisplayName: null takes the default (DISPLAY, unless SetHeadlessByDefault); an
    // empty text asks for a headless window.
    WCanvasWnd(const XRect& inBounds, const XString& inName, const char* inDisplayName = nullptr);
    ~WCanvasWnd() override;

    // Whether an X11 window shows the pixels.
    bool IsOnDisplay() const;
    // Why there is no window when a display was asked for (empty otherwise).
    const XString& GetDisplayError() const { return itsDisplayError; }
    // The X11 window's ID; 0 when headless.
    unsigned long GetNativeWindow() const;
    // The connection the window lives on (for a GL surface on it); null when headless.
    _XDisplay* GetNativeDisplay() const;
    // Whether frames reach the X server through shared memory (MIT-SHM), not the socket.
    bool IsSharingMemory() const;
    // Limits the pane's pixels put into the X11 window to inArea (empty: the whole
    // window), where a GL surface on the window draws the rest. Exposure then redraws
    // the canvas, so that whoever draws that surface in its paint draws it again.
    void SetPresentedArea(const XRect& inArea) { itsPresentedArea = inArea; }

    // Reads the events the display has (waiting up to inTimeoutMs for the first),
    // queues the input and hands it to the attachments, shows exposed pixels and
    // follows size changes. False once the window was asked to close.
    bool ProcessWindowEvents(int inTimeoutMs = 0);
    bool IsCloseRequested() const { return itsCloseRequested; }

    // The pixels the X11 window shows, read back from the display; null when headless.
    std::unique_ptr<XBGRA32Volume> CaptureWindow() const;

    // For hosts that only export (command-line rendering): canvases made without a
    // display name stay off screen even when DISPLAY is set.
    static void SetHeadlessByDefault(bool inHeadless);
    static bool IsHeadlessByDefault();

protected:
    void PresentSelf() override;
    bool WaitForInputSelf() override;
    void SetCursorSelf(uint32_t inKind) override;
    void PaneBoundsChangedSelf() override;

private:
    struct XNative;

    // Moves what the display has into the queue; waits up to inTimeoutMs for it first.
    // Returns the number of input samples queued.
    size_t ReadEvents(int inTimeoutMs);

    std::unique_ptr<XNative> itsNative;
    XString itsDisplayError;
    XRect itsPresentedArea;
    bool itsCloseRequested = false;
};
