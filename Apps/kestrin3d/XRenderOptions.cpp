#include "XRenderOptions.h"

#include "XCommandArguments.h"
#include "XDataVolumeSequence.h"
#include "XImageRenderer.h"
#include "XVolume.h"

#include <memory>

#include <cctype>
#include <cmath>

const char* const XRenderOptions::kHelp =
    "Without FILE the built-in sample (three channels, five timepoints) is drawn. Channels\n"
    "and timepoints count from 1.\n\n"
    "Options:\n"
    "  -o, --output OUT.png   the picture to write (required); replaced if it exists\n"
    "  --size WxH             picture size in pixels (default 640x480, at most 8192 a side)\n"
    "  --rotate X,Y,Z         turn the volume X degrees about x, then Y about y, then Z\n"
    "                         about z (default 0,0,0)\n"
    "  --zoom F               scale the scene by F, above 0; 1 is the 3D view's own framing,\n"
    "                         the default 2.5 lets the volume fill most of the picture\n"
    "  --timepoint N          the timepoint drawn (default 1)\n"
    "  --channels LIST        the channels shown, such as 1,3 (default: all)\n"
    "  --colour C=RRGGBB      channel C's colour in hexadecimal, such as 2=FF00FF (default:\n"
    "                         the file's colour); may be repeated\n"
    "  --range C=LOW,HIGH     channel C's display range: LOW shows black, HIGH full colour\n"
    "                         (default: the file's, else from the histogram); may be repeated\n"
    "  --model MODEL          maximum (maximum intensity projection) or fluorescence\n"
    "                         (default: the renderer's default model)\n"
    "  --brightness B         brightness of every channel (default: the renderer's;\n"
    "                         the renderer sets the allowed range, 0 to 10 for Slice Stack)\n"
    "  --opacity A            opacity of every channel (default: the renderer's; 0 to 1\n"
    "                         for Slice Stack)\n"
    "  --background RRGGBB    background colour (default 000000, black)\n"
    "  --floor                draw the floor under the volume (default: off)\n"
    "  --orientation          draw the orientation marker (default: off)\n"
    "  --scale                draw the scale bar with its caption (default: off)\n"
    "  --time                 draw the time stamp of the timepoint (default: off)\n"
    "  --stereo               red/cyan anaglyph stereo (default: off)\n"
    "  --renderer ID          the volume renderer to use (default: the one 'kestrin3d\n"
    "                         renderers' marks as default)\n"
    "  --view VIEW            volume (default) or planes: three orthogonal slices\n\n"
    "Options of --view planes (--model, --renderer, --brightness and --opacity are\n"
    "volume options):\n"
    "  --planes X,Y,Z         where the YZ, XZ and XY planes lie, as fractions 0 to 1 of\n"
    "                         the width, height and depth (default 0.5,0.5,0.5)\n"
    "  --merge MODE           how channels meet: maximum (default), average or combine\n"
    "  --weight C=W           channel C's weight in the merge, 0 or more (default 1)\n"
    "  --plane-opacity C=A    opacity 0 to 1 of channel C's reference plane (default 1)\n"
    "  --reference-plane C@Z  show channel C's maximum projection as a reference plane\n"
    "                         at plane Z (counted from 1); may be repeated\n"
    "  --iso C=T              draw the face-connected objects of channel C's voxels above\n"
    "                         T (in the channel's values) as surfaces; may be repeated\n";

namespace {
uint32_t ParseChannel(const std::string& inText, const std::string& inWhat)
{
    const uint64_t channel = XCommandArguments::ParseUInt64(inText, inWhat);
    if (channel == 0 || channel > XDataVolumeSequence::kMaxChannels)
        throw XUsageError(inWhat + " must be a channel number, counted from 1, not '" + inText + "'");
    return uint32_t(channel);
}

// "C=VALUE" of a per-channel option.
std::pair<uint32_t, std::string> SplitChannelAssignment(const std::string& inText, const std::string& inOption,
                                                        const std::string& inExample)
{
    const size_t equals = inText.find('=');
    if (equals == std::string::npos)
        throw XUsageError(inOption + " needs CHANNEL=VALUE, such as " + inOption + " " + inExample + ", not '" +
                          inText + "'");
    return {ParseChannel(inText.substr(0, equals), "the channel of " + inOption), inText.substr(equals + 1)};
}

float ParseProperty(const XCommandArguments& inArguments, const std::string& inOption)
{
    const double value = inArguments.GetDouble(inOption, 0);
    if (value < 0)
        throw XUsageError("the value of " + inOption + " must be 0 or more");
    return float(value);
}
} // namespace

XARGB32Colour XRenderOptions::ParseColour(const std::string& inText, const std::string& inWhat)
{
    std::string hex = !inText.empty() && inText[0] == '#' ? inText.substr(1) : inText;
    bool valid = hex.size() == 6;
    for (char c : hex)
        valid = valid && std::isxdigit(static_cast<unsigned char>(c));
    if (!valid)
        throw XUsageError(inWhat + " must be a colour as six hexadecimal digits RRGGBB, such as FF8000, not '" +
                          inText + "'");
    const unsigned long packed = std::stoul(hex, nullptr, 16);
    return XARGB32Colour(255, uint8_t(packed >> 16), uint8_t(packed >> 8), uint8_t(packed));
}

void XRenderOptions::ParseSize(const XCommandArguments& inLine, int32_t& outWidth, int32_t& outHeight)
{
    if (!inLine.Has("--size"))
        return;
    const std::string size = inLine.GetString("--size", "");
    const size_t x = size.find_first_of("xX");
    if (x == std::string::npos)
        throw XUsageError("the value of --size must be WIDTHxHEIGHT, such as 800x600, not '" + size + "'");
    const uint64_t width = XCommandArguments::ParseUInt64(size.substr(0, x), "the width in --size");
    const uint64_t height = XCommandArguments::ParseUInt64(size.substr(x + 1), "the height in --size");
    const uint64_t most = uint64_t(kMaxSide);
    if (width == 0 || height == 0 || width > most || height > most)
        throw XUsageError("the picture must be 1 to " + std::to_string(kMaxSide) + " pixels a side, not " + size);
    outWidth = int32_t(width);
    outHeight = int32_t(height);
}

namespace {
// Each step reads the options of one kind from the line into the options.

void ParseFiles(const XCommandArguments& inLine, XRenderOptions& inOutOptions)
{
    inLine.ExpectAtMostPositionals(1);
    if (inLine.GetPositionalCount() == 1)
        inOutOptions.input = inLine.GetPositional(0, "FILE");
    if (!inLine.Has("--output"))
        throw XUsageError("'render' needs the picture to write: add -o OUT.png");
    inOutOptions.output = inLine.GetString("--output", "");
    if (inOutOptions.output.empty())
        throw XUsageError("-o needs a file name, such as -o view.png");
}

void ParseView(const XCommandArguments& inLine, XRenderOptions& inOutOptions)
{
    if (inLine.Has("--rotate")) {
        const std::vector<double> angles =
            XCommandArguments::ParseNumberList(inLine.GetString("--rotate", ""), "the value of --rotate");
        if (angles.size() != 3)
            throw XUsageError("the value of --rotate must be three angles X,Y,Z in degrees, such as 30,-20,0");
        for (size_t i = 0; i < 3; ++i)
            inOutOptions.rotation[i] = angles[i];
    }
    inOutOptions.zoom = inLine.GetDouble("--zoom", XRenderOptions::kDefaultZoom);
    if (!(inOutOptions.zoom > 0.0) || inOutOptions.zoom > 1000.0)
        throw XUsageError("the value of --zoom must be above 0 and at most 1000, such as 1.5");
    const uint64_t timepoint = inLine.GetUInt64("--timepoint", 1);
    if (timepoint == 0 || timepoint > XDataVolumeSequence::kMaxTimepoints)
        throw XUsageError("timepoints count from 1; give --timepoint 1 or more");
    inOutOptions.timepoint = uint32_t(timepoint);
}

void ParseChannels(const XCommandArguments& inLine, XRenderOptions& inOutOptions)
{
    if (inLine.Has("--channels")) {
        std::vector<uint32_t> channels;
        for (const XString& part : XString(inLine.GetString("--channels", "")).Split(','))
            channels.push_back(ParseChannel(part.Stripped().GetStdString(), "each channel in --channels"));
        inOutOptions.shownChannels = channels;
    }
    for (const std::string& assignment : inLine.GetAll("--colour")) {
        const auto [channel, value] = SplitChannelAssignment(assignment, "--colour", "2=FF00FF");
        inOutOptions.colours[channel] = XRenderOptions::ParseColour(value, "the colour in --colour " + assignment);
    }
    for (const std::string& assignment : inLine.GetAll("--range")) {
        const auto [channel, value] = SplitChannelAssignment(assignment, "--range", "1=100,3000");
        const std::vector<double> levels = XCommandArguments::ParseNumberList(value, "the levels in --range");
        if (levels.size() != 2 || levels[0] == levels[1])
            throw XUsageError("--range needs two different levels LOW,HIGH, such as --range 1=100,3000, not '" + assignment + "'");
        inOutOptions.ranges[channel] = {levels[0], levels[1]};
    }
}

void ParseShading(const XCommandArguments& inLine, XRenderOptions& inOutOptions)
{
    if (inLine.Has("--model")) {
        const std::string model = inLine.GetString("--model", "");
        if (model == "maximum")
            inOutOptions.model = XChannelShadeSpecification::kMaximumIP;
        else if (model == "fluorescence")
            inOutOptions.model = XChannelShadeSpecification::kFluorescence;
        else
            throw XUsageError("--model must be maximum or fluorescence, not '" + model + "'");
    }
    if (inLine.Has("--brightness"))
        inOutOptions.brightness = ParseProperty(inLine, "--brightness");
    if (inLine.Has("--opacity"))
        inOutOptions.opacity = ParseProperty(inLine, "--opacity");
    if (inLine.Has("--background"))
        inOutOptions.background = XRenderOptions::ParseColour(inLine.GetString("--background", ""), "the value of --background");
}

void ParseExtras(const XCommandArguments& inLine, XRenderOptions& inOutOptions)
{
    inOutOptions.floor = inLine.Has("--floor");
    inOutOptions.orientation = inLine.Has("--orientation");
    inOutOptions.scale = inLine.Has("--scale");
    inOutOptions.time = inLine.Has("--time");
    inOutOptions.stereo = inLine.Has("--stereo");
    if (inLine.Has("--renderer")) {
        const uint64_t id = inLine.GetUInt64("--renderer", 0);
        if (id > 0xFFFFFFFFu)
            throw XUsageError("--renderer takes a renderer ID from 'kestrin3d renderers'");
        inOutOptions.renderer = uint32_t(id);
    }
}
void ParsePlanes(const XCommandArguments& inLine, XRenderOptions& inOutOptions)
{
    const std::string view = inLine.GetString("--view", "volume");
    if (view != "volume" && view != "planes")
        throw XUsageError("--view must be volume or planes, not '" + view + "'");
    const bool planes = view == "planes";
    inOutOptions.view = planes ? XRenderOptions::XView::kPlanes : XRenderOptions::XView::kVolume;
    for (const char* option : {"--planes", "--merge", "--weight", "--plane-opacity", "--reference-plane", "--iso"})
        if (!planes && inLine.Has(option))
            throw XUsageError(std::string(option) + " belongs to the planes view; add --view planes or leave it out");
    for (const char* option : {"--model", "--renderer", "--brightness", "--opacity"})
        if (planes && inLine.Has(option))
            throw XUsageError(std::string(option) + " belongs to the volume view; leave it out with --view planes");
    if (!planes)
        return;
    if (inLine.Has("--planes")) {
        const std::vector<double> fractions =
            XCommandArguments::ParseNumberList(inLine.GetString("--planes", ""), "the value of --planes");
        bool valid = fractions.size() == 3;
        for (double fraction : fractions)
            valid = valid && fraction >= 0.0 && fraction <= 1.0;
        if (!valid)
            throw XUsageError("--planes needs three fractions X,Y,Z from 0 to 1, such as 0.5,0.25,1");
        for (size_t i = 0; i < 3; ++i)
            inOutOptions.planes[i] = fractions[i];
    }
    const std::string merge = inLine.GetString("--merge", "maximum");
    if (merge == "maximum" || merge == "average" || merge == "combine")
        inOutOptions.merge = merge == "maximum" ? 0 : merge == "average" ? 1 : 2;
    else
        throw XUsageError("--merge must be maximum, average or combine, not '" + merge + "'");
    for (const std::string& assignment : inLine.GetAll("--weight")) {
        const auto [channel, value] = SplitChannelAssignment(assignment, "--weight", "2=0.5");
        const std::vector<double> weight = XCommandArguments::ParseNumberList(value, "the weight in --weight");
        if (weight.size() != 1 || !(weight[0] >= 0.0) || weight[0] > 1e6)
            throw XUsageError("--weight needs a weight of 0 or more, such as --weight 2=0.5, not '" + assignment + "'");
        inOutOptions.weights[channel] = weight[0];
    }
    for (const std::string& assignment : inLine.GetAll("--plane-opacity")) {
        const auto [channel, value] = SplitChannelAssignment(assignment, "--plane-opacity", "2=0.5");
        const std::vector<double> opacity = XCommandArguments::ParseNumberList(value, "the opacity in --plane-opacity");
        if (opacity.size() != 1 || !(opacity[0] >= 0.0 && opacity[0] <= 1.0))
            throw XUsageError("--plane-opacity needs an opacity from 0 to 1, such as --plane-opacity 2=0.5, not '" +
                              assignment + "'");
        inOutOptions.planeOpacities[channel] = opacity[0];
    }
    for (const std::string& request : inLine.GetAll("--reference-plane")) {
        const size_t at = request.find('@');
        if (at == std::string::npos)
            throw XUsageError("--reference-plane needs CHANNEL@PLANE, such as --reference-plane 1@3, not '" + request + "'");
        const uint32_t channel = ParseChannel(request.substr(0, at), "the channel of --reference-plane");
        const uint64_t plane = XCommandArguments::ParseUInt64(request.substr(at + 1), "the plane of --reference-plane");
        if (plane == 0 || plane > 0xFFFFFFFFu)
            throw XUsageError("planes count from 1; give --reference-plane " + request.substr(0, at) + "@1 or more");
        inOutOptions.referencePlanes[channel] = uint32_t(plane);
    }
    for (const std::string& assignment : inLine.GetAll("--iso")) {
        const auto [channel, value] = SplitChannelAssignment(assignment, "--iso", "1=100");
        const std::vector<double> threshold = XCommandArguments::ParseNumberList(value, "the threshold in --iso");
        if (threshold.size() != 1 || !std::isfinite(threshold[0]))
            throw XUsageError("--iso needs one threshold in the channel's values, such as --iso 1=100, not '" +
                              assignment + "'");
        inOutOptions.isoThresholds[channel] = threshold[0];
    }
}
} // namespace

const std::set<std::string>& XRenderOptions::GetValueOptions()
{
    static const std::set<std::string> options{"--output", "--size", "--rotate", "--zoom", "--timepoint", "--channels",
        "--colour", "--range", "--model", "--brightness", "--opacity", "--background", "--renderer", "--view", "--planes",
        "--merge", "--weight", "--plane-opacity", "--reference-plane", "--iso"};
    return options;
}

XRenderOptions XRenderOptions::Parse(const std::vector<std::string>& inArguments, const std::string& inCommand)
{
    // "-o" is the one short option; it is the same as --output.
    std::vector<std::string> arguments;
    for (const std::string& argument : inArguments)
        arguments.push_back(argument == "-o" ? "--output" : argument);
    const XCommandArguments line(arguments, inCommand, GetValueOptions(),
                                 {"--floor", "--orientation", "--scale", "--time", "--stereo"});
    XRenderOptions options;
    ParseFiles(line, options);
    ParseSize(line, options.width, options.height);
    ParseView(line, options);
    ParseChannels(line, options);
    ParseShading(line, options);
    ParseExtras(line, options);
    ParsePlanes(line, options);
    return options;
}

void XRenderOptions::CheckAgainstSample(const XDataVolumeSequence& inSequence) const
{
    const uint32_t channels = inSequence.GetChannelCount();
    const std::string have = "the data has " + std::to_string(channels) + (channels == 1 ? " channel" : " channels");
    auto check = [&](uint32_t inChannel, const std::string& inOption) {
        if (inChannel > channels)
            throw XUsageError(have + "; " + inOption + " names channel " + std::to_string(inChannel) +
                              ": give channels 1 to " + std::to_string(channels));
    };
    if (shownChannels)
        for (uint32_t channel : *shownChannels)
            check(channel, "--channels");
    for (const auto& entry : colours)
        check(entry.first, "--colour");
    for (const auto& entry : ranges)
        check(entry.first, "--range");
    for (const auto& entry : weights)
        check(entry.first, "--weight");
    for (const auto& entry : planeOpacities)
        check(entry.first, "--plane-opacity");
    for (const auto& entry : referencePlanes)
        check(entry.first, "--reference-plane");
    for (const auto& entry : isoThresholds)
        check(entry.first, "--iso");
    if (view == XView::kPlanes) {
        X3DRect bounds;
        for (uint32_t c = 1; c <= channels && bounds.IsEmpty(); ++c)
            for (uint32_t t = 1; t <= inSequence.GetTimepointCount() && bounds.IsEmpty(); ++t)
                if (const auto volume = inSequence.GetVolume(c, t))
                    bounds = volume->GetBounds();
        if (bounds.GetWidth() < 2 || bounds.GetHeight() < 2 || bounds.GetDepth() < 2)
            throw XUsageError("the data is " + std::to_string(bounds.GetWidth()) + " x " +
                              std::to_string(bounds.GetHeight()) + " x " + std::to_string(bounds.GetDepth()) +
                              " voxels; the planes view needs at least 2 along each axis: use --view volume");
        for (const auto& [channel, plane] : referencePlanes)
            if (plane > uint32_t(bounds.GetDepth()))
                throw XUsageError("the data is " + std::to_string(bounds.GetDepth()) + " planes deep; give --reference-plane " +
                                  std::to_string(channel) + "@1 to " + std::to_string(bounds.GetDepth()));
    }
    if (timepoint > inSequence.GetTimepointCount())
        throw XUsageError("the data has " + std::to_string(inSequence.GetTimepointCount()) +
                          " timepoints; give --timepoint 1 to " + std::to_string(inSequence.GetTimepointCount()));
}

void XRenderOptions::ApplyChannelLooks(XDataVolumeSequence& inOutSequence) const
{
    // Colour and display range belong to the channel's image renderer, which the
    // renderers copy when they take the data.
    for (uint32_t c = 1; c <= inOutSequence.GetChannelCount(); ++c) {
        const auto colour = colours.find(c);
        const auto range = ranges.find(c);
        if (colour == colours.end() && range == ranges.end())
            continue;
        std::unique_ptr<XImageRenderer> channel(inOutSequence.GetRendererCopy(c));
        if (!channel)
            channel = std::make_unique<XImageRenderer>();
        if (colour != colours.end())
            channel->SetColour(colour->second);
        if (range != ranges.end())
            channel->SetDisplayRange(range->second.first, range->second.second);
        inOutSequence.SetRenderer(c, *channel);
    }
}
