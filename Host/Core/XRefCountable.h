#pragma once
// Intrusive reference count: the object deletes itself when the last reference goes.
// Objects start with no references; the first XRefPtr (or AddRef) takes one.
#include <atomic>
#include <cstdint>

class XRefCountable {
public:
    XRefCountable() = default;
    // A copy is a new object: it does not share the original's references.
    XRefCountable(const XRefCountable&) : itsRefCount(0) {}
    XRefCountable& operator=(const XRefCountable&) { return *this; }

    void AddRef() const;
    // Deletes the object when the count reaches zero. Releasing an object that holds
    // no reference is an assertion and does nothing.
    void Release() const;
    uint32_t GetRefCount() const { return itsRefCount.load(); }

protected:
    virtual ~XRefCountable();

private:
    mutable std::atomic<uint32_t> itsRefCount{0};
};
