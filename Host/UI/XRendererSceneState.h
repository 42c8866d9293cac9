#pragma once
// The values a renderer shows, by state name and channel: camera, rotation,
// decorations, colours (the names are listed in XRenderer.h). Every value is an
// X3DMatrix and each is enabled or not; a renderer applies only enabled states.
// Channel index 0 holds the view-wide states; per-channel states use the
// channel's own index.
#include "X3DMatrix.h"
#include "XVersioned.h"
#include "XVector.h"

#include <cstdint>
#include <map>
#include <vector>

using XRendererStateName = uint32_t;

// The state names renderers, tools and movies share. Values are X3DMatrix; the
// layout of each value and its interpolation are described in XRenderer.h.
enum XStandardSceneState : XRendererStateName {
    kSceneStateCamera = 0,               // 4 x 4 camera-to-world transform
    kSceneStateRotation = 1,             // 3 x 3 volume rotation
    kSceneStateVolumeScale = 2,          // volume scale (3D) or scale bar (2D) shown when != 0
    kSceneStateTimestamp = 3,            // time stamp shown when present and != 0
    kSceneStateColourReference = 4,      // colour reference shown when != 0
    kSceneStateUserInteraction = 5,      // 1.0 while a tool drags, 0.0 after
    kSceneStateFloor = 6,                // floor shown when != 0
    kSceneStateOrientator = 7,           // orientation marker shown when != 0
    kSceneStatePlanes = 8,               // planes shown when exactly 1.0
    kSceneStateVolumePosition = 9,       // 3-vector
    kSceneStateSmoothZoom = 10,          // smooth zoom of a 2D pane when != 0
    kSceneStateFloorChecked = 11,        // chequered floor when != 0
    kSceneStateFloorColour = 12,         // colour value (see XRenderer.h)
    kSceneStateFloorHeight = 13,         // 1 x 1
    kSceneStateBackgroundColour = 14,    // colour value
    kSceneStateOverlayColour = 15,       // colour value: overlay text and scale bar
    kSceneStateTimestampColour = 16,     // colour value, alpha used
    kSceneStateScaleText = 17,           // scale text or length shown
    kSceneStateLightPosition = 18,       // 3-vector
    kSceneStateYZPlane = 19,             // plane position as a fraction of the extent
    kSceneStateXZPlane = 20,
    kSceneStateXYPlane = 21,
    kSceneStateRelativeTimestamp = 23,   // time stamp relative to the first timepoint when exactly 1.0
    kSceneStateScaleBarAxisNames = 24,
    kSceneStateScaleBarStyle = 25,
    kSceneStateViewSelection = 26,
    kSceneStateStereoMode = 28,          // 0 mono, 1 red/cyan
    kSceneStateChannelMergeMode = 29,    // 0 maximum, 1 average, 2 combine
    kSceneStateLineProfile = 31,         // 1.0 on, 0 off
    kSceneStateVoxelSpyPreview = 32,     // 1.0 on, 0 off
    kSceneStateCalibrationLineColour = 37,
    kSceneStateCrossHairsColour = 38,
    kSceneStateSpotColour = 39,
    kSceneStateBleachingLimitsColour = 40,
    kSceneStatePlaneInspection = 44,     // plane inspection active when != 0
    kSceneStateShadedRegionColour = 45,
    kSceneStateMergeWeight = 501,        // per channel
    kSceneStateReferencePlaneOpacity = 502, // per channel
    kSceneStateVoxelSpyPins = 506,       // voxel spy pins set up when present
    kSceneStateChannelVisible = 0xFFFFFFFFu, // per channel: shown when != 0
};

class XRendererSceneState : public XVersioned {
public:
    // Channel indices above this are refused: no image has that many channels,
    // and a stored index must not make us allocate without bound.
    static constexpr uint32_t kMaxChannels = 4096;
    // Bound on a stored value's element count; scene values are at most 4 x 4.
    static constexpr uint32_t kMaxValueElements = 4096;

    XRendererSceneState() = default;

    // Sets the value and keeps the enabled flag; a state new to the channel starts
    // disabled. A channel index of kMaxChannels or more, a value of more than
    // kMaxValueElements elements or one that is not finite throws kBadArgument and
    // changes nothing.
    void SetState(XRendererStateName inName, const X3DMatrix& inValue, uint32_t inChannel = 0);
    void SetStateAndEnable(XRendererStateName inName, const X3DMatrix& inValue, uint32_t inChannel = 0);
    // The value; a state that is not set throws kBadArgument (test HasState first).
    const X3DMatrix& GetState(XRendererStateName inName, uint32_t inChannel = 0) const;
    // The value into outValue when set; false (and outValue untouched) otherwise.
    bool GetState(XRendererStateName inName, uint32_t inChannel, X3DMatrix& outValue) const;
    bool HasState(XRendererStateName inName, uint32_t inChannel = 0) const;
    bool HasStateAndEnabled(XRendererStateName inName, uint32_t inChannel = 0) const;
    bool IsStateEnabled(XRendererStateName inName, uint32_t inChannel = 0) const;
    // Changes the flag of a state that is set; false when it is not set.
    bool EnableState(XRendererStateName inName, bool inEnable = true, uint32_t inChannel = 0);
    void RemoveState(XRendererStateName inName, uint32_t inChannel = 0);
    // Names of the channel's enabled states, ascending.
    XVector<XRendererStateName> GetEnabledStates(uint32_t inChannel = 0) const;
    // Names of all the channel's states, enabled or not, ascending.
    XVector<XRendererStateName> GetStates(uint32_t inChannel = 0) const;
    // One more than the highest channel index any state was set for.
    uint32_t GetChannelCount() const { return static_cast<uint32_t>(itsChannels.size()); }
    bool IsEmpty() const;
    void Clear() { itsChannels.clear(); }

    // Copies every state of inOther (value and flag) into this one, replacing
    // states of the same name and channel and keeping the others.
    void Merge(const XRendererSceneState& inOther);

    bool operator==(const XRendererSceneState& inOther) const;
    bool operator!=(const XRendererSceneState& inOther) const { return !(*this == inOther); }

    // Storable: the class version, the channel count (u32), then per channel the
    // state count (u32) and per state its name (u32), enabled flag (u8), rows and
    // columns (u32 each) and the elements row by row (64-bit floats).
    static constexpr uint32_t kClassVersion = 0x00012C10;
    static constexpr const char* kClassName = "XRendererSceneState";
    static uint32_t GetClassVersion() { return kClassVersion; }
    uint32_t GetVersion() const override { return kClassVersion; }
    XString GetClassName() const override { return kClassName; }
    size_t GetStreamUsage() const override;
    void WriteStream2(XStream& inStream) const override;
    // Reads into a fresh state and replaces this one only when the whole value was
    // read; bad data throws and leaves this state as it was.
    void ReadStream2(XStream& inStream) override;

private:
    struct XEntry {
        X3DMatrix value;
        bool enabled = false;
        bool operator==(const XEntry& inOther) const = default;
    };
    using XChannelStates = std::map<XRendererStateName, XEntry>;

    const XEntry* Find(XRendererStateName inName, uint32_t inChannel) const;
    XEntry& Make(XRendererStateName inName, uint32_t inChannel);

    std::vector<XChannelStates> itsChannels;
};
