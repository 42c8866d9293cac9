#include "XRendererSceneState.h"

#include "XClassRegistry.h"
#include "XException.h"
#include "XStream.h"

#include <cmath>

namespace {
// Stored classes of this library are known as soon as it is loaded.
struct XRegistrar {
    XRegistrar()
    {
        XClassRegistry::RegisterClass(XRendererSceneState::kClassName, [] { return std::make_unique<XRendererSceneState>(); });
    }
} sRegistrar;
} // namespace

const XRendererSceneState::XEntry* XRendererSceneState::Find(XRendererStateName inName, uint32_t inChannel) const
{
    if (inChannel >= itsChannels.size())
        return nullptr;
    const XChannelStates& states = itsChannels[inChannel];
    auto it = states.find(inName);
    return it == states.end() ? nullptr : &it->second;
}

XRendererSceneState::XEntry& XRendererSceneState::Make(XRendererStateName inName, uint32_t inChannel)
{
    if (inChannel >= kMaxChannels)
        throw XException(XException::kBadArgument,
                         XString("The channel index %1 of a scene state is too large; use an index below %2.")
                             .Replace(int64_t(inChannel))
                             .Replace(int64_t(kMaxChannels)));
    if (inChannel >= itsChannels.size())
        itsChannels.resize(size_t(inChannel) + 1);
    return itsChannels[inChannel][inName];
}

namespace {
// The reader refuses these, so a state holding one could be stored but never read back.
void CheckStorable(XRendererStateName inName, const X3DMatrix& inValue)
{
    const size_t rows = inValue.GetRows(), columns = inValue.GetColumns();
    if ((rows == 0) != (columns == 0) || (columns != 0 && rows > XRendererSceneState::kMaxValueElements / columns))
        throw XException(XException::kBadArgument,
                         XString("The scene state %1 cannot hold a %2 x %3 value; give one of at most %4 elements.")
                             .Replace(int64_t(inName))
                             .Replace(int64_t(rows))
                             .Replace(int64_t(columns))
                             .Replace(int64_t(XRendererSceneState::kMaxValueElements)));
    const double* data = inValue.GetData();
    for (size_t i = 0; i < rows * columns; ++i)
        if (!std::isfinite(data[i]))
            throw XException(XException::kBadArgument,
                             XString("The scene state %1 cannot hold a value that is not a finite number; "
                                     "check how the value was computed.")
                                 .Replace(int64_t(inName)));
}
} // namespace

void XRendererSceneState::SetState(XRendererStateName inName, const X3DMatrix& inValue, uint32_t inChannel)
{
    CheckStorable(inName, inValue);
    Make(inName, inChannel).value = inValue;
}

void XRendererSceneState::SetStateAndEnable(XRendererStateName inName, const X3DMatrix& inValue, uint32_t inChannel)
{
    CheckStorable(inName, inValue);
    XEntry& entry = Make(inName, inChannel);
    entry.value = inValue;
    entry.enabled = true;
}

const X3DMatrix& XRendererSceneState::GetState(XRendererStateName inName, uint32_t inChannel) const
{
    const XEntry* entry = Find(inName, inChannel);
    if (!entry)
        throw XException(XException::kBadArgument,
                         XString("The scene state %1 of channel %2 is not set; check HasState before reading it.")
                             .Replace(int64_t(inName))
                             .Replace(int64_t(inChannel)));
    return entry->value;
}

bool XRendererSceneState::GetState(XRendererStateName inName, uint32_t inChannel, X3DMatrix& outValue) const
{
    const XEntry* entry = Find(inName, inChannel);
    if (!entry)
        return false;
    outValue = entry->value;
    return true;
}

bool XRendererSceneState::HasState(XRendererStateName inName, uint32_t inChannel) const
{
    return Find(inName, inChannel) != nullptr;
}

bool XRendererSceneState::HasStateAndEnabled(XRendererStateName inName, uint32_t inChannel) const
{
    const XEntry* entry = Find(inName, inChannel);
    return entry && entry->enabled;
}

bool XRendererSceneState::IsStateEnabled(XRendererStateName inName, uint32_t inChannel) const
{
    return HasStateAndEnabled(inName, inChannel);
}

bool XRendererSceneState::EnableState(XRendererStateName inName, bool inEnable, uint32_t inChannel)
{
    if (inChannel >= itsChannels.size())
        return false;
    auto it = itsChannels[inChannel].find(inName);
    if (it == itsChannels[inChannel].end())
        return false;
    it->second.enabled = inEnable;
    return true;
}

void XRendererSceneState::RemoveState(XRendererStateName inName, uint32_t inChannel)
{
    if (inChannel < itsChannels.size())
        itsChannels[inChannel].erase(inName);
}

XVector<XRendererStateName> XRendererSceneState::GetEnabledStates(uint32_t inChannel) const
{
    XVector<XRendererStateName> names;
    if (inChannel < itsChannels.size())
        for (const auto& [name, entry] : itsChannels[inChannel])
            if (entry.enabled)
                names.push_back(name);
    return names;
}

XVector<XRendererStateName> XRendererSceneState::GetStates(uint32_t inChannel) const
{
    XVector<XRendererStateName> names;
    if (inChannel < itsChannels.size())
        for (const auto& entry : itsChannels[inChannel])
            names.push_back(entry.first);
    return names;
}

bool XRendererSceneState::IsEmpty() const
{
    for (const XChannelStates& states : itsChannels)
        if (!states.empty())
            return false;
    return true;
}

void XRendererSceneState::Merge(const XRendererSceneState& inOther)
{
    for (uint32_t channel = 0; channel < inOther.GetChannelCount(); ++channel)
        for (const auto& [name, entry] : inOther.itsChannels[channel])
            Make(name, channel) = entry;
    // A channel that inOther has but holds nothing in still counts.
    if (itsChannels.size() < inOther.itsChannels.size())
        itsChannels.resize(inOther.itsChannels.size());
}

bool XRendererSceneState::operator==(const XRendererSceneState& inOther) const
{
    return itsChannels == inOther.itsChannels;
}

namespace {
// Name, enabled flag, rows and columns of one stored state.
constexpr size_t kEntryHeaderBytes = 4 + 1 + 4 + 4;
} // namespace

size_t XRendererSceneState::GetStreamUsage() const
{
    size_t bytes = 4 + 4;
    for (const XChannelStates& states : itsChannels) {
        bytes += 4;
        for (const auto& entry : states)
            bytes += kEntryHeaderBytes + 8 * entry.second.value.GetRows() * entry.second.value.GetColumns();
    }
    return bytes;
}

void XRendererSceneState::WriteStream2(XStream& inStream) const
{
    inStream.WriteVersion(kClassVersion);
    inStream.Write32(GetChannelCount());
    for (const XChannelStates& states : itsChannels) {
        inStream.Write32(static_cast<uint32_t>(states.size()));
        for (const auto& [name, entry] : states) {
            inStream.Write32(name);
            inStream.Write8(entry.enabled ? 1 : 0);
            const size_t rows = entry.value.GetRows(), columns = entry.value.GetColumns();
            inStream.Write32(static_cast<uint32_t>(rows));
            inStream.Write32(static_cast<uint32_t>(columns));
            const double* data = entry.value.GetData();
            for (size_t i = 0; i < rows * columns; ++i)
                inStream.WriteFloat64S(data[i]);
        }
    }
}

void XRendererSceneState::ReadStream2(XStream& inStream)
{
    ReadClassVersion(inStream, kClassVersion);
    const auto corrupt = [](const XString& inWhat) {
        return XException(XException::kStreamCorrupt,
                          XString("The stored scene state is damaged: %1. Store the scene again.").Replace(inWhat));
    };
    XRendererSceneState read;
    const uint32_t channels = inStream.ReadCount(4, "the scene state's channel count");
    if (channels > kMaxChannels)
        throw corrupt(XString("it claims %1 channels").Replace(int64_t(channels)));
    read.itsChannels.resize(channels);
    for (uint32_t channel = 0; channel < channels; ++channel) {
        const uint32_t count = inStream.ReadCount(kEntryHeaderBytes, "the scene state's state count");
        XChannelStates& states = read.itsChannels[channel];
        for (uint32_t i = 0; i < count; ++i) {
            const XRendererStateName name = inStream.Read32("a scene state name");
            const bool enabled = inStream.Read8("a scene state flag") != 0;
            const uint32_t rows = inStream.Read32("a scene state's row count");
            const uint32_t columns = inStream.Read32("a scene state's column count");
            const uint64_t elements = uint64_t(rows) * columns;
            if ((rows == 0) != (columns == 0) || elements > kMaxValueElements)
                throw corrupt(XString("state %1 claims a value of %2 x %3").Replace(int64_t(name))
                                  .Replace(int64_t(rows)).Replace(int64_t(columns)));
            if (elements * 8 > inStream.GetBytesLeft())
                throw XException(XException::kStreamEnded,
                                 XString("The stored scene state ends inside the value of state %1; the data is "
                                         "truncated. Store the scene again.").Replace(int64_t(name)));
            X3DMatrix value(rows, columns);
            for (uint32_t row = 0; row < rows; ++row)
                for (uint32_t column = 0; column < columns; ++column) {
                    const double element = inStream.ReadFloat64S("a scene state element");
                    if (!std::isfinite(element))
                        throw corrupt(XString("state %1 holds a value that is not a finite number")
                                          .Replace(int64_t(name)));
                    value(row, column) = element;
                }
            if (!states.emplace(name, XEntry{std::move(value), enabled}).second)
                throw corrupt(XString("state %1 of channel %2 is stored twice").Replace(int64_t(name))
                                  .Replace(int64_t(channel)));
        }
    }
    itsChannels.swap(read.itsChannels);
}
