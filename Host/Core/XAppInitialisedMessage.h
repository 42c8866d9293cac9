#pragma once
// Told by the application message centre once the application has initialised.
#include "XMessage.h"

class XAppInitialisedMessage : public XMessage {
public:
    explicit XAppInitialisedMessage(XSpeaker* inSpeaker = nullptr);
    ~XAppInitialisedMessage() override;
    XMessage* Clone() const override;
};
