#pragma once
// The implementation of a 3D texture.
#include "XTextureImp.h"

class XTexture3DImp : public XTextureImp {};
