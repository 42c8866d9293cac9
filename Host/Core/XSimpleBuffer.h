#pragma once
// A resizable block of bytes; the contents up to the smaller size survive a resize.
#include <cstddef>
#include <cstdint>
#include <vector>

class XSimpleBuffer {
public:
    XSimpleBuffer() = default;
    explicit XSimpleBuffer(size_t inSize) : itsBytes(inSize) {}

    void Resize(size_t inSize) { itsBytes.resize(inSize); }
    size_t GetSize() const { return itsBytes.size(); }
    uint8_t* GetData() { return itsBytes.data(); }
    const uint8_t* GetData() const { return itsBytes.data(); }
    void Clear() { itsBytes.clear(); itsBytes.shrink_to_fit(); }
    void Append(const void* inData, size_t inBytes)
    {
        const auto* p = static_cast<const uint8_t*>(inData);
        itsBytes.insert(itsBytes.end(), p, p + inBytes);
    }

private:
    std::vector<uint8_t> itsBytes;
};
