#pragma once
// Hears the messages of the speakers it subscribes to, and messages posted to it.
//
// Deliveries may come from any thread that speaks. Destroying a listener detaches it
// from its speakers, drops messages still queued for it, and waits for deliveries
// under way on other threads. A listener whose HandleMessage can run on another
// thread calls StopListening first in its own destructor, so that no delivery
// reaches a half-destroyed object.
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class XMessage;
class XSpeaker;

class XListener {
public:
    XListener();
    virtual ~XListener();
    XListener(const XListener&) = delete;
    XListener& operator=(const XListener&) = delete;

    // Subscribing twice to one speaker is the same as once.
    void Subscribe(XSpeaker& inSpeaker);
    void Unsubscribe(XSpeaker& inSpeaker);
    void UnsubscribeAll();
    bool IsSubscribed(const XSpeaker& inSpeaker) const;

    // Called for each message heard; the default ignores it.
    virtual void HandleMessage(const XMessage& inMessage);

    // A deaf listener hears nothing: neither spoken nor posted messages reach it.
    void SetIsDeaf(bool inIsDeaf);
    bool IsDeaf() const;

    // The part of a listener that speakers and the message queue hold on to: it
    // outlives the listener, so a late delivery finds it closed instead of freed memory.
    class XCore {
    public:
        explicit XCore(XListener* inListener) : itsListener(inListener) {}
        // Hands the message to the listener; false when it is closed or deaf.
        bool Deliver(const XMessage& inMessage);
        // No delivery starts after this; waits for those running on other threads.
        void Close();
        std::atomic<bool> itsIsDeaf{false};

    private:
        XListener* itsListener;
        std::mutex itsMutex;
        std::condition_variable itsCondition;
        bool itsIsOpen = true;
        std::vector<std::thread::id> itsDeliveringThreads;
    };

protected:
    // Stops every delivery to this listener (see above). Safe to call more than once.
    void StopListening();

private:
    friend class XSpeaker;
    std::shared_ptr<XCore> itsCore;
    std::vector<XSpeaker*> itsSpeakers; // guarded by XSpeaker's link mutex
};
