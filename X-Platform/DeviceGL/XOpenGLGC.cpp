#include "XOpenGLGC.h"

#include "X3DGCScopedLock.h"
#include "X3DIndexBuffer.h"
#include "XAssert.h"
#include "XException.h"
#include "XLock.h"
#include "XOpenGLShaderRuntime.h"
#include "XOpenGLUtilities.h"
#include "XShader.h"
#include "XTexture2D.h"
#include "XTexture3D.h"

#include <algorithm>

using namespace XOpenGLUtilities;

XMap<uint64_t, void*> XOpenGLGC::XOpenGLGCImp::sShareContexts;
XMutex XOpenGLGC::XOpenGLGCImp::sShareContextMutex{4000, false};

namespace {
constexpr uint32_t kMaxClipPlanes = 6;

GLint QueryInteger(GLenum inName, GLint inFallback)
{
    GLint value = inFallback;
    glGetIntegerv(inName, &value);
    return value;
}

void LoadMatrix(const XMatrix_4x4<float>& inMatrix)
{
    // Row vectors (p x M) keep the translation in row 3: read row by row, that is
    // OpenGL's column-major order for column vectors.
    GLfloat elements[16];
    for (size_t r = 0; r < 4; ++r)
        for (size_t c = 0; c < 4; ++c)
            elements[r * 4 + c] = inMatrix(r, c);
    glLoadMatrixf(elements);
}
} // namespace

XOpenGLGC::XOpenGLGCImp::XOpenGLGCImp(X3DGC& inGC) : X3DGCImp(inGC) {}

XOpenGLGC::XOpenGLGCImp::~XOpenGLGCImp() = default;

void XOpenGLGC::XOpenGLGCImp::ReleaseContext()
{
    XLock lock(itsContextMutex);
    if (itsContext != nullptr) {
        DestroyContext(itsContext);
        itsContext = nullptr;
    }
}

void XOpenGLGC::XOpenGLGCImp::Initialise(const X3DGC::XCreationParameters& inParameters)
{
    {
        XLock lock(itsContextMutex);
        ReleaseContext();
        XLock shareLock(sShareContextMutex);
        itsPixelFormat = ChoosePixelFormat(inParameters);
        auto found = sShareContexts.find(itsPixelFormat);
        if (found == sShareContexts.end())
            found = sShareContexts.emplace(itsPixelFormat, CreateShareContext(itsPixelFormat)).first;
        itsContext = CreateContext(itsPixelFormat, found->second);
    }
    X3DGCScopedLock lock(GetGC());
    // The device may have been locked before the context existed: make it current now.
    Lock();
    InitialiseState();
}

void XOpenGLGC::XOpenGLGCImp::InitialiseState()
{
    // What the driver offers, read once per context.
    itsHasBlendEquation = OpenGLCheckExtension("GL_EXT_blend_minmax");
    itsFixedFunctionUnits = OpenGLCheckExtension("GL_ARB_multitexture")
        ? uint32_t(std::max(QueryInteger(GL_MAX_TEXTURE_UNITS_ARB, 1), 1)) : 1;
    itsTexCoordSets = itsFixedFunctionUnits;
    if (OpenGLCheckExtension("GL_ARB_vertex_program") || OpenGLCheckExtension("GL_ARB_fragment_program"))
        itsTexCoordSets = uint32_t(std::max(QueryInteger(GL_MAX_TEXTURE_COORDS_ARB, 1), 1));
    X3DGC& gc = GetGC();
    gc.SetViewport(X3DViewport(XRect(0, 0, 640, 480), 0.1f, 1000.0f));
    gc.SetProjection(XMatrix_4x4<float>());
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    itsClearColour = XARGB32Colour(255, 0, 0, 0);
    glClearDepth(1.0);
    itsClearDepth = 1.0f;
    glClearStencil(0);
    itsClearStencil = 0;
    glMatrixMode(GL_MODELVIEW);
    gc.SetWorld(XMatrix_4x4<float>());
    glDisable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glCullFace(GL_BACK);
    SetCullMode(X3DGC::kCullClockwise);
    SetFillMode(X3DGC::kFillSolid);
    glDisable(GL_LIGHTING);
    glEnable(GL_NORMALIZE);
    glEnable(GL_AUTO_NORMAL);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_LINE_SMOOTH);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    CheckGLError();
}

X3DGC::XDeviceInfo XOpenGLGC::XOpenGLGCImp::GetDeviceInfo() const
{
    auto text = [](GLenum inName) {
        const GLubyte* s = glGetString(inName);
        return XString(s ? reinterpret_cast<const char*>(s) : "");
    };
    X3DGC::XDeviceInfo info;
    info.description = text(GL_VERSION) + " " + text(GL_VENDOR) + " " + text(GL_RENDERER);
    // Program texture units exist only with programmable fragments; fixed function has its own count.
    if (OpenGLCheckExtension("GL_ARB_fragment_program") || OpenGLCheckExtension("GL_ARB_fragment_shader"))
        info.textureUnitCount = uint32_t(std::max(QueryInteger(GL_MAX_TEXTURE_IMAGE_UNITS_ARB, 1), 1));
    else if (OpenGLCheckExtension("GL_ARB_multitexture"))
        info.textureUnitCount = uint32_t(std::max(QueryInteger(GL_MAX_TEXTURE_UNITS_ARB, 1), 1));
    else
        info.textureUnitCount = 1;
    info.maxTextureSize = uint32_t(std::max(QueryInteger(GL_MAX_TEXTURE_SIZE, 0), 0));
    GLint dims[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, dims);
    info.maxViewportBounds = XRect(0, 0, dims[0], dims[1]);
    if (OpenGLCheckExtension("GL_EXT_framebuffer_object")) {
        const GLint size = QueryInteger(GL_MAX_RENDERBUFFER_SIZE_EXT, 0);
        info.maxRenderBufferBounds = XRect(0, 0, size, size);
    }
    CheckGLError();
    return info;
}

bool XOpenGLGC::XOpenGLGCImp::IsCompatible(const X3DGCImp& inOther) const
{
    const auto* other = dynamic_cast<const XOpenGLGCImp*>(&inOther);
    return other != nullptr && typeid(*other) == typeid(*this) && other->itsPixelFormat == itsPixelFormat;
}

void XOpenGLGC::XOpenGLGCImp::Clear(uint32_t inFlags, const XARGB32Colour& inColour, float inDepth, uint32_t inStencil)
{
    GLbitfield bits = 0;
    if (inFlags & X3DGC::kClearColour) {
        bits |= GL_COLOR_BUFFER_BIT;
        // Only a change of colour is sent: alpha alone does not count.
        if (inColour.red != itsClearColour.red || inColour.green != itsClearColour.green ||
            inColour.blue != itsClearColour.blue) {
            glClearColor(inColour.red / 255.0f, inColour.green / 255.0f, inColour.blue / 255.0f, inColour.alpha / 255.0f);
            itsClearColour = inColour;
        }
    }
    if (inFlags & X3DGC::kClearDepth) {
        bits |= GL_DEPTH_BUFFER_BIT;
        if (inDepth != itsClearDepth) {
            glClearDepth(inDepth);
            itsClearDepth = inDepth;
        }
    }
    if (inFlags & X3DGC::kClearStencil) {
        bits |= GL_STENCIL_BUFFER_BIT;
        if (inStencil != itsClearStencil) {
            glClearStencil(GLint(inStencil));
            itsClearStencil = inStencil;
        }
    }
    glClear(bits);
}

void XOpenGLGC::XOpenGLGCImp::SetColourBufferWriteMask(uint32_t inMask)
{
    glColorMask((inMask >> 24) & 0xFF ? GL_TRUE : GL_FALSE, (inMask >> 16) & 0xFF ? GL_TRUE : GL_FALSE,
                (inMask >> 8) & 0xFF ? GL_TRUE : GL_FALSE, inMask & 0xFF ? GL_TRUE : GL_FALSE);
}

void XOpenGLGC::XOpenGLGCImp::SetDepthTestEnabled(bool inEnabled)
{
    inEnabled ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
}

void XOpenGLGC::XOpenGLGCImp::SetDepthBufferWritesEnabled(bool inEnabled) { glDepthMask(inEnabled ? GL_TRUE : GL_FALSE); }

void XOpenGLGC::XOpenGLGCImp::SetDepthBufferOffset(float inOffset) { glPolygonOffset(0.0f, inOffset); }

void XOpenGLGC::XOpenGLGCImp::SetStencilBufferEnabled(bool inEnabled)
{
    inEnabled ? glEnable(GL_STENCIL_TEST) : glDisable(GL_STENCIL_TEST);
}

void XOpenGLGC::XOpenGLGCImp::SetStencilFunc(X3DGC::XStencilFunc inFunc, uint32_t inRef, uint32_t inMask)
{
    static constexpr GLenum kFuncs[] = {GL_NEVER, GL_ALWAYS, GL_EQUAL};
    if (inFunc >= std::size(kFuncs)) {
        X_ASSERT(false);
        return;
    }
    glStencilFunc(kFuncs[inFunc], GLint(inRef), inMask);
}

void XOpenGLGC::XOpenGLGCImp::SetStencilWriteOp(X3DGC::XStencilWriteOp inPass, X3DGC::XStencilWriteOp inFail)
{
    auto op = [](X3DGC::XStencilWriteOp inOp) -> GLenum {
        switch (inOp) {
        case X3DGC::kStencilKeep: return GL_KEEP;
        case X3DGC::kStencilReplace: return GL_REPLACE;
        }
        X_ASSERT(false);
        return GL_KEEP;
    };
    glStencilOp(op(inFail), op(inPass), op(inPass));
}

void XOpenGLGC::XOpenGLGCImp::SetCullMode(X3DGC::XCullMode inMode)
{
    switch (inMode) {
    case X3DGC::kCullNone:
        glDisable(GL_CULL_FACE);
        return;
    case X3DGC::kCullClockwise:
    case X3DGC::kCullCounterClockwise:
        glEnable(GL_CULL_FACE);
        glFrontFace(inMode == X3DGC::kCullClockwise ? GL_CCW : GL_CW);
        return;
    }
    X_ASSERT(false);
}

void XOpenGLGC::XOpenGLGCImp::SetFillMode(X3DGC::XFillMode inMode)
{
    static constexpr GLenum kModes[] = {GL_FILL, GL_LINE, GL_POINT};
    if (inMode >= std::size(kModes)) {
        X_ASSERT(false);
        return;
    }
    glPolygonMode(GL_FRONT_AND_BACK, kModes[inMode]);
}

void XOpenGLGC::XOpenGLGCImp::SetBlendEquation(GLenum inEquation)
{
    // Without the extension the equation is always addition.
    if (itsHasBlendEquation)
        glBlendEquationEXT(inEquation);
}

void XOpenGLGC::XOpenGLGCImp::SetBlendMode(X3DGC::XBlendMode inMode)
{
    switch (inMode) {
    case X3DGC::kBlendNone:
        glDisable(GL_BLEND);
        return;
    case X3DGC::kBlendOver:
        glEnable(GL_BLEND);
        SetBlendEquation(GL_FUNC_ADD);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        return;
    case X3DGC::kBlendUnder:
        glEnable(GL_BLEND);
        SetBlendEquation(GL_FUNC_ADD);
        glBlendFunc(GL_ONE_MINUS_DST_ALPHA, GL_ONE);
        return;
    case X3DGC::kBlendMaximum:
        glEnable(GL_BLEND);
        if (!itsHasBlendEquation)
            throw XException(XException::kMissingExtension,
                "this OpenGL driver cannot blend by maximum (GL_EXT_blend_minmax is missing); update the graphics "
                "driver or choose another blend mode");
        SetBlendEquation(GL_MAX);
        return;
    }
    X_ASSERT(false);
}

void XOpenGLGC::XOpenGLGCImp::SetViewport(const X3DViewport& inViewport)
{
    glViewport(inViewport.GetX(), inViewport.GetY(), inViewport.GetWidth(), inViewport.GetHeight());
}

void XOpenGLGC::XOpenGLGCImp::LoadModelView() { LoadMatrix(GetGC().GetWorldView()); }

void XOpenGLGC::XOpenGLGCImp::SetWorld(const XMatrix_4x4<float>&) { LoadModelView(); }

void XOpenGLGC::XOpenGLGCImp::SetView(const XMatrix_4x4<float>&) { LoadModelView(); }

void XOpenGLGC::XOpenGLGCImp::SetProjection(const XMatrix_4x4<float>& inMatrix)
{
    glMatrixMode(GL_PROJECTION);
    LoadMatrix(inMatrix);
    glMatrixMode(GL_MODELVIEW);
}

void XOpenGLGC::XOpenGLGCImp::SetVertexDefinition(const X3DGC::XVertexDefinition&) { GetGC().ResetVertexSource(); }

void XOpenGLGC::XOpenGLGCImp::SetUpVertexArrays(const void* inBase)
{
    const X3DGC::XVertexDefinition& definition = GetGC().GetVertexDefinition();
    const auto stride = GLsizei(definition.stride);
    // With a buffer object bound the base is null and the pointers are offsets into
    // it, so they are made as integers: pointer arithmetic on null is undefined.
    const auto at = [inBase](uint32_t inOffset) {
        return reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(inBase) + inOffset);
    };
    auto find = [&](uint32_t inUsage) -> const X3DGC::XVertexElement* {
        for (const auto& element : definition.elements)
            if (element.usage == inUsage)
                return &element;
        return nullptr;
    };
    if (const auto* position = find(X3DGC::kUsagePosition)) {
        X_ASSERT(position->type == X3DGC::kElementFloat2 || position->type == X3DGC::kElementFloat3);
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(position->type == X3DGC::kElementFloat2 ? 2 : 3, GL_FLOAT, stride, at(position->offset));
    } else {
        glDisableClientState(GL_VERTEX_ARRAY);
    }
    CheckGLError();
    const auto* colour = find(X3DGC::kUsageColour);
    if (colour && colour->type == X3DGC::kElementUByte4) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_UNSIGNED_BYTE, stride, at(colour->offset));
    } else {
        X_ASSERT(colour == nullptr);
        glDisableClientState(GL_COLOR_ARRAY);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    }
    CheckGLError();
    const auto* normal = find(X3DGC::kUsageNormal);
    if (normal && normal->type == X3DGC::kElementFloat3) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, stride, at(normal->offset));
    } else {
        X_ASSERT(normal == nullptr);
        glDisableClientState(GL_NORMAL_ARRAY);
    }
    CheckGLError();
    // Coordinate sets past the driver's last do not exist.
    const uint32_t units = std::min(GetGC().GetDeviceInfo().textureUnitCount, itsTexCoordSets);
    for (uint32_t n = 0; n < units; ++n) {
        if (n > 0 || units > 1)
            glClientActiveTextureARB(GL_TEXTURE0_ARB + n);
        const auto* coords = find(X3DGC::kUsageTexCoord0 + n);
        if (coords && coords->type >= X3DGC::kElementFloat1 && coords->type <= X3DGC::kElementFloat3) {
            glTexCoordPointer(GLint(coords->type), GL_FLOAT, stride, at(coords->offset));
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        } else {
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        }
        CheckGLError();
    }
    if (units > 1)
        glClientActiveTextureARB(GL_TEXTURE0_ARB);
}

void XOpenGLGC::XOpenGLGCImp::DrawUserPrimitives(X3DGC::XPrimitiveType inType, const void* inVertexData,
    uint32_t inStartVertex, uint32_t inPrimitiveCount)
{
    const XGLPrimitive primitive = GetPrimitive(inType, inPrimitiveCount);
    if (!primitive.known)
        return;
    SetUpVertexArrays(inVertexData);
    glDrawArrays(primitive.mode, GLint(inStartVertex), primitive.count);
    CheckGLError();
}

void XOpenGLGC::XOpenGLGCImp::DrawUserIndexedPrimitives(X3DGC::XPrimitiveType inType, const void* inVertexData,
    uint32_t, uint32_t, const uint32_t* inIndices, uint32_t inPrimitiveCount)
{
    if (inType == X3DGC::kQuadList) {
        X_ASSERT(false);
        return;
    }
    const XGLPrimitive primitive = GetPrimitive(inType, inPrimitiveCount);
    if (!primitive.known)
        return;
    SetUpVertexArrays(inVertexData);
    glDrawElements(primitive.mode, primitive.count, GL_UNSIGNED_INT, inIndices);
    CheckGLError();
}

void XOpenGLGC::XOpenGLGCImp::DrawPrimitives(X3DGC::XPrimitiveType inType, uint32_t inStartVertex, uint32_t inPrimitiveCount)
{
    const XGLPrimitive primitive = GetPrimitive(inType, inPrimitiveCount);
    if (!primitive.known)
        return;
    glDrawArrays(primitive.mode, GLint(inStartVertex), primitive.count);
    CheckGLError();
}

void XOpenGLGC::XOpenGLGCImp::DrawIndexedPrimitives(X3DGC::XPrimitiveType inType, uint32_t inStartIndex,
    uint32_t inPrimitiveCount)
{
    X3DIndexBuffer* indices = GetGC().GetIndexBuffer();
    X_ASSERT_TEXT(indices, "itsIndicies");
    if (indices == nullptr)
        return;
    const uint32_t elementSize = indices->GetElementSizeBytes();
    GLenum type = GL_UNSIGNED_INT;
    if (elementSize == 2)
        type = GL_UNSIGNED_SHORT;
    else if (elementSize != 4) {
        X_ASSERT(false);
        return;
    }
    const XGLPrimitive primitive = GetPrimitive(inType, inPrimitiveCount);
    if (!primitive.known)
        return;
    // An offset into a bound buffer object when the base is null: made as an integer.
    const auto* first = reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(indices->GetBaseElementAddress()) +
                                                      uintptr_t(elementSize) * inStartIndex);
    glDrawElements(primitive.mode, primitive.count, type, first);
    CheckGLError();
}

void XOpenGLGC::XOpenGLGCImp::SetTextureSampler(uint32_t inUnit, const X3DGC::XTextureUnitState& inState)
{
    if (inState.texture == nullptr)
        return;
    GLenum target = 0;
    if (dynamic_cast<XTexture3D*>(inState.texture))
        target = GL_TEXTURE_3D;
    else if (dynamic_cast<XTexture2D*>(inState.texture))
        target = GL_TEXTURE_2D;
    else {
        X_ASSERT(false);
        return;
    }
    glActiveTextureARB(GL_TEXTURE0_ARB + inUnit);
    const X3DGC::XSamplerState& s = inState.sampler;
    auto filter = [](uint32_t inFilter) { return GLint(inFilter == 1 ? GL_LINEAR : GL_NEAREST); };
    auto wrap = [](uint32_t inAddress) { return GLint(inAddress == 1 ? GL_REPEAT : GL_CLAMP_TO_EDGE); };
    glTexParameteri(target, GL_TEXTURE_MIN_FILTER, filter(s.minFilter));
    glTexParameteri(target, GL_TEXTURE_MAG_FILTER, filter(s.magFilter));
    glTexParameteri(target, GL_TEXTURE_WRAP_S, wrap(s.addressU));
    glTexParameteri(target, GL_TEXTURE_WRAP_T, wrap(s.addressV));
    if (target == GL_TEXTURE_3D)
        glTexParameteri(target, GL_TEXTURE_WRAP_R, wrap(s.addressW));
}

void XOpenGLGC::XOpenGLGCImp::AttachTexture(uint32_t inUnit, const X3DGC::XTextureUnitState& inState, _CGparameter* inSampler)
{
    if (inState.texture == nullptr)
        return;
    inState.texture->HandleTextureUnitAttach(GetGC(), inUnit, inSampler);
    if (inSampler != nullptr)
        XOpenGLShaderRuntime::Require().CheckError();
    SetTextureSampler(inUnit, inState);
}

void XOpenGLGC::XOpenGLGCImp::UnattachTexture(uint32_t inUnit, const X3DGC::XTextureUnitState& inState, _CGparameter* inSampler)
{
    glActiveTextureARB(GL_TEXTURE0_ARB + inUnit);
    if (inState.texture != nullptr)
        inState.texture->HandleTextureUnitUnattach(GetGC(), inUnit, inSampler);
}

void XOpenGLGC::XOpenGLGCImp::CreateShaderProfiles(CGprofile& outVertexProfile, CGprofile& outFragmentProfile)
{
    outVertexProfile = outFragmentProfile = CG_PROFILE_UNKNOWN;
    XOpenGLShaderRuntime* runtime = XOpenGLShaderRuntime::Get();
    if (runtime == nullptr)
        return;
    auto profile = [runtime](const char* inName) {
        const CGprofile p = runtime->GetProfile(inName);
        return runtime->IsProfileSupported(p) ? p : CG_PROFILE_UNKNOWN;
    };
    outVertexProfile = profile("arbvp1");
    outFragmentProfile = profile("arbfp1");
}

void XOpenGLGC::XOpenGLGCImp::AttachShader(XShader& inShader, CGprofile inProfile)
{
    XOpenGLShaderRuntime& runtime = XOpenGLShaderRuntime::Require();
    if (runtime.IsProgramLoaded(inShader))
        return;
    runtime.SetOptimalOptions(inProfile);
    runtime.CheckError();
    runtime.LoadProgram(inShader);
    runtime.CheckError();
}

void XOpenGLGC::XOpenGLGCImp::BeginShader(XShader& inShader, CGprofile inProfile)
{
    XOpenGLShaderRuntime& runtime = XOpenGLShaderRuntime::Require();
    X_ASSERT_TEXT(runtime.IsProgramLoaded(inShader), "::cgGLIsProgramLoaded( inShader )");
    runtime.EnableProfile(inProfile);
    runtime.BindProgram(inShader);
    runtime.CheckError();
    CheckGLError();
}

void XOpenGLGC::XOpenGLGCImp::EndShader(XShader&, CGprofile inProfile)
{
    XOpenGLShaderRuntime& runtime = XOpenGLShaderRuntime::Require();
    runtime.UnbindProgram(inProfile);
    runtime.CheckError();
    runtime.DisableProfile(inProfile);
    runtime.CheckError();
}

void XOpenGLGC::XOpenGLGCImp::UpdateClippingPlanes()
{
    for (uint32_t i = 0; i < itsEnabledClipPlanes; ++i)
        glDisable(GL_CLIP_PLANE0 + i);
    const X3DGC& gc = GetGC();
    itsEnabledClipPlanes = std::min(kMaxClipPlanes, gc.GetNumClippingPlanes());
    for (uint32_t i = 0; i < itsEnabledClipPlanes; ++i) {
        const XMathVectorF4 plane = gc.GetClippingPlane(i);
        const GLdouble equation[4] = {plane[0], plane[1], plane[2], plane[3]};
        glClipPlane(GL_CLIP_PLANE0 + i, equation);
        glEnable(GL_CLIP_PLANE0 + i);
    }
}
