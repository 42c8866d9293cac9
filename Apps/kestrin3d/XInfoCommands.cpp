#include "XInfoCommands.h"

#include "XCommandArguments.h"
#include "XCommandTable.h"
#include "XDataVolumeSequence.h"
#include "XHostSetup.h"
#include "XVolumeLevelScalingHelper.h"
#include "WGLPBufferTargetImp.h"
#include "X3DGC.h"
#include "X3DGCOffscreenTarget.h"
#include "X3DGCScopedLock.h"
#include "X3DRenderSystemManager.h"
#include "XGLFrameBufferObjectTargetImp.h"
#include "XOpenGLShaderRuntime.h"
#include "cg.h"

#include <iomanip>
#include <sstream>

namespace {
std::string Number(double inValue)
{
    std::ostringstream text;
    text << std::setprecision(6) << inValue;
    return text.str();
}

// The smallest and largest value of the channel over all its timepoints.
bool GetChannelRange(const XDataVolumeSequence& inSequence, uint32_t inChannel, double& outMinimum, double& outMaximum)
{
    bool found = false;
    for (uint32_t t = 1; t <= inSequence.GetTimepointCount(); ++t) {
        const std::shared_ptr<const XVolume> volume = inSequence.GetVolume(inChannel, t);
        double minimum = 0, maximum = 0;
        if (!volume)
            continue;
        XVolume::XReadLock lock(*volume);
        if (!XVolumeLevelScalingHelper::GetDataRange(*volume, minimum, maximum))
            continue;
        outMinimum = found ? std::min(outMinimum, minimum) : minimum;
        outMaximum = found ? std::max(outMaximum, maximum) : maximum;
        found = true;
    }
    return found;
}
} // namespace

void XInfoCommands::AddTo(XCommandTable& inOutTable)
{
    inOutTable.Add({"info", "", "[FILE] | --gl",
                    "describe a TIFF stack: size, voxel size, channels, timepoints, value ranges",
                    "FILE is a multi-page, OME or ImageJ hyperstack TIFF; without it the built-in\n"
                    "sample is described.\n\n"
                    "Options:\n"
                    "  --gl   describe the OpenGL device instead: renderer, version, limits,\n"
                    "         multisampling, how offscreen pictures are made, shader runtime\n",
                    &XInfoCommands::Info});
}

void XInfoCommands::PrintInfo(const std::string& inSource, const XDataVolumeSequence& inSequence, std::ostream& inOut,
                              const std::vector<bool>& inAutoRanges)
{
    const std::shared_ptr<const XVolume> first = inSequence.GetVolume(1, 1);
    inOut << inSource << "\n";
    if (first)
        inOut << "  Dimensions: " << first->GetWidth() << " x " << first->GetHeight() << " x " << first->GetDepth()
              << " voxels, " << GetVoxelTypeName(first->GetVoxelType()) << "\n";
    inOut << "  Voxel size: " << Number(inSequence.GetCalibrationX()) << " x " << Number(inSequence.GetCalibrationY())
          << " x " << Number(inSequence.GetCalibrationZ()) << " \u00b5m\n";
    inOut << "  Channels: " << inSequence.GetChannelCount() << "\n";
    inOut << "  Timepoints: " << inSequence.GetTimepointCount();
    if (inSequence.GetTimepointCount() > 1)
        inOut << ", the last at " << inSequence.GetTimepointTimeFromStart(inSequence.GetTimepointCount()).GetDurationString();
    inOut << "\n";
    for (uint32_t c = 1; c <= inSequence.GetChannelCount(); ++c) {
        inOut << "  Channel " << c << " \"" << inSequence.GetChannelName(c) << "\": ";
        double minimum = 0, maximum = 0;
        if (GetChannelRange(inSequence, c, minimum, maximum))
            inOut << "values " << Number(minimum) << " to " << Number(maximum);
        else
            inOut << "no values";
        const std::unique_ptr<XImageRenderer> renderer(inSequence.GetRendererCopy(c));
        if (renderer) {
            const XARGB32Colour colour = renderer->GetColour();
            inOut << ", colour " << std::hex << std::uppercase << std::setfill('0') << std::setw(2) << int(colour.red)
                  << std::setw(2) << int(colour.green) << std::setw(2) << int(colour.blue) << std::dec
                  << std::nouppercase << std::setfill(' ') << ", display range " << Number(renderer->GetBlackLevel())
                  << " to " << Number(renderer->GetWhiteLevel());
            if (c <= inAutoRanges.size() && inAutoRanges[c - 1])
                inOut << " (auto, from the histogram)";
        }
        inOut << "\n";
    }
}

void XInfoCommands::PrintDeviceInfo(std::ostream& inOut)
{
    // No other command of kestrin3d makes a device, so this is the process's one manager;
    // the module registers the OpenGL render system with it.
    X3DRenderSystemManager manager;
    X3DGC gc;
    gc.Initialise();
    X3DGCScopedLock lock(gc);
    auto text = [](GLenum inName) {
        const GLubyte* s = glGetString(inName);
        return std::string(s ? reinterpret_cast<const char*>(s) : "(not given by the driver)");
    };
    const X3DGC::XDeviceInfo& info = gc.GetDeviceInfo();
    inOut << "OpenGL device\n";
    inOut << "  Renderer: " << text(GL_RENDERER) << "\n";
    inOut << "  Vendor: " << text(GL_VENDOR) << "\n";
    inOut << "  Version: " << text(GL_VERSION) << "\n";
    inOut << "  Texture units: " << info.textureUnitCount << "\n";
    inOut << "  Max texture size: " << info.maxTextureSize << "\n";
    inOut << "  Max viewport: " << info.maxViewportBounds.GetWidth() << " x " << info.maxViewportBounds.GetHeight() << "\n";
    inOut << "  Max renderbuffer size: " << info.maxRenderBufferBounds.GetWidth() << "\n";

    // Which target the render system makes, asked of a real one.
    X3DGCOffscreenTarget target(gc, 1, 1);
    const auto* framebuffer = dynamic_cast<const XOpenGLGC::XGLFrameBufferObjectTargetImp*>(&target.GetImp());
    if (framebuffer == nullptr) {
        inOut << "  Offscreen targets: "
              << (dynamic_cast<const WGLPBufferTargetImp*>(&target.GetImp()) ? "pbuffers" : "other") << "\n";
        inOut << "  Multisampling: off\n";
    } else {
        inOut << "  Offscreen targets: framebuffer objects\n";
        if (framebuffer->IsMultisampled()) {
            GLint most = 0;
            glGetIntegerv(GL_MAX_SAMPLES_EXT, &most);
            inOut << "  Multisampling: " << XOpenGLGC::XGLFrameBufferObjectTargetImp::kSamples
                  << " samples per pixel (the driver allows " << most << ")\n";
        } else {
            inOut << "  Multisampling: off\n";
        }
    }
    target.Destroy(gc);
    const char* version = XOpenGLShaderRuntime::Get() ? cgGetString(CG_VERSION) : nullptr;
    inOut << "  Shader runtime: " << (version ? version : "not available (drawing with fixed function)") << "\n";
}

int XInfoCommands::Info(const std::vector<std::string>& inArguments, std::ostream& inOut)
{
    XCommandArguments arguments(inArguments, "info", {}, {"--gl"});
    if (arguments.Has("--gl")) {
        if (arguments.GetPositionalCount() > 0)
            throw XUsageError("'info --gl' describes the OpenGL device and takes no FILE; run 'kestrin3d info FILE' "
                              "to describe a stack");
        PrintDeviceInfo(inOut);
        return XCommandTable::kSuccess;
    }
    arguments.ExpectAtMostPositionals(1);
    const std::string path = arguments.GetPositionalCount() > 0 ? arguments.GetPositional(0, "FILE") : "";
    XHostSetup host;
    std::vector<bool> autoRanges;
    const std::unique_ptr<XDataVolumeSequence> sequence = XHostSetup::ReadSample(path, &autoRanges);
    PrintInfo(XHostSetup::DescribeSource(path), *sequence, inOut, autoRanges);
    return XCommandTable::kSuccess;
}
