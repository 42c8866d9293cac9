#pragma once
// UTF-8 text of the host. Placeholders "%1", "%2", ... are filled by Replace in order.
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

class XString {
public:
    static constexpr size_t npos = std::string::npos;

    XString() = default;
    XString(const char* inText) : itsText(inText ? inText : "") {}
    XString(std::string inText) : itsText(std::move(inText)) {}
    XString(std::string_view inText) : itsText(inText) {}
    XString(const char* inText, size_t inBytes) : itsText(inText, inBytes) {}

    const std::string& GetStdString() const { return itsText; }
    const char* GetCString() const { return itsText.c_str(); }
    size_t GetLength() const { return itsText.size(); } // bytes
    bool IsEmpty() const { return itsText.empty(); }
    void Clear() { itsText.clear(); }

    XString& operator+=(const XString& inOther) { itsText += inOther.itsText; return *this; }
    XString& operator+=(const char* inOther) { itsText += inOther; return *this; }
    XString& operator+=(char inChar) { itsText += inChar; return *this; }
    friend XString operator+(XString inLeft, const XString& inRight) { inLeft += inRight; return inLeft; }
    friend XString operator+(XString inLeft, const char* inRight) { inLeft += inRight; return inLeft; }
    friend XString operator+(const char* inLeft, const XString& inRight) { return XString(inLeft) += inRight; }
    friend bool operator==(const XString& a, const XString& b) { return a.itsText == b.itsText; }
    friend bool operator==(const XString& a, const char* b) { return a.itsText == b; }
    friend auto operator<=>(const XString& a, const XString& b) { return a.itsText <=> b.itsText; }

    // Byte offset of the first occurrence at or after inStart, npos when absent.
    size_t Find(const XString& inWhat, size_t inStart = 0) const { return itsText.find(inWhat.itsText, inStart); }
    bool Contains(const XString& inWhat) const { return Find(inWhat) != npos; }
    bool StartsWith(const XString& inWhat) const { return itsText.starts_with(inWhat.itsText); }
    bool EndsWith(const XString& inWhat) const { return itsText.ends_with(inWhat.itsText); }
    XString Mid(size_t inStart, size_t inBytes = npos) const;

    // Fills the lowest-numbered placeholder still present ("%1", then "%2", ...),
    // every occurrence of it. Returns *this so calls chain in placeholder order.
    XString& Replace(const XString& inValue);
    XString& Replace(double inValue);
    XString& Replace(int64_t inValue);
    // Replaces every occurrence of inFind by inWith.
    XString& ReplaceAll(const XString& inFind, const XString& inWith);

    // Removes white space at both ends.
    XString& Strip();
    XString Stripped() const { XString s(*this); return s.Strip(); }
    XString ToLower() const;
    std::vector<XString> Split(char inSeparator) const;

    // Number conversions; text that is not a whole number in range throws XException 1 naming it.
    double GetSFloat64() const;
    int64_t GetSInt64() const;
    int32_t GetSInt32() const;
    uint32_t GetUInt32() const;
    uint64_t GetUInt64() const;
    // Non-throwing forms: false when the text is not such a number.
    bool TryGetSFloat64(double& outValue) const;
    bool TryGetSInt64(int64_t& outValue) const;
    bool TryGetUInt64(uint64_t& outValue) const;

    static XString FromSInt64(int64_t inValue);
    static XString FromUInt64(uint64_t inValue);
    // Shortest text that reads back to the same value, or a fixed number of decimals.
    static XString FromFloat64(double inValue, int inDecimals = -1);

    // Number of Unicode code points (the text is UTF-8).
    size_t GetCharacterCount() const;
    bool IsValidUTF8() const;

private:
    std::string itsText;
};

std::ostream& operator<<(std::ostream& inStream, const XString& inText);

template <>
struct std::hash<XString> {
    size_t operator()(const XString& s) const noexcept { return std::hash<std::string>()(s.GetStdString()); }
};
