#pragma once
// An object that callers lock for a purpose: reading and writing, reading only, or
// writing only. Subclasses decide what each mode means (LockSelf/UnlockSelf); the
// default takes the object's own recursive mutex for every mode.
#include "XMutex.h"

#include <cstdint>
#include <functional>

enum XLockMode : uint32_t {
    kLockReadWrite = 1,
    kLockRead = 2,
    kLockWrite = 3,
};

class XLockable {
public:
    // Fills the object's data on demand (for example after the data was released).
    using XDataFetcher = std::function<void(XLockable&)>;

    XLockable();
    virtual ~XLockable();
    XLockable(const XLockable&) = delete;
    XLockable& operator=(const XLockable&) = delete;

    virtual void SetDataFetcher(XDataFetcher inFetcher);
    // Runs the data fetcher, when one is set.
    virtual void FetchData();

    // A mode outside 1 to 3 is an assertion and locks nothing.
    void LockFor(XLockMode inMode);
    void UnlockFor(XLockMode inMode);

protected:
    virtual void LockSelf(XLockMode inMode);
    virtual void UnlockSelf(XLockMode inMode);
    XMutex& GetLockableMutex() { return itsLockableMutex; }

private:
    XMutex itsLockableMutex{4000, false};
    XDataFetcher itsDataFetcher;
};
