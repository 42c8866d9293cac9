#include "XGLTextureUnitMasterState.h"
#include "XGLTextureUnits.h"
#include "XOpenGL.h"

XGLTextureUnitMasterState::XGLTextureUnitMasterState()
{
    const uint32_t last = GetLastTextureUnit();
    for (uint32_t unit = GL_TEXTURE0_ARB; unit <= last; ++unit)
        itsStates.push_back(std::make_unique<XGLTextureUnitState>(unit));
}

XGLTextureUnitMasterState::~XGLTextureUnitMasterState()
{
    // Last unit first, the reverse of recording.
    while (!itsStates.empty())
        itsStates.pop_back();
}
