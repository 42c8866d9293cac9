#pragma once
// Work repeated at a period on the main thread: the application message centre's
// pump calls ExecutePeriodical when the period has passed, unless idle processing is
// suspended. Start, stop and destroy timers on the main thread.
#include <atomic>

class XTimerPeriodical {
public:
    // The period is in seconds.
    explicit XTimerPeriodical(double inPeriodSeconds = 1.0);
    virtual ~XTimerPeriodical();
    XTimerPeriodical(const XTimerPeriodical&) = delete;
    XTimerPeriodical& operator=(const XTimerPeriodical&) = delete;

    // Seconds between runs; a running timer is re-timed from now. A period that is not
    // a positive number is an assertion, and one millisecond is used instead.
    void SetPeriodicalPeriod(double inSeconds);
    double GetPeriodicalPeriod() const { return itsPeriodSeconds.load(); }
    // The first run comes one period after the start.
    void StartPeriodical();
    void StopPeriodical();
    bool IsPeriodicalRunning() const;

    // Called by the pump; the default runs ExecutePeriodicalSelf.
    virtual void ExecutePeriodical();

protected:
    virtual void ExecutePeriodicalSelf();

private:
    std::atomic<double> itsPeriodSeconds;
};
