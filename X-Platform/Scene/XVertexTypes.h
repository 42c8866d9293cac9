#pragma once
// Vertex layouts of the scene-graph nodes, packed exactly as the device's client
// arrays and buffers read them, each with its vertex definition.
#include "X3DGC.h"
#include "XARGB32Colour.h"
#include "XMathVector.h"

#include <cstdint>

class XVertexTypes {
public:
    // A colour as it sits in a vertex: red, green, blue, alpha bytes (what an
    // unsigned-byte colour array means to the device).
    struct XVertexColour {
        uint8_t red = 255;
        uint8_t green = 255;
        uint8_t blue = 255;
        uint8_t alpha = 255;

        constexpr XVertexColour() = default;
        constexpr XVertexColour(const XARGB32Colour& inColour)
            : red(inColour.red), green(inColour.green), blue(inColour.blue), alpha(inColour.alpha) {}
        constexpr XARGB32Colour GetARGB() const { return XARGB32Colour(alpha, red, green, blue); }
        friend constexpr bool operator==(const XVertexColour&, const XVertexColour&) = default;
    };

    struct XVertexPositionColour {
        XMathVectorF3 position;
        XVertexColour colour;

        // Position at 0, colour at 12; stride 16.
        static const X3DGC::XVertexDefinition& GetDefinition();
    };

    struct XVertexPositionColourNormal {
        XMathVectorF3 position;
        XVertexColour colour;
        XMathVectorF3 normal;

        // As XVertexPositionColour, with the normal at 16; stride 28.
        static const X3DGC::XVertexDefinition& GetDefinition();
    };

    struct XVertexPositionTexture {
        XMathVectorF3 position;
        XMathVectorF2 texCoord;

        // Position at 0, texture coordinates of unit 0 at 12; stride 20.
        static const X3DGC::XVertexDefinition& GetDefinition();
    };
};

static_assert(sizeof(XVertexTypes::XVertexPositionColour) == 16);
static_assert(sizeof(XVertexTypes::XVertexPositionColourNormal) == 28);
static_assert(sizeof(XVertexTypes::XVertexPositionTexture) == 20);
