#pragma once
// A type number with a version: the low 16 bits name the type, the high 16 bits
// carry the major version of a stored class (0x00023B00 is type 0x3B00, major 2).
// Sample types are plain type numbers (519 is a volume sequence).
//
// Types form a tree: IsA is true for the same type or any ancestor type, whatever the
// major versions. Ancestry is registered once per type, by the library that defines it.
#include <cstdint>

class XVersion {
public:
    constexpr XVersion() = default;
    constexpr explicit XVersion(uint32_t inValue) : itsValue(inValue) {}

    constexpr uint32_t GetValue() const { return itsValue; }
    constexpr uint32_t GetType() const { return itsValue & 0xFFFFu; }
    constexpr uint32_t GetMajor() const { return itsValue >> 16; }

    // True when this type is inOther's type or derives from it.
    bool IsA(const XVersion& inOther) const;

    // Makes inParentType the parent of inType (0 for a root). Registering the same
    // parent again is harmless; a different parent, or one that would form a cycle,
    // throws XException kBadArgument.
    static void RegisterType(uint32_t inType, uint32_t inParentType);
    // The registered parent type, 0 when none.
    static uint32_t GetParentType(uint32_t inType);

    friend constexpr bool operator==(const XVersion&, const XVersion&) = default;

private:
    uint32_t itsValue = 0;
};
