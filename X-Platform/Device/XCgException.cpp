#include "XCgException.h"

XCgException::XCgException(CGerror inError, XString inListing)
    : XException(static_cast<int32_t>(inError)),
      itsMessage(XString("a Cg error occurred (%1, %2)")
                     .Replace(XString(cgGetErrorString(inError)))
                     .Replace(static_cast<int64_t>(inError))),
      itsListing(std::move(inListing))
{
    UpdateWhat();
}

XString XCgException::GetErrorMessage() const
{
    if (itsListing.GetCString()[0] == '\0')
        return itsMessage;
    return XString("%1\n%2").Replace(itsMessage).Replace(itsListing);
}

void XCgException::ThrowIfError(_CGcontext* inContext)
{
    const CGerror error = cgGetError();
    if (error == CG_NO_ERROR)
        return;
    XString listing;
    if (error == CG_COMPILER_ERROR && inContext != nullptr && cgIsContext(inContext))
        listing = cgGetLastListing(inContext);
    throw XCgException(error, listing);
}
