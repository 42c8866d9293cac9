#include "XGLTimeDisplay.h"

#include "XGLCapabilitySetter.h"
#include "XGLWindowPixelProjection.h"
#include "XLock.h"
#include "XOpenGL.h"

namespace {
// Segment bits.
enum : uint8_t { kA = 1, kB = 2, kC = 4, kD = 8, kE = 16, kF = 32, kG = 64 };
constexpr uint8_t kDigitSegments[10] = {
    kA | kB | kC | kD | kE | kF,      // 0
    kB | kC,                          // 1
    kA | kB | kD | kE | kG,           // 2
    kA | kB | kC | kD | kG,           // 3
    kB | kC | kF | kG,                // 4
    kA | kC | kD | kF | kG,           // 5
    kA | kC | kD | kE | kF | kG,      // 6
    kA | kB | kC,                     // 7
    kA | kB | kC | kD | kE | kF | kG, // 8
    kA | kB | kC | kD | kF | kG,      // 9
};

constexpr double kThickness = 2.5;
constexpr double kGap = 1.0;       // between touching segments, for the LCD look
constexpr double kSpacing = 4.0;   // between glyphs
constexpr double kNarrowWidth = 4.0; // ':' and '.'

void Bar(double inX0, double inY0, double inX1, double inY1)
{
    glVertex2d(inX0, inY0);
    glVertex2d(inX1, inY0);
    glVertex2d(inX1, inY1);
    glVertex2d(inX0, inY1);
}

// One glyph with its top-left corner at (x, y), y growing downwards.
void DrawSegments(uint8_t inSegments, double x, double y)
{
    const double w = XGLTimeDisplay::kDigitWidth, h = XGLTimeDisplay::kDigitHeight, t = kThickness, g = kGap;
    const double m = y + 0.5 * h;
    if (inSegments & kA)
        Bar(x + g, y, x + w - g, y + t);
    if (inSegments & kB)
        Bar(x + w - t, y + g, x + w, m - g);
    if (inSegments & kC)
        Bar(x + w - t, m + g, x + w, y + h - g);
    if (inSegments & kD)
        Bar(x + g, y + h - t, x + w - g, y + h);
    if (inSegments & kE)
        Bar(x, m + g, x + t, y + h - g);
    if (inSegments & kF)
        Bar(x, y + g, x + t, m - g);
    if (inSegments & kG)
        Bar(x + g, m - 0.5 * t, x + w - g, m + 0.5 * t);
}
} // namespace

XGLTimeDisplay::XGLTimeDisplay() = default;

void XGLTimeDisplay::SetTime(const XTime& inTime)
{
    XLock lock(itsMutex);
    itsTime = inTime;
}

XTime XGLTimeDisplay::GetTime() const
{
    XLock lock(itsMutex);
    return itsTime;
}

void XGLTimeDisplay::SetColour(const XARGB32Colour& inColour)
{
    XLock lock(itsMutex);
    itsColour = inColour;
}

XARGB32Colour XGLTimeDisplay::GetColour() const
{
    XLock lock(itsMutex);
    return itsColour;
}

XString XGLTimeDisplay::GetText() const
{
    return GetTime().GetDurationString();
}

uint8_t XGLTimeDisplay::GetSegments(char inCharacter)
{
    if (inCharacter >= '0' && inCharacter <= '9')
        return kDigitSegments[inCharacter - '0'];
    if (inCharacter == '-')
        return kG;
    return 0;
}

namespace {
// The text in a row from the top-left margin.
void DrawGlyphs(const XString& inText)
{
    const double h = XGLTimeDisplay::kDigitHeight, t = kThickness;
    double x = XGLTimeDisplay::kMargin;
    const double y = XGLTimeDisplay::kMargin;
    glBegin(GL_QUADS);
    for (char c : inText.GetStdString()) {
        if (c == ':') {
            Bar(x, y + 0.3 * h - 0.5 * t, x + t, y + 0.3 * h + 0.5 * t);
            Bar(x, y + 0.7 * h - 0.5 * t, x + t, y + 0.7 * h + 0.5 * t);
            x += kNarrowWidth + kSpacing;
        } else if (c == '.') {
            Bar(x, y + h - t, x + t, y + h);
            x += kNarrowWidth + kSpacing;
        } else {
            DrawSegments(XGLTimeDisplay::GetSegments(c), x, y);
            x += XGLTimeDisplay::kDigitWidth + kSpacing;
        }
    }
    glEnd();
}
} // namespace

void XGLTimeDisplay::RenderSelf(XGLRenderable&)
{
    const XString text = GetText();
    const XARGB32Colour colour = GetColour();
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (viewport[2] <= 0 || viewport[3] <= 0)
        return;

    GLfloat savedColour[4];
    glGetFloatv(GL_CURRENT_COLOR, savedColour);
    {
        const XGLCapabilitySetter lighting(GL_LIGHTING, false), depthTest(GL_DEPTH_TEST, false),
            texturing(GL_TEXTURE_2D, false), culling(GL_CULL_FACE, false);
        // Pixels of the drawing area, y growing downwards, whatever the scene's frame.
        const XGLWindowPixelProjection pixels(XGLWindowPixelProjection::kViewportTopLeft);
        glColor3f(colour.red / 255.0f, colour.green / 255.0f, colour.blue / 255.0f);
        DrawGlyphs(text);
    }
    glColor4fv(savedColour);
}
