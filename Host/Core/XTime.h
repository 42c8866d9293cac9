#pragma once
// A moment or a span of time in seconds (fractions kept); moments count from the Unix epoch.
#include "XString.h"

class XTime {
public:
    XTime() = default;
    explicit XTime(double inSeconds) : itsSeconds(inSeconds) {}
    static XTime Now();

    double GetSeconds() const { return itsSeconds; }
    // Local date and time, "2026-12-06 08:11:58.123"; with inWithDate false only the clock part.
    XString GetTimeString(bool inWithDate = true) const;
    // A span as "h:mm:ss.mmm" (negative spans get a leading '-').
    XString GetDurationString() const;

    friend XTime operator-(XTime a, XTime b) { return XTime(a.itsSeconds - b.itsSeconds); }
    friend XTime operator+(XTime a, XTime b) { return XTime(a.itsSeconds + b.itsSeconds); }
    friend bool operator==(XTime a, XTime b) { return a.itsSeconds == b.itsSeconds; }
    friend auto operator<=>(XTime a, XTime b) { return a.itsSeconds <=> b.itsSeconds; }

private:
    double itsSeconds = 0;
};
