#pragma once
// What 'kestrin3d render' was asked to draw, read from its command line. Values
// are checked here as far as the line alone allows (a bad number, colour or size
// is an XUsageError); CheckAgainstSample checks what depends on the data.
#include "XARGB32Colour.h"
#include "XChannelShadeSpecification.h"
#include "XCommandArguments.h"

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

class XDataVolumeSequence;

class XRenderOptions {
public:
    static constexpr int32_t kDefaultWidth = 640;
    static constexpr int32_t kDefaultHeight = 480;
    // The 3D view frames a whole turning scene; a picture of the volume wants it closer.
    static constexpr double kDefaultZoom = 2.5;
    static constexpr int32_t kMaxSide = 8192;
    // The option list of 'kestrin3d render --help'.
    static const char* const kHelp;

    // Throws XUsageError for anything that cannot be rendered.
    // inCommand names the command in messages.
    static XRenderOptions Parse(const std::vector<std::string>& inArguments, const std::string& inCommand = "render");
    // The options that take a value (the rest are flags).
    static const std::set<std::string>& GetValueOptions();
    // Channels and the timepoint must exist in the data (else XUsageError).
    void CheckAgainstSample(const XDataVolumeSequence& inSequence) const;

    std::string input;  // empty: the built-in sample
    std::string output;
    int32_t width = kDefaultWidth;
    int32_t height = kDefaultHeight;
    double rotation[3] = {0, 0, 0}; // degrees about x, y and z
    double zoom = kDefaultZoom;
    uint32_t timepoint = 1;
    std::optional<std::vector<uint32_t>> shownChannels; // unset: all
    std::map<uint32_t, XARGB32Colour> colours;
    std::map<uint32_t, std::pair<double, double>> ranges;
    std::optional<XChannelShadeSpecification::XChannelShaderModel> model;
    std::optional<float> brightness;
    std::optional<float> opacity;
    XARGB32Colour background = XARGB32Colour::kBlack;
    bool floor = false;
    bool orientation = false;
    bool scale = false;
    bool time = false;
    bool stereo = false;
    std::optional<uint32_t> renderer; // unset: the default

    // What is drawn: the volume with a volume renderer, or three orthogonal planes.
    enum class XView { kVolume, kPlanes };
    XView view = XView::kVolume;
    // Plane positions as fractions of width, height and depth (YZ, XZ, XY planes).
    double planes[3] = {0.5, 0.5, 0.5};
    int32_t merge = 0; // 0 maximum, 1 average, 2 combine
    std::map<uint32_t, double> weights;
    std::map<uint32_t, double> planeOpacities;
    // Channel -> plane (counted from 1) its maximum projection is shown at.
    std::map<uint32_t, uint32_t> referencePlanes;
    // Channel -> threshold: its 6-connected objects above it are drawn as surfaces.
    std::map<uint32_t, double> isoThresholds;

    // Sets the colours and display ranges asked for on the channels' image renderers.
    void ApplyChannelLooks(XDataVolumeSequence& inOutSequence) const;

    static XARGB32Colour ParseColour(const std::string& inText, const std::string& inWhat);
    // --size WIDTHxHEIGHT, when given, into outWidth and outHeight (1 to kMaxSide each).
    static void ParseSize(const XCommandArguments& inLine, int32_t& outWidth, int32_t& outHeight);
};
