#include "XChannelShadeSpecification.h"
#include "XException.h"
#include "XSamplePrefsSaver.h"
#include "XStream.h"
#include "XVersioned.h"

#include <cmath>

namespace {
// Property id and value.
constexpr size_t kPropertyBytes = 8;
} // namespace

float XChannelShadeSpecification::GetProperty(XShaderModelProperty inProperty) const
{
    auto it = itsProperties.find(inProperty);
    return it == itsProperties.end() ? 0.0f : it->second;
}

void XChannelShadeSpecification::SetProperty(XShaderModelProperty inProperty, float inValue)
{
    if (std::isnan(inValue))
        throw XException(XException::kBadArgument,
                         XString("shading property %1 cannot be set to NaN").Replace(static_cast<int64_t>(inProperty)));
    itsProperties[inProperty] = inValue;
}

XString XChannelShadeSpecification::GetPrefsKey(uint32_t inIndex)
{
    return XString(kPrefsKeyPrefix) + XString::FromUInt64(inIndex);
}

XString XChannelShadeSpecification::Encode() const
{
    XStream stream;
    stream.WriteVersion(kStoredVersion);
    stream.Write32(itsChannel);
    stream.Write8(itsVisible ? 1 : 0);
    stream.Write32(itsChannelType);
    stream.Write32(itsShaderModel);
    stream.Write32(itsColour.GetPacked());
    stream.Write32(static_cast<uint32_t>(itsProperties.size()));
    for (const auto& [property, value] : itsProperties) {
        stream.Write32(property);
        stream.WriteFloat32S(value);
    }
    static const char kHex[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(stream.GetSize() * 2);
    for (uint8_t b : stream.GetBuffer()) {
        text += kHex[b >> 4];
        text += kHex[b & 15];
    }
    return XString(std::move(text));
}

XChannelShadeSpecification XChannelShadeSpecification::Decode(const XString& inText)
{
    const std::string& text = inText.GetStdString();
    const auto corrupt = [](const char* inReason) {
        return XException(XException::kStreamCorrupt,
                          XString("the stored channel shading is damaged (%1); it is replaced when the shading is "
                                  "next changed")
                              .Replace(XString(inReason)));
    };
    if (text.size() % 2 != 0)
        throw corrupt("odd number of hexadecimal digits");
    std::vector<uint8_t> bytes(text.size() / 2);
    for (size_t i = 0; i < bytes.size(); ++i) {
        int value = 0;
        for (int k = 0; k < 2; ++k) {
            const char c = text[2 * i + k];
            int d;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            else if (c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else
                throw corrupt("not hexadecimal");
            value = value * 16 + d;
        }
        bytes[i] = uint8_t(value);
    }

    XStream stream(std::move(bytes));
    XVersioned::ReadClassVersion(stream, kStoredVersion);
    XChannelShadeSpecification decoded;
    decoded.itsChannel = stream.Read32("the channel number");
    const uint8_t visible = stream.Read8("the visible flag");
    if (visible > 1)
        throw corrupt("the visible flag is neither 0 nor 1");
    decoded.itsVisible = visible != 0;
    // Types and models are kept even when unknown here: the renderer replaces a model it
    // does not support by its default.
    decoded.itsChannelType = static_cast<XChannelType>(stream.Read32("the channel type"));
    decoded.itsShaderModel = static_cast<XChannelShaderModel>(stream.Read32("the shader model"));
    decoded.itsColour = XARGB32Colour::FromPacked(stream.Read32("the channel colour"));
    const uint32_t count = stream.ReadCount(kPropertyBytes, "the property count");
    for (uint32_t i = 0; i < count; ++i) {
        const auto property = static_cast<XShaderModelProperty>(stream.Read32("a property"));
        const float value = stream.ReadFloat32S("a property value");
        if (std::isnan(value))
            throw corrupt("a property value is not a number");
        if (!decoded.itsProperties.emplace(property, value).second)
            throw corrupt("a property is stored twice");
    }
    if (stream.GetBytesLeft() != 0)
        throw corrupt("unexpected bytes after the properties");
    return decoded;
}

void XChannelShadeSpecification::WriteToSamplePrefs(uint32_t inIndex, uint32_t inPlaceholderID) const
{
    XSamplePrefsSaver(inPlaceholderID).WriteString(kPrefsSection, GetPrefsKey(inIndex), Encode());
}

bool XChannelShadeSpecification::ReadFromSamplePrefs(uint32_t inIndex, uint32_t inPlaceholderID)
{
    XSamplePrefsSaver prefs(inPlaceholderID);
    const XString key = GetPrefsKey(inIndex);
    if (!prefs.EntryExists(kPrefsSection, key))
        return false;
    // An entry of another width reads as the empty default, which Decode refuses.
    *this = Decode(prefs.ReadStringDefaulted(kPrefsSection, key, XString()));
    return true;
}
