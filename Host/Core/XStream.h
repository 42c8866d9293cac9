#pragma once
// A little-endian byte stream in memory. Writes append at the end; reads advance a
// read position, and every read checks the bytes left first so that a truncated or
// hostile stream gives an XException instead of reading past the end or allocating
// what a bogus count asks for.
//
// A counting stream (kCountOnly) keeps no bytes: writing to it only adds up the size,
// which is how the bytes an object needs are measured without building them.
#include "XString.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class XStream {
public:
    enum XMode { kMemory, kCountOnly };

    XStream() = default;
    explicit XStream(XMode inMode) : itsCounting(inMode == kCountOnly) {}
    // A stream to read these bytes (and append to them).
    explicit XStream(std::vector<uint8_t> inBytes) : itsBytes(std::move(inBytes)) {}
    XStream(const void* inData, size_t inBytes);

    bool IsCounting() const { return itsCounting; }

    void Write8(uint8_t inValue);
    void Write16(uint16_t inValue);
    void Write32(uint32_t inValue);
    void Write64(uint64_t inValue);
    void WriteFloat32S(float inValue);
    void WriteFloat64S(double inValue);
    // A 32-bit byte count, then the UTF-8 bytes.
    void WriteString(const XString& inText);
    void WriteBytes(const void* inData, size_t inBytes);
    void WriteVersion(uint32_t inVersion) { Write32(inVersion); }

    // inWhat names the field in the error ("the keyframe count"); it defaults to the width.
    uint8_t Read8(const char* inWhat = nullptr);
    uint16_t Read16(const char* inWhat = nullptr);
    uint32_t Read32(const char* inWhat = nullptr);
    uint64_t Read64(const char* inWhat = nullptr);
    float ReadFloat32S(const char* inWhat = nullptr);
    double ReadFloat64S(const char* inWhat = nullptr);
    // Refuses (kStreamCorrupt) a length beyond the bytes left, before allocating.
    XString ReadString(const char* inWhat = nullptr);
    void ReadBytes(void* outData, size_t inBytes, const char* inWhat = nullptr);
    uint32_t ReadVersion(const char* inWhat = nullptr) { return Read32(inWhat ? inWhat : "a version"); }
    // A 32-bit element count, refused (kStreamCorrupt) when that many elements of at
    // least inElementBytes each cannot fit in the bytes left. Check before allocating.
    uint32_t ReadCount(size_t inElementBytes, const char* inWhat = nullptr);

    // Size of the stream in bytes (for a counting stream, the bytes written so far).
    size_t GetSize() const { return itsCounting ? itsCount : itsBytes.size(); }
    size_t GetPosition() const { return itsPosition; }
    // Throws kBadArgument beyond the end.
    void SetPosition(size_t inPosition);
    void Rewind() { itsPosition = 0; }
    size_t GetBytesLeft() const { return itsCounting ? 0 : itsBytes.size() - itsPosition; }
    const std::vector<uint8_t>& GetBuffer() const { return itsBytes; }
    const uint8_t* GetData() const { return itsBytes.data(); }

    // The whole file becomes the stream, read position at the start. Files larger than
    // inMaxBytes are refused (kFileError) rather than read into memory.
    static XStream LoadFromFile(const XString& inPath, size_t inMaxBytes = size_t(1) << 32);
    // Writes the whole stream to a new file beside inPath, flushes it to disk and renames
    // it over inPath, so that a crash leaves either the old file or the new one.
    void SaveToFile(const XString& inPath) const;

private:
    void Need(size_t inBytes, const char* inWhat, const char* inDefault);
    void Append(const uint8_t* inData, size_t inBytes);
    uint64_t ReadLittle(size_t inBytes, const char* inWhat, const char* inDefault);
    void WriteLittle(uint64_t inValue, size_t inBytes);

    std::vector<uint8_t> itsBytes;
    size_t itsPosition = 0;
    size_t itsCount = 0;
    bool itsCounting = false;
};
