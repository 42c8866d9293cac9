#include "XAppMessageCentre.h"
#include "XBGRA32Volume.h"
#include "XCanvasAttachment.h"
#include "XCanvasPaneBase.h"
#include "XClock.h"
#include "XGC.h"
#include "XTimer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {
using namespace std::chrono_literals;

// Records what reaches it in one shared log, and answers handled when told to.
class XLogAttachment : public XCanvasAttachment {
public:
    XLogAttachment(std::string inName, std::vector<std::string>& inLog) : itsName(std::move(inName)), itsLog(inLog) {}
    bool itsHandles = false;
    XARGB32Colour itsFill = XARGB32Colour::kWhite;
    XRect itsFillRect;

    XEventResult DrawCanvas(XGC& inGC) override
    {
        itsLog.push_back(itsName + ".draw");
        inGC.SetFillColour(itsFill);
        inGC.FillRect(itsFillRect);
        return kEventHandled;
    }
    XEventResult PostDrawCanvas(XGC&) override { return Note("postdraw", false); }
    XEventResult HandleMouseEvent(XMouseEvent inEvent, const XPoint&, uint32_t) override
    {
        return Note("mouse" + std::to_string(inEvent), itsHandles);
    }
    XEventResult PostHandleMouseEvent(XMouseEvent inEvent, const XPoint&, uint32_t) override
    {
        return Note("postmouse" + std::to_string(inEvent), false);
    }
    XEventResult HandleKeyDown(uint32_t inKey, uint32_t) override { return Note("key" + std::to_string(inKey), itsHandles); }
    XEventResult HandleCmdUpdate(uint32_t, bool& outEnabled) override
    {
        outEnabled = itsName == "b";
        return Note("update", itsHandles);
    }

private:
    XEventResult Note(const std::string& inWhat, bool inHandled)
    {
        itsLog.push_back(itsName + "." + inWhat);
        return inHandled ? kEventHandled : kEventNotHandled;
    }
    std::string itsName;
    std::vector<std::string>& itsLog;
};

// Follows a drag the way tools do: wait for it, then poll until the button is up.
class XDragAttachment : public XCanvasAttachment {
public:
    bool itsDragged = false;
    std::vector<XPoint> itsPoints;
    int64_t itsMsSinceLastMove = -1;

    XEventResult HandleMouseEvent(XMouseEvent inEvent, const XPoint& inPoint, uint32_t) override
    {
        if (inEvent != kMouseDown)
            return kEventNotHandled;
        XCanvasPaneBase& pane = *GetCanvasPane();
        itsDragged = pane.WaitForDrag(inPoint);
        if (!itsDragged)
            return kEventHandled;
        XTimer sinceMove;
        for (XInputSample s = pane.PollMouse(); s.buttons & kButtonLeft; s = pane.PollMouse()) {
            itsPoints.push_back(s.point);
            sinceMove.Start();
        }
        itsMsSinceLastMove = sinceMove.GetElapsedTime();
        return kEventHandled;
    }
};

class XCanvasPaneTest : public ::testing::Test {
protected:
    XCanvasPaneTest() { XAppMessageCentre::GetAppMessageCentre().SetClock(&itsClock); }
    ~XCanvasPaneTest() override { XAppMessageCentre::GetAppMessageCentre().SetClock(nullptr); }

    XClock::TimePoint At(int inMs) const { return itsStart + std::chrono::milliseconds(inMs); }

    XManualClock itsClock;
    XClock::TimePoint itsStart = itsClock.Now();
    std::vector<std::string> itsLog;
    XCanvasPaneBase itsPane{XRect(0, 0, 40, 30)};
};
} // namespace

TEST_F(XCanvasPaneTest, EventsGoTopDownUntilHandledThenEveryPostTwin)
{
    XLogAttachment a("a", itsLog), b("b", itsLog), c("c", itsLog);
    for (XLogAttachment* x : {&a, &b, &c})
        itsPane.AddCanvasAttachment(x);
    b.itsHandles = true;
    itsPane.PostInput(XInputSample::Down(XPoint(5, 5)));
    itsPane.ProcessInput();
    EXPECT_EQ(itsLog, (std::vector<std::string>{"c.mouse0", "b.mouse0", "c.postmouse0", "b.postmouse0", "a.postmouse0"}));

    itsLog.clear();
    EXPECT_EQ(itsPane.HandleKeyDown(kKeyDelete, 0), kEventHandled);
    EXPECT_EQ(itsLog.front(), "c.key46");
    EXPECT_TRUE(itsPane.IsCommandEnabled(57632)) << "b decides, and enables";
    b.itsHandles = false;
    EXPECT_FALSE(itsPane.IsCommandEnabled(57632)) << "nobody decides";

    itsLog.clear();
    itsPane.RedrawCanvas(true);
    EXPECT_EQ(itsLog, (std::vector<std::string>{"a.draw", "b.draw", "c.draw", "a.postdraw", "b.postdraw", "c.postdraw"}));
}

TEST_F(XCanvasPaneTest, LaterAttachmentsPaintOverEarlierOnesAndAGoneOneLeavesThePane)
{
    std::vector<std::string> log;
    XLogAttachment below("below", log);
    auto above = std::make_unique<XLogAttachment>("above", log);
    below.itsFill = XARGB32Colour(255, 255, 0, 0);
    below.itsFillRect = XRect(0, 0, 20, 30);
    above->itsFill = XARGB32Colour(255, 0, 0, 255);
    above->itsFillRect = XRect(10, 0, 40, 30);
    itsPane.AddCanvasAttachment(&below);
    itsPane.AddCanvasAttachment(above.get());
    itsPane.RedrawCanvas(true);
    std::unique_ptr<XBGRA32Volume> image = itsPane.CopyImage();
    EXPECT_EQ(image->GetVoxel(5, 5), XBGRA32Colour(0, 0, 255, 255));
    EXPECT_EQ(image->GetVoxel(15, 5), XBGRA32Colour(255, 0, 0, 255));
    EXPECT_EQ(image->GetVoxel(35, 5), XBGRA32Colour(255, 0, 0, 255));

    above.reset();
    EXPECT_EQ(itsPane.GetCanvasAttachments().size(), 1u);
    itsPane.RedrawCanvas(true);
    EXPECT_EQ(itsPane.CopyImage()->GetVoxel(35, 5), XBGRA32Colour(0, 0, 0, 255)) << "background";
}

TEST_F(XCanvasPaneTest, RedrawRequestsFoldIntoOnePaintFromTheMessageCentre)
{
    XAppMessageCentre& centre = XAppMessageCentre::GetAppMessageCentre();
    while (centre.ProcessMessages() > 0) {
    }
    itsPane.UpdateCanvas();
    const uint64_t painted = itsPane.GetPaintCount();
    itsPane.RedrawCanvas();
    itsPane.RedrawCanvas();
    EXPECT_EQ(itsPane.GetPaintCount(), painted) << "not before the centre delivers";
    centre.ProcessMessages();
    EXPECT_EQ(itsPane.GetPaintCount(), painted + 1);
    itsPane.RedrawCanvas(true);
    EXPECT_EQ(itsPane.GetPaintCount(), painted + 2);
}

TEST_F(XCanvasPaneTest, DragLoopsReadTheQueueAndFollowItsTimes)
{
    struct Case {
        const char* name;
        std::vector<XInputSample> after; // samples after the press at (10, 10), t = 0
        bool dragged;
        std::vector<XPoint> polled;
        int64_t msSinceLastMove;
    };
    const std::vector<Case> cases = {
        {"click", {XInputSample::Up(XPoint(10, 10)).At(At(40))}, false, {}, -1},
        {"jitter within the threshold", {XInputSample::Move(XPoint(12, 8), kButtonLeft).At(At(10)),
                                         XInputSample::Up(XPoint(12, 8)).At(At(20))}, false, {}, -1},
        {"nothing more queued", {}, false, {}, -1},
        {"flick", {XInputSample::Move(XPoint(11, 10), kButtonLeft).At(At(10)),
                   XInputSample::Move(XPoint(20, 10), kButtonLeft).At(At(20)),
                   XInputSample::Move(XPoint(30, 12), kButtonLeft).At(At(30)),
                   XInputSample::Up(XPoint(30, 12)).At(At(130))}, true, {XPoint(20, 10), XPoint(30, 12)}, 100},
        {"queue runs dry", {XInputSample::Move(XPoint(25, 10), kButtonLeft).At(At(10))}, true, {XPoint(25, 10)}, 0},
    };
    for (const Case& c : cases) {
        XCanvasPaneBase pane(XRect(0, 0, 40, 30));
        XDragAttachment drag;
        pane.AddCanvasAttachment(&drag);
        const XClock::TimePoint start = itsClock.Now();
        auto shifted = [&](XInputSample s) { return s.At(start + (s.time - itsStart)); };
        pane.PostInput(XInputSample::Down(XPoint(10, 10)).At(start));
        for (const XInputSample& s : c.after)
            pane.PostInput(shifted(s));
        pane.ProcessInput();
        EXPECT_EQ(drag.itsDragged, c.dragged) << c.name;
        EXPECT_EQ(drag.itsPoints, c.polled) << c.name;
        EXPECT_EQ(drag.itsMsSinceLastMove, c.msSinceLastMove) << c.name;
        EXPECT_FALSE(pane.IsButtonDown()) << c.name;
        EXPECT_EQ(pane.GetQueuedInputCount(), 0u) << c.name;
    }
}

TEST_F(XCanvasPaneTest, KeysPressedDuringADragArriveAfterIt)
{
    XLogAttachment log("log", itsLog);
    XDragAttachment drag;
    itsPane.AddCanvasAttachment(&log);
    itsPane.AddCanvasAttachment(&drag);
    itsPane.PostInput(XInputSample::Down(XPoint(10, 10)));
    itsPane.PostInput(XInputSample::Move(XPoint(20, 10), kButtonLeft));
    itsPane.PostInput(XInputSample::KeyDown('R'));
    itsPane.PostInput(XInputSample::Up(XPoint(20, 10)));
    EXPECT_EQ(itsPane.ProcessInput(), 4u);
    EXPECT_EQ(drag.itsPoints, std::vector<XPoint>{XPoint(20, 10)});
    EXPECT_EQ(itsLog, (std::vector<std::string>{"log.postmouse0", "log.key82"}));
}

TEST_F(XCanvasPaneTest, ASecondPressSoonAndNearIsADoubleClick)
{
    struct Case {
        int secondAtMs;
        XPoint secondAt;
        XMouseEvent expected;
    };
    for (const Case& c : {Case{200, XPoint(11, 9), kMouseDoubleClick}, Case{600, XPoint(10, 10), kMouseDown},
                          Case{200, XPoint(16, 10), kMouseDown}}) {
        std::vector<std::string> log;
        XCanvasPaneBase pane(XRect(0, 0, 40, 30));
        XLogAttachment a("a", log);
        pane.AddCanvasAttachment(&a);
        const XClock::TimePoint start = itsClock.Now();
        pane.PostInput(XInputSample::Down(XPoint(10, 10)).At(start));
        pane.PostInput(XInputSample::Up(XPoint(10, 10)).At(start + 50ms));
        pane.PostInput(XInputSample::Down(c.secondAt).At(start + std::chrono::milliseconds(c.secondAtMs)));
        pane.ProcessInput();
        EXPECT_EQ(log[4], "a.mouse" + std::to_string(c.expected)) << c.secondAtMs << " ms";
    }
}

TEST_F(XCanvasPaneTest, ResizingTellsTheAttachmentsAndKeepsAtLeastOnePixel)
{
    struct XSizeLog : XCanvasAttachment {
        std::vector<XRect> sizes;
        XEventResult HandleSize(const XRect& inBounds) override
        {
            sizes.push_back(inBounds);
            return kEventHandled;
        }
    } sizes;
    itsPane.AddCanvasAttachment(&sizes);
    itsPane.MovePane(XPoint(5, 6));
    itsPane.ResizePane(64, 48);
    itsPane.ResizePane(0, -3);
    EXPECT_EQ(sizes.sizes, (std::vector<XRect>{XRect(0, 0, 64, 48), XRect(0, 0, 1, 1)}));
    EXPECT_EQ(itsPane.GetPaneBounds(), XRect(5, 6, 6, 7));
    itsPane.RedrawCanvas(true);
    EXPECT_EQ(itsPane.CopyImage()->GetWidth(), 1);
}
