#pragma once
// The renderable that draws a sample's channels as stacks of blended, textured slices
// in the voxel frame of the scene's unit cube. Per frame it picks, for each group of
// channels, the stack whose slices face the viewer most squarely and draws it back to
// front. Fluorescence channels sharing a box are drawn together, slice by slice, so
// their light mixes; Maximum IP channels go in two passes (find the brightest voxel
// of each pixel in the depth buffer, then paint it).
#include "XGLRenderable.h"
#include "XSliceStackChannel.h"
#include "XSliceStackProgram.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

class XSliceStackView;

class XSliceStackVolume : public XGLRenderable {
public:
    // At most this many channels share one pass (one texture unit each).
    static constexpr uint32_t kMaxChannelsPerPass = 8;

    XSliceStackVolume();
    ~XSliceStackVolume() override;
    XSliceStackVolume(const XSliceStackVolume&) = delete;
    XSliceStackVolume& operator=(const XSliceStackVolume&) = delete;

    // Runs at the start of every drawing, before anything is drawn: the renderer brings
    // the channels up to date with its sample there.
    void SetFrameHook(std::function<void()> inHook) { itsFrameHook = std::move(inHook); }
    // Channels dropped here free their textures at the next drawing (or ForgetGL).
    void SetChannelCount(size_t inCount);
    size_t GetChannelCount() const { return itsChannels.size(); }
    XSliceStackChannel& GetChannel(size_t inIndex) { return *itsChannels[inIndex]; }
    // Deletes every texture and program; with the context they were made in current.
    void ForgetGL();

protected:
    void RenderSelf(XGLRenderable& inFrom) override;

private:
    struct XFrame;

    void DrawEmission(const XFrame& inFrame, const std::vector<XSliceStackChannel*>& inChannels);
    void DrawMaximum(const XFrame& inFrame, const std::vector<XSliceStackChannel*>& inChannels);
    // Every slice of the group's stacks across inView's axis, back to front, the
    // group's stacks bound to texture units 0..n-1.
    static void DrawSlices(const std::vector<XSliceStackChannel*>& inGroup, const XSliceStackView& inView);
    XSliceStackProgram& GetEmissionProgram(uint32_t inChannelCount);
    static XSliceStackProgram& Bound(std::unique_ptr<XSliceStackProgram>& inOutProgram,
                                     XSliceStackProgram::XKind inKind);

    std::vector<std::unique_ptr<XSliceStackChannel>> itsChannels;
    std::vector<std::unique_ptr<XSliceStackChannel>> itsRetired;
    std::map<uint32_t, std::unique_ptr<XSliceStackProgram>> itsEmissionPrograms; // by channel count
    std::unique_ptr<XSliceStackProgram> itsDepthProgram;
    std::unique_ptr<XSliceStackProgram> itsColourProgram;
    std::function<void()> itsFrameHook;
};
