#pragma once
// Where a device draws: a window or an offscreen target. The device it is attached
// to (AttachRenderTarget) begins and ends each frame on it.
#include "XVolume.h"

#include <cstdint>
#include <memory>

class X3DGC;
class XBGRA32Volume;

class X3DGCRenderTarget {
public:
    // Sizes of 0 make a target of 1.
    X3DGCRenderTarget(uint32_t inWidth, uint32_t inHeight);
    virtual ~X3DGCRenderTarget();
    X3DGCRenderTarget(const X3DGCRenderTarget&) = delete;
    X3DGCRenderTarget& operator=(const X3DGCRenderTarget&) = delete;

    uint32_t GetWidth() const { return itsWidth; }
    uint32_t GetHeight() const { return itsHeight; }
    X3DGC* GetTargettedBy() const { return itsTargettedBy; }

    // The target's pixels as a new volume.
    virtual std::unique_ptr<XVolume> MakeVolume() = 0;
    virtual void CopyOutToBGRA32Volume(XBGRA32Volume& outVolume) const = 0;
    virtual void Preset() {}

    // For the device: attached to inGC (null: detached), a frame begins, a frame ends.
    void HandleBecomeCurrentTarget(X3DGC* inGC);
    void HandleBeginRender();
    void HandleEndRender();
    // Releases device objects; a target still attached is reported and detached
    // first. The caller deletes the target afterwards.
    void Destroy(X3DGC& inGC);

protected:
    // Leaves the device this target is current on without a target; subclasses call
    // it from their destructors while their implementation still exists.
    void DetachFromDevice();
    virtual void HandleBecomeCurrentTargetSelf(X3DGC*) {}
    virtual void HandleBeginRenderSelf(X3DGC&) {}
    virtual void HandleEndRenderSelf(X3DGC&) {}
    virtual void DestroySelf(X3DGC&) {}

private:
    uint32_t itsWidth;
    uint32_t itsHeight;
    X3DGC* itsTargettedBy = nullptr;
};
