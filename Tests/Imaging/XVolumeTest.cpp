#include "XARGB32Volume.h"
#include "XBGRA32Volume.h"
#include "XErrorCode.h"
#include "XException.h"
#include "XFloat32Volume.h"
#include "XGrey16Volume.h"
#include "XGrey8Volume.h"
#include "XLock.h"
#include "XMaskVolume.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <thread>

namespace {
// A 7 × 5 × 3 stack away from the origin whose every voxel tells where it came from.
XGrey16Volume MakeNumberedStack()
{
    XGrey16Volume v(X3DRect(2, -1, 4, 9, 4, 7));
    for (int32_t z = 0; z < 3; ++z)
        for (int32_t y = 0; y < 5; ++y)
            for (int32_t x = 0; x < 7; ++x)
                v.SetVoxel(x, y, z, uint16_t(1000 * z + 10 * y + x));
    v.SetCalibration(0.5, 0.25, 2.0);
    v.SetChannelName(0, "DAPI");
    return v;
}
} // namespace

TEST(XVolume, LayoutOfThePackedVolumes)
{
    XGrey16Volume grey(7, 5, 3);
    EXPECT_EQ(grey.GetDataSize(), 210u);
    EXPECT_EQ(grey.GetRowPtr(2, 1) - grey.GetData(), 70 + 28); // a plane of 70 bytes, rows of 14
    XARGB32Volume argb(XRect(0, 0, 3, 2));
    EXPECT_TRUE(argb.IsXYPlane());
    EXPECT_EQ(argb.GetVoxelPtr(1, 1, 0) - argb.GetData(), 12 + 4);
    for (size_t i = 0; i < argb.GetDataSize(); ++i)
        ASSERT_EQ(argb.GetData()[i], 0) << "new volumes are zero-filled";
    // The ARGB colour's bytes sit in memory as alpha, red, green, blue.
    argb.SetVoxel(1, 0, XARGB32Colour(1, 2, 3, 4));
    const uint8_t* p = argb.GetVoxelPtr(1, 0, 0);
    EXPECT_EQ(std::vector<uint8_t>(p, p + 4), (std::vector<uint8_t>{1, 2, 3, 4}));
    XBGRA32Volume bgra(1, 1, 1);
    bgra.SetVoxel(0, 0, XBGRA32Colour(XARGB32Colour(1, 2, 3, 4)));
    EXPECT_EQ(bgra.GetData()[0], 4);
    EXPECT_EQ(bgra.GetData()[3], 1);
}

TEST(XVolume, BadBoundsAndCalibrationAreRefused)
{
    EXPECT_THROW(XGrey8Volume(X3DRect(5, 0, 0, 4, 1, 1)), XException);
    EXPECT_THROW(XGrey8Volume(X3DRect(0, 0, 0, 1 << 30, 1 << 30, 1 << 30)), XException);
    XGrey8Volume empty(X3DRect(0, 0, 0, 4, 4, 0));
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(empty.GetData(), nullptr);
    XGrey8Volume v(2, 2, 2);
    EXPECT_THROW(v.SetCalibration(1.0, 0.0, 1.0), XException);
    EXPECT_THROW(v.SetCalibration(NAN, 1.0, 1.0), XException);
    EXPECT_DOUBLE_EQ(v.GetCalibrationY(), 1.0); // unchanged by the refused call
    EXPECT_EQ(CodeOf([&] { v.SetBounds(X3DRect(0, 0, 0, -1, 2, 2)); }), XException::kBadArgument) << "inverted bounds";
}

TEST(XVolume, SetBoundsKeepsVoxelsWhenOnlyMoving)
{
    XGrey8Volume v(3, 2, 1);
    v.SetVoxel(2, 1, 0, 77);
    v.SetOrigin(X3DPoint(10, 20, 30));
    EXPECT_EQ(v.GetBounds(), X3DRect(10, 20, 30, 13, 22, 31));
    EXPECT_EQ(v.GetVoxel(2, 1, 0), 77);
    v.SetBounds(X3DRect(0, 0, 0, 3, 2, 1));
    EXPECT_EQ(v.GetVoxel(2, 1, 0), 77);
    v.SetBounds(X3DRect(0, 0, 0, 4, 2, 1));
    EXPECT_EQ(v.GetDataSize(), 8u);
    EXPECT_EQ(v.GetVoxel(2, 1, 0), 0);
}

TEST(XVolume, PlaneCopiesMatchVoxelByVoxel)
{
    // XY planes as they are, XZ planes with z down the picture, YZ planes with z across it.
    const XGrey16Volume v = MakeNumberedStack();
    struct XCase {
        const char* name;
        std::vector<std::unique_ptr<XVolume>> planes;
        size_t count;
        X3DRect firstBounds;
        double calibrationX, calibrationY, calibrationZ;
        std::function<uint16_t(int32_t inPlane, int32_t inX, int32_t inY)> stackVoxel;
    };
    XCase cases[] = {
        {"XY", v.XYPlanesToVolumeList(), 3, X3DRect(2, -1, 4, 9, 4, 5), 0.5, 0.25, 2.0,
         [&](int32_t p, int32_t x, int32_t y) { return v.GetVoxel(x, y, p); }},
        {"XZ", v.XZPlanesToVolumeList(), 5, X3DRect(2, 4, -1, 9, 7, 0), 0.5, 2.0, 0.25,
         [&](int32_t p, int32_t x, int32_t y) { return v.GetVoxel(x, p, y); }},
        {"YZ", v.YZPlanesToVolumeList(), 7, X3DRect(4, -1, 2, 7, 4, 3), 2.0, 0.25, 0.5,
         [&](int32_t p, int32_t x, int32_t y) { return v.GetVoxel(p, y, x); }},
    };
    for (XCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(c.planes.size(), c.count);
        for (int32_t p = 0; p < int32_t(c.planes.size()); ++p) {
            auto& plane = static_cast<XGrey16Volume&>(*c.planes[size_t(p)]);
            EXPECT_EQ(plane.GetBounds(), c.firstBounds.Offsetted(0, 0, p));
            EXPECT_DOUBLE_EQ(plane.GetCalibrationX(), c.calibrationX);
            EXPECT_DOUBLE_EQ(plane.GetCalibrationY(), c.calibrationY);
            EXPECT_DOUBLE_EQ(plane.GetCalibrationZ(), c.calibrationZ);
            EXPECT_EQ(plane.GetChannelName(0), "DAPI");
            for (int32_t y = 0; y < plane.GetHeight(); ++y)
                for (int32_t x = 0; x < plane.GetWidth(); ++x)
                    ASSERT_EQ(plane.GetVoxel(x, y), c.stackVoxel(p, x, y)) << "plane " << p << " at " << x << "," << y;
        }
    }
}

TEST(XVolume, PlaneCopiesOfEveryWidth)
{
    // One-, two- and four-byte voxels take different copy paths.
    XARGB32Volume argb(3, 2, 4);
    XGrey8Volume grey(3, 2, 4);
    for (int32_t z = 0; z < 4; ++z)
        for (int32_t y = 0; y < 2; ++y)
            for (int32_t x = 0; x < 3; ++x) {
                argb.SetVoxel(x, y, z, XARGB32Colour(uint8_t(x), uint8_t(y), uint8_t(z), 9));
                grey.SetVoxel(x, y, z, uint8_t(100 * y + 10 * z + x));
            }
    auto yzColour = argb.CopyYZPlane(2);
    auto yzGrey = grey.CopyYZPlane(1);
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t z = 0; z < 4; ++z) {
            EXPECT_EQ(static_cast<XARGB32Volume&>(*yzColour).GetVoxel(z, y), XARGB32Colour(2, uint8_t(y), uint8_t(z), 9));
            EXPECT_EQ(static_cast<XGrey8Volume&>(*yzGrey).GetVoxel(z, y), uint8_t(100 * y + 10 * z + 1));
        }
    EXPECT_EQ(yzColour->GetVoxelType(), XVoxelType::kARGB32);
}

TEST(XVolume, PlaneOutsideTheVolumeIsRefused)
{
    XGrey16Volume v = MakeNumberedStack();
    EXPECT_THROW(v.CopyXYPlane(3), XException);  // local index, not a bounds coordinate
    EXPECT_THROW(v.CopyXYPlane(7), XException);  // the back edge is exclusive
    EXPECT_THROW(v.CopyXZPlane(4), XException);
    EXPECT_THROW(v.CopyYZPlane(1), XException);
    EXPECT_NO_THROW(v.CopyXZPlane(-1));
    EXPECT_NO_THROW(v.CopyYZPlane(8));
}

TEST(XVolume, CloneAndCopyAreDeep)
{
    XGrey16Volume v = MakeNumberedStack();
    v.SetImageRenderer(XImageRenderer(XARGB32Colour::kGreen, 10, 500));
    std::unique_ptr<XVolume> clone = v.Clone();
    XGrey16Volume copy = v;
    v.SetVoxel(0, 0, 0, 4242);
    auto& c = static_cast<XGrey16Volume&>(*clone);
    EXPECT_EQ(c.GetVoxel(0, 0, 0), 0);
    EXPECT_EQ(copy.GetVoxel(0, 0, 0), 0);
    EXPECT_EQ(c.GetVoxel(6, 4, 2), 2046);
    EXPECT_EQ(c.GetBounds(), v.GetBounds());
    EXPECT_DOUBLE_EQ(c.GetCalibrationZ(), 2.0);
    ASSERT_NE(c.GetImageRenderer(), nullptr);
    EXPECT_EQ(c.GetImageRenderer()->GetColour(), XARGB32Colour::kGreen);
    EXPECT_EQ(c.GetChannelName(0), "DAPI");
}

TEST(XVolume, ConversionsThroughTheNominalRange)
{
    XGrey16Volume grey(3, 1, 1);
    grey.SetVoxel(0, 0, 0, 0);
    grey.SetVoxel(1, 0, 0, 65535);
    grey.SetVoxel(2, 0, 0, 32896); // 128 × 257
    XARGB32Volume argb;
    grey.CopyOutToARGB32Volume(argb);
    ASSERT_EQ(argb.GetBounds(), grey.GetBounds());
    EXPECT_EQ(argb.GetVoxel(0, 0), XARGB32Colour(255, 0, 0, 0));
    EXPECT_EQ(argb.GetVoxel(1, 0), XARGB32Colour(255, 255, 255, 255));
    EXPECT_EQ(argb.GetVoxel(2, 0), XARGB32Colour(255, 128, 128, 128));

    XARGB32Volume colour(2, 1, 1);
    colour.SetVoxel(0, 0, XARGB32Colour(255, 255, 0, 0));
    colour.SetVoxel(1, 0, XARGB32Colour(7, 10, 20, 30));
    XGrey8Volume luminance;
    colour.CopyOutToGrey8Volume(luminance);
    EXPECT_EQ(luminance.GetVoxel(0, 0), 76); // 0.299 × 255
    EXPECT_EQ(luminance.GetVoxel(1, 0), 18); // 2.99 + 11.74 + 3.42
    XBGRA32Volume bgra;
    colour.CopyOutToBGRA32Volume(bgra);
    EXPECT_EQ(bgra.GetVoxel(1, 0), XBGRA32Colour(30, 20, 10, 7));

    XFloat32Volume f(4, 1, 1);
    const float values[] = {-1.0f, 0.5f, 7.0f, NAN};
    const uint8_t levels[] = {0, 128, 255, 0};
    for (int32_t x = 0; x < 4; ++x)
        f.SetVoxel(x, 0, values[x]);
    XGrey8Volume g;
    f.CopyOutToGrey8Volume(g);
    for (int32_t x = 0; x < 4; ++x)
        EXPECT_EQ(g.GetVoxel(x, 0), levels[x]) << values[x];
    XFloat32Volume back;
    g.CopyOutToFloat32Volume(back);
    EXPECT_FLOAT_EQ(back.GetVoxel(1, 0), 128.0f / 255.0f);
}

TEST(XVolume, DrawIntoBGRA32UsesTheRenderer)
{
    XGrey16Volume v(3, 1, 1);
    v.SetVoxel(0, 0, 0, 100);
    v.SetVoxel(1, 0, 0, 300);
    v.SetVoxel(2, 0, 0, 1000);
    v.SetImageRenderer(XImageRenderer(XARGB32Colour(255, 255, 128, 0), 100, 600));
    XBGRA32Volume picture;
    v.DrawIntoBGRA32Volume(picture);
    EXPECT_EQ(picture.GetVoxel(0, 0), XBGRA32Colour(0, 0, 0, 255));
    EXPECT_EQ(picture.GetVoxel(1, 0), XBGRA32Colour(0, 51, 102, 255)); // level 102 of (255, 128, 0)
    EXPECT_EQ(picture.GetVoxel(2, 0), XBGRA32Colour(0, 128, 255, 255));
}

TEST(XVolume, ReadLocksAreShared)
{
    XGrey8Volume v(1, 1, 1);
    XLock a(v, kLockRead);
    bool otherReaderGotIn = false;
    std::thread reader([&] {
        XLock b(v, kLockRead); // does not wait for a
        otherReaderGotIn = true;
    });
    reader.join();
    EXPECT_TRUE(otherReaderGotIn);
}
