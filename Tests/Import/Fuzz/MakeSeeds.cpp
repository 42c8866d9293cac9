// Writes the fuzzer's seeds: small plain, ImageJ (one with channel display ranges) and
// OME TIFF files of the test stacks, an RGB page followed by a min-is-white one, and
// the OME-XML of a 13 x 7 stack on its own, also with a DTD that declares an entity.
//   bin/MakeImportSeeds Tests/Import/Fuzz/Seeds
#include "ImportTestStacks.h"
#include "XException.h"

#include <tiffio.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

using namespace ImportTestStacks;
using XForm = XTIFFWriter::XForm;

namespace {

// Pages the writer does not make: interleaved RGB, then min-is-white grey.
bool WriteColourPages(const std::string& inPath)
{
    TIFF* tif = TIFFOpen(inPath.c_str(), "w");
    if (!tif)
        return false;
    const uint32_t width = 8, height = 5;
    for (uint16_t samples : {uint16_t(3), uint16_t(1)}) {
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, uint16_t(8));
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, uint16_t(samples == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISWHITE));
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, uint16_t(PLANARCONFIG_CONTIG));
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, uint32_t(2));
        std::vector<uint8_t> data(size_t(width) * height * samples);
        for (size_t i = 0; i < data.size(); ++i)
            data[i] = uint8_t(i * 7);
        for (uint32_t s = 0, y = 0; y < height; ++s, y += 2) {
            const size_t rows = std::min<uint32_t>(2, height - y);
            if (TIFFWriteEncodedStrip(tif, s, &data[size_t(y) * width * samples], tmsize_t(rows * width * samples)) < 0)
                return TIFFClose(tif), false;
        }
        if (!TIFFWriteDirectory(tif))
            return TIFFClose(tif), false;
    }
    TIFFClose(tif);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: MakeImportSeeds FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    struct Seed {
        const char* name;
        XForm form;
        XVoxelType type;
        uint32_t channels, slices, timepoints;
        XTIFFWriter::XOptions options;
        const char* order;
        bool perPlane;
    };
    const Seed seeds[] = {
        {"plain8.tif", XForm::kPlain, XVoxelType::kGrey8, 1, 3, 1, {}, "XYCZT", false},
        {"imagej16.tif", XForm::kImageJ, XVoxelType::kGrey16, 2, 2, 2, {}, "XYCZT", false},
        {"imagej-float-lzw.tif", XForm::kImageJ, XVoxelType::kFloat32, 1, 2, 2,
            {XTIFFWriter::XCompression::kLZW, 3, 0}, "XYCZT", false},
        {"ome16-planes.ome.tif", XForm::kOME, XVoxelType::kGrey16, 2, 3, 2, {}, "XYZTC", true},
        {"ome8-tiles.ome.tif", XForm::kOME, XVoxelType::kGrey8, 2, 2, 1, {XTIFFWriter::XCompression::kDeflate, 0, 16},
            "XYCZT", false},
    };
    try {
        for (const Seed& seed : seeds) {
            Stack stack = MakeStack(seed.type, seed.channels, seed.slices, seed.timepoints);
            stack.info.dimensionOrder = seed.order;
            stack.info.tiffDataPerPlane = seed.perPlane;
            stack.info.timeIncrement = 2.5;
            stack.info.channelNames.assign(seed.channels, "dye");
            XTIFFWriter::WriteVolumes(XString(folder + "/" + seed.name), seed.form, stack.info, stack.Pointers(), seed.options);
        }
        // A hyperstack with a display range per channel in its binary metadata.
        Stack ranged = MakeStack(XVoxelType::kGrey16, 3, 2, 1);
        ranged.info.displayRanges = {{10, 300}, {0, 4095}, {-2.5, 1e4}};
        XTIFFWriter::WriteVolumes(XString(folder + "/imagej16-ranges.tif"), XForm::kImageJ, ranged.info, ranged.Pointers());
        if (!WriteColourPages(folder + "/rgb-then-white.tif"))
            throw XException(XException::kFileError, "The seed rgb-then-white.tif could not be written.");
        Stack stack = MakeStack(XVoxelType::kGrey16, 2, 3, 4);
        stack.info.tiffDataPerPlane = true;
        stack.info.hasStartTime = true;
        stack.info.startTime = XTime(1.7e9);
        const std::string xml = XTIFFWriter::MakeOMEXML(stack.info, "x.ome.tif").GetStdString();
        // The same document with a DTD of its own, which the reader must refuse.
        const size_t body = xml.find("<OME");
        const std::string withEntities = xml.substr(0, body) + "<!DOCTYPE OME [<!ENTITY dye 'Dye'>]>\n" + xml.substr(body);
        for (const auto& [name, text] : {std::pair{"ome16.xml", xml}, std::pair{"ome16-dtd.xml", withEntities}}) {
            FILE* file = std::fopen((folder + "/" + name).c_str(), "wb");
            if (!file || std::fwrite(text.data(), 1, text.size(), file) != text.size() || std::fclose(file) != 0)
                throw XException(XException::kFileError, XString("The seed %1 could not be written.").Replace(XString(name)));
        }
    } catch (const XException& e) {
        std::fprintf(stderr, "%s\n", e.GetRawErrorMessage().GetCString());
        return 1;
    }
    return 0;
}
