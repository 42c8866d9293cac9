#pragma once
// What the source files of X3DBaseRenderer share; only they include it. Its parts are
// named X3DBaseRenderer.<Part>.cpp so that their assertions report the class's own
// source name.
#include "X3DBaseRenderer.h"
#include "XSpeaker.h"

#include <utility>

namespace X3DBaseRendererParts {

inline const XString kCannotDisplay("The image could not be displayed because ");

// Runs a clean-up step when a scope ends, also while an exception unwinds; what the
// step itself throws then is dropped so that the first failure reaches the caller.
template <typename F>
class XScopeExit {
public:
    explicit XScopeExit(F inStep) : itsStep(std::move(inStep)) {}
    ~XScopeExit()
    {
        try {
            itsStep();
        } catch (...) {
        }
    }
    XScopeExit(const XScopeExit&) = delete;
    XScopeExit& operator=(const XScopeExit&) = delete;

private:
    F itsStep;
};

inline XARGB32Colour OpaqueColour(const X3DMatrix& inValue)
{
    XARGB32Colour colour = XRenderer::GetColourFromStateValue(inValue, XARGB32Colour::kBlack);
    colour.alpha = 255;
    return colour;
}

inline XMathVectorF3 VectorOf(const X3DMatrix& inValue)
{
    return XMathVectorF3(float(inValue(0, 0)), float(inValue(1, 0)), float(inValue(2, 0)));
}

} // namespace X3DBaseRendererParts

// Host idle processing stays suspended for a frame or an export, whatever happens in it.
class X3DBaseRenderer::XIdleSuspension {
public:
    XIdleSuspension() { XSpeaker::SuspendIdleProcessing(); }
    ~XIdleSuspension() { XSpeaker::ResumeIdleProcessing(); }
    XIdleSuspension(const XIdleSuspension&) = delete;
    XIdleSuspension& operator=(const XIdleSuspension&) = delete;
};
