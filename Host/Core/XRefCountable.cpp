#include "XRefCountable.h"

#include "XAssert.h"

XRefCountable::~XRefCountable()
{
    X_ASSERT_TEXT(itsRefCount.load() == 0, "GetRefCount() == 0");
}

void XRefCountable::AddRef() const { itsRefCount.fetch_add(1, std::memory_order_relaxed); }

void XRefCountable::Release() const
{
    uint32_t count = itsRefCount.load(std::memory_order_relaxed);
    do {
        X_ASSERT_TEXT(count > 0, "GetRefCount() > 0");
        if (count == 0)
            return;
    } while (!itsRefCount.compare_exchange_weak(count, count - 1, std::memory_order_acq_rel));
    if (count == 1)
        delete this;
}
