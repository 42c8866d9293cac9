#pragma once
// Runs the application pump on the test's (main) thread until a condition holds.
#include "XAppMessageCentre.h"

#include <atomic>
#include <chrono>
#include <thread>

// False when the condition still fails after inTimeoutMs.
template <class Condition>
bool PumpUntil(Condition inCondition, int inTimeoutMs = 20000)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(inTimeoutMs);
    while (!inCondition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        XAppMessageCentre::GetAppMessageCentre().WaitAndProcessMessages(20);
    }
    return true;
}

// Waits, without the pump, until another thread sets inFlag.
inline void SpinUntil(const std::atomic<bool>& inFlag)
{
    while (!inFlag)
        std::this_thread::yield();
}

// Delivers whatever earlier tests left queued, so each test starts from an empty queue.
inline void DrainMessages()
{
    while (XAppMessageCentre::GetAppMessageCentre().ProcessMessages() > 0) {
    }
}
