#include "XUUID.h"
#include "XException.h"

#include <cctype>
#include <cstdio>
#include <random>

XUUID XUUID::Generate()
{
    static thread_local std::mt19937_64 sEngine{std::random_device{}()};
    std::array<uint8_t, 16> bytes{};
    for (size_t i = 0; i < 16; i += 8) {
        uint64_t r = sEngine();
        for (size_t j = 0; j < 8; ++j)
            bytes[i + j] = static_cast<uint8_t>(r >> (8 * j));
    }
    bytes[6] = static_cast<uint8_t>((bytes[6] & 0x0F) | 0x40);
    bytes[8] = static_cast<uint8_t>((bytes[8] & 0x3F) | 0x80);
    return XUUID(bytes);
}

bool XUUID::IsNil() const
{
    for (uint8_t b : itsBytes)
        if (b)
            return false;
    return true;
}

XString XUUID::ToString() const
{
    char text[37];
    const uint8_t* b = itsBytes.data();
    std::snprintf(text, sizeof text, "%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x",
                  b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
    return XString(text);
}

XUUID XUUID::FromString(const XString& inText)
{
    const std::string& s = inText.GetStdString();
    std::array<uint8_t, 16> bytes{};
    size_t n = 0;
    auto hex = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(c) - 'a' + 10; };
    bool ok = s.size() == 36;
    for (size_t i = 0; ok && i < s.size();) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            ok = s[i] == '-';
            ++i;
            continue;
        }
        ok = i + 1 < s.size() && std::isxdigit(static_cast<unsigned char>(s[i])) &&
             std::isxdigit(static_cast<unsigned char>(s[i + 1])) && n < 16;
        if (ok)
            bytes[n++] = static_cast<uint8_t>(hex(s[i]) * 16 + hex(s[i + 1]));
        i += 2;
    }
    if (!ok || n != 16)
        throw XException(XException::kBadArgument, XString("\"%1\" is not an identifier of the form 8-4-4-4-12 hex digits").Replace(inText));
    return XUUID(bytes);
}
