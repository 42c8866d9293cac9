#include "XSliceStackVolume.h"

#include "XException.h"
#include "XGLContext.h"
#include "XGLException.h"
#include "XOpenGL.h"
#include "XSliceStackModels.h"
#include "XSliceStackView.h"

#include <algorithm>

struct XSliceStackVolume::XFrame {
    double modelView[16] = {};
    bool orthographic = false;
    // Red/cyan stereo shows each eye only some colour components: a pure red channel
    // would vanish for one eye, so channels are drawn by their luminance.
    bool luminance = false;
};

namespace {
using XAxis = XSliceStackLevels::XAxis;

// The channel's colour as drawn, each component 0..1.
void DrawnColour(const XChannelShadeSpecification& inShading, bool inLuminance, float outRGB[3])
{
    const XARGB32Colour c = inShading.GetColour();
    outRGB[0] = c.red / 255.0f;
    outRGB[1] = c.green / 255.0f;
    outRGB[2] = c.blue / 255.0f;
    if (inLuminance) {
        const float y = 0.299f * outRGB[0] + 0.587f * outRGB[1] + 0.114f * outRGB[2];
        outRGB[0] = outRGB[1] = outRGB[2] = y;
    }
}

// One side of a slice quad: from the first to the last voxel centre, so linear
// filtering never reaches the texture's border or padding. A single voxel spans
// its whole width.
struct XSpan {
    double lo, hi;   // voxel coordinates
    double tlo, thi; // texture coordinates
};

XSpan MakeSpan(int32_t inStart, int32_t inCount, uint32_t inTextureSize)
{
    const double size = double(std::max<uint32_t>(inTextureSize, 1));
    if (inCount <= 1)
        return XSpan{double(inStart), double(inStart + inCount), 0.5 / size, 0.5 / size};
    return XSpan{inStart + 0.5, inStart + inCount - 0.5, 0.5 / size, (inCount - 0.5) / size};
}

// Emits a vertex at (across, up) on the plane at inAt across the axis.
void Vertex(XAxis inAxis, double inAcross, double inUp, double inAt)
{
    switch (inAxis) {
    case XSliceStackLevels::kAxisZ: glVertex3d(inAcross, inUp, inAt); break;
    case XSliceStackLevels::kAxisY: glVertex3d(inAcross, inAt, inUp); break;
    case XSliceStackLevels::kAxisX: glVertex3d(inAt, inAcross, inUp); break;
    }
}

// Groups of channels drawn in one pass: same box, at most inLimit each.
std::vector<std::vector<XSliceStackChannel*>> Group(const std::vector<XSliceStackChannel*>& inChannels, size_t inLimit)
{
    std::vector<std::vector<XSliceStackChannel*>> groups;
    for (XSliceStackChannel* channel : inChannels) {
        auto it = std::find_if(groups.begin(), groups.end(), [&](const std::vector<XSliceStackChannel*>& g) {
            return g.size() < inLimit && g.front()->GetBounds() == channel->GetBounds();
        });
        if (it == groups.end())
            groups.push_back({channel});
        else
            it->push_back(channel);
    }
    return groups;
}

// The stencil bit the maximum projection marks painted pixels with.
constexpr GLuint kPaintedBit = 2;
constexpr float kLeastOpacity = 0.001f;

void RequireFragmentPrograms()
{
    if (!OpenGLCheckExtension("GL_ARB_fragment_program") || !OpenGLCheckExtension("GL_ARB_multitexture"))
        throw XException(XException::kMissingExtension,
                         "the slice-stack renderer needs GL_ARB_fragment_program and GL_ARB_multitexture, which this "
                         "OpenGL lacks; update the graphics driver or choose another renderer");
}
} // namespace

XSliceStackVolume::XSliceStackVolume() = default;

// Textures and programs must have been forgotten with the context current (ForgetGL);
// what is left here belongs to a context that is gone.
XSliceStackVolume::~XSliceStackVolume() = default;

void XSliceStackVolume::SetChannelCount(size_t inCount)
{
    while (itsChannels.size() > inCount) {
        itsRetired.push_back(std::move(itsChannels.back()));
        itsChannels.pop_back();
    }
    while (itsChannels.size() < inCount)
        itsChannels.push_back(std::make_unique<XSliceStackChannel>());
}

void XSliceStackVolume::ForgetGL()
{
    for (auto& channel : itsChannels)
        channel->ForgetTextures();
    for (auto& channel : itsRetired)
        channel->ForgetTextures();
    itsRetired.clear();
    for (auto& [count, program] : itsEmissionPrograms)
        if (program->GetID() != 0)
            program->Unload();
    itsEmissionPrograms.clear();
    for (auto* program : {&itsDepthProgram, &itsColourProgram})
        if (*program && (*program)->GetID() != 0)
            (*program)->Unload();
    itsDepthProgram.reset();
    itsColourProgram.reset();
}

void XSliceStackVolume::RenderSelf(XGLRenderable&)
{
    if (itsFrameHook)
        itsFrameHook();
    for (auto& channel : itsRetired)
        channel->ForgetTextures();
    itsRetired.clear();

    std::vector<XSliceStackChannel*> emission, maximum;
    for (auto& channel : itsChannels) {
        if (!channel->IsDrawn())
            continue;
        if (channel->GetShading().GetShaderModel() == XChannelShadeSpecification::kMaximumIP)
            maximum.push_back(channel.get());
        else
            emission.push_back(channel.get());
    }
    if (emission.empty() && maximum.empty())
        return;
    RequireFragmentPrograms();

    XFrame frame;
    glGetDoublev(GL_MODELVIEW_MATRIX, frame.modelView);
    double projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    frame.orthographic = projection[3] == 0.0 && projection[7] == 0.0 && projection[11] == 0.0 && projection[15] == 1.0;
    const XGLContext* context = XGLContext::GetCurrentContext();
    frame.luminance = context && context->GetStereoMode() == XGLContext::kStereoRedCyan;

    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT | GL_TEXTURE_BIT |
                 GL_CURRENT_BIT);
    struct XPopAttrib {
        ~XPopAttrib() { glPopAttrib(); }
    } popAttrib;
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_FRAGMENT_PROGRAM_ARB);
    if (!emission.empty())
        DrawEmission(frame, emission);
    if (!maximum.empty())
        DrawMaximum(frame, maximum);
    glDisable(GL_FRAGMENT_PROGRAM_ARB);
    ThrowIfGLErr();
}

void XSliceStackVolume::DrawEmission(const XFrame& inFrame, const std::vector<XSliceStackChannel*>& inChannels)
{
    GLint units = 0;
    glGetIntegerv(GL_MAX_TEXTURE_IMAGE_UNITS_ARB, &units);
    const size_t limit = std::clamp<size_t>(size_t(std::max(units, 1)), 1, kMaxChannelsPerPass);
    // Slices do not hide what lies behind them, so they leave depth alone; the depth
    // test still lets scenery in front (the floor) cover them.
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    for (const std::vector<XSliceStackChannel*>& group : Group(inChannels, limit)) {
        const XSliceStackView view(inFrame.modelView, inFrame.orthographic, group.front()->GetBounds());
        const float weight = float(view.GetSliceWeight());
        XSliceStackProgram& program = GetEmissionProgram(uint32_t(group.size()));
        program.Bind();
        for (size_t i = 0; i < group.size(); ++i) {
            const XChannelShadeSpecification shading = XSliceStackModels::Completed(group[i]->GetShading());
            const float brightness = shading.GetProperty(XChannelShadeSpecification::kBrightness);
            // At opacity 0 the glow would be 0 / 0; a trace of absorption keeps it.
            const float opacity = std::max(shading.GetProperty(XChannelShadeSpecification::kOpacity), kLeastOpacity);
            float rgb[3];
            DrawnColour(shading, inFrame.luminance, rgb);
            const float scale = brightness / opacity;
            glProgramLocalParameter4fARB(GL_FRAGMENT_PROGRAM_ARB, GLuint(2 * i), rgb[0] * scale, rgb[1] * scale,
                                         rgb[2] * scale, 0.0f);
            glProgramLocalParameter4fARB(GL_FRAGMENT_PROGRAM_ARB, GLuint(2 * i + 1), opacity, weight, 0.0f, 0.0f);
        }
        DrawSlices(group, view);
    }
}

void XSliceStackVolume::DrawMaximum(const XFrame& inFrame, const std::vector<XSliceStackChannel*>& inChannels)
{
    // Pass 1: the depth buffer keeps 1 − the brightest level of each pixel over all
    // Maximum IP channels. It starts empty: the projection is not occluded by scenery.
    GLboolean colourMask[4];
    glGetBooleanv(GL_COLOR_WRITEMASK, colourMask);
    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDisable(GL_BLEND);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    Bound(itsDepthProgram, XSliceStackProgram::kMaximumDepth);
    for (XSliceStackChannel* channel : inChannels)
        DrawSlices({channel}, XSliceStackView(inFrame.modelView, inFrame.orthographic, channel->GetBounds()));

    // Pass 2: the fragments that match it paint their channel's colour, each pixel
    // once (ties between slices or channels would otherwise add up). Stencil bit 1
    // marks painted pixels; bit 0 may hold the interlaced-stereo eye mask and is left
    // alone (pass 1 already kept to the eye's pixels, and depth EQUAL keeps to those).
    glColorMask(colourMask[0], colourMask[1], colourMask[2], colourMask[3]);
    glDepthMask(GL_FALSE);
    glDepthFunc(GL_EQUAL);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glStencilMask(kPaintedBit);
    glClearStencil(0);
    glClear(GL_STENCIL_BUFFER_BIT);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_EQUAL, 0, kPaintedBit);
    glStencilOp(GL_KEEP, GL_KEEP, GL_INVERT);
    Bound(itsColourProgram, XSliceStackProgram::kMaximumColour);
    for (XSliceStackChannel* channel : inChannels) {
        const XChannelShadeSpecification shading = XSliceStackModels::Completed(channel->GetShading());
        float rgb[3];
        DrawnColour(shading, inFrame.luminance, rgb);
        const float brightness = shading.GetProperty(XChannelShadeSpecification::kBrightness);
        glProgramLocalParameter4fARB(GL_FRAGMENT_PROGRAM_ARB, 0, rgb[0] * brightness, rgb[1] * brightness,
                                     rgb[2] * brightness, shading.GetProperty(XChannelShadeSpecification::kOpacity));
        DrawSlices({channel}, XSliceStackView(inFrame.modelView, inFrame.orthographic, channel->GetBounds()));
    }
    // Later scenery must not be hidden behind levels posing as depths.
    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
}

void XSliceStackVolume::DrawSlices(const std::vector<XSliceStackChannel*>& inGroup, const XSliceStackView& inView)
{
    const XAxis axis = XAxis(inView.GetAxis());
    const X3DRect box = inGroup.front()->GetBounds();
    std::vector<XGLVolumeTextureStack*> stacks;
    for (XSliceStackChannel* channel : inGroup)
        stacks.push_back(&channel->GetStack(axis));
    const XGLVolumeTextureStack& first = *stacks.front();
    if (first.GetSliceCount() == 0)
        return;
    int32_t across = 0, up = 0, slices = 0;
    XSliceStackLevels::GetSliceVolumeSize(axis, box.GetWidth(), box.GetHeight(), box.GetDepth(), across, up, slices);
    const int32_t acrossStart = axis == XSliceStackLevels::kAxisX ? box.top : box.left;
    const int32_t upStart = axis == XSliceStackLevels::kAxisZ ? box.top : box.front;
    const int32_t sliceStart = axis == XSliceStackLevels::kAxisX   ? box.left
                               : axis == XSliceStackLevels::kAxisY ? box.top
                                                                   : box.front;
    const XSpan u = MakeSpan(acrossStart, across, first.GetTextureWidth());
    const XSpan v = MakeSpan(upStart, up, first.GetTextureHeight());
    slices = std::min<int32_t>(slices, int32_t(first.GetSliceCount()));

    const PFNGLACTIVETEXTUREARBPROC activeTexture = glActiveTextureARB;
    for (int slice : inView.GetBackToFrontOrder(slices, sliceStart)) {
        for (size_t i = 0; i < stacks.size(); ++i) {
            activeTexture(GLenum(GL_TEXTURE0_ARB + i));
            stacks[i]->BindSliceTexture(unsigned(slice));
        }
        const double at = sliceStart + slice + 0.5;
        glBegin(GL_QUADS);
        glTexCoord2d(u.tlo, v.tlo);
        Vertex(axis, u.lo, v.lo, at);
        glTexCoord2d(u.thi, v.tlo);
        Vertex(axis, u.hi, v.lo, at);
        glTexCoord2d(u.thi, v.thi);
        Vertex(axis, u.hi, v.hi, at);
        glTexCoord2d(u.tlo, v.thi);
        Vertex(axis, u.lo, v.hi, at);
        glEnd();
    }
    activeTexture(GL_TEXTURE0_ARB);
}

XSliceStackProgram& XSliceStackVolume::GetEmissionProgram(uint32_t inChannelCount)
{
    std::unique_ptr<XSliceStackProgram>& program = itsEmissionPrograms[inChannelCount];
    if (!program)
        program = std::make_unique<XSliceStackProgram>(XSliceStackProgram::kEmission, inChannelCount);
    return *program;
}

XSliceStackProgram& XSliceStackVolume::Bound(std::unique_ptr<XSliceStackProgram>& inOutProgram,
                                             XSliceStackProgram::XKind inKind)
{
    if (!inOutProgram)
        inOutProgram = std::make_unique<XSliceStackProgram>(inKind);
    inOutProgram->Bind();
    return *inOutProgram;
}
