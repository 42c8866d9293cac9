#include "XClassRegistry.h"
#include "XDataStorable.h"
#include "XDataVolumeSequence.h"
#include "XDBGetSample.h"
#include "XException.h"
#include "XGrey16Volume.h"
#include "XImageRenderer.h"
#include "XSampleDB.h"
#include "XStream.h"
#include "XErrorCode.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace {

// A storable to keep as a sample.
class Note : public XStorable {
public:
    void WriteStream2(XStream& s) const override { s.WriteString(text); }
    void ReadStream2(XStream& s) override { text = s.ReadString("the note"); }
    XString GetClassName() const override { return "XNote"; }
    XString text;
};
} // namespace

TEST(DataVolumeSequence, ChannelsTimepointsAndRangesCountFromOne)
{
    XDataVolumeSequence s(2, 3);
    EXPECT_EQ(s.GetChannelName(2), "2");
    EXPECT_EQ(s.GetChannelPlaceholder(1), 0u); // not in the database yet

    auto volume = std::make_shared<XGrey16Volume>(2, 2, 2);
    s.SetVolume(2, 3, volume);
    EXPECT_EQ(s.GetVolume(1, 3), nullptr) << "the volume went to another channel too";
    s.SetTimepointTime(3, XTime(1010));
    s.SetStartTime(XTime(1000));
    EXPECT_EQ(s.GetTimepointTimeFromStart(3).GetSeconds(), 10.0);

    for (auto call : std::vector<std::function<void()>>{
             [&] { s.GetChannelName(0); }, [&] { s.GetChannelName(3); }, [&] { s.IsChannelHidden(3); },
             [&] { s.SetChannelHidden(0, true); }, [&] { s.GetRendererCopy(3); }, [&] { s.GetVolume(1, 0); },
             [&] { s.GetVolume(1, 4); }, [&] { s.GetTimepointTime(4); }, [&] { s.SetCalibration(1, 1, NAN); },
             [] { XDataVolumeSequence(0, 1); },
             [] { XDataVolumeSequence(1, 0); }, [] { XDataVolumeSequence(70000, 70000); }})
        EXPECT_EQ(CodeOf(call), XException::kBadArgument);
}

TEST(DataVolumeSequence, CopiesOwnTheirRenderers)
{
    XDataVolumeSequence s(2, 1);
    EXPECT_EQ(s.GetRendererCopy(1), nullptr);
    s.SetRenderer(1, XImageRenderer(XARGB32Colour::kRed, 100, 200, 1.0, 0));
    s.SetChannelHidden(2, true);

    XDataVolumeSequence copy(s);
    copy.SetRenderer(1, XImageRenderer(XARGB32Colour::kBlue, 0, 1));
    std::unique_ptr<XImageRenderer> original(s.GetRendererCopy(1));
    ASSERT_TRUE(original);
    EXPECT_EQ(original->GetColour(), XARGB32Colour::kRed);
    EXPECT_TRUE(copy.IsChannelHidden(2));
    // The caller owns the copy: changing it changes nothing stored.
    original->SetColour(XARGB32Colour::kGreen);
    EXPECT_EQ(std::unique_ptr<XImageRenderer>(s.GetRendererCopy(1))->GetColour(), XARGB32Colour::kRed);
}

TEST(ImageRenderer, MapsThroughTheDisplayRangeAndGammaAndRefusesUnusableOnes)
{
    // Edges, inverted and zero-width ranges of the shared mapping: XVolumeLevelScalingHelper's table.
    XImageRenderer r(XARGB32Colour::kGreen, 100, 300);
    EXPECT_EQ(r.MapValue(200), 128); // 127.5 of 255 rounds up
    r.SetGamma(2.0);
    EXPECT_EQ(r.MapValue(150), 128); // sqrt(0.25) = 0.5
    r.SetDisplayRange(300, 100);
    EXPECT_EQ(r.MapValue(100), 255);
    EXPECT_EQ(CodeOf([&] { r.SetGamma(NAN); }), XException::kBadArgument);
    EXPECT_EQ(CodeOf([&] { r.SetDisplayRange(0, INFINITY); }), XException::kBadArgument);
    EXPECT_EQ(r.GetGamma(), 2.0);
    EXPECT_EQ(r.GetWhiteLevel(), 100.0);
}

TEST(DataStorable, StoresAnObjectAsASampleAndStream)
{
    using XDataNote = XDataStorable<Note, 0x6E00>;
    XDataNote::RegisterClass();

    Note note;
    note.text = "hello";
    auto sample = std::make_unique<XDataNote>(note);
    sample->SetName("memo");
    XSampleDB::GetDB().Clear();
    const uint32_t id = XSampleDB::GetDB().AddSample(std::move(sample));
    EXPECT_TRUE(XSampleDB::GetDB().GetSampleType(id).IsA(XVersion(XDataSample::kStorableSampleType)));
    XDBGetSample<XDataNote> stored(id);
    EXPECT_EQ(stored.Get().GetObject().text, "hello");

    XStream s;
    XClassRegistry::WriteObject(s, stored.Get());
    EXPECT_EQ(XClassRegistry::GetObjectStreamUsage(stored.Get()), s.GetSize());
    std::unique_ptr<XDataNote> back = XClassRegistry::ReadObjectOfClass<XDataNote>(s, "XDataNote");
    EXPECT_EQ(back->GetName(), "memo");
    EXPECT_EQ(back->GetObject().text, "hello");

    // A truncated stream (the note's text claims a byte more than is left) leaves the sample as it was.
    XStream cut(std::vector<uint8_t>(s.GetBuffer().begin() + 4 + 9, s.GetBuffer().end() - 1));
    EXPECT_EQ(CodeOf([&] { back->ReadStream2(cut); }), XException::kStreamCorrupt);
    EXPECT_EQ(back->GetObject().text, "hello");
    XClassRegistry::UnregisterClass("XDataNote");
    XSampleDB::GetDB().Clear();
}
