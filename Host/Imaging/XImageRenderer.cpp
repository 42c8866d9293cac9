#include "XImageRenderer.h"
#include "XException.h"

#include <cmath>

XImageRenderer::XImageRenderer(XARGB32Colour inColour, double inBlackLevel, double inWhiteLevel, double inGamma,
                               uint8_t inEmissionLevel)
    : itsColour(inColour), itsEmissionLevel(inEmissionLevel)
{
    SetDisplayRange(inBlackLevel, inWhiteLevel);
    SetGamma(inGamma);
}

std::unique_ptr<XImageRenderer> XImageRenderer::Clone() const
{
    return std::make_unique<XImageRenderer>(*this);
}

void XImageRenderer::SetDisplayRange(double inBlackLevel, double inWhiteLevel)
{
    if (!std::isfinite(inBlackLevel) || !std::isfinite(inWhiteLevel))
        throw XException(XException::kBadArgument,
                         XString("the display range %1 to %2 is not a pair of finite numbers")
                             .Replace(inBlackLevel)
                             .Replace(inWhiteLevel));
    itsBlackLevel = inBlackLevel;
    itsWhiteLevel = inWhiteLevel;
}

void XImageRenderer::SetGamma(double inGamma)
{
    if (!std::isfinite(inGamma) || inGamma <= 0)
        throw XException(XException::kBadArgument,
                         XString("the gamma %1 is not a finite number above 0").Replace(inGamma));
    itsGamma = inGamma;
}

uint8_t XImageRenderer::MapValue(double inValue) const
{
    return MapLevel(inValue, itsBlackLevel, itsWhiteLevel, itsGamma);
}

uint8_t XImageRenderer::MapLevel(double inValue, double inBlack, double inWhite, double inGamma)
{
    if (std::isnan(inValue))
        return 0;
    double t;
    if (inWhite == inBlack)
        t = inValue >= inWhite ? 1.0 : 0.0; // a zero-width range is a threshold
    else
        t = (inValue - inBlack) / (inWhite - inBlack);
    if (!(t > 0))
        return 0;
    if (t >= 1)
        return 255;
    if (inGamma != 1)
        t = std::pow(t, 1.0 / inGamma);
    return static_cast<uint8_t>(std::lround(t * 255.0));
}
