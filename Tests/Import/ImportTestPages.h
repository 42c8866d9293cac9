#pragma once
// TIFF pages written straight through libtiff, for layouts the writer would refuse to make.
#include "XTIFFFile.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <string>
#include <vector>

namespace ImportTestStacks {
struct Page {
    uint32_t width = 8, height = 8;
    uint16_t bits = 16, format = SAMPLEFORMAT_UINT;
    uint16_t samples = 1, photometric = PHOTOMETRIC_MINISBLACK, planar = PLANARCONFIG_CONTIG;
    uint32_t tileSide = 0; // non-zero: tiles of this side
    bool writeData = true;
    std::string description = {};
    std::vector<uint32_t> ijSizes = {}; // with ijBytes: ImageJ's binary metadata tags
    std::vector<uint8_t> ijBytes = {};
    std::vector<uint8_t> data = {}; // the pixels; empty: every byte 7
};

inline void WritePages(const std::string& inPath, const std::vector<Page>& inPages)
{
    XTIFFFile::RegisterPrivateTags();
    TIFF* tif = TIFFOpen(inPath.c_str(), "w");
    ASSERT_TRUE(tif);
    for (const Page& p : inPages) {
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, p.width);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, p.height);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, p.bits);
        TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, p.format);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, p.samples);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, p.photometric);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, p.planar);
        if (p.photometric == PHOTOMETRIC_PALETTE) {
            std::vector<uint16_t> map(size_t(1) << p.bits, 0);
            TIFFSetField(tif, TIFFTAG_COLORMAP, map.data(), map.data(), map.data());
        }
        if (p.tileSide) {
            // One raw tile of a few bytes: the page declares tiles it does not hold.
            TIFFSetField(tif, TIFFTAG_TILEWIDTH, p.tileSide);
            TIFFSetField(tif, TIFFTAG_TILELENGTH, p.tileSide);
            uint8_t bytes[16] = {};
            ASSERT_EQ(TIFFWriteRawTile(tif, 0, bytes, sizeof bytes), tmsize_t(sizeof bytes));
            ASSERT_TRUE(TIFFWriteDirectory(tif));
            continue;
        }
        // Without data, only the first row is written: the page declares its full size.
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, p.writeData ? p.height : 1u);
        if (!p.description.empty())
            TIFFSetField(tif, TIFFTAG_IMAGEDESCRIPTION, p.description.c_str());
        if (!p.ijSizes.empty()) {
            TIFFSetField(tif, XTIFFFile::kImageJMetadataSizesTag, uint32_t(p.ijSizes.size()), p.ijSizes.data());
            TIFFSetField(tif, XTIFFFile::kImageJMetadataTag, uint32_t(p.ijBytes.size()), p.ijBytes.data());
        }
        std::vector<uint8_t> data = p.data;
        if (data.empty())
            data.assign(size_t(p.width) * (p.writeData ? p.height : 1u) * (p.bits / 8) * p.samples, 7);
        ASSERT_GE(TIFFWriteEncodedStrip(tif, 0, data.data(), tmsize_t(data.size())), 0);
        ASSERT_TRUE(TIFFWriteDirectory(tif));
    }
    TIFFClose(tif);
}

} // namespace ImportTestStacks
