#include "XDataVolume.h"

XDataVolume::XDataVolume(const XDataVolume& inOther)
    : XDataSample(inOther),
      itsVolume(inOther.itsVolume),
      itsRenderer(inOther.itsRenderer ? inOther.itsRenderer->Clone() : nullptr),
      itsHidden(inOther.itsHidden)
{
}

XDataVolume& XDataVolume::operator=(const XDataVolume& inOther)
{
    if (this != &inOther) {
        XDataSample::operator=(inOther);
        itsVolume = inOther.itsVolume;
        itsRenderer = inOther.itsRenderer ? inOther.itsRenderer->Clone() : nullptr;
        itsHidden = inOther.itsHidden;
    }
    return *this;
}

XImageRenderer* XDataVolume::GetRendererCopy() const
{
    return itsRenderer ? itsRenderer->Clone().release() : nullptr;
}
