#include "XSliceStackProgram.h"

XSliceStackProgram::XSliceStackProgram(XKind inKind, uint32_t inChannelCount)
    : itsKind(inKind), itsChannelCount(inKind == kEmission ? inChannelCount : 1)
{
    SetProgram(MakeText(itsKind, itsChannelCount));
}

XString XSliceStackProgram::MakeText(XKind inKind, uint32_t inChannelCount)
{
    std::string text = "!!ARBfp1.0\n"
                       "PARAM one = {1.0, 1.0, 1.0, 1.0};\n"
                       "PARAM zero = {0.0, 0.0, 0.0, 0.0};\n"
                       "PARAM dark = {0.001, 0.001, 0.001, 0.001};\n"
                       "PARAM least = {0.000001, 0.000001, 0.000001, 0.000001};\n"
                       "TEMP t, k, e, keep;\n";
    if (inKind == kEmission) {
        text += "MOV e, zero;\n"
                "MOV keep, one;\n";
        for (uint32_t i = 0; i < inChannelCount; ++i) {
            const std::string n = std::to_string(i), colour = std::to_string(2 * i), factors = std::to_string(2 * i + 1);
            text += "TEX t, fragment.texcoord[0], texture[" + n + "], 2D;\n";
            text += "MAD e.xyz, t.x, program.local[" + colour + "], e;\n";
            // What this slice lets through of the light behind it.
            text += "MAD k.x, -t.x, program.local[" + factors + "].x, one.x;\n";
            text += "MAX k.x, k.x, least.x;\n";
            text += "POW k.x, k.x, program.local[" + factors + "].y;\n";
            text += "MUL keep.x, keep.x, k.x;\n";
        }
        text += "MOV result.color.xyz, e;\n"
                "SUB result.color.w, one.x, keep.x;\n";
    } else {
        text += "TEX t, fragment.texcoord[0], texture[0], 2D;\n"
                "SUB k, t.xxxx, dark;\n"
                "KIL k;\n"
                "SUB result.depth.z, one.x, t.x;\n";
        text += inKind == kMaximumDepth ? "MOV result.color, t;\n" : "MUL result.color, t.x, program.local[0];\n";
    }
    text += "END\n";
    return XString(text.c_str());
}
