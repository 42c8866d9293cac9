#pragma once
// The fragment programs the slices are drawn with. Each reads the grey level of its
// channels' slice textures (all at texture coordinate set 0) and takes its colours and
// factors from program.local parameters, set by the caller after Bind.
#include "XGLFragmentProgram.h"

#include <cstdint>

class XSliceStackProgram : public XGLFragmentProgram {
public:
    enum XKind {
        // Emission and absorption of inChannelCount channels at once (textures 0..n-1):
        // local[2i] = colour × brightness / opacity of channel i,
        // local[2i+1].x = opacity, local[2i+1].y = slice weight.
        // Channel i absorbs a_i = 1 − (1 − opacity × level)^weight and glows
        // level × a_i × local[2i], so a thick region tends to level × colour ×
        // brightness / opacity. Colour: Σ of the glows, dithered by one 8-bit step;
        // alpha: 1 − Π (1 − a_i), for blending with (1, 1 − source alpha).
        kEmission,
        // Depth = 1 − level (texture 0), nothing where the level is 0: with depth test
        // LESS the brightest voxel of a pixel keeps its depth.
        kMaximumDepth,
        // The same depth, and colour level × local[0] (rgb: colour × brightness, alpha:
        // opacity), for the pass that paints the winners with depth test EQUAL.
        kMaximumColour,
    };

    XSliceStackProgram(XKind inKind, uint32_t inChannelCount = 1);

    XKind GetKind() const { return itsKind; }
    uint32_t GetChannelCount() const { return itsChannelCount; }

    static XString MakeText(XKind inKind, uint32_t inChannelCount);

private:
    XKind itsKind;
    uint32_t itsChannelCount;
};
