#include "XThreadYield.h"

#include "XThread.h"

#include <thread>

XThreadYield::XThreadYield(uint32_t inCallsPerYield) : itsCallsPerYield(inCallsPerYield ? inCallsPerYield : 1) {}

void XThreadYield::Yield()
{
    XThread::TestCancelCurrentThread();
    if (++itsCallsSinceYield < itsCallsPerYield)
        return;
    itsCallsSinceYield = 0;
    ++itsYieldCount;
    std::this_thread::yield();
}
