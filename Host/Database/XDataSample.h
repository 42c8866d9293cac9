#pragma once
// A data set held in the sample database. Samples are values: the database keeps one
// copy, readers see it through XDBGetSample, writers edit a clone and commit it.
#include "XString.h"
#include "XVersion.h"

#include <cstdint>
#include <memory>
#include <vector>

class XSampleDB;

class XDataSample {
public:
    // Sample types; every sample type derives from kSampleType.
    static constexpr uint32_t kSampleType = 500;
    static constexpr uint32_t kStorableSampleType = 520; // a storable object kept as a sample

    XDataSample() = default;
    XDataSample(const XDataSample&) = default;
    XDataSample& operator=(const XDataSample&) = default;
    virtual ~XDataSample() = default;

    virtual XVersion GetSampleType() const = 0;
    virtual std::unique_ptr<XDataSample> Clone() const = 0;

    const XString& GetName() const { return itsName; }
    void SetName(const XString& inName) { itsName = inName; }

    // Samples that belong to this one (they are removed with it).
    virtual std::vector<uint32_t> GetOwnedSampleIDs() const { return {}; }

protected:
    friend class XSampleDB;
    // Called by XSampleDB::AddSample before the sample is stored: the place to add the
    // companion samples it owns. Must not keep references to the database.
    virtual void PrepareForDatabaseSelf(XSampleDB&) {}
    // Called when PrepareForDatabaseSelf's samples have been removed again because the
    // sample could not be added.
    virtual void ForgetOwnedSamplesSelf() {}

private:
    XString itsName;
};
