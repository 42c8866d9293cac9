#include "X3DShaderManager.h"

#include "X3DGC.h"
#include "X3DGCScopedLock.h"
#include "XAssert.h"
#include "XException.h"
#include "XSessionLogManager.h"
#include "XShader.h"

#include <iterator>
#include <memory>
#include <vector>

X3DShaderManager* X3DShaderManager::sShaderManager = nullptr;

namespace {
// Row vectors throughout: a position is multiplied on the left of ModelViewProj. The
// built-in colour and texture-coordinate varyings let these pair with each other and
// with fixed-function stages.
const char* const kSources[] = {
    // kColourVertexShader
    "uniform mat4 ModelViewProj;\n"
    "void vsMain()\n"
    "{\n"
    "    gl_Position = gl_Vertex * ModelViewProj;\n"
    "    gl_FrontColor = gl_Color;\n"
    "}\n",
    // kColourFragmentShader
    "void psMain()\n"
    "{\n"
    "    gl_FragColor = gl_Color;\n"
    "}\n",
    // kTextureVertexShader
    "uniform mat4 ModelViewProj;\n"
    "void vsMain()\n"
    "{\n"
    "    gl_Position = gl_Vertex * ModelViewProj;\n"
    "    gl_TexCoord[0] = vec4(gl_MultiTexCoord0.xyz, 1.0);\n"
    "}\n",
    // kTextureFragmentShader
    "uniform sampler2D tex0;\n"
    "void psMain()\n"
    "{\n"
    "    gl_FragColor = texture2D(tex0, gl_TexCoord[0].xy);\n"
    "}\n",
    // kDecalFragmentShader
    "uniform sampler2D tex0;\n"
    "uniform sampler2D tex1;\n"
    "// The over operator: left over right, right premultiplied by its alpha.\n"
    "vec4 BlendFixed(vec4 left, vec4 right)\n"
    "{\n"
    "    float alpha = 1.0 - (1.0 - right.a) * (1.0 - left.a);\n"
    "    right.rgb *= right.a;\n"
    "    vec4 result = mix(right, left, left.a) / alpha;\n"
    "    result.a = alpha;\n"
    "    return result;\n"
    "}\n"
    "void psMain()\n"
    "{\n"
    "    gl_FragColor = texture2D(tex1, gl_TexCoord[0].xy);\n"
    "}\n",
};

bool IsVertex(uint32_t inID) { return inID == X3DShaderManager::kColourVertexShader || inID == X3DShaderManager::kTextureVertexShader; }
} // namespace

X3DShaderManager::X3DShaderManager()
{
    X_ASSERT(sShaderManager == 0);
    itsContext = cgCreateContext();
    XSessionLogManager::GetManager()->AddEntry(
        XString("Cg Version reported as %1").Replace(XString(cgGetString(CG_VERSION))), XSessionLogManager::kInfo);
    if (sShaderManager == nullptr)
        sShaderManager = this;
    try {
        RegisterStandardShaders();
    } catch (const XException&) {
        // Machines without shader support run without the standard shaders.
    }
}

X3DShaderManager::~X3DShaderManager()
{
    for (auto& [id, shader] : itsShaderMap)
        delete shader;
    itsShaderMap.clear();
    cgDestroyContext(itsContext);
    if (sShaderManager == this)
        sShaderManager = nullptr;
}

const char* X3DShaderManager::GetStandardShaderSource(uint32_t inID)
{
    return inID < std::size(kSources) ? kSources[inID] : nullptr;
}

void X3DShaderManager::RegisterStandardShaders()
{
    X3DGC device;
    X3DGC::XCreationParameters parameters;
    parameters.wantsStencil = 1;
    parameters.wantsStereo = 0;
    parameters.wantsGenericFormat = 0;
    device.Initialise(parameters);
    X3DGCScopedLock lock(device);
    auto compile = [&](uint32_t inID) {
        return std::make_unique<XShader>(device, XString(kSources[inID]), XString(IsVertex(inID) ? "vsMain" : "psMain"),
                                         IsVertex(inID) ? XShader::kVertexShader : XShader::kFragmentShader);
    };
    // In pairs, so that a failure never leaves half a pair registered.
    const std::vector<std::vector<uint32_t>> groups = {
        {kColourVertexShader, kColourFragmentShader}, {kTextureVertexShader, kTextureFragmentShader}, {kDecalFragmentShader}};
    for (const auto& group : groups) {
        std::vector<std::unique_ptr<XShader>> compiled;
        for (uint32_t id : group)
            compiled.push_back(compile(id));
        for (size_t i = 0; i < group.size(); ++i)
            RegisterShader(*compiled[i].release(), group[i]);
    }
}

void X3DShaderManager::RegisterShader(XShader& inShader, uint32_t inID)
{
    X_ASSERT_TEXT(!itsShaderMap.Contains(inID), "!itsShaderMap.DoesContain( inID )");
    if (itsShaderMap.Contains(inID))
        return;
    itsShaderMap[inID] = &inShader;
}

void X3DShaderManager::UnregisterShader(uint32_t inID)
{
    auto iter = itsShaderMap.find(inID);
    X_ASSERT(iter != itsShaderMap.end());
    if (iter == itsShaderMap.end())
        return;
    delete iter->second;
    itsShaderMap.erase(iter);
}

XShader* X3DShaderManager::GetShaderByID(uint32_t inID)
{
    auto iter = itsShaderMap.find(inID);
    X_ASSERT(iter != itsShaderMap.end());
    return iter == itsShaderMap.end() ? nullptr : iter->second;
}

const XShader* X3DShaderManager::GetShaderByID(uint32_t inID) const
{
    auto iter = itsShaderMap.find(inID);
    X_ASSERT(iter != itsShaderMap.end());
    return iter == itsShaderMap.end() ? nullptr : iter->second;
}
