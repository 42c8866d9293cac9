#include "XAppInitialisedMessage.h"

XAppInitialisedMessage::XAppInitialisedMessage(XSpeaker* inSpeaker) : XMessage(inSpeaker) {}

// Defined here so that the type's identity lives in this library alone, and modules
// comparing message types agree with the host.
XAppInitialisedMessage::~XAppInitialisedMessage() = default;

XMessage* XAppInitialisedMessage::Clone() const { return new XAppInitialisedMessage(*this); }
