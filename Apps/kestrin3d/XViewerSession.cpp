#include "XViewerSession.h"

#include "WCanvasWnd.h"
#include "X3DBaseRenderer.h"
#include "X3DPlaneRenderer.h"
#include "X3DXYZRendererNode.h"
#include "XAppMessageCentre.h"
#include "XCanvasPaneBase.h"
#include "XGC.h"
#include "XLegacyVolumeView.h"
#include "XHintAlert.h"
#include "XImageDataSource.h"
#include "XRendererPane.h"
#include "XVolume.h"
#include "XVoxelSpyValues.h"

#include <array>
#include <chrono>
#include <cmath>
#include <iomanip>
#include <limits>
#include <sstream>

namespace {
constexpr int32_t kStatusHeight = 20;
// How long one turn of the loop waits for events: short enough for the spin's 20 ms steps.
constexpr int kEventWaitMs = 5;
} // namespace

const XViewerSession::XToolKey XViewerSession::kToolKeys[5] = {
    {'R', 0, "rotate", XVolumeRendererBase::kToolBall},
    {'C', X3DBaseRenderer::kCommandRevolve, "revolve camera", XVolumeRendererBase::kToolFly},
    {'D', X3DBaseRenderer::kCommandDolly, "dolly", XVolumeRendererBase::kToolZoom},
    {'P', X3DBaseRenderer::kCommandPan, "pan", XVolumeRendererBase::kToolPan},
    {'L', X3DBaseRenderer::kCommandLight, "light", XVolumeRendererBase::kToolNone},
};

XViewerSession::XViewerSession(XViewerPlaneRenderer& inRenderer, std::ostream& inOut, bool inTrace)
    : itsRenderer(inRenderer), itsOut(inOut), itsTrace(inTrace)
{
    itsAlertCount = XHintAlert::GetShownCount();
}

XViewerSession::~XViewerSession() { Detach(); }

void XViewerSession::Detach()
{
    itsLegacy.reset();
    itsLegacyShown = false;
    if (itsWindow)
        itsWindow->RemoveCanvasAttachment(this);
    itsWindow = nullptr;
}

bool XViewerSession::Attach(XString& outError)
{
    itsWindow = dynamic_cast<WCanvasWnd*>(itsRenderer.GetRendererCanvasPane());
    if (!itsWindow || !itsWindow->IsOnDisplay()) {
        outError = itsWindow && !itsWindow->GetDisplayError().IsEmpty()
            ? itsWindow->GetDisplayError()
            : XString("no window could be shown; set DISPLAY to a running X server");
        itsWindow = nullptr;
        return false;
    }
    // Above the renderer, which draws the frame.
    itsWindow->AddCanvasAttachment(this);
    ChooseTool(0, kToolKeys[0].name);
    return true;
}

int XViewerSession::Run()
{
    XAppMessageCentre& centre = XAppMessageCentre::GetAppMessageCentre();
    itsRenderer.RefreshRendererWithImmediateRedraw();
    if (itsTrace)
        itsOut << "window " << itsWindow->GetNativeWindow() << " " << itsWindow->GetWidth() << "x"
               << itsWindow->GetHeight() << (itsWindow->IsSharingMemory() ? " shared-memory" : " put-image")
               << std::endl;
    while (!itsQuit) {
        if (!itsWindow->ProcessWindowEvents(kEventWaitMs))
            break;
        centre.ProcessMessages();
        // The window follows its own size; the pane and the renderer's targets follow it.
        const XRect canvas = itsWindow->GetCanvasBounds();
        if (canvas.GetWidth() != itsPane->GetBounds().GetWidth() || canvas.GetHeight() != itsPane->GetBounds().GetHeight()) {
            itsPane->SetBounds(XRect(0, 0, canvas.GetWidth(), canvas.GetHeight()));
            if (itsLegacy)
                itsLegacy->Resize(canvas.GetWidth(), canvas.GetHeight());
            if (itsTrace)
                itsOut << "size " << canvas.GetWidth() << "x" << canvas.GetHeight() << std::endl;
            itsRenderer.RefreshRenderer();
        }
        if (XHintAlert::GetShownCount() != itsAlertCount) {
            itsAlertCount = XHintAlert::GetShownCount();
            const XHintAlert alert = XHintAlert::GetLastShownAlert();
            itsAlert = alert.GetTitle().IsEmpty() ? alert.GetText() : alert.GetTitle() + ": " + alert.GetText();
        }
        if (itsLegacyShown && itsLegacy->NeedsRedraw())
            itsWindow->RedrawCanvas();
        itsMouse = itsWindow->GetMousePosition();
        UpdateStatus();
        itsWindow->UpdateCanvas();
    }
    return 0;
}

XEventResult XViewerSession::HandleRendererKeyDown(uint32_t inKey, uint32_t)
{
    for (const XToolKey& tool : kToolKeys)
        if (tool.key == inKey) {
            // Refusals are hint alerts, which the status line shows as any other.
            if (itsLegacyShown && tool.legacyTool == XVolumeRendererBase::kToolNone) {
                XHintAlert(XHintAlert::kHintAlertNote, XString(),
                    XString("the legacy volume view has no ") + tool.name + " tool")
                    .Show();
            } else {
                ChooseTool(tool.command, tool.name);
                if (itsLegacyShown)
                    itsLegacy->SetTool(XVolumeRendererBase::XVolumeRendererTool(tool.legacyTool));
            }
            return kEventHandled;
        }
    switch (inKey) {
    case 'V':
        SwitchView();
        return kEventHandled;
    case kKeyRight:
    case kKeyPageDown:
        StepTimepoint(1);
        return kEventHandled;
    case kKeyLeft:
    case kKeyPageUp:
        StepTimepoint(-1);
        return kEventHandled;
    case 'Q':
    case kKeyEscape:
        itsQuit = true;
        return kEventHandled;
    default:
        return kEventNotHandled;
    }
}

void XViewerSession::ChooseTool(uint32_t inCommand, const char* inName)
{
    itsToolCommand = inCommand;
    itsRenderer.DoRendererToolbarCommand(XToolbarCommandID(inCommand));
    // The legacy view takes the mouse itself: the planes tool stays off the canvas.
    if (itsLegacyShown && itsRenderer.GetCanvasAttachment())
        itsWindow->RemoveCanvasAttachment(itsRenderer.GetCanvasAttachment());
    if (itsTrace)
        itsOut << "tool " << inName << std::endl;
}

void XViewerSession::SwitchView()
{
    if (!itsLegacyShown && !itsLegacy) {
        XString error;
        try {
            if (itsMakeLegacy)
                itsLegacy = itsMakeLegacy(*itsWindow);
        } catch (const XException& e) {
            error = e.GetErrorMessage();
        } catch (const std::exception& e) {
            error = XString(e.what());
        }
        if (!error.IsEmpty())
            XHintAlert(XHintAlert::kHintAlertWarning, "the legacy volume view cannot be shown", error).Show();
        if (!itsLegacy)
            return;
        itsLegacy->SetTimepoint(itsRenderer.GetCurrentTimepoint());
    }
    itsLegacyShown = !itsLegacyShown;
    if (itsTrace)
        itsOut << "view "
               << (!itsLegacyShown ? "planes" : itsLegacy->IsOnWindow() ? "volume on-window" : "volume read-back")
               << std::endl;
    for (const XToolKey& tool : kToolKeys)
        if (tool.command == itsToolCommand) {
            if (itsLegacyShown && tool.legacyTool != XVolumeRendererBase::kToolNone)
                itsLegacy->SetTool(XVolumeRendererBase::XVolumeRendererTool(tool.legacyTool));
            ChooseTool(tool.command, tool.name);
        }
    itsWindow->RedrawCanvas();
}

XEventResult XViewerSession::HandleMouseEvent(XMouseEvent inEvent, const XPoint& inPoint, uint32_t inFlags)
{
    if (!itsLegacyShown)
        return kEventNotHandled;
    itsLegacy->HandleMouse(inEvent, inPoint, inFlags, itsWindow->GetMouseButtons());
    return kEventHandled;
}

void XViewerSession::StepTimepoint(int inStep)
{
    const uint32_t count = itsRenderer.GetDataSource() ? itsRenderer.GetDataSource()->GetTimepointCount() : 1;
    const int64_t next = int64_t(itsRenderer.GetCurrentTimepoint()) + inStep;
    if (next < 1 || next > int64_t(count))
        return;
    itsRenderer.SetCurrentTimepoint(uint32_t(next));
    itsRenderer.RefreshRenderer();
    if (itsLegacy)
        itsLegacy->SetTimepoint(uint32_t(next));
}

bool XViewerSession::PickVoxel(const X3DPlaneRenderer& inRenderer, const XPoint& inPoint, X3DPoint& outVoxel)
{
    const X3DXYZRendererNode& node = inRenderer.GetPlaneNode();
    const boost::shared_ptr<XImageDataSource>& source = inRenderer.GetDataSource();
    if (!source || !node.IsVisible())
        return false;
    const X3DCamera& camera = inRenderer.GetCamera();
    const X3DViewport& viewport = camera.GetViewport();
    // Window y counts upwards from the viewport's bottom.
    const float x = float(inPoint.x) + 0.5f;
    const float y = float(viewport.GetY() + viewport.GetHeight()) - (float(inPoint.y) + 0.5f);
    XMathVectorF3 from, to;
    try {
        // Unprojecting through the node's own transform gives the ray in voxel coordinates.
        const XMatrix_4x4<float> all = node.GetWorldTransform() * camera.GetViewMatrix() * camera.GetProjectionMatrix();
        from = viewport.Unproject(XMathVectorF3(x, y, 0.0f), all);
        to = viewport.Unproject(XMathVectorF3(x, y, 1.0f), all);
    } catch (const XException&) {
        return false;
    }
    const X3DRect bounds = source->GetBounds();
    const std::array<float, 3> low{float(bounds.GetLeft()), float(bounds.GetTop()), float(bounds.GetFront())};
    const std::array<float, 3> high{float(bounds.GetRight()), float(bounds.GetBottom()), float(bounds.GetBack())};
    // Slices pass through the centres of their voxel planes: YZ at a column, XZ at a row, XY at a depth.
    const std::array<uint64_t, 3> planes{node.GetYZPlane(), node.GetXZPlane(), node.GetXYPlane()};
    const XMathVectorF3 ray = to - from;
    float best = std::numeric_limits<float>::infinity();
    for (int axis = 0; axis < 3; ++axis) {
        if (ray[axis] == 0.0f)
            continue;
        const float plane = low[size_t(axis)] + float(planes[size_t(axis)]) + 0.5f;
        const float t = (plane - from[axis]) / ray[axis];
        if (!(t >= 0.0f && t <= 1.0f) || t >= best)
            continue;
        const XMathVectorF3 hit = from + ray * t;
        bool inside = true;
        for (int other = 0; other < 3; ++other)
            if (other != axis && !(hit[other] >= low[size_t(other)] && hit[other] < high[size_t(other)]))
                inside = false;
        if (!inside)
            continue;
        best = t;
        int32_t voxel[3];
        for (int i = 0; i < 3; ++i)
            voxel[i] = i == axis ? int32_t(low[size_t(i)]) + int32_t(planes[size_t(i)]) : int32_t(std::floor(hit[i]));
        outVoxel = X3DPoint(voxel[0], voxel[1], voxel[2]);
    }
    return std::isfinite(best);
}

XString XViewerSession::MakeStatusText() const
{
    std::ostringstream text;
    X3DPoint voxel;
    if (!itsLegacyShown && itsMouse.x >= 0 && PickVoxel(itsRenderer, itsMouse, voxel)) {
        text << "voxel " << voxel.x << " " << voxel.y << " " << voxel.z;
        for (const XVoxelSpyValues::XChannelValue& value : XVoxelSpyValues::GetChannelValues(itsRenderer, voxel))
            text << " | " << value.name.GetStdString() << ": " << value.value.GetStdString();
    } else {
        text << "no voxel";
    }
    const uint32_t count = itsRenderer.GetDataSource() ? itsRenderer.GetDataSource()->GetTimepointCount() : 1;
    text << " | timepoint " << itsRenderer.GetCurrentTimepoint() << " of " << count << " | "
         << (itsLegacyShown ? "volume view" : "planes view");
    if (!itsAlert.IsEmpty())
        text << " | " << itsAlert.GetStdString();
    return XString(text.str());
}

void XViewerSession::UpdateStatus()
{
    const XString status = MakeStatusText();
    if (status == itsStatus)
        return;
    itsStatus = status;
    if (itsTrace)
        itsOut << "status " << status.GetStdString() << std::endl;
    itsWindow->RedrawCanvas();
}

void XViewerPlaneRenderer::DrawCanvas3D()
{
    const auto start = std::chrono::steady_clock::now();
    X3DPlaneRenderer::DrawCanvas3D();
    itsLastFrameMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    ++itsFrames;
}

XEventResult XViewerSession::DrawCanvas(XGC& inGC)
{
    const XRect canvas = itsWindow ? itsWindow->GetCanvasBounds() : XRect();
    const bool legacyOnWindow = itsLegacyShown && itsLegacy->IsOnWindow();
    if (itsLegacyShown) {
        const auto start = std::chrono::steady_clock::now();
        if (legacyOnWindow)
            itsLegacy->Present();
        else if (const std::unique_ptr<XVolume> frame = itsLegacy->RenderFrame())
            inGC.DrawImage(*frame, canvas);
        itsLegacyFrameMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    std::ostringstream frame;
    frame << std::fixed << std::setprecision(1) << " | frame "
          << (itsLegacyShown ? itsLegacyFrameMs : itsRenderer.GetLastFrameMs()) << " ms";
    const XRect strip(0, canvas.GetHeight() - kStatusHeight, canvas.GetWidth(), canvas.GetHeight());
    // Over the legacy view's swapped frame only the status line is put, after it.
    if (itsWindow)
        itsWindow->SetPresentedArea(legacyOnWindow ? strip : XRect());
    inGC.SetFillColour(XARGB32Colour(200, 0, 0, 0));
    inGC.FillRect(strip);
    inGC.SetFillColour(XARGB32Colour::kWhite);
    inGC.DrawTextA(itsStatus + XString(frame.str()), 6, strip.top + kStatusHeight / 2.0, XGC::kAlignLeft | XGC::kAlignMiddle);
    return kEventNotHandled;
}
