#pragma once
// A block of device memory of a fixed size, filled through CopyInData or through a
// pointer from GetData while the buffer is locked.
#include "XLockable.h"

#include <cstdint>

class X3DGCBuffer : public XLockable {
public:
    enum XBufferUsage : uint32_t { kBufferStaticDraw = 0, kBufferStreamDraw = 1, kBufferStreamCopy = 2 };

    X3DGCBuffer(uint64_t inSizeBytes, XBufferUsage inUsage) : itsSizeBytes(inSizeBytes), itsUsage(inUsage) {}

    uint64_t GetSizeBytes() const { return itsSizeBytes; }
    XBufferUsage GetUsage() const { return itsUsage; }

    void CopyInData(const void* inData, uint64_t inSizeBytes) { CopyInDataWithOffset(inData, inSizeBytes, 0); }
    // A range that does not lie inside the buffer throws XException kBadArgument
    // before anything is written.
    virtual void CopyInDataWithOffset(const void* inData, uint64_t inSizeBytes, uint64_t inOffsetBytes) = 0;
    virtual void* GetData(uint64_t inOffsetBytes, uint64_t inSizeBytes) = 0;

protected:
    // Throws XException kBadArgument unless offset and length lie inside the buffer.
    void CheckRange(uint64_t inOffsetBytes, uint64_t inSizeBytes) const;

private:
    uint64_t itsSizeBytes;
    XBufferUsage itsUsage;
};
