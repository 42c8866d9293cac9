#include "XLegacyVolumeView.h"

#include "WCanvasWnd.h"
#include "WGLEvent.h"
#include "WGLWnd.h"
#include "WOffscreenRendererView.h"
#include "WRendererEnclosureWnd.h"
#include "XARGB32Volume.h"
#include "XDataVolumeSequence.h"
#include "XException.h"
#include "XHostSetup.h"
#include "XRenderCommands.h"
#include "XRenderOptions.h"
#include "XVolume.h"

#include <iostream>

XLegacyVolumeView::XLegacyVolumeView(XHostSetup& inHost, const XRenderOptions& inOptions, WCanvasWnd& inWindow)
    : itsWidth(inWindow.GetWidth()), itsHeight(inWindow.GetHeight())
{
    XVolumeRendererManager& registry = inHost.LoadRenderers();
    XRenderCommands::CheckRendererChoice(inOptions, registry);
    std::unique_ptr<XDataVolumeSequence> sequence = XHostSetup::ReadSample(inOptions.input);
    inOptions.ApplyChannelLooks(*sequence);
    const uint32_t sampleID = inHost.AddSample(std::move(sequence));
    itsView = std::make_unique<WOffscreenRendererView>(itsWidth, itsHeight);
    WRendererEnclosureWnd& enclosure = itsView->GetRendererEnclosureWnd();
    enclosure.SetNativeWindow({inWindow.GetNativeDisplay(), inWindow.GetNativeWindow()});
    itsRenderer = &XRenderCommands::SetUpRenderer(inOptions, registry, *itsView, sampleID);
    if (!enclosure.GetNativeWindowError().IsEmpty())
        std::cerr << "kestrin3d view: warning: the legacy volume view draws off screen and is shown as read-back "
                     "pictures: "
                  << enclosure.GetNativeWindowError().GetStdString() << std::endl;
    SetTool(XVolumeRendererBase::kToolBall);
}

XLegacyVolumeView::~XLegacyVolumeView() = default;

WGLWnd* XLegacyVolumeView::GetWindow() const { return itsView->GetRendererEnclosureWnd().GetRendererWnd(); }

void XLegacyVolumeView::SetTool(XVolumeRendererBase::XVolumeRendererTool inTool) { itsRenderer->SetTool(inTool); }

void XLegacyVolumeView::SetTimepoint(uint32_t inTimepoint)
{
    itsRenderer->SetCurrentTimepoint(inTimepoint);
    if (WGLWnd* window = GetWindow())
        window->RefreshScene(false);
}

void XLegacyVolumeView::HandleMouse(XMouseEvent inEvent, const XPoint& inPoint, uint32_t inModifiers, uint32_t inButtons)
{
    WGLWnd* window = GetWindow();
    if (!window)
        return;
    WGLEvent event;
    event.point = inPoint;
    event.modifiers = inModifiers; // the window's modifier bits are the canvas's
    switch (inEvent) {
    case kMouseDown:
    case kMouseDoubleClick:
        event.kind = WGLEvent::kMouseDown;
        event.buttons = WGLEvent::kLeftButton;
        break;
    case kMouseUp:
        event.kind = WGLEvent::kMouseUp;
        event.buttons = WGLEvent::kLeftButton;
        break;
    case kMouseMove:
        event.kind = WGLEvent::kMouseMove;
        event.buttons = (inButtons & kButtonLeft) ? uint32_t(WGLEvent::kLeftButton) : 0u;
        break;
    default:
        return;
    }
    window->HandleEvent(event);
}

void XLegacyVolumeView::Resize(int32_t inWidth, int32_t inHeight)
{
    itsWidth = inWidth;
    itsHeight = inHeight;
    itsView->GetRendererEnclosureWnd().SetSize(inWidth, inHeight);
}

bool XLegacyVolumeView::NeedsRedraw() const
{
    const WGLWnd* window = GetWindow();
    return window && (window->NeedsRedraw() || window->GetRedrawCount() != itsShownRedraw);
}

bool XLegacyVolumeView::IsOnWindow() const
{
    const WGLWnd* window = GetWindow();
    return window && window->IsOnNativeWindow();
}

void XLegacyVolumeView::Present()
{
    WGLWnd* window = GetWindow();
    if (!window)
        return;
    // Always drawn: what the window showed may have been exposed or painted over.
    window->RefreshScene(false);
    window->Redraw();
    itsShownRedraw = window->GetRedrawCount();
}

std::unique_ptr<XVolume> XLegacyVolumeView::RenderFrame()
{
    WGLWnd* window = GetWindow();
    if (!window)
        return nullptr;
    window->Redraw(); // clears the request
    itsShownRedraw = window->GetRedrawCount();
    const std::unique_ptr<XVolume> frame(window->RenderToVolume(XRect(0, 0, itsWidth, itsHeight)));
    if (!frame)
        return nullptr;
    // Shown as the render command writes it: opaque, whatever alpha the view cleared to.
    auto picture = std::make_unique<XARGB32Volume>(itsWidth, itsHeight, 1);
    frame->CopyOutToARGB32Volume(*picture);
    for (int32_t y = 0; y < itsHeight; ++y)
        for (int32_t x = 0; x < itsWidth; ++x) {
            XARGB32Colour pixel = picture->GetVoxel(x, y);
            pixel.alpha = 255;
            picture->SetVoxel(x, y, pixel);
        }
    return picture;
}
