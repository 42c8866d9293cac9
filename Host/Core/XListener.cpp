#include "XListener.h"

#include "XSpeaker.h"

#include <algorithm>

bool XListener::XCore::Deliver(const XMessage& inMessage)
{
    const std::thread::id self = std::this_thread::get_id();
    {
        std::lock_guard<std::mutex> lock(itsMutex);
        if (!itsIsOpen || itsIsDeaf.load())
            return false;
        itsDeliveringThreads.push_back(self);
    }
    struct Leave {
        XCore& core;
        std::thread::id self;
        ~Leave()
        {
            {
                std::lock_guard<std::mutex> lock(core.itsMutex);
                auto& threads = core.itsDeliveringThreads;
                threads.erase(std::find(threads.begin(), threads.end(), self));
            }
            core.itsCondition.notify_all();
        }
    } leave{*this, self};
    itsListener->HandleMessage(inMessage);
    return true;
}

void XListener::XCore::Close()
{
    const std::thread::id self = std::this_thread::get_id();
    std::unique_lock<std::mutex> lock(itsMutex);
    itsIsOpen = false;
    // A listener may be destroyed from inside its own HandleMessage: only deliveries
    // on other threads are waited for.
    itsCondition.wait(lock, [&] {
        return std::all_of(itsDeliveringThreads.begin(), itsDeliveringThreads.end(),
                           [&](std::thread::id t) { return t == self; });
    });
}

XListener::XListener() : itsCore(std::make_shared<XCore>(this)) {}

XListener::~XListener() { StopListening(); }

void XListener::StopListening()
{
    UnsubscribeAll();
    itsCore->Close();
}

void XListener::Subscribe(XSpeaker& inSpeaker)
{
    std::lock_guard<std::mutex> lock(XSpeaker::GetLinkMutex());
    if (std::find(itsSpeakers.begin(), itsSpeakers.end(), &inSpeaker) != itsSpeakers.end())
        return;
    itsSpeakers.push_back(&inSpeaker);
    inSpeaker.itsListeners.push_back(this);
}

void XListener::Unsubscribe(XSpeaker& inSpeaker)
{
    std::lock_guard<std::mutex> lock(XSpeaker::GetLinkMutex());
    std::erase(itsSpeakers, &inSpeaker);
    std::erase(inSpeaker.itsListeners, this);
}

void XListener::UnsubscribeAll()
{
    std::lock_guard<std::mutex> lock(XSpeaker::GetLinkMutex());
    for (XSpeaker* speaker : itsSpeakers)
        std::erase(speaker->itsListeners, this);
    itsSpeakers.clear();
}

bool XListener::IsSubscribed(const XSpeaker& inSpeaker) const
{
    std::lock_guard<std::mutex> lock(XSpeaker::GetLinkMutex());
    return std::find(itsSpeakers.begin(), itsSpeakers.end(), &inSpeaker) != itsSpeakers.end();
}

void XListener::HandleMessage(const XMessage&) {}

void XListener::SetIsDeaf(bool inIsDeaf) { itsCore->itsIsDeaf = inIsDeaf; }

bool XListener::IsDeaf() const { return itsCore->itsIsDeaf.load(); }
