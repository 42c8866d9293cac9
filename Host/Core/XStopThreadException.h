#pragma once
// Thrown out of a cancellation test to leave a thread that was asked to stop.
#include "XException.h"

class XStopThreadException : public XException {
public:
    XStopThreadException() : XException(kThreadStopped) {}
    bool ShouldReportError() const override { return false; }
};
