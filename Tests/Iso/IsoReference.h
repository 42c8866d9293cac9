#pragma once
// Helpers of the isosurface and simplification tests: a direct, slow transcription of
// the dual method (ordered cell map, literal loops) to compare the tool with and to make
// closed surfaces to simplify, volumes to extract from, and measures of a surface.
#include "X3DRect.h"
#include "XMaskVolume.h"
#include "XMathVector.h"
#include "XVector.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>

namespace IsoReference {
struct XSurface {
    XVector<XMathVectorF3> positions;
    XVector<XMathVectorF3> normals;
    XVector<XMathVectorU4> quads;
    XVector<XMathVectorU3> triangles; // made by the simplification
};

// The method as written: padded copy, z-y-x walk, AddFace, a map from 64-bit cell
// keys to vertex indices, normals from the corner cross products.
XSurface Extract(const XMaskVolume& inVolume, unsigned char inIso, const std::optional<X3DRect>& inOutputBounds);

// A volume of the box whose voxel (x, y, z) (bounds coordinates) is 255 where
// inInside says so, 0 elsewhere; inInside is asked in z-y-x order.
XMaskVolume MakeMask(const X3DRect& inBox, const std::function<bool(int, int, int)>& inInside);

// Each polygon as triangles (quads split along their first diagonal).
void ForEachTriangle(const XSurface& inSurface, const std::function<void(uint32_t, uint32_t, uint32_t)>& inDo);
// Count of each directed edge of the polygons.
std::map<std::pair<uint32_t, uint32_t>, int> GetDirectedEdges(const XSurface& inSurface);
// Volume enclosed by the polygons, positive when they wind clockwise seen from outside,
// as the tool's do.
double GetEnclosedVolume(const XSurface& inSurface);
// Bounds of the vertices the polygons use: minimum then maximum.
std::pair<XMathVectorF3, XMathVectorF3> GetUsedBounds(const XSurface& inSurface);
size_t CountUsedVertices(const XSurface& inSurface);
} // namespace IsoReference
