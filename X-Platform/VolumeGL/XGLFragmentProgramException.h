#pragma once
// A low-level program the GL rejected: where its text went wrong, or that it is
// beyond the hardware's native limits.
#include "XGLException.h"

class XGLFragmentProgramException : public XGLException {
public:
    XGLFragmentProgramException(uint32_t inGLError, bool inExceedNativeLimit, int32_t inErrorPosition,
                                XString inProgramError = XString());

    // True when the program is beyond the native limits (not merely rejected).
    bool HasExceedNativeLimit() const { return itsExceedNativeLimit; }
    int32_t GetErrorPosition() const { return itsErrorPosition; }
    XString GetRawErrorMessage() const override { return itsText; }
    XString GetErrorMessage() const override { return itsText; }

private:
    bool itsExceedNativeLimit;
    int32_t itsErrorPosition;
    XString itsText;
};
