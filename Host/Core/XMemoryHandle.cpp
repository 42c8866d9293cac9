#include "XMemoryHandle.h"
#include "XAssert.h"
#include "XException.h"

#include <algorithm>
#include <cstring>
#include <new>

XMemoryHandle::XMemoryHandle(size_t inSize) { Resize(inSize); }

void* XMemoryHandle::Lock()
{
    ++itsLockCount;
    return itsData.get();
}

void XMemoryHandle::Unlock()
{
    X_ASSERT(itsLockCount > 0);
    if (itsLockCount > 0)
        --itsLockCount;
}

void XMemoryHandle::Resize(size_t inSize)
{
    if (itsLockCount > 0)
        throw XException(XException::kBadArgument, "a memory block cannot be resized while it is locked");
    std::unique_ptr<uint8_t[]> data;
    if (inSize > 0) {
        data.reset(new (std::nothrow) uint8_t[inSize]);
        if (!data)
            throw XException(XException::kBadArgument,
                             XString("%1 bytes of memory could not be allocated").Replace(static_cast<int64_t>(inSize)));
        std::memset(data.get(), 0, inSize);
        if (itsData)
            std::memcpy(data.get(), itsData.get(), std::min(inSize, itsSize));
    }
    itsData = std::move(data);
    itsSize = inSize;
}
