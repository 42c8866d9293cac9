#pragma once
// Input as canvases hand it to their attachments: the host's event numbers, modifier
// bits, cursor kinds and key codes, and the timed samples of a canvas's input queue.
#include "XClock.h"
#include "XPoint.h"

#include <cstdint>

// What an attachment answers: whether it consumed the event.
using XEventResult = uint32_t;
enum : XEventResult { kEventNotHandled = 0, kEventHandled = 1 };

// Mouse events given to XCanvasAttachment::HandleMouseEvent.
using XMouseEvent = uint32_t;
enum : XMouseEvent {
    kMouseDown = 0,        // left button pressed
    kMouseDoubleClick = 1, // left button pressed again soon after, near the first press
    kMouseUp = 2,          // left button released (outside a drag loop)
    kMouseMove = 3,        // the mouse moved with no drag loop reading it
    kRightMouseDown = 4,
    kRightMouseUp = 5,
};

// Flags given with mouse and key events: the modifier keys held.
enum : uint32_t {
    kModifierShift = 1u << 0,   // bit 0
    kModifierControl = 1u << 1, // bit 1
    kModifierAlt = 1u << 2,
};

// Buttons held, in XInputSample::buttons.
enum : uint32_t { kButtonLeft = 1, kButtonMiddle = 2, kButtonRight = 4 };

// Cursor kinds a pane shows (XCanvasPaneBase::SetCursor).
enum : uint32_t {
    kCursorArrow = 0,
    kCursorCross = 1,
    kCursorTool = 5,     // a tool ready to drag
    kCursorDragging = 6, // a rotation or pan under way
    kCursorZoomIn = 11,  // zoom in, or dolly
    kCursorZoomOut = 12,
};

// Key codes given to HandleKeyDown: letters are their upper-case character, digits
// their character, and the keys below have codes of their own.
enum : uint32_t {
    kKeyBackspace = 8,
    kKeyTab = 9,
    kKeyReturn = 13,
    kKeyEscape = 27,
    kKeySpace = 32,
    kKeyPageUp = 33,
    kKeyPageDown = 34,
    kKeyEnd = 35,
    kKeyHome = 36,
    kKeyLeft = 37,
    kKeyUp = 38,
    kKeyRight = 39,
    kKeyDown = 40,
    kKeyDelete = 46,
    kKeyF1 = 112, // F1 to F12 follow on
    kKeyPlus = 187,
    kKeyMinus = 189,
};

// One entry of a canvas's input queue. A window stamps its samples when they arrive;
// tests give them the times they want (a sample stamped in the future is taken when the
// application clock reaches it, which moves a manual clock forward).
struct XInputSample {
    enum Kind : uint32_t { kDown, kMove, kUp, kKeyDown };

    Kind kind = kMove;
    XClock::TimePoint time{}; // the default: stamped with the application's time when queued
    XPoint point;             // canvas coordinates, y down
    uint32_t button = kButtonLeft; // kDown, kUp: the button pressed or released
    uint32_t buttons = 0;          // buttons held after the sample
    uint32_t modifiers = 0;
    uint32_t key = 0;              // kKeyDown

    static XInputSample Down(const XPoint& inPoint, uint32_t inModifiers = 0, uint32_t inButton = kButtonLeft)
    {
        XInputSample s;
        s.kind = kDown;
        s.point = inPoint;
        s.button = inButton;
        s.buttons = inButton;
        s.modifiers = inModifiers;
        return s;
    }
    static XInputSample Move(const XPoint& inPoint, uint32_t inButtons = 0, uint32_t inModifiers = 0)
    {
        XInputSample s;
        s.kind = kMove;
        s.point = inPoint;
        s.buttons = inButtons;
        s.modifiers = inModifiers;
        return s;
    }
    static XInputSample Up(const XPoint& inPoint, uint32_t inModifiers = 0, uint32_t inButton = kButtonLeft)
    {
        XInputSample s;
        s.kind = kUp;
        s.point = inPoint;
        s.button = inButton;
        s.modifiers = inModifiers;
        return s;
    }
    static XInputSample KeyDown(uint32_t inKey, uint32_t inModifiers = 0)
    {
        XInputSample s;
        s.kind = kKeyDown;
        s.key = inKey;
        s.modifiers = inModifiers;
        return s;
    }
    XInputSample& At(XClock::TimePoint inTime)
    {
        time = inTime;
        return *this;
    }
};
