#pragma once
// Spoken by work that shows its progress in a view (a progress speaker): what is being
// done and how far it has got. A text overlay listening to the speaker draws the last
// state it heard until the work says it is done.
#include "XMessage.h"
#include "XString.h"

#include <cmath>

class XProgressMessage : public XMessage {
public:
    // inFraction: 0..1, or NaN when the amount of work is not known.
    XProgressMessage(XSpeaker* inSpeaker, const XString& inText, double inFraction, bool inIsDone = false)
        : XMessage(inSpeaker), itsText(inText), itsFraction(inFraction), itsIsDone(inIsDone) {}

    const XString& GetText() const { return itsText; }
    double GetFraction() const { return itsFraction; }
    bool IsDone() const { return itsIsDone; }
    XMessage* Clone() const override { return new XProgressMessage(*this); }

private:
    XString itsText;
    double itsFraction;
    bool itsIsDone;
};
