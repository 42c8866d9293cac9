#pragma once
// Test surfaces: closed quad surfaces of voxel masks made by the dual method of the
// isosurface extraction (one vertex per crossed cell at the mean of its edge crossings,
// one quad per crossed voxel edge, the same quad winding), a literal transcription so
// that the simplification can be tested on its own; and measures of a surface.
#include "XMathVector.h"
#include "XVector.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

struct XTestMask {
    int itsSize[3];
    std::vector<uint8_t> itsVoxels;

    XTestMask(int inX, int inY, int inZ);
    uint8_t& At(int x, int y, int z) { return itsVoxels[(size_t(z) * itsSize[1] + y) * itsSize[0] + x]; }
    uint8_t Get(int x, int y, int z) const;
    // Voxels lo <= p < hi become 255.
    void AddBox(int x0, int y0, int z0, int x1, int y1, int z1);
    // Voxels whose centre lies within inRadius of the centre become 255.
    void AddBall(double inX, double inY, double inZ, double inRadius);
};

struct XTestSurface {
    XVector<XMathVectorF3> itsPositions;
    XVector<XMathVectorU3> itsTriangles;
    XVector<XMathVectorU4> itsQuads;
};

// The surface of the voxels above 128 (the mask is padded with 2 empty voxels per side).
XTestSurface MakeTestSurface(const XTestMask& inMask);

// Each polygon as triangles (quads split along their first diagonal).
void ForEachTriangle(const XTestSurface& inSurface, const std::function<void(uint32_t, uint32_t, uint32_t)>& inDo);
// Count of each directed edge.
std::map<std::pair<uint32_t, uint32_t>, int> GetDirectedEdges(const XTestSurface& inSurface);
double GetSignedVolume(const XTestSurface& inSurface);
// Bounds of the vertices the polygons use: minimum then maximum.
std::pair<XMathVectorF3, XMathVectorF3> GetUsedBounds(const XTestSurface& inSurface);
size_t CountUsedVertices(const XTestSurface& inSurface);
