#pragma once
// A 16-byte identifier naming an item (a thumbnail's owner, a stored object).
#include "XString.h"

#include <array>
#include <cstdint>

class XUUID {
public:
    XUUID() = default; // the nil identifier, all zero
    explicit XUUID(const std::array<uint8_t, 16>& inBytes) : itsBytes(inBytes) {}
    // A new random (version 4) identifier.
    static XUUID Generate();
    // Parses "8-4-4-4-12" hex text; throws XException kBadArgument naming the text otherwise.
    static XUUID FromString(const XString& inText);

    const std::array<uint8_t, 16>& GetBytes() const { return itsBytes; }
    bool IsNil() const;
    XString ToString() const;

    friend bool operator==(const XUUID&, const XUUID&) = default;
    friend auto operator<=>(const XUUID&, const XUUID&) = default;

private:
    std::array<uint8_t, 16> itsBytes{};
};
