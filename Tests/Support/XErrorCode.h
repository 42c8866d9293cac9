#pragma once
// What an XException a call throws says: its code, or whether it holds a text.
#include "XException.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>

// The code of the XException a call throws, or -1 when it throws none.
inline int CodeOf(const std::function<void()>& inCall)
{
    try {
        inCall();
    } catch (const XException& e) {
        return e.GetErrorCode();
    }
    return -1;
}

// The call throws an XException of inCode (of any code when inCode is -1) whose message holds inText.
inline ::testing::AssertionResult Throws(const std::function<void()>& inCall, int inCode, const std::string& inText = {})
{
    try {
        inCall();
    } catch (const XException& e) {
        const std::string message = e.GetErrorMessage().GetStdString();
        if (inCode != -1 && e.GetErrorCode() != inCode)
            return ::testing::AssertionFailure() << "code " << e.GetErrorCode() << ", expected " << inCode << ": " << message;
        if (message.find(inText) == std::string::npos)
            return ::testing::AssertionFailure() << "\"" << inText << "\" is not in: " << message;
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "nothing was thrown";
}
