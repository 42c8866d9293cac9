// The voxel spy on a small volume whose voxels encode their coordinates, in each voxel
// type: what bubbles and the preview show, how clicks, drags, keys and commands change
// the pins, the preview's zoom and its channel limit.
#include "XAssertRecorder.h"
#include "XBGRA32Volume.h"
#include "XDataVolumeSequence.h"
#include "XGC.h"
#include "XImageDataSource.h"
#include "XImagePane.h"
#include "XImageRenderer.h"
#include "XRenderer.h"
#include "XUserPrefsSaver.h"
#include "XVolume.h"
#include "XVoxelSpyPinList.h"
#include "XVoxelSpyPinOverlayAttachment.h"
#include "XVoxelSpyPinTargetAttachment.h"
#include "XVoxelSpyPreviewOverlayAttachment.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {
constexpr int kW = 6, kH = 5, kD = 3;

// Grey voxels hold x + 10 y + 100 z (a float one more half); colour voxels x, y, z as red, green,
// blue (a thousand times that in 16-bit colour).
std::shared_ptr<XVolume> MakeCoded(XVoxelType inType)
{
    std::shared_ptr<XVolume> volume = XVolume::Make(inType, X3DRect(0, 0, 0, kW, kH, kD));
    for (int z = 0; z < kD; ++z)
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                uint8_t* p = volume->GetVoxelPtr(x, y, z);
                const int grey = x + 10 * y + 100 * z;
                switch (inType) {
                case XVoxelType::kGrey8: p[0] = uint8_t(grey); break;
                case XVoxelType::kGrey16: { const uint16_t v = uint16_t(grey); std::memcpy(p, &v, 2); break; }
                case XVoxelType::kFloat32: { const float v = float(grey) + 0.5f; std::memcpy(p, &v, 4); break; }
                case XVoxelType::kARGB32: p[0] = 255; p[1] = uint8_t(x); p[2] = uint8_t(y); p[3] = uint8_t(z); break;
                case XVoxelType::kBGRA32: p[0] = uint8_t(z); p[1] = uint8_t(y); p[2] = uint8_t(x); p[3] = 255; break;
                case XVoxelType::kRGB48: {
                    const uint16_t v[3] = {uint16_t(1000 * x), uint16_t(1000 * y), uint16_t(1000 * z)};
                    std::memcpy(p, v, 6);
                    break;
                }
                case XVoxelType::kMask: p[0] = 1; break;
                }
            }
    return volume;
}

boost::shared_ptr<XImageDataSource> MakeSource(const std::vector<XVoxelType>& inTypes)
{
    auto sequence = std::make_shared<XDataVolumeSequence>(uint32_t(inTypes.size()), 1);
    for (uint32_t c = 0; c < inTypes.size(); ++c) {
        sequence->SetVolume(c + 1, 1, MakeCoded(inTypes[c]));
        sequence->SetRenderer(c + 1, XImageRenderer(XARGB32Colour(255, uint8_t(40 * c), 200, 90), 0, 255));
    }
    return boost::shared_ptr<XImageDataSource>(new XImageDataSource(std::shared_ptr<const XDataVolumeSequence>(sequence)));
}

const std::vector<XVoxelType> kTypes{XVoxelType::kGrey8, XVoxelType::kGrey16, XVoxelType::kFloat32,
                                     XVoxelType::kARGB32, XVoxelType::kBGRA32, XVoxelType::kRGB48};
} // namespace

class VoxelSpyTest : public testing::Test {
protected:
    void SetUp() override { ShowPlane(0, 1); }
    // Voxels 20 pixels wide, the picture's corner at the canvas's.
    void ShowPlane(uint32_t inMode, int32_t inIndex)
    {
        pane.SetPlane(inMode, X3DRect(0, 0, 0, kW, kH, kD), inIndex);
        const XRect picture = pane.GetPictureRect();
        pane.SetImage(std::shared_ptr<const XVolume>(XVolume::Make(XVoxelType::kGrey8, X3DRect(picture, 0, 1))));
        pane.SetZoomToFit(false);
        pane.SetScale(20.0);
        pane.ScrollBy(-pane.CalcImageDestBounds().left, -pane.CalcImageDestBounds().top);
    }
    void Attach()
    {
        pane.AddCanvasAttachment(&preview);
        pane.AddCanvasAttachment(&overlay);
        pane.AddCanvasAttachment(&target);
    }
    // The canvas point of a voxel (volume axes) on the pane's plane.
    XPoint PointOf(const X3DPoint& inVoxel) { return overlay.GetPinPoint(inVoxel); }
    void Click(const XPoint& inPoint, uint32_t inModifiers = 0)
    {
        pane.PostInput(XInputSample::Down(inPoint, inModifiers));
        pane.PostInput(XInputSample::Up(inPoint, inModifiers));
        pane.ProcessInput();
    }
    std::vector<X3DPoint> Positions() const
    {
        std::vector<X3DPoint> out;
        for (const auto& pin : pins.GetPins())
            out.push_back(pin.position);
        return out;
    }

    XAssertRecorder asserts;
    std::unique_ptr<XRenderer> renderer = std::make_unique<XRenderer>(MakeSource(kTypes));
    XImagePane pane{XRect(0, 0, 400, 300)};
    XVoxelSpyPinList pins;
    XVoxelSpyPinOverlayAttachment overlay{*renderer, pins};
    XVoxelSpyPinTargetAttachment target{*renderer, overlay, pins, XPtrVector<XImagePane>{&pane}};
    XVoxelSpyPreviewOverlayAttachment preview{*renderer};
};

// Bubbles and the preview show the voxel at the pin in every voxel type; outside the
// data only the coordinates (bracketed in the preview).
TEST_F(VoxelSpyTest, ValuesAreTheVoxelsAtThePin)
{
    struct Case {
        X3DPoint at;
        std::vector<XString> values;
    };
    const Case cases[] = {
        {{0, 0, 0}, {"0", "0", "0.5", "0, 0, 0", "0, 0, 0", "0, 0, 0"}},
        {{3, 2, 1}, {"123", "123", "123.5", "3, 2, 1", "3, 2, 1", "3000, 2000, 1000"}},
        {{5, 4, 2}, {"245", "245", "245.5", "5, 4, 2", "5, 4, 2", "5000, 4000, 2000"}},
        {{6, 0, 0}, {}},
        {{0, -1, 0}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.at.x << ", " << c.at.y << ", " << c.at.z);
        std::vector<XString> bubble{XString("x: %1").Replace(int64_t(c.at.x)), XString("y: %1").Replace(int64_t(c.at.y)),
                                    XString("z: %1").Replace(int64_t(c.at.z))};
        bubble.insert(bubble.end(), c.values.begin(), c.values.end());
        EXPECT_EQ(overlay.GetBubbleLines(c.at), bubble);
        preview.SetPosition(c.at);
        std::vector<XString> lines = preview.GetPreviewLines();
        if (c.values.empty())
            EXPECT_EQ(lines[0], XString("x: (%1)").Replace(int64_t(c.at.x)));
        else
            EXPECT_EQ(lines, bubble);
    }
    // A hidden channel shows no line.
    XRendererSceneState state;
    state.SetStateAndEnable(kSceneStateChannelVisible, XRenderer::MakeScalarStateValue(0.0), 2);
    renderer->SetSceneState(state);
    EXPECT_EQ(overlay.GetBubbleLines({3, 2, 1}),
              (std::vector<XString>{"x: 3", "y: 2", "z: 1", "123", "123.5", "3, 2, 1", "3, 2, 1", "3000, 2000, 1000"}));
}

// A click on the image pins its voxel in volume axes, whichever plane the pane shows;
// modifier bit 1 keeps the other pins; a click off the image removes them all. The
// click is left for the pane's other attachments.
TEST_F(VoxelSpyTest, ClicksPinVoxelsOfThePlane)
{
    Attach();
    struct Case {
        uint32_t mode;
        int32_t index;
        X3DPoint voxel;
    };
    for (const Case& c : {Case{0, 1, {4, 3, 1}}, Case{1, 2, {4, 2, 1}}, Case{2, 3, {3, 1, 2}}}) {
        SCOPED_TRACE(c.mode);
        ShowPlane(c.mode, c.index);
        EXPECT_TRUE(overlay.IsPinShown(c.voxel));
        EXPECT_EQ(target.HandleMouseEvent(kMouseDown, PointOf(c.voxel), 0), kEventNotHandled);
        EXPECT_EQ(Positions(), std::vector<X3DPoint>{c.voxel});
        EXPECT_EQ(pins.GetSelectedPins(), (XSet<size_t>{0}));
    }
    ShowPlane(0, 1);
    Click(PointOf({1, 1, 1}), kModifierControl);
    Click(PointOf({2, 1, 1}), kModifierControl);
    EXPECT_EQ(Positions(), (std::vector<X3DPoint>{{3, 1, 2}, {1, 1, 1}, {2, 1, 1}}));
    EXPECT_EQ(pins.GetSelectedPins(), (XSet<size_t>{2}));
    EXPECT_EQ(renderer->GetSceneStateValue(kSceneStateVoxelSpyPins).GetRows(), 3u);
    Click({390, 290});
    EXPECT_EQ(pins.GetPinCount(), 0u);
}

// A click on a bubble selects its pin (alone, or added with bit 0; bit 0 on a selected
// pin unselects it); dragging moves the selected pins and stops them at the volume's edge.
TEST_F(VoxelSpyTest, BubblesSelectAndDragPinsWithinTheVolume)
{
    Attach();
    pins.AddPin({1, 1, 1}, XVoxelSpyPinOverlayAttachment::kBubbleBelowRight);
    pins.AddPin({4, 1, 1}, XVoxelSpyPinOverlayAttachment::kBubbleBelowRight);
    auto bubbleCentre = [&](size_t inIndex) {
        const XRect r = overlay.GetLocalBoundsForPinBubble(pins.GetPin(inIndex), pins.GetPins()[inIndex].bubble);
        return XPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    size_t hit = 9;
    ASSERT_TRUE(target.IsPinHit(bubbleCentre(1), hit));
    EXPECT_EQ(hit, 1u);
    Click(bubbleCentre(0));
    EXPECT_EQ(pins.GetSelectedPins(), (XSet<size_t>{0}));
    Click(bubbleCentre(1), kModifierShift);
    EXPECT_EQ(pins.GetSelectedPins(), (XSet<size_t>{0, 1}));
    Click(bubbleCentre(0), kModifierShift);
    EXPECT_EQ(pins.GetSelectedPins(), (XSet<size_t>{1}));

    // Pin 1 (x 4) can go one voxel right before the edge; pin 0 stays put.
    pins.SelectPin(0);
    const XPoint from = bubbleCentre(1);
    pane.PostInput(XInputSample::Down(from));
    pane.PostInput(XInputSample::Move(from + XPoint(60, 20), kButtonLeft));
    pane.PostInput(XInputSample::Move(from + XPoint(200, 200), kButtonLeft));
    pane.PostInput(XInputSample::Up(from + XPoint(200, 200)));
    pane.ProcessInput();
    EXPECT_EQ(Positions(), (std::vector<X3DPoint>{{2, 4, 1}, {5, 4, 1}}));
}

TEST_F(VoxelSpyTest, DeleteAndSelectionCommands)
{
    Attach();
    for (int i = 0; i < 5; ++i)
        pins.AddPin({i, 0, 1}, 0);
    struct Enabled {
        bool clear, all, none, invert;
    };
    auto enabled = [&] {
        return Enabled{pane.IsCommandEnabled(57632), pane.IsCommandEnabled(57642), pane.IsCommandEnabled(5151),
                       pane.IsCommandEnabled(6101)};
    };
    Enabled e = enabled();
    EXPECT_FALSE(e.clear || e.none || e.invert);
    EXPECT_TRUE(e.all);
    pane.HandleKeyDown(kKeyDelete, 0); // nothing selected: nothing removed
    EXPECT_EQ(pins.GetPinCount(), 5u);

    pins.SelectPins({1, 3});
    pane.DoCommand(6101);
    EXPECT_EQ(pins.GetSelectedPins(), (XSet<size_t>{0, 2, 4}));
    pane.DoCommand(6101);
    pane.HandleKeyDown(kKeyDelete, 0);
    EXPECT_EQ(Positions(), (std::vector<X3DPoint>{{0, 0, 1}, {2, 0, 1}, {4, 0, 1}}));
    EXPECT_TRUE(pins.GetSelectedPins().empty());

    pane.DoCommand(57642);
    e = enabled();
    EXPECT_TRUE(e.clear && e.none && e.invert);
    EXPECT_FALSE(e.all);
    pane.DoCommand(5151);
    EXPECT_TRUE(pins.GetSelectedPins().empty());
}

// The magnification steps 2, 6, 18 and back to 2 by clicks on the snapshot, and is kept;
// a stored value that is not a step reads as 6.
TEST_F(VoxelSpyTest, PreviewZoomStepsAndIsKept)
{
    Attach();
    XUserPrefsSaver().Write32(XVoxelSpyPreviewOverlayAttachment::kPrefsSection,
                              XVoxelSpyPreviewOverlayAttachment::kPrefsZoomKey, 18);
    XVoxelSpyPreviewOverlayAttachment stored(*renderer);
    EXPECT_EQ(stored.GetMagnification(), 18u);
    EXPECT_EQ(stored.GetZoomLevel(), 3u);
    pane.RemoveCanvasAttachment(&preview);
    pane.AddCanvasAttachment(&stored);
    stored.SetPosition({2, 2, 1});
    const XPoint inside(stored.GetLocalSnapshotBounds().left + 5, stored.GetLocalSnapshotBounds().top + 5);
    for (uint32_t expected : {2u, 6u, 18u, 2u}) {
        pane.PostInput(XInputSample::Down(inside));
        pane.PostInput(XInputSample::Up(inside));
        pane.ProcessInput();
        EXPECT_EQ(stored.GetMagnification(), expected);
        EXPECT_EQ(XUserPrefsSaver().Read32Defaulted(XVoxelSpyPreviewOverlayAttachment::kPrefsSection,
                                                    XVoxelSpyPreviewOverlayAttachment::kPrefsZoomKey, 0),
                  expected);
    }
    XUserPrefsSaver().Write32(XVoxelSpyPreviewOverlayAttachment::kPrefsSection,
                              XVoxelSpyPreviewOverlayAttachment::kPrefsZoomKey, 7);
    EXPECT_EQ(XVoxelSpyPreviewOverlayAttachment(*renderer).GetMagnification(), 6u);
}

// Ten shown channels list nine values and then the notice; the overlay grows with
// the channels listed.
TEST_F(VoxelSpyTest, TenChannelsShowNineAndANotice)
{
    struct Case {
        size_t channels;
        size_t lines;
        bool notice;
    };
    int32_t previous = 0;
    for (const Case& c : {Case{1, 4, false}, Case{9, 12, false}, Case{10, 13, true}}) {
        SCOPED_TRACE(c.channels);
        XRenderer many(MakeSource(std::vector<XVoxelType>(c.channels, XVoxelType::kGrey8)));
        XVoxelSpyPreviewOverlayAttachment spy(many);
        spy.SetPosition({1, 2, 0});
        const std::vector<XString> lines = spy.GetPreviewLines();
        ASSERT_EQ(lines.size(), c.lines);
        EXPECT_EQ(lines.back() == XString("Unable to display more channels"), c.notice);
        EXPECT_EQ(lines[3], XString("21"));
        EXPECT_GT(spy.GetOverlayHeight(), previous);
        previous = spy.GetOverlayHeight();
    }
}

// Pins, bubbles and the preview are drawn over the picture.
TEST_F(VoxelSpyTest, PinsAndPreviewAreDrawn)
{
    Attach();
    pane.SetBackgroundColour(XARGB32Colour::kBlack);
    pane.RedrawCanvas(true);
    const auto before = pane.CopyImage();
    Click(PointOf({4, 3, 1}));
    pane.PostInput(XInputSample::Move(PointOf({2, 2, 1})));
    pane.ProcessInput();
    EXPECT_EQ(preview.GetPosition(), X3DPoint(2, 2, 1));
    pane.RedrawCanvas(true);
    const auto after = pane.CopyImage();
    auto bright = [](const XVolume& inImage, const XRect& inRect) {
        int n = 0;
        for (int y = inRect.top; y < inRect.bottom; ++y)
            for (int x = inRect.left; x < inRect.right; ++x)
                n += inImage.GetVoxelPtr(x, y, 0)[1] > 100 ? 1 : 0;
        return n;
    };
    const XRect bubble = overlay.GetLocalBoundsForPinBubble({4, 3, 1}, pins.GetPins()[0].bubble);
    EXPECT_GT(bright(*after, bubble), bubble.GetWidth() * bubble.GetHeight() / 2);
    EXPECT_EQ(bright(*before, bubble), 0);
    EXPECT_GT(bright(*after, preview.GetOverlayBounds()), 100);
}
