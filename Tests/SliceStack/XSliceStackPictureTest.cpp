// Pictures of box-shaped samples: where the box shows, from every side.
#include "SliceStackTestSupport.h"
#include "TestPicture.h"

#include <algorithm>
#include <cmath>

using namespace SliceStackTest;

namespace {
const X3DRect kBounds(0, 0, 0, 64, 48, 32);
const X3DRect kBox(40, 8, 10, 52, 18, 20);
const XARGB32Colour kWhite(255, 255, 255, 255);

// The picture rectangle the box's eight corners project into.
void ProjectedBox(XVolumeRendererBase& inRenderer, const X3DRect& inBox, int inHeight, double& outLeft, double& outTop,
                  double& outRight, double& outBottom)
{
    outLeft = outTop = 1e9;
    outRight = outBottom = -1e9;
    for (int corner = 0; corner < 8; ++corner) {
        const XPicturePoint p = Project(inRenderer, corner & 1 ? inBox.right : inBox.left,
                                        corner & 2 ? inBox.bottom : inBox.top, corner & 4 ? inBox.back : inBox.front,
                                        inHeight);
        outLeft = std::min(outLeft, p.x);
        outRight = std::max(outRight, p.x);
        outTop = std::min(outTop, p.y);
        outBottom = std::max(outBottom, p.y);
    }
}

class SliceStackBoxTest : public XSliceStackFixture,
                          public ::testing::WithParamInterface<std::pair<const char*, std::pair<int, double>>> {};
} // namespace

// Seen along z, y and x (each draws another stack), the box lights exactly the
// rectangle its corners project to.
TEST_P(SliceStackBoxTest, BoxShowsAtItsProjectedPlaceOnly)
{
    const auto& [name, turn] = GetParam();
    XVolumeRendererBase& renderer = Show(AddBoxSample(kBounds, {{kWhite, {kBox}}}));
    if (turn.second != 0.0)
        Turn(turn.first, turn.second);
    const XARGB32Volume picture = Picture();
    TestPicture::SavePNG(picture, std::string("SliceStack-box-") + name);

    double left, top, right, bottom;
    ProjectedBox(renderer, kBox, picture.GetHeight(), left, top, right, bottom);
    int litLeft, litTop, litRight, litBottom;
    ASSERT_TRUE(LitBounds(picture, 64, litLeft, litTop, litRight, litBottom)) << "nothing drawn";
    // Linear filtering spreads each edge over about one voxel (under 2 pixels here).
    const double tolerance = 2.5;
    EXPECT_NEAR(litLeft, left, tolerance);
    EXPECT_NEAR(litRight + 1, right, tolerance);
    EXPECT_NEAR(litTop, top, tolerance);
    EXPECT_NEAR(litBottom + 1, bottom, tolerance);
    // The inside is bright.
    const XARGB32Colour centre = TestPicture::PixelAt(picture, int((left + right) / 2), int((top + bottom) / 2));
    EXPECT_GT(centre.red, 200);
    EXPECT_GT(centre.green, 200);
    EXPECT_GT(centre.blue, 200);
}

INSTANTIATE_TEST_SUITE_P(Views, SliceStackBoxTest,
                         ::testing::Values(std::make_pair("along-z", std::make_pair(0, 0.0)),
                                           std::make_pair("along-y", std::make_pair(0, 90.0)),
                                           std::make_pair("along-x", std::make_pair(1, 90.0)),
                                           std::make_pair("oblique", std::make_pair(1, 35.0))),
                         [](const auto& inInfo) {
                             std::string n = inInfo.param.first;
                             std::replace(n.begin(), n.end(), '-', '_');
                             return n;
                         });
