#pragma once
// The host's failure: a numeric code (the host turns it into a user text) and an
// optional detail that says what exactly went wrong.
#include "XString.h"

#include <cstdint>
#include <exception>

class XException : public std::exception {
public:
    // Codes raised by the module and by the host stand-in.
    enum : int32_t {
        kNoRenderer = 0,
        kBadNumber = 100,           // text that should hold a number does not
        kBadArgument = 101,         // a caller passed a value outside what the operation takes
        kFileError = 102,           // a file could not be opened, read or written
        kModuleLoadError = 103,     // a module library could not be loaded
        kUnsupportedFile = 104,     // a file of a kind or layout that cannot be read
        kStreamEnded = 1001,        // a read went past the end of a stream
        kStreamCorrupt = 1002,      // a stream holds a count or value that cannot be right
        kStreamWrongClass = 1005,
        kUnknownClass = 1010,       // a stream names a class that is not registered
        kStreamNewerVersion = 1015,
        kExportTooLarge = 1030,
        kThreadStopped = 1100,
        kWrongSampleType = 2210,
        kNoSuchSample = 2211,
        kSampleLocked = 2212,
        kMatrixSize = 2302,
        kMissingExtension = 2303,
        kIncompleteTarget = 2304,
        kNoOffscreen = 3501,
        kOpenGLError = 3504,
        kNoShaderProfile = 3505,
    };

    explicit XException(int32_t inCode, XString inDetail = XString());
    ~XException() override = default;

    int32_t GetErrorCode() const { return itsCode; }
    // The user text: what the code means, then the detail when there is one.
    virtual XString GetErrorMessage() const;
    // The detail as given at the throw (the code's text when none was given).
    virtual XString GetRawErrorMessage() const;
    // Whether the host should show this failure to the user; cancellations are not shown.
    virtual bool ShouldReportError() const { return true; }

    const char* what() const noexcept override { return itsWhat.GetCString(); }

    // The text the host shows for a code.
    static XString GetCodeText(int32_t inCode);

protected:
    // Derived classes with texts of their own call this once their text is set.
    void UpdateWhat() { itsWhat = GetErrorMessage(); }

private:
    int32_t itsCode;
    XString itsDetail;
    XString itsWhat;
};
