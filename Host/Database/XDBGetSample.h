#pragma once
// Scoped read-only access to a database sample as a T. The sample read is the one
// stored when the access began: later commits do not change it under the reader.
// Construction throws XException kNoSuchSample for an unknown ID; Get throws 2210 when
// the sample is not a T.
#include "XDataSample.h"
#include "XException.h"
#include "XSampleDB.h"

#include <memory>

template <class T>
class XDBGetSample {
public:
    explicit XDBGetSample(uint32_t inID) : itsID(inID), itsSample(XSampleDB::GetDB().GetSnapshot(inID).sample) {}
    XDBGetSample(const XDBGetSample&) = delete;
    XDBGetSample& operator=(const XDBGetSample&) = delete;

    const T& Get() const
    {
        const T* typed = dynamic_cast<const T*>(itsSample.get());
        if (!typed)
            throw XException(XException::kWrongSampleType,
                             XString("data set %1 is not of the kind this operation needs (its type is %2)")
                                 .Replace(static_cast<int64_t>(itsID))
                                 .Replace(static_cast<int64_t>(itsSample->GetSampleType().GetType())));
        return *typed;
    }
    const T* operator->() const { return &Get(); }
    // Whether the sample is a T (Get would not throw).
    bool IsA() const { return dynamic_cast<const T*>(itsSample.get()) != nullptr; }
    uint32_t GetID() const { return itsID; }

private:
    uint32_t itsID;
    std::shared_ptr<const XDataSample> itsSample;
};
