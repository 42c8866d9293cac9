#pragma once
// Locks a device for the calling thread for a scope. A device the thread held
// before is released for the scope and taken again at its end, so a thread holds
// one device at a time; locking the device the thread already holds only nests.
#include <cstdint>

class X3DGC;

class X3DGCScopedLock {
public:
    // Waits while another thread holds inGC. Exceptions from locking pass on, with
    // the previously held device taken again.
    explicit X3DGCScopedLock(X3DGC& inGC);
    // Failures on the way out go to the session log: a destructor cannot pass them on.
    ~X3DGCScopedLock();
    X3DGCScopedLock(const X3DGCScopedLock&) = delete;
    X3DGCScopedLock& operator=(const X3DGCScopedLock&) = delete;

private:
    void RelockPrevious();

    X3DGC& itsGC;
    X3DGC* itsPrevious = nullptr;
    // How many lock levels of the previous device this scope released.
    int32_t itsPreviousDepth = 0;
};
