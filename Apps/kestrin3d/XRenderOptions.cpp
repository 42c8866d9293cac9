#include "XRenderOptions.h"

#include "XCommandArguments.h"
#include "XDataVolumeSequence.h"

#include <cctype>

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
    "                         renderers' marks as default)\n";

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

void ParseSize(const XCommandArguments& inLine, XRenderOptions& inOutOptions)
{
    if (!inLine.Has("--size"))
        return;
    const std::string size = inLine.GetString("--size", "");
    const size_t x = size.find_first_of("xX");
    if (x == std::string::npos)
        throw XUsageError("the value of --size must be WIDTHxHEIGHT, such as 800x600, not '" + size + "'");
    const uint64_t width = XCommandArguments::ParseUInt64(size.substr(0, x), "the width in --size");
    const uint64_t height = XCommandArguments::ParseUInt64(size.substr(x + 1), "the height in --size");
    const uint64_t most = uint64_t(XRenderOptions::kMaxSide);
    if (width == 0 || height == 0 || width > most || height > most)
        throw XUsageError("the picture must be 1 to " + std::to_string(XRenderOptions::kMaxSide) + " pixels a side, not " + size);
    inOutOptions.width = int32_t(width);
    inOutOptions.height = int32_t(height);
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
} // namespace

XRenderOptions XRenderOptions::Parse(const std::vector<std::string>& inArguments)
{
    // "-o" is the one short option; it is the same as --output.
    std::vector<std::string> arguments;
    for (const std::string& argument : inArguments)
        arguments.push_back(argument == "-o" ? "--output" : argument);
    const XCommandArguments line(arguments, "render",
                                 {"--output", "--size", "--rotate", "--zoom", "--timepoint", "--channels", "--colour",
                                  "--range", "--model", "--brightness", "--opacity", "--background", "--renderer"},
                                 {"--floor", "--orientation", "--scale", "--time", "--stereo"});
    XRenderOptions options;
    ParseFiles(line, options);
    ParseSize(line, options);
    ParseView(line, options);
    ParseChannels(line, options);
    ParseShading(line, options);
    ParseExtras(line, options);
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
    if (timepoint > inSequence.GetTimepointCount())
        throw XUsageError("the data has " + std::to_string(inSequence.GetTimepointCount()) +
                          " timepoints; give --timepoint 1 to " + std::to_string(inSequence.GetTimepointCount()));
}
