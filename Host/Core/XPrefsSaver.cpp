#include "XPrefsSaver.h"

template <class T>
T XPrefsSaver::ReadDefaulted(const XString& inSection, const XString& inKey, T inDefault) const
{
    const std::optional<XValue> value = GetValueSelf(inSection, inKey);
    if (value)
        if (const T* typed = std::get_if<T>(&*value))
            return *typed;
    return inDefault;
}

uint8_t XPrefsSaver::Read8Defaulted(const XString& inSection, const XString& inKey, uint8_t inDefault) const
{
    return ReadDefaulted<uint8_t>(inSection, inKey, inDefault);
}

uint32_t XPrefsSaver::Read32Defaulted(const XString& inSection, const XString& inKey, uint32_t inDefault) const
{
    return ReadDefaulted<uint32_t>(inSection, inKey, inDefault);
}

float XPrefsSaver::ReadFloatDefaulted(const XString& inSection, const XString& inKey, float inDefault) const
{
    return ReadDefaulted<float>(inSection, inKey, inDefault);
}

XARGB32Colour XPrefsSaver::ReadColourDefaulted(const XString& inSection, const XString& inKey,
                                               XARGB32Colour inDefault) const
{
    return ReadDefaulted<XARGB32Colour>(inSection, inKey, inDefault);
}

XString XPrefsSaver::ReadStringDefaulted(const XString& inSection, const XString& inKey, const XString& inDefault) const
{
    return ReadDefaulted<XString>(inSection, inKey, inDefault);
}

void XPrefsSaver::Write8(const XString& inSection, const XString& inKey, uint8_t inValue)
{
    SetValueSelf(inSection, inKey, XValue(std::in_place_type<uint8_t>, inValue));
}

void XPrefsSaver::Write32(const XString& inSection, const XString& inKey, uint32_t inValue)
{
    SetValueSelf(inSection, inKey, XValue(std::in_place_type<uint32_t>, inValue));
}

void XPrefsSaver::WriteFloat(const XString& inSection, const XString& inKey, float inValue)
{
    SetValueSelf(inSection, inKey, XValue(std::in_place_type<float>, inValue));
}

void XPrefsSaver::WriteColour(const XString& inSection, const XString& inKey, XARGB32Colour inValue)
{
    SetValueSelf(inSection, inKey, XValue(std::in_place_type<XARGB32Colour>, inValue));
}

void XPrefsSaver::WriteString(const XString& inSection, const XString& inKey, const XString& inValue)
{
    SetValueSelf(inSection, inKey, XValue(std::in_place_type<XString>, inValue));
}

bool XPrefsSaver::EntryExists(const XString& inSection, const XString& inKey) const
{
    return GetValueSelf(inSection, inKey).has_value();
}

bool XPrefsSaver::RemoveEntry(const XString& inSection, const XString& inKey)
{
    return RemoveEntrySelf(inSection, inKey);
}
