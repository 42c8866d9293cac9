#include "XPlaceholderTextCanvasAttachment.h"

#include "XCanvasPaneBase.h"
#include "XGC.h"

#include <sstream>

void XPlaceholderTextCanvasAttachment::SetText(const XString& inText)
{
    itsText = inText;
    Redraw();
}

void XPlaceholderTextCanvasAttachment::SetVisible(bool inVisible)
{
    if (inVisible == itsIsVisible)
        return;
    itsIsVisible = inVisible;
    Redraw();
}

void XPlaceholderTextCanvasAttachment::Redraw()
{
    if (XCanvasPaneBase* pane = GetCanvasPane())
        pane->RedrawCanvas();
}

XEventResult XPlaceholderTextCanvasAttachment::DrawCanvas(XGC& inGC)
{
    if (!itsIsVisible || !GetCanvasPane())
        return kEventNotHandled;
    const XRect bounds = GetCanvasPane()->GetCanvasBounds();
    inGC.SetFillColour(itsBackground);
    inGC.FillRect(bounds);
    const std::vector<XString> lines = WrapText(inGC, itsText, bounds.GetWidth() - 2 * kMargin);
    const double lineHeight = inGC.MeasureText("Ag").height;
    double y = (bounds.GetHeight() - lineHeight * double(lines.size())) / 2.0;
    inGC.SetFillColour(itsTextColour);
    for (const XString& line : lines) {
        inGC.DrawTextA(line, bounds.GetWidth() / 2.0, y, XGC::kAlignCentre | XGC::kAlignTop);
        y += lineHeight;
    }
    return kEventHandled;
}

std::vector<XString> XPlaceholderTextCanvasAttachment::WrapText(XGC& inGC, const XString& inText, double inWidth)
{
    std::vector<XString> lines;
    std::istringstream paragraphs(inText.GetCString());
    std::string paragraph;
    while (std::getline(paragraphs, paragraph)) {
        std::istringstream words(paragraph);
        std::string word;
        std::string line;
        while (words >> word) {
            const std::string candidate = line.empty() ? word : line + " " + word;
            if (!line.empty() && inGC.MeasureText(XString(candidate)).width > inWidth) {
                lines.emplace_back(line);
                line = word;
            } else {
                line = candidate;
            }
        }
        lines.emplace_back(line);
    }
    return lines;
}
