#pragma once
// A queue of jobs run one after another, in the order attached, on the queue's own
// worker thread. Completions that belong on the main thread reach it through the
// application message centre; a queue destroyed before that drops them (its jobs are
// still deleted), so a completion never runs against a queue or owner that has gone.
#include "XJob.h"
#include "XListener.h"
#include "XMessage.h"
#include "XMutex.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

class XThread;

class XJobQueue : private XListener {
public:
    XJobQueue();
    // Stops the worker (cancelling the running job) and deletes every waiting job.
    ~XJobQueue() override;

    // Ownership of inJob passes to the queue. Jobs attached to a queue that is not
    // running wait until Start.
    void AttachJob(XJob* inJob, uint64_t inTag = XJob::kNoTag);

    void Start();
    // Cancels the running job and waits for the worker to end; waiting jobs stay for a
    // later Start. Called from a job of this queue, it stops the queue once that job returns.
    void Stop();
    bool IsRunning() const;

    // While suspended no new job starts; the running job is told Suspended()/Resumed().
    void Suspend();
    void Resume();
    bool IsSuspended() const;

    // Delete the waiting jobs (all, or those with the tag), cancel the running one if
    // it matches and wait for it to end, and drop matching completions not yet run.
    void DeleteAllJobs();
    void DeleteTaggedJobs(uint64_t inTag);

    // Waits until no job waits or runs (completions pending on the main thread do not
    // count). Does not wait while the queue is stopped or suspended. True when empty.
    bool WaitForQueueEmpty(uint32_t inTimeoutMs = XMutex::kInfinite);
    // Jobs waiting or running.
    size_t GetJobCount() const;

    // Carries a finished job to the main thread; deleting the message deletes the job.
    class XJobCompleteMessage : public XMessage {
    public:
        XJobCompleteMessage(std::shared_ptr<XJob> inJob, unsigned long inStatus);
        ~XJobCompleteMessage() override;
        XMessage* Clone() const override;
        XJob* GetJob() const { return itsJob.get(); }
        unsigned long GetStatus() const { return itsStatus; }

    private:
        std::shared_ptr<XJob> itsJob;
        unsigned long itsStatus;
    };

private:
    void HandleMessage(const XMessage& inMessage) override;
    void WorkerMain();
    bool IsWorkerThread() const;
    // Deletes waiting jobs that match, cancels a matching running job and waits for it.
    template <class Match>
    void DeleteMatchingJobs(Match inMatch);

    std::mutex itsControlMutex; // serialises Start and Stop
    mutable std::mutex itsMutex;
    std::condition_variable itsCondition;
    std::deque<XJob*> itsJobs;
    std::unique_ptr<XThread> itsWorker;
    XJob* itsRunningJob = nullptr; // set while RunJob runs
    bool itsRunningJobCancelled = false;
    bool itsIsBusy = false;        // a job taken from the queue is not finished yet
    uint64_t itsJobsFinished = 0;
    bool itsIsStopping = false;
    bool itsIsSuspended = false;
    std::vector<const XJob*> itsPendingCompletions; // posted to the main thread, not yet run
};
