#pragma once
// The sample database: data sets by non-zero 32-bit ID, each with its own preferences
// and a modify lock. Thread safe.
//
// Samples are kept as immutable snapshots. A reader (XDBGetSample) takes the current
// snapshot and keeps it alive for as long as it reads, holding no lock; a writer
// (XDBGetMutableSample) edits a clone and commits it, which replaces the snapshot.
// A commit is refused when the sample changed since the writer took its copy, so no
// change is lost silently.
//
// Modify locks keep a sample from being changed (for example while a job reads it
// piece by piece); OverrideModifyLocks lets the calling thread write locked samples
// until the matching RestoreModifyLocks. Overrides nest and belong to the thread.
#include "XDataSample.h"
#include "XPrefsSaver.h"
#include "XVersion.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <shared_mutex>
#include <vector>

class XPrefsTable;

class XSampleDB {
public:
    static XSampleDB& GetDB();

    XSampleDB();
    ~XSampleDB();
    XSampleDB(const XSampleDB&) = delete;
    XSampleDB& operator=(const XSampleDB&) = delete;

    // Stores the sample (and the companions it creates, e.g. channel placeholders) and
    // returns its new ID. A null sample throws kBadArgument.
    uint32_t AddSample(std::unique_ptr<XDataSample> inSample);
    // Removes the sample, its preferences and the samples it owns. Throws kNoSuchSample
    // for an unknown ID, kSampleLocked for a locked sample (unless overridden) and
    // kBadArgument for a sample owned by another (remove its owner instead).
    void RemoveSample(uint32_t inID);
    bool HasSample(uint32_t inID) const;
    size_t GetSampleCount() const;
    std::vector<uint32_t> GetSampleIDs() const;
    // Throws kNoSuchSample for an unknown ID.
    XVersion GetSampleType(uint32_t inID) const;
    // Removes everything, locks included (for hosts closing all data and for tests).
    void Clear();

    void SetModifyLock(uint32_t inID, bool inLocked);
    bool IsModifyLocked(uint32_t inID) const;
    void OverrideModifyLocks();
    void RestoreModifyLocks();
    bool AreModifyLocksOverridden() const;

    // Scoped OverrideModifyLocks/RestoreModifyLocks.
    class XModifyLockOverride {
    public:
        XModifyLockOverride() { GetDB().OverrideModifyLocks(); }
        ~XModifyLockOverride() { GetDB().RestoreModifyLocks(); }
        XModifyLockOverride(const XModifyLockOverride&) = delete;
        XModifyLockOverride& operator=(const XModifyLockOverride&) = delete;
    };

    // For the scoped accessors. A snapshot and the generation it belongs to.
    struct XSnapshot {
        std::shared_ptr<const XDataSample> sample;
        uint64_t generation = 0;
    };
    // Throws kNoSuchSample.
    XSnapshot GetSnapshot(uint32_t inID) const;
    // As GetSnapshot, and throws kSampleLocked when the calling thread may not write it.
    XSnapshot GetSnapshotForWrite(uint32_t inID) const;
    // Replaces the sample by inSample if it is still at inGeneration; returns the new
    // generation. Throws kNoSuchSample, kSampleLocked, or kSampleLocked when another
    // writer committed first.
    uint64_t CommitSample(uint32_t inID, std::unique_ptr<XDataSample> inSample, uint64_t inGeneration);

    // For XSamplePrefsSaver: the sample's preferences. Reading a missing sample gives no
    // entry; writing one throws kNoSuchSample. Preferences ignore modify locks.
    std::optional<XPrefsSaver::XValue> GetSamplePref(uint32_t inID, const XString& inSection, const XString& inKey) const;
    void SetSamplePref(uint32_t inID, const XString& inSection, const XString& inKey, const XPrefsSaver::XValue& inValue);
    bool RemoveSamplePref(uint32_t inID, const XString& inSection, const XString& inKey);

private:
    struct Record;

    Record& FindLocked(uint32_t inID);
    const Record& FindLocked(uint32_t inID) const;
    void CheckWritableLocked(uint32_t inID, const Record& inRecord) const;
    // Moves the records out so that samples are destroyed after the lock is released.
    void RemoveLocked(uint32_t inID, std::vector<std::unique_ptr<Record>>& outRemoved);

    mutable std::shared_mutex itsMutex;
    std::map<uint32_t, std::unique_ptr<Record>> itsRecords;
    uint32_t itsNextID = 1;
    uint64_t itsGeneration = 0; // stamps every stored snapshot
};
