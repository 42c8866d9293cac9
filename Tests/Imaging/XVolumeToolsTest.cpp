#include "SwapBuffer32.h"
#include "X3DRegion.h"
#include "XARGB32Volume.h"
#include "XBGRA32Volume.h"
#include "XExtendedFocusTool.h"
#include "XFlipVVolumeTool.h"
#include "XFloat32Volume.h"
#include "XGrey16Volume.h"
#include "XGrey8Volume.h"
#include "XRGBFloat32Colour.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

TEST(XFlipVVolumeTool, RowsTradePlacesInEveryPlane)
{
    for (int32_t height : {4, 5, 1}) {
        XGrey16Volume v(3, height, 2);
        for (int32_t z = 0; z < 2; ++z)
            for (int32_t y = 0; y < height; ++y)
                for (int32_t x = 0; x < 3; ++x)
                    v.SetVoxel(x, y, z, uint16_t(100 * z + 10 * y + x));
        XFlipVVolumeTool::Flip(v);
        for (int32_t z = 0; z < 2; ++z)
            for (int32_t y = 0; y < height; ++y)
                for (int32_t x = 0; x < 3; ++x)
                    ASSERT_EQ(v.GetVoxel(x, y, z), 100 * z + 10 * (height - 1 - y) + x) << height << ": " << x << "," << y << "," << z;
    }
    XGrey8Volume empty;
    XFlipVVolumeTool::Flip(empty); // nothing to do, nothing to break
}

TEST(SwapBuffer32, ARGBBecomesBGRAAndBack)
{
    XARGB32Volume argb(2, 1, 1);
    argb.SetVoxel(0, 0, XARGB32Colour(1, 2, 3, 4));
    argb.SetVoxel(1, 0, XARGB32Colour(255, 128, 64, 0));
    XBGRA32Volume bgra(2, 1, 1);
    SwapBuffer32(argb.GetData(), bgra.GetData(), 2);
    EXPECT_EQ(bgra.GetVoxel(0, 0), XBGRA32Colour(XARGB32Colour(1, 2, 3, 4)));
    EXPECT_EQ(bgra.GetVoxel(1, 0).ToARGB32(), XARGB32Colour(255, 128, 64, 0));
    SwapBuffer32(bgra.GetData(), 2);
    EXPECT_EQ(std::memcmp(bgra.GetData(), argb.GetData(), 8), 0);
    // Both colour types read as 32-bit numbers in their own memory agree on 0xAARRGGBB.
    EXPECT_EQ(XBGRA32Colour(XARGB32Colour(1, 2, 3, 4)).GetPacked(), XARGB32Colour(1, 2, 3, 4).GetPacked());
    uint32_t word;
    std::memcpy(&word, bgra.GetData(), 4); // in place the buffer is ARGB again
    EXPECT_EQ(word, 0x04030201u);
}

TEST(XRGBFloat32Colour, RoundsAndClampsToBytes)
{
    EXPECT_EQ(XRGBFloat32Colour(0.5f, -1.0f, 2.0f).ToARGB32(), XARGB32Colour(255, 128, 0, 255));
    EXPECT_EQ(XRGBFloat32Colour(NAN, 0.0f, 1.0f).ToARGB32(), XARGB32Colour(255, 0, 0, 255));
    XRGBFloat32Colour c(XARGB32Colour(0, 51, 102, 255));
    EXPECT_FLOAT_EQ(c.red, 0.2f);
    EXPECT_EQ(c.ToARGB32(), XARGB32Colour(255, 51, 102, 255));
}

TEST(XExtendedFocusTool, BrightestAlongZWithFocusMap)
{
    XGrey16Volume stack(X3DRect(1, 1, 5, 4, 2, 8)); // 3 × 1 × 3, front 5
    const uint16_t values[3][3] = {{5, 1, 7}, {9, 1, 7}, {2, 3, 7}}; // [z][x]
    for (int32_t z = 0; z < 3; ++z)
        for (int32_t x = 0; x < 3; ++x)
            stack.SetVoxel(x, 0, z, values[z][x]);
    XGrey16Volume focus;
    auto image = XExtendedFocusTool::MakeExtendedFocusImage(stack, &focus);
    EXPECT_EQ(image->GetBounds(), X3DRect(1, 1, 5, 4, 2, 6));
    // Ties (the third column) stay with the front plane.
    const uint16_t brightest[3] = {9, 3, 7}, plane[3] = {1, 2, 0};
    for (int32_t x = 0; x < 3; ++x) {
        EXPECT_EQ(static_cast<XGrey16Volume&>(*image).GetVoxel(x, 0), brightest[x]) << x;
        EXPECT_EQ(focus.GetVoxel(x, 0), plane[x]) << x;
    }
    auto noMap = XExtendedFocusTool::MakeExtendedFocusImage(stack);
    EXPECT_EQ(std::memcmp(noMap->GetData(), image->GetData(), image->GetDataSize()), 0);
}

TEST(XExtendedFocusTool, FloatNaNAndColour)
{
    XFloat32Volume f(2, 1, 2);
    f.SetVoxel(0, 0, 0, NAN);
    f.SetVoxel(0, 0, 1, 0.25f);
    f.SetVoxel(1, 0, 0, 0.5f);
    f.SetVoxel(1, 0, 1, NAN);
    auto image = XExtendedFocusTool::MakeExtendedFocusImage(f);
    EXPECT_FLOAT_EQ(static_cast<XFloat32Volume&>(*image).GetVoxel(0, 0), 0.25f);
    EXPECT_FLOAT_EQ(static_cast<XFloat32Volume&>(*image).GetVoxel(1, 0), 0.5f);

    XARGB32Volume colour(1, 1, 2);
    colour.SetVoxel(0, 0, 0, XARGB32Colour(255, 200, 0, 0));
    colour.SetVoxel(0, 0, 1, XARGB32Colour(0, 100, 100, 100)); // brighter in sum, whatever its alpha
    auto picture = XExtendedFocusTool::MakeExtendedFocusImage(colour);
    EXPECT_EQ(static_cast<XARGB32Volume&>(*picture).GetVoxel(0, 0), XARGB32Colour(0, 100, 100, 100));
    EXPECT_TRUE(XExtendedFocusTool::MakeExtendedFocusImage(XGrey8Volume())->IsEmpty());
}

TEST(X3DRegion, RunsMergeAndCount)
{
    X3DRegion region;
    region.AddRun(0, 0, 5, 8);
    region.AddRun(0, 0, 1, 3);
    region.AddRun(0, 0, 3, 5); // joins the two runs either side
    region.AddVoxel(X3DPoint(9, 0, 0));
    region.AddRun(2, 1, 0, 2);
    region.AddRun(0, 0, 4, 4); // empty
    ASSERT_EQ(region.GetRuns().size(), 3u);
    EXPECT_EQ(region.GetRuns()[0], (X3DRegion::XRun{0, 0, 1, 8}));
    EXPECT_EQ(region.GetRuns()[1], (X3DRegion::XRun{0, 0, 9, 10}));
    EXPECT_EQ(region.GetVoxelCount(), 7u + 1u + 2u);
    EXPECT_TRUE(region.Contains(X3DPoint(7, 0, 0)));
    EXPECT_FALSE(region.Contains(X3DPoint(8, 0, 0)));
    EXPECT_TRUE(region.Contains(X3DPoint(9, 0, 0)));
    EXPECT_TRUE(region.Contains(X3DPoint(1, 2, 1)));
    EXPECT_FALSE(region.Contains(X3DPoint(1, 2, 0)));
    EXPECT_EQ(region.GetBounds(), X3DRect(0, 0, 0, 10, 3, 2));
    region.AddBox(X3DRect(0, 0, 0, 10, 1, 1)); // covers the first row whole
    EXPECT_EQ(region.GetRuns().size(), 2u);
    EXPECT_EQ(region.GetVoxelCount(), 12u);
}

TEST(X3DRegion, MaskVolumeOfTheRegion)
{
    X3DRegion region(X3DRect(2, 3, 4, 5, 5, 6), XARGB32Colour::kRed);
    region.AddVoxel(X3DPoint(6, 3, 4));
    XMaskVolume mask = region.GetMaskVolume();
    ASSERT_EQ(mask.GetBounds(), X3DRect(2, 3, 4, 7, 5, 6));
    uint64_t set = 0;
    for (int32_t z = 0; z < mask.GetDepth(); ++z)
        for (int32_t y = 0; y < mask.GetHeight(); ++y)
            for (int32_t x = 0; x < mask.GetWidth(); ++x) {
                bool inside = region.Contains(X3DPoint(x + 2, y + 3, z + 4));
                ASSERT_EQ(mask.GetVoxel(x, y, z), inside ? 255 : 0) << x << "," << y << "," << z;
                set += inside;
            }
    EXPECT_EQ(set, 13u);
    // And back: a region made from the mask is the same set of voxels.
    EXPECT_EQ(X3DRegion(mask, XARGB32Colour::kRed), region);
    // A mask over a smaller box leaves out what lies outside.
    XMaskVolume part = region.GetMaskVolume(X3DRect(4, 3, 4, 7, 4, 5));
    EXPECT_EQ(part.GetVoxel(0, 0, 0), 255);
    EXPECT_EQ(part.GetVoxel(1, 0, 0), 0);
    EXPECT_EQ(part.GetVoxel(2, 0, 0), 255);
    EXPECT_TRUE(X3DRegion().GetMaskVolume().IsEmpty());
}

TEST(X3DRegion, FindObjectsSplitsVoxelsAboveTheThresholdIntoFaceConnectedObjects)
{
    struct XVoxel {
        int32_t x, y, z;
        uint16_t value;
    };
    const struct {
        const char* name;
        std::vector<XVoxel> voxels;
        double threshold;
        std::vector<uint64_t> sizes; // in the order of each object's first voxel (z, y, x)
    } cases[] = {
        {"touching along an edge only", {{0, 0, 0, 200}, {1, 1, 0, 200}}, 100, {1, 1}},
        {"touching at a corner only", {{0, 0, 0, 200}, {1, 1, 1, 200}}, 100, {1, 1}},
        {"a face between planes", {{2, 2, 0, 200}, {2, 2, 1, 200}}, 100, {2}},
        {"a U joined at its foot, then a lone voxel",
         {{5, 4, 3, 200}, {0, 1, 0, 200}, {2, 1, 0, 200}, {0, 0, 0, 200}, {1, 0, 0, 200}, {2, 0, 0, 200}}, 100, {5, 1}},
        {"a later row reaching back under an earlier object", {{4, 0, 0, 200}, {0, 1, 0, 200}, {1, 1, 0, 200},
         {2, 1, 0, 200}, {3, 1, 0, 200}, {4, 1, 0, 200}}, 100, {6}},
        {"equal to the threshold is not above it", {{1, 1, 1, 100}, {3, 3, 3, 101}}, 100, {1}},
        {"16-bit values", {{1, 1, 1, 1000}, {3, 3, 3, 400}}, 500, {1}},
        {"nothing above", {{1, 1, 1, 50}}, 100, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        XGrey16Volume volume(X3DRect(10, 20, 30, 16, 25, 34));
        for (int32_t z = 0; z < 4; ++z)
            for (int32_t y = 0; y < 5; ++y)
                std::memset(volume.GetRowPtr(y, z), 0, 12);
        for (const XVoxel& v : c.voxels)
            std::memcpy(volume.GetVoxelPtr(v.x, v.y, v.z), &v.value, 2);
        const std::vector<X3DRegion> objects = X3DRegion::FindObjects(volume, c.threshold, XARGB32Colour::kRed);
        std::vector<uint64_t> sizes;
        for (const X3DRegion& object : objects) {
            sizes.push_back(object.GetVoxelCount());
            EXPECT_EQ(object.GetColour(), XARGB32Colour::kRed);
        }
        EXPECT_EQ(sizes, c.sizes);
        // Every voxel above lies in exactly one object, at the volume's own coordinates.
        for (const XVoxel& v : c.voxels) {
            int holders = 0;
            for (const X3DRegion& object : objects)
                holders += object.Contains(X3DPoint(10 + v.x, 20 + v.y, 30 + v.z)) ? 1 : 0;
            EXPECT_EQ(holders, v.value > c.threshold ? 1 : 0) << v.x << "," << v.y << "," << v.z;
        }
    }
}
