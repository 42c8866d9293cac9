#include "WCanvasWnd.h"

#include "XAppMessageCentre.h"
#include "XBGRA32Volume.h"
#include "XCanvasWindowFactory.h"
#include "WImagePutter.h"

// Xlib has a type XPoint of its own: it is renamed while its headers are read.
#define XPoint WXlibPoint
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>
#undef XPoint
#include <poll.h>

#include <atomic>
#include <cstdlib>
#include <map>

namespace {
// A failed request (a window gone, a cursor the server lacks) must not end the program,
// which Xlib's default handler does.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

uint32_t ModifiersFromState(unsigned int inState)
{
    uint32_t flags = 0;
    if (inState & ShiftMask)
        flags |= kModifierShift;
    if (inState & ControlMask)
        flags |= kModifierControl;
    if (inState & Mod1Mask)
        flags |= kModifierAlt;
    return flags;
}

uint32_t ButtonsFromState(unsigned int inState)
{
    uint32_t buttons = 0;
    if (inState & Button1Mask)
        buttons |= kButtonLeft;
    if (inState & Button2Mask)
        buttons |= kButtonMiddle;
    if (inState & Button3Mask)
        buttons |= kButtonRight;
    return buttons;
}

uint32_t ButtonFromDetail(unsigned int inButton)
{
    switch (inButton) {
    case Button1: return kButtonLeft;
    case Button2: return kButtonMiddle;
    case Button3: return kButtonRight;
    default: return 0; // wheel steps are not buttons
    }
}

// The host's key code of a key, 0 for keys it has none for.
uint32_t KeyCodeFromKeySym(KeySym inSym)
{
    if (inSym >= XK_a && inSym <= XK_z)
        return uint32_t('A' + (inSym - XK_a));
    if ((inSym >= XK_A && inSym <= XK_Z) || (inSym >= XK_0 && inSym <= XK_9))
        return uint32_t(inSym);
    if (inSym >= XK_F1 && inSym <= XK_F12)
        return kKeyF1 + uint32_t(inSym - XK_F1);
    switch (inSym) {
    case XK_BackSpace: return kKeyBackspace;
    case XK_Tab: return kKeyTab;
    case XK_Return: case XK_KP_Enter: return kKeyReturn;
    case XK_Escape: return kKeyEscape;
    case XK_space: return kKeySpace;
    case XK_Page_Up: return kKeyPageUp;
    case XK_Page_Down: return kKeyPageDown;
    case XK_End: return kKeyEnd;
    case XK_Home: return kKeyHome;
    case XK_Left: return kKeyLeft;
    case XK_Up: return kKeyUp;
    case XK_Right: return kKeyRight;
    case XK_Down: return kKeyDown;
    case XK_Delete: case XK_KP_Delete: return kKeyDelete;
    case XK_plus: case XK_equal: case XK_KP_Add: return kKeyPlus;
    case XK_minus: case XK_KP_Subtract: return kKeyMinus;
    default: return 0;
    }
}

unsigned int FontCursorForKind(uint32_t inKind)
{
    switch (inKind) {
    case kCursorCross: return XC_crosshair;
    case kCursorTool: return XC_hand2;
    case kCursorDragging: return XC_fleur;
    case kCursorZoomIn: return XC_sb_v_double_arrow;
    case kCursorZoomOut: return XC_sb_down_arrow;
    default: return XC_left_ptr;
    }
}

std::atomic<bool> sHeadlessByDefault{false};
} // namespace

struct WCanvasWnd::XNative {
    Display* display = nullptr;
    Window window = 0;
    Visual* visual = nullptr;
    int depth = 0;
    GC gc = nullptr;
    Atom deleteAtom = 0;
    std::map<uint32_t, Cursor> cursors;
    std::unique_ptr<WImagePutter> putter;

    ~XNative()
    {
        if (!display)
            return;
        putter.reset();
        for (const auto& [kind, cursor] : cursors)
            XFreeCursor(display, cursor);
        if (gc)
            XFreeGC(display, gc);
        if (window)
            XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
};

WCanvasWnd::WCanvasWnd(const XRect& inBounds, const XString& inName, const char* inDisplayName)
    : XCanvasPaneBase(inBounds, inName)
{
    const char* displayName = inDisplayName ? inDisplayName : IsHeadlessByDefault() ? "" : std::getenv("DISPLAY");
    if (!displayName || !*displayName)
        return;
    XSetErrorHandler(IgnoreXError);
    auto native = std::make_unique<XNative>();
    native->display = XOpenDisplay(displayName);
    if (!native->display) {
        itsDisplayError = XString("The display \"%1\" could not be opened: no X server answers there, or this "
                                  "user may not use it. Start an X server on that display, or set DISPLAY to one "
                                  "that runs (for example DISPLAY=:0).")
                              .Replace(XString(displayName));
        return;
    }
    Display* display = native->display;
    const int screen = DefaultScreen(display);
    native->visual = DefaultVisual(display, screen);
    native->depth = DefaultDepth(display, screen);
    if (native->visual->c_class != TrueColor || native->depth < 24) {
        itsDisplayError = XString("The display \"%1\" offers no true-colour visual of 24 bits; start the X server "
                                  "with a 24-bit screen.")
                              .Replace(XString(displayName));
        return;
    }
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.event_mask = ExposureMask | StructureNotifyMask | ButtonPressMask | ButtonReleaseMask |
                            PointerMotionMask | KeyPressMask;
    native->window = XCreateWindow(display, RootWindow(display, screen), GetPaneBounds().left, GetPaneBounds().top,
                                   unsigned(GetWidth()), unsigned(GetHeight()), 0, native->depth, InputOutput,
                                   native->visual, CWBackPixel | CWEventMask, &attributes);
    XStoreName(display, native->window, GetName().IsEmpty() ? "Kestrin3D" : GetName().GetCString());
    native->deleteAtom = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, native->window, &native->deleteAtom, 1);
    native->gc = XCreateGC(display, native->window, 0, nullptr);
    native->putter = std::make_unique<WImagePutter>(display, native->visual, native->depth);
    XMapWindow(display, native->window);
    XSync(display, False);
    itsNative = std::move(native);
}

WCanvasWnd::~WCanvasWnd() = default;

bool WCanvasWnd::IsOnDisplay() const { return itsNative && itsNative->window; }

unsigned long WCanvasWnd::GetNativeWindow() const { return IsOnDisplay() ? itsNative->window : 0; }

_XDisplay* WCanvasWnd::GetNativeDisplay() const { return IsOnDisplay() ? itsNative->display : nullptr; }

bool WCanvasWnd::IsSharingMemory() const { return IsOnDisplay() && itsNative->putter->IsSharingMemory(); }

void WCanvasWnd::PresentSelf()
{
    if (!IsOnDisplay())
        return;
    itsNative->putter->Put(itsNative->window, itsNative->gc, GetPixels(), GetWidth(), GetHeight(),
                           itsPresentedArea.IsEmpty() ? GetCanvasBounds() : itsPresentedArea);
}

bool WCanvasWnd::WaitForInputSelf()
{
    if (!IsOnDisplay())
        return false;
    while (!itsCloseRequested)
        if (ReadEvents(100) > 0)
            return true;
    return false;
}

bool WCanvasWnd::ProcessWindowEvents(int inTimeoutMs)
{
    if (IsOnDisplay())
        ReadEvents(inTimeoutMs);
    ProcessInput();
    UpdateCanvas();
    return !itsCloseRequested;
}

size_t WCanvasWnd::ReadEvents(int inTimeoutMs)
{
    XNative& native = *itsNative;
    XFlush(native.display);
    if (XPending(native.display) == 0 && inTimeoutMs > 0) {
        pollfd descriptor{ConnectionNumber(native.display), POLLIN, 0};
        poll(&descriptor, 1, inTimeoutMs);
    }
    size_t queued = 0;
    bool exposed = false;
    while (XPending(native.display) > 0) {
        XEvent event;
        XNextEvent(native.display, &event);
        switch (event.type) {
        case Expose:
            exposed = true;
            break;
        case ConfigureNotify:
            if (event.xconfigure.width != GetWidth() || event.xconfigure.height != GetHeight())
                ResizePane(event.xconfigure.width, event.xconfigure.height);
            break;
        case ClientMessage:
            if (Atom(event.xclient.data.l[0]) == native.deleteAtom)
                itsCloseRequested = true;
            break;
        case ButtonPress:
        case ButtonRelease: {
            const uint32_t button = ButtonFromDetail(event.xbutton.button);
            if (!button)
                break;
            const XPoint point(event.xbutton.x, event.xbutton.y);
            const uint32_t modifiers = ModifiersFromState(event.xbutton.state);
            // The state is the one before the event.
            XInputSample sample = event.type == ButtonPress ? XInputSample::Down(point, modifiers, button)
                                                            : XInputSample::Up(point, modifiers, button);
            sample.buttons = event.type == ButtonPress ? (ButtonsFromState(event.xbutton.state) | button)
                                                       : (ButtonsFromState(event.xbutton.state) & ~button);
            PostInput(sample);
            ++queued;
            break;
        }
        case MotionNotify:
            PostInput(XInputSample::Move(XPoint(event.xmotion.x, event.xmotion.y),
                                         ButtonsFromState(event.xmotion.state),
                                         ModifiersFromState(event.xmotion.state)));
            ++queued;
            break;
        case KeyPress: {
            const uint32_t key = KeyCodeFromKeySym(XLookupKeysym(&event.xkey, 0));
            if (key) {
                PostInput(XInputSample::KeyDown(key, ModifiersFromState(event.xkey.state)));
                ++queued;
            }
            break;
        }
        default:
            break;
        }
    }
    if (exposed && !itsPresentedArea.IsEmpty())
        RedrawCanvas();
    else if (exposed && !NeedsRedraw())
        PresentSelf();
    return queued;
}

void WCanvasWnd::SetCursorSelf(uint32_t inKind)
{
    if (!IsOnDisplay())
        return;
    XNative& native = *itsNative;
    Cursor& cursor = native.cursors[inKind];
    if (!cursor)
        cursor = XCreateFontCursor(native.display, FontCursorForKind(inKind));
    XDefineCursor(native.display, native.window, cursor);
    XFlush(native.display);
}

void WCanvasWnd::PaneBoundsChangedSelf()
{
    if (!IsOnDisplay())
        return;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(itsNative->display, itsNative->window, &attributes))
        return;
    if (attributes.width != GetWidth() || attributes.height != GetHeight())
        XResizeWindow(itsNative->display, itsNative->window, unsigned(GetWidth()), unsigned(GetHeight()));
    XFlush(itsNative->display);
}

std::unique_ptr<XBGRA32Volume> WCanvasWnd::CaptureWindow() const
{
    if (!IsOnDisplay())
        return nullptr;
    XNative& native = *itsNative;
    XSync(native.display, False);
    XImage* image = XGetImage(native.display, native.window, 0, 0, unsigned(GetWidth()), unsigned(GetHeight()),
                              AllPlanes, ZPixmap);
    if (!image)
        return nullptr;
    auto volume = std::make_unique<XBGRA32Volume>(GetWidth(), GetHeight(), 1);
    const unsigned long red = image->red_mask, green = image->green_mask, blue = image->blue_mask;
    for (int y = 0; y < GetHeight(); ++y) {
        XBGRA32Colour* row = volume->GetVoxelRow(y, 0);
        for (int x = 0; x < GetWidth(); ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            row[x] = XBGRA32Colour(uint8_t((p & blue) >> WImagePutter::ChannelShift(blue)),
                                   uint8_t((p & green) >> WImagePutter::ChannelShift(green)),
                                   uint8_t((p & red) >> WImagePutter::ChannelShift(red)), 255);
        }
    }
    XDestroyImage(image);
    return volume;
}

void WCanvasWnd::SetHeadlessByDefault(bool inHeadless) { sHeadlessByDefault = inHeadless; }

bool WCanvasWnd::IsHeadlessByDefault() { return sHeadlessByDefault.load(); }

namespace {
class WCanvasWndFactory : public XCanvasWindowFactory {
public:
    XCanvasPaneBase* MakeCanvasWindow(const XRect& inBounds, const XString& inName) override
    {
        return new WCanvasWnd(inBounds, inName);
    }
};

// Never destroyed: canvases made late in the program's life still reach it.
[[maybe_unused]] const bool sRegistered = (XCanvasWindowFactory::Register(new WCanvasWndFactory), true);
} // namespace
