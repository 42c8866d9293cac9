#pragma once
// A failure the shader runtime reported; the error number is the runtime's code.
#include "XException.h"
#include "cg.h"

class XCgException : public XException {
public:
    // inListing: the compiler's messages, for compile errors.
    explicit XCgException(CGerror inError, XString inListing = XString());

    CGerror GetCgError() const { return static_cast<CGerror>(GetErrorCode()); }
    const XString& GetListing() const { return itsListing; }
    // "a Cg error occurred (<the runtime's text for the code>, <code>)".
    XString GetRawErrorMessage() const override { return itsMessage; }
    // The raw message, then the compiler's listing when there is one.
    XString GetErrorMessage() const override;

    // Throws when cgGetError() reports an error; inContext's listing goes with a
    // compile error.
    static void ThrowIfError(_CGcontext* inContext = nullptr);

private:
    XString itsMessage;
    XString itsListing;
};
