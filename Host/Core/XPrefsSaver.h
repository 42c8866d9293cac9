#pragma once
// Preferences by section name and key. Each entry has a width (8-bit, 32-bit, float,
// colour or text); a read with the wrong width, or of a missing entry, gives the
// caller's default, so a changed or damaged preference never yields a wrong value.
// Sections and keys are any UTF-8 text.
#include "XARGB32Colour.h"
#include "XString.h"

#include <cstdint>
#include <optional>
#include <variant>

class XPrefsSaver {
public:
    // Alternatives in this order: 8-bit, 32-bit, float, colour, text.
    using XValue = std::variant<uint8_t, uint32_t, float, XARGB32Colour, XString>;

    virtual ~XPrefsSaver() = default;

    uint8_t Read8Defaulted(const XString& inSection, const XString& inKey, uint8_t inDefault) const;
    uint32_t Read32Defaulted(const XString& inSection, const XString& inKey, uint32_t inDefault) const;
    float ReadFloatDefaulted(const XString& inSection, const XString& inKey, float inDefault) const;
    XARGB32Colour ReadColourDefaulted(const XString& inSection, const XString& inKey, XARGB32Colour inDefault) const;
    XString ReadStringDefaulted(const XString& inSection, const XString& inKey, const XString& inDefault) const;

    void Write8(const XString& inSection, const XString& inKey, uint8_t inValue);
    void Write32(const XString& inSection, const XString& inKey, uint32_t inValue);
    void WriteFloat(const XString& inSection, const XString& inKey, float inValue);
    void WriteColour(const XString& inSection, const XString& inKey, XARGB32Colour inValue);
    void WriteString(const XString& inSection, const XString& inKey, const XString& inValue);

    bool EntryExists(const XString& inSection, const XString& inKey) const;
    // Whether there was an entry to remove.
    bool RemoveEntry(const XString& inSection, const XString& inKey);

protected:
    virtual std::optional<XValue> GetValueSelf(const XString& inSection, const XString& inKey) const = 0;
    virtual void SetValueSelf(const XString& inSection, const XString& inKey, const XValue& inValue) = 0;
    virtual bool RemoveEntrySelf(const XString& inSection, const XString& inKey) = 0;

private:
    template <class T>
    T ReadDefaulted(const XString& inSection, const XString& inKey, T inDefault) const;
};
