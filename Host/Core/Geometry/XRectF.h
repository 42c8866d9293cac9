#pragma once
// A float rectangle; right and bottom are exclusive as for XRect.
#include "XRectT.h"

using XRectF = XRectT<float>;
