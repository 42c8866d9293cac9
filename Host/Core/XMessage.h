#pragma once
// An event told by a speaker to its listeners. Each kind of event is a small class
// derived from XMessage; listeners tell them apart by their dynamic type.
class XSpeaker;

class XMessage {
public:
    explicit XMessage(XSpeaker* inSpeaker = nullptr);
    XMessage(const XMessage&) = default;
    XMessage& operator=(const XMessage&) = default;
    virtual ~XMessage();

    // The speaker that made the message (null when none did). A posted message may
    // outlive its speaker: compare the pointer, do not call through it later.
    XSpeaker* GetSpeaker() const { return itsSpeaker; }
    // Whether a newer queued message of the same type for the same listener may
    // replace this one before it is delivered (refresh requests and the like).
    virtual bool ShouldCoalesceQueueMessage() const;
    // A new copy of the message, of its own dynamic type. Every derived message
    // overrides it; a class that does not is reported, since its copy would be sliced.
    virtual XMessage* Clone() const;

private:
    XSpeaker* itsSpeaker;
};
