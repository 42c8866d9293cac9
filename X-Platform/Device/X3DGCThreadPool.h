#pragma once
// One device per worker thread that asks, made and initialised on first request.
// The device of a thread that has ended is released; the rest live as long as the
// pool.
#include <memory>

class X3DGC;

class X3DGCThreadPool {
public:
    X3DGCThreadPool();
    ~X3DGCThreadPool();
    X3DGCThreadPool(const X3DGCThreadPool&) = delete;
    X3DGCThreadPool& operator=(const X3DGCThreadPool&) = delete;

    X3DGC& GetContextForCurrentThread();
    const X3DGC& GetContextForCurrentThread() const;
    size_t GetDeviceCount() const;

    // Shared with the exit watch of every thread that got a device, which may
    // outlive the pool.
    struct XShared;

private:
    std::shared_ptr<XShared> itsShared;
};
