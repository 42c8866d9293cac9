#pragma once
// A built-in data set for demonstrations and tests: a deterministic time-lapse of a
// few cells in three channels (nuclei, membranes, small bright spots), 16-bit, with
// anisotropic voxels. The same size and seed always give the same voxels.
#include "XDataVolumeSequence.h"

#include <cstdint>
#include <memory>

class XProgress;

class XSyntheticSample {
public:
    struct Settings {
        int32_t width = 256;
        int32_t height = 256;
        int32_t depth = 64;
        uint32_t timepoints = 5;
        uint32_t cells = 6;
        uint32_t seed = 1;
        double calibrationXY = 0.2; // µm per voxel
        double calibrationZ = 0.5;
        double interval = 60.0;      // seconds between timepoints
    };

    // Throws XException kBadArgument for sizes that are not positive or absurdly large.
    static std::unique_ptr<XDataVolumeSequence> Make(const Settings& inSpec, XProgress* inProgress = nullptr);
    static std::unique_ptr<XDataVolumeSequence> Make() { return Make(Settings()); }
};
