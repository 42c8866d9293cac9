#pragma once
// What the slice-stack module registers with the renderer registry.
#include "XVolumeRendererStrategy.h"

class XSliceStackStrategy : public XVolumeRendererStrategy {
public:
    static constexpr uint32_t kSortOrder = 100;
    static constexpr uint32_t kRendererID = 1001;
    static constexpr const char* kName = "Slice Stack";

    uint32_t GetSortOrder() override { return kSortOrder; }
    uint32_t GetID() override { return kRendererID; }
    XString GetName() override { return kName; }
    // Makes a renderer in the view's enclosure and hands it to the view.
    void AttachRenderer(XVolumeRenderingViewProtocol& inView) override;
    bool IsDefaultCandidate() override { return true; }
    // The renderer draws every decoration, stereo mode and background the host can ask for.
    bool IsPrefPropertySupported(XPrefProperty) override { return true; }
};
