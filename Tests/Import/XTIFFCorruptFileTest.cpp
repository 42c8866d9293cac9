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

// Importing into a database fails with inCode, names the file, and adds nothing.
void ExpectRefused(const std::string& inPath, int32_t inCode, const std::string& inMessagePart)
{
    XSampleDB db;
    try {
        XTIFFSequenceImporter::ImportIntoDatabase(inPath, db);
        ADD_FAILURE() << inPath << " was imported";
    } catch (const XException& e) {
        EXPECT_EQ(e.GetErrorCode(), inCode) << e.GetRawErrorMessage();
        std::string message = e.GetRawErrorMessage().GetStdString();
        EXPECT_NE(message.find(inPath), std::string::npos) << message;
        EXPECT_NE(message.find(inMessagePart), std::string::npos) << message;
    }
    EXPECT_EQ(db.GetSampleCount(), 0u);
}

} // namespace

TEST(XTIFFCorruptFiles, MissingAndTruncatedFilesAreFileErrors)
{
    ExpectRefused(TempFile("does-not-exist.tif"), XException::kFileError, "cannot be opened");

    const std::string notTIFF = TempFile("text.tif");
    std::ofstream(notTIFF) << "this is not an image at all";
    ExpectRefused(notTIFF, XException::kFileError, "cannot be read as a TIFF");

    // A complete stack cut off half way through its pixels: the directory survives
    // (libtiff writes it after the data) only if the cut is in the pixels of a later page.
    Stack stack = MakeStack(XVoxelType::kGrey16, 1, 6, 1, 64, 64);
    const std::string whole = TempFile("whole.tif");
    XTIFFWriter::WriteVolumes(whole, XTIFFWriter::XForm::kPlain, stack.info, stack.Pointers());
    const auto size = std::filesystem::file_size(whole);
    for (double fraction : {0.1, 0.5, 0.9}) {
        const std::string cut = TempFile("cut-" + std::to_string(int(fraction * 10)) + ".tif");
        std::filesystem::copy_file(whole, cut, std::filesystem::copy_options::overwrite_existing);
        std::filesystem::resize_file(cut, uintmax_t(double(size) * fraction));
        XSampleDB db;
        try {
            XTIFFSequenceImporter::ImportIntoDatabase(cut, db);
            ADD_FAILURE() << "a file cut to " << fraction << " of its size was imported";
        } catch (const XException& e) {
            EXPECT_TRUE(e.GetErrorCode() == XException::kFileError || e.GetErrorCode() == XException::kUnsupportedFile)
                << e.GetRawErrorMessage();
            EXPECT_TRUE(e.GetRawErrorMessage().Contains(XString(cut))) << e.GetRawErrorMessage();
        }
        EXPECT_EQ(db.GetSampleCount(), 0u);
    }
}

TEST(XTIFFCorruptFiles, InconsistentCountsAndPagesAreRefused)
{
    // The description announces 2 × 3 × 1 = 6 images, and the count says 6, but there are 5 pages.
    const std::string five = TempFile("five-pages.tif");
    std::vector<Page> pages(5);
    pages[0].description = "ImageJ=1.11a\nimages=6\nchannels=2\nslices=3\nhyperstack=true\n";
    WritePages(five, pages);
    ExpectRefused(five, XException::kUnsupportedFile, "holds 5 pages");

    // Counts that do not multiply to the image count.
    const std::string product = TempFile("bad-product.tif");
    pages[0].description = "ImageJ=1.11a\nimages=5\nchannels=2\nslices=3\nhyperstack=true\n";
    WritePages(product, pages);
    ExpectRefused(product, XException::kUnsupportedFile, "2 channels x 3 slices x 1 frames");

    // A page of another size in the middle of a stack.
    const std::string sizes = TempFile("mixed-sizes.tif");
    WritePages(sizes, {Page(), Page{.width = 9}, Page()});
    ExpectRefused(sizes, XException::kUnsupportedFile, "page 2 (9 x 8 pixels");

    // OME XML that places planes on pages the file does not have, twice or not at all,
    // is malformed, or points into another file.
    Stack stack = MakeStack(XVoxelType::kGrey16, 1, 2, 1, 8, 8);
    const XString xml = XTIFFWriter::MakeOMEXML(stack.info, "x.ome.tif");
    const XString tiffData = "<TiffData IFD=\"0\" PlaneCount=\"2\"/>";
    struct XCase {
        const char* file;
        XString from, to;
        const char* message;
    };
    const XCase cases[] = {
        {"ome-beyond", tiffData, "<TiffData IFD=\"1\" PlaneCount=\"2\"/>", "on page 3"},
        {"ome-missing", "PlaneCount=\"2\"", "PlaneCount=\"1\"", "no page for channel 1, slice 2"},
        {"ome-twice", tiffData, "<TiffData IFD=\"0\" FirstZ=\"0\"/><TiffData IFD=\"0\" FirstZ=\"1\"/>",
         "two planes on page 1"},
        {"ome-broken", "</Pixels>", "</Pixel>", "malformed"},
        {"ome-multi", tiffData,
         "<TiffData IFD=\"0\" PlaneCount=\"2\"><UUID FileName=\"other.ome.tif\">urn:uuid:1</UUID></TiffData>",
         "other.ome.tif"},
    };
    for (const XCase& c : cases) {
        std::vector<Page> ome(2);
        ome[0].description = XString(xml).ReplaceAll(c.from, c.to).GetStdString();
        const std::string path = TempFile(std::string(c.file) + ".ome.tif");
        WritePages(path, ome);
        ExpectRefused(path, XException::kUnsupportedFile, c.message);
    }
    // 16-bit pages with uint8 in the XML.
    std::vector<Page> lying(1);
    lying[0].description = XTIFFWriter::MakeOMEXML(MakeStack(XVoxelType::kGrey8, 1, 1, 1, 8, 8).info, "x.ome.tif").GetStdString();
    WritePages(TempFile("ome-type.ome.tif"), lying);
    ExpectRefused(TempFile("ome-type.ome.tif"), XException::kUnsupportedFile, "declares uint8");
}

TEST(XTIFFCorruptFiles, HugeDeclaredSizesAreRefusedBeforeAllocating)
{
    // 120000 × 120000 pixels of 16 bits is about 27 GB in one page; only its first row is written.
    const std::string huge = TempFile("huge.tif");
    Page page;
    page.width = 120000;
    page.height = 120000;
    page.writeData = false;
    WritePages(huge, {page});
    ExpectRefused(huge, XException::kUnsupportedFile, "more than the");
    EXPECT_TRUE(Throws([&] { XTIFFImporter importer(huge); }, -1, "GB"));
}

TEST(XTIFFCorruptFiles, UnsupportedSampleFormatsAndPixelLayoutsAreNamed)
{
    struct Case {
        const char* file;
        Page page;
        const char* named;
    };
    const Case cases[] = {
        {"int16", {.bits = 16, .format = SAMPLEFORMAT_INT}, "16-bit signed integer"},
        {"uint32", {.bits = 32, .format = SAMPLEFORMAT_UINT}, "32-bit unsigned integer"},
        {"float64", {.bits = 64, .format = SAMPLEFORMAT_IEEEFP}, "64-bit floating-point"},
        {"palette", {.bits = 8, .photometric = PHOTOMETRIC_PALETTE}, "colour-palette"},
        {"two-samples", {.samples = 2}, "2 samples each"},
        {"rgb-planes", {.bits = 8, .samples = 3, .photometric = PHOTOMETRIC_RGB, .planar = PLANARCONFIG_SEPARATE},
         "separate planes"},
        {"rgb16", {.samples = 3, .photometric = PHOTOMETRIC_RGB}, "3 samples each"},
        {"cmyk", {.bits = 8, .photometric = PHOTOMETRIC_SEPARATED}, "colour model 5"},
        // Tiles of 16384 x 16384 16-bit pixels would need 512 MB each, whatever the page size.
        {"huge-tiles", {.tileSide = 16384}, "tiles of 16384 x 16384"},
    };
    for (const Case& c : cases) {
        const std::string path = TempFile(std::string(c.file) + ".tif");
        WritePages(path, {c.page});
        ExpectRefused(path, XException::kUnsupportedFile, c.named);
    }
}

TEST(XTIFFCorruptFiles, ImageJCountsAreChecked)
{
    const Page grey;
    const Page rgb{.bits = 8, .samples = 3, .photometric = PHOTOMETRIC_RGB};
    const struct {
        const char* description;
        const Page& page;
        const char* named;
    } cases[] = {
        {"images=2\nchannels=0\n", grey, "gives channels as \"0\""},
        {"images=2\nframes=two\n", grey, "gives frames as \"two\""},
        {"images=2\nslices=2000000\n", grey, "gives slices as \"2000000\""},
        {"images=2\nchannels=1048576\nslices=1048576\nframes=1048576\n", grey, "which is not its 2 images"},
        {"images=3\n", grey, "announces 3 images but the file holds 2 pages"},
        {"images=2\nchannels=2\n", rgb, "RGB hyperstack with several channels"},
    };
    int n = 0;
    for (const auto& c : cases) {
        std::vector<Page> pages(2, c.page);
        pages[0].description = std::string("ImageJ=1.11a\n") + c.description;
        const std::string path = TempFile("imagej-" + std::to_string(n++) + ".tif");
        WritePages(path, pages);
        ExpectRefused(path, XException::kUnsupportedFile, c.named);
    }
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
        std::vector<Page> pages(2);
        pages[0].description = "ImageJ=1.11a\nimages=2\nchannels=2\nhyperstack=true\n";
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
