#include "XVersion.h"
#include "XException.h"

#include <mutex>
#include <shared_mutex>
#include <unordered_map>

namespace {
struct TypeTree {
    std::shared_mutex mutex;
    std::unordered_map<uint32_t, uint32_t> parents;
};

TypeTree& GetTree()
{
    static TypeTree* sTree = new TypeTree; // used by static registrations of other libraries, and at exit
    return *sTree;
}

uint32_t TypeOf(uint32_t inValue) { return inValue & 0xFFFFu; }
} // namespace

void XVersion::RegisterType(uint32_t inType, uint32_t inParentType)
{
    const uint32_t type = TypeOf(inType);
    const uint32_t parent = TypeOf(inParentType);
    TypeTree& tree = GetTree();
    std::unique_lock lock(tree.mutex);
    if (auto it = tree.parents.find(type); it != tree.parents.end()) {
        if (it->second == parent)
            return;
        throw XException(XException::kBadArgument,
                         XString("type %1 already derives from type %2 and cannot be given parent %3")
                             .Replace(static_cast<int64_t>(type))
                             .Replace(static_cast<int64_t>(it->second))
                             .Replace(static_cast<int64_t>(parent)));
    }
    // Walk up from the new parent: meeting the type itself would close a cycle.
    for (uint32_t p = parent; p != 0;) {
        if (p == type)
            throw XException(XException::kBadArgument,
                             XString("type %1 cannot derive from type %2: that type already derives from it")
                                 .Replace(static_cast<int64_t>(type))
                                 .Replace(static_cast<int64_t>(parent)));
        auto it = tree.parents.find(p);
        p = it == tree.parents.end() ? 0 : it->second;
    }
    tree.parents.emplace(type, parent);
}

uint32_t XVersion::GetParentType(uint32_t inType)
{
    TypeTree& tree = GetTree();
    std::shared_lock lock(tree.mutex);
    auto it = tree.parents.find(TypeOf(inType));
    return it == tree.parents.end() ? 0 : it->second;
}

bool XVersion::IsA(const XVersion& inOther) const
{
    const uint32_t wanted = inOther.GetType();
    uint32_t type = GetType();
    if (type == wanted)
        return true;
    TypeTree& tree = GetTree();
    std::shared_lock lock(tree.mutex);
    // RegisterType keeps the tree free of cycles, so this walk ends at a root.
    while (type != 0) {
        auto it = tree.parents.find(type);
        if (it == tree.parents.end())
            return false;
        type = it->second;
        if (type != 0 && type == wanted)
            return true;
    }
    return false;
}
