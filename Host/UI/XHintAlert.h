#pragma once
// A short hint for the user about something that did not happen (a zoom past its
// limit, a command that does not apply): a kind, a title, a text and two further
// texts. Showing one tells the listeners of the alert speaker at once; a desktop host
// shows it (the viewer's status line), and the last one shown can be read back.
#include "XMessage.h"
#include "XSpeaker.h"
#include "XString.h"

#include <cstdint>

class XHintAlert {
public:
    enum : uint32_t {
        kHintAlertNote = 0,
        kHintAlertWarning = 1,
        kHintAlertError = 2,
        kHintAlertCannotEnlarge = 3, // a zoom past the largest scale
        kHintAlertCannotReduce = 4,  // a zoom past the smallest scale
    };

    // Spoken by the alert speaker for each alert shown.
    class XMessageHintAlert;

    XHintAlert() = default;
    XHintAlert(uint32_t inKind, const XString& inTitle, const XString& inText, const XString& inExtra1 = XString(),
               const XString& inExtra2 = XString())
        : itsKind(inKind), itsTitle(inTitle), itsText(inText), itsExtra1(inExtra1), itsExtra2(inExtra2) {}

    uint32_t GetKind() const { return itsKind; }
    const XString& GetTitle() const { return itsTitle; }
    const XString& GetText() const { return itsText; }
    const XString& GetExtra1() const { return itsExtra1; }
    const XString& GetExtra2() const { return itsExtra2; }

    // Tells the alert speaker's listeners (on the calling thread) and keeps it as the last.
    void Show() const;

    static XSpeaker& GetAlertSpeaker();
    // The last alert shown and how many were shown in all.
    static XHintAlert GetLastShownAlert();
    static uint64_t GetShownCount();

    friend bool operator==(const XHintAlert&, const XHintAlert&) = default;

private:
    uint32_t itsKind = kHintAlertNote;
    XString itsTitle;
    XString itsText;
    XString itsExtra1;
    XString itsExtra2;
};

class XHintAlert::XMessageHintAlert : public XMessage {
public:
    XMessageHintAlert(XSpeaker* inSpeaker, const XHintAlert& inAlert) : XMessage(inSpeaker), itsAlert(inAlert) {}
    const XHintAlert& GetAlert() const { return itsAlert; }
    XMessage* Clone() const override { return new XMessageHintAlert(*this); }

private:
    XHintAlert itsAlert;
};
