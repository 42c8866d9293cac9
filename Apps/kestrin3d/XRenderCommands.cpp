#include "XRenderCommands.h"

#include "XARGB32Volume.h"
#include "XCommandArguments.h"
#include "XCommandTable.h"
#include "XDataVolumeSequence.h"
#include "XException.h"
#include "XGLContext.h"
#include "XGLMatrix.h"
#include "XHostSetup.h"
#include "XModuleManager.h"
#include "XPNGFile.h"
#include "XPlanesView.h"
#include "XProgress.h"
#include "XRenderOptions.h"
#include "XRendererCommands.h"
#include "XVolumeRendererBase.h"
#include "XVolumeRendererManager.h"
#include "WOffscreenRendererView.h"

#include <algorithm>
#include <filesystem>
#include <iomanip>
#include <sstream>
#include <tuple>
#include <unistd.h>

namespace {
std::string RendererName(XVolumeRendererManager& inRegistry, uint32_t inID)
{
    XVolumeRendererStrategy* strategy = inRegistry.FindStrategy(inID);
    return std::to_string(inID) + (strategy ? " " + strategy->GetName().GetStdString() : std::string());
}

std::string Number(double inValue)
{
    std::ostringstream text;
    text << std::setprecision(4) << inValue;
    return text.str();
}
} // namespace

void XRenderCommands::AddTo(XCommandTable& inOutTable)
{
    inOutTable.Add({"render", "", "[FILE] -o OUT.png [OPTIONS]",
                    "draw a TIFF stack or the built-in sample with a volume renderer into a PNG",
                    XRenderOptions::kHelp, &XRenderCommands::Render});
}

void XRenderCommands::CheckOutputWritable(const std::string& inPath)
{
    namespace fs = std::filesystem;
    const fs::path path(inPath);
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    std::error_code ec;
    if (fs::is_directory(path, ec))
        throw XException(XException::kFileError,
                         XString("%1 is a folder; give -o a file name such as %1/view.png").Replace(XString(inPath)));
    if (!fs::is_directory(folder, ec))
        throw XException(XException::kFileError,
                         XString("cannot write %1: the folder %2 does not exist; create it or choose another -o path")
                             .Replace(XString(inPath))
                             .Replace(XString(folder.string())));
    if (::access(folder.c_str(), W_OK) != 0)
        throw XException(XException::kFileError,
                         XString("cannot write %1: the folder %2 is not writable; choose another -o path")
                             .Replace(XString(inPath))
                             .Replace(XString(folder.string())));
}

void XRenderCommands::CheckRendererChoice(const XRenderOptions& inOptions, XVolumeRendererManager& inRegistry)
{
    if (inRegistry.GetRendererCount() == 0)
        throw XException(XException::kNoRenderer,
                         XString("no module in %1 registers a volume renderer; build the renderer modules "
                                 "(./kestrin build) or set KESTRIN_MODULE_DIR to their folder")
                             .Replace(XModuleManager::GetModuleManager().GetModuleDirectory()));
    if (inOptions.renderer && !inRegistry.FindStrategy(*inOptions.renderer))
        throw XUsageError("there is no renderer " + std::to_string(*inOptions.renderer) + "; give --renderer one of " +
                          XRendererCommands::ListRenderers(inRegistry));
}

XVolumeRendererBase& XRenderCommands::AttachRenderer(const XRenderOptions& inOptions, XVolumeRendererManager& inRegistry,
                                                     XVolumeRenderingViewProtocol& inView)
{
    if (inOptions.renderer)
        inRegistry.AttachRenderer(*inOptions.renderer, inView);
    else
        inRegistry.AttachDefaultRenderer(inView);
    XVolumeRendererBase* renderer = inView.GetVolumeRenderer();
    if (!renderer)
        throw XException(XException::kNoRenderer,
                         XString("renderer %1 made no renderer for the view; choose another with --renderer")
                             .Replace(XString(inOptions.renderer
                                                  ? RendererName(inRegistry, *inOptions.renderer)
                                                  : RendererName(inRegistry, inRegistry.GetDefaultRendererStrategy()->GetID()))));
    return *renderer;
}

void XRenderCommands::ApplyShading(const XRenderOptions& inOptions, XVolumeRendererBase& inRenderer)
{
    using XShading = XChannelShadeSpecification;
    for (uint32_t c = 1; c <= inRenderer.GetChannelCount(); ++c) {
        XShading shading;
        inRenderer.GetChannelShadeSpecification(c, shading);
        if (inOptions.shownChannels)
            shading.SetVisible(std::find(inOptions.shownChannels->begin(), inOptions.shownChannels->end(), c) !=
                            inOptions.shownChannels->end());
        if (auto colour = inOptions.colours.find(c); colour != inOptions.colours.end())
            shading.SetColour(colour->second);
        if (inOptions.model) {
            if (!inRenderer.IsModelSupported(c, *inOptions.model))
                throw XUsageError("this renderer does not draw the model '" +
                                  inRenderer.GetModelName(*inOptions.model).GetStdString() +
                                  "'; leave out --model or choose another renderer with --renderer");
            shading.SetShaderModel(*inOptions.model);
        }
        // Values are checked against the ranges the renderer gives for the model.
        XVector<XVolumeRendererBase::XShaderModelPropertyInfo> properties;
        inRenderer.GetShaderModelSupportedProperties(shading.GetShaderModel(), properties);
        for (const auto& [property, value, option] :
             {std::tuple{XShading::kBrightness, inOptions.brightness, "--brightness"},
              std::tuple{XShading::kOpacity, inOptions.opacity, "--opacity"}}) {
            if (!value)
                continue;
            const XVolumeRendererBase::XShaderModelPropertyInfo* info = nullptr;
            for (const auto& candidate : properties)
                if (candidate.property == property)
                    info = &candidate;
            const std::string model = inRenderer.GetModelName(shading.GetShaderModel()).GetStdString();
            if (!info)
                throw XUsageError(std::string("the model '") + model + "' of this renderer has no " + (option + 2) +
                                  "; leave out " + option);
            if (*value < info->minimum || *value > info->maximum)
                throw XUsageError(std::string("the value of ") + option + " must lie between " + Number(info->minimum) +
                                  " and " + Number(info->maximum) + " for the model '" + model + "' of this renderer");
            shading.SetProperty(property, *value);
        }
        inRenderer.SetChannelShadeSpecification(c, shading);
    }
}

void XRenderCommands::ApplyScene(const XRenderOptions& inOptions, XVolumeRendererBase& inRenderer)
{
    // Decorations show only when asked, whatever the renderer's own defaults.
    inRenderer.ShowFloor(inOptions.floor);
    inRenderer.ShowOrientator(inOptions.orientation);
    inRenderer.ShowScale(inOptions.scale);
    inRenderer.ShowScaleCalibration(inOptions.scale);
    inRenderer.ShowTimestamp(inOptions.time);
    inRenderer.ShowBall(false);
    inRenderer.SetBackgroundColour(inOptions.background);

    const auto redCyan = XVolumeRendererBase::XStereoMode(XGLContext::kStereoRedCyan);
    if (inOptions.stereo) {
        if (!inRenderer.IsStereoModeSupported(redCyan))
            throw XUsageError("this renderer does not draw red/cyan stereo; leave out --stereo or choose another "
                              "renderer with --renderer");
        inRenderer.SetStereoMode(redCyan);
    } else {
        inRenderer.SetStereoMode(XVolumeRendererBase::kStereoMono);
    }

    // x first, then y, then z, each about the fixed axes of the view.
    X3DMatrix world;
    inRenderer.GetVolumeWorldMatrix(world);
    XGLMatrix turned(world);
    turned.RotateInParentsX(inOptions.rotation[0]);
    turned.RotateInParentsY(inOptions.rotation[1]);
    turned.RotateInParentsZ(inOptions.rotation[2]);
    inRenderer.SetVolumeWorldMatrix(turned);
    inRenderer.SetSceneScale(float(inOptions.zoom));
}

XVolumeRendererBase& XRenderCommands::SetUpRenderer(const XRenderOptions& inOptions, XVolumeRendererManager& inRegistry,
                                                    XVolumeRenderingViewProtocol& inView, uint32_t inSampleID)
{
    XVolumeRendererBase& renderer = AttachRenderer(inOptions, inRegistry, inView);
    renderer.SetSampleID(inSampleID);
    renderer.SetActive(true);
    renderer.SetCurrentTimepoint(inOptions.timepoint);
    ApplyShading(inOptions, renderer);
    ApplyScene(inOptions, renderer);
    return renderer;
}

int XRenderCommands::Render(const std::vector<std::string>& inArguments, std::ostream& inOut)
{
    const XRenderOptions options = XRenderOptions::Parse(inArguments);
    CheckOutputWritable(options.output);
    if (options.view == XRenderOptions::XView::kPlanes)
        return XPlanesView::Render(options, inOut);

    XHostSetup host;
    XVolumeRendererManager& registry = host.LoadRenderers();
    CheckRendererChoice(options, registry);
    std::unique_ptr<XDataVolumeSequence> sequence = XHostSetup::ReadSample(options.input);
    options.CheckAgainstSample(*sequence);
    options.ApplyChannelLooks(*sequence);
    const XTime time = sequence->GetTimepointTimeFromStart(options.timepoint);
    const uint32_t timepoints = sequence->GetTimepointCount();
    const uint32_t sampleID = host.AddSample(std::move(sequence));

    WOffscreenRendererView view(options.width, options.height);
    XVolumeRendererBase& renderer = SetUpRenderer(options, registry, view, sampleID);
    renderer.SetTimestampTime(time);

    XARGB32Volume picture(options.width, options.height, 1);
    {
        XProgress progress(XString("Rendering %1 x %2").Replace(int64_t(options.width)).Replace(int64_t(options.height)),
                           1);
        renderer.Render(picture);
        progress.Increment();
        progress.Done();
    }
    // The view's clear alpha is 0; a picture on a page should show its background.
    for (int32_t y = 0; y < picture.GetHeight(); ++y)
        for (int32_t x = 0; x < picture.GetWidth(); ++x) {
            XARGB32Colour pixel = picture.GetVoxel(x, y);
            pixel.alpha = 255;
            picture.SetVoxel(x, y, pixel);
        }
    XPNGFile::Write(XString(options.output), picture);
    inOut << "Wrote " << options.output << " (" << options.width << " x " << options.height << "): "
          << XHostSetup::DescribeSource(options.input) << ", timepoint " << options.timepoint << " of " << timepoints
          << ", renderer " << RendererName(registry, renderer.GetRendererID()) << "\n";
    return XCommandTable::kSuccess;
}
