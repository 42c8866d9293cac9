#include "XTimer.h"

#include "XAppMessageQueue.h"

#include <algorithm>

XTimer::XTimer(int64_t inDurationMs, int64_t inElapsedMs)
    : itsStart(XAppMessageQueue::Get().Now() - std::chrono::milliseconds(inElapsedMs)), itsDurationMs(inDurationMs)
{
}

void XTimer::Start() { itsStart = XAppMessageQueue::Get().Now(); }

void XTimer::Set(int64_t inDurationMs)
{
    itsDurationMs = inDurationMs;
    Start();
}

int64_t XTimer::GetElapsedTime() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(XAppMessageQueue::Get().Now() - itsStart).count();
}

int64_t XTimer::GetRemainingTime() const { return std::max<int64_t>(0, itsDurationMs - GetElapsedTime()); }
