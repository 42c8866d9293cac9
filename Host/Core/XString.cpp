#include "XString.h"
#include "XException.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ostream>

XString XString::Mid(size_t inStart, size_t inBytes) const
{
    if (inStart >= itsText.size())
        return XString();
    return XString(itsText.substr(inStart, inBytes));
}

XString& XString::Replace(const XString& inValue)
{
    // Find the lowest placeholder number present; "%10" is not "%1" followed by "0".
    long lowest = -1;
    for (size_t i = 0; i + 1 < itsText.size(); ++i) {
        if (itsText[i] != '%' || !std::isdigit(static_cast<unsigned char>(itsText[i + 1])))
            continue;
        size_t j = i + 1;
        long n = 0;
        while (j < itsText.size() && std::isdigit(static_cast<unsigned char>(itsText[j])) && n < 100000) {
            n = n * 10 + (itsText[j] - '0');
            ++j;
        }
        if (n > 0 && (lowest < 0 || n < lowest))
            lowest = n;
        i = j - 1;
    }
    if (lowest < 0)
        return *this;
    std::string placeholder(1, '%');
    placeholder += std::to_string(lowest);
    std::string out;
    out.reserve(itsText.size() + inValue.GetLength());
    for (size_t i = 0; i < itsText.size();) {
        if (itsText.compare(i, placeholder.size(), placeholder) == 0) {
            size_t after = i + placeholder.size();
            if (after >= itsText.size() || !std::isdigit(static_cast<unsigned char>(itsText[after]))) {
                out += inValue.itsText;
                i = after;
                continue;
            }
        }
        out += itsText[i++];
    }
    itsText.swap(out);
    return *this;
}

XString& XString::Replace(double inValue) { return Replace(FromFloat64(inValue)); }
XString& XString::Replace(int64_t inValue) { return Replace(FromSInt64(inValue)); }

XString& XString::ReplaceAll(const XString& inFind, const XString& inWith)
{
    if (inFind.IsEmpty())
        return *this;
    std::string out;
    size_t pos = 0;
    for (;;) {
        size_t hit = itsText.find(inFind.itsText, pos);
        if (hit == npos)
            break;
        out.append(itsText, pos, hit - pos);
        out += inWith.itsText;
        pos = hit + inFind.GetLength();
    }
    out.append(itsText, pos, npos);
    itsText.swap(out);
    return *this;
}

XString& XString::Strip()
{
    auto isSpace = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    size_t b = 0;
    while (b < itsText.size() && isSpace(itsText[b]))
        ++b;
    size_t e = itsText.size();
    while (e > b && isSpace(itsText[e - 1]))
        --e;
    itsText = itsText.substr(b, e - b);
    return *this;
}

XString XString::ToLower() const
{
    std::string s = itsText;
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return XString(std::move(s));
}

std::vector<XString> XString::Split(char inSeparator) const
{
    std::vector<XString> parts;
    size_t start = 0;
    for (;;) {
        size_t hit = itsText.find(inSeparator, start);
        parts.emplace_back(itsText.substr(start, hit == npos ? npos : hit - start));
        if (hit == npos)
            break;
        start = hit + 1;
    }
    return parts;
}

namespace {
[[noreturn]] void ThrowNotANumber(const XString& inText, const char* inKind)
{
    throw XException(XException::kBadNumber, XString("\"%1\" is not %2").Replace(inText).Replace(XString(inKind)));
}

template <class T>
bool ParseWhole(const std::string& inText, T& outValue)
{
    std::string s = XString(inText).Stripped().GetStdString();
    if (!s.empty() && s[0] == '+')
        s.erase(0, 1);
    if (s.empty())
        return false;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), outValue);
    return ec == std::errc() && end == s.data() + s.size();
}
} // namespace

bool XString::TryGetSFloat64(double& outValue) const
{
    std::string s = Stripped().GetStdString();
    if (!s.empty() && s[0] == '+')
        s.erase(0, 1);
    if (s.empty())
        return false;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), outValue);
    return ec == std::errc() && end == s.data() + s.size();
}

bool XString::TryGetSInt64(int64_t& outValue) const { return ParseWhole(itsText, outValue); }
bool XString::TryGetUInt64(uint64_t& outValue) const
{
    if (Stripped().StartsWith("-"))
        return false;
    return ParseWhole(itsText, outValue);
}

double XString::GetSFloat64() const
{
    double v = 0;
    if (!TryGetSFloat64(v))
        ThrowNotANumber(*this, "a number");
    return v;
}

int64_t XString::GetSInt64() const
{
    int64_t v = 0;
    if (!TryGetSInt64(v))
        ThrowNotANumber(*this, "a whole number");
    return v;
}

int32_t XString::GetSInt32() const
{
    int64_t v = GetSInt64();
    if (v < INT32_MIN || v > INT32_MAX)
        ThrowNotANumber(*this, "a 32-bit whole number");
    return static_cast<int32_t>(v);
}

uint64_t XString::GetUInt64() const
{
    uint64_t v = 0;
    if (!TryGetUInt64(v))
        ThrowNotANumber(*this, "a non-negative whole number");
    return v;
}

uint32_t XString::GetUInt32() const
{
    uint64_t v = GetUInt64();
    if (v > UINT32_MAX)
        ThrowNotANumber(*this, "a 32-bit non-negative whole number");
    return static_cast<uint32_t>(v);
}

XString XString::FromSInt64(int64_t inValue) { return XString(std::to_string(inValue)); }
XString XString::FromUInt64(uint64_t inValue) { return XString(std::to_string(inValue)); }

XString XString::FromFloat64(double inValue, int inDecimals)
{
    char buffer[64];
    if (inDecimals >= 0) {
        std::snprintf(buffer, sizeof buffer, "%.*f", std::min(inDecimals, 30), inValue);
        return XString(buffer);
    }
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, inValue);
    (void)ec;
    return XString(std::string(buffer, end));
}

size_t XString::GetCharacterCount() const
{
    size_t n = 0;
    for (unsigned char c : itsText)
        if ((c & 0xC0) != 0x80)
            ++n;
    return n;
}

bool XString::IsValidUTF8() const
{
    const auto* p = reinterpret_cast<const unsigned char*>(itsText.data());
    const auto* e = p + itsText.size();
    while (p < e) {
        unsigned char c = *p++;
        int follow = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : -1;
        if (follow < 0 || e - p < follow)
            return false;
        for (int i = 0; i < follow; ++i)
            if ((*p++ & 0xC0) != 0x80)
                return false;
    }
    return true;
}

std::ostream& operator<<(std::ostream& inStream, const XString& inText) { return inStream << inText.GetStdString(); }
