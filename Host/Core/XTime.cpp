#include "XTime.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

XTime XTime::Now()
{
    using namespace std::chrono;
    return XTime(duration<double>(system_clock::now().time_since_epoch()).count());
}

XString XTime::GetTimeString(bool inWithDate) const
{
    double whole = std::floor(itsSeconds);
    auto millis = static_cast<int>(std::lround((itsSeconds - whole) * 1000.0));
    if (millis == 1000) {
        whole += 1;
        millis = 0;
    }
    std::time_t t = static_cast<std::time_t>(whole);
    std::tm parts{};
    localtime_r(&t, &parts);
    char buffer[64];
    std::strftime(buffer, sizeof buffer, inWithDate ? "%Y-%m-%d %H:%M:%S" : "%H:%M:%S", &parts);
    char out[80];
    std::snprintf(out, sizeof out, "%s.%03d", buffer, millis);
    return XString(out);
}

XString XTime::GetDurationString() const
{
    double s = std::fabs(itsSeconds);
    auto totalMillis = static_cast<long long>(std::llround(s * 1000.0));
    long long hours = totalMillis / 3600000;
    int minutes = static_cast<int>(totalMillis / 60000 % 60);
    int seconds = static_cast<int>(totalMillis / 1000 % 60);
    int millis = static_cast<int>(totalMillis % 1000);
    char out[64];
    std::snprintf(out, sizeof out, "%s%lld:%02d:%02d.%03d", itsSeconds < 0 ? "-" : "", hours, minutes, seconds, millis);
    return XString(out);
}
