#pragma once
// The implementation of a 2D texture (a type of its own so that render systems make
// the right storage).
#include "XTextureImp.h"

class XTexture2DImp : public XTextureImp {};
