#include "XException.h"

XException::XException(int32_t inCode, XString inDetail)
    : itsCode(inCode), itsDetail(std::move(inDetail))
{
    itsWhat = GetErrorMessage();
}

XString XException::GetCodeText(int32_t inCode)
{
    switch (inCode) {
    case kNoRenderer: return "no renderer is available for this request";
    case kBadNumber: return "a value is not a valid number";
    case kBadArgument: return "a value is outside the range the operation accepts";
    case kFileError: return "a file could not be read or written";
    case kModuleLoadError: return "a module could not be loaded";
    case kUnsupportedFile: return "the file is not in a form that can be read";
    case kStreamEnded: return "the stored data ended before everything was read";
    case kStreamCorrupt: return "the stored data is damaged";
    case kStreamWrongClass: return "the stored data holds a different kind of object";
    case kUnknownClass: return "the stored data names a kind of object that is not known";
    case kStreamNewerVersion: return "the stored data was written by a newer version";
    case kExportTooLarge: return "the image is larger than the graphics device can render";
    case kThreadStopped: return "the operation was stopped";
    case kWrongSampleType: return "the data set is not of the expected kind";
    case kNoSuchSample: return "the data set does not exist";
    case kSampleLocked: return "the data set is in use and cannot be changed";
    case kMatrixSize: return "matrix sizes do not match";
    case kMissingExtension: return "a required OpenGL extension is not available";
    case kIncompleteTarget: return "the render target is incomplete";
    case kNoOffscreen: return "offscreen rendering is not available";
    case kOpenGLError: return "an OpenGL error occurred";
    case kNoShaderProfile: return "no hardware shader profile is available";
    default: return XString("error %1").Replace(static_cast<int64_t>(inCode));
    }
}

XString XException::GetErrorMessage() const
{
    XString text = GetCodeText(itsCode);
    if (!itsDetail.IsEmpty())
        text += XString(": ") + itsDetail;
    return text;
}

XString XException::GetRawErrorMessage() const
{
    return itsDetail.IsEmpty() ? GetCodeText(itsCode) : itsDetail;
}
