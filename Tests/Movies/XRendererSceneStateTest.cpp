#include "XRendererSceneState.h"

#include "XException.h"
#include "XStream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {
X3DMatrix Scalar(double inValue)
{
    return X3DMatrix(1, 1, inValue);
}

XRendererSceneState MakeSample()
{
    XRendererSceneState state;
    X3DMatrix camera = X3DMatrix::UnitMatrix(4);
    camera(2, 3) = 2.5;
    state.SetStateAndEnable(kSceneStateCamera, camera);
    state.SetState(kSceneStateFloor, Scalar(1.0)); // set but not enabled
    state.SetStateAndEnable(kSceneStateMergeWeight, Scalar(0.25), 2);
    state.SetStateAndEnable(kSceneStateChannelVisible, Scalar(1.0), 2);
    return state;
}
} // namespace

TEST(XRendererSceneState, FlagsFollowSetAndEnable)
{
    XRendererSceneState state;
    state.SetState(kSceneStateFloor, Scalar(1.0));
    EXPECT_TRUE(state.HasState(kSceneStateFloor));
    EXPECT_FALSE(state.IsStateEnabled(kSceneStateFloor)) << "a new state set without enabling starts disabled";
    EXPECT_TRUE(state.GetEnabledStates().empty());

    EXPECT_TRUE(state.EnableState(kSceneStateFloor));
    state.SetState(kSceneStateFloor, Scalar(0.0));
    EXPECT_TRUE(state.HasStateAndEnabled(kSceneStateFloor)) << "SetState keeps the flag";
    EXPECT_EQ(state.GetState(kSceneStateFloor)(0, 0), 0.0);

    EXPECT_FALSE(state.EnableState(kSceneStateOrientator)) << "an absent state cannot be enabled";
    EXPECT_FALSE(state.HasState(kSceneStateOrientator));
    EXPECT_THROW(state.GetState(kSceneStateOrientator), XException);
    X3DMatrix untouched = Scalar(7);
    EXPECT_FALSE(state.GetState(kSceneStateOrientator, 0, untouched));
    EXPECT_EQ(untouched(0, 0), 7);
}

TEST(XRendererSceneState, ValuesThatCannotBeStoredAreRefused)
{
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const std::pair<const char*, X3DMatrix> refused[] = {
        {"not a number", Scalar(nan)},
        {"infinite", X3DMatrix::ColumnVector(0, -inf, 1)},
        {"more elements than a stored value may have", X3DMatrix(65, 64, 0.0)},
    };
    for (const auto& [what, value] : refused) {
        SCOPED_TRACE(what);
        XRendererSceneState state = MakeSample();
        EXPECT_THROW(state.SetState(kSceneStateCamera, value), XException);
        EXPECT_THROW(state.SetStateAndEnable(kSceneStateFloorHeight, value, 7), XException);
        EXPECT_EQ(state, MakeSample());
    }
    XRendererSceneState state;
    state.SetState(kSceneStateCamera, X3DMatrix(64, 64, 0.0));
    EXPECT_EQ(state.GetState(kSceneStateCamera).GetRows(), 64u) << "the largest value that may be stored";
}

TEST(XRendererSceneState, ChannelsAreSeparate)
{
    XRendererSceneState state = MakeSample();
    EXPECT_EQ(state.GetChannelCount(), 3u);
    EXPECT_FALSE(state.HasState(kSceneStateMergeWeight, 0));
    EXPECT_FALSE(state.HasState(kSceneStateMergeWeight, 1));
    EXPECT_FALSE(state.HasState(kSceneStateMergeWeight, 99)) << "asking beyond the channels is no error";
    EXPECT_EQ(state.GetState(kSceneStateMergeWeight, 2)(0, 0), 0.25);
    EXPECT_EQ(state.GetEnabledStates(2), (XVector<XRendererStateName>{kSceneStateMergeWeight, kSceneStateChannelVisible}));
    EXPECT_EQ(state.GetEnabledStates(0), (XVector<XRendererStateName>{kSceneStateCamera}));
    EXPECT_THROW(state.SetState(1, Scalar(0), XRendererSceneState::kMaxChannels), XException);
}

TEST(XRendererSceneState, MergeReplacesOnlyWhatItHolds)
{
    XRendererSceneState base = MakeSample();
    XRendererSceneState change;
    change.SetStateAndEnable(kSceneStateFloor, Scalar(0.0));
    change.SetState(kSceneStateUserInteraction, Scalar(1.0), 4);
    base.Merge(change);
    EXPECT_TRUE(base.HasStateAndEnabled(kSceneStateFloor));
    EXPECT_EQ(base.GetState(kSceneStateFloor)(0, 0), 0.0);
    EXPECT_TRUE(base.HasStateAndEnabled(kSceneStateCamera));
    EXPECT_EQ(base.GetChannelCount(), 5u);
    EXPECT_FALSE(base.IsStateEnabled(kSceneStateUserInteraction, 4));
}

TEST(XRendererSceneState, HostileStreamsAreRefusedWithoutChange)
{
    const XRendererSceneState original = MakeSample();
    const auto expectRefused = [&](std::vector<uint8_t> inBytes, int32_t inCode, const char* inWhat) {
        XRendererSceneState target = original;
        XStream stream(std::move(inBytes));
        try {
            target.ReadStream2(stream);
            ADD_FAILURE() << inWhat << ": read without error";
        } catch (const XException& e) {
            EXPECT_EQ(e.GetErrorCode(), inCode) << inWhat << ": " << e.GetErrorMessage();
        }
        EXPECT_EQ(target, original) << inWhat << ": the state changed";
    };
    // A current-version stream of the given entries: name, enabled, rows, columns, values.
    struct XEntry {
        XRendererStateName name;
        uint32_t rows, columns;
        std::vector<double> values;
    };
    const auto stream = [](uint32_t inChannels, const std::vector<XEntry>& inEntries) {
        XStream s;
        s.WriteVersion(XRendererSceneState::kClassVersion);
        s.Write32(inChannels);
        s.Write32(uint32_t(inEntries.size()));
        for (const XEntry& e : inEntries) {
            s.Write32(e.name);
            s.Write8(1);
            s.Write32(e.rows);
            s.Write32(e.columns);
            for (double v : e.values)
                s.WriteFloat64S(v);
        }
        return s.GetBuffer();
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();

    expectRefused({}, XException::kStreamEnded, "empty stream");
    expectRefused(stream(0xFFFFFFFFu, {}), XException::kStreamCorrupt, "a channel count beyond the bytes");
    expectRefused(stream(1, {{kSceneStateCamera, 0x10000, 0x10000, {}}}), XException::kStreamCorrupt, "a huge matrix");
    expectRefused(stream(1, {{kSceneStateCamera, 4, 4, {1.0}}}), XException::kStreamEnded, "a truncated matrix");
    expectRefused(stream(1, {{kSceneStateFloorHeight, 1, 1, {nan}}}), XException::kStreamCorrupt, "a NaN value");
    expectRefused(stream(1, {{kSceneStateFloor, 1, 1, {1.0}}, {kSceneStateFloor, 1, 1, {1.0}}}),
                  XException::kStreamCorrupt, "a state stored twice");
    {
        XStream s;
        s.WriteVersion(XRendererSceneState::kClassVersion + 0x10000);
        s.Write32(0);
        expectRefused(s.GetBuffer(), XException::kStreamNewerVersion, "a newer version");
    }
}
