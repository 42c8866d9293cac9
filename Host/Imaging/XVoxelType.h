#pragma once
// The layouts a volume's voxels can have, and how copies between volumes sample.
#include <cstddef>
#include <cstdint>

enum class XVoxelType : uint8_t {
    kARGB32,  // 4 bytes in memory: alpha, red, green, blue
    kBGRA32,  // 4 bytes in memory: blue, green, red, alpha
    kGrey8,   // 1 byte
    kGrey16,  // 2 bytes, native (little-endian) order
    kFloat32, // 4-byte IEEE float, native order
    kMask,    // 1 byte, 0 outside, non-zero inside
    kRGB48,   // 6 bytes in memory: red, green, blue, 16 bits each in native order
};

enum class XResampleMode : uint8_t {
    kNearest, // each target voxel takes the nearest source voxel
    kLinear,  // trilinear interpolation between source voxel centres
};

constexpr size_t GetBytesPerVoxel(XVoxelType inType)
{
    switch (inType) {
    case XVoxelType::kRGB48:
        return 6;
    case XVoxelType::kARGB32:
    case XVoxelType::kBGRA32:
    case XVoxelType::kFloat32:
        return 4;
    case XVoxelType::kGrey16:
        return 2;
    case XVoxelType::kGrey8:
    case XVoxelType::kMask:
        return 1;
    }
    return 1;
}

constexpr const char* GetVoxelTypeName(XVoxelType inType)
{
    switch (inType) {
    case XVoxelType::kARGB32: return "ARGB32";
    case XVoxelType::kBGRA32: return "BGRA32";
    case XVoxelType::kGrey8: return "Grey8";
    case XVoxelType::kGrey16: return "Grey16";
    case XVoxelType::kFloat32: return "Float32";
    case XVoxelType::kMask: return "Mask";
    case XVoxelType::kRGB48: return "RGB48";
    }
    return "?";
}
