#include "XMeshFileWriter.h"

#include "XException.h"

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
    for (const XMathVectorU4& quad : inMesh.quads)
        for (size_t k = 0; k < 4; ++k)
            if (quad[k] >= inMesh.positions.size())
                throw XException(XException::kBadArgument,
                                 XString("a face of the mesh names vertex %1 of %2").Replace(int64_t(quad[k])).Replace(
                                     int64_t(inMesh.positions.size())));
    if (inFormat == kSTL && inMesh.quads.size() > 0xFFFFFFFFu / 2)
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
                      std::to_string(inMesh.quads.size()) + "\nproperty list uchar int vertex_indices\nend_header\n";
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
    for (const XMathVectorU4& quad : inMesh.quads) {
        const std::array<uint32_t, 4> corners = Outward(quad);
        if (inASCII) {
            out += "4";
            for (uint32_t c : corners) {
                out += ' ';
                out += std::to_string(c);
            }
            out += '\n';
        } else {
            AppendBinary(out, uint8_t(4));
            for (uint32_t c : corners)
                AppendBinary(out, int32_t(c));
        }
        Flush(inOut, out);
    }
    Flush(inOut, out, true);
}

void XMeshFileWriter::WriteOBJ(std::ostream& inOut, const XMesh& inMesh)
{
    std::string out = "# Kestrin3D isosurface: " + std::to_string(inMesh.positions.size()) + " vertices, " +
                      std::to_string(inMesh.quads.size()) + " faces\n";
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
    for (const XMathVectorU4& quad : inMesh.quads) {
        out += "f";
        for (uint32_t c : Outward(quad)) {
            const std::string index = std::to_string(uint64_t(c) + 1);
            out += ' ';
            out += index;
            out += "//";
            out += index;
        }
        out += '\n';
        Flush(inOut, out);
    }
    Flush(inOut, out, true);
}

void XMeshFileWriter::WriteSTL(std::ostream& inOut, const XMesh& inMesh)
{
    // Readers take a header that starts with "solid" for a text file.
    std::string out = "Kestrin3D isosurface, binary STL";
    out.resize(80, ' ');
    AppendBinary(out, uint32_t(inMesh.quads.size() * 2));
    for (const XMathVectorU4& quad : inMesh.quads) {
        const std::array<uint32_t, 4> c = Outward(quad);
        for (const std::array<uint32_t, 3>& triangle : {std::array<uint32_t, 3>{c[0], c[1], c[2]},
                                                       std::array<uint32_t, 3>{c[0], c[2], c[3]}}) {
            XMathVectorD3 corner[3];
            for (int k = 0; k < 3; ++k)
                for (size_t i = 0; i < 3; ++i)
                    corner[k][i] = inMesh.positions[triangle[size_t(k)]][i];
            const XMathVectorD3 normal = (corner[1] - corner[0]).Cross(corner[2] - corner[0]).GetNormalised();
            for (size_t i = 0; i < 3; ++i)
                AppendBinary(out, float(normal[i]));
            for (uint32_t v : triangle)
                for (size_t i = 0; i < 3; ++i)
                    AppendBinary(out, inMesh.positions[v][i]);
            AppendBinary(out, uint16_t(0));
        }
        Flush(inOut, out);
    }
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
