#pragma once
// A piece of background work run by an XJobQueue: RunJobSelf on the queue's worker
// thread, then JobCompleteSelf on the main thread (through the application message
// centre), or on the worker when CanCompleteInJobThread says so. The queue owns the
// job once attached and deletes it after completion.
//
// Long work tests for cancellation (XThread::TestCancelCurrentThread); a job that is
// cancelled leaves by XStopThreadException, gets Stopped(), and is then deleted; only a
// job that completes on its worker is told JobCompleteSelf(kJobStopped).
#include <cstdint>

class XJob {
public:
    // The status handed to JobCompleteSelf.
    enum : unsigned long { kJobDone = 0, kJobStopped = 1, kJobFailed = 2 };
    static constexpr uint64_t kNoTag = 0;

    XJob() = default;
    virtual ~XJob();
    XJob(const XJob&) = delete;
    XJob& operator=(const XJob&) = delete;

    // Called by the queue on its worker thread.
    void RunJob();
    // Called by the queue once, on the main thread or the worker.
    void JobComplete(unsigned long inStatus);

    // True: completion runs on the worker right after the job, and does not wait for the
    // main thread's pump (the completion must then be safe on any thread).
    virtual bool CanCompleteInJobThread() const;
    // The job was cancelled while it ran (on the worker, before it is deleted).
    virtual void Stopped();
    // The queue was suspended or resumed while this job ran (on the caller's thread;
    // these hooks must not call back into the queue).
    virtual void Suspended();
    virtual void Resumed();

    // Groups jobs for XJobQueue::DeleteTaggedJobs (set by AttachJob).
    uint64_t GetTag() const { return itsTag; }
    void SetTag(uint64_t inTag) { itsTag = inTag; }

protected:
    virtual void RunJobSelf() = 0;
    virtual void JobCompleteSelf(unsigned long inStatus);

private:
    uint64_t itsTag = kNoTag;
};
