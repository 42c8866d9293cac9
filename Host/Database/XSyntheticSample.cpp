#include "XSyntheticSample.h"

#include "XException.h"
#include "XGrey16Volume.h"
#include "XProgress.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
constexpr double kPi = 3.14159265358979323846;

// A small, well-mixed integer hash: the noise must not depend on the platform's random engines.
uint32_t Hash(uint32_t a, uint32_t b, uint32_t c, uint32_t d)
{
    uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du ^ d * 0x27D4EB2Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

double Unit(uint32_t inHash) { return (inHash & 0xFFFFFF) / double(0x1000000); }

struct Spot {
    double x, y, z; // offset from the cell centre, µm
};

struct Cell {
    double x, y, z;    // centre, µm
    double vx, vy;     // drift per timepoint, µm
    double radius;     // µm in x and y
    double zRadius;    // µm
    double nucleus;    // fraction of the radius
    double brightness; // of the nucleus
    std::vector<Spot> spots;
};

std::vector<Cell> MakeCells(const XSyntheticSample::Settings& s)
{
    const double sizeX = s.width * s.calibrationXY, sizeY = s.height * s.calibrationXY, sizeZ = s.depth * s.calibrationZ;
    std::vector<Cell> cells;
    uint32_t n = 0;
    for (uint32_t attempt = 0; cells.size() < s.cells && attempt < s.cells * 50; ++attempt) {
        Cell c{};
        const double scale = std::min(sizeX, sizeY);
        c.radius = scale * (0.09 + 0.05 * Unit(Hash(s.seed, attempt, 1, 0)));
        c.zRadius = std::min(c.radius * 0.8, sizeZ * 0.38);
        c.x = c.radius + (sizeX - 2 * c.radius) * Unit(Hash(s.seed, attempt, 2, 0));
        c.y = c.radius + (sizeY - 2 * c.radius) * Unit(Hash(s.seed, attempt, 3, 0));
        c.z = sizeZ * (0.4 + 0.2 * Unit(Hash(s.seed, attempt, 4, 0)));
        const double angle = 2 * kPi * Unit(Hash(s.seed, attempt, 5, 0));
        c.vx = 0.04 * scale * std::cos(angle);
        c.vy = 0.04 * scale * std::sin(angle);
        c.nucleus = 0.45 + 0.1 * Unit(Hash(s.seed, attempt, 6, 0));
        c.brightness = 0.7 + 0.3 * Unit(Hash(s.seed, attempt, 7, 0));
        // Cells keep apart so membranes do not merge.
        bool clear = true;
        for (const Cell& o : cells)
            if (std::hypot(o.x - c.x, o.y - c.y) < (o.radius + c.radius) * 1.15)
                clear = false;
        if (!clear)
            continue;
        for (uint32_t k = 0; k < 8; ++k) {
            const double u = Unit(Hash(s.seed, attempt, 10 + k, 1)), v = Unit(Hash(s.seed, attempt, 10 + k, 2));
            const double r = (c.nucleus + (0.85 - c.nucleus) * Unit(Hash(s.seed, attempt, 10 + k, 3)));
            const double theta = 2 * kPi * u, phi = std::acos(2 * v - 1);
            c.spots.push_back(Spot{r * c.radius * std::sin(phi) * std::cos(theta), r * c.radius * std::sin(phi) * std::sin(theta),
                                   r * c.zRadius * std::cos(phi)});
        }
        cells.push_back(c);
        ++n;
    }
    return cells;
}

// Adds each cell's contribution for one channel, only inside the cell's bounding box.
void PaintChannel(XGrey16Volume& v, const std::vector<Cell>& cells, const XSyntheticSample::Settings& s, uint32_t channel,
                  uint32_t timepoint)
{
    const double cxy = s.calibrationXY, cz = s.calibrationZ;
    const double membraneSigma = 0.35; // µm
    const double spotSigma = 0.35;
    std::vector<float> field(size_t(s.width) * s.height * s.depth, 0.0f);
    auto at = [&](int32_t x, int32_t y, int32_t z) -> float& { return field[(size_t(z) * s.height + y) * s.width + x]; };

    for (const Cell& c0 : cells) {
        Cell c = c0;
        c.x += c.vx * timepoint;
        c.y += c.vy * timepoint;
        const double margin = channel == 2 ? 3 * membraneSigma : 0.0;
        const int32_t x0 = std::max(0, int32_t((c.x - c.radius - margin) / cxy));
        const int32_t x1 = std::min(s.width - 1, int32_t((c.x + c.radius + margin) / cxy) + 1);
        const int32_t y0 = std::max(0, int32_t((c.y - c.radius - margin) / cxy));
        const int32_t y1 = std::min(s.height - 1, int32_t((c.y + c.radius + margin) / cxy) + 1);
        const int32_t z0 = std::max(0, int32_t((c.z - c.zRadius - margin) / cz));
        const int32_t z1 = std::min(s.depth - 1, int32_t((c.z + c.zRadius + margin) / cz) + 1);
        for (int32_t z = z0; z <= z1; ++z) {
            const double dz = (z + 0.5) * cz - c.z;
            for (int32_t y = y0; y <= y1; ++y) {
                const double dy = (y + 0.5) * cxy - c.y;
                for (int32_t x = x0; x <= x1; ++x) {
                    const double dx = (x + 0.5) * cxy - c.x;
                    // Distance in units of the cell's radii: 1 on the membrane.
                    const double rn = std::sqrt((dx * dx + dy * dy) / (c.radius * c.radius) + dz * dz / (c.zRadius * c.zRadius));
                    if (channel == 1) {
                        if (rn < c.nucleus) {
                            const double q = rn / c.nucleus;
                            at(x, y, z) += float(c.brightness * (1.0 - 0.5 * q * q * q * q));
                        }
                    } else if (channel == 2) {
                        const double d = (rn - 1.0) * c.radius; // µm from the membrane, roughly
                        at(x, y, z) += float(0.8 * std::exp(-d * d / (2 * membraneSigma * membraneSigma)));
                    } else {
                        for (const Spot& p : c.spots) {
                            const double sx = dx - p.x, sy = dy - p.y, sz = dz - p.z;
                            const double d2 = sx * sx + sy * sy + sz * sz;
                            if (d2 < 9 * spotSigma * spotSigma)
                                at(x, y, z) += float(std::exp(-d2 / (2 * spotSigma * spotSigma)));
                        }
                    }
                }
            }
        }
    }

    const double offset = 100, gain = 3000, noise = 60;
    for (int32_t z = 0; z < s.depth; ++z)
        for (int32_t y = 0; y < s.height; ++y) {
            uint16_t* row = v.GetVoxelRow(y, z);
            for (int32_t x = 0; x < s.width; ++x) {
                const double n = (Unit(Hash(uint32_t(x), uint32_t(y), uint32_t(z), s.seed + 7919 * (channel + 3 * timepoint))) - 0.5) * noise;
                const double value = offset + gain * std::min<double>(at(x, y, z), 1.2) + n;
                row[x] = uint16_t(std::clamp(std::lround(value), 0L, 65535L));
            }
        }
}
} // namespace

std::unique_ptr<XDataVolumeSequence> XSyntheticSample::Make(const Settings& s, XProgress* inProgress)
{
    if (s.width <= 0 || s.height <= 0 || s.depth <= 0 || s.timepoints == 0 || s.width > 4096 || s.height > 4096 ||
        s.depth > 1024 || s.timepoints > 1000 || uint64_t(s.width) * s.height * s.depth * s.timepoints > (1ull << 31))
        throw XException(XException::kBadArgument,
                         "the built-in sample's size must be positive and at most 2^31 voxels per channel over all timepoints");
    if (!(s.calibrationXY > 0) || !(s.calibrationZ > 0))
        throw XException(XException::kBadArgument, "the built-in sample's voxel size must be above 0");

    auto sequence = std::make_unique<XDataVolumeSequence>(3, s.timepoints);
    sequence->SetName("Built-in sample: cells");
    sequence->SetCalibration(s.calibrationXY, s.calibrationXY, s.calibrationZ);
    const char* names[3] = {"Nuclei", "Membranes", "Spots"};
    const XARGB32Colour colours[3] = {XARGB32Colour(255, 40, 110, 255), XARGB32Colour::kGreen, XARGB32Colour(255, 255, 40, 200)};
    for (uint32_t c = 1; c <= 3; ++c) {
        sequence->SetChannelName(c, names[c - 1]);
        sequence->SetRenderer(c, XImageRenderer(colours[c - 1], 100, 2600));
    }
    const XTime start(1.7e9);
    sequence->SetStartTime(start);
    const std::vector<Cell> cells = MakeCells(s);
    if (inProgress) {
        inProgress->SetMessage("Making the built-in sample");
        inProgress->SetTotal(uint64_t(s.timepoints) * 3);
    }
    for (uint32_t t = 1; t <= s.timepoints; ++t) {
        sequence->SetTimepointTime(t, start + XTime(s.interval * (t - 1)));
        for (uint32_t c = 1; c <= 3; ++c) {
            auto volume = std::make_shared<XGrey16Volume>(s.width, s.height, s.depth);
            volume->SetCalibration(s.calibrationXY, s.calibrationXY, s.calibrationZ);
            volume->SetChannelName(0, names[c - 1]);
            PaintChannel(*volume, cells, s, c, t - 1);
            sequence->SetVolume(c, t, std::move(volume));
            if (inProgress)
                inProgress->Increment();
        }
    }
    if (inProgress)
        inProgress->Done();
    return sequence;
}
