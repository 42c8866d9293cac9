#pragma once
// Tells messages to the listeners that subscribed to it. Speaking delivers at once,
// on the speaker's thread; posting queues a message for one listener, and the
// application message centre delivers it later on the main thread.
#include "XListener.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class XMessage;

class XSpeaker {
public:
    // Delivery of SpeakMessage: at once, or a copy posted to each listener.
    enum : uint32_t { kDeliverNow = 0, kDeliverQueued = 1 };

    XSpeaker();
    // Detaches every listener.
    virtual ~XSpeaker();
    XSpeaker(const XSpeaker&) = delete;
    XSpeaker& operator=(const XSpeaker&) = delete;

    // Tells the message to every subscribed listener that is not deaf, in the order
    // they subscribed. With kDeliverQueued each listener is posted a copy instead.
    virtual void SpeakMessage(const XMessage& inMessage, uint32_t inDelivery = kDeliverNow);

    // Queues inMessage (ownership passes) for inListener; the centre delivers it on the
    // main thread, not before inWhen milliseconds have passed. Safe from any thread,
    // provided the listener is alive at the call; it may go before the delivery, and
    // the message is then dropped.
    static void PostXMessage(XMessage* inMessage, XListener* inListener, uint32_t inWhen = 0);

    // Nested: while suspended, the centre runs no periodical timers.
    static void SuspendIdleProcessing();
    static void ResumeIdleProcessing();

    size_t GetListenerCount() const;

protected:
    virtual void SpeakMessageNowSelf(const XMessage& inMessage, uint32_t inDelivery);

private:
    friend class XListener;
    // Guards the links between speakers and listeners (never held during a delivery).
    static std::mutex& GetLinkMutex();
    std::vector<std::shared_ptr<XListener::XCore>> GetListenerCores() const;

    std::vector<XListener*> itsListeners;
};
