#include "XAssertRecorder.h"
#include "XDBGetMutableSample.h"
#include "XDBGetSample.h"
#include "XDataPlaceholder.h"
#include "XDataVolume.h"
#include "XDataVolumeSequence.h"
#include "XException.h"
#include "XGrey16Volume.h"
#include "XSampleDB.h"
#include "XSamplePrefsSaver.h"
#include "XErrorCode.h"

#include <gtest/gtest.h>
#include <thread>

namespace {
class SampleDB : public ::testing::Test {
protected:
    void SetUp() override { XSampleDB::GetDB().Clear(); }
    void TearDown() override { XSampleDB::GetDB().Clear(); }

    static uint32_t AddSequence(uint32_t inChannels, uint32_t inTimepoints)
    {
        auto sequence = std::make_unique<XDataVolumeSequence>(inChannels, inTimepoints);
        sequence->SetName("cells");
        return XSampleDB::GetDB().AddSample(std::move(sequence));
    }
    static uint32_t AddVolume()
    {
        auto volume = std::make_unique<XDataVolume>(std::make_shared<XGrey16Volume>(4, 3, 2));
        volume->SetRenderer(XImageRenderer(XARGB32Colour::kGreen, 0, 4095));
        return XSampleDB::GetDB().AddSample(std::move(volume));
    }
};
} // namespace

TEST_F(SampleDB, TypesAndAncestry)
{
    XSampleDB& db = XSampleDB::GetDB();
    const uint32_t sequence = AddSequence(2, 3);
    const uint32_t volume = AddVolume();
    EXPECT_NE(sequence, 0u);
    EXPECT_NE(sequence, volume);

    EXPECT_TRUE(db.GetSampleType(sequence).IsA(XVersion(XDataVolumeSequence::kSampleType)));
    EXPECT_TRUE(db.GetSampleType(sequence).IsA(XVersion(XDataSample::kSampleType)));
    EXPECT_FALSE(db.GetSampleType(volume).IsA(XVersion(XDataVolumeSequence::kSampleType)));
    EXPECT_TRUE(db.GetSampleType(volume).IsA(XVersion(XDataVolume::kSampleType)));

    EXPECT_EQ(CodeOf([&] { db.GetSampleType(0); }), XException::kNoSuchSample);
    EXPECT_EQ(CodeOf([&] { db.GetSampleType(123456); }), XException::kNoSuchSample);
    EXPECT_EQ(CodeOf([&] { db.AddSample(nullptr); }), XException::kBadArgument);
}

TEST_F(SampleDB, ReadAccessChecksTheDynamicType)
{
    const uint32_t volume = AddVolume();
    XDBGetSample<XDataVolumeSequence> wrong(volume);
    EXPECT_FALSE(wrong.IsA());
    EXPECT_EQ(CodeOf([&] { wrong.Get(); }), XException::kWrongSampleType);

    XDBGetSample<XDataVolume> right(volume);
    std::unique_ptr<XImageRenderer> renderer(right.Get().GetRendererCopy());
    ASSERT_TRUE(renderer);
    EXPECT_EQ(renderer->GetColour(), XARGB32Colour::kGreen);
    EXPECT_EQ(right.Get().GetVolume()->GetWidth(), 4);

    // The base class reads anything.
    XDBGetSample<XDataSample> any(volume);
    EXPECT_EQ(any.Get().GetSampleType(), XVersion(XDataVolume::kSampleType));

    EXPECT_EQ(CodeOf([&] { XDBGetSample<XDataVolume> absent(volume + 1000); }), XException::kNoSuchSample);
    EXPECT_EQ(CodeOf([&] { XDBGetMutableSample<XDataVolumeSequence> m(volume); m.Get(); }),
              XException::kWrongSampleType);
}

TEST_F(SampleDB, MutableAccessChangesOnlyOnCommit)
{
    const uint32_t id = AddSequence(3, 2);
    {
        XDBGetMutableSample<XDataVolumeSequence> m(id);
        m.Get().SetChannelHidden(2, true);
        m.Get().SetChannelName(1, "DAPI");
        // A reader during the edit sees the stored sample.
        EXPECT_FALSE(XDBGetSample<XDataVolumeSequence>(id).Get().IsChannelHidden(2));
    } // no Commit
    EXPECT_FALSE(XDBGetSample<XDataVolumeSequence>(id).Get().IsChannelHidden(2));
    EXPECT_EQ(XDBGetSample<XDataVolumeSequence>(id).Get().GetChannelName(1), "1");

    XDBGetSample<XDataVolumeSequence> before(id);
    {
        XDBGetMutableSample<XDataVolumeSequence> m(id);
        m.Get().SetChannelHidden(2, true);
        m.Commit();
        // Further changes commit again from the same scope.
        m.Get().SetChannelName(3, "GFP");
        m.Commit();
    }
    XDBGetSample<XDataVolumeSequence> after(id);
    EXPECT_TRUE(after.Get().IsChannelHidden(2));
    EXPECT_FALSE(after.Get().IsChannelHidden(1));
    EXPECT_EQ(after.Get().GetChannelName(3), "GFP");
    // A reader that began earlier still reads what it began with.
    EXPECT_FALSE(before.Get().IsChannelHidden(2));
}

TEST_F(SampleDB, ConcurrentWritersDoNotLoseChanges)
{
    const uint32_t id = AddSequence(2, 1);
    XDBGetMutableSample<XDataVolumeSequence> first(id);
    XDBGetMutableSample<XDataVolumeSequence> second(id);
    first.Get().SetChannelHidden(1, true);
    second.Get().SetChannelHidden(2, true);
    first.Commit();
    EXPECT_EQ(CodeOf([&] { second.Commit(); }), XException::kSampleLocked);
    EXPECT_TRUE(XDBGetSample<XDataVolumeSequence>(id).Get().IsChannelHidden(1));
    EXPECT_FALSE(XDBGetSample<XDataVolumeSequence>(id).Get().IsChannelHidden(2));
}

TEST_F(SampleDB, ModifyLocksAndTheirNestedOverride)
{
    XSampleDB& db = XSampleDB::GetDB();
    const uint32_t id = AddVolume();
    db.SetModifyLock(id, true);
    EXPECT_TRUE(db.IsModifyLocked(id));
    EXPECT_EQ(CodeOf([&] { XDBGetMutableSample<XDataVolume> m(id); }), XException::kSampleLocked);
    EXPECT_EQ(CodeOf([&] { db.RemoveSample(id); }), XException::kSampleLocked);

    // Locked after the copy was taken: the commit is refused.
    db.SetModifyLock(id, false);
    {
        XDBGetMutableSample<XDataVolume> m(id);
        m.Get().SetHidden(true);
        db.SetModifyLock(id, true);
        EXPECT_EQ(CodeOf([&] { m.Commit(); }), XException::kSampleLocked);
    }
    EXPECT_FALSE(XDBGetSample<XDataVolume>(id).Get().IsHidden());

    db.OverrideModifyLocks();
    db.OverrideModifyLocks();
    db.RestoreModifyLocks();
    EXPECT_TRUE(db.AreModifyLocksOverridden()); // still one level deep
    {
        XDBGetMutableSample<XDataVolume> m(id);
        m.Get().SetHidden(true);
        m.Commit();
    }
    // The override belongs to this thread only.
    int otherThreadCode = 0;
    std::thread([&] {
        otherThreadCode = CodeOf([&] { XDBGetMutableSample<XDataVolume> m(id); });
    }).join();
    EXPECT_EQ(otherThreadCode, XException::kSampleLocked);
    db.RestoreModifyLocks();
    EXPECT_FALSE(db.AreModifyLocksOverridden());
    EXPECT_TRUE(XDBGetSample<XDataVolume>(id).Get().IsHidden());
    EXPECT_EQ(CodeOf([&] { XDBGetMutableSample<XDataVolume> m(id); }), XException::kSampleLocked);

    // An unbalanced restore is reported and does not go below zero.
    XAssertRecorder recorder;
    db.RestoreModifyLocks();
    EXPECT_TRUE(recorder.Has("sOverrideDepth > 0"));
    EXPECT_FALSE(db.AreModifyLocksOverridden());

    {
        XSampleDB::XModifyLockOverride scope;
        db.RemoveSample(id);
    }
    EXPECT_FALSE(db.HasSample(id));
}

TEST_F(SampleDB, PlaceholdersBelongToTheirSequence)
{
    XSampleDB& db = XSampleDB::GetDB();
    const uint32_t id = AddSequence(3, 1);
    XDBGetSample<XDataVolumeSequence> s(id);
    std::vector<uint32_t> placeholders;
    for (uint32_t c = 1; c <= 3; ++c) {
        const uint32_t p = s.Get().GetChannelPlaceholder(c);
        ASSERT_TRUE(db.HasSample(p));
        EXPECT_TRUE(db.GetSampleType(p).IsA(XVersion(XDataPlaceholder::kSampleType)));
        placeholders.push_back(p);
    }
    EXPECT_NE(placeholders[0], placeholders[1]);
    EXPECT_EQ(db.GetSampleCount(), 4u);

    // A placeholder cannot be removed on its own; it goes with the sequence.
    EXPECT_EQ(CodeOf([&] { db.RemoveSample(placeholders[1]); }), XException::kBadArgument);

    // A copy added as a new sample gets placeholders of its own.
    const uint32_t copy = db.AddSample(s.Get().Clone());
    XDBGetSample<XDataVolumeSequence> c(copy);
    EXPECT_NE(c.Get().GetChannelPlaceholder(1), placeholders[0]);

    XSamplePrefsSaver(placeholders[0]).Write8("s", "k", 1);
    db.RemoveSample(id);
    for (uint32_t p : placeholders)
        EXPECT_FALSE(db.HasSample(p));
    EXPECT_TRUE(db.HasSample(c.Get().GetChannelPlaceholder(1)));
    EXPECT_EQ(db.GetSampleCount(), 4u);
}

TEST_F(SampleDB, SamplePrefsAreKeptPerSample)
{
    const uint32_t a = AddVolume();
    const uint32_t b = AddVolume();
    XSamplePrefsSaver prefsA(a);
    prefsA.WriteFloat("View", "Zoom", 2.5f);
    prefsA.WriteColour("View", "Back", XARGB32Colour::kBlue);
    EXPECT_FLOAT_EQ(prefsA.ReadFloatDefaulted("View", "Zoom", 1), 2.5f);
    EXPECT_EQ(prefsA.ReadColourDefaulted("View", "Back", XARGB32Colour::kBlack), XARGB32Colour::kBlue);
    EXPECT_FALSE(XSamplePrefsSaver(b).EntryExists("View", "Zoom"));

    // Preferences are not the sample's data: a locked sample still takes them.
    XSampleDB::GetDB().SetModifyLock(a, true);
    prefsA.Write8("View", "Grid", 1);
    EXPECT_EQ(prefsA.Read8Defaulted("View", "Grid", 0), 1);

    // No sample: defaults on read, an error on write.
    XSamplePrefsSaver none(99999);
    EXPECT_EQ(none.Read8Defaulted("View", "Grid", 3), 3);
    EXPECT_EQ(CodeOf([&] { none.Write8("View", "Grid", 1); }), XException::kNoSuchSample);
    EXPECT_TRUE(prefsA.RemoveEntry("View", "Grid"));
    EXPECT_FALSE(prefsA.RemoveEntry("View", "Grid"));
}

TEST_F(SampleDB, ParallelReadersAndWritersStayConsistent)
{
    const uint32_t id = AddSequence(4, 1);
    std::atomic<bool> stop{false};
    std::atomic<int> badReads{0};
    std::vector<std::thread> readers;
    for (int r = 0; r < 2; ++r)
        readers.emplace_back([&] {
            while (!stop) {
                XDBGetSample<XDataVolumeSequence> s(id);
                // Writers always hide channels 1 and 2 together.
                if (s.Get().IsChannelHidden(1) != s.Get().IsChannelHidden(2))
                    ++badReads;
            }
        });
    for (int i = 0; i < 300; ++i) {
        XDBGetMutableSample<XDataVolumeSequence> m(id);
        const bool hide = !m.Get().IsChannelHidden(1);
        m.Get().SetChannelHidden(1, hide);
        m.Get().SetChannelHidden(2, hide);
        m.Commit();
    }
    stop = true;
    for (std::thread& t : readers)
        t.join();
    EXPECT_EQ(badReads, 0);
    EXPECT_FALSE(XDBGetSample<XDataVolumeSequence>(id).Get().IsChannelHidden(1));
}
