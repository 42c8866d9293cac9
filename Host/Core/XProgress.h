#pragma once
// Progress display for command-line hosts, on stderr. On a terminal one line is redrawn
// in place; otherwise a line is printed at each tenth of the work, so logs stay short.
// Drawing is rate-limited: Increment in a tight loop costs an addition and a compare.
// Nothing is shown while an XProgressDisabler is alive.
#include "XString.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>

class XProgress {
public:
    explicit XProgress(const XString& inMessage = XString(), uint64_t inTotal = 0);
    // Finishes the display (Done); when the work is abandoned by an exception, only
    // closes a started terminal line, so a failure never reads as done.
    ~XProgress();
    XProgress(const XProgress&) = delete;
    XProgress& operator=(const XProgress&) = delete;

    void SetMessage(const XString& inMessage);
    // 0: the amount of work is unknown, and only the count is shown.
    void SetTotal(uint64_t inTotal);
    // Nothing is shown until the work has run this long, so quick work stays quiet.
    void SetShowDelay(uint32_t inMilliseconds);
    // Where the display goes (stderr by default); for hosts that log elsewhere.
    void SetOutput(FILE* inStream);

    // Safe from several threads at once.
    void Increment(uint64_t inCount = 1);
    // Ends the display: the last state is drawn and a terminal line is closed.
    void Done();

    uint64_t GetCount() const { return itsCount.load(); }
    uint64_t GetTotal() const { return itsTotal.load(); }
    static bool IsDisplayEnabled();

private:
    friend class XProgressDisabler;
    using Clock = std::chrono::steady_clock;

    void Update(bool inFinal);
    void Draw(uint64_t inCount, uint64_t inTotal, bool inFinal);
    // The step that triggers a draw: percent on a terminal, tenths otherwise.
    uint64_t GetStep(uint64_t inCount, uint64_t inTotal) const;

    static std::atomic<int> sDisableCount;

    std::mutex itsMutex; // guards everything below and the output
    XString itsMessage;
    FILE* itsOutput;
    bool itsIsTerminal;
    Clock::time_point itsStart;
    Clock::time_point itsLastDraw;
    uint32_t itsShowDelayMs = 0;
    int64_t itsLastStep = -1;
    bool itsHasShown = false;
    bool itsIsDone = false;
    int itsUncaughtExceptions; // at construction: more at destruction means unwinding
    std::atomic<uint64_t> itsCount{0};
    std::atomic<uint64_t> itsTotal{0};
    std::atomic<uint64_t> itsNextCheck{0}; // the count at which Increment next looks at the display
};
