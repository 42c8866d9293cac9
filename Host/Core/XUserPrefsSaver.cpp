#include "XUserPrefsSaver.h"
#include "XException.h"
#include "XPrefsTable.h"
#include "XSessionLogManager.h"
#include "XStream.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <sys/stat.h>

namespace {
// A preferences file this large is not one we wrote.
constexpr size_t kMaxPrefsFileBytes = size_t(64) << 20;

struct Store {
    std::mutex mutex;
    bool loaded = false;
    XString path;
    XPrefsTable table;
    // The file on disk could not be read; keep it aside before the first save.
    bool fileIsDamaged = false;
};

Store& GetStore()
{
    static Store* sStore = new Store; // preferences may be written from static destructors at exit
    return *sStore;
}

void LoadLocked(Store& inStore)
{
    inStore.loaded = true;
    inStore.fileIsDamaged = false;
    inStore.table.Clear();
    inStore.path = XUserPrefsSaver::GetPrefsFilePath();
    if (inStore.path.IsEmpty())
        return;
    struct stat info {};
    if (::stat(inStore.path.GetCString(), &info) != 0 && errno == ENOENT)
        return; // no preferences yet
    try {
        XStream file = XStream::LoadFromFile(inStore.path, kMaxPrefsFileBytes);
        const auto* text = reinterpret_cast<const char*>(file.GetData());
        inStore.table = XPrefsTable::Decode(std::string_view(text, file.GetSize()));
    } catch (const XException& e) {
        inStore.table.Clear();
        inStore.fileIsDamaged = true;
        XSessionLogManager::GetManager()->AddEntry(
            XString("The preferences file \"%1\" could not be read (%2). Preferences start from their "
                    "defaults; the file is left unchanged until a preference is saved, and then kept as "
                    "\"%1.corrupt\".")
                .Replace(inStore.path)
                .Replace(e.GetErrorMessage()),
            XSessionLogManager::kWarning);
    }
}

Store& LoadedStore(std::unique_lock<std::mutex>& outLock)
{
    Store& store = GetStore();
    outLock = std::unique_lock<std::mutex>(store.mutex);
    if (!store.loaded)
        LoadLocked(store);
    return store;
}

void SaveLocked(Store& inStore)
{
    if (inStore.path.IsEmpty())
        return;
    try {
        if (inStore.fileIsDamaged) {
            const XString aside = inStore.path + ".corrupt";
            if (std::rename(inStore.path.GetCString(), aside.GetCString()) != 0 && errno != ENOENT)
                throw XException(XException::kFileError,
                                 XString("cannot keep the damaged file as \"%1\": %2")
                                     .Replace(aside)
                                     .Replace(XString(std::strerror(errno))));
            inStore.fileIsDamaged = false;
        }
        const std::string text = inStore.table.Encode();
        XStream(text.data(), text.size()).SaveToFile(inStore.path);
    } catch (const XException& e) {
        // A preference that cannot be saved must not stop the caller; it stays for this run.
        XSessionLogManager::GetManager()->AddEntry(
            XString("The preferences could not be saved to \"%1\" (%2); changes last only until the program "
                    "ends.")
                .Replace(inStore.path)
                .Replace(e.GetErrorMessage()),
            XSessionLogManager::kError);
    }
}
} // namespace

XString XUserPrefsSaver::GetPrefsFilePath()
{
    if (const char* file = std::getenv("KESTRIN_PREFS_FILE"); file && *file)
        return XString(file);
    std::string dir;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        dir = config;
    else if (const char* home = std::getenv("HOME"); home && *home)
        dir = std::string(home) + "/.config";
    else
        return XString();
    return XString(dir + "/kestrin/prefs");
}

void XUserPrefsSaver::Reload()
{
    Store& store = GetStore();
    std::lock_guard<std::mutex> lock(store.mutex);
    LoadLocked(store);
}

std::optional<XPrefsSaver::XValue> XUserPrefsSaver::GetValueSelf(const XString& inSection, const XString& inKey) const
{
    std::unique_lock<std::mutex> lock;
    Store& store = LoadedStore(lock);
    if (const XValue* value = store.table.Find(inSection, inKey))
        return *value;
    return std::nullopt;
}

void XUserPrefsSaver::SetValueSelf(const XString& inSection, const XString& inKey, const XValue& inValue)
{
    std::unique_lock<std::mutex> lock;
    Store& store = LoadedStore(lock);
    if (const XValue* old = store.table.Find(inSection, inKey); old && *old == inValue && !store.fileIsDamaged)
        return; // unchanged: spare the disk
    store.table.Set(inSection, inKey, inValue);
    SaveLocked(store);
}

bool XUserPrefsSaver::RemoveEntrySelf(const XString& inSection, const XString& inKey)
{
    std::unique_lock<std::mutex> lock;
    Store& store = LoadedStore(lock);
    if (!store.table.Remove(inSection, inKey))
        return false;
    SaveLocked(store);
    return true;
}
