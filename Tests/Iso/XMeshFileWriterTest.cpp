// Mesh files: each format's header byte for byte, the body read back (counter-clockwise
// faces enclosing a positive volume, unit normals), and refused meshes.
#include "IsoReference.h"
#include "XException.h"
#include "XMeshFileWriter.h"
#include "XTestEnvironment.h"
#include "XVolumeIsosurfaceTool.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <sstream>

using namespace IsoReference;

namespace {
XSurface OneVoxel()
{
    XMaskVolume voxel(1, 1, 1);
    voxel.SetVoxel(0, 0, 0, 255);
    XSurface s;
    XVolumeIsosurfaceTool(voxel, 128).MakeIsoSurface(s.positions, s.normals, s.quads);
    return s;
}

std::string Written(const XSurface& inSurface, XMeshFileWriter::XFormat inFormat, bool inASCII = false)
{
    std::ostringstream out;
    XMeshFileWriter::Write(out, inFormat, {inSurface.positions, inSurface.normals, inSurface.quads, inSurface.triangles},
                           inASCII);
    return out.str();
}

template <class T>
T ReadAt(const std::string& inBytes, size_t inOffset)
{
    T value;
    std::memcpy(&value, inBytes.data() + inOffset, sizeof value);
    return value;
}

} // namespace

TEST(XMeshFileWriter, HeadersAreExact)
{
    const XSurface voxel = OneVoxel();
    const std::string plyHeader = "ply\nformat %s 1.0\ncomment Kestrin3D isosurface\nelement vertex 8\n"
                                  "property float x\nproperty float y\nproperty float z\n"
                                  "property float nx\nproperty float ny\nproperty float nz\nelement face 6\n"
                                  "property list uchar int vertex_indices\nend_header\n";
    auto ply = [&](const char* inFormat) {
        std::string h = plyHeader;
        h.replace(h.find("%s"), 2, inFormat);
        return h;
    };
    struct Case {
        const char* name;
        XMeshFileWriter::XFormat format;
        bool ascii;
        std::string header;
        size_t bodyBytes; // 0: text, checked by line count instead
    };
    std::string stlHeader = "Kestrin3D isosurface, binary STL";
    stlHeader.resize(80, ' ');
    stlHeader += std::string("\x0C\0\0\0", 4);
    const Case cases[] = {
        {"binary PLY", XMeshFileWriter::kPLY, false, ply("binary_little_endian"), 8 * 24 + 6 * 17},
        {"ASCII PLY", XMeshFileWriter::kPLY, true, ply("ascii"), 0},
        {"OBJ", XMeshFileWriter::kOBJ, false, "# Kestrin3D isosurface: 8 vertices, 6 faces\n", 0},
        {"STL", XMeshFileWriter::kSTL, false, stlHeader, 12 * 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string bytes = Written(voxel, c.format, c.ascii);
        ASSERT_GE(bytes.size(), c.header.size());
        EXPECT_EQ(bytes.substr(0, c.header.size()), c.header);
        if (c.bodyBytes)
            EXPECT_EQ(bytes.size() - c.header.size(), c.bodyBytes);
        else
            EXPECT_EQ(std::count(bytes.begin() + std::ptrdiff_t(c.header.size()), bytes.end(), '\n'),
                      c.format == XMeshFileWriter::kOBJ ? 8 + 8 + 6 : 8 + 6);
    }
    EXPECT_NE(stlHeader.compare(0, 5, "solid"), 0);
}

TEST(XMeshFileWriter, FacesTurnCounterClockwiseAndEncloseAPositiveVolume)
{
    const XMaskVolume ball = MakeMask(X3DRect(0, 0, 0, 9, 9, 9), [](int x, int y, int z) {
        return (x - 4) * (x - 4) + (y - 4) * (y - 4) + (z - 4) * (z - 4) <= 12;
    });
    XSurface s;
    XVolumeIsosurfaceTool(ball, 128).MakeIsoSurface(s.positions, s.normals, s.quads);
    const double enclosed = GetEnclosedVolume(s);
    ASSERT_GT(enclosed, 10.0);

    // Binary PLY read back: the positions as they were, unit normals along the tool's,
    // faces reversed, so that counter-clockwise triangles enclose the same volume.
    const std::string ply = Written(s, XMeshFileWriter::kPLY);
    size_t at = ply.find("end_header\n") + 11;
    XSurface read;
    for (size_t v = 0; v < s.positions.size(); ++v, at += 24) {
        read.positions.push_back({ReadAt<float>(ply, at), ReadAt<float>(ply, at + 4), ReadAt<float>(ply, at + 8)});
        const XMathVectorF3 n(ReadAt<float>(ply, at + 12), ReadAt<float>(ply, at + 16), ReadAt<float>(ply, at + 20));
        EXPECT_NEAR(n.GetLength(), 1.0f, 1e-6f);
        EXPECT_GT(n.Dot(s.normals[v]), 0.0f);
    }
    EXPECT_EQ(read.positions, s.positions);
    for (size_t q = 0; q < s.quads.size(); ++q, at += 17) {
        ASSERT_EQ(ReadAt<uint8_t>(ply, at), 4);
        XMathVectorU4& c = read.quads.emplace_back();
        for (size_t k = 0; k < 4; ++k)
            c[k] = uint32_t(ReadAt<int32_t>(ply, at + 1 + 4 * k));
        EXPECT_EQ(c[0], s.quads[q][0]);
    }
    EXPECT_EQ(at, ply.size());
    EXPECT_NEAR(-GetEnclosedVolume(read), enclosed, 1e-6 * enclosed);

    // STL facet normals: unit length, along the winding of their triangle, outwards
    // from the ball's centre.
    const std::string stl = Written(s, XMeshFileWriter::kSTL);
    for (size_t base = 84; base < stl.size(); base += 50) {
        XMathVectorF3 v[4];
        for (size_t k = 0; k < 4; ++k)
            v[k] = {ReadAt<float>(stl, base + 12 * k), ReadAt<float>(stl, base + 12 * k + 4),
                    ReadAt<float>(stl, base + 12 * k + 8)};
        EXPECT_NEAR(v[0].GetLength(), 1.0f, 1e-6f);
        EXPECT_GT(v[0].Dot((v[2] - v[1]).Cross(v[3] - v[1])), 0.0f);
        EXPECT_GT(v[0].Dot(v[1] - XMathVectorF3(4, 4, 4)), 0.0f);
    }
}

TEST(XMeshFileWriter, RefusesBrokenMeshesAndUnwritablePaths)
{
    const XSurface voxel = OneVoxel();
    XSurface fewerNormals = voxel, quadPastTheEnd = voxel, trianglePastTheEnd = voxel;
    fewerNormals.normals.pop_back();
    quadPastTheEnd.quads[2][1] = 8;
    trianglePastTheEnd.triangles.push_back(XMathVectorU3(0, 1, 8));
    const std::pair<XMeshFileWriter::XFormat, const XSurface*> refused[] = {
        {XMeshFileWriter::kPLY, &fewerNormals}, {XMeshFileWriter::kSTL, &quadPastTheEnd},
        {XMeshFileWriter::kOBJ, &trianglePastTheEnd}};
    for (const auto& [format, surface] : refused) {
        SCOPED_TRACE(format);
        std::ostringstream out;
        EXPECT_THROW(XMeshFileWriter::Write(out, format, {surface->positions, surface->normals, surface->quads,
                                                         surface->triangles}),
                     XException);
        EXPECT_TRUE(out.str().empty()) << "nothing is written for a refused mesh";
    }

    const std::string folder = XTestEnvironment::MakeTempDir("meshes");
    try {
        XMeshFileWriter::WriteFile(XString(folder + "/missing/mesh.ply"), XMeshFileWriter::kPLY,
                                   {voxel.positions, voxel.normals, voxel.quads});
        ADD_FAILURE() << "wrote into a folder that does not exist";
    } catch (const XException& e) {
        EXPECT_EQ(e.GetErrorCode(), XException::kFileError);
    }
    XMeshFileWriter::WriteFile(XString(folder + "/mesh.stl"), XMeshFileWriter::kSTL,
                               {voxel.positions, voxel.normals, voxel.quads});
    EXPECT_EQ(std::filesystem::file_size(folder + "/mesh.stl"), 84u + 12u * 50u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1)
        << "no partial file is left beside it";

    XMeshFileWriter::XFormat format;
    EXPECT_TRUE(XMeshFileWriter::GetFormatForPath(XString("a/b.OBJ"), format) && format == XMeshFileWriter::kOBJ);
    EXPECT_FALSE(XMeshFileWriter::GetFormatForPath(XString("mesh.vtk"), format));
}

TEST(XMeshFileWriter, TrianglesTurnLikeQuads)
{
    // The voxel's quads, each as two triangles of its own winding: the same STL facets.
    const XSurface voxel = OneVoxel();
    XSurface split = voxel;
    split.quads.clear();
    for (const XMathVectorU4& q : voxel.quads) {
        split.triangles.push_back(XMathVectorU3(q[0], q[2], q[3]));
        split.triangles.push_back(XMathVectorU3(q[0], q[1], q[2]));
    }
    EXPECT_EQ(Written(split, XMeshFileWriter::kSTL), Written(voxel, XMeshFileWriter::kSTL));
    EXPECT_NE(Written(split, XMeshFileWriter::kPLY, true).find("element face 12\n"), std::string::npos);
    const std::string obj = Written(split, XMeshFileWriter::kOBJ);
    const size_t firstFace = obj.find("\nf ");
    ASSERT_NE(firstFace, std::string::npos);
    const XMathVectorU3& t = split.triangles[0];
    auto corner = [](uint32_t v) { return std::to_string(v + 1) + "//" + std::to_string(v + 1); };
    EXPECT_EQ(obj.substr(firstFace + 1, obj.find('\n', firstFace + 1) - firstFace - 1),
              "f " + corner(t[0]) + " " + corner(t[2]) + " " + corner(t[1]));
}
