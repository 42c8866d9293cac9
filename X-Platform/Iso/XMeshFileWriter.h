#pragma once
// Writes a surface of quads (and triangles, after simplification) as a mesh file for other programs: PLY (binary little-endian,
// or ASCII), OBJ (positions, normals, 1-based faces "f a//a ...") or binary STL
// (each quad split into two triangles with unit facet normals).
//
// The faces come in the winding of XVolumeIsosurfaceTool (clockwise seen from
// outside, normals outwards) and are written counter-clockwise, as files expect.
// Normals are written normalised.
#include "XMathVector.h"
#include "XString.h"
#include "XVector.h"

#include <ostream>

class XMeshFileWriter {
public:
    enum XFormat { kPLY, kOBJ, kSTL };

    static inline const XVector<XMathVectorU3> sNoTriangles{};

    struct XMesh {
        const XVector<XMathVectorF3>& positions;
        const XVector<XMathVectorF3>& normals; // one per position
        const XVector<XMathVectorU4>& quads;
        const XVector<XMathVectorU3>& triangles = sNoTriangles; // written after the quads
    };

    // From the file name's extension (.ply, .obj, .stl in any case); false for others.
    static bool GetFormatForPath(const XString& inPath, XFormat& outFormat);

    // Throws XException kBadArgument for a mesh whose normals and positions differ in
    // number, whose quads index past its positions, or that a format cannot count
    // (binary STL holds at most 4294967295 triangles).
    static void Write(std::ostream& inOut, XFormat inFormat, const XMesh& inMesh, bool inASCII = false);
    // Writes beside the file and renames it into place, so a failure leaves no
    // partial file and an older file as it was (XException kFileError).
    static void WriteFile(const XString& inPath, XFormat inFormat, const XMesh& inMesh, bool inASCII = false);

private:
    static void Check(XFormat inFormat, const XMesh& inMesh);
    static void WritePLY(std::ostream& inOut, const XMesh& inMesh, bool inASCII);
    static void WriteOBJ(std::ostream& inOut, const XMesh& inMesh);
    static void WriteSTL(std::ostream& inOut, const XMesh& inMesh);
};
