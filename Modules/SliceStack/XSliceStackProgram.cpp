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
                       "PARAM half = {0.5, 0.5, 0.5, 0.5};\n"
                       "PARAM step = {0.00392157, 0.00392157, 0.00392157, 0.00392157};\n"
                       "PARAM hash = {12.9898, 78.233, 4177.31, 43758.5453};\n"
                       "PARAM least = {0.000001, 0.000001, 0.000001, 0.000001};\n"
                       "TEMP t, k, e, keep;\n";
    if (inKind == kEmission) {
        text += "MOV e, zero;\n"
                "MOV keep, one;\n";
        for (uint32_t i = 0; i < inChannelCount; ++i) {
            const std::string n = std::to_string(i), colour = std::to_string(2 * i), factors = std::to_string(2 * i + 1);
            text += "TEX t, fragment.texcoord[0], texture[" + n + "], 2D;\n";
            // What this slice lets through of the light behind it.
            text += "MAD k.x, -t.x, program.local[" + factors + "].x, one.x;\n";
            text += "MAX k.x, k.x, least.x;\n";
            text += "POW k.x, k.x, program.local[" + factors + "].y;\n";
            text += "MUL keep.x, keep.x, k.x;\n";
            // It glows in proportion to what it absorbs, so a thick region shows its own
            // level (times brightness over opacity) instead of one glow whatever its level.
            text += "SUB k.y, one.x, k.x;\n";
            text += "MUL k.y, k.y, t.x;\n";
            text += "MAD e.xyz, k.y, program.local[" + colour + "], e;\n";
        }
        // A dim slice adds less than one step of the 8-bit frame, which rounding would
        // lose slice after slice; noise of one step around the value (different for each
        // pixel and slice) keeps the sum right on average.
        text += "DP3 k.z, fragment.position, hash;\n"
                "SIN k.z, k.z;\n"
                "MUL k.z, k.z, hash.w;\n"
                "FRC k.z, k.z;\n"
                "SUB k.z, k.z, half.x;\n"
                "MAD result.color.xyz, k.z, step.x, e;\n"
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
