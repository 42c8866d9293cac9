#pragma once
// The code of the XException a call throws, or -1 when it throws none.
#include "XException.h"

#include <functional>

inline int CodeOf(const std::function<void()>& inCall)
{
    try {
        inCall();
    } catch (const XException& e) {
        return e.GetErrorCode();
    }
    return -1;
}
