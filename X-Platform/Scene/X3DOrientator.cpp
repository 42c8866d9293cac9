#include "X3DOrientator.h"

#include "X3DGeometryGenerator.h"
#include "X3DGeometryStateSaver.h"
#include "X3DNodePrograms.h"
#include "X3DShaderManager.h"
#include "X3DShaderScope.h"
#include "XAssert.h"
#include "XGC.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
using M = XMatrix_4x4<float>;

constexpr uint32_t kBallSlices = 16;
constexpr uint32_t kBallStacks = 9;
constexpr float kBallRadius = 0.03f;
// The marker's own camera: close enough that the arrows and letters fill its viewport.
const XMathVectorF3 kEye(0.0f, 0.0f, 1.0f);
// The light stands above and to the right of the marker's camera.
const XMathVectorF3 kLight(1.0f, 1.0f, 2.0f);

struct XAxis {
    XMathVectorF3 direction;
    XARGB32Colour colour;
    const char* letter;
};
const XAxis kAxes[3] = {{{1, 0, 0}, XARGB32Colour::kGreen, "X"},
                        {{0, 1, 0}, XARGB32Colour::kRed, "Y"},
                        {{0, 0, 1}, XARGB32Colour::kBlue, "Z"}};

// Fills a device buffer while it is mapped for writing.
template <typename TBuffer>
TBuffer* MakeBuffer(X3DGC& inGC, const void* inData, uint64_t inSizeBytes)
{
    auto* buffer = new TBuffer(inGC, inSizeBytes, X3DGCBuffer::kBufferStaticDraw);
    try {
        buffer->LockFor(kLockWrite);
        try {
            buffer->CopyInData(inData, inSizeBytes);
        } catch (...) {
            buffer->UnlockFor(kLockWrite);
            throw;
        }
        buffer->UnlockFor(kLockWrite);
    } catch (...) {
        buffer->Destroy(inGC);
        throw;
    }
    return buffer;
}

template <typename TResource>
void DestroyAndClear(X3DGC& inGC, TResource*& inOutResource)
{
    if (inOutResource)
        inOutResource->Destroy(inGC);
    inOutResource = nullptr;
}

void SetUniform(XShader* inShader, const char* inName, const XMathVectorF3& inValue)
{
    if (inShader && inShader->HasParameter(inName))
        cgSetParameter3f(inShader->GetParameter(inName), inValue[0], inValue[1], inValue[2]);
}
void SetUniform(XShader* inShader, const char* inName, const M& inValue)
{
    if (inShader && inShader->HasParameter(inName))
        inShader->SetMatrixParameter(inName, inValue);
}
void SetUniform(XShader* inShader, const char* inName, float inGrey)
{
    if (inShader && inShader->HasParameter(inName))
        cgSetParameter4f(inShader->GetParameter(inName), inGrey, inGrey, inGrey, 1.0f);
}

// Puts back every device setting the marker changes, whichever way it leaves.
class XDeviceStateSaver {
public:
    explicit XDeviceStateSaver(X3DGC& inGC)
        : itsGC(inGC), itsGeometry(inGC, X3DGeometryStateSaver::kAll), itsViewport(inGC.GetViewport()),
          itsProjection(inGC.GetProjection()), itsView(inGC.GetView()), itsWorld(inGC.GetWorld()),
          itsCullMode(inGC.GetCullMode()), itsBlendMode(inGC.GetBlendMode()), itsDepthTest(inGC.GetDepthTestEnabled()),
          itsDepthWrites(inGC.GetDepthBufferWritesEnabled()), itsUnit0{inGC.GetTexture(0), inGC.GetTextureSampler(0)}
    {
    }
    ~XDeviceStateSaver()
    {
        try {
            itsGC.SwapTexture(0, itsUnit0);
            itsGC.SetDepthBufferWritesEnabled(itsDepthWrites);
            itsGC.SetDepthTestEnabled(itsDepthTest);
            itsGC.SetBlendMode(itsBlendMode);
            itsGC.SetCullMode(itsCullMode);
            itsGC.SetViewport(itsViewport);
            itsGC.SetProjection(itsProjection);
            itsGC.SetView(itsView);
            itsGC.SetWorld(itsWorld);
            itsGeometry.Restore();
        } catch (...) {
            // Only when drawing failed already, and the caller hears of that failure.
        }
    }
    XDeviceStateSaver(const XDeviceStateSaver&) = delete;
    XDeviceStateSaver& operator=(const XDeviceStateSaver&) = delete;

private:
    X3DGC& itsGC;
    X3DGeometryStateSaver itsGeometry;
    X3DViewport itsViewport;
    M itsProjection, itsView, itsWorld;
    X3DGC::XCullMode itsCullMode;
    X3DGC::XBlendMode itsBlendMode;
    bool itsDepthTest, itsDepthWrites;
    X3DGC::XTextureUnitState itsUnit0;
};
} // namespace

X3DOrientator::X3DOrientator() = default;

X3DOrientator::X3DOrientator(const X3DOrientator&) {}

X3DOrientator& X3DOrientator::operator=(const X3DOrientator&)
{
    // Nothing of a marker but its device resources, which stay with their owner.
    return *this;
}

X3DOrientator::~X3DOrientator()
{
    // Device objects can only go with their device (UnloadGraphicsResources).
    X_ASSERT(itsArrowBuffer == nullptr && itsBallBuffer == nullptr && itsLabelTexture == nullptr);
}

XRect X3DOrientator::GetMarkerRect(const XRect& inFrame)
{
    return XRect(inFrame.left, inFrame.top, inFrame.left + inFrame.GetWidth() / 3, inFrame.top + inFrame.GetHeight() / 3);
}

X3DOrientator::XDetail X3DOrientator::GetDetail(const XRect& inMarker)
{
    const int32_t side = std::min(inMarker.GetWidth(), inMarker.GetHeight());
    if (side < kMinimumSide)
        return XDetail::kNothing;
    if (side <= kLitSide)
        return XDetail::kModulated;
    return side > kLabelSide ? XDetail::kLitWithLabels : XDetail::kLit;
}

std::array<X3DOrientator::XLabel, 3> X3DOrientator::DrawLabels(XBGRA32Volume& outImage)
{
    outImage = XBGRA32Volume(kLabelTextureSize, kLabelTextureSize, 1);
    std::array<XLabel, 3> labels;
    XGC gc(outImage);
    gc.Clear(XARGB32Colour(0, 0, 0, 0));
    gc.SetFont(XGCFont(XGCFont::kDefaultFamily, 16.0, true));
    // Side by side along the top, apart, so that no letter's quad shows a neighbour's ink.
    double x = 2.0;
    for (size_t i = 0; i < 3; ++i) {
        const XString text(kAxes[i].letter);
        gc.SetFillColour(kAxes[i].colour);
        const XRectF bounds = gc.GetTextBounds(text, x, 2.0);
        gc.DrawTextA(text, x, 2.0);
        // Whole pixels around the letter's box, and one more each side for the ink that
        // smoothing puts just outside it.
        const float size = float(kLabelTextureSize);
        const float left = std::max(0.0f, std::floor(bounds.left) - 1), top = std::max(0.0f, std::floor(bounds.top) - 1);
        const float right = std::min(size, std::ceil(bounds.right) + 1);
        const float bottom = std::min(size, std::ceil(bounds.bottom) + 1);
        labels[i] = XLabel{text, kAxes[i].colour, XRectF(left, top, right, bottom)};
        x = double(right) + 2.0;
    }
    gc.Flush();
    return labels;
}

void X3DOrientator::GenerateCone(XVertices& outVertices, float inRadius, float inHeight, const XMathVectorF3& inCentre,
    const XMathVectorF3& inAxis, const XARGB32Colour& inColour)
{
    X3DGeometryGenerator::GenerateCone(outVertices, inRadius, inHeight, inCentre, inAxis, inColour);
}

void X3DOrientator::GenerateCylinder(XVertices& outVertices, float inRadius, float inLength, const XMathVectorF3& inCentre,
    const XMathVectorF3& inAxis, const XARGB32Colour& inColour)
{
    X3DGeometryGenerator::GenerateCylinder(outVertices, inRadius, inLength, inCentre, inAxis, inColour);
}

void X3DOrientator::GenerateSphere(XVertices& outVertices, XVector<uint16_t>& outIndices, float inRadius, uint32_t inSlices,
    uint32_t inStacks, const XMathVectorF3& inPoleAxis)
{
    const uint32_t slices = std::max(inSlices, 3u), stacks = std::max(inStacks, 3u);
    // A frame around the pole axis (z when it is unusable).
    XMathVectorF3 w = inPoleAxis.GetNormalised();
    if (!(w.GetLengthSquared() > 0.5f))
        w = XMathVectorF3(0, 0, 1);
    XMathVectorF3 u = w.Cross(XMathVectorF3(1, 0, 0));
    if (u.GetLengthSquared() < 1e-6f)
        u = w.Cross(XMathVectorF3(0, 1, 0));
    u.Normalise();
    const XMathVectorF3 v = w.Cross(u);
    const uint32_t base = uint32_t(outVertices.size());
    for (uint32_t i = 0; i < stacks; ++i) {
        const double theta = std::numbers::pi * i / (stacks - 1);
        for (uint32_t j = 0; j < slices; ++j) {
            const double phi = 2.0 * std::numbers::pi * j / slices;
            const XMathVectorF3 normal = u * float(std::sin(theta) * std::cos(phi)) +
                                         v * float(std::sin(theta) * std::sin(phi)) + w * float(std::cos(theta));
            auto tint = [&](size_t inAxis) { return uint8_t(std::lround(255.0 * (0.35 + 0.65 * std::abs(normal[inAxis])))); };
            const XARGB32Colour colour(255, tint(1), tint(0), tint(2));
            outVertices.push_back({normal * inRadius, colour, normal});
        }
    }
    for (uint32_t k = 0; k + 1 < stacks; ++k)
        for (uint32_t j = 0; j < slices; ++j) {
            const uint32_t next = (j + 1) % slices;
            const uint32_t a = base + k * slices + j, b = base + k * slices + next;
            const uint32_t c = a + slices, d = b + slices;
            // Counter-clockwise seen from outside.
            for (uint32_t index : {a, c, b, b, c, d})
                outIndices.push_back(uint16_t(index));
        }
}

bool X3DOrientator::HasGraphicsResources() const
{
    return itsArrowBuffer || itsBallBuffer || itsLabelTexture || itsVertexShader || itsLitFragmentShader;
}

void X3DOrientator::LoadGraphicsResources(X3DGC& inGC)
{
    auto compile = [&inGC](std::unique_ptr<XShader>& outShader, const char* inSource, const char* inEntry,
                       XShader::XShaderType inType) {
        if (!outShader)
            outShader = std::make_unique<XShader>(inGC, XString(inSource), XString(inEntry), inType);
    };
    const char* lit = GetNodeProgramSource(XNodeProgram::kPointLightLit);
    compile(itsVertexShader, lit, GetNodeProgramEntry(XNodeProgram::kPointLightLit, XShader::kVertexShader),
        XShader::kVertexShader);
    compile(itsLitFragmentShader, lit, GetNodeProgramEntry(XNodeProgram::kPointLightLit, XShader::kFragmentShader),
        XShader::kFragmentShader);
    compile(itsModulatedFragmentShader, GetNodeProgramSource(XNodeProgram::kModulatedColour),
        GetNodeProgramEntry(XNodeProgram::kModulatedColour, XShader::kFragmentShader), XShader::kFragmentShader);
    compile(itsLabelVertexShader, X3DShaderManager::GetStandardShaderSource(X3DShaderManager::kTextureVertexShader),
        "vsMain", XShader::kVertexShader);
    compile(itsLabelFragmentShader, X3DShaderManager::GetStandardShaderSource(X3DShaderManager::kTextureFragmentShader),
        "psMain", XShader::kFragmentShader);
    CreateBuffers(inGC);
}

void X3DOrientator::CreateBuffers(X3DGC& inGC)
{
    if (itsArrowBuffer)
        return;
    try {
        XVertices arrows;
        for (const XAxis& axis : kAxes) {
            GenerateCone(arrows, 0.025f, 0.05f, axis.direction * 0.23f, axis.direction, axis.colour);
            GenerateCylinder(arrows, 0.005f, 0.23f, axis.direction * 0.115f, axis.direction, axis.colour);
        }
        itsArrowBuffer = MakeBuffer<X3DVertexBuffer>(inGC, arrows.data(), arrows.size() * sizeof(arrows[0]));
        itsArrowTriangleCount = uint32_t(arrows.size() / 3);

        XVertices ball;
        XVector<uint16_t> indices;
        GenerateSphere(ball, indices, kBallRadius, kBallSlices, kBallStacks, XMathVectorF3(0, 0, 1));
        itsBallBuffer = MakeBuffer<X3DVertexBuffer>(inGC, ball.data(), ball.size() * sizeof(ball[0]));
        itsBallIndexBuffer = MakeBuffer<X3DIndexBuffer16>(inGC, indices.data(), indices.size() * sizeof(indices[0]));
        itsBallTriangleCount = uint32_t(indices.size() / 3);

        XBGRA32Volume image;
        itsLabels = DrawLabels(image);
        itsLabelTexture = new XTexture2D(inGC, kLabelTextureSize, kLabelTextureSize, X3DGC::kBGRA32);
        itsLabelTexture->CopyInBGRA32Volume(image);
        // Each letter as two triangles of its own size in pixels, centred on the origin;
        // image rows run downwards, so the top of a quad takes the letter's top row.
        XVector<XVertexTypes::XVertexPositionTexture> quads;
        const float size = float(kLabelTextureSize);
        for (const XLabel& label : itsLabels) {
            const float w = float(label.bounds.GetWidth()), h = float(label.bounds.GetHeight());
            const float x0 = -std::round(w / 2), y0 = -std::round(h / 2);
            const float s0 = float(label.bounds.left) / size, s1 = float(label.bounds.right) / size;
            const float tTop = float(label.bounds.top) / size, tBottom = float(label.bounds.bottom) / size;
            const XVertexTypes::XVertexPositionTexture corners[4] = {
                {{x0, y0, 0}, {s0, tBottom}}, {{x0 + w, y0, 0}, {s1, tBottom}},
                {{x0 + w, y0 + h, 0}, {s1, tTop}}, {{x0, y0 + h, 0}, {s0, tTop}}};
            for (int corner : {0, 1, 2, 0, 2, 3})
                quads.push_back(corners[corner]);
        }
        itsLabelBuffer = MakeBuffer<X3DVertexBuffer>(inGC, quads.data(), quads.size() * sizeof(quads[0]));
    } catch (...) {
        DestroyResources(inGC);
        throw;
    }
}

void X3DOrientator::DestroyResources(X3DGC& inGC)
{
    DestroyAndClear(inGC, itsArrowBuffer);
    DestroyAndClear(inGC, itsBallBuffer);
    DestroyAndClear(inGC, itsBallIndexBuffer);
    DestroyAndClear(inGC, itsLabelTexture);
    DestroyAndClear(inGC, itsLabelBuffer);
    itsArrowTriangleCount = itsBallTriangleCount = 0;
}

void X3DOrientator::UnloadGraphicsResources(X3DGC& inGC)
{
    DestroyResources(inGC);
    itsVertexShader.reset();
    itsLitFragmentShader.reset();
    itsModulatedFragmentShader.reset();
    itsLabelVertexShader.reset();
    itsLabelFragmentShader.reset();
}

void X3DOrientator::Render(X3DGC& inGC, const X3DCamera& inCamera, const XQuaternion& inRotation)
{
    const XRect markerRect = GetMarkerRect(inCamera.GetViewport().GetRect());
    const XDetail detail = GetDetail(markerRect);
    if (detail == XDetail::kNothing)
        return;
    LoadGraphicsResources(inGC);
    XDeviceStateSaver saved(inGC);

    inGC.SetCullMode(X3DGC::kCullNone);
    X3DCamera camera;
    camera.LookAt(kEye, XMathVectorF3(), XMathVectorF3(0, 1, 0));
    camera.SetViewport(X3DViewport(markerRect, 0.1f, 1000.0f));
    inGC.SetViewport(camera.GetViewport());
    inGC.SetProjection(camera.GetProjectionMatrix());
    inGC.SetView(camera.GetViewMatrix());
    // Turned as the volume appears: the scene mirrors z (its root scales z by -1).
    const M world = inRotation.GetNormalised().ToMatrix() * M::MakeScale(1, 1, -1);
    inGC.SetWorld(world);
    inGC.Clear(X3DGC::kClearDepth, XARGB32Colour::kBlack, 1.0f, 0);

    const bool lit = detail != XDetail::kModulated;
    XShader* fragment = lit ? itsLitFragmentShader.get() : itsModulatedFragmentShader.get();
    {
        X3DShaderScope shaders(inGC, itsVertexShader.get(), fragment);
        for (XShader* shader : {itsVertexShader.get(), fragment}) {
            SetUniform(shader, "ModelViewProj", inGC.GetWorldViewProjection());
            SetUniform(shader, "NormalMatrix", world.GetInverse().GetTranspose());
            SetUniform(shader, "World", world);
            SetUniform(shader, "inDirectionalLightVector", kLight.GetNormalised());
            SetUniform(shader, "inCameraPos", kEye);
            SetUniform(shader, "inLightPos", kLight);
            SetUniform(shader, "inModulateColour", lit ? 1.0f : kModulatedGrey);
        }
        inGC.SetDepthTestEnabled(true);
        inGC.SetDepthBufferWritesEnabled(true);
        inGC.SetVertexDefinition(XVertexTypes::XVertexPositionColourNormal::GetDefinition());
        inGC.SetVerticies(itsArrowBuffer);
        inGC.DrawPrimitives(X3DGC::kTriangleList, 0, itsArrowTriangleCount);
        inGC.SetVerticies(itsBallBuffer);
        inGC.SetIndicies(itsBallIndexBuffer);
        inGC.DrawIndexedPrimitives(X3DGC::kTriangleList, 0, itsBallTriangleCount);
        shaders.End();
    }
    if (detail == XDetail::kLitWithLabels)
        DrawLabelQuads(inGC, inGC.GetWorldViewProjection(), camera.GetViewport());
}

void X3DOrientator::DrawLabelQuads(X3DGC& inGC, const M& inWorldViewProjection, const X3DViewport& inViewport)
{
    // Window positions first, while the marker's transform is current.
    XMathVectorF3 anchors[3];
    for (size_t i = 0; i < 3; ++i)
        anchors[i] = inViewport.Project(kAxes[i].direction * kLabelDistance, inWorldViewProjection);
    const XRect& rect = inViewport.GetRect();
    inGC.SetProjection(M::MakeOrthographic(float(rect.left), float(rect.right), float(rect.top), float(rect.bottom), -1, 1));
    inGC.SetView(M());
    inGC.SetDepthTestEnabled(false);
    inGC.SetDepthBufferWritesEnabled(false);
    inGC.SetBlendMode(X3DGC::kBlendOver);
    inGC.SetIndicies(nullptr);
    inGC.SetVertexDefinition(XVertexTypes::XVertexPositionTexture::GetDefinition());
    inGC.SetVerticies(itsLabelBuffer);
    X3DShaderScope shaders(inGC, itsLabelVertexShader.get(), itsLabelFragmentShader.get());
    inGC.SwapTexture(0, X3DGC::XTextureUnitState{itsLabelTexture, X3DGC::XSamplerState{}});
    for (uint32_t i = 0; i < 3; ++i) {
        // Whole pixels, so that each texel lands on one pixel.
        inGC.SetWorld(M::MakeTranslation(std::round(anchors[i][0]), std::round(anchors[i][1]), 0.0f));
        SetUniform(itsLabelVertexShader.get(), "ModelViewProj", inGC.GetWorldViewProjection());
        inGC.DrawPrimitives(X3DGC::kTriangleList, 6 * i, 2);
    }
    shaders.End();
}
