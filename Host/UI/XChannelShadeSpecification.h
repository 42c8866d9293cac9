#pragma once
// How one channel of a volume is shaded: its number, whether it is shown, its type,
// the shader model, its colour (from the channel's image renderer) and float properties
// of the model. Kept per channel in the preferences of the channel's placeholder sample.
#include "XARGB32Colour.h"
#include "XString.h"

#include <cstdint>
#include <map>

class XChannelShadeSpecification {
public:
    enum XChannelType : uint32_t {
        kUnknownChannelType = 0,
        kEmittingChannel = 1,    // fluorescence: the channel's light is emitted by the sample
        kTransmittedChannel = 2, // transmitted light
    };

    enum XChannelShaderModel : uint32_t {
        kFluorescence = 1,
        kBrightfield = 2,
        kIsosurface = 3,
        kMaximumIP = 4,
        kMatte = 7,
        kMetal = 8,
        kGlass = 9,
    };

    enum XShaderModelProperty : uint32_t {
        kBrightness = 1,
        kOpacity = 2,
        kThreshold = 3,
        kGamma = 4,
        kDensity = 5,
        kQuality = 6,
        kSmoothness = 7,
        kSpecularity = 8,
        kShininess = 9,
        kRefractiveIndex = 10,
    };

    // The preference section and the key prefix the specifications are stored under.
    static constexpr const char* kPrefsSection = "VRShadeSpecs";
    static constexpr const char* kPrefsKeyPrefix = "ChannelShadeSpec";
    static constexpr uint32_t kStoredVersion = 1;

    XChannelShadeSpecification() = default;

    uint32_t GetChannel() const { return itsChannel; }
    void SetChannel(uint32_t inChannel) { itsChannel = inChannel; }
    bool IsVisible() const { return itsVisible; }
    void SetVisible(bool inVisible) { itsVisible = inVisible; }
    XChannelType GetChannelType() const { return itsChannelType; }
    void SetChannelType(XChannelType inType) { itsChannelType = inType; }
    XChannelShaderModel GetShaderModel() const { return itsShaderModel; }
    void SetShaderModel(XChannelShaderModel inModel) { itsShaderModel = inModel; }
    XARGB32Colour GetColour() const { return itsColour; }
    void SetColour(XARGB32Colour inColour) { itsColour = inColour; }

    bool IsProperty(XShaderModelProperty inProperty) const { return itsProperties.count(inProperty) != 0; }
    // 0 when the property is not set.
    float GetProperty(XShaderModelProperty inProperty) const;
    // A NaN value is refused with XException kBadArgument: it would pass every range check.
    void SetProperty(XShaderModelProperty inProperty, float inValue);
    bool RemoveProperty(XShaderModelProperty inProperty) { return itsProperties.erase(inProperty) != 0; }
    const std::map<XShaderModelProperty, float>& GetProperties() const { return itsProperties; }

    // "ChannelShadeSpec" followed by the decimal index.
    static XString GetPrefsKey(uint32_t inIndex);
    // Stores the whole shading in the preferences of sample inPlaceholderID
    // (kNoSuchSample when there is no such sample).
    void WriteToSamplePrefs(uint32_t inIndex, uint32_t inPlaceholderID) const;
    // Reads it back; false (and nothing changed) when there is no entry. Damaged or newer
    // data throws XException and leaves the shading as it was.
    bool ReadFromSamplePrefs(uint32_t inIndex, uint32_t inPlaceholderID);

    // The stored form (a hexadecimal text of a versioned byte stream).
    XString Encode() const;
    static XChannelShadeSpecification Decode(const XString& inText);

    friend bool operator==(const XChannelShadeSpecification&, const XChannelShadeSpecification&) = default;

private:
    uint32_t itsChannel = 0;
    bool itsVisible = true;
    XChannelType itsChannelType = kUnknownChannelType;
    XChannelShaderModel itsShaderModel = kFluorescence;
    XARGB32Colour itsColour = XARGB32Colour::kWhite;
    std::map<XShaderModelProperty, float> itsProperties;
};
