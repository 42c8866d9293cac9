#pragma once
// Preferences kept with one database sample (in memory, for the sample's life). Reading
// those of a sample that does not exist gives the defaults; writing them throws
// XException kNoSuchSample.
#include "XPrefsSaver.h"

#include <cstdint>

class XSamplePrefsSaver : public XPrefsSaver {
public:
    explicit XSamplePrefsSaver(uint32_t inSampleID) : itsSampleID(inSampleID) {}
    uint32_t GetSampleID() const { return itsSampleID; }

protected:
    std::optional<XValue> GetValueSelf(const XString& inSection, const XString& inKey) const override;
    void SetValueSelf(const XString& inSection, const XString& inKey, const XValue& inValue) override;
    bool RemoveEntrySelf(const XString& inSection, const XString& inKey) override;

private:
    uint32_t itsSampleID;
};
