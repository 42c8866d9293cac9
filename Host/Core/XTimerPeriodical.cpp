#include "XTimerPeriodical.h"

#include "XAppMessageQueue.h"
#include "XAssert.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {
constexpr double kMinimumPeriod = 0.001;

double CheckedPeriod(double inSeconds)
{
    const bool valid = std::isfinite(inSeconds) && inSeconds > 0;
    X_ASSERT_TEXT(valid, "inSeconds > 0");
    return valid ? std::max(inSeconds, kMinimumPeriod) : kMinimumPeriod;
}
} // namespace

XTimerPeriodical::XTimerPeriodical(double inPeriodSeconds) : itsPeriodSeconds(CheckedPeriod(inPeriodSeconds)) {}

XTimerPeriodical::~XTimerPeriodical() { StopPeriodical(); }

void XTimerPeriodical::SetPeriodicalPeriod(double inSeconds)
{
    itsPeriodSeconds = CheckedPeriod(inSeconds);
    if (IsPeriodicalRunning())
        StartPeriodical();
}

void XTimerPeriodical::StartPeriodical()
{
    auto period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(itsPeriodSeconds.load()));
    XAppMessageQueue::Get().StartPeriodical(this, period);
}

void XTimerPeriodical::StopPeriodical() { XAppMessageQueue::Get().StopPeriodical(this); }

bool XTimerPeriodical::IsPeriodicalRunning() const
{
    return XAppMessageQueue::Get().IsPeriodicalRunning(this);
}

void XTimerPeriodical::ExecutePeriodical() { ExecutePeriodicalSelf(); }

void XTimerPeriodical::ExecutePeriodicalSelf() {}
