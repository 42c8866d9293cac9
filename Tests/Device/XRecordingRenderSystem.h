#pragma once
// A render system whose implementations record every call they receive, in order,
// so that tests see what the device front forwarded. Faults can be armed per call.
#include "X3DGCImp.h"
#include "X3DRenderSystem.h"
#include "X3DRenderSystemManager.h"

#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

class XCallLog {
public:
    void Add(std::string inCall);
    std::vector<std::string> Take(); // the calls so far, and forget them
    // The call inCall throws XException kBadArgument from now on (until Disarm).
    void ThrowOn(std::string inCall);
    void Disarm();
    void ThrowIfArmed(const std::string& inCall) const;

private:
    mutable std::mutex itsMutex;
    std::vector<std::string> itsCalls;
    std::set<std::string> itsFailing;
};

class XRecordingRenderSystem : public X3DRenderSystem {
public:
    static constexpr uint32_t kTextureUnits = 4;
    explicit XRecordingRenderSystem(XCallLog& inLog) : itsLog(inLog) {}

    // What devices report as their shader profiles: made-up values by default, the
    // runtime's own where shaders really compile.
    CGprofile itsVertexProfile = CGprofile(1);
    CGprofile itsFragmentProfile = CGprofile(2);

    std::unique_ptr<X3DGCImp> CreateGCImp(X3DGC& inGC) override;
    std::unique_ptr<X3DVertexBufferImp> CreateVertexBufferImp(X3DGC& inGC, X3DVertexBuffer& inBuffer) override;
    std::unique_ptr<X3DIndexBufferImp> CreateIndexBufferImp(X3DGC& inGC, X3DIndexBuffer& inBuffer) override;
    std::unique_ptr<XTexture2DImp> CreateTexture2DImp(X3DGC& inGC, XTexture2D& inTexture) override;
    std::unique_ptr<XTexture3DImp> CreateTexture3DImp(X3DGC& inGC, XTexture3D& inTexture) override;
    std::unique_ptr<X3DGCOffscreenTargetImp> CreateOffscreenTargetImp(X3DGC& inGC, X3DGCOffscreenTarget& inTarget) override;

private:
    XCallLog& itsLog;
};

// A render system manager with the recording system, for the life of a test.
struct XRecordingDevices {
    XCallLog log;
    X3DRenderSystemManager manager;
    explicit XRecordingDevices(CGprofile inVertexProfile = CGprofile(1), CGprofile inFragmentProfile = CGprofile(2))
    {
        auto system = std::make_unique<XRecordingRenderSystem>(log);
        system->itsVertexProfile = inVertexProfile;
        system->itsFragmentProfile = inFragmentProfile;
        manager.RegisterRenderSystem(0, std::move(system));
    }
};
