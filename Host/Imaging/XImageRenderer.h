#pragma once
// How one channel is shown: its colour, the display range (the data values shown as
// black and as full colour), a gamma, and its emission level, which says whether the
// channel emits light (fluorescence, above 0) or is transmitted light (0).
#include "XARGB32Colour.h"

#include <cstdint>
#include <memory>

class XImageRenderer {
public:
    XImageRenderer() = default;
    // Throws XException kBadArgument for levels or a gamma that MapValue cannot use.
    XImageRenderer(XARGB32Colour inColour, double inBlackLevel, double inWhiteLevel, double inGamma = 1.0,
                   uint8_t inEmissionLevel = 255);
    virtual ~XImageRenderer() = default;

    virtual std::unique_ptr<XImageRenderer> Clone() const;

    XARGB32Colour GetColour() const { return itsColour; }
    void SetColour(XARGB32Colour inColour) { itsColour = inColour; }

    // Data values mapped to 0 and to 255. Black above white inverts the mapping.
    double GetBlackLevel() const { return itsBlackLevel; }
    double GetWhiteLevel() const { return itsWhiteLevel; }
    // Both levels must be finite (else XException kBadArgument).
    void SetDisplayRange(double inBlackLevel, double inWhiteLevel);

    // 1 is linear; above 1 brightens the mid-tones (the normalised value is raised to 1 / gamma).
    double GetGamma() const { return itsGamma; }
    // Must be finite and above 0 (else XException kBadArgument).
    void SetGamma(double inGamma);

    uint8_t GetEmissionLevel() const { return itsEmissionLevel; }
    void SetEmissionLevel(uint8_t inLevel) { itsEmissionLevel = inLevel; }
    bool IsEmitting() const { return itsEmissionLevel > 0; }

    // A data value as a display level 0..255 through the display range and gamma; NaN gives 0.
    uint8_t MapValue(double inValue) const;
    // The display level 0..255 of a value between black and white levels under a
    // gamma (a zero-width range is a threshold; NaN is black).
    static uint8_t MapLevel(double inValue, double inBlack, double inWhite, double inGamma = 1.0);

    friend bool operator==(const XImageRenderer& a, const XImageRenderer& b)
    {
        return a.itsColour == b.itsColour && a.itsBlackLevel == b.itsBlackLevel && a.itsWhiteLevel == b.itsWhiteLevel &&
               a.itsGamma == b.itsGamma && a.itsEmissionLevel == b.itsEmissionLevel;
    }

private:
    XARGB32Colour itsColour = XARGB32Colour::kWhite;
    double itsBlackLevel = 0;
    double itsWhiteLevel = 255;
    double itsGamma = 1;
    uint8_t itsEmissionLevel = 255;
};
