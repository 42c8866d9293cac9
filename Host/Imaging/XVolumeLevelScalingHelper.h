#pragma once
// Display levels of a volume: maps data values through a display range (black
// level → 0, white level → 255) with rounding and clamping, knows the data range of
// the volume it was made from and its voxel size (µm per voxel on each axis).
#include "XVoxelType.h"

#include <cstdint>
#include <vector>

class XVolume;
class XGrey8Volume;

class XVolumeLevelScalingHelper {
public:
    // Display range 0..255, data range unknown (0..0), voxel size 1 µm.
    XVolumeLevelScalingHelper() = default;
    // Throws XException kBadArgument unless both levels are finite.
    XVolumeLevelScalingHelper(double inBlackLevel, double inWhiteLevel);
    // The volume's data range becomes the display range; its calibration the voxel size.
    explicit XVolumeLevelScalingHelper(const XVolume& inVolume);

    double GetBlackLevel() const { return itsBlackLevel; }
    double GetWhiteLevel() const { return itsWhiteLevel; }
    void SetDisplayRange(double inBlackLevel, double inWhiteLevel);

    // Smallest and largest value of the volume it was made from (NaN voxels ignored).
    bool HasDataRange() const { return itsHasDataRange; }
    double GetDataMinimum() const { return itsDataMin; }
    double GetDataMaximum() const { return itsDataMax; }

    double GetVoxelSizeX() const { return itsVoxelSize[0]; }
    double GetVoxelSizeY() const { return itsVoxelSize[1]; }
    double GetVoxelSizeZ() const { return itsVoxelSize[2]; }

    // 0 at or below black, 255 at or above white, rounded to nearest between; a
    // zero-width range is a threshold at the level; black above white inverts; NaN gives 0.
    uint8_t MapValue(double inValue) const;
    // MapValue for every value of an 8-bit (256 entries) or 16-bit (65536 entries) layout.
    std::vector<uint8_t> MakeLookupTable(XVoxelType inType) const;
    // Grey volumes (8, 16 bit, float, mask) through the display range into 8-bit
    // levels; colour volumes by luminance first. The target takes the source's bounds.
    void MapVolume(const XVolume& inVolume, XGrey8Volume& outLevels) const;

    // The smallest and largest value of a grey volume (colour volumes: of all colour
    // bytes). False for an empty volume or one that holds only NaN.
    static bool GetDataRange(const XVolume& inVolume, double& outMinimum, double& outMaximum);

    // The share of counted voxels an automatic display range leaves saturated at each end.
    static constexpr double kAutoSaturation = 0.0035;
    // A display range from the histogram of grey volumes (one channel, any number of
    // timepoints): at most kAutoSaturation of the counted voxels lie below the black
    // level and as many above the white level. Voxels of value 0 are background and
    // not counted. Float data is binned in 4096 steps between its extremes. When the
    // clipped range would be empty the extremes are used. False when there is nothing
    // to count (no grey voxel other than 0, or no finite float).
    static bool GetAutoDisplayRange(const std::vector<const XVolume*>& inVolumes, double& outBlack, double& outWhite);

private:
    double itsBlackLevel = 0.0;
    double itsWhiteLevel = 255.0;
    double itsDataMin = 0.0;
    double itsDataMax = 0.0;
    bool itsHasDataRange = false;
    double itsVoxelSize[3] = {1.0, 1.0, 1.0};
};
