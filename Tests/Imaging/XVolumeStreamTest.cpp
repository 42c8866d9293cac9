#include "XClassRegistry.h"
#include "XErrorCode.h"
#include "XException.h"
#include "XFloat32Volume.h"
#include "XGrey16Volume.h"
#include "XGrey8Volume.h"
#include "XStream.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
XGrey16Volume MakeSample()
{
    XGrey16Volume v(X3DRect(-2, 3, 1, 3, 6, 3));
    for (uint64_t i = 0; i < v.GetVoxelCount(); ++i)
        v.GetVoxelLayer(0)[i] = uint16_t(i * 977);
    v.SetCalibration(0.2, 0.3, 1.5);
    v.SetChannelName(0, "GFP µ");
    v.SetImageRenderer(XImageRenderer(XARGB32Colour::kGreen, 12, 3400, 0.8, 40));
    return v;
}

void ExpectSame(const XVolume& a, const XVolume& b)
{
    EXPECT_EQ(a.GetVoxelType(), b.GetVoxelType());
    EXPECT_EQ(a.GetBounds(), b.GetBounds());
    EXPECT_DOUBLE_EQ(a.GetCalibrationZ(), b.GetCalibrationZ());
    EXPECT_EQ(a.GetChannelName(0), b.GetChannelName(0));
    ASSERT_EQ(a.GetDataSize(), b.GetDataSize());
    if (a.GetDataSize() > 0) { // an empty volume has no data block at all
        EXPECT_EQ(std::memcmp(a.GetData(), b.GetData(), a.GetDataSize()), 0);
    }
    ASSERT_EQ(a.GetImageRenderer() != nullptr, b.GetImageRenderer() != nullptr);
    if (a.GetImageRenderer()) {
        EXPECT_EQ(*a.GetImageRenderer(), *b.GetImageRenderer());
    }
}
} // namespace

TEST(XVolumeStream, RoundTripThroughTheClassRegistry)
{
    XGrey16Volume v = MakeSample();
    XStream stream;
    XClassRegistry::WriteObject(stream, v);
    EXPECT_EQ(XClassRegistry::GetObjectStreamUsage(v), stream.GetSize());
    stream.Rewind();
    std::unique_ptr<XStorable> read = XClassRegistry::ReadObject(stream);
    auto* volume = dynamic_cast<XGrey16Volume*>(read.get());
    ASSERT_NE(volume, nullptr);
    ExpectSame(*volume, v);

    XFloat32Volume empty; // no voxels, no renderer
    XStream s2;
    empty.WriteStream2(s2);
    s2.Rewind();
    XFloat32Volume back(2, 2, 2);
    back.ReadStream2(s2);
    ExpectSame(back, empty);
}

TEST(XVolumeStream, DamagedStreamsAreRefusedAndChangeNothing)
{
    XGrey16Volume v = MakeSample();
    XStream good;
    v.WriteStream2(good);
    const std::vector<uint8_t>& bytes = good.GetBuffer();

    XGrey16Volume target(1, 1, 1);
    target.SetVoxel(0, 0, 0, 7);
    auto expectRefused = [&](std::vector<uint8_t> inBytes, int32_t inCode) {
        XStream s(std::move(inBytes));
        EXPECT_EQ(CodeOf([&] { target.ReadStream2(s); }), inCode);
        EXPECT_EQ(target.GetBounds(), X3DRect(0, 0, 0, 1, 1, 1));
        EXPECT_EQ(target.GetVoxel(0, 0, 0), 7);
    };
    // Cut short inside the voxels.
    expectRefused(std::vector<uint8_t>(bytes.begin(), bytes.end() - 3), XException::kStreamEnded);
    // Another layout: an 8-bit reader of a 16-bit stream.
    XGrey8Volume grey;
    XStream other(bytes);
    EXPECT_THROW(grey.ReadStream2(other), XException);
    // A byte count that does not match the bounds (the count sits just before the voxels).
    std::vector<uint8_t> wrongCount = bytes;
    size_t countAt = bytes.size() - v.GetDataSize() - 8;
    wrongCount[countAt] ^= 2;
    expectRefused(wrongCount, XException::kStreamCorrupt);
    // Inverted bounds: right (the fourth edge, after version and layout) far left of left.
    std::vector<uint8_t> inverted = bytes;
    uint32_t minusHundred = uint32_t(-100);
    std::memcpy(inverted.data() + 4 + 1 + 12, &minusHundred, 4);
    expectRefused(inverted, XException::kStreamCorrupt);
    // A newer version than this reader knows.
    std::vector<uint8_t> newer = bytes;
    newer[0] = 9;
    expectRefused(newer, XException::kStreamNewerVersion);
}
