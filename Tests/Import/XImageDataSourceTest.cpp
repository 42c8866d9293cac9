#include "XDataVolume.h"
#include "XDataVolumeSequence.h"
#include "XException.h"
#include "XFloat32Volume.h"
#include "XGrey16Volume.h"
#include "XImageDataSource.h"
#include "XImageRenderer.h"
#include "XListener.h"
#include "XSampleDB.h"
#include "XErrorCode.h"

#include <gtest/gtest.h>

namespace {

std::shared_ptr<XGrey16Volume> MakeVolume(const X3DRect& inBounds, uint16_t inBase)
{
    auto v = std::make_shared<XGrey16Volume>(inBounds);
    for (int32_t z = 0; z < v->GetDepth(); ++z)
        for (int32_t y = 0; y < v->GetHeight(); ++y)
            for (int32_t x = 0; x < v->GetWidth(); ++x)
                v->SetVoxel(x, y, z, uint16_t(inBase + x + 10 * y));
    return v;
}

struct Counter : XListener {
    int heard = 0;
    void HandleMessage(const XMessage& inMessage) override
    {
        heard += dynamic_cast<const XImageDataSource::XDataChangedMessage*>(&inMessage) != nullptr;
    }
};

} // namespace

TEST(XImageDataSource, AnswersFromTheSequence)
{
    auto sequence = std::make_shared<XDataVolumeSequence>(2, 3);
    for (uint32_t t = 1; t <= 3; ++t)
        sequence->SetVolume(1, t, MakeVolume(X3DRect(0, 0, 0, 4, 3, 5), uint16_t(t * 100)));
    // The second channel is a single plane, offset in x.
    sequence->SetVolume(2, 2, MakeVolume(X3DRect(2, 0, 1, 7, 3, 2), 7));
    sequence->SetRenderer(2, XImageRenderer(XARGB32Colour::kRed, 0, 100));
    XImageDataSource source(sequence);

    EXPECT_EQ(source.GetChannelBounds(1), X3DRect(0, 0, 0, 4, 3, 5));
    EXPECT_EQ(source.GetChannelBounds(2), X3DRect(2, 0, 1, 7, 3, 2));
    EXPECT_EQ(source.GetBounds(), X3DRect(0, 0, 0, 7, 3, 5));
    EXPECT_EQ(source.GetChannelColour(2), XARGB32Colour::kRed);
    EXPECT_EQ(source.GetVolumeCopy(2, 1), nullptr);
    EXPECT_THROW(source.GetVolumeCopy(3, 1), XException);

    // A copy is the caller's own: changing it leaves the source alone.
    std::unique_ptr<XVolume> copy = source.GetVolumeCopy(1, 2);
    ASSERT_TRUE(copy);
    static_cast<XGrey16Volume&>(*copy).SetVoxel(0, 0, 0, uint16_t(9));
    EXPECT_EQ(static_cast<const XGrey16Volume&>(*source.GetVolume(1, 2)).GetVoxel(0, 0, 0), 200);
    EXPECT_EQ(source.GetTemplateVolume().get(), source.GetVolume(1, 1).get());
}

TEST(XImageDataSource, ExtendedFocusIsTheMaximumAlongZ)
{
    auto v = std::make_shared<XFloat32Volume>(X3DRect(0, 0, 3, 3, 2, 7));
    v->Fill(1.0f);
    v->SetVoxel(0, 0, 2, 9.0f); // z = front + 2 = 5
    v->SetVoxel(1, 0, 0, std::nanf(""));
    v->SetVoxel(1, 0, 3, 4.0f);
    v->SetVoxel(2, 1, 1, -3.0f);
    auto sequence = std::make_shared<XDataVolumeSequence>(1, 1);
    sequence->SetVolume(1, 1, v);
    XImageDataSource source(sequence);

    std::unique_ptr<XVolume> focus = source.GetExtendedFocusImage(1, 1);
    ASSERT_TRUE(focus);
    EXPECT_EQ(focus->GetBounds(), X3DRect(0, 0, 3, 3, 2, 4));
    auto& f = static_cast<XFloat32Volume&>(*focus);
    EXPECT_EQ(f.GetVoxel(0, 0), 9.0f);
    EXPECT_EQ(f.GetVoxel(1, 0), 4.0f); // NaN does not hide the brightest number
    EXPECT_EQ(f.GetVoxel(2, 1), 1.0f);

    std::shared_ptr<const XVolume> map = source.GetFocusMap(1, 1);
    ASSERT_TRUE(map);
    auto& m = static_cast<const XFloat32Volume&>(*map);
    EXPECT_EQ(m.GetVoxel(0, 0), 5.0f);
    EXPECT_EQ(m.GetVoxel(1, 0), 6.0f);
    EXPECT_EQ(m.GetVoxel(2, 1), 3.0f); // ties keep the first (front) slice

    // Each call hands out a new image; the cache does not leak changes between callers.
    f.SetVoxel(0, 0, 0, 0.0f);
    EXPECT_EQ(static_cast<XFloat32Volume&>(*source.GetExtendedFocusImage(1, 1)).GetVoxel(0, 0), 9.0f);
}

TEST(XImageDataSource, FollowsItsDatabaseSampleOnReload)
{
    XSampleDB& db = XSampleDB::GetDB();
    auto first = std::make_unique<XDataVolumeSequence>(1, 1);
    first->SetVolume(1, 1, MakeVolume(X3DRect(0, 0, 0, 2, 2, 2), 1));
    uint32_t id = db.AddSample(std::move(first));
    XImageDataSource source(id);
    Counter counter;
    counter.Subscribe(source);
    EXPECT_EQ(source.GetSampleID(), id);
    EXPECT_EQ(static_cast<XGrey16Volume&>(*source.GetExtendedFocusImage(1, 1)).GetVoxel(0, 0), 1);

    // Replace the sample's data; the source sees it only after Reload, which tells listeners.
    XSampleDB::XSnapshot snapshot = db.GetSnapshotForWrite(id);
    auto changed = std::make_unique<XDataVolumeSequence>(static_cast<const XDataVolumeSequence&>(*snapshot.sample));
    changed->SetVolume(1, 1, MakeVolume(X3DRect(0, 0, 0, 2, 2, 2), 50));
    db.CommitSample(id, std::move(changed), snapshot.generation);
    EXPECT_EQ(static_cast<XGrey16Volume&>(*source.GetExtendedFocusImage(1, 1)).GetVoxel(0, 0), 1);
    source.Reload();
    EXPECT_EQ(counter.heard, 1);
    EXPECT_EQ(static_cast<XGrey16Volume&>(*source.GetExtendedFocusImage(1, 1)).GetVoxel(0, 0), 50);

    EXPECT_EQ(CodeOf([&] { XImageDataSource missing(id + 1000); }), XException::kNoSuchSample);
    uint32_t plain = db.AddSample(std::make_unique<XDataVolume>());
    EXPECT_EQ(CodeOf([&] { XImageDataSource wrong(plain); }), XException::kWrongSampleType);
    EXPECT_EQ(CodeOf([&] { XImageDataSource none{std::shared_ptr<const XDataVolumeSequence>()}; }), XException::kBadArgument);
    db.RemoveSample(id);
    db.RemoveSample(plain);
}
