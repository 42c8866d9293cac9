#include "X3DNodePrograms.h"

#include "XAssert.h"

// Row vectors throughout: mul(position, ModelViewProj) is position * ModelViewProj.
// Vertex attributes come from the device's client arrays (gl_Vertex, gl_Normal,
// gl_Color, gl_MultiTexCoord0); the stages talk through the built-in varyings, so each
// stage also pairs with the standard shaders: the colour in gl_FrontColor, the normal
// and the light and view directions in gl_TexCoord[0..2].
namespace {
// Point light, per vertex, with the colour it passes on (the vertex colour or inColour).
#define KESTRIN_POINT_LIGHT_VERTEX(COLOUR_UNIFORM, COLOUR)                              \
    "#ifdef KESTRIN_VERTEX_PROGRAM\n"                                                   \
    "uniform mat4 ModelViewProj;\n"                                                     \
    "uniform mat4 NormalMatrix;\n"                                                      \
    "uniform mat4 World;\n"                                                             \
    "uniform vec3 inLightPos;\n"                                                        \
    "uniform vec3 inCameraPos;\n" COLOUR_UNIFORM                                        \
    "void vsMain()\n"                                                                   \
    "{\n"                                                                               \
    "    gl_Position = gl_Vertex * ModelViewProj;\n"                                    \
    "    vec3 p = (gl_Vertex * World).xyz;\n"                                           \
    "    gl_TexCoord[0] = vec4(normalize((vec4(gl_Normal, 0.0) * NormalMatrix).xyz), 0.0);\n" \
    "    gl_TexCoord[1] = vec4(normalize(inLightPos - p), 0.0);\n"                      \
    "    gl_TexCoord[2] = vec4(normalize(inCameraPos - p), 0.0);\n"                     \
    "    gl_FrontColor = " COLOUR ";\n"                                                 \
    "}\n"                                                                               \
    "#endif\n"

// Point light, per fragment: a little light from the viewer, diffuse and a sharp highlight.
#define KESTRIN_POINT_LIGHT_FRAGMENT(MODULATE_UNIFORM, MODULATE)                        \
    "#ifdef KESTRIN_FRAGMENT_PROGRAM\n" MODULATE_UNIFORM                                \
    "void psMain()\n"                                                                   \
    "{\n"                                                                               \
    "    vec3 N = gl_TexCoord[0].xyz;\n"                                                \
    "    vec3 L = gl_TexCoord[1].xyz;\n"                                                \
    "    vec3 V = gl_TexCoord[2].xyz;\n"                                                \
    "    float viewDiffuse = clamp(dot(V, N), 0.0, 1.0);\n"                             \
    "    vec3 H = normalize(L + V);\n"                                                  \
    "    float diffuse = clamp(dot(L, N), 0.0, 1.0);\n"                                 \
    "    float specular = pow(clamp(dot(N, H), 0.0, 1.0), 40.0);\n"                     \
    "    vec4 result = gl_Color * viewDiffuse * 0.15 + gl_Color * diffuse * 0.8 + vec4(1.0) * specular;\n" \
    "    gl_FragColor = vec4((result " MODULATE ").rgb, 1.0);\n"                        \
    "}\n"                                                                               \
    "#endif\n"

const char* const kPointLightLit =
    KESTRIN_POINT_LIGHT_VERTEX("", "gl_Color")
    KESTRIN_POINT_LIGHT_FRAGMENT("uniform vec4 inModulateColour;\n", "* inModulateColour");

const char* const kUniformColourLit =
    KESTRIN_POINT_LIGHT_VERTEX("uniform vec4 inColour;\n", "inColour")
    KESTRIN_POINT_LIGHT_FRAGMENT("", "");

// Directional light: the view direction is left unnormalised, so the half vector leans
// towards the viewer by distance.
const char* const kDirectionalLightLit =
    "#ifdef KESTRIN_VERTEX_PROGRAM\n"
    "uniform mat4 ModelViewProj;\n"
    "uniform mat4 NormalMatrix;\n"
    "uniform mat4 World;\n"
    "uniform vec3 inDirectionalLightVector;\n"
    "uniform vec3 inCameraPos;\n"
    "void vsMain()\n"
    "{\n"
    "    gl_Position = gl_Vertex * ModelViewProj;\n"
    "    vec3 p = (gl_Vertex * World).xyz;\n"
    "    gl_TexCoord[0] = vec4(normalize((vec4(gl_Normal, 0.0) * NormalMatrix).xyz), 0.0);\n"
    "    gl_TexCoord[1] = vec4(normalize(inDirectionalLightVector), 0.0);\n"
    "    gl_TexCoord[2] = vec4(inCameraPos - p, 0.0);\n"
    "    gl_FrontColor = gl_Color;\n"
    "}\n"
    "#endif\n"
    "#ifdef KESTRIN_FRAGMENT_PROGRAM\n"
    "void psMain()\n"
    "{\n"
    "    vec3 N = gl_TexCoord[0].xyz;\n"
    "    vec3 L = gl_TexCoord[1].xyz;\n"
    "    vec3 V = gl_TexCoord[2].xyz;\n"
    "    vec3 H = normalize(L + V);\n"
    "    float diffuse = clamp(dot(L, N), 0.0, 1.0);\n"
    "    float specular = pow(clamp(dot(N, H), 0.0, 1.0), 40.0);\n"
    "    vec4 result = gl_Color * 0.1 + gl_Color * diffuse * 0.6 + vec4(1.0) * specular;\n"
    "    gl_FragColor = vec4(result.rgb, 1.0);\n"
    "}\n"
    "#endif\n";

const char* const kUniformColour =
    "#ifdef KESTRIN_VERTEX_PROGRAM\n"
    "uniform mat4 ModelViewProj;\n"
    "uniform vec4 inColour;\n"
    "void vsMain()\n"
    "{\n"
    "    gl_Position = gl_Vertex * ModelViewProj;\n"
    "    gl_FrontColor = inColour;\n"
    "}\n"
    "#endif\n"
    "#ifdef KESTRIN_FRAGMENT_PROGRAM\n"
    "void psMain()\n"
    "{\n"
    "    gl_FragColor = gl_Color;\n"
    "}\n"
    "#endif\n";

const char* const kModulatedColour =
    "#ifdef KESTRIN_VERTEX_PROGRAM\n"
    "uniform mat4 ModelViewProj;\n"
    "void vsMain()\n"
    "{\n"
    "    gl_Position = gl_Vertex * ModelViewProj;\n"
    "    gl_FrontColor = gl_Color;\n"
    "}\n"
    "#endif\n"
    "#ifdef KESTRIN_FRAGMENT_PROGRAM\n"
    "uniform vec4 inModulateColour;\n"
    "void psMain()\n"
    "{\n"
    "    gl_FragColor = vec4((gl_Color * inModulateColour).rgb, 1.0);\n"
    "}\n"
    "#endif\n";

#define KESTRIN_FLOOR_VERTEX                                                            \
    "#ifdef KESTRIN_VERTEX_PROGRAM\n"                                                   \
    "uniform mat4 ModelViewProj;\n"                                                     \
    "void main()\n"                                                                     \
    "{\n"                                                                               \
    "    gl_Position = gl_Vertex * ModelViewProj;\n"                                    \
    "    gl_TexCoord[0] = vec4(gl_MultiTexCoord0.xy, 0.0, 1.0);\n"                      \
    "}\n"                                                                               \
    "#endif\n"

const char* const kFloorPlain =
    KESTRIN_FLOOR_VERTEX
    "#ifdef KESTRIN_FRAGMENT_PROGRAM\n"
    "uniform vec4 colour;\n"
    "void main()\n"
    "{\n"
    "    gl_FragColor = colour;\n"
    "}\n"
    "#endif\n";

const char* const kFloorChequered =
    KESTRIN_FLOOR_VERTEX
    "#ifdef KESTRIN_FRAGMENT_PROGRAM\n"
    "uniform vec4 colour;\n"
    "uniform sampler2D tex0;\n"
    "void main()\n"
    "{\n"
    "    gl_FragColor = texture2D(tex0, gl_TexCoord[0].xy) * colour;\n"
    "}\n"
    "#endif\n";
#undef KESTRIN_POINT_LIGHT_VERTEX
#undef KESTRIN_POINT_LIGHT_FRAGMENT
#undef KESTRIN_FLOOR_VERTEX
} // namespace

const char* GetNodeProgramSource(XNodeProgram inProgram)
{
    switch (inProgram) {
    case XNodeProgram::kPointLightLit: return kPointLightLit;
    case XNodeProgram::kDirectionalLightLit: return kDirectionalLightLit;
    case XNodeProgram::kUniformColourLit: return kUniformColourLit;
    case XNodeProgram::kUniformColour: return kUniformColour;
    case XNodeProgram::kModulatedColour: return kModulatedColour;
    case XNodeProgram::kFloorPlain: return kFloorPlain;
    case XNodeProgram::kFloorChequered: return kFloorChequered;
    }
    X_ASSERT(false);
    return nullptr;
}

const char* GetNodeProgramEntry(XNodeProgram inProgram, XShader::XShaderType inType)
{
    if (inProgram == XNodeProgram::kFloorPlain || inProgram == XNodeProgram::kFloorChequered)
        return "main";
    return inType == XShader::kVertexShader ? "vsMain" : "psMain";
}
