#include "CoreTestPump.h"
#include "XAppInitialisedMessage.h"
#include "XAppMessageCentre.h"
#include "XAssertRecorder.h"
#include "XException.h"
#include "XListener.h"
#include "XMessage.h"
#include "XSessionLogManager.h"
#include "XThread.h"

#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <numeric>
#include <thread>
#include <typeinfo>
#include <vector>

namespace {
class XNumberMessage : public XMessage {
public:
    explicit XNumberMessage(int inNumber) : itsNumber(inNumber) {}
    XMessage* Clone() const override { return new XNumberMessage(*this); }
    int itsNumber;
};

// Refresh-like: only the newest queued one matters.
class XRefreshMessage : public XNumberMessage {
public:
    using XNumberMessage::XNumberMessage;
    bool ShouldCoalesceQueueMessage() const override { return true; }
    XMessage* Clone() const override { return new XRefreshMessage(*this); }
};

class XOtherRefreshMessage : public XRefreshMessage {
public:
    using XRefreshMessage::XRefreshMessage;
    XMessage* Clone() const override { return new XOtherRefreshMessage(*this); }
};

class XQueueListener : public XListener {
public:
    void HandleMessage(const XMessage& inMessage) override
    {
        std::lock_guard<std::mutex> lock(itsMutex);
        if (auto* n = dynamic_cast<const XNumberMessage*>(&inMessage))
            itsNumbers.push_back(n->itsNumber);
        itsOnMainThread = itsOnMainThread && XThread::IsMainThread();
        itsInitialised += typeid(inMessage) == typeid(XAppInitialisedMessage);
    }
    std::vector<int> GetNumbers()
    {
        std::lock_guard<std::mutex> lock(itsMutex);
        return itsNumbers;
    }
    std::mutex itsMutex;
    std::vector<int> itsNumbers;
    bool itsOnMainThread = true;
    int itsInitialised = 0;
};

XAppMessageCentre& Centre() { return XAppMessageCentre::GetAppMessageCentre(); }

// Each test starts from an empty queue.
class XAppMessageCentreTest : public ::testing::Test {
protected:
    void SetUp() override { DrainMessages(); }
};
} // namespace

TEST_F(XAppMessageCentreTest, PostedMessagesArriveInOrderOnTheMainThreadOnlyThroughThePump)
{
    XQueueListener listener;
    std::thread poster([&] {
        for (int i = 0; i < 50; ++i)
            XSpeaker::PostXMessage(new XNumberMessage(i), &listener);
    });
    poster.join();
    EXPECT_TRUE(listener.GetNumbers().empty()) << "nothing is delivered inside the poster's call";
    {
        XAssertRecorder recorder;
        uint32_t delivered = 99;
        std::thread([&] { delivered = Centre().ProcessMessages(); }).join();
        EXPECT_EQ(delivered, 0u) << "only the main thread pumps";
        EXPECT_TRUE(recorder.Has("XThread::IsMainThread()", "Host/XAppMessageCentre"));
    }
    EXPECT_EQ(Centre().ProcessMessages(), 50u);
    std::vector<int> expected(50);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(listener.GetNumbers(), expected);
    EXPECT_TRUE(listener.itsOnMainThread);
    EXPECT_EQ(Centre().ProcessMessages(), 0u);
}

TEST_F(XAppMessageCentreTest, MessagesPostedDuringDeliveryWaitForTheNextPump)
{
    class XRepostingListener : public XListener {
    public:
        void HandleMessage(const XMessage&) override
        {
            if (++itsCount < 5)
                XSpeaker::PostXMessage(new XNumberMessage(itsCount), this);
        }
        int itsCount = 0;
    } listener;
    XSpeaker::PostXMessage(new XNumberMessage(0), &listener);
    EXPECT_EQ(Centre().ProcessMessages(), 1u);
    EXPECT_EQ(Centre().ProcessMessages(), 1u);
    EXPECT_EQ(listener.itsCount, 2);
    DrainMessages();
    EXPECT_EQ(listener.itsCount, 5);
}

TEST_F(XAppMessageCentreTest, CoalescingKeepsTheNewestOfEachTypeAndListener)
{
    XQueueListener a, b;
    XSpeaker::PostXMessage(new XRefreshMessage(1), &a);
    XSpeaker::PostXMessage(new XNumberMessage(100), &a);
    XSpeaker::PostXMessage(new XRefreshMessage(2), &a);     // replaces 1, in its place
    XSpeaker::PostXMessage(new XRefreshMessage(3), &b);     // other listener: kept
    XSpeaker::PostXMessage(new XOtherRefreshMessage(4), &a); // other type: kept
    XSpeaker::PostXMessage(new XRefreshMessage(5), &a);     // replaces 2
    XSpeaker::PostXMessage(new XNumberMessage(101), &a);    // does not coalesce
    XSpeaker::PostXMessage(new XNumberMessage(102), &a);
    EXPECT_EQ(Centre().GetQueuedMessageCount(), 6u);
    EXPECT_EQ(Centre().ProcessMessages(), 6u);
    EXPECT_EQ(a.GetNumbers(), (std::vector<int>{5, 100, 4, 101, 102}));
    EXPECT_EQ(b.GetNumbers(), (std::vector<int>{3}));
}

TEST_F(XAppMessageCentreTest, AMessageForADestroyedOrDeafListenerIsDroppedAndAFailingHandlerIsLogged)
{
    class XThrowingListener : public XListener {
    public:
        void HandleMessage(const XMessage&) override { throw XException(XException::kBadArgument, "handler broke"); }
    } thrower;
    static std::atomic<int> sDestroyed{0};
    class XTrackedMessage : public XNumberMessage {
    public:
        using XNumberMessage::XNumberMessage;
        ~XTrackedMessage() override { ++sDestroyed; }
        XMessage* Clone() const override { return new XTrackedMessage(*this); }
    };
    sDestroyed = 0;
    XQueueListener survivor, deaf;
    auto gone = std::make_unique<XQueueListener>();
    XSpeaker::PostXMessage(new XTrackedMessage(0), &thrower);
    XSpeaker::PostXMessage(new XTrackedMessage(1), gone.get());
    XSpeaker::PostXMessage(new XTrackedMessage(2), &survivor);
    XSpeaker::PostXMessage(new XTrackedMessage(3), &deaf);
    gone.reset();
    deaf.SetIsDeaf(true);
    EXPECT_EQ(Centre().ProcessMessages(), 1u); // only the survivor's message was delivered
    EXPECT_EQ(survivor.GetNumbers(), (std::vector<int>{2})) << "the pump goes on after a failing handler";
    EXPECT_FALSE(XSessionLogManager::GetManager()->FindEntries("handler broke").empty());
    EXPECT_TRUE(deaf.GetNumbers().empty());
    EXPECT_EQ(sDestroyed, 4) << "dropped messages are freed too";
}

TEST_F(XAppMessageCentreTest, DelayedMessagesWaitForTheirTime)
{
    XQueueListener listener;
    XSpeaker::PostXMessage(new XNumberMessage(2), &listener, 60);
    XSpeaker::PostXMessage(new XNumberMessage(1), &listener);
    EXPECT_EQ(Centre().ProcessMessages(), 1u);
    EXPECT_EQ(listener.GetNumbers(), (std::vector<int>{1}));
    ASSERT_TRUE(PumpUntil([&] { return listener.GetNumbers().size() == 2; }));
    EXPECT_EQ(listener.GetNumbers(), (std::vector<int>{1, 2}));
}

TEST_F(XAppMessageCentreTest, WaitingWakesForAMessagePostedFromAnotherThread)
{
    XQueueListener listener;
    std::thread poster([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        XSpeaker::PostXMessage(new XNumberMessage(9), &listener);
    });
    uint32_t delivered = 0;
    for (int i = 0; i < 100 && delivered == 0; ++i)
        delivered = Centre().WaitAndProcessMessages(1000);
    poster.join();
    EXPECT_EQ(delivered, 1u);
    EXPECT_EQ(listener.GetNumbers(), (std::vector<int>{9}));
}

TEST_F(XAppMessageCentreTest, SpeaksAppInitialisedToItsSubscribersAndQueuesCopiesOnRequest)
{
    XQueueListener listener;
    listener.Subscribe(Centre());
    Centre().SendAppInitialised();
    EXPECT_EQ(listener.itsInitialised, 1);

    // Queued delivery posts each listener a copy, delivered by the pump.
    XSpeaker speaker;
    XQueueListener later;
    later.Subscribe(speaker);
    speaker.SpeakMessage(XNumberMessage(42), XSpeaker::kDeliverQueued);
    EXPECT_TRUE(later.GetNumbers().empty());
    Centre().ProcessMessages();
    EXPECT_EQ(later.GetNumbers(), (std::vector<int>{42}));
}
