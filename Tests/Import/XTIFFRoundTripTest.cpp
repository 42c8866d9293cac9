#include "ImportTestPages.h"
#include "ImportTestStacks.h"
#include "XDBGetSample.h"
#include "XDataVolumeSequence.h"
#include "XException.h"
#include "XImageRenderer.h"
#include "XProgress.h"
#include "XProgressDisabler.h"
#include "XSampleDB.h"
#include "XTIFFImporter.h"
#include "XTIFFSequenceImporter.h"
#include "XTestEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace ImportTestStacks;
using XForm = XTIFFWriter::XForm;

namespace {

std::string TempFile(const std::string& inName)
{
    static const std::string dir = XTestEnvironment::MakeTempDir("tiff");
    return dir + "/" + inName;
}

// Every voxel of every imported volume equals what was written.
void ExpectSameVoxels(const Stack& inStack, const XDataVolumeSequence& inSequence)
{
    const auto& info = inStack.info;
    ASSERT_EQ(inSequence.GetChannelCount(), info.channelCount);
    ASSERT_EQ(inSequence.GetTimepointCount(), info.timepointCount);
    for (uint32_t c = 0; c < info.channelCount; ++c)
        for (uint32_t t = 0; t < info.timepointCount; ++t) {
            auto v = inSequence.GetVolume(c + 1, t + 1);
            ASSERT_TRUE(v);
            ASSERT_EQ(v->GetVoxelType(), info.voxelType);
            ASSERT_EQ(v->GetBounds(), X3DRect(0, 0, 0, info.width, info.height, int32_t(info.sliceCount)));
            for (int32_t z = 0; z < int32_t(info.sliceCount); ++z)
                for (int32_t y = 0; y < info.height; ++y)
                    for (int32_t x = 0; x < info.width; ++x) {
                        double want = info.voxelType == XVoxelType::kFloat32
                            ? double(float(VoxelValue(info.voxelType, c, t, z, x, y)))
                            : VoxelValue(info.voxelType, c, t, z, x, y);
                        ASSERT_EQ(ReadVoxel(*v, x, y, z), want)
                            << "channel " << c + 1 << " timepoint " << t + 1 << " at (" << x << ", " << y << ", " << z << ")";
                    }
        }
}

} // namespace

TEST(XTIFFImport, HyperstacksRoundTripInEverySampleType)
{
    for (XVoxelType type : {XVoxelType::kGrey8, XVoxelType::kGrey16, XVoxelType::kFloat32}) {
        SCOPED_TRACE(GetVoxelTypeName(type));
        Stack stack = MakeStack(type, 3, 4, 2);
        stack.info.calibration[0] = 0.25;
        stack.info.calibration[1] = 0.5;
        stack.info.calibration[2] = 1.5;
        stack.info.timeIncrement = 2.5;
        const std::string path = TempFile(std::string("hyper-") + GetVoxelTypeName(type) + ".tif");
        XTIFFWriter::WriteVolumes(path, XForm::kImageJ, stack.info, stack.Pointers());

        // The sequence's counts follow from the layout: ExpectSameVoxels checks them.
        XTIFFImporter importer(path);
        EXPECT_EQ(importer.GetLayout().format, XTIFFImporter::XFormat::kImageJ);
        std::unique_ptr<XDataVolumeSequence> sequence = XTIFFSequenceImporter::Import(path);
        ExpectSameVoxels(stack, *sequence);
        // The resolution tags are single precision, so x and y are as exact as a float.
        EXPECT_NEAR(sequence->GetCalibrationX(), 0.25, 1e-6);
        EXPECT_NEAR(sequence->GetCalibrationY(), 0.5, 1e-6);
        EXPECT_DOUBLE_EQ(sequence->GetCalibrationZ(), 1.5);
        EXPECT_DOUBLE_EQ(sequence->GetTimepointTimeFromStart(2).GetSeconds(), 2.5);
        EXPECT_NEAR(sequence->GetVolume(2, 1)->GetCalibrationZ(), 1.5, 1e-12);
        // Without colours in the file, channels take red, green and blue.
        std::unique_ptr<XImageRenderer> second(sequence->GetRendererCopy(2));
        ASSERT_TRUE(second);
        EXPECT_EQ(second->GetColour(), XARGB32Colour::kGreen);
    }
}

TEST(XTIFFImport, HyperstackDisplayRangesRoundTripAndUnusableOnesAreLeftOut)
{
    const double nan = std::nan(""), inf = HUGE_VAL;
    const struct {
        std::vector<XTIFFWriter::XDisplayRange> ranges;
        std::vector<bool> kept;
    } cases[] = {
        {{{10, 200}, {0.5, 4000.25}, {-3, 3}}, {true, true, true}},
        {{{10, 200}, {nan, 5}, {7, 7}}, {true, false, false}},
        {{{0, inf}, {5, 4}, {-inf, 2}}, {false, false, false}},
        {{}, {false, false, false}},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(n);
        Stack stack = MakeStack(XVoxelType::kGrey16, 3, 2, 1);
        stack.info.displayRanges = c.ranges;
        const std::string path = TempFile("ranges-" + std::to_string(n++) + ".tif");
        XTIFFWriter::WriteVolumes(path, XForm::kImageJ, stack.info, stack.Pointers());

        XTIFFImporter importer(path);
        const auto& channels = importer.GetLayout().channels;
        ASSERT_EQ(channels.size(), 3u);
        std::unique_ptr<XDataVolumeSequence> sequence = XTIFFSequenceImporter::Import(path);
        for (uint32_t ch = 0; ch < 3; ++ch) {
            EXPECT_EQ(channels[ch].hasDisplayRange, c.kept[ch]) << "channel " << ch + 1;
            if (!c.kept[ch])
                continue;
            EXPECT_EQ(channels[ch].displayBlack, c.ranges[ch].black);
            EXPECT_EQ(channels[ch].displayWhite, c.ranges[ch].white);
            std::unique_ptr<XImageRenderer> renderer(sequence->GetRendererCopy(ch + 1));
            EXPECT_EQ(renderer->GetBlackLevel(), c.ranges[ch].black);
            EXPECT_EQ(renderer->GetWhiteLevel(), c.ranges[ch].white);
        }
    }
}

TEST(XTIFFImport, OMEFilesRoundTripWithNamesColoursAndOrder)
{
    struct Case {
        XVoxelType type;
        const char* order;
        bool perPlane;
    };
    for (Case k : {Case{XVoxelType::kGrey8, "XYCZT", false}, Case{XVoxelType::kGrey16, "XYZTC", true},
             Case{XVoxelType::kFloat32, "XYTZC", false}}) {
        SCOPED_TRACE(std::string(GetVoxelTypeName(k.type)) + " " + k.order);
        Stack stack = MakeStack(k.type, 2, 3, 3);
        stack.info.calibration[0] = 0.065;
        stack.info.calibration[1] = 0.065;
        stack.info.calibration[2] = 0.3;
        stack.info.timeIncrement = 60;
        stack.info.channelNames = {"DAPI & nuclei", "GFP <live>"};
        stack.info.channelColours = {XARGB32Colour(255, 0, 0, 255), XARGB32Colour(255, 0, 255, 0)};
        stack.info.dimensionOrder = k.order;
        stack.info.tiffDataPerPlane = k.perPlane;
        stack.info.hasStartTime = true;
        stack.info.startTime = XTime(1700000000.0);
        const std::string path = TempFile(std::string("ome-") + GetVoxelTypeName(k.type) + ".ome.tif");
        XTIFFWriter::WriteVolumes(path, XForm::kOME, stack.info, stack.Pointers());

        std::unique_ptr<XDataVolumeSequence> sequence = XTIFFSequenceImporter::Import(path);
        ExpectSameVoxels(stack, *sequence);
        EXPECT_EQ(sequence->GetChannelName(1), "DAPI & nuclei");
        EXPECT_EQ(sequence->GetChannelName(2), "GFP <live>");
        std::unique_ptr<XImageRenderer> first(sequence->GetRendererCopy(1)), second(sequence->GetRendererCopy(2));
        EXPECT_EQ(first->GetColour(), XARGB32Colour::kBlue);
        EXPECT_EQ(second->GetColour(), XARGB32Colour::kGreen);
        EXPECT_DOUBLE_EQ(sequence->GetCalibrationX(), 0.065);
        EXPECT_DOUBLE_EQ(sequence->GetCalibrationZ(), 0.3);
        EXPECT_DOUBLE_EQ(sequence->GetStartTime().GetSeconds(), 1700000000.0);
        EXPECT_DOUBLE_EQ(sequence->GetTimepointTime(3).GetSeconds(), 1700000120.0);
    }
}

TEST(XTIFFImport, PlainCompressedStripedAndTiledFiles)
{
    // A plain stack is one channel of z slices, whatever the strips, tiles or compression.
    Stack stack = MakeStack(XVoxelType::kGrey16, 1, 5, 1, 37, 29);
    stack.info.calibration[0] = stack.info.calibration[1] = 2.0;
    XTIFFWriter::XOptions options;
    int n = 0;
    for (auto compression : {XTIFFWriter::XCompression::kNone, XTIFFWriter::XCompression::kLZW, XTIFFWriter::XCompression::kDeflate})
        for (uint32_t strip : {0u, 4u})
            for (uint32_t tile : {0u, 16u}) {
                options.compression = compression;
                options.rowsPerStrip = strip;
                options.tileSize = tile;
                const std::string path = TempFile("plain-" + std::to_string(n++) + ".tif");
                XTIFFWriter::WriteVolumes(path, XForm::kPlain, stack.info, stack.Pointers(), options);
                XTIFFImporter importer(path);
                EXPECT_EQ(importer.GetLayout().format, XTIFFImporter::XFormat::kPlain);
                std::unique_ptr<XDataVolumeSequence> sequence = XTIFFSequenceImporter::Import(path);
                ExpectSameVoxels(stack, *sequence);
                EXPECT_NEAR(sequence->GetCalibrationX(), 2.0, 1e-5);
            }

    // ReadVolume gives one channel at one timepoint, counted from 1.
    Stack two = MakeStack(XVoxelType::kGrey8, 2, 2, 2);
    const std::string path = TempFile("single.tif");
    XTIFFWriter::WriteVolumes(path, XForm::kImageJ, two.info, two.Pointers());
    XTIFFImporter importer(path);
    std::unique_ptr<XVolume> v = importer.ReadVolume(2, 2);
    EXPECT_EQ(ReadVoxel(*v, 3, 4, 1), VoxelValue(XVoxelType::kGrey8, 1, 1, 1, 3, 4));
    EXPECT_THROW(importer.ReadVolume(3, 1), XException);
    EXPECT_THROW(importer.ReadVolume(1, 0), XException);
}

TEST(XTIFFImport, ImportIntoDatabaseAddsOneSequenceAndReportsProgress)
{
    XSampleDB db;
    Stack stack = MakeStack(XVoxelType::kGrey16, 2, 3, 2);
    const std::string path = TempFile("db.tif");
    XTIFFWriter::WriteVolumes(path, XForm::kImageJ, stack.info, stack.Pointers());

    XProgressDisabler quiet;
    XProgress progress;
    uint32_t id = XTIFFSequenceImporter::ImportIntoDatabase(path, db, &progress);
    EXPECT_EQ(progress.GetCount(), 12u);
    EXPECT_EQ(progress.GetTotal(), 12u);
    EXPECT_EQ(db.GetSampleType(id).GetType(), XDataVolumeSequence::kSampleType);
    auto sample = std::dynamic_pointer_cast<const XDataVolumeSequence>(db.GetSnapshot(id).sample);
    ASSERT_TRUE(sample);
    EXPECT_EQ(sample->GetName(), "db.tif");
    ExpectSameVoxels(stack, *sample);
    // The display range spans the data of each channel: channel 1 runs from its first voxel
    // to its last one at the second timepoint (z 2, x 12, y 6).
    std::unique_ptr<XImageRenderer> renderer(sample->GetRendererCopy(1));
    EXPECT_EQ(renderer->GetWhiteLevel(), VoxelValue(XVoxelType::kGrey16, 0, 1, 2, 12, 6));
    EXPECT_EQ(renderer->GetBlackLevel(), 0.0);
}

TEST(XTIFFImport, RGBPagesBecomeThreeChannelsAndMinIsWhiteIsInverted)
{
    const std::string rgbPath = TempFile("rgb.tif");
    std::vector<Page> pages(2, Page{.width = 4, .height = 3, .bits = 8, .samples = 3, .photometric = PHOTOMETRIC_RGB});
    for (uint8_t page = 0; page < 2; ++page)
        for (uint8_t i = 0; i < 12; ++i) // red, green, blue
            pages[page].data.insert(pages[page].data.end(), {uint8_t(10 + i + page), uint8_t(100 + i + page), uint8_t(200 + i + page)});
    WritePages(rgbPath, pages);

    std::unique_ptr<XDataVolumeSequence> rgb = XTIFFSequenceImporter::Import(rgbPath);
    ASSERT_EQ(rgb->GetChannelCount(), 3u);
    EXPECT_EQ(rgb->GetChannelName(2), "Green");
    std::unique_ptr<XImageRenderer> blue(rgb->GetRendererCopy(3));
    EXPECT_EQ(blue->GetColour(), XARGB32Colour::kBlue);
    // Pixel (1, 2) is pixel 9 of its page; page 2 adds 1 to every sample.
    const double base[3] = {10, 100, 200};
    for (uint32_t c = 0; c < 3; ++c) {
        auto v = rgb->GetVolume(c + 1, 1);
        ASSERT_EQ(v->GetDepth(), 2);
        EXPECT_EQ(ReadVoxel(*v, 1, 2, 1), base[c] + 9 + 1) << "channel " << c + 1;
        EXPECT_EQ(ReadVoxel(*v, 0, 0, 0), base[c]) << "channel " << c + 1;
    }

    // A page stored "minimum is white" reads as ordinary intensities.
    const std::string whitePath = TempFile("miniswhite.tif");
    const uint16_t stored[2] = {0, 65000};
    const auto* bytes = reinterpret_cast<const uint8_t*>(stored);
    WritePages(whitePath, {Page{.width = 2, .height = 1, .photometric = PHOTOMETRIC_MINISWHITE, .data = {bytes, bytes + 4}}});
    std::unique_ptr<XDataVolumeSequence> white = XTIFFSequenceImporter::Import(whitePath);
    EXPECT_EQ(ReadVoxel(*white->GetVolume(1, 1), 0, 0, 0), 65535.0);
    EXPECT_EQ(ReadVoxel(*white->GetVolume(1, 1), 1, 0, 0), 535.0);
}
