#pragma once
// The enabled texture target of every texture unit, put back in one step at the end
// of the scope (for undoing a whole multitexture set-up).
#include "XGLTextureUnitState.h"

#include <memory>
#include <vector>

class XGLTextureUnitMasterState {
public:
    XGLTextureUnitMasterState();
    ~XGLTextureUnitMasterState();
    XGLTextureUnitMasterState(const XGLTextureUnitMasterState&) = delete;
    XGLTextureUnitMasterState& operator=(const XGLTextureUnitMasterState&) = delete;

    size_t GetUnitCount() const { return itsStates.size(); }

private:
    std::vector<std::unique_ptr<XGLTextureUnitState>> itsStates;
};
