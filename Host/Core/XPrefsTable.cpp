#include "XPrefsTable.h"
#include "XException.h"

#include <charconv>
#include <cstdio>

namespace {
bool NeedsEscape(unsigned char c)
{
    return c < 0x20 || c == 0x7F || c == '%' || c == '=' || c == '[' || c == ']' || c == '#';
}

std::string Escape(const XString& inText)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : inText.GetStdString()) {
        if (NeedsEscape(c)) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += char(c);
        }
    }
    return out;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

[[noreturn]] void Corrupt(size_t inLine, const char* inReason)
{
    throw XException(XException::kStreamCorrupt,
                     XString("line %1 of the preferences: %2").Replace(static_cast<int64_t>(inLine)).Replace(XString(inReason)));
}

XString Unescape(std::string_view inText, size_t inLine)
{
    std::string out;
    for (size_t i = 0; i < inText.size(); ++i) {
        if (inText[i] != '%') {
            out += inText[i];
            continue;
        }
        const int hi = i + 2 < inText.size() ? HexDigit(inText[i + 1]) : -1;
        const int lo = i + 2 < inText.size() ? HexDigit(inText[i + 2]) : -1;
        if (hi < 0 || lo < 0)
            Corrupt(inLine, "a '%' is not followed by two hexadecimal digits");
        out += char(hi * 16 + lo);
        i += 2;
    }
    // Bytes come back as they were written, UTF-8 or not, so a stray byte in one name
    // cannot make the whole file unreadable.
    return XString(std::move(out));
}

template <class T>
T ParseUnsigned(std::string_view inText, size_t inLine, const char* inReason)
{
    T value{};
    auto [end, ec] = std::from_chars(inText.data(), inText.data() + inText.size(), value, 10);
    if (inText.empty() || ec != std::errc() || end != inText.data() + inText.size())
        Corrupt(inLine, inReason);
    return value;
}

std::string EncodeValue(const XPrefsTable::XValue& inValue)
{
    char buffer[64];
    // Appends rather than operator+ on a literal, which GCC 12 warns about falsely (-Wrestrict).
    std::string out;
    switch (inValue.index()) {
    case 0: return out.append("u8:").append(std::to_string(std::get<uint8_t>(inValue)));
    case 1: return out.append("u32:").append(std::to_string(std::get<uint32_t>(inValue)));
    case 2: {
        // Shortest text that reads back to the same float (inf and nan included).
        auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, std::get<float>(inValue));
        (void)ec;
        return out.append("f:").append(buffer, end);
    }
    case 3:
        std::snprintf(buffer, sizeof buffer, "c:%08X", unsigned(std::get<XARGB32Colour>(inValue).GetPacked()));
        return buffer;
    default: return out.append("s:").append(Escape(std::get<XString>(inValue)));
    }
}

XPrefsTable::XValue DecodeValue(std::string_view inText, size_t inLine)
{
    const size_t colon = inText.find(':');
    if (colon == std::string_view::npos)
        Corrupt(inLine, "a value has no width tag");
    const std::string_view tag = inText.substr(0, colon);
    const std::string_view body = inText.substr(colon + 1);
    if (tag == "u8")
        return XPrefsTable::XValue(std::in_place_type<uint8_t>, ParseUnsigned<uint8_t>(body, inLine, "a bad 8-bit value"));
    if (tag == "u32")
        return XPrefsTable::XValue(std::in_place_type<uint32_t>, ParseUnsigned<uint32_t>(body, inLine, "a bad 32-bit value"));
    if (tag == "f") {
        float value = 0;
        auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), value);
        if (body.empty() || ec != std::errc() || end != body.data() + body.size())
            Corrupt(inLine, "a bad float value");
        return XPrefsTable::XValue(std::in_place_type<float>, value);
    }
    if (tag == "c") {
        if (body.size() != 8)
            Corrupt(inLine, "a colour is not 8 hexadecimal digits");
        uint32_t packed = 0;
        for (char c : body) {
            const int d = HexDigit(c);
            if (d < 0)
                Corrupt(inLine, "a colour is not 8 hexadecimal digits");
            packed = packed * 16 + uint32_t(d);
        }
        return XPrefsTable::XValue(std::in_place_type<XARGB32Colour>, XARGB32Colour::FromPacked(packed));
    }
    if (tag == "s")
        return XPrefsTable::XValue(std::in_place_type<XString>, Unescape(body, inLine));
    Corrupt(inLine, "a value has an unknown width tag");
}
} // namespace

const XPrefsTable::XValue* XPrefsTable::Find(const XString& inSection, const XString& inKey) const
{
    auto section = itsSections.find(inSection);
    if (section == itsSections.end())
        return nullptr;
    auto entry = section->second.find(inKey);
    return entry == section->second.end() ? nullptr : &entry->second;
}

void XPrefsTable::Set(const XString& inSection, const XString& inKey, const XValue& inValue)
{
    itsSections[inSection][inKey] = inValue;
}

bool XPrefsTable::Remove(const XString& inSection, const XString& inKey)
{
    auto section = itsSections.find(inSection);
    if (section == itsSections.end() || section->second.erase(inKey) == 0)
        return false;
    if (section->second.empty())
        itsSections.erase(section);
    return true;
}

size_t XPrefsTable::GetEntryCount() const
{
    size_t count = 0;
    for (const auto& section : itsSections)
        count += section.second.size();
    return count;
}

std::string XPrefsTable::Encode() const
{
    std::string out = "# Kestrin preferences\n";
    for (const auto& [name, entries] : itsSections) {
        out.append("[").append(Escape(name)).append("]\n");
        for (const auto& [key, value] : entries)
            out.append(Escape(key)).append("=").append(EncodeValue(value)).append("\n");
    }
    return out;
}

XPrefsTable XPrefsTable::Decode(std::string_view inText)
{
    XPrefsTable table;
    std::map<XString, XValue>* section = nullptr;
    size_t lineNumber = 0;
    size_t start = 0;
    while (start < inText.size()) {
        size_t end = inText.find('\n', start);
        if (end == std::string_view::npos)
            end = inText.size();
        std::string_view line = inText.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[') {
            if (line.size() < 2 || line.back() != ']')
                Corrupt(lineNumber, "a section line does not end in ']'");
            section = &table.itsSections[Unescape(line.substr(1, line.size() - 2), lineNumber)];
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            Corrupt(lineNumber, "an entry has no '='");
        if (!section)
            Corrupt(lineNumber, "an entry comes before any section");
        XString key = Unescape(line.substr(0, equals), lineNumber);
        (*section)[std::move(key)] = DecodeValue(line.substr(equals + 1), lineNumber);
    }
    // A section with no entries is not kept, as Remove keeps none.
    std::erase_if(table.itsSections, [](const auto& s) { return s.second.empty(); });
    return table;
}
