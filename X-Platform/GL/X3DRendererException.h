#pragma once
// A failure of the scene-graph renderers and their graphics device.
#include "XException.h"

class X3DRendererException : public XException {
public:
    explicit X3DRendererException(int32_t inCode, XString inDetail = XString())
        : XException(inCode, std::move(inDetail)) {}
};
