#include "XMeshFileWriter.h"

#include "XException.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {
static_assert(std::endian::native == std::endian::little, "binary mesh files are written little-endian as they lie");

// The quad's corners counter-clockwise seen from outside.
std::array<uint32_t, 4> Outward(const XMathVectorU4& inQuad)
{
    return {inQuad[0], inQuad[3], inQuad[2], inQuad[1]};
}
std::array<uint32_t, 3> Outward(const XMathVectorU3& inTriangle)
{
    return {inTriangle[0], inTriangle[2], inTriangle[1]};
}

template <class TFace>
bool IndexesPast(const TFace& inFace, size_t inCount, uint32_t& outIndex)
{
    for (size_t k = 0; k < sizeof(TFace) / sizeof(uint32_t); ++k)
        if (inFace[k] >= inCount) {
            outIndex = inFace[k];
            return true;
        }
    return false;
}

// Shortest text that reads back as the same float.
void AppendNumber(std::string& inOut, float inValue)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, inValue);
    inOut.append(text, result.ptr);
}

template <class T>
void AppendBinary(std::string& inOut, const T& inValue)
{
    inOut.append(reinterpret_cast<const char*>(&inValue), sizeof inValue);
}

// Large meshes go out in pieces of about this many bytes.
constexpr size_t kChunk = 1 << 20;

void Flush(std::ostream& inOut, std::string& inOutBuffer, bool inForce = false)
{
    if (inForce || inOutBuffer.size() >= kChunk) {
        inOut.write(inOutBuffer.data(), std::streamsize(inOutBuffer.size()));
        inOutBuffer.clear();
    }
}
} // namespace

bool XMeshFileWriter::GetFormatForPath(const XString& inPath, XFormat& outFormat)
{
    std::string extension = std::filesystem::path(inPath.GetStdString()).extension().string();
    for (char& c : extension)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    if (extension == ".ply")
        outFormat = kPLY;
    else if (extension == ".obj")
        outFormat = kOBJ;
    else if (extension == ".stl")
        outFormat = kSTL;
    else
        return false;
    return true;
}

void XMeshFileWriter::Check(XFormat inFormat, const XMesh& inMesh)
{
    if (inMesh.normals.size() != inMesh.positions.size())
        throw XException(XException::kBadArgument,
                         XString("the mesh has %1 normals for %2 vertices; each vertex needs one")
                             .Replace(int64_t(inMesh.normals.size()))
                             .Replace(int64_t(inMesh.positions.size())));
    uint32_t index = 0;
    const size_t count = inMesh.positions.size();
    const bool past = std::any_of(inMesh.quads.begin(), inMesh.quads.end(),
                                  [&](const XMathVectorU4& f) { return IndexesPast(f, count, index); }) ||
                      std::any_of(inMesh.triangles.begin(), inMesh.triangles.end(),
                                  [&](const XMathVectorU3& f) { return IndexesPast(f, count, index); });
    if (past)
        throw XException(XException::kBadArgument,
                         XString("a face of the mesh names vertex %1 of %2").Replace(int64_t(index)).Replace(int64_t(count)));
    if (inFormat == kSTL && uint64_t(inMesh.quads.size()) * 2 + inMesh.triangles.size() > 0xFFFFFFFFu)
        throw XException(XException::kBadArgument,
                         XString("the mesh has too many faces for an STL file; write it as PLY or OBJ"));
}

void XMeshFileWriter::Write(std::ostream& inOut, XFormat inFormat, const XMesh& inMesh, bool inASCII)
{
    Check(inFormat, inMesh);
    switch (inFormat) {
    case kPLY:
        WritePLY(inOut, inMesh, inASCII);
        break;
    case kOBJ:
        WriteOBJ(inOut, inMesh);
        break;
    case kSTL:
        WriteSTL(inOut, inMesh);
        break;
    }
}

void XMeshFileWriter::WritePLY(std::ostream& inOut, const XMesh& inMesh, bool inASCII)
{
    std::string out = std::string("ply\nformat ") + (inASCII ? "ascii" : "binary_little_endian") +
                      " 1.0\ncomment Kestrin3D isosurface\nelement vertex " + std::to_string(inMesh.positions.size()) +
                      "\nproperty float x\nproperty float y\nproperty float z\n"
                      "property float nx\nproperty float ny\nproperty float nz\nelement face " +
                      std::to_string(inMesh.quads.size() + inMesh.triangles.size()) +
                      "\nproperty list uchar int vertex_indices\nend_header\n";
    for (size_t v = 0; v < inMesh.positions.size(); ++v) {
        const XMathVectorF3 n = inMesh.normals[v].GetNormalised();
        const float values[6] = {inMesh.positions[v][0], inMesh.positions[v][1], inMesh.positions[v][2], n[0], n[1], n[2]};
        for (int i = 0; i < 6; ++i) {
            if (inASCII) {
                AppendNumber(out, values[i]);
                out += i == 5 ? '\n' : ' ';
            } else {
                AppendBinary(out, values[i]);
            }
        }
        Flush(inOut, out);
    }
    auto face = [&](const auto& inCorners) {
        if (inASCII) {
            out += std::to_string(inCorners.size());
            for (uint32_t c : inCorners) {
                out += ' ';
                out += std::to_string(c);
            }
            out += '\n';
        } else {
            AppendBinary(out, uint8_t(inCorners.size()));
            for (uint32_t c : inCorners)
                AppendBinary(out, int32_t(c));
        }
        Flush(inOut, out);
    };
    for (const XMathVectorU4& quad : inMesh.quads)
        face(Outward(quad));
    for (const XMathVectorU3& triangle : inMesh.triangles)
        face(Outward(triangle));
    Flush(inOut, out, true);
}

void XMeshFileWriter::WriteOBJ(std::ostream& inOut, const XMesh& inMesh)
{
    std::string out = "# Kestrin3D isosurface: " + std::to_string(inMesh.positions.size()) + " vertices, " +
                      std::to_string(inMesh.quads.size() + inMesh.triangles.size()) + " faces\n";
    for (const XMathVectorF3& p : inMesh.positions) {
        out += "v";
        for (size_t i = 0; i < 3; ++i) {
            out += ' ';
            AppendNumber(out, p[i]);
        }
        out += '\n';
        Flush(inOut, out);
    }
    for (const XMathVectorF3& normal : inMesh.normals) {
        const XMathVectorF3 n = normal.GetNormalised();
        out += "vn";
        for (size_t i = 0; i < 3; ++i) {
            out += ' ';
            AppendNumber(out, n[i]);
        }
        out += '\n';
        Flush(inOut, out);
    }
    auto face = [&](const auto& inCorners) {
        out += "f";
        for (uint32_t c : inCorners) {
            const std::string index = std::to_string(uint64_t(c) + 1);
            out += ' ';
            out += index;
            out += "//";
            out += index;
        }
        out += '\n';
        Flush(inOut, out);
    };
    for (const XMathVectorU4& quad : inMesh.quads)
        face(Outward(quad));
    for (const XMathVectorU3& triangle : inMesh.triangles)
        face(Outward(triangle));
    Flush(inOut, out, true);
}

void XMeshFileWriter::WriteSTL(std::ostream& inOut, const XMesh& inMesh)
{
    // Readers take a header that starts with "solid" for a text file.
    std::string out = "Kestrin3D isosurface, binary STL";
    out.resize(80, ' ');
    AppendBinary(out, uint32_t(inMesh.quads.size() * 2 + inMesh.triangles.size()));
    auto facet = [&](const std::array<uint32_t, 3>& inTriangle) {
        XMathVectorD3 corner[3];
        for (int k = 0; k < 3; ++k)
            for (size_t i = 0; i < 3; ++i)
                corner[k][i] = inMesh.positions[inTriangle[size_t(k)]][i];
        const XMathVectorD3 normal = (corner[1] - corner[0]).Cross(corner[2] - corner[0]).GetNormalised();
        for (size_t i = 0; i < 3; ++i)
            AppendBinary(out, float(normal[i]));
        for (uint32_t v : inTriangle)
            for (size_t i = 0; i < 3; ++i)
                AppendBinary(out, inMesh.positions[v][i]);
        AppendBinary(out, uint16_t(0));
        Flush(inOut, out);
    };
    for (const XMathVectorU4& quad : inMesh.quads) {
        const std::array<uint32_t, 4> c = Outward(quad);
        facet({c[0], c[1], c[2]});
        facet({c[0], c[2], c[3]});
    }
    for (const XMathVectorU3& triangle : inMesh.triangles)
        facet(Outward(triangle));
    Flush(inOut, out, true);
}

void XMeshFileWriter::WriteFile(const XString& inPath, XFormat inFormat, const XMesh& inMesh, bool inASCII)
{
    Check(inFormat, inMesh);
    const std::string path = inPath.GetStdString();
    const std::string partial = path + ".partial-" + std::to_string(::getpid());
    {
        std::ofstream file(partial, std::ios::binary | std::ios::trunc);
        if (file) {
            Write(file, inFormat, inMesh, inASCII);
            file.close();
        }
        if (!file) {
            std::remove(partial.c_str());
            throw XException(XException::kFileError,
                             XString("cannot write %1; check that its folder exists, is writable and has room")
                                 .Replace(inPath));
        }
    }
    std::error_code ec;
    std::filesystem::rename(partial, path, ec);
    if (ec) {
        std::remove(partial.c_str());
        throw XException(XException::kFileError,
                         XString("cannot write %1: %2").Replace(inPath).Replace(XString(ec.message())));
    }
}
