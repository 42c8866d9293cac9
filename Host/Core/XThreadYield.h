#pragma once
// Cooperative yielding for long loops on worker threads: each call to Yield gives
// a stopped thread its way out and, every so many calls, lets other threads run.
#include <cstdint>

class XThreadYield {
public:
    // inCallsPerYield: how many calls pass between real yields (tight loops need few).
    explicit XThreadYield(uint32_t inCallsPerYield = 1);

    // Throws XStopThreadException when the thread was asked to stop (and stopping
    // is not prevented); otherwise yields the processor on every inCallsPerYield-th call.
    void Yield();
    uint64_t GetYieldCount() const { return itsYieldCount; }

private:
    uint32_t itsCallsPerYield;
    uint32_t itsCallsSinceYield = 0;
    uint64_t itsYieldCount = 0;
};
