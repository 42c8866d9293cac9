#include "XMessage.h"

#include "XAssert.h"

#include <typeinfo>

XMessage::XMessage(XSpeaker* inSpeaker) : itsSpeaker(inSpeaker) {}

XMessage::~XMessage() = default;

bool XMessage::ShouldCoalesceQueueMessage() const { return false; }

XMessage* XMessage::Clone() const
{
    X_ASSERT_TEXT(typeid(*this) == typeid(XMessage), "typeid( *this ) == typeid( XMessage )");
    return new XMessage(*this);
}
