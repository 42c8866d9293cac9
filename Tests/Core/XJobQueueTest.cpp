#include "CoreTestPump.h"
#include "XException.h"
#include "XJob.h"
#include "XJobQueue.h"
#include "XSessionLogManager.h"
#include "XThread.h"

#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {
// What happened to the jobs of a test, as seen from the jobs themselves.
struct XJobLog {
    std::mutex mutex;
    std::vector<std::string> events;
    std::atomic<int> deleted{0};

    void Add(const std::string& inEvent)
    {
        std::lock_guard<std::mutex> lock(mutex);
        events.push_back(inEvent);
    }
    std::vector<std::string> Get()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return events;
    }
    bool Has(const std::string& inEvent)
    {
        const auto e = Get();
        return std::find(e.begin(), e.end(), inEvent) != e.end();
    }
};

class XTestJob : public XJob {
public:
    XTestJob(XJobLog& inLog, std::string inName, bool inCompleteInJobThread = false, std::function<void()> inWork = {})
        : itsWork(std::move(inWork)), itsLog(inLog), itsName(std::move(inName)), itsCompleteInJobThread(inCompleteInJobThread)
    {
    }
    ~XTestJob() override { ++itsLog.deleted; }
    bool CanCompleteInJobThread() const override { return itsCompleteInJobThread; }
    void Stopped() override { itsLog.Add(itsName + " stopped"); }

    std::function<void()> itsWork;

protected:
    void RunJobSelf() override
    {
        if (itsWork)
            itsWork();
        itsLog.Add(itsName + " ran");
    }
    void JobCompleteSelf(unsigned long inStatus) override
    {
        itsLog.Add(itsName + " complete " + std::to_string(inStatus) + (XThread::IsMainThread() ? " main" : " worker"));
    }

private:
    XJobLog& itsLog;
    std::string itsName;
    bool itsCompleteInJobThread;
};

// Runs until the thread is asked to stop, testing for it as long work should.
void RunUntilStopped(std::atomic<bool>& outStarted)
{
    outStarted = true;
    for (;;)
        XThread::SleepCurrentThread(5);
}

// Each test starts from an empty message queue; the log outlives the queue's jobs.
class XJobQueueTest : public ::testing::Test {
protected:
    void SetUp() override { DrainMessages(); }
    XJobLog itsLog;
    XJobQueue itsQueue;
};
} // namespace

TEST_F(XJobQueueTest, JobsRunInOrderAndCompleteOnTheMainThroughThePump)
{
    itsQueue.AttachJob(new XTestJob(itsLog, "a"));
    itsQueue.AttachJob(new XTestJob(itsLog, "b"));
    itsQueue.Start();
    ASSERT_TRUE(itsQueue.WaitForQueueEmpty(20000));
    EXPECT_EQ(itsLog.Get(), (std::vector<std::string>{"a ran", "b ran"})) << "no completion before the pump";
    ASSERT_TRUE(PumpUntil([&] { return itsLog.deleted == 2; }));
    EXPECT_EQ(itsLog.Get(), (std::vector<std::string>{"a ran", "b ran", "a complete 0 main", "b complete 0 main"}));
}

TEST_F(XJobQueueTest, StopCancelsALongJobAndLaterJobsWaitForTheNextStart)
{
    std::atomic<bool> started{false};
    itsQueue.AttachJob(new XTestJob(itsLog, "long", false, [&] { RunUntilStopped(started); }));
    itsQueue.AttachJob(new XTestJob(itsLog, "next"));
    itsQueue.Start();
    SpinUntil(started);
    itsQueue.Stop();
    EXPECT_FALSE(itsQueue.IsRunning());
    EXPECT_EQ(itsLog.Get(), (std::vector<std::string>{"long stopped"}));
    EXPECT_EQ(itsLog.deleted, 1);
    EXPECT_EQ(itsQueue.GetJobCount(), 1u);
    EXPECT_FALSE(itsQueue.WaitForQueueEmpty()) << "a stopped itsQueue is not waited for";

    itsQueue.Start();
    ASSERT_TRUE(itsQueue.WaitForQueueEmpty(20000));
    ASSERT_TRUE(PumpUntil([&] { return itsLog.deleted == 2; }));
    EXPECT_TRUE(itsLog.Has("next complete 0 main"));
    EXPECT_FALSE(itsLog.Has("long complete 1 main")) << "a cancelled job is not completed on the main thread";
}

TEST_F(XJobQueueTest, DeleteTaggedJobsRemovesWaitingAndRunningJobsOfThatTagOnly)
{
    std::atomic<bool> started{false};
    itsQueue.AttachJob(new XTestJob(itsLog, "running7", false, [&] { RunUntilStopped(started); }), 7);
    itsQueue.AttachJob(new XTestJob(itsLog, "waiting7"), 7);
    itsQueue.AttachJob(new XTestJob(itsLog, "waiting8"), 8);
    itsQueue.Start();
    SpinUntil(started);
    itsQueue.DeleteTaggedJobs(7);
    // Returns only once the running job has ended.
    EXPECT_TRUE(itsLog.Has("running7 stopped"));
    EXPECT_GE(itsLog.deleted, 2);
    EXPECT_TRUE(itsQueue.IsRunning()) << "the itsQueue goes on with other jobs";
    ASSERT_TRUE(itsQueue.WaitForQueueEmpty(20000));
    ASSERT_TRUE(PumpUntil([&] { return itsLog.deleted == 3; })); // the orphan too, its completion dropped
    EXPECT_TRUE(itsLog.Has("waiting8 ran"));
    EXPECT_FALSE(itsLog.Has("waiting7 ran"));
}

TEST_F(XJobQueueTest, DeletedJobsAndDestroyedQueuesDropTheirPendingCompletions)
{
    {
        XJobQueue queue;
        queue.AttachJob(new XTestJob(itsLog, "orphan"));
        queue.Start();
        ASSERT_TRUE(queue.WaitForQueueEmpty(20000));
    }
    itsQueue.AttachJob(new XTestJob(itsLog, "done5"), 5);
    itsQueue.AttachJob(new XTestJob(itsLog, "done6"), 6);
    itsQueue.Start();
    ASSERT_TRUE(itsQueue.WaitForQueueEmpty(20000));
    itsQueue.DeleteTaggedJobs(5); // finished, but its completion has not run yet
    ASSERT_TRUE(PumpUntil([&] { return itsLog.deleted == 3; })); // the orphan too, its completion dropped
    EXPECT_EQ(itsLog.Get(), (std::vector<std::string>{"orphan ran", "done5 ran", "done6 ran", "done6 complete 0 main"}));
}

TEST_F(XJobQueueTest, AJobMayCompleteInItsOwnThreadAndAFailingJobIsLogged)
{
    itsQueue.AttachJob(
        new XTestJob(itsLog, "failing", true, [] { throw XException(XException::kFileError, "job input vanished"); }));
    itsQueue.AttachJob(new XTestJob(itsLog, "after", true));
    itsQueue.Start();
    ASSERT_TRUE(itsQueue.WaitForQueueEmpty(20000));
    // Both complete in their own thread and are freed there.
    EXPECT_EQ(itsLog.Get(), (std::vector<std::string>{"failing complete 2 worker", "after ran", "after complete 0 worker"}));
    EXPECT_EQ(itsLog.deleted, 2);
    EXPECT_FALSE(XSessionLogManager::GetManager()->FindEntries("job input vanished").empty());
}

TEST_F(XJobQueueTest, SuspendHoldsNewJobsAndTellsTheRunningOne)
{
    std::atomic<bool> release{false}, started{false};
    class XSuspendAwareJob : public XTestJob {
    public:
        using XTestJob::XTestJob;
        void Suspended() override { itsSuspended = true; }
        void Resumed() override { itsResumed = true; }
        std::atomic<bool> itsSuspended{false}, itsResumed{false};
    };
    auto* first = new XSuspendAwareJob(itsLog, "first", true);
    first->itsWork = [&] {
        started = true;
        while (!release)
            XThread::SleepCurrentThread(1);
    };
    std::atomic<bool>* suspendedSeen = &first->itsSuspended;
    itsQueue.AttachJob(first);
    itsQueue.AttachJob(new XTestJob(itsLog, "second", true));
    itsQueue.Start();
    SpinUntil(started);
    itsQueue.Suspend();
    EXPECT_TRUE(suspendedSeen->load());
    release = true;
    EXPECT_FALSE(itsQueue.WaitForQueueEmpty(20000)) << "a suspended itsQueue is not waited for";
    // The first job finishes; the second must not start while suspended.
    for (int i = 0; i < 50 && !itsLog.Has("first complete 0 worker"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(itsLog.Has("second ran"));
    EXPECT_EQ(itsQueue.GetJobCount(), 1u);
    itsQueue.Resume();
    ASSERT_TRUE(itsQueue.WaitForQueueEmpty(20000));
    EXPECT_TRUE(itsLog.Has("second ran"));
}

TEST_F(XJobQueueTest, AJobMayStopItsOwnQueue)
{
    itsQueue.AttachJob(new XTestJob(itsLog, "stopper", true, [&] { itsQueue.Stop(); }));
    itsQueue.AttachJob(new XTestJob(itsLog, "later", true));
    itsQueue.Start();
    for (int i = 0; i < 2000 && itsQueue.IsRunning(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_FALSE(itsQueue.IsRunning());
    itsQueue.Start(); // joins the old worker, then runs what is left
    ASSERT_TRUE(itsQueue.WaitForQueueEmpty(20000));
    EXPECT_TRUE(itsLog.Has("later ran"));
}
