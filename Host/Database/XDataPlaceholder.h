#pragma once
// A sample with no data of its own: it gives per-channel preferences of a volume
// sequence a place in the database.
#include "XDataSample.h"

class XDataPlaceholder : public XDataSample {
public:
    static constexpr uint32_t kSampleType = 501;

    XVersion GetSampleType() const override { return XVersion(kSampleType); }
    std::unique_ptr<XDataSample> Clone() const override { return std::make_unique<XDataPlaceholder>(*this); }
};
