#pragma once
// Imports a TIFF stack (ImageJ hyperstack, OME-TIFF or plain multi-page TIFF) as a
// volume sequence: one volume per channel and timepoint, with the file's channel
// names and colours, voxel size and timepoint times. A channel's display range is
// the one the file stores, else it spans its data (0 to its brightest voxel), so dim
// 12-bit data in 16-bit samples does not show black.
//
// Everything is read before anything is stored: a file that fails part-way adds
// nothing to the database.
#include "XString.h"

#include <cstdint>
#include <memory>
#include <vector>

class XDataVolumeSequence;
class XProgress;
class XSampleDB;

class XTIFFSequenceImporter {
public:
    // XException kFileError / kUnsupportedFile (from the file), naming the file.
    // outStoredRanges, when given, says per channel (from 0) whether the file stored its display range.
    static std::unique_ptr<XDataVolumeSequence> Import(const XString& inPath, XProgress* inProgress = nullptr,
                                                       std::vector<bool>* outStoredRanges = nullptr);
    // Imports and adds the sequence to the database, named after the file; returns its ID.
    static uint32_t ImportIntoDatabase(const XString& inPath, XSampleDB& inDB, XProgress* inProgress = nullptr);
};
