#pragma once
// A sample holding one volume, with how it is shown (its image renderer) and whether
// it is hidden. Volumes are shared read-only between copies of the sample.
#include "XDataSample.h"
#include "XImageRenderer.h"
#include "XVolume.h"

#include <memory>

class XDataVolume : public XDataSample {
public:
    static constexpr uint32_t kSampleType = 518;

    XDataVolume() = default;
    explicit XDataVolume(std::shared_ptr<const XVolume> inVolume) : itsVolume(std::move(inVolume)) {}
    XDataVolume(const XDataVolume& inOther);
    XDataVolume& operator=(const XDataVolume& inOther);

    XVersion GetSampleType() const override { return XVersion(kSampleType); }
    std::unique_ptr<XDataSample> Clone() const override { return std::make_unique<XDataVolume>(*this); }

    const std::shared_ptr<const XVolume>& GetVolume() const { return itsVolume; }
    void SetVolume(std::shared_ptr<const XVolume> inVolume) { itsVolume = std::move(inVolume); }

    // A new copy of the renderer, owned by the caller; null when the volume has none.
    XImageRenderer* GetRendererCopy() const;
    void SetRenderer(const XImageRenderer& inRenderer) { itsRenderer = inRenderer.Clone(); }
    void ClearRenderer() { itsRenderer.reset(); }

    bool IsHidden() const { return itsHidden; }
    void SetHidden(bool inHidden) { itsHidden = inHidden; }

private:
    std::shared_ptr<const XVolume> itsVolume;
    std::unique_ptr<XImageRenderer> itsRenderer;
    bool itsHidden = false;
};
