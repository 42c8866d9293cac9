#pragma once
// Helpers of the isosurface tests: a direct, slow transcription of the dual method
// (ordered cell map, literal loops) to compare the tool with, volumes to extract
// from, and the topology of a quad surface.
#include "X3DRect.h"
#include "XMaskVolume.h"
#include "XMathVector.h"
#include "XVector.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace IsoReference {
struct XSurface {
    XVector<XMathVectorF3> positions;
    XVector<XMathVectorF3> normals;
    XVector<XMathVectorU4> quads;
};

// The method as written: padded copy, z-y-x walk, AddFace, a map from 64-bit cell
// keys to vertex indices, normals from the corner cross products.
XSurface Extract(const XMaskVolume& inVolume, unsigned char inIso, const std::optional<X3DRect>& inOutputBounds);

// A volume of the box whose voxel (x, y, z) (bounds coordinates) is 255 where
// inInside says so, 0 elsewhere.
XMaskVolume MakeMask(const X3DRect& inBox, const std::function<bool(int, int, int)>& inInside);

struct XTopology {
    size_t vertices = 0;    // vertices some quad uses
    size_t edges = 0;       // undirected edges
    size_t faces = 0;
    bool twoFacesPerEdge = true;
    bool directedEdgesPaired = true; // each directed edge has its reverse
    long long EulerCharacteristic() const { return (long long)vertices - (long long)edges + (long long)faces; }
};
XTopology GetTopology(const XVector<XMathVectorU4>& inQuads);

// Volume enclosed by the quads (split into triangles), positive when they wind
// clockwise seen from outside, as the tool's do.
double GetEnclosedVolume(const XSurface& inSurface);
} // namespace IsoReference
