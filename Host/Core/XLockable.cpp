#include "XLockable.h"

#include "XAssert.h"

namespace {
bool IsValidMode(XLockMode inMode) { return inMode >= kLockReadWrite && inMode <= kLockWrite; }
} // namespace

XLockable::XLockable() = default;

XLockable::~XLockable() = default;

void XLockable::SetDataFetcher(XDataFetcher inFetcher) { itsDataFetcher = std::move(inFetcher); }

void XLockable::FetchData()
{
    if (itsDataFetcher)
        itsDataFetcher(*this);
}

void XLockable::LockFor(XLockMode inMode)
{
    X_ASSERT_TEXT(IsValidMode(inMode), "inMode >= 1 && inMode <= 3");
    if (IsValidMode(inMode))
        LockSelf(inMode);
}

void XLockable::UnlockFor(XLockMode inMode)
{
    X_ASSERT_TEXT(IsValidMode(inMode), "inMode >= 1 && inMode <= 3");
    if (IsValidMode(inMode))
        UnlockSelf(inMode);
}

void XLockable::LockSelf(XLockMode) { itsLockableMutex.Lock(); }

void XLockable::UnlockSelf(XLockMode) { itsLockableMutex.Unlock(); }
