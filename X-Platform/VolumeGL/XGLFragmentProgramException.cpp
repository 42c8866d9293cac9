#include "XGLFragmentProgramException.h"

XGLFragmentProgramException::XGLFragmentProgramException(uint32_t inGLError, bool inExceedNativeLimit,
                                                         int32_t inErrorPosition, XString inProgramError)
    // A zero code would make the base ask the GL again; keep what the caller read.
    : XGLException(inGLError == 0 ? 0x0502u : inGLError), itsExceedNativeLimit(inExceedNativeLimit),
      itsErrorPosition(inErrorPosition)
{
    if (inErrorPosition != -1)
        itsText = XString("The OpenGL driver rejected a shading program at character %1 (%2). "
                          "Update the graphics driver or choose another renderer.")
                      .Replace(int64_t(inErrorPosition))
                      .Replace(inProgramError.IsEmpty() ? XString("no details") : inProgramError);
    else
        itsText = XString("A shading program is beyond what this graphics hardware can run natively. "
                          "Choose a simpler shading model or another renderer.");
    UpdateWhat();
}
