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
    bool Has(const std::string& inEvent)
    {
        std::lock_guard<std::mutex> lock(mutex);
        return std::find(events.begin(), events.end(), inEvent) != events.end();
    }
    std::vector<std::string> Get()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return events;
    }
};

class XTestJob : public XJob {
public:
    XTestJob(XJobLog& inLog, std::string inName, bool inCompleteInJobThread = false)
        : itsLog(inLog), itsName(std::move(inName)), itsCompleteInJobThread(inCompleteInJobThread)
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
} // namespace

TEST(XJobQueue, JobsRunInOrderAndCompleteOnTheMainThroughThePump)
{
    DrainMessages();
    XJobLog log;
    XJobQueue queue;
    queue.AttachJob(new XTestJob(log, "a"));
    queue.AttachJob(new XTestJob(log, "b"));
    EXPECT_FALSE(queue.IsRunning());
    EXPECT_EQ(queue.GetJobCount(), 2u);
    queue.Start();
    EXPECT_TRUE(queue.IsRunning());
    ASSERT_TRUE(queue.WaitForQueueEmpty(20000));
    EXPECT_EQ(log.Get(), (std::vector<std::string>{"a ran", "b ran"})) << "no completion before the pump";
    ASSERT_TRUE(PumpUntil([&] { return log.deleted == 2; }));
    EXPECT_EQ(log.Get(), (std::vector<std::string>{"a ran", "b ran", "a complete 0 main", "b complete 0 main"}));
}

TEST(XJobQueue, AJobMayCompleteInItsOwnThread)
{
    DrainMessages();
    XJobLog log;
    XJobQueue queue;
    queue.Start();
    queue.AttachJob(new XTestJob(log, "here", true));
    ASSERT_TRUE(queue.WaitForQueueEmpty(20000));
    EXPECT_EQ(log.Get(), (std::vector<std::string>{"here ran", "here complete 0 worker"}));
    EXPECT_EQ(log.deleted, 1);
}

TEST(XJobQueue, StopCancelsALongJobAndLaterJobsWaitForTheNextStart)
{
    DrainMessages();
    XJobLog log;
    XJobQueue queue;
    std::atomic<bool> started{false};
    auto* longJob = new XTestJob(log, "long");
    longJob->itsWork = [&] { RunUntilStopped(started); };
    queue.AttachJob(longJob);
    queue.AttachJob(new XTestJob(log, "next"));
    queue.Start();
    while (!started)
        std::this_thread::yield();
    queue.Stop();
    EXPECT_FALSE(queue.IsRunning());
    EXPECT_EQ(log.Get(), (std::vector<std::string>{"long stopped"}));
    EXPECT_EQ(log.deleted, 1);
    EXPECT_EQ(queue.GetJobCount(), 1u);
    EXPECT_FALSE(queue.WaitForQueueEmpty()) << "a stopped queue is not waited for";

    queue.Start();
    ASSERT_TRUE(queue.WaitForQueueEmpty(20000));
    ASSERT_TRUE(PumpUntil([&] { return log.deleted == 2; }));
    EXPECT_TRUE(log.Has("next complete 0 main"));
    EXPECT_FALSE(log.Has("long complete 1 main")) << "a cancelled job is not completed on the main thread";
}

TEST(XJobQueue, DeleteTaggedJobsRemovesWaitingAndRunningJobsOfThatTagOnly)
{
    DrainMessages();
    XJobLog log;
    XJobQueue queue;
    std::atomic<bool> started{false};
    auto* running = new XTestJob(log, "running7");
    running->itsWork = [&] { RunUntilStopped(started); };
    queue.AttachJob(running, 7);
    queue.AttachJob(new XTestJob(log, "waiting7"), 7);
    queue.AttachJob(new XTestJob(log, "waiting8"), 8);
    queue.Start();
    while (!started)
        std::this_thread::yield();
    queue.DeleteTaggedJobs(7);
    // Returns only once the running job has ended.
    EXPECT_TRUE(log.Has("running7 stopped"));
    EXPECT_GE(log.deleted, 2);
    EXPECT_TRUE(queue.IsRunning()) << "the queue goes on with other jobs";
    ASSERT_TRUE(queue.WaitForQueueEmpty(20000));
    ASSERT_TRUE(PumpUntil([&] { return log.deleted == 3; }));
    EXPECT_TRUE(log.Has("waiting8 ran"));
    EXPECT_FALSE(log.Has("waiting7 ran"));
}

TEST(XJobQueue, DeletingJobsDropsTheirPendingCompletions)
{
    DrainMessages();
    XJobLog log;
    XJobQueue queue;
    queue.AttachJob(new XTestJob(log, "done5"), 5);
    queue.AttachJob(new XTestJob(log, "done6"), 6);
    queue.Start();
    ASSERT_TRUE(queue.WaitForQueueEmpty(20000));
    queue.DeleteTaggedJobs(5); // finished, but its completion has not run yet
    ASSERT_TRUE(PumpUntil([&] { return log.deleted == 2; }));
    EXPECT_FALSE(log.Has("done5 complete 0 main"));
    EXPECT_TRUE(log.Has("done6 complete 0 main"));
}

TEST(XJobQueue, AQueueDestroyedBeforeThePumpDropsItsCompletions)
{
    DrainMessages();
    XJobLog log;
    {
        XJobQueue queue;
        queue.AttachJob(new XTestJob(log, "orphan"));
        queue.Start();
        ASSERT_TRUE(queue.WaitForQueueEmpty(20000));
    }
    XAppMessageCentre::GetAppMessageCentre().ProcessMessages();
    EXPECT_EQ(log.Get(), (std::vector<std::string>{"orphan ran"}));
    EXPECT_EQ(log.deleted, 1) << "the job is still freed";
}

TEST(XJobQueue, AFailingJobIsLoggedAndTheQueueGoesOn)
{
    DrainMessages();
    XJobLog log;
    XJobQueue queue;
    auto* failing = new XTestJob(log, "failing", true);
    failing->itsWork = [] { throw XException(XException::kFileError, "job input vanished"); };
    queue.AttachJob(failing);
    queue.AttachJob(new XTestJob(log, "after", true));
    queue.Start();
    ASSERT_TRUE(queue.WaitForQueueEmpty(20000));
    EXPECT_EQ(log.Get(), (std::vector<std::string>{"failing complete 2 worker", "after ran", "after complete 0 worker"}));
    EXPECT_FALSE(XSessionLogManager::GetManager()->FindEntries("job input vanished").empty());
}

TEST(XJobQueue, SuspendHoldsNewJobsAndTellsTheRunningOne)
{
    DrainMessages();
    XJobLog log;
    XJobQueue queue;
    std::atomic<bool> release{false}, started{false};
    class XSuspendAwareJob : public XTestJob {
    public:
        using XTestJob::XTestJob;
        void Suspended() override { itsSuspended = true; }
        void Resumed() override { itsResumed = true; }
        std::atomic<bool> itsSuspended{false}, itsResumed{false};
    };
    auto* first = new XSuspendAwareJob(log, "first", true);
    first->itsWork = [&] {
        started = true;
        while (!release)
            XThread::SleepCurrentThread(1);
    };
    std::atomic<bool>* suspendedSeen = &first->itsSuspended;
    queue.AttachJob(first);
    queue.AttachJob(new XTestJob(log, "second", true));
    queue.Start();
    while (!started)
        std::this_thread::yield();
    queue.Suspend();
    EXPECT_TRUE(suspendedSeen->load());
    release = true;
    EXPECT_FALSE(queue.WaitForQueueEmpty(20000)) << "a suspended queue is not waited for";
    // The first job finishes; the second must not start while suspended.
    for (int i = 0; i < 50 && !log.Has("first complete 0 worker"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(log.Has("second ran"));
    EXPECT_EQ(queue.GetJobCount(), 1u);
    queue.Resume();
    ASSERT_TRUE(queue.WaitForQueueEmpty(20000));
    EXPECT_TRUE(log.Has("second ran"));
}

TEST(XJobQueue, AJobMayStopItsOwnQueue)
{
    DrainMessages();
    XJobLog log;
    XJobQueue queue;
    auto* stopper = new XTestJob(log, "stopper", true);
    stopper->itsWork = [&] { queue.Stop(); };
    queue.AttachJob(stopper);
    queue.AttachJob(new XTestJob(log, "later", true));
    queue.Start();
    for (int i = 0; i < 2000 && queue.IsRunning(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_FALSE(queue.IsRunning());
    queue.Start(); // joins the old worker, then runs what is left
    ASSERT_TRUE(queue.WaitForQueueEmpty(20000));
    EXPECT_TRUE(log.Has("later ran"));
}
