#include "XPlanesView.h"

#include "X3DMatrix.h"
#include "X3DPlaneRenderer.h"
#include "X3DRegion.h"
#include "X3DRegionMeasurementFeedback.h"
#include "X3DRenderSystemManager.h"
#include "XARGB32Volume.h"
#include "XCommandTable.h"
#include "XDataVolumeSequence.h"
#include "XExtendedFocusTool.h"
#include "XHostSetup.h"
#include "XImageDataSource.h"
#include "XImageRenderer.h"
#include "XPNGFile.h"
#include "XProgress.h"
#include "XRenderOptions.h"
#include "XRendererPane.h"
#include "XRendererSceneState.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
X3DMatrix Vector(double inX, double inY, double inZ)
{
    X3DMatrix v(3, 1);
    v(0, 0) = inX;
    v(1, 0) = inY;
    v(2, 0) = inZ;
    return v;
}

// Turns x first, then y, then z, about the fixed axes (column vectors: Rz Ry Rx).
X3DMatrix Rotation(const double inDegrees[3])
{
    X3DMatrix result = X3DMatrix::UnitMatrix(3);
    for (int axis = 0; axis < 3; ++axis) {
        const double a = inDegrees[axis] * std::numbers::pi / 180.0;
        X3DMatrix turn = X3DMatrix::UnitMatrix(3);
        const int i = (axis + 1) % 3, j = (axis + 2) % 3;
        turn(i, i) = std::cos(a);
        turn(i, j) = -std::sin(a);
        turn(j, i) = std::sin(a);
        turn(j, j) = std::cos(a);
        result = turn * result;
    }
    return result;
}
} // namespace

std::unique_ptr<XDataVolumeSequence> XPlanesView::AddReferencePlanes(const XRenderOptions& inOptions,
    const XDataVolumeSequence& inSequence)
{
    const uint32_t stack = inSequence.GetChannelCount();
    const uint32_t timepoints = inSequence.GetTimepointCount();
    auto result = std::make_unique<XDataVolumeSequence>(stack + uint32_t(inOptions.referencePlanes.size()), timepoints);
    result->SetCalibration(inSequence.GetCalibrationX(), inSequence.GetCalibrationY(), inSequence.GetCalibrationZ());
    result->SetStartTime(inSequence.GetStartTime());
    for (uint32_t t = 1; t <= timepoints; ++t)
        result->SetTimepointTime(t, inSequence.GetTimepointTime(t));
    const auto copyLooks = [&](uint32_t inFrom, uint32_t inTo, const XString& inName) {
        result->SetChannelName(inTo, inName);
        if (const std::unique_ptr<XImageRenderer> renderer{inSequence.GetRendererCopy(inFrom)})
            result->SetRenderer(inTo, *renderer);
    };
    for (uint32_t c = 1; c <= stack; ++c) {
        copyLooks(c, c, inSequence.GetChannelName(c));
        for (uint32_t t = 1; t <= timepoints; ++t)
            result->SetVolume(c, t, inSequence.GetVolume(c, t));
    }
    uint32_t next = stack + 1;
    for (const auto& [channel, plane] : inOptions.referencePlanes) {
        copyLooks(channel, next, inSequence.GetChannelName(channel) + " (projection)");
        for (uint32_t t = 1; t <= timepoints; ++t) {
            const std::shared_ptr<const XVolume> volume = inSequence.GetVolume(channel, t);
            if (!volume)
                continue;
            std::shared_ptr<XVolume> projection;
            {
                XVolume::XReadLock lock(*volume);
                projection = XExtendedFocusTool::MakeExtendedFocusImage(*volume);
            }
            const X3DRect& bounds = volume->GetBounds();
            projection->SetOrigin(X3DPoint(bounds.GetLeft(), bounds.GetTop(), bounds.GetFront() + int32_t(plane) - 1));
            result->SetVolume(next, t, projection);
        }
        ++next;
    }
    return result;
}

std::vector<X3DRegion> XPlanesView::FindIsoRegions(const XRenderOptions& inOptions,
    const XDataVolumeSequence& inSequence)
{
    std::vector<X3DRegion> regions;
    for (const auto& [channel, threshold] : inOptions.isoThresholds) {
        const std::shared_ptr<const XVolume> volume = inSequence.GetVolume(channel, inOptions.timepoint);
        if (!volume)
            continue;
        // The channel's own colour (after --colour).
        const std::unique_ptr<XImageRenderer> looks{inSequence.GetRendererCopy(channel)};
        XVolume::XReadLock lock(*volume);
        for (X3DRegion& region : X3DRegion::FindObjects(*volume, threshold,
                 looks ? looks->GetColour() : XARGB32Colour::kWhite))
            regions.push_back(std::move(region));
    }
    return regions;
}

XRendererSceneState XPlanesView::MakeSceneState(const XRenderOptions& inOptions, uint32_t inStackChannels,
    uint32_t inChannels)
{
    XRendererSceneState state;
    const auto set = [&state](XRendererStateName inName, const X3DMatrix& inValue, uint32_t inChannel = 0) {
        state.SetStateAndEnable(inName, inValue, inChannel);
    };
    const auto scalar = [](double inValue) { return XRenderer::MakeScalarStateValue(inValue); };
    // The volume's diagonal is 1; at the default zoom the camera stands where a turned
    // volume still fits the picture.
    set(kSceneStateCamera, XRenderer::MakeCameraStateValue(Vector(0, 0, 3.5 / inOptions.zoom), Vector(0, 0, 0),
                               Vector(0, 1, 0)));
    set(kSceneStateRotation, Rotation(inOptions.rotation));
    set(kSceneStateFloor, scalar(inOptions.floor));
    set(kSceneStateOrientator, scalar(inOptions.orientation));
    set(kSceneStateVolumeScale, scalar(inOptions.scale));
    set(kSceneStateScaleText, scalar(inOptions.scale));
    set(kSceneStateTimestamp, scalar(inOptions.time));
    set(kSceneStateStereoMode, scalar(inOptions.stereo ? 1 : 0));
    set(kSceneStateBackgroundColour, XRenderer::MakeColourStateValue(inOptions.background));
    set(kSceneStatePlanes, scalar(1));
    set(kSceneStateYZPlane, scalar(inOptions.planes[0]));
    set(kSceneStateXZPlane, scalar(inOptions.planes[1]));
    set(kSceneStateXYPlane, scalar(inOptions.planes[2]));
    set(kSceneStateChannelMergeMode, scalar(inOptions.merge));
    // Reference channels follow the stack channel they were made from.
    std::vector<uint32_t> origin;
    for (uint32_t c = 1; c <= inStackChannels; ++c)
        origin.push_back(c);
    for (const auto& entry : inOptions.referencePlanes)
        origin.push_back(entry.first);
    for (uint32_t c = 1; c <= inChannels && c <= origin.size(); ++c) {
        const uint32_t from = origin[c - 1];
        const bool reference = c > inStackChannels;
        const bool shown = reference || !inOptions.shownChannels
            || std::find(inOptions.shownChannels->begin(), inOptions.shownChannels->end(), from)
                != inOptions.shownChannels->end();
        set(kSceneStateChannelVisible, scalar(shown), c);
        const auto weight = inOptions.weights.find(from);
        set(kSceneStateMergeWeight, scalar(weight != inOptions.weights.end() ? weight->second : 1.0), c);
        const auto opacity = inOptions.planeOpacities.find(from);
        set(kSceneStateReferencePlaneOpacity, scalar(opacity != inOptions.planeOpacities.end() ? opacity->second : 1.0), c);
    }
    return state;
}

int XPlanesView::Render(const XRenderOptions& inOptions, std::ostream& inOut)
{
    XHostSetup host;
    std::unique_ptr<XDataVolumeSequence> stack = XHostSetup::ReadSample(inOptions.input);
    inOptions.CheckAgainstSample(*stack);
    inOptions.ApplyChannelLooks(*stack);
    const uint32_t stackChannels = stack->GetChannelCount();
    std::shared_ptr<const XDataVolumeSequence> sequence = AddReferencePlanes(inOptions, *stack);
    const uint32_t timepoints = sequence->GetTimepointCount();
    const boost::shared_ptr<XImageDataSource> source(new XImageDataSource(sequence));
    // Outlives the renderer, which lets go of the feedback's mesh when it goes.
    X3DRegionMeasurementFeedback regions;

    // The scene renderers draw through the device, which needs the render systems.
    X3DRenderSystemManager renderSystems;
    X3DPlaneRenderer renderer(source);
    if (!inOptions.isoThresholds.empty()) {
        const std::vector<X3DRegion> found = FindIsoRegions(inOptions, *stack);
        regions.SetRegions(XVector<X3DRegion>(found.begin(), found.end()));
        renderer.AddFeedbackItem(&regions);
        // Starts the surface jobs; the export below waits for them.
        regions.UpdateRegionList();
    }
    XRendererPane pane(XRect(0, 0, inOptions.width, inOptions.height));
    pane.SetRenderer(&renderer);
    renderer.SetCurrentTimepoint(inOptions.timepoint);
    renderer.SetSceneState(MakeSceneState(inOptions, stackChannels, sequence->GetChannelCount()));

    std::unique_ptr<XVolume> image;
    {
        XProgress progress(XString("Rendering %1 x %2").Replace(int64_t(inOptions.width)).Replace(int64_t(inOptions.height)),
            1);
        image.reset(renderer.RenderToImage(XRect(0, 0, inOptions.width, inOptions.height),
            XRenderer::kRenderingIntentScreen));
        progress.Increment();
        progress.Done();
    }
    pane.SetRenderer(nullptr);
    XARGB32Volume picture(inOptions.width, inOptions.height, 1);
    image->CopyOutToARGB32Volume(picture);
    // A picture on a page shows its background, whatever alpha the frame kept.
    for (int32_t y = 0; y < picture.GetHeight(); ++y)
        for (int32_t x = 0; x < picture.GetWidth(); ++x) {
            XARGB32Colour pixel = picture.GetVoxel(x, y);
            pixel.alpha = 255;
            picture.SetVoxel(x, y, pixel);
        }
    XPNGFile::Write(XString(inOptions.output), picture);
    inOut << "Wrote " << inOptions.output << " (" << inOptions.width << " x " << inOptions.height
          << "): " << XHostSetup::DescribeSource(inOptions.input) << ", timepoint " << inOptions.timepoint << " of "
          << timepoints << ", view 3D Planes\n";
    return XCommandTable::kSuccess;
}
