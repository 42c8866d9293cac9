#include "XJobQueue.h"

#include "XAssert.h"
#include "XSessionLogManager.h"
#include "XSpeaker.h"
#include "XStopThreadException.h"
#include "XThread.h"

#include <algorithm>
#include <chrono>
#include <exception>

namespace {
void LogJobFailure(const XString& inWhat)
{
    XSessionLogManager::GetManager()->AddEntry(XString("A background job failed: %1").Replace(inWhat),
                                               XSessionLogManager::kError);
}

// Runs a job's step; a failure is logged and reported as false. Cancellation is held
// off, since hooks and completions run after the job's own work is over.
template <class F>
bool RunJobStep(F&& inStep)
{
    XThread::PreventStop();
    bool ok = false;
    try {
        inStep();
        ok = true;
    } catch (const XException& e) {
        if (e.ShouldReportError())
            LogJobFailure(e.GetErrorMessage());
    } catch (const std::exception& e) {
        LogJobFailure(XString(e.what()));
    } catch (...) {
        LogJobFailure("an unknown error");
    }
    XThread::AllowStop();
    return ok;
}
} // namespace

XJobQueue::XJobCompleteMessage::XJobCompleteMessage(std::shared_ptr<XJob> inJob, unsigned long inStatus)
    : itsJob(std::move(inJob)), itsStatus(inStatus)
{
}

XJobQueue::XJobCompleteMessage::~XJobCompleteMessage() = default;

XMessage* XJobQueue::XJobCompleteMessage::Clone() const { return new XJobCompleteMessage(*this); }

XJobQueue::XJobQueue() = default;

XJobQueue::~XJobQueue()
{
    // A job cannot destroy its own queue: the worker would run on in freed memory.
    X_ASSERT_TEXT(!IsWorkerThread(), "!IsWorkerThread()");
    // No completion may reach this queue from here on, on any thread.
    StopListening();
    Stop();
    DeleteAllJobs();
    std::lock_guard<std::mutex> lock(itsMutex);
    itsPendingCompletions.clear();
}

void XJobQueue::AttachJob(XJob* inJob, uint64_t inTag)
{
    X_ASSERT(inJob);
    if (!inJob)
        return;
    inJob->SetTag(inTag);
    {
        std::lock_guard<std::mutex> lock(itsMutex);
        itsJobs.push_back(inJob);
    }
    itsCondition.notify_all();
}

bool XJobQueue::IsWorkerThread() const
{
    XThread* current = XThread::GetCurrentThread();
    std::lock_guard<std::mutex> lock(itsMutex);
    return current && current == itsWorker.get();
}

void XJobQueue::Start()
{
    // From a job of this queue the worker exists already; restarting it there could
    // only race with a Stop on another thread.
    X_ASSERT_TEXT(!IsWorkerThread(), "!IsWorkerThread()");
    if (IsWorkerThread())
        return;
    std::lock_guard<std::mutex> control(itsControlMutex);
    std::unique_ptr<XThread> finished;
    {
        std::lock_guard<std::mutex> lock(itsMutex);
        if (itsWorker && !itsIsStopping)
            return;
        finished = std::move(itsWorker);
    }
    if (finished)
        finished->Join(); // a worker stopped from its own job: let it end first
    std::lock_guard<std::mutex> lock(itsMutex);
    itsIsStopping = false;
    itsWorker = std::make_unique<XThread>([this] { WorkerMain(); });
    itsWorker->Start();
}

void XJobQueue::Stop()
{
    if (IsWorkerThread()) {
        // The worker leaves its loop when the calling job returns; whoever starts or
        // destroys the queue next joins it. No control lock: a Stop on another thread
        // may hold it while it waits for this very job.
        {
            std::lock_guard<std::mutex> lock(itsMutex);
            itsIsStopping = true;
            itsWorker->RequestStop();
        }
        itsCondition.notify_all();
        return;
    }
    std::lock_guard<std::mutex> control(itsControlMutex);
    XThread* worker;
    {
        std::lock_guard<std::mutex> lock(itsMutex);
        if (!itsWorker)
            return;
        itsIsStopping = true;
        itsWorker->RequestStop();
        worker = itsWorker.get();
    }
    itsCondition.notify_all();
    worker->Join();
    std::lock_guard<std::mutex> lock(itsMutex);
    itsWorker.reset();
}

bool XJobQueue::IsRunning() const
{
    std::lock_guard<std::mutex> lock(itsMutex);
    return itsWorker && !itsIsStopping;
}

void XJobQueue::Suspend()
{
    std::lock_guard<std::mutex> lock(itsMutex);
    if (itsIsSuspended)
        return;
    itsIsSuspended = true;
    if (itsRunningJob)
        itsRunningJob->Suspended();
}

void XJobQueue::Resume()
{
    {
        std::lock_guard<std::mutex> lock(itsMutex);
        if (!itsIsSuspended)
            return;
        itsIsSuspended = false;
        if (itsRunningJob)
            itsRunningJob->Resumed();
    }
    itsCondition.notify_all();
}

bool XJobQueue::IsSuspended() const
{
    std::lock_guard<std::mutex> lock(itsMutex);
    return itsIsSuspended;
}

template <class Match>
void XJobQueue::DeleteMatchingJobs(Match inMatch)
{
    const bool onWorker = IsWorkerThread();
    std::vector<XJob*> doomed;
    {
        std::unique_lock<std::mutex> lock(itsMutex);
        auto keep = std::stable_partition(itsJobs.begin(), itsJobs.end(), [&](XJob* j) { return !inMatch(j); });
        doomed.assign(keep, itsJobs.end());
        itsJobs.erase(keep, itsJobs.end());
        std::erase_if(itsPendingCompletions, [&](const XJob* j) { return inMatch(j); });
        // A job deleting its own kind cannot wait for itself; it ends when it returns.
        if (itsRunningJob && inMatch(itsRunningJob) && !onWorker) {
            const uint64_t finished = itsJobsFinished;
            itsRunningJobCancelled = true;
            itsWorker->RequestStop();
            itsCondition.wait(lock, [&] { return itsJobsFinished != finished; });
        }
    }
    for (XJob* job : doomed)
        delete job;
    itsCondition.notify_all();
}

void XJobQueue::DeleteAllJobs()
{
    DeleteMatchingJobs([](const XJob*) { return true; });
}

void XJobQueue::DeleteTaggedJobs(uint64_t inTag)
{
    DeleteMatchingJobs([inTag](const XJob* j) { return j->GetTag() == inTag; });
}

bool XJobQueue::WaitForQueueEmpty(uint32_t inTimeoutMs)
{
    const bool onWorker = IsWorkerThread();
    X_ASSERT_TEXT(!onWorker, "!IsWorkerThread()");
    std::unique_lock<std::mutex> lock(itsMutex);
    auto isEmpty = [&] { return itsJobs.empty() && !itsIsBusy; };
    // Nothing will empty a queue that is not working.
    auto done = [&] { return isEmpty() || !itsWorker || itsIsStopping || itsIsSuspended; };
    if (onWorker)
        return isEmpty();
    if (inTimeoutMs == XMutex::kInfinite)
        itsCondition.wait(lock, done);
    else
        itsCondition.wait_for(lock, std::chrono::milliseconds(inTimeoutMs), done);
    return isEmpty();
}

size_t XJobQueue::GetJobCount() const
{
    std::lock_guard<std::mutex> lock(itsMutex);
    return itsJobs.size() + (itsIsBusy ? 1 : 0);
}

void XJobQueue::WorkerMain()
{
    XThread* self = XThread::GetCurrentThread();
    for (;;) {
        XJob* job;
        {
            std::unique_lock<std::mutex> lock(itsMutex);
            itsCondition.wait(lock, [&] { return itsIsStopping || (!itsIsSuspended && !itsJobs.empty()); });
            if (itsIsStopping)
                return;
            job = itsJobs.front();
            itsJobs.pop_front();
            itsRunningJob = job;
            itsRunningJobCancelled = false;
            itsIsBusy = true;
            // A cancellation aimed at a job that had already ended must not hit this one.
            self->ClearStopRequest();
        }
        unsigned long status = XJob::kJobDone;
        try {
            job->RunJob();
        } catch (const XStopThreadException&) {
            status = XJob::kJobStopped;
        } catch (const XException& e) {
            status = XJob::kJobFailed;
            if (e.ShouldReportError())
                LogJobFailure(e.GetErrorMessage());
        } catch (const std::exception& e) {
            status = XJob::kJobFailed;
            LogJobFailure(XString(e.what()));
        } catch (...) {
            status = XJob::kJobFailed;
            LogJobFailure("an unknown error");
        }
        {
            std::lock_guard<std::mutex> lock(itsMutex);
            itsRunningJob = nullptr; // no more Suspended/Resumed calls reach it
            // Deleted while it ran: its completion must not run, even if it got to the end.
            if (itsRunningJobCancelled)
                status = XJob::kJobStopped;
        }

        if (status == XJob::kJobStopped)
            RunJobStep([&] { job->Stopped(); });
        if (job->CanCompleteInJobThread()) {
            RunJobStep([&] { job->JobComplete(status); });
            delete job;
        } else if (status == XJob::kJobStopped) {
            delete job; // its owner is likely going away: no completion on the main thread
        } else {
            std::shared_ptr<XJob> shared(job);
            {
                std::lock_guard<std::mutex> lock(itsMutex);
                itsPendingCompletions.push_back(job);
            }
            XSpeaker::PostXMessage(new XJobCompleteMessage(std::move(shared), status), this);
        }

        {
            std::lock_guard<std::mutex> lock(itsMutex);
            itsIsBusy = false;
            ++itsJobsFinished;
            if (!itsIsStopping)
                self->ClearStopRequest();
        }
        itsCondition.notify_all();
    }
}

void XJobQueue::HandleMessage(const XMessage& inMessage)
{
    auto* complete = dynamic_cast<const XJobCompleteMessage*>(&inMessage);
    if (!complete)
        return;
    {
        std::lock_guard<std::mutex> lock(itsMutex);
        auto it = std::find(itsPendingCompletions.begin(), itsPendingCompletions.end(), complete->GetJob());
        if (it == itsPendingCompletions.end())
            return; // dropped by DeleteAllJobs or DeleteTaggedJobs
        itsPendingCompletions.erase(it);
    }
    RunJobStep([&] { complete->GetJob()->JobComplete(complete->GetStatus()); });
}
