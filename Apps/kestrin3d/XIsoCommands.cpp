#include "XIsoCommands.h"

#include "XCommandArguments.h"
#include "XCommandTable.h"
#include "XDataVolumeSequence.h"
#include "XException.h"
#include "XHostSetup.h"
#include "XMaskVolume.h"
#include "XMeshFileWriter.h"
#include "XMeshSimplificationTool.h"
#include "XProgress.h"
#include "XRenderCommands.h"
#include "XThread.h"
#include "XVolumeIsosurfaceTool.h"

#include <algorithm>
#include <exception>
#include <iomanip>
#include <limits>
#include <sstream>
#include <stdexcept>

namespace {
const char* const kHelp =
    "The voxels of channel C above T form a mask; its closed surface is written with\n"
    "coordinates in micrometres (voxel i centred at (i + 0.5) x the voxel size) and faces\n"
    "counter-clockwise seen from outside. Without FILE the built-in sample is used.\n"
    "Channels and timepoints count from 1.\n\n"
    "Options:\n"
    "  -o, --output MESH      the mesh to write (required): .ply, .obj or .stl; replaced\n"
    "                         if it exists\n"
    "  --channel C            the channel (required)\n"
    "  --threshold T          voxels of a value above T are inside (required)\n"
    "  --timepoint N          the timepoint (default 1)\n"
    "  --simplify             merge the flat patches and straight creases of the\n"
    "                         voxel staircase into fewer, larger faces (same shape;\n"
    "                         the file then holds triangles as well as quads)\n"
    "  --ascii                PLY as text instead of binary little-endian (PLY only;\n"
    "                         OBJ is always text, STL always binary)\n";

std::string Number(double inValue)
{
    std::ostringstream text;
    text << std::setprecision(6) << inValue;
    return text.str();
}

template <class T>
uint64_t Threshold(const XVolume& inVolume, double inThreshold, XMaskVolume& outMask, double& outLow, double& outHigh)
{
    uint64_t inside = 0;
    for (int32_t z = 0; z < inVolume.GetDepth(); ++z)
        for (int32_t y = 0; y < inVolume.GetHeight(); ++y) {
            const T* row = reinterpret_cast<const T*>(inVolume.GetRowPtr(y, z));
            uint8_t* mask = outMask.GetVoxelRow(y, z);
            for (int32_t x = 0; x < inVolume.GetWidth(); ++x) {
                const double value = double(row[x]);
                outLow = std::min(outLow, value);
                outHigh = std::max(outHigh, value);
                const bool above = value > inThreshold;
                mask[x] = above ? 255 : 0;
                inside += above;
            }
        }
    return inside;
}

// Simplifies on a host thread (the tool needs one), passing on its failure.
void Simplify(XVector<XMathVectorF3>& inOutPositions, XVector<XMathVectorF3>& inOutNormals,
              XVector<XMathVectorU4>& inOutQuads, XVector<XMathVectorU3>& outTriangles)
{
    std::exception_ptr failure;
    XThread worker([&] {
        try {
            XMeshSimplificationTool tool(outTriangles, inOutQuads, inOutPositions);
            tool.SimplifyMesh();
        } catch (...) {
            failure = std::current_exception();
        }
    });
    worker.Start();
    worker.Join();
    if (failure)
        std::rethrow_exception(failure);

    // Deleted vertices are no longer named by any face: leave them out of the file.
    std::vector<uint32_t> remap(inOutPositions.size(), 0xFFFFFFFFu);
    uint32_t kept = 0;
    auto renumber = [&](uint32_t& inOutIndex) {
        if (remap[inOutIndex] == 0xFFFFFFFFu) {
            remap[inOutIndex] = kept;
            inOutPositions[kept] = inOutPositions[inOutIndex];
            inOutNormals[kept] = inOutNormals[inOutIndex];
            ++kept;
        }
        inOutIndex = remap[inOutIndex];
    };
    for (XMathVectorU4& quad : inOutQuads)
        for (size_t k = 0; k < 4; ++k)
            renumber(quad[k]);
    for (XMathVectorU3& triangle : outTriangles)
        for (size_t k = 0; k < 3; ++k)
            renumber(triangle[k]);
    inOutPositions.resize(kept);
    inOutNormals.resize(kept);
}
} // namespace

void XIsoCommands::AddTo(XCommandTable& inOutTable)
{
    inOutTable.Add({"iso", "", "[FILE] --channel C --threshold T -o MESH.ply|obj|stl [OPTIONS]",
                    "write the surface of a channel's voxels above a threshold as a mesh file", kHelp,
                    &XIsoCommands::Iso});
}

int XIsoCommands::Iso(const std::vector<std::string>& inArguments, std::ostream& inOut)
{
    std::vector<std::string> arguments;
    for (const std::string& argument : inArguments)
        arguments.push_back(argument == "-o" ? "--output" : argument);
    const XCommandArguments line(arguments, "iso", {"--output", "--channel", "--threshold", "--timepoint"}, {"--ascii", "--simplify"});
    line.ExpectAtMostPositionals(1);
    const std::string input = line.GetPositionalCount() ? line.GetPositional(0, "FILE") : std::string();
    const std::string output = line.GetString("--output", "");
    if (output.empty())
        throw XUsageError("'iso' needs the mesh to write: give -o MESH.ply (or .obj, .stl)");
    XMeshFileWriter::XFormat format;
    if (!XMeshFileWriter::GetFormatForPath(XString(output), format))
        throw XUsageError("cannot tell the mesh format of '" + output + "': give -o a name ending in .ply, .obj or .stl");
    const bool ascii = line.Has("--ascii");
    if (ascii && format != XMeshFileWriter::kPLY)
        throw XUsageError(std::string("--ascii applies to PLY only (") +
                          (format == XMeshFileWriter::kOBJ ? "OBJ is always text" : "STL is written binary") +
                          "); leave it out or write a .ply");
    if (!line.Has("--channel"))
        throw XUsageError("'iso' needs --channel C, the channel to make the surface of (counted from 1)");
    if (!line.Has("--threshold"))
        throw XUsageError("'iso' needs --threshold T: voxels of a value above T are inside the surface");
    const uint64_t channel = line.GetUInt64("--channel", 0);
    if (channel == 0 || channel > XDataVolumeSequence::kMaxChannels)
        throw XUsageError("channels count from 1; give --channel 1 or more");
    const double threshold = line.GetDouble("--threshold", 0);
    const uint64_t timepoint = line.GetUInt64("--timepoint", 1);
    if (timepoint == 0 || timepoint > XDataVolumeSequence::kMaxTimepoints)
        throw XUsageError("timepoints count from 1; give --timepoint 1 or more");
    XRenderCommands::CheckOutputWritable(output);

    XHostSetup host;
    std::unique_ptr<XDataVolumeSequence> sequence = XHostSetup::ReadSample(input);
    if (channel > sequence->GetChannelCount())
        throw XUsageError("the data has " + std::to_string(sequence->GetChannelCount()) + " channels; give --channel 1 to " +
                          std::to_string(sequence->GetChannelCount()));
    if (timepoint > sequence->GetTimepointCount())
        throw XUsageError("the data has " + std::to_string(sequence->GetTimepointCount()) +
                          " timepoints; give --timepoint 1 to " + std::to_string(sequence->GetTimepointCount()));
    const std::shared_ptr<const XVolume> volume = sequence->GetVolume(uint32_t(channel), uint32_t(timepoint));
    if (!volume || volume->IsEmpty())
        throw XException(XException::kUnsupportedFile,
                         XString("channel %1 at timepoint %2 holds no voxels").Replace(int64_t(channel)).Replace(
                             int64_t(timepoint)));

    XMaskVolume mask(volume->GetBounds());
    double low = std::numeric_limits<double>::infinity(), high = -low;
    uint64_t inside = 0;
    {
        XVolume::XReadLock lock(*volume);
        switch (volume->GetVoxelType()) {
        case XVoxelType::kGrey8:
        case XVoxelType::kMask:
            inside = Threshold<uint8_t>(*volume, threshold, mask, low, high);
            break;
        case XVoxelType::kGrey16:
            inside = Threshold<uint16_t>(*volume, threshold, mask, low, high);
            break;
        case XVoxelType::kFloat32:
            inside = Threshold<float>(*volume, threshold, mask, low, high);
            break;
        default:
            throw XException(XException::kUnsupportedFile,
                             XString("channel %1 holds colour voxels; give a grey channel").Replace(int64_t(channel)));
        }
    }
    // Not a wrong value but an empty result: said plainly, exit code 1.
    if (inside == 0)
        throw std::runtime_error("no voxel of channel " + std::to_string(channel) + " at timepoint " +
                                 std::to_string(timepoint) + " lies above " + Number(threshold) + " (its values run from " +
                                 Number(low) + " to " + Number(high) + "); give a lower --threshold. Nothing was written");

    XVector<XMathVectorF3> positions, normals;
    XVector<XMathVectorU4> quads;
    XVector<XMathVectorU3> triangles;
    {
        XProgress progress(XString("Making the surface of %1 voxels").Replace(int64_t(inside)), 1);
        XVolumeIsosurfaceTool tool(mask, 128);
        tool.MakeIsoSurface(positions, normals, quads);
        progress.Increment();
        progress.Done();
    }
    if (line.Has("--simplify")) {
        XProgress progress(XString("Simplifying a surface of %1 quads").Replace(int64_t(quads.size())), 1);
        Simplify(positions, normals, quads, triangles);
        progress.Increment();
        progress.Done();
    }
    // Voxel i of the volume lies at i + 0.5 voxel sizes; normals scale by the inverse.
    const double size[3] = {sequence->GetCalibrationX(), sequence->GetCalibrationY(), sequence->GetCalibrationZ()};
    const double origin[3] = {double(mask.GetBounds().left), double(mask.GetBounds().top), double(mask.GetBounds().front)};
    for (size_t v = 0; v < positions.size(); ++v)
        for (size_t i = 0; i < 3; ++i) {
            positions[v][i] = float((double(positions[v][i]) - origin[i] + 0.5) * size[i]);
            normals[v][i] = float(double(normals[v][i]) / size[i]);
        }
    XMeshFileWriter::WriteFile(XString(output), format, {positions, normals, quads, triangles}, ascii);
    inOut << "Wrote " << output << ": " << positions.size() << " vertices, " << quads.size() << " quads"
          << (line.Has("--simplify") ? ", " + std::to_string(triangles.size()) + " triangles" : std::string()) << "; "
          << XHostSetup::DescribeSource(input) << ", channel " << channel << " above " << Number(threshold)
          << " at timepoint " << timepoint << ", in µm\n";
    return XCommandTable::kSuccess;
}
