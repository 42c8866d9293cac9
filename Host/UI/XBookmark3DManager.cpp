#include "XBookmark3DManager.h"

#include "XClassRegistry.h"
#include "XException.h"
#include "XStream.h"

#include <algorithm>
#include <set>

namespace {
struct XRegistrar {
    XRegistrar()
    {
        XClassRegistry::RegisterClass(XBookmark3DManager::kClassName, [] { return std::make_unique<XBookmark3DManager>(); });
    }
} sRegistrar;

// The least a stored bookmark takes: version, name length, an empty scene state
// (version and channel count) and the thumbnail flag.
constexpr size_t kMinBookmarkBytes = 4 + 4 + 8 + 1;
} // namespace

XBookmark3DManager::XBookmark3DManager(const XBookmark3DManager& inOther) : XVersioned(inOther)
{
    *this = inOther;
}

XBookmark3DManager& XBookmark3DManager::operator=(const XBookmark3DManager& inOther)
{
    if (this != &inOther) {
        std::vector<std::unique_ptr<XBookmark3D>> copy;
        copy.reserve(inOther.itsBookmarks.size());
        for (const auto& bookmark : inOther.itsBookmarks)
            copy.push_back(std::make_unique<XBookmark3D>(*bookmark));
        itsBookmarks.swap(copy);
    }
    return *this;
}

XBookmark3DManager::~XBookmark3DManager() = default;

void XBookmark3DManager::CheckIndex(size_t inIndex, size_t inLimit) const
{
    if (inIndex >= inLimit)
        throw XException(XException::kBadArgument,
                         XString("There is no bookmark %1; the list holds %2 bookmarks.")
                             .Replace(int64_t(inIndex))
                             .Replace(int64_t(itsBookmarks.size())));
}

const XBookmark3D& XBookmark3DManager::GetBookmark(size_t inIndex) const
{
    CheckIndex(inIndex, itsBookmarks.size());
    return *itsBookmarks[inIndex];
}

XBookmark3D& XBookmark3DManager::GetBookmark(size_t inIndex)
{
    CheckIndex(inIndex, itsBookmarks.size());
    return *itsBookmarks[inIndex];
}

size_t XBookmark3DManager::FindBookmark(const XString& inName) const
{
    for (size_t i = 0; i < itsBookmarks.size(); ++i)
        if (itsBookmarks[i]->GetName() == inName)
            return i;
    return npos;
}

XVector<XString> XBookmark3DManager::GetBookmarkNames() const
{
    XVector<XString> names;
    for (const auto& bookmark : itsBookmarks)
        names.push_back(bookmark->GetName());
    return names;
}

size_t XBookmark3DManager::AddBookmark(const XBookmark3D& inBookmark)
{
    auto copy = std::make_unique<XBookmark3D>(inBookmark);
    if (copy->GetName().IsEmpty())
        copy->SetName(MakeUniqueName("View"));
    const size_t existing = FindBookmark(copy->GetName());
    if (existing != npos) {
        itsBookmarks[existing] = std::move(copy);
        return existing;
    }
    itsBookmarks.push_back(std::move(copy));
    return itsBookmarks.size() - 1;
}

size_t XBookmark3DManager::InsertBookmark(size_t inIndex, const XBookmark3D& inBookmark)
{
    CheckIndex(inIndex, itsBookmarks.size() + 1);
    auto copy = std::make_unique<XBookmark3D>(inBookmark);
    if (copy->GetName().IsEmpty())
        copy->SetName(MakeUniqueName("View"));
    if (FindBookmark(copy->GetName()) != npos)
        throw XException(XException::kBadArgument,
                         XString("A bookmark named \"%1\" exists already; choose another name.").Replace(copy->GetName()));
    itsBookmarks.insert(itsBookmarks.begin() + std::ptrdiff_t(inIndex), std::move(copy));
    return inIndex;
}

bool XBookmark3DManager::RemoveBookmark(const XString& inName)
{
    const size_t index = FindBookmark(inName);
    if (index == npos)
        return false;
    RemoveBookmarkAt(index);
    return true;
}

void XBookmark3DManager::RemoveBookmarkAt(size_t inIndex)
{
    CheckIndex(inIndex, itsBookmarks.size());
    itsBookmarks.erase(itsBookmarks.begin() + std::ptrdiff_t(inIndex));
}

void XBookmark3DManager::MoveBookmark(size_t inFrom, size_t inTo)
{
    CheckIndex(inFrom, itsBookmarks.size());
    CheckIndex(inTo, itsBookmarks.size());
    std::unique_ptr<XBookmark3D> moving = std::move(itsBookmarks[inFrom]);
    itsBookmarks.erase(itsBookmarks.begin() + std::ptrdiff_t(inFrom));
    itsBookmarks.insert(itsBookmarks.begin() + std::ptrdiff_t(inTo), std::move(moving));
}

bool XBookmark3DManager::RenameBookmark(const XString& inOldName, const XString& inNewName)
{
    const size_t index = FindBookmark(inOldName);
    if (index == npos || inNewName.IsEmpty())
        return false;
    const size_t taken = FindBookmark(inNewName);
    if (taken != npos && taken != index)
        return false;
    itsBookmarks[index]->SetName(inNewName);
    return true;
}

XString XBookmark3DManager::MakeUniqueName(const XString& inBase) const
{
    if (FindBookmark(inBase) == npos && !inBase.IsEmpty())
        return inBase;
    for (int64_t n = 2;; ++n) {
        XString name = inBase + " " + XString::FromSInt64(n);
        if (FindBookmark(name) == npos)
            return name;
    }
}

size_t XBookmark3DManager::GetStreamUsage() const
{
    size_t bytes = 4 + 4;
    for (const auto& bookmark : itsBookmarks)
        bytes += bookmark->GetStreamUsage();
    return bytes;
}

void XBookmark3DManager::WriteStream2(XStream& inStream) const
{
    inStream.WriteVersion(kClassVersion);
    inStream.Write32(static_cast<uint32_t>(itsBookmarks.size()));
    for (const auto& bookmark : itsBookmarks)
        bookmark->WriteStream2(inStream);
}

void XBookmark3DManager::ReadStream2(XStream& inStream)
{
    ReadClassVersion(inStream, kClassVersion);
    const uint32_t count = inStream.ReadCount(kMinBookmarkBytes, "the bookmark count");
    XBookmark3DManager read;
    std::set<XString> names; // a set, so that a long hostile list costs no quadratic search
    for (uint32_t i = 0; i < count; ++i) {
        auto bookmark = std::make_unique<XBookmark3D>();
        bookmark->ReadStream2(inStream);
        if (bookmark->GetName().IsEmpty() || !names.insert(bookmark->GetName()).second)
            throw XException(XException::kStreamCorrupt,
                             XString("The stored bookmarks hold an empty or repeated name (\"%1\"); the data is "
                                     "damaged. Store the bookmarks again.")
                                 .Replace(bookmark->GetName()));
        read.itsBookmarks.push_back(std::move(bookmark));
    }
    itsBookmarks.swap(read.itsBookmarks);
}
