#pragma once
// An open TIFF file through libtiff, closed on destruction. libtiff's error texts
// are kept (not printed) so that a failure can name what went wrong; warnings
// about tags it does not know, which microscopy files are full of, are dropped.
#include "XString.h"

#include <cstdarg>
#include <cstdint>

struct tiff;

class XTIFFFile {
public:
    // Largest single block libtiff may allocate for one strip or tile, so that a
    // file declaring absurd sizes cannot exhaust memory inside the library.
    static constexpr int64_t kMaxLibraryAllocation = int64_t(1) << 30;
    // Private tags of ImageJ hyperstacks: the byte size of each metadata block (LONG
    // array), and the blocks themselves (BYTE array).
    static constexpr uint32_t kImageJMetadataSizesTag = 50838;
    static constexpr uint32_t kImageJMetadataTag = 50839;

    // Makes libtiff keep and write the private tags above in every file it opens from
    // now on (unknown tags cannot be written). Opening an XTIFFFile does this itself;
    // code that calls libtiff directly calls it first.
    static void RegisterPrivateTags();

    // inMode "r" reads, "w" writes classic TIFF, "w8" writes BigTIFF.
    // Throws XException kFileError naming the file when it cannot be opened.
    XTIFFFile(const XString& inPath, const char* inMode);
    ~XTIFFFile();
    XTIFFFile(const XTIFFFile&) = delete;
    XTIFFFile& operator=(const XTIFFFile&) = delete;

    tiff* Get() const { return itsTIFF; }
    const XString& GetPath() const { return itsPath; }
    // The last error libtiff reported, empty when none; ClearError forgets it.
    const XString& GetLastError() const { return itsLastError; }
    void ClearError() { itsLastError.Clear(); }
    // Closes now, flushing what was written; XException kFileError when that fails.
    void Close();

private:
    static int HandleError(tiff*, void* inUserData, const char* inModule, const char* inFormat, va_list inArgs);
    static int HandleWarning(tiff*, void*, const char*, const char*, va_list);

    XString itsPath;
    XString itsLastError;
    tiff* itsTIFF = nullptr;
};
