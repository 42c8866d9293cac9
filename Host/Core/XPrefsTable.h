#pragma once
// Preference entries in memory, by section and key, and their text form:
//
//   [Section name]
//   Key name=u8:1
//   Other key=c:FF333333
//
// Widths are tagged (u8, u32, f, c, s). In names and text values '%', '=', '[', ']', '#'
// and control characters are written as %XX, so any UTF-8 name survives the file.
#include "XPrefsSaver.h"
#include "XString.h"

#include <map>
#include <string>
#include <string_view>

class XPrefsTable {
public:
    using XValue = XPrefsSaver::XValue;

    const XValue* Find(const XString& inSection, const XString& inKey) const;
    void Set(const XString& inSection, const XString& inKey, const XValue& inValue);
    bool Remove(const XString& inSection, const XString& inKey);
    size_t GetEntryCount() const;
    bool IsEmpty() const { return itsSections.empty(); }
    void Clear() { itsSections.clear(); }

    std::string Encode() const;
    // Parses Encode's form; anything else throws XException kStreamCorrupt naming the line.
    static XPrefsTable Decode(std::string_view inText);

    friend bool operator==(const XPrefsTable&, const XPrefsTable&) = default;

private:
    std::map<XString, std::map<XString, XValue>> itsSections;
};
