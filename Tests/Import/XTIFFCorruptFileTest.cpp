#include "ImportTestPages.h"
#include "ImportTestStacks.h"
#include "XErrorCode.h"
#include "XException.h"
#include "XSampleDB.h"
#include "XTIFFImporter.h"
#include "XTIFFSequenceImporter.h"
#include "XTestEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace ImportTestStacks;

namespace {

std::string TempFile(const std::string& inName)
{
    static const std::string dir = XTestEnvironment::MakeTempDir("corrupt");
    return dir + "/" + inName;
}

// Importing into a database fails with inCode (or inOtherCode), names the file, and adds nothing.
void ExpectRefused(const std::string& inPath, const std::string& inMessagePart, int32_t inCode = XException::kUnsupportedFile,
                   int32_t inOtherCode = XException::kUnsupportedFile)
{
    XSampleDB db;
    try {
        XTIFFSequenceImporter::ImportIntoDatabase(inPath, db);
        ADD_FAILURE() << inPath << " was imported";
    } catch (const XException& e) {
        EXPECT_TRUE(e.GetErrorCode() == inCode || e.GetErrorCode() == inOtherCode) << e.GetRawErrorMessage();
        std::string message = e.GetRawErrorMessage().GetStdString();
        EXPECT_NE(message.find(inPath), std::string::npos) << message;
        EXPECT_NE(message.find(inMessagePart), std::string::npos) << message;
    }
    EXPECT_EQ(db.GetSampleCount(), 0u);
}

// inCount copies of inPage, the first with inDescription.
std::vector<Page> Described(const std::string& inDescription, size_t inCount = 2, const Page& inPage = {})
{
    std::vector<Page> pages(inCount, inPage);
    pages[0].description = inDescription;
    return pages;
}

} // namespace

TEST(XTIFFCorruptFiles, MissingAndTruncatedFilesAreFileErrors)
{
    ExpectRefused(TempFile("does-not-exist.tif"), "cannot be opened", XException::kFileError);
    const std::string notTIFF = TempFile("text.tif");
    std::ofstream(notTIFF) << "this is not an image at all";
    ExpectRefused(notTIFF, "cannot be read as a TIFF", XException::kFileError);

    // A complete stack cut off at a tenth, half and nine tenths of its size.
    Stack stack = MakeStack(XVoxelType::kGrey16, 1, 6, 1, 64, 64);
    const std::string whole = TempFile("whole.tif");
    XTIFFWriter::WriteVolumes(whole, XTIFFWriter::XForm::kPlain, stack.info, stack.Pointers());
    for (int tenths : {1, 5, 9}) {
        const std::string cut = TempFile("cut-" + std::to_string(tenths) + ".tif");
        std::filesystem::copy_file(whole, cut, std::filesystem::copy_options::overwrite_existing);
        std::filesystem::resize_file(cut, std::filesystem::file_size(whole) * tenths / 10);
        ExpectRefused(cut, "", XException::kFileError, XException::kUnsupportedFile);
    }
}

TEST(XTIFFCorruptFiles, InconsistentUnsupportedAndHugeFilesAreRefusedByName)
{
    // OME XML the parser refuses (its refusals are XOMEMetadata's tests): one, to see it reaches the importer.
    const XString xml = XTIFFWriter::MakeOMEXML(MakeStack(XVoxelType::kGrey16, 1, 2, 1, 8, 8).info, "x.ome.tif");
    const std::string ij = "ImageJ=1.11a\n";
    const Page rgb{.bits = 8, .samples = 3, .photometric = PHOTOMETRIC_RGB};
    const struct {
        const char* file;
        std::vector<Page> pages;
        const char* named;
    } cases[] = {
        // 2 x 3 x 1 = 6 images, and the count says 6, but there are 5 pages.
        {"five-pages.tif", Described(ij + "images=6\nchannels=2\nslices=3\nhyperstack=true\n", 5), "holds 5 pages"},
        {"bad-product.tif", Described(ij + "images=5\nchannels=2\nslices=3\nhyperstack=true\n", 5),
         "2 channels x 3 slices x 1 frames"},
        {"mixed-sizes.tif", {Page(), Page{.width = 9}, Page()}, "page 2 (9 x 8 pixels"},
        {"imagej-0.tif", Described(ij + "images=2\nchannels=0\n"), "gives channels as \"0\""},
        {"imagej-1.tif", Described(ij + "images=2\nframes=two\n"), "gives frames as \"two\""},
        {"imagej-2.tif", Described(ij + "images=2\nslices=2000000\n"), "gives slices as \"2000000\""},
        {"imagej-3.tif", Described(ij + "images=2\nchannels=1048576\nslices=1048576\nframes=1048576\n"),
         "which is not its 2 images"},
        {"imagej-4.tif", Described(ij + "images=3\n"), "announces 3 images but the file holds 2 pages"},
        {"imagej-5.tif", Described(ij + "images=2\nchannels=2\n", 2, rgb), "RGB hyperstack with several channels"},
        {"ome-type.ome.tif", Described(XString(xml).ReplaceAll("Type=\"uint16\"", "Type=\"uint8\"").GetStdString()),
         "declares uint8"},
        {"int16.tif", {{.bits = 16, .format = SAMPLEFORMAT_INT}}, "16-bit signed integer"},
        {"uint32.tif", {{.bits = 32, .format = SAMPLEFORMAT_UINT}}, "32-bit unsigned integer"},
        {"float64.tif", {{.bits = 64, .format = SAMPLEFORMAT_IEEEFP}}, "64-bit floating-point"},
        {"palette.tif", {{.bits = 8, .photometric = PHOTOMETRIC_PALETTE}}, "colour-palette"},
        {"two-samples.tif", {{.samples = 2}}, "2 samples each"},
        {"rgb-planes.tif", {{.bits = 8, .samples = 3, .photometric = PHOTOMETRIC_RGB, .planar = PLANARCONFIG_SEPARATE}},
         "separate planes"},
        {"rgb16.tif", {{.samples = 3, .photometric = PHOTOMETRIC_RGB}}, "3 samples each"},
        {"cmyk.tif", {{.bits = 8, .photometric = PHOTOMETRIC_SEPARATED}}, "colour model 5"},
        // Tiles of 16384 x 16384 16-bit pixels would need 512 MB each, whatever the page size.
        {"huge-tiles.tif", {{.tileSide = 16384}}, "tiles of 16384 x 16384"},
        // About 27 GB in one page, of which only the first row is written.
        {"huge.tif", {{.width = 120000, .height = 120000, .writeData = false}}, "more than the"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        WritePages(TempFile(c.file), c.pages);
        ExpectRefused(TempFile(c.file), c.named);
    }
    EXPECT_TRUE(Throws([&] { XTIFFImporter importer(TempFile("huge.tif")); }, -1, "GB"));
}

TEST(XTIFFCorruptFiles, DamagedImageJRangeMetadataIsIgnored)
{
    using Bytes = std::vector<uint8_t>;
    using Sizes = std::vector<uint32_t>;
    const std::vector<XTIFFWriter::XDisplayRange> ranges = {{10, 300}, {-1.5, 2.25}};
    Sizes sizes;
    const Bytes big = XTIFFWriter::MakeImageJRanges(ranges, true, sizes);
    const Bytes little = XTIFFWriter::MakeImageJRanges(ranges, false, sizes);
    const Sizes good = sizes; // {12, 32}
    // An "info" block of 5 bytes before the ranges, as files with notes have.
    Bytes withInfo(big.begin(), big.begin() + 4);
    withInfo.insert(withInfo.end(), {'i', 'n', 'f', 'o', 0, 0, 0, 1});
    withInfo.insert(withInfo.end(), big.begin() + 4, big.begin() + 12);
    withInfo.insert(withInfo.end(), {1, 2, 3, 4, 5});
    withInfo.insert(withInfo.end(), big.begin() + 12, big.end());
    Bytes badMagic = big, twoBlocks = big, cut = big;
    badMagic[3] = 'X';
    twoBlocks[11] = 2; // announces a second "rang" block that no size covers
    cut.resize(big.size() - 1);
    const struct {
        const char* what;
        Sizes sizes;
        Bytes bytes;
        bool kept;
    } cases[] = {
        {"big-endian", good, big, true},
        {"little-endian", good, little, true},
        {"after a skipped block", {20, 5, 32}, withInfo, true},
        {"unknown magic", good, badMagic, false},
        {"header larger than the data", {60, 32}, big, false},
        {"header too short", {3, 32}, big, false},
        {"only the header's size", {12}, big, false},
        {"block past the end", good, cut, false},
        {"more blocks than sizes", good, twoBlocks, false},
        {"block for another channel count", {12, 16}, Bytes(big.begin(), big.begin() + 28), false},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<Page> pages = Described("ImageJ=1.11a\nimages=2\nchannels=2\nhyperstack=true\n");
        pages[0].ijSizes = c.sizes;
        pages[0].ijBytes = c.bytes;
        const std::string path = TempFile("ranges-" + std::to_string(n++) + ".tif");
        WritePages(path, pages);
        XTIFFImporter importer(path);
        const auto& channels = importer.GetLayout().channels;
        ASSERT_EQ(channels.size(), 2u);
        for (size_t ch = 0; ch < 2; ++ch) {
            EXPECT_EQ(channels[ch].hasDisplayRange, c.kept);
            if (c.kept) {
                EXPECT_EQ(channels[ch].displayBlack, ranges[ch].black);
                EXPECT_EQ(channels[ch].displayWhite, ranges[ch].white);
            }
        }
        EXPECT_EQ(importer.ReadAll().size(), 2u);
    }
}
