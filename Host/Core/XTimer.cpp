#include "XTimer.h"

#include <algorithm>

XTimer::XTimer(int64_t inDurationMs, int64_t inElapsedMs)
    : itsStart(std::chrono::steady_clock::now() - std::chrono::milliseconds(inElapsedMs)), itsDurationMs(inDurationMs)
{
}

void XTimer::Start() { itsStart = std::chrono::steady_clock::now(); }

void XTimer::Set(int64_t inDurationMs)
{
    itsDurationMs = inDurationMs;
    Start();
}

int64_t XTimer::GetElapsedTime() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - itsStart).count();
}

int64_t XTimer::GetRemainingTime() const { return std::max<int64_t>(0, itsDurationMs - GetElapsedTime()); }
