#include "XViewCommand.h"

#include "WCanvasWnd.h"
#include "X3DPlaneRenderer.h"
#include "X3DRenderSystemManager.h"
#include "XCommandArguments.h"
#include "XCommandTable.h"
#include "XDataVolumeSequence.h"
#include "XException.h"
#include "XHostSetup.h"
#include "XImageDataSource.h"
#include "XLegacyVolumeView.h"
#include "XVolume.h"
#include "XPlanesView.h"
#include "XRenderOptions.h"
#include "XRendererPane.h"
#include "XViewerSession.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace {
const char* const kViewHelp =
    "Opens a window (1280 x 800 unless --size says otherwise) on the display named by DISPLAY and\n"
    "shows the planes view. It takes the options of 'render' but -o; --trace prints the\n"
    "status line and the tool whenever they change.\n\n"
    "Keys: R rotate the volume, C revolve the camera, D dolly, P pan, L move the light,\n"
    "V switch between the planes view and the legacy volume view (a volume renderer module),\n"
    "Left/Right (or Page Up/Down) step timepoints, Q or Escape quit.\n"
    "The status line names the voxel under the mouse on the slices, the shown channels'\n"
    "values there, the timepoint, the last hint and the time the last frame took.\n";

bool Take(std::vector<std::string>& inOutArguments, const std::string& inOption)
{
    const auto found = std::find(inOutArguments.begin(), inOutArguments.end(), inOption);
    if (found == inOutArguments.end())
        return false;
    inOutArguments.erase(found);
    return true;
}
} // namespace

void XViewCommand::AddTo(XCommandTable& inOutTable)
{
    inOutTable.Add({"view", "", "[FILE] [OPTIONS]", "show a TIFF stack or the built-in sample in an X11 window",
                    kViewHelp, &XViewCommand::View});
}

int XViewCommand::View(const std::vector<std::string>& inArguments, std::ostream& inOut)
{
    std::vector<std::string> arguments = inArguments;
    const bool trace = Take(arguments, "--trace");
    for (const std::string& argument : arguments)
        if (argument == "-o" || argument == "--output")
            throw XUsageError("'view' shows a window and writes no picture; use 'render' for -o");
    if (std::find(arguments.begin(), arguments.end(), "--size") == arguments.end())
        arguments.insert(arguments.end(), {"--size", "1280x800"});
    if (std::find(arguments.begin(), arguments.end(), "--view") == arguments.end())
        arguments.insert(arguments.end(), {"--view", "planes"});
    arguments.insert(arguments.end(), {"--output", "-"});
    const XRenderOptions options = XRenderOptions::Parse(arguments);
    if (options.view != XRenderOptions::XView::kPlanes)
        throw XUsageError("'view' shows the planes view only; leave out --view or give --view planes");
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display)
        throw std::runtime_error("DISPLAY is not set, so there is no X server to show the window on; run it "
                                 "from a desktop session, set DISPLAY (for example DISPLAY=:0), or use "
                                 "'kestrin3d render' to write a picture instead");
    {
        // Before the data is read: a display that cannot be opened fails at once.
        WCanvasWnd probe(XRect(0, 0, 1, 1), XString(), display);
        if (!probe.IsOnDisplay())
            throw std::runtime_error(probe.GetDisplayError().GetStdString());
    }

    XHostSetup host;
    std::unique_ptr<XDataVolumeSequence> stack = XHostSetup::ReadSample(options.input);
    options.CheckAgainstSample(*stack);
    options.ApplyChannelLooks(*stack);
    const uint32_t stackChannels = stack->GetChannelCount();
    std::shared_ptr<const XDataVolumeSequence> sequence = XPlanesView::AddReferencePlanes(options, *stack);
    const boost::shared_ptr<XImageDataSource> source(new XImageDataSource(sequence));

    X3DRenderSystemManager renderSystems;
    XViewerPlaneRenderer renderer(source);
    XViewerSession session(renderer, inOut, trace);
    // Keys no tool takes go to the session: it is the pane's host view.
    XRendererPane viewPane(XRect(0, 0, options.width, options.height), &session);
    session.SetPane(viewPane);
    viewPane.SetRenderer(&renderer);
    renderer.SetCurrentTimepoint(options.timepoint);
    renderer.SetSceneState(XPlanesView::MakeSceneState(options, stackChannels, sequence->GetChannelCount()));
    session.SetLegacyViewMaker([&host, &options](WCanvasWnd& inWindow) {
        return std::make_unique<XLegacyVolumeView>(host, options, inWindow);
    });
    XString error;
    if (!session.Attach(error)) {
        viewPane.SetRenderer(nullptr);
        throw std::runtime_error(error.GetStdString());
    }
    const int code = session.Run();
    // The window goes with the renderer's container: the session leaves it first.
    session.Detach();
    viewPane.SetRenderer(nullptr);
    return code;
}
