#pragma once
// What a module contributes to the registry for each volume renderer it offers.
#include "XString.h"

#include <cstdint>

class XVolumeRenderingViewProtocol;

class XVolumeRendererStrategy {
public:
    // Renderer preferences the host may ask about; the registry only passes them on.
    enum XPrefProperty : uint32_t {
        kPrefStereo = 1,
        kPrefFloor = 2,
        kPrefOrientator = 3,
        kPrefScale = 4,
        kPrefTimestamp = 5,
        kPrefBackground = 6,
        kPrefBall = 7,
    };

    // The registry deletes strategies through this interface, so derived ones must be destroyed whole.
    virtual ~XVolumeRendererStrategy() = default;

    // Position key in the registry; 0 declines registration.
    virtual uint32_t GetSortOrder() = 0;
    virtual uint32_t GetID() = 0;
    virtual XString GetName() = 0;
    // Creates this strategy's renderer for the view and attaches it.
    virtual void AttachRenderer(XVolumeRenderingViewProtocol& inView) = 0;
    virtual bool IsDefaultCandidate() = 0;
    virtual bool IsPrefPropertySupported(XPrefProperty inProperty) = 0;
};
