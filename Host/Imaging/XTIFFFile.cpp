#include "XTIFFFile.h"

#include "XException.h"

#include <tiffio.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <mutex>

namespace {

TIFFExtendProc gNextExtender = nullptr;

void AddPrivateTags(TIFF* inTIFF)
{
    static const TIFFFieldInfo kFields[] = {
        {XTIFFFile::kImageJMetadataSizesTag, TIFF_VARIABLE2, TIFF_VARIABLE2, TIFF_LONG, FIELD_CUSTOM, 1, 1,
            const_cast<char*>("IJMetadataByteCounts")},
        {XTIFFFile::kImageJMetadataTag, TIFF_VARIABLE2, TIFF_VARIABLE2, TIFF_BYTE, FIELD_CUSTOM, 1, 1,
            const_cast<char*>("IJMetadata")},
    };
    TIFFMergeFieldInfo(inTIFF, kFields, uint32_t(std::size(kFields)));
    if (gNextExtender)
        gNextExtender(inTIFF);
}

} // namespace

void XTIFFFile::RegisterPrivateTags()
{
    static std::once_flag once;
    std::call_once(once, [] { gNextExtender = TIFFSetTagExtender(&AddPrivateTags); });
}

XTIFFFile::XTIFFFile(const XString& inPath, const char* inMode) : itsPath(inPath)
{
    RegisterPrivateTags();
    const bool reading = inMode[0] == 'r';
    if (reading) {
        // libtiff's own message for a missing file is terse; say it plainly first.
        FILE* probe = std::fopen(inPath.GetCString(), "rb");
        if (!probe)
            throw XException(XException::kFileError,
                XString("The file \"%1\" cannot be opened: %2. Check that it exists and that you may read it.")
                    .Replace(inPath).Replace(XString(std::strerror(errno))));
        std::fclose(probe);
    }
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, kMaxLibraryAllocation);
    TIFFOpenOptionsSetErrorHandlerExtR(options, &XTIFFFile::HandleError, this);
    TIFFOpenOptionsSetWarningHandlerExtR(options, &XTIFFFile::HandleWarning, this);
    itsTIFF = TIFFOpenExt(inPath.GetCString(), inMode, options);
    TIFFOpenOptionsFree(options);
    if (!itsTIFF) {
        XString why = itsLastError.IsEmpty() ? XString("it is not a TIFF file") : itsLastError;
        throw XException(XException::kFileError,
            reading ? XString("The file \"%1\" cannot be read as a TIFF image (%2). Check that it is a complete TIFF file.")
                          .Replace(inPath).Replace(why)
                    : XString("The file \"%1\" cannot be written (%2). Check the folder exists and has free space.")
                          .Replace(inPath).Replace(why));
    }
}

XTIFFFile::~XTIFFFile()
{
    if (itsTIFF)
        TIFFClose(itsTIFF);
}

void XTIFFFile::Close()
{
    if (!itsTIFF)
        return;
    int flushed = TIFFFlush(itsTIFF);
    TIFFClose(itsTIFF);
    itsTIFF = nullptr;
    if (!flushed || !itsLastError.IsEmpty())
        throw XException(XException::kFileError,
            XString("The file \"%1\" could not be completed (%2). Check that the disk has free space.")
                .Replace(itsPath).Replace(itsLastError.IsEmpty() ? XString("the data could not be flushed") : itsLastError));
}

int XTIFFFile::HandleError(tiff*, void* inUserData, const char* inModule, const char* inFormat, va_list inArgs)
{
    auto* self = static_cast<XTIFFFile*>(inUserData);
    char text[512];
    std::vsnprintf(text, sizeof text, inFormat, inArgs);
    // The first error says most; later ones tend to be consequences of it.
    if (self && self->itsLastError.IsEmpty())
        self->itsLastError = inModule && *inModule ? XString(inModule) + ": " + text : XString(text);
    return 1; // handled: nothing reaches the process-wide handler (stderr)
}

int XTIFFFile::HandleWarning(tiff*, void*, const char*, const char*, va_list)
{
    return 1;
}
