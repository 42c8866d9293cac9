#include "XSceneCommands.h"

#include "X3DCamera.h"
#include "X3DFloorNode.h"
#include "X3DGC.h"
#include "X3DGCOffscreenTarget.h"
#include "X3DGCScopedLock.h"
#include "X3DLightDisplayNode.h"
#include "X3DOrientator.h"
#include "X3DRenderSystemManager.h"
#include "X3DSceneNodeDepthStateAttachment.h"
#include "X3DTickBall.h"
#include "X3DVolumeScale.h"
#include "XCommandArguments.h"
#include "XCommandTable.h"
#include "XDataVolumeSequence.h"
#include "XBGRA32Volume.h"
#include "XException.h"
#include "XFlipVVolumeTool.h"
#include "XHostSetup.h"
#include "XPNGFile.h"
#include "XProgress.h"
#include "XRenderCommands.h"
#include "XRenderOptions.h"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <numbers>
#include <sstream>

namespace {
const char* const kHelp =
    "FILE is a multi-page, OME or ImageJ hyperstack TIFF; without it the built-in\n"
    "sample's box is drawn. The scene is the furniture of the scene-graph views: the\n"
    "stack's box with its 3D scale (10 intervals along its longest side), a floor under\n"
    "it and the orientation marker in the bottom-left corner.\n\n"
    "Options:\n"
    "  -o, --output OUT.png   the picture to write (required)\n"
    "  --size WxH             picture size in pixels (default 640x480, at most 8192 a side)\n"
    "  --rotate X,Y,Z         turn the volume X degrees about x, then Y about y, then Z\n"
    "                         (default -20,30,0)\n"
    "  --floor-colour RRGGBB  the floor's colour (default 343434)\n"
    "  --plain-floor          a floor of one colour instead of a chequerboard\n"
    "  --ball                 show the rotation ball\n"
    "  --light X,Y,Z          put the light there and show it, with its marker and ball\n";

// Where the floor lies: below the turning volume (a unit box at most) whatever its turn.
constexpr float kFloorHeight = -0.9f;
constexpr uint32_t kScaleIntervals = 10;
const XARGB32Colour kStackColour{255, 150, 200, 255};
const XARGB32Colour kScaleColour{255, 235, 235, 200};

std::string Number(double inValue, int inPrecision)
{
    std::ostringstream text;
    text << std::setprecision(inPrecision) << inValue;
    return text.str();
}

std::vector<double> ParseTriple(const XCommandArguments& inLine, const std::string& inOption, const char* inExample)
{
    const std::vector<double> values =
        XCommandArguments::ParseNumberList(inLine.GetString(inOption, ""), "the value of " + inOption);
    if (values.size() != 3)
        throw XUsageError("the value of " + inOption + " must be three numbers X,Y,Z, such as " + inExample);
    for (double value : values)
        if (!std::isfinite(value) || std::abs(value) > 1e6)
            throw XUsageError("the numbers of " + inOption + " must be finite and at most a million, such as " + inExample);
    return values;
}

// x first, then y, then z, each about the fixed axes.
XQuaternion MakeRotation(const double inDegrees[3])
{
    const double radians = std::numbers::pi / 180.0;
    const XQuaternion x = XQuaternion::MakeFromAxisAngle(XMathVectorF3(1, 0, 0), inDegrees[0] * radians);
    const XQuaternion y = XQuaternion::MakeFromAxisAngle(XMathVectorF3(0, 1, 0), inDegrees[1] * radians);
    const XQuaternion z = XQuaternion::MakeFromAxisAngle(XMathVectorF3(0, 0, 1), inDegrees[2] * radians);
    return z * y * x;
}
} // namespace

XSceneCommands::XStackNode::XStackNode(const X3DRect& inBounds) : itsBounds(inBounds) {}

void XSceneCommands::XStackNode::RenderSelf(X3DGC& inGC, const XSceneRenderState&)
{
    BatchRenderBoxes(inGC, {UpdateLocalBounds()}, {kStackColour});
}

XBoundingBox XSceneCommands::XStackNode::UpdateLocalBounds()
{
    return XBoundingBox(XMathVectorF3(float(itsBounds.left), float(itsBounds.top), float(itsBounds.front)),
        XMathVectorF3(float(itsBounds.right), float(itsBounds.bottom), float(itsBounds.back)));
}

XSceneCommands::XOptions XSceneCommands::XOptions::Parse(const std::vector<std::string>& inArguments)
{
    std::vector<std::string> arguments;
    for (const std::string& argument : inArguments)
        arguments.push_back(argument == "-o" ? "--output" : argument);
    const XCommandArguments line(arguments, "scene", {"--output", "--size", "--rotate", "--floor-colour", "--light"},
        {"--plain-floor", "--ball"});
    line.ExpectAtMostPositionals(1);
    XOptions options;
    if (line.GetPositionalCount() == 1)
        options.input = line.GetPositional(0, "FILE");
    options.output = line.GetString("--output", "");
    if (options.output.empty())
        throw XUsageError("'scene' needs the picture to write: add -o OUT.png");
    XRenderOptions::ParseSize(line, options.width, options.height);
    if (line.Has("--rotate")) {
        const std::vector<double> angles = ParseTriple(line, "--rotate", "-20,30,0");
        std::copy(angles.begin(), angles.end(), options.rotation);
    }
    if (line.Has("--floor-colour"))
        options.floorColour = XRenderOptions::ParseColour(line.GetString("--floor-colour", ""), "--floor-colour");
    options.checkedFloor = !line.Has("--plain-floor");
    options.ball = line.Has("--ball");
    if (line.Has("--light")) {
        const std::vector<double> light = ParseTriple(line, "--light", "1,1,1");
        options.light = XMathVectorF3(float(light[0]), float(light[1]), float(light[2]));
        if (!(options.light->GetLength() >= 0.1f))
            throw XUsageError("the light must be at least 0.1 from the centre of the scene, such as --light 1,1,1");
    }
    return options;
}

void XSceneCommands::AddTo(XCommandTable& inOutTable)
{
    inOutTable.Add({"scene", "", "[FILE] -o OUT.png [OPTIONS]",
        "draw a stack's box with the scene furniture (scale, floor, balls, markers) into a PNG", kHelp,
        &XSceneCommands::Scene});
}

int XSceneCommands::Scene(const std::vector<std::string>& inArguments, std::ostream& inOut)
{
    const XOptions options = XOptions::Parse(inArguments);
    XRenderCommands::CheckOutputWritable(options.output);

    XHostSetup host;
    const std::unique_ptr<XDataVolumeSequence> sequence = XHostSetup::ReadSample(options.input);
    const std::shared_ptr<const XVolume> first = sequence->GetVolume(1, 1);
    if (!first)
        throw XException(XException::kUnsupportedFile,
            XString("%1 holds no volume to draw; give a stack with at least one channel")
                .Replace(XString(XHostSetup::DescribeSource(options.input))));
    const X3DRect bounds = first->GetBounds();
    const double sizes[3] = {sequence->GetCalibrationX(), sequence->GetCalibrationY(), sequence->GetCalibrationZ()};

    // The scene as the scene-graph views build it.
    X3DSceneNode top, root, world;
    X3DFloorNode floor;
    X3DLightDisplayNode lightMarker;
    X3DTickBall lightBall, rotationBall;
    XStackNode stack(bounds);
    X3DVolumeScale scale;
    X3DOrientator orientator;

    top.AddChild(root);
    root.AddAttachment(*new X3DSceneNodeDepthStateAttachment(true));
    root.SetScale(XMathVectorF3(1, 1, -1));
    root.AddChild(floor);
    floor.SetRotation(XQuaternion::MakeFromAxisAngle(XMathVectorF3(1, 0, 0), std::numbers::pi / 2));
    floor.SetScale(XMathVectorF3(10, 10, 1));
    floor.SetPosition(XMathVectorF3(0, kFloorHeight, 0));
    floor.SetColour(options.floorColour);
    root.AddChild(lightMarker);
    root.AddChild(lightBall);
    root.AddChild(world);
    world.AddChild(rotationBall);
    world.SetRotation(MakeRotation(options.rotation));
    world.AddChild(stack);
    stack.AddChild(scale);
    lightMarker.SetVisible(bool(options.light));
    lightBall.SetVisible(bool(options.light));
    rotationBall.SetVisible(options.ball);
    if (options.light)
        lightMarker.SetPosition(*options.light);

    // The volume in a unit box about the origin, its voxels their physical shape.
    const double lengths[3] = {bounds.GetWidth() * sizes[0], bounds.GetHeight() * sizes[1], bounds.GetDepth() * sizes[2]};
    const double longest = std::max({lengths[0], lengths[1], lengths[2]});
    if (!(longest > 0.0) || !std::isfinite(longest))
        throw XException(XException::kUnsupportedFile,
            XString("%1 has no usable voxel size; its calibration must be positive")
                .Replace(XString(XHostSetup::DescribeSource(options.input))));
    const XMathVectorF3 voxel(float(sizes[0] / longest), float(sizes[1] / longest), float(sizes[2] / longest));
    stack.SetScale(voxel);
    const XMathVectorF3 centre((bounds.left + bounds.right) / 2.0f, (bounds.top + bounds.bottom) / 2.0f,
        (bounds.front + bounds.back) / 2.0f);
    stack.SetPosition(-centre.Multiply(voxel));
    XMathVectorF3 spacing;
    scale.CalibrateForDimension(kScaleIntervals, sizes[0], sizes[1], sizes[2], bounds, spacing);
    scale.SetColour(kScaleColour);

    X3DRenderSystemManager manager;
    X3DGC gc;
    gc.Initialise();
    X3DGCScopedLock lock(gc);
    floor.SetChecked(gc, options.checkedFloor);
    X3DGCOffscreenTarget target(gc, uint32_t(options.width), uint32_t(options.height));

    X3DCamera camera;
    camera.LookAt(XMathVectorF3(0, 1.0f, 3.2f), XMathVectorF3(0, -0.2f, 0), XMathVectorF3(0, 1, 0));
    camera.SetViewport(X3DViewport(XRect(0, 0, options.width, options.height)));
    XSceneRenderState state(camera);
    if (options.light)
        state.SetLightPosition(XMathVectorF3((*options.light)[0], (*options.light)[1], -(*options.light)[2]));

    std::unique_ptr<XVolume> picture;
    try {
        XProgress progress(XString("Drawing %1 x %2").Replace(int64_t(options.width)).Replace(int64_t(options.height)), 1);
        gc.AttachRenderTarget(&target);
        gc.BeginRender();
        gc.SetCullMode(X3DGC::kCullNone);
        gc.Clear(X3DGC::kClearColour | X3DGC::kClearDepth | X3DGC::kClearStencil, XARGB32Colour::kBlack, 1.0f, 0);
        gc.SetViewport(camera.GetViewport());
        gc.SetProjection(camera.GetProjectionMatrix());
        gc.SetView(camera.GetViewMatrix());
        top.LoadGraphicsResources(gc);
        top.UpdateGeometry(XMatrix_4x4<float>(), state);
        for (uint32_t pass = 0; pass < top.GetSceneRenderPassCount(); ++pass) {
            state.SetRenderPass(pass);
            top.Render(gc, state);
        }
        orientator.Render(gc, camera, world.GetRotation());
        gc.EndRender();
        picture = target.MakeVolume();
        progress.Increment();
        progress.Done();
    } catch (...) {
        gc.AttachRenderTarget(nullptr);
        top.UnloadGraphicsResources(gc);
        orientator.UnloadGraphicsResources(gc);
        target.Destroy(gc);
        throw;
    }
    gc.AttachRenderTarget(nullptr);
    top.UnloadGraphicsResources(gc);
    orientator.UnloadGraphicsResources(gc);
    target.Destroy(gc);

    // Rows come back from the bottom up; blended lines leave the frame's alpha below 1,
    // and a picture on a page should show its background.
    XFlipVVolumeTool::Flip(*picture);
    auto* pixels = dynamic_cast<XBGRA32Volume*>(picture.get());
    if (!pixels)
        throw XException(XException::kBadArgument, XString("the device read back a picture that is not BGRA"));
    for (int32_t y = 0; y < pixels->GetHeight(); ++y)
        for (int32_t x = 0; x < pixels->GetWidth(); ++x)
            pixels->GetVoxelPtr(x, y, 0)[3] = 255;
    XPNGFile::Write(XString(options.output), *picture);
    const XMathVectorU3 counts = scale.GetGrid().GetTickCounts();
    inOut << "Wrote " << options.output << " (" << options.width << " x " << options.height
          << "): " << XHostSetup::DescribeSource(options.input) << ", " << bounds.GetWidth() << " x " << bounds.GetHeight()
          << " x " << bounds.GetDepth() << " voxels\n"
          << "Scale: one interval is " << Number(spacing[0], 4) << " \u00b5m, a grid of " << counts[0] << " x "
          << counts[1] << " x " << counts[2] << " intervals\n";
    return XCommandTable::kSuccess;
}
