#pragma once
// The stored views of a 3D display: an ordered list of bookmarks (owned), each
// known by its name. Names are unique within a manager and never empty.
#include "XBookmark3D.h"
#include "XVector.h"
#include "XVersioned.h"

#include <memory>
#include <vector>

class XBookmark3DManager : public XVersioned {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    XBookmark3DManager() = default;
    XBookmark3DManager(const XBookmark3DManager& inOther);
    XBookmark3DManager& operator=(const XBookmark3DManager& inOther);
    ~XBookmark3DManager() override;

    size_t GetBookmarkCount() const { return itsBookmarks.size(); }
    // Indices at or past the count throw kBadArgument.
    const XBookmark3D& GetBookmark(size_t inIndex) const;
    XBookmark3D& GetBookmark(size_t inIndex);
    size_t FindBookmark(const XString& inName) const;
    XVector<XString> GetBookmarkNames() const;

    // Appends a copy. A bookmark without a name is given a new one (MakeUniqueName
    // of "View"); one whose name is taken replaces the bookmark of that name in its
    // place. Returns the copy's index.
    size_t AddBookmark(const XBookmark3D& inBookmark);
    // Inserts a copy before inIndex (the count appends); a taken name throws kBadArgument.
    size_t InsertBookmark(size_t inIndex, const XBookmark3D& inBookmark);
    bool RemoveBookmark(const XString& inName);
    void RemoveBookmarkAt(size_t inIndex);
    // Moves the bookmark at inFrom so that it ends up at inTo.
    void MoveBookmark(size_t inFrom, size_t inTo);
    // False when inOldName is absent or inNewName is empty or taken by another.
    bool RenameBookmark(const XString& inOldName, const XString& inNewName);
    // inBase itself when free, else inBase followed by " 2", " 3", ...
    XString MakeUniqueName(const XString& inBase) const;
    void Clear() { itsBookmarks.clear(); }

    // Storable: the class version, the bookmark count (u32), then each bookmark in
    // its own format.
    static constexpr uint32_t kClassVersion = 0x00012C12;
    static constexpr const char* kClassName = "XBookmark3DManager";
    static uint32_t GetClassVersion() { return kClassVersion; }
    uint32_t GetVersion() const override { return kClassVersion; }
    XString GetClassName() const override { return kClassName; }
    size_t GetStreamUsage() const override;
    void WriteStream2(XStream& inStream) const override;
    // Reads everything before changing this manager; bad data (also empty or
    // repeated names) throws and leaves it as it was.
    void ReadStream2(XStream& inStream) override;

private:
    void CheckIndex(size_t inIndex, size_t inLimit) const;

    std::vector<std::unique_ptr<XBookmark3D>> itsBookmarks;
};
