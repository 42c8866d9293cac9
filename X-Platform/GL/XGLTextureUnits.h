#pragma once
// The fixed-function texture units of the current context.
#include <cstdint>

// GL_MAX_TEXTURE_UNITS (1 when the driver has no multitexturing).
uint32_t GetMaxTextureUnits();
// GL_TEXTURE0 + GetMaxTextureUnits() - 1.
uint32_t GetLastTextureUnit();
