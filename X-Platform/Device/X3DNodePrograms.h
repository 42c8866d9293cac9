#pragma once
// The programs scene nodes compile for themselves (lighting, uniform and modulated
// colour, the floor). Each source holds both stages; compile it once per type with
// XShader, using the entry point GetNodeProgramEntry names.
#include "XShader.h"

enum class XNodeProgram {
    kPointLightLit,       // lit by a point light; fragment: inModulateColour
    kDirectionalLightLit, // lit by a directional light
    kUniformColourLit,    // lit by a point light, coloured by inColour
    kUniformColour,       // inColour everywhere
    kModulatedColour,     // vertex colour × inModulateColour
    kFloorPlain,          // colour
    kFloorChequered,      // tex0 × colour
};

const char* GetNodeProgramSource(XNodeProgram inProgram);
// "vsMain" and "psMain", except the floor, whose stages are both "main".
const char* GetNodeProgramEntry(XNodeProgram inProgram, XShader::XShaderType inType);
