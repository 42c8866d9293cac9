#pragma once
// The time stamp of a time series, "h:mm:ss.mmm", drawn in seven-segment digits in
// the top-left corner of the window, over the scene and the same size at any zoom.
#include "XARGB32Colour.h"
#include "XGLRenderable.h"
#include "XString.h"
#include "XTime.h"

#include <cstdint>

class XGLTimeDisplay : public XGLRenderable {
public:
    XGLTimeDisplay();

    void SetTime(const XTime& inTime);
    XTime GetTime() const;
    void SetColour(const XARGB32Colour& inColour);
    XARGB32Colour GetColour() const;
    // The text shown for the current time.
    XString GetText() const;

    // Segment bits of a glyph: a top, b upper right, c lower right, d bottom,
    // e lower left, f upper left, g middle (bit 0 = a). Characters without a glyph
    // (other than ':' '.' '-') give 0.
    static uint8_t GetSegments(char inCharacter);

    // Layout in pixels.
    static constexpr double kDigitWidth = 12.0;
    static constexpr double kDigitHeight = 22.0;
    static constexpr double kMargin = 10.0;

protected:
    void RenderSelf(XGLRenderable& inFrom) override;

private:
    XTime itsTime;
    XARGB32Colour itsColour = XARGB32Colour::kWhite;
};
