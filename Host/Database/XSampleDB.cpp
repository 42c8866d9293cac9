#include "XSampleDB.h"
#include "XAssert.h"
#include "XException.h"
#include "XPrefsTable.h"

#include <mutex>

namespace {
// Depth of OverrideModifyLocks on this thread: an override lets only its own thread
// write locked samples.
thread_local int sOverrideDepth = 0;

XException NoSuchSample(uint32_t inID)
{
    return XException(XException::kNoSuchSample,
                      XString("there is no data set with ID %1; it may have been closed").Replace(static_cast<int64_t>(inID)));
}
} // namespace

struct XSampleDB::Record {
    std::shared_ptr<const XDataSample> sample;
    uint64_t generation = 0;
    bool locked = false;
    uint32_t owner = 0;
    XPrefsTable prefs;
};

XSampleDB& XSampleDB::GetDB()
{
    static XSampleDB* sDB = new XSampleDB; // lives for the process: samples may be read from static destructors
    return *sDB;
}

XSampleDB::XSampleDB() = default;
XSampleDB::~XSampleDB() = default;

XSampleDB::Record& XSampleDB::FindLocked(uint32_t inID)
{
    auto it = itsRecords.find(inID);
    if (it == itsRecords.end())
        throw NoSuchSample(inID);
    return *it->second;
}

const XSampleDB::Record& XSampleDB::FindLocked(uint32_t inID) const
{
    auto it = itsRecords.find(inID);
    if (it == itsRecords.end())
        throw NoSuchSample(inID);
    return *it->second;
}

void XSampleDB::CheckWritableLocked(uint32_t inID, const Record& inRecord) const
{
    if (inRecord.locked && sOverrideDepth == 0)
        throw XException(XException::kSampleLocked,
                         XString("data set %1 is locked while it is in use; try again when the work on it has "
                                 "finished")
                             .Replace(static_cast<int64_t>(inID)));
}

uint32_t XSampleDB::AddSample(std::unique_ptr<XDataSample> inSample)
{
    if (!inSample)
        throw XException(XException::kBadArgument, "no sample was given to add to the database");

    // Companions are added first, without the lock: adding them takes it.
    try {
        inSample->PrepareForDatabaseSelf(*this);
    } catch (...) {
        std::vector<std::unique_ptr<Record>> removed;
        {
            std::unique_lock lock(itsMutex);
            for (uint32_t owned : inSample->GetOwnedSampleIDs())
                RemoveLocked(owned, removed);
        }
        inSample->ForgetOwnedSamplesSelf();
        throw;
    }

    const std::vector<uint32_t> owned = inSample->GetOwnedSampleIDs();
    std::unique_lock lock(itsMutex);
    if (itsRecords.size() >= UINT32_MAX - 1)
        throw XException(XException::kBadArgument, "the database is full; close some data sets first");
    while (itsNextID == 0 || itsRecords.count(itsNextID))
        ++itsNextID;
    const uint32_t id = itsNextID++;
    auto record = std::make_unique<Record>();
    record->sample = std::shared_ptr<const XDataSample>(std::move(inSample));
    record->generation = ++itsGeneration;
    itsRecords.emplace(id, std::move(record));
    for (uint32_t o : owned)
        if (auto it = itsRecords.find(o); it != itsRecords.end())
            it->second->owner = id;
    return id;
}

void XSampleDB::RemoveLocked(uint32_t inID, std::vector<std::unique_ptr<Record>>& outRemoved)
{
    auto it = itsRecords.find(inID);
    if (it == itsRecords.end())
        return;
    const std::vector<uint32_t> owned = it->second->sample->GetOwnedSampleIDs();
    outRemoved.push_back(std::move(it->second));
    itsRecords.erase(it);
    for (uint32_t o : owned)
        if (auto child = itsRecords.find(o); child != itsRecords.end() && child->second->owner == inID)
            RemoveLocked(o, outRemoved);
}

void XSampleDB::RemoveSample(uint32_t inID)
{
    std::vector<std::unique_ptr<Record>> removed;
    std::unique_lock lock(itsMutex);
    const Record& record = FindLocked(inID);
    if (record.owner != 0)
        throw XException(XException::kBadArgument,
                         XString("data set %1 belongs to data set %2 and is removed with it")
                             .Replace(static_cast<int64_t>(inID))
                             .Replace(static_cast<int64_t>(record.owner)));
    CheckWritableLocked(inID, record);
    RemoveLocked(inID, removed);
    lock.unlock();
}

bool XSampleDB::HasSample(uint32_t inID) const
{
    std::shared_lock lock(itsMutex);
    return itsRecords.count(inID) != 0;
}

size_t XSampleDB::GetSampleCount() const
{
    std::shared_lock lock(itsMutex);
    return itsRecords.size();
}

std::vector<uint32_t> XSampleDB::GetSampleIDs() const
{
    std::shared_lock lock(itsMutex);
    std::vector<uint32_t> ids;
    ids.reserve(itsRecords.size());
    for (const auto& r : itsRecords)
        ids.push_back(r.first);
    return ids;
}

XVersion XSampleDB::GetSampleType(uint32_t inID) const
{
    std::shared_lock lock(itsMutex);
    return FindLocked(inID).sample->GetSampleType();
}

void XSampleDB::Clear()
{
    std::map<uint32_t, std::unique_ptr<Record>> old;
    {
        std::unique_lock lock(itsMutex);
        old.swap(itsRecords);
    }
    // Samples are destroyed outside the lock: a destructor may use the database.
}

void XSampleDB::SetModifyLock(uint32_t inID, bool inLocked)
{
    std::unique_lock lock(itsMutex);
    FindLocked(inID).locked = inLocked;
}

bool XSampleDB::IsModifyLocked(uint32_t inID) const
{
    std::shared_lock lock(itsMutex);
    return FindLocked(inID).locked;
}

void XSampleDB::OverrideModifyLocks() { ++sOverrideDepth; }

void XSampleDB::RestoreModifyLocks()
{
    X_ASSERT(sOverrideDepth > 0);
    if (sOverrideDepth > 0)
        --sOverrideDepth;
}

bool XSampleDB::AreModifyLocksOverridden() const { return sOverrideDepth > 0; }

XSampleDB::XSnapshot XSampleDB::GetSnapshot(uint32_t inID) const
{
    std::shared_lock lock(itsMutex);
    const Record& record = FindLocked(inID);
    return XSnapshot{record.sample, record.generation};
}

XSampleDB::XSnapshot XSampleDB::GetSnapshotForWrite(uint32_t inID) const
{
    std::shared_lock lock(itsMutex);
    const Record& record = FindLocked(inID);
    CheckWritableLocked(inID, record);
    return XSnapshot{record.sample, record.generation};
}

uint64_t XSampleDB::CommitSample(uint32_t inID, std::unique_ptr<XDataSample> inSample, uint64_t inGeneration)
{
    if (!inSample)
        throw XException(XException::kBadArgument, "no sample was given to commit");
    std::shared_ptr<const XDataSample> previous;
    std::unique_lock lock(itsMutex);
    Record& record = FindLocked(inID);
    CheckWritableLocked(inID, record);
    if (record.generation != inGeneration)
        throw XException(XException::kSampleLocked,
                         XString("data set %1 was changed by someone else while it was being edited; open it "
                                 "again and repeat the change")
                             .Replace(static_cast<int64_t>(inID)));
    previous = std::move(record.sample); // released after the lock, with `previous`
    record.sample = std::shared_ptr<const XDataSample>(std::move(inSample));
    record.generation = ++itsGeneration;
    const uint64_t generation = record.generation;
    lock.unlock();
    return generation;
}

std::optional<XPrefsSaver::XValue> XSampleDB::GetSamplePref(uint32_t inID, const XString& inSection,
                                                            const XString& inKey) const
{
    std::shared_lock lock(itsMutex);
    auto it = itsRecords.find(inID);
    if (it == itsRecords.end())
        return std::nullopt;
    if (const XPrefsSaver::XValue* value = it->second->prefs.Find(inSection, inKey))
        return *value;
    return std::nullopt;
}

void XSampleDB::SetSamplePref(uint32_t inID, const XString& inSection, const XString& inKey,
                              const XPrefsSaver::XValue& inValue)
{
    std::unique_lock lock(itsMutex);
    FindLocked(inID).prefs.Set(inSection, inKey, inValue);
}

bool XSampleDB::RemoveSamplePref(uint32_t inID, const XString& inSection, const XString& inKey)
{
    std::unique_lock lock(itsMutex);
    auto it = itsRecords.find(inID);
    return it != itsRecords.end() && it->second->prefs.Remove(inSection, inKey);
}
