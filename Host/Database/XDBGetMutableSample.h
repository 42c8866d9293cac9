#pragma once
// Scoped write access to a database sample as a T: Get gives a working copy, and only
// Commit makes the changes the stored sample; leaving the scope without Commit changes
// nothing. Construction throws kNoSuchSample for an unknown ID and kSampleLocked for a
// locked sample (unless the thread overrides modify locks); Get throws 2210 when the
// sample is not a T; Commit throws kSampleLocked when the sample was locked, or changed
// by another writer, after the copy was taken.
#include "XDataSample.h"
#include "XException.h"
#include "XSampleDB.h"

#include <memory>

template <class T>
class XDBGetMutableSample {
public:
    explicit XDBGetMutableSample(uint32_t inID) : itsID(inID), itsSnapshot(XSampleDB::GetDB().GetSnapshotForWrite(inID)) {}
    XDBGetMutableSample(const XDBGetMutableSample&) = delete;
    XDBGetMutableSample& operator=(const XDBGetMutableSample&) = delete;

    T& Get()
    {
        if (!itsCopy) {
            if (!dynamic_cast<const T*>(itsSnapshot.sample.get()))
                throw XException(XException::kWrongSampleType,
                                 XString("data set %1 is not of the kind this operation needs (its type is %2)")
                                     .Replace(static_cast<int64_t>(itsID))
                                     .Replace(static_cast<int64_t>(itsSnapshot.sample->GetSampleType().GetType())));
            itsCopy = itsSnapshot.sample->Clone();
        }
        return dynamic_cast<T&>(*itsCopy);
    }
    T* operator->() { return &Get(); }

    // Stores the working copy (nothing happens when Get was never called). The copy stays
    // in this object, so further changes can be committed again.
    void Commit()
    {
        if (!itsCopy)
            return;
        itsSnapshot.generation = XSampleDB::GetDB().CommitSample(itsID, itsCopy->Clone(), itsSnapshot.generation);
    }
    uint32_t GetID() const { return itsID; }

private:
    uint32_t itsID;
    XSampleDB::XSnapshot itsSnapshot;
    std::unique_ptr<XDataSample> itsCopy;
};
