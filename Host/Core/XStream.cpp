#include "XStream.h"
#include "XException.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {
XString What(const char* inWhat, const char* inDefault)
{
    return XString(inWhat ? inWhat : inDefault);
}

XString SystemError()
{
    return XString(std::strerror(errno));
}

// Closes a descriptor however the writer is left.
struct FileCloser {
    int fd;
    ~FileCloser()
    {
        if (fd >= 0)
            ::close(fd);
    }
};
} // namespace

XStream::XStream(const void* inData, size_t inBytes)
    : itsBytes(static_cast<const uint8_t*>(inData), static_cast<const uint8_t*>(inData) + inBytes)
{
}

void XStream::Append(const uint8_t* inData, size_t inBytes)
{
    if (itsCounting)
        itsCount += inBytes;
    else
        itsBytes.insert(itsBytes.end(), inData, inData + inBytes);
}

void XStream::WriteLittle(uint64_t inValue, size_t inBytes)
{
    uint8_t bytes[8];
    for (size_t i = 0; i < inBytes; ++i)
        bytes[i] = static_cast<uint8_t>(inValue >> (8 * i));
    Append(bytes, inBytes);
}

void XStream::Write8(uint8_t inValue) { WriteLittle(inValue, 1); }
void XStream::Write16(uint16_t inValue) { WriteLittle(inValue, 2); }
void XStream::Write32(uint32_t inValue) { WriteLittle(inValue, 4); }
void XStream::Write64(uint64_t inValue) { WriteLittle(inValue, 8); }

void XStream::WriteFloat32S(float inValue)
{
    uint32_t bits;
    std::memcpy(&bits, &inValue, sizeof bits);
    Write32(bits);
}

void XStream::WriteFloat64S(double inValue)
{
    uint64_t bits;
    std::memcpy(&bits, &inValue, sizeof bits);
    Write64(bits);
}

void XStream::WriteString(const XString& inText)
{
    if (inText.GetLength() > UINT32_MAX)
        throw XException(XException::kBadArgument,
                         "a text of more than 4 GB cannot be stored; shorten it before saving");
    Write32(static_cast<uint32_t>(inText.GetLength()));
    WriteBytes(inText.GetCString(), inText.GetLength());
}

void XStream::WriteBytes(const void* inData, size_t inBytes)
{
    if (inBytes)
        Append(static_cast<const uint8_t*>(inData), inBytes);
}

void XStream::Need(size_t inBytes, const char* inWhat, const char* inDefault)
{
    if (inBytes > GetBytesLeft())
        throw XException(XException::kStreamEnded,
                         XString("the data ended while reading %1 (%2 bytes needed, %3 left); "
                                 "the file or stream is truncated or was not written by this program")
                             .Replace(What(inWhat, inDefault))
                             .Replace(static_cast<int64_t>(inBytes))
                             .Replace(static_cast<int64_t>(GetBytesLeft())));
}

uint64_t XStream::ReadLittle(size_t inBytes, const char* inWhat, const char* inDefault)
{
    Need(inBytes, inWhat, inDefault);
    uint64_t value = 0;
    for (size_t i = 0; i < inBytes; ++i)
        value |= uint64_t(itsBytes[itsPosition + i]) << (8 * i);
    itsPosition += inBytes;
    return value;
}

uint8_t XStream::Read8(const char* inWhat) { return uint8_t(ReadLittle(1, inWhat, "an 8-bit value")); }
uint16_t XStream::Read16(const char* inWhat) { return uint16_t(ReadLittle(2, inWhat, "a 16-bit value")); }
uint32_t XStream::Read32(const char* inWhat) { return uint32_t(ReadLittle(4, inWhat, "a 32-bit value")); }
uint64_t XStream::Read64(const char* inWhat) { return ReadLittle(8, inWhat, "a 64-bit value"); }

float XStream::ReadFloat32S(const char* inWhat)
{
    const auto bits = uint32_t(ReadLittle(4, inWhat, "a 32-bit float"));
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

double XStream::ReadFloat64S(const char* inWhat)
{
    const uint64_t bits = ReadLittle(8, inWhat, "a 64-bit float");
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

XString XStream::ReadString(const char* inWhat)
{
    const char* what = inWhat ? inWhat : "a text";
    const uint32_t length = Read32(what);
    if (length > GetBytesLeft())
        throw XException(XException::kStreamCorrupt,
                         XString("%1 claims %2 bytes but only %3 are left; the data is damaged")
                             .Replace(XString(what))
                             .Replace(static_cast<int64_t>(length))
                             .Replace(static_cast<int64_t>(GetBytesLeft())));
    // The bytes are taken as written: refusing text that is not UTF-8 would make a stream
    // unreadable whose writer accepted it.
    XString text(reinterpret_cast<const char*>(itsBytes.data() + itsPosition), length);
    itsPosition += length;
    return text;
}

void XStream::ReadBytes(void* outData, size_t inBytes, const char* inWhat)
{
    Need(inBytes, inWhat, "a block of bytes");
    if (inBytes)
        std::memcpy(outData, itsBytes.data() + itsPosition, inBytes);
    itsPosition += inBytes;
}

uint32_t XStream::ReadCount(size_t inElementBytes, const char* inWhat)
{
    const char* what = inWhat ? inWhat : "a count";
    const uint32_t count = Read32(what);
    if (inElementBytes > 0 && count > GetBytesLeft() / inElementBytes)
        throw XException(XException::kStreamCorrupt,
                         XString("%1 of %2 cannot fit in the %3 bytes left; the data is damaged")
                             .Replace(XString(what))
                             .Replace(static_cast<int64_t>(count))
                             .Replace(static_cast<int64_t>(GetBytesLeft())));
    return count;
}

void XStream::SetPosition(size_t inPosition)
{
    if (inPosition > GetSize() || itsCounting)
        throw XException(XException::kBadArgument,
                         XString("read position %1 is beyond the end of a %2-byte stream")
                             .Replace(static_cast<int64_t>(inPosition))
                             .Replace(static_cast<int64_t>(GetSize())));
    itsPosition = inPosition;
}

XStream XStream::LoadFromFile(const XString& inPath, size_t inMaxBytes)
{
    // Non-blocking so that a FIFO at the path cannot hang the open; it is refused below.
    const int fd = ::open(inPath.GetCString(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        throw XException(XException::kFileError,
                         XString("cannot open \"%1\" for reading: %2").Replace(inPath).Replace(SystemError()));
    FileCloser closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        throw XException(XException::kFileError,
                         XString("cannot read \"%1\": %2").Replace(inPath).Replace(SystemError()));
    if (!S_ISREG(info.st_mode))
        throw XException(XException::kFileError, XString("\"%1\" is not a regular file").Replace(inPath));
    if (static_cast<uint64_t>(info.st_size) > inMaxBytes)
        throw XException(XException::kFileError,
                         XString("\"%1\" is %2 bytes, more than the %3 bytes allowed; it is not a file this "
                                 "program wrote")
                             .Replace(inPath)
                             .Replace(static_cast<int64_t>(info.st_size))
                             .Replace(static_cast<int64_t>(inMaxBytes)));
    std::vector<uint8_t> bytes;
    bytes.reserve(static_cast<size_t>(info.st_size));
    uint8_t chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw XException(XException::kFileError,
                             XString("cannot read \"%1\": %2").Replace(inPath).Replace(SystemError()));
        }
        if (n == 0)
            break;
        if (bytes.size() + size_t(n) > inMaxBytes)
            throw XException(XException::kFileError,
                             XString("\"%1\" grew beyond the %2 bytes allowed while it was read")
                                 .Replace(inPath)
                                 .Replace(static_cast<int64_t>(inMaxBytes)));
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    return XStream(std::move(bytes));
}

void XStream::SaveToFile(const XString& inPath) const
{
    if (itsCounting)
        throw XException(XException::kBadArgument, "a counting stream holds no bytes to save");
    const std::filesystem::path target(inPath.GetStdString());
    std::error_code ec;
    if (target.has_parent_path())
        std::filesystem::create_directories(target.parent_path(), ec);

    static std::atomic<unsigned> sCounter{0};
    const std::string temp = inPath.GetStdString() + ".new-" + std::to_string(::getpid()) + "-" +
                             std::to_string(sCounter.fetch_add(1));
    const auto fail = [&](const char* inStep) {
        const XString reason = SystemError();
        ::unlink(temp.c_str());
        return XException(XException::kFileError, XString("cannot %1 \"%2\": %3; check that the folder exists "
                                                          "and is writable and that the disk is not full")
                                                      .Replace(XString(inStep))
                                                      .Replace(inPath)
                                                      .Replace(reason));
    };

    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw fail("create a file beside");
    {
        FileCloser closer{fd};
        size_t done = 0;
        while (done < itsBytes.size()) {
            const ssize_t n = ::write(fd, itsBytes.data() + done, itsBytes.size() - done);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                throw fail("write");
            }
            done += size_t(n);
        }
        if (::fsync(fd) != 0)
            throw fail("flush");
    }
    if (::rename(temp.c_str(), inPath.GetCString()) != 0)
        throw fail("replace");
}
