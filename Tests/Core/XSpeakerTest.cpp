#include "XListener.h"
#include "XMessage.h"
#include "XSpeaker.h"

#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {
class XNamedMessage : public XMessage {
public:
    XNamedMessage(XSpeaker* inSpeaker, std::string inName) : XMessage(inSpeaker), itsName(std::move(inName)) {}
    XMessage* Clone() const override { return new XNamedMessage(*this); }
    std::string itsName;
};

class XRecordingListener : public XListener {
public:
    XRecordingListener(std::string inName, std::vector<std::string>* inLog) : itsName(std::move(inName)), itsLog(inLog) {}
    void HandleMessage(const XMessage& inMessage) override
    {
        if (auto* named = dynamic_cast<const XNamedMessage*>(&inMessage))
            itsLog->push_back(itsName + ":" + named->itsName);
        if (itsOnMessage)
            itsOnMessage();
    }
    std::string itsName;
    std::vector<std::string>* itsLog;
    std::function<void()> itsOnMessage;
};
} // namespace

TEST(XSpeaker, SpeaksToSubscribersInOrderSkipsDeafOnesAndDetachesOnDestruction)
{
    std::vector<std::string> log;
    auto speaker = std::make_unique<XSpeaker>();
    XRecordingListener a("a", &log), b("b", &log), c("c", &log);
    a.Subscribe(*speaker);
    b.Subscribe(*speaker);
    c.Subscribe(*speaker);
    a.Subscribe(*speaker); // twice is once
    EXPECT_EQ(speaker->GetListenerCount(), 3u);
    b.SetIsDeaf(true);
    speaker->SpeakMessage(XNamedMessage(speaker.get(), "one"));
    EXPECT_EQ(log, (std::vector<std::string>{"a:one", "c:one"}));

    b.SetIsDeaf(false);
    c.Unsubscribe(*speaker);
    {
        XRecordingListener gone("g", &log);
        gone.Subscribe(*speaker);
    }
    EXPECT_EQ(speaker->GetListenerCount(), 2u);
    log.clear();
    speaker->SpeakMessage(XNamedMessage(speaker.get(), "two"));
    EXPECT_EQ(log, (std::vector<std::string>{"a:two", "b:two"}));

    XSpeaker* raw = speaker.get();
    speaker.reset();
    EXPECT_FALSE(a.IsSubscribed(*raw)); // compares the address only
    a.UnsubscribeAll();                 // must not touch the destroyed speaker
}

TEST(XSpeaker, AListenerDestroyedDuringDeliveryGetsNothingMore)
{
    std::vector<std::string> log;
    XSpeaker speaker;
    auto first = std::make_unique<XRecordingListener>("first", &log);
    auto second = std::make_unique<XRecordingListener>("second", &log);
    first->Subscribe(speaker);
    second->Subscribe(speaker);
    // The first handler destroys the second listener and then itself.
    first->itsOnMessage = [&] {
        second.reset();
        first.reset();
    };
    speaker.SpeakMessage(XNamedMessage(&speaker, "x"));
    EXPECT_EQ(log, (std::vector<std::string>{"first:x"}));
    EXPECT_EQ(speaker.GetListenerCount(), 0u);
}

TEST(XSpeaker, SpeakingFromManyThreadsWhileListenersComeAndGo)
{
    XSpeaker speaker;
    std::atomic<int> heard{0};
    class XCountingListener : public XListener {
    public:
        explicit XCountingListener(std::atomic<int>& inHeard) : itsHeard(inHeard) {}
        ~XCountingListener() override { StopListening(); }
        void HandleMessage(const XMessage&) override { ++itsHeard; }
        std::atomic<int>& itsHeard;
    };
    XCountingListener steady(heard);
    steady.Subscribe(speaker);
    std::atomic<bool> done{false};
    std::vector<std::thread> speakers;
    for (int t = 0; t < 2; ++t)
        speakers.emplace_back([&] {
            for (int i = 0; i < 500; ++i)
                speaker.SpeakMessage(XNamedMessage(&speaker, "t"));
        });
    std::thread churn([&] {
        while (!done) {
            XCountingListener transient(heard);
            transient.Subscribe(speaker);
        }
    });
    for (auto& t : speakers)
        t.join();
    done = true;
    churn.join();
    EXPECT_GE(heard.load(), 1000); // the steady listener heard every message
}
