#include "XSpeaker.h"

#include "XAppMessageQueue.h"
#include "XAssert.h"
#include "XListener.h"
#include "XMessage.h"

#include <memory>

std::mutex& XSpeaker::GetLinkMutex()
{
    static std::mutex* sMutex = new std::mutex; // speakers may be destroyed at exit
    return *sMutex;
}

XSpeaker::XSpeaker() = default;

XSpeaker::~XSpeaker()
{
    std::lock_guard<std::mutex> lock(GetLinkMutex());
    for (XListener* listener : itsListeners)
        std::erase(listener->itsSpeakers, this);
    itsListeners.clear();
}

std::vector<std::shared_ptr<XListener::XCore>> XSpeaker::GetListenerCores() const
{
    std::lock_guard<std::mutex> lock(GetLinkMutex());
    std::vector<std::shared_ptr<XListener::XCore>> cores;
    cores.reserve(itsListeners.size());
    for (XListener* listener : itsListeners)
        cores.push_back(listener->itsCore);
    return cores;
}

void XSpeaker::SpeakMessage(const XMessage& inMessage, uint32_t inDelivery)
{
    if (inDelivery != kDeliverQueued) {
        SpeakMessageNowSelf(inMessage, inDelivery);
        return;
    }
    for (auto& core : GetListenerCores())
        XAppMessageQueue::Get().QueueMessage(std::unique_ptr<XMessage>(inMessage.Clone()),
                                                            std::move(core), 0);
}

void XSpeaker::SpeakMessageNowSelf(const XMessage& inMessage, uint32_t)
{
    // Deliver to a snapshot: handlers may subscribe, unsubscribe or destroy listeners.
    for (const auto& core : GetListenerCores())
        core->Deliver(inMessage);
}

void XSpeaker::PostXMessage(XMessage* inMessage, XListener* inListener, uint32_t inWhen)
{
    std::unique_ptr<XMessage> message(inMessage);
    X_ASSERT(inMessage);
    X_ASSERT(inListener);
    if (!inMessage || !inListener)
        return;
    XAppMessageQueue::Get().QueueMessage(std::move(message), inListener->itsCore, inWhen);
}

void XSpeaker::SuspendIdleProcessing() { XAppMessageQueue::Get().AdjustIdleSuspension(+1); }

void XSpeaker::ResumeIdleProcessing() { XAppMessageQueue::Get().AdjustIdleSuspension(-1); }

size_t XSpeaker::GetListenerCount() const
{
    std::lock_guard<std::mutex> lock(GetLinkMutex());
    return itsListeners.size();
}
