#include "XProgress.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <unistd.h>

std::atomic<int> XProgress::sDisableCount{0};

namespace {
// A terminal line is redrawn at most this often.
constexpr auto kRedrawInterval = std::chrono::milliseconds(50);
} // namespace

XProgress::XProgress(const XString& inMessage, uint64_t inTotal)
    : itsMessage(inMessage), itsOutput(stderr), itsIsTerminal(isatty(fileno(stderr)) == 1), itsStart(Clock::now()),
      itsLastDraw(Clock::time_point::min()), itsUncaughtExceptions(std::uncaught_exceptions())
{
    itsTotal = inTotal;
}

XProgress::~XProgress()
{
    if (std::uncaught_exceptions() <= itsUncaughtExceptions) {
        Done();
        return;
    }
    std::lock_guard<std::mutex> lock(itsMutex);
    if (!itsIsDone && itsIsTerminal && itsHasShown && IsDisplayEnabled()) {
        std::fputc('\n', itsOutput);
        std::fflush(itsOutput);
    }
    itsIsDone = true;
}

bool XProgress::IsDisplayEnabled() { return sDisableCount.load() == 0; }

void XProgress::SetMessage(const XString& inMessage)
{
    std::lock_guard<std::mutex> lock(itsMutex);
    itsMessage = inMessage;
}

void XProgress::SetTotal(uint64_t inTotal)
{
    std::lock_guard<std::mutex> lock(itsMutex);
    itsTotal = inTotal;
    itsNextCheck = 0;
}

void XProgress::SetShowDelay(uint32_t inMilliseconds)
{
    std::lock_guard<std::mutex> lock(itsMutex);
    itsShowDelayMs = inMilliseconds;
}

void XProgress::SetOutput(FILE* inStream)
{
    std::lock_guard<std::mutex> lock(itsMutex);
    itsOutput = inStream ? inStream : stderr;
    itsIsTerminal = isatty(fileno(itsOutput)) == 1;
    itsLastStep = -1;
    itsNextCheck = 0;
}

void XProgress::Increment(uint64_t inCount)
{
    uint64_t count = itsCount.fetch_add(inCount, std::memory_order_relaxed) + inCount;
    if (count >= itsNextCheck.load(std::memory_order_relaxed))
        Update(false);
}

void XProgress::Done() { Update(true); }

uint64_t XProgress::GetStep(uint64_t inCount, uint64_t inTotal) const
{
    const long double steps = itsIsTerminal ? 100 : 10;
    return static_cast<uint64_t>(std::min<long double>(steps, std::floor(inCount * steps / inTotal)));
}

void XProgress::Update(bool inFinal)
{
    std::lock_guard<std::mutex> lock(itsMutex);
    if (itsIsDone)
        return;
    itsIsDone = inFinal;
    const uint64_t count = itsCount.load();
    const uint64_t total = itsTotal.load();
    const Clock::time_point now = Clock::now();
    const bool delayPassed = now - itsStart >= std::chrono::milliseconds(itsShowDelayMs);

    if (total == 0) {
        // Unknown amount: a terminal shows the count now and then; a log only the end.
        itsNextCheck = count + 1;
        if (delayPassed && (itsIsTerminal ? (inFinal ? itsHasShown : now - itsLastDraw >= kRedrawInterval) : inFinal))
            Draw(count, total, inFinal);
        return;
    }
    const uint64_t step = GetStep(count, total);
    const long double steps = itsIsTerminal ? 100 : 10;
    // The next count that reaches a new step; below it Increment does not look here.
    itsNextCheck = static_cast<uint64_t>(std::ceil((step + 1) * static_cast<long double>(total) / steps));
    if (inFinal) {
        // Close what was started, and give a log its last line.
        if (itsIsTerminal ? itsHasShown : delayPassed && step > 0 && static_cast<int64_t>(step) > itsLastStep)
            Draw(count, total, true);
        return;
    }
    if (!delayPassed || static_cast<int64_t>(step) <= itsLastStep)
        return;
    if (itsIsTerminal && now - itsLastDraw < kRedrawInterval)
        return; // a fast loop: skip this step, the next one draws
    if (!itsIsTerminal && step == 0)
        return;
    itsLastStep = static_cast<int64_t>(step);
    itsLastDraw = now;
    Draw(count, total, false);
}

void XProgress::Draw(uint64_t inCount, uint64_t inTotal, bool inFinal)
{
    if (!IsDisplayEnabled())
        return;
    const char* message = itsMessage.IsEmpty() ? "Working" : itsMessage.GetCString();
    const unsigned long long count = inCount;
    if (itsIsTerminal) {
        // "\033[K" clears what a longer earlier line left behind.
        if (inTotal == 0)
            std::fprintf(itsOutput, "\r%s: %llu\033[K", message, count);
        else
            std::fprintf(itsOutput, "\r%s: %3d%% (%llu of %llu)\033[K", message,
                         static_cast<int>(GetStep(inCount, inTotal)), count, static_cast<unsigned long long>(inTotal));
        if (inFinal)
            std::fputc('\n', itsOutput);
    } else if (inTotal == 0)
        std::fprintf(itsOutput, "%s: done (%llu)\n", message, count);
    else
        std::fprintf(itsOutput, "%s: %d%%\n", message, static_cast<int>(GetStep(inCount, inTotal)) * 10);
    std::fflush(itsOutput);
    itsHasShown = true;
}
