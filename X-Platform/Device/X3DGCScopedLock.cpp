#include "X3DGCScopedLock.h"

#include "X3DGC.h"
#include "XException.h"
#include "XSessionLogManager.h"
#include "XThread.h"

#include <exception>

namespace {
void LogUnlockFailure()
{
    XString text;
    try {
        throw;
    } catch (const XException& e) {
        text = XString("An exception was thrown during a 3D context unlock: ") + e.GetErrorMessage();
    } catch (const std::exception& e) {
        text = XString("An exception was thrown during a 3D context unlock: ") + e.what();
    } catch (...) {
        text = "An unknown exception was thrown during a 3D context unlock";
    }
    XSessionLogManager::GetManager()->AddEntry(text, 0);
}
} // namespace

X3DGCScopedLock::X3DGCScopedLock(X3DGC& inGC) : itsGC(inGC)
{
    XThread::PreventStop();
    try {
        // The lock map's mutex is not held from here on: locking may wait for another
        // thread, which may itself need the map (to lock or to unlock).
        X3DGC* current = X3DGC::GetCurrentThreadContext();
        if (current && current != &inGC) {
            itsPrevious = current;
            // The depth is read while this thread still holds the device: once the
            // last level is released another thread may take it and count its own.
            const int32_t depth = current->GetLockCount();
            for (int32_t level = 0; level < depth; ++level) {
                current->Unlock();
                ++itsPreviousDepth;
            }
        }
        inGC.Lock();
    } catch (...) {
        try {
            RelockPrevious();
        } catch (...) {
            LogUnlockFailure();
        }
        XThread::AllowStop();
        throw;
    }
}

X3DGCScopedLock::~X3DGCScopedLock()
{
    try {
        itsGC.Unlock();
    } catch (...) {
        LogUnlockFailure();
    }
    try {
        RelockPrevious();
    } catch (...) {
        LogUnlockFailure();
    }
    XThread::AllowStop();
}

void X3DGCScopedLock::RelockPrevious()
{
    for (; itsPreviousDepth > 0; --itsPreviousDepth)
        itsPrevious->Lock();
}
