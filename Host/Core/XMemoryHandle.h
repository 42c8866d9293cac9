#pragma once
// An owned block of memory reached through Lock/Unlock, the host's movable-memory handle.
// The block never moves here; the lock count tells whether someone holds a pointer.
#include <cstddef>
#include <cstdint>
#include <memory>

class XMemoryHandle {
public:
    XMemoryHandle() = default;
    // Throws XException kBadArgument when the size cannot be allocated.
    explicit XMemoryHandle(size_t inSize);
    XMemoryHandle(XMemoryHandle&&) noexcept = default;
    XMemoryHandle& operator=(XMemoryHandle&&) noexcept = default;
    XMemoryHandle(const XMemoryHandle&) = delete;
    XMemoryHandle& operator=(const XMemoryHandle&) = delete;

    size_t GetSize() const { return itsSize; }
    bool IsValid() const { return itsData != nullptr; }
    void* Lock();
    void Unlock();
    int GetLockCount() const { return itsLockCount; }
    // Changes the size; refused (XException kBadArgument) while locked.
    void Resize(size_t inSize);

private:
    std::unique_ptr<uint8_t[]> itsData;
    size_t itsSize = 0;
    int itsLockCount = 0;
};
