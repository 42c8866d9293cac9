#pragma once
// Assertions report a violated precondition and let execution continue:
// the condition text, the source ("X-Platform/XGLContext") and the line go to
// KestrinInternalError, whose handler tests may replace to record reports.
#include <functional>

struct XInternalErrorReport {
    const char* condition;
    const char* source; // e.g. "X-Platform/XVolumeRendererManager"
    int line;
};

using XInternalErrorHandler = std::function<void(const XInternalErrorReport&)>;

void KestrinInternalError(const char* inCondition, const char* inSource, int inLine);
// Installs a handler and returns the previous one; an empty handler restores the default.
XInternalErrorHandler SetInternalErrorHandler(XInternalErrorHandler inHandler);

namespace XAssertDetail {
// "X-Platform/XGLContext" from a path such as ".../X-Platform/GL/XGLContext.cpp".
const char* MakeSourceName(const char* inPath);
} // namespace XAssertDetail

#define X_ASSERT(cond) X_ASSERT_TEXT(cond, #cond)
// For conditions whose reported text differs from the expression tested.
#define X_ASSERT_TEXT(cond, text)                                                        \
    do {                                                                                 \
        if (!(cond))                                                                     \
            KestrinInternalError(text, XAssertDetail::MakeSourceName(__FILE__), __LINE__); \
    } while (0)
#define X_REPORT(text) KestrinInternalError(text, XAssertDetail::MakeSourceName(__FILE__), __LINE__)
