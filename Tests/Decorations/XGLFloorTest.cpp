// The floor: squares, colours and the part left over, read back from a top-down view.
#include "DecorationTestSupport.h"
#include "XGLContextLock.h"
#include "XGLFloor.h"

#include <gtest/gtest.h>

using namespace DecorationTest;

namespace {
const XARGB32Colour kColour1 = XARGB32Colour::kRed;
const XARGB32Colour kColour2 = XARGB32Colour::kBlue;

// 'R' for a pixel in colour 1 (red), 'B' in colour 2 (blue), '.' for the background.
char Classify(const XARGB32Colour& inPixel)
{
    if (inPixel.red > 20 && inPixel.red > 2 * inPixel.blue)
        return 'R';
    if (inPixel.blue > 20 && inPixel.blue > 2 * inPixel.red)
        return 'B';
    return IsBackground(inPixel) ? '.' : '?';
}

struct XRun {
    char kind;
    int length;
};

std::vector<XRun> Runs(const XVolume& inPicture, bool inRow, int inIndex)
{
    std::vector<XRun> runs;
    const int n = inRow ? inPicture.GetWidth() : inPicture.GetHeight();
    for (int i = 0; i < n; ++i) {
        const char k = Classify(inRow ? PixelAt(inPicture, i, inIndex) : PixelAt(inPicture, inIndex, i));
        if (runs.empty() || runs.back().kind != k)
            runs.push_back({k, 1});
        else
            ++runs.back().length;
    }
    return runs;
}

// The coloured squares along a line and the length they cover, in pixels.
void CountSquares(const std::vector<XRun>& inRuns, int& outSquares, int& outCovered)
{
    outSquares = 0;
    outCovered = 0;
    char last = 0;
    for (const XRun& run : inRuns) {
        if (run.kind == '.')
            continue;
        EXPECT_NE(run.kind, '?') << "a pixel of neither floor colour";
        EXPECT_NE(run.kind, last) << "two neighbouring squares share a colour";
        last = run.kind;
        ++outSquares;
        outCovered += run.length;
    }
}

// A small unlit green square lying on the floor plane, to find a floor position on screen.
class XMarker : public XGLRenderable {
public:
    XMarker(double inX, double inY, double inZ) : itsX(inX), itsY(inY), itsZ(inZ) {}

protected:
    void RenderSelf(XGLRenderable&) override
    {
        glDisable(GL_LIGHTING);
        glColor3f(0.0f, 1.0f, 0.0f);
        glBegin(GL_QUADS);
        glVertex3d(itsX - 0.05, itsY, itsZ - 0.05);
        glVertex3d(itsX - 0.05, itsY, itsZ + 0.05);
        glVertex3d(itsX + 0.05, itsY, itsZ + 0.05);
        glVertex3d(itsX + 0.05, itsY, itsZ - 0.05);
        glEnd();
        glEnable(GL_LIGHTING);
    }

private:
    double itsX, itsY, itsZ;
};

// A 500 × 500 orthographic view straight down on the floor, which is scaled so that its
// 10 × 10 units fill 475 pixels (one unit = 47.5 pixels).
class XGLFloorPictureTest : public ::testing::Test {
protected:
    XGLFloorPictureTest() : itsWindow(500, 500)
    {
        itsWindow.SetProjectionMode(XGLContext::kOrthographic);
        itsWindow.SetCamera(XCamera(XMathVectorF3(0, -10, 0), XMathVectorF3(0, 0, 0), XMathVectorF3(0, 0, 1)));
    }
    std::unique_ptr<XVolume> Draw(XGLFloor& inFloor, XGLRenderable* inExtra = nullptr)
    {
        XGLRenderable group; // leaves its children as it ends
        group.SetScale(0.19);
        group.AddChild(inFloor);
        if (inExtra)
            group.AddChild(*inExtra);
        return Picture(itsWindow, group);
    }
    WGLWnd itsWindow;
};
} // namespace

TEST_F(XGLFloorPictureTest, WholeSquaresFromColourOneAreDrawnAndTheRemainderIsLeftOut)
{
    struct XCase {
        double squareSize;
        int squares;
        const char* image;
    };
    for (const XCase& c : {XCase{0.4, 25, "floor-checked-0.4"}, XCase{0.3, 33, "floor-checked-0.3"}}) {
        SCOPED_TRACE(c.image);
        XGLFloor floor(10.0, 10.0, 1.2, c.squareSize, kColour1, kColour2, true);
        EXPECT_EQ(floor.GetSquareCountX(), unsigned(c.squares));
        EXPECT_EQ(floor.GetSquareCountZ(), unsigned(c.squares));
        std::unique_ptr<XVolume> picture = Draw(floor);
        SavePNG(*picture, c.image);
        // Pixels covered: the squares' total length (47.5 pixels a unit), give or take
        // a pixel at either end where rasterisation decides.
        const double expectedCover = c.squares * c.squareSize * 47.5;
        for (bool row : {true, false}) {
            int squares = 0, covered = 0;
            CountSquares(Runs(*picture, row, 250), squares, covered);
            EXPECT_EQ(squares, c.squares) << (row ? "along the middle row" : "along the middle column");
            EXPECT_NEAR(covered, expectedCover, 2.0) << "the remainder was drawn, or a square is missing";
        }
        // The centre of square (0, 0), found by a marker just above the floor, has colour 1.
        XMarker marker(-5.0 + c.squareSize / 2, 1.19, -5.0 + c.squareSize / 2);
        const TestPicture::XSpread seen =
            TestPicture::SpreadOf(*Draw(floor, &marker), [](const XARGB32Colour& p) { return p == XARGB32Colour::kGreen; });
        ASSERT_GT(seen.count, 0) << "the marker was not seen";
        const int x = int(seen.centreX), y = int(seen.centreY);
        EXPECT_EQ(Classify(PixelAt(*picture, x, y)), 'R');
        // It is a corner square; its neighbours towards the middle have colour 2, and
        // beyond it lies the background.
        const int step = int(c.squareSize * 47.5), dx = x < 250 ? step : -step, dy = y < 250 ? step : -step;
        EXPECT_EQ(Classify(PixelAt(*picture, x + dx, y)), 'B');
        EXPECT_EQ(Classify(PixelAt(*picture, x, y + dy)), 'B');
        EXPECT_EQ(Classify(PixelAt(*picture, x - dx, y)), '.');
        EXPECT_EQ(Classify(PixelAt(*picture, x, y - dy)), '.');
    }
}

TEST_F(XGLFloorPictureTest, APlainFloorIsOneColourOverItsWholeSize)
{
    // Unchecked, or checked with a square size that cannot be drawn: zero, negative, NaN,
    // or so small that millions of squares would stall the frame.
    const XARGB32Colour colour1(255, 250, 160, 40);
    struct XCase {
        bool checked;
        double squareSize;
    };
    for (const XCase& c : {XCase{false, 0.4}, XCase{true, 0.0}, XCase{true, -0.4}, XCase{true, std::nan("")},
                           XCase{true, 1e-6}}) {
        SCOPED_TRACE(c.squareSize);
        XGLFloor floor(10.0, 10.0, 1.2, c.squareSize, colour1, kColour2, c.checked);
        if (c.checked) {
            EXPECT_EQ(floor.GetSquareCountX(), 0u);
        }
        std::unique_ptr<XVolume> picture = Draw(floor);
        if (!c.checked)
            SavePNG(*picture, "floor-plain");
        int covered = 0;
        for (int x = 0; x < 500; ++x) {
            const XARGB32Colour p = PixelAt(*picture, x, 250);
            if (IsBackground(p))
                continue;
            ++covered;
            // Lighting may shade the quad, but the hue stays colour 1's: red > green > blue.
            EXPECT_GT(p.red, p.green) << "at column " << x;
            EXPECT_GT(p.green, p.blue) << "at column " << x;
            EXPECT_NEAR(double(p.green) / p.red, 160.0 / 250.0, 0.05) << "at column " << x;
        }
        EXPECT_NEAR(covered, 475, 2);
    }
}
