#include "X3DGCThreadPool.h"

#include "X3DGC.h"
#include "XMap.h"
#include "XMutex.h"
#include "XThread.h"
#include "XThreadLock.h"

#include <vector>

struct X3DGCThreadPool::XShared {
    XMutex mutex{4000, false};
    XMap<uint64_t, std::unique_ptr<X3DGC>> devices;

    // The device of a thread that has ended, deleted outside the mutex.
    void ReleaseThread(uint64_t inThreadID)
    {
        std::unique_ptr<X3DGC> ended;
        {
            XThreadLock lock(mutex);
            auto iter = devices.find(inThreadID);
            if (iter == devices.end())
                return;
            ended = std::move(iter->second);
            devices.erase(iter);
        }
    }
};

namespace {
// Tells the pools a thread used that the thread is ending (thread IDs are reused).
struct XThreadExitWatch {
    std::vector<std::weak_ptr<X3DGCThreadPool::XShared>> pools;
    ~XThreadExitWatch()
    {
        const uint64_t id = XThread::GetCurrentThreadID();
        for (auto& weak : pools)
            if (auto pool = weak.lock())
                pool->ReleaseThread(id);
    }
};
thread_local XThreadExitWatch tExitWatch;
} // namespace

X3DGCThreadPool::X3DGCThreadPool() : itsShared(std::make_shared<XShared>()) {}

X3DGCThreadPool::~X3DGCThreadPool()
{
    XMap<uint64_t, std::unique_ptr<X3DGC>> devices;
    {
        XThreadLock lock(itsShared->mutex);
        devices.swap(itsShared->devices);
    }
}

X3DGC& X3DGCThreadPool::GetContextForCurrentThread()
{
    const uint64_t id = XThread::GetCurrentThreadID();
    XThreadLock lock(itsShared->mutex);
    auto iter = itsShared->devices.find(id);
    if (iter != itsShared->devices.end())
        return *iter->second;
    auto device = std::make_unique<X3DGC>();
    X3DGC::XCreationParameters parameters;
    parameters.wantsStencil = 1;
    parameters.wantsStereo = 0;
    parameters.wantsGenericFormat = 0;
    device->Initialise(parameters);
    X3DGC& result = *device;
    itsShared->devices[id] = std::move(device);
    tExitWatch.pools.push_back(itsShared);
    return result;
}

const X3DGC& X3DGCThreadPool::GetContextForCurrentThread() const
{
    return const_cast<X3DGCThreadPool*>(this)->GetContextForCurrentThread();
}

size_t X3DGCThreadPool::GetDeviceCount() const
{
    XThreadLock lock(itsShared->mutex);
    return itsShared->devices.size();
}
