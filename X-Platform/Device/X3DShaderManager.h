#pragma once
// The process's registry of shaders by number, with the standard shaders compiled at
// start-up. The host makes the one manager; registered shaders belong to it.
#include "XMap.h"
#include "cg.h"

#include <cstdint>

class XShader;

class X3DShaderManager {
public:
    // The standard shaders' numbers.
    enum : uint32_t {
        kColourVertexShader = 0,   // position × ModelViewProj, colour passed on
        kColourFragmentShader = 1, // the colour
        kTextureVertexShader = 2,  // position × ModelViewProj, texture coordinate passed on
        kTextureFragmentShader = 3, // tex0 at the coordinate
        kDecalFragmentShader = 4,  // tex1 at the coordinate (tex0 declared first, on unit 0)
    };

    // Registers the standard shaders it can compile on this machine; a second manager
    // is reported.
    X3DShaderManager();
    virtual ~X3DShaderManager();
    X3DShaderManager(const X3DShaderManager&) = delete;
    X3DShaderManager& operator=(const X3DShaderManager&) = delete;

    static X3DShaderManager* GetManager() { return sShaderManager; }

    // Takes ownership; a number already in use is reported and the shader is not taken.
    void RegisterShader(XShader& inShader, uint32_t inID);
    void UnregisterShader(uint32_t inID);
    // Null, reported, for a number that is not registered.
    XShader* GetShaderByID(uint32_t inID);
    const XShader* GetShaderByID(uint32_t inID) const;
    _CGcontext* GetContext() const { return itsContext; }

    // The standard shaders' sources.
    static const char* GetStandardShaderSource(uint32_t inID);

protected:
    // Compiles the standard shaders in pairs on a temporary device; the first failure
    // ends it, keeping the pairs registered before.
    void RegisterStandardShaders();

private:
    _CGcontext* itsContext = nullptr;
    XMap<uint32_t, XShader*> itsShaderMap;

    static X3DShaderManager* sShaderManager;
};
