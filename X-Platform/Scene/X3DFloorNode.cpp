#include "X3DFloorNode.h"

#include "X3DGCScopedLock.h"
#include "X3DGeometryStateSaver.h"
#include "X3DNodePrograms.h"
#include "X3DShaderScope.h"
#include "XAssert.h"
#include "XThreadLock.h"
#include "XVertexTypes.h"

X3DFloorNode::X3DFloorNode() = default;

X3DFloorNode::X3DFloorNode(const X3DFloorNode& inOther)
    : X3DSceneNode(inOther), itsColour(inOther.GetColour()), itsChecked(inOther.IsChecked())
{
}

X3DFloorNode& X3DFloorNode::operator=(const X3DFloorNode& inOther)
{
    if (this == &inOther)
        return *this;
    X3DSceneNode::operator=(inOther);
    const XARGB32Colour colour = inOther.GetColour();
    const bool checked = inOther.IsChecked();
    XThreadLock lock(GetNodeMutex());
    itsColour = colour;
    // Only the pattern's program depends on the flag; the next draw makes it.
    if (checked != itsChecked)
        itsFragmentShader.reset();
    itsChecked = checked;
    return *this;
}

X3DFloorNode::~X3DFloorNode()
{
    // Device objects can only go with their device (UnloadGraphicsResources).
    X_ASSERT(itsFloorTexture == nullptr && itsVertexBuffer == nullptr && itsIndexBuffer == nullptr);
}

void X3DFloorNode::SetColour(const XARGB32Colour& inColour)
{
    XThreadLock lock(GetNodeMutex());
    itsColour = inColour;
}

XARGB32Colour X3DFloorNode::GetColour() const
{
    XThreadLock lock(GetNodeMutex());
    return itsColour;
}

void X3DFloorNode::SetChecked(X3DGC& inGC, bool inChecked)
{
    XThreadLock lock(GetNodeMutex());
    if (inChecked == itsChecked)
        return;
    itsChecked = inChecked;
    X3DGCScopedLock device(inGC);
    itsFragmentShader.reset();
}

bool X3DFloorNode::IsChecked() const
{
    XThreadLock lock(GetNodeMutex());
    return itsChecked;
}

bool X3DFloorNode::HasFloorTexture() const
{
    XThreadLock lock(GetNodeMutex());
    return itsFloorTexture != nullptr;
}

void X3DFloorNode::WriteFloorTexels(uint8_t* outTexels, uint32_t inWidth, uint32_t inHeight, uint64_t inRowBytes)
{
    for (uint32_t y = 0; y < inHeight; ++y) {
        uint8_t* row = outTexels + uint64_t(y) * inRowBytes;
        for (uint32_t x = 0; x < inWidth; ++x)
            row[x] = ((x ^ y) & 0x20) == 0 ? kLightTexel : kDarkTexel;
    }
}

XTexture2D* X3DFloorNode::MakeFloorTexture(X3DGC& inGC) const
{
    auto* texture = new XTexture2D(inGC, kTextureSize, kTextureSize, X3DGC::kLuminance8);
    try {
        WriteFloorTexture(*texture);
    } catch (...) {
        texture->Destroy(inGC);
        throw;
    }
    return texture;
}

void X3DFloorNode::WriteFloorTexture(XTexture2D& inOutTexture) const
{
    inOutTexture.LockForWrite();
    try {
        const XMathVectorU3& extents = inOutTexture.GetExtents();
        WriteFloorTexels(static_cast<uint8_t*>(inOutTexture.GetData()), extents[0], extents[1], inOutTexture.GetRowBytes());
    } catch (...) {
        inOutTexture.ReleaseWriteLock();
        throw;
    }
    inOutTexture.ReleaseWriteLock();
}

void X3DFloorNode::MakeQuad(X3DGC& inGC)
{
    using XVertex = XVertexTypes::XVertexPositionTexture;
    const XVertex vertices[4] = {
        {{-0.5f, -0.5f, 0.0f}, {0.0f, 0.0f}},
        {{-0.5f, 0.5f, 0.0f}, {0.0f, 1.0f}},
        {{0.5f, -0.5f, 0.0f}, {1.0f, 0.0f}},
        {{0.5f, 0.5f, 0.0f}, {1.0f, 1.0f}},
    };
    const uint16_t indices[4] = {1, 0, 3, 2};
    // Each filled while mapped for writing.
    auto fill = [](X3DGCBuffer& inOutBuffer, const void* inData, uint64_t inSizeBytes) {
        inOutBuffer.LockFor(kLockWrite);
        try {
            inOutBuffer.CopyInData(inData, inSizeBytes);
        } catch (...) {
            inOutBuffer.UnlockFor(kLockWrite);
            throw;
        }
        inOutBuffer.UnlockFor(kLockWrite);
    };
    auto* vertexBuffer = new X3DVertexBuffer(inGC, sizeof(vertices), X3DGCBuffer::kBufferStaticDraw);
    X3DIndexBuffer16* indexBuffer = nullptr;
    try {
        fill(*vertexBuffer, vertices, sizeof(vertices));
        indexBuffer = new X3DIndexBuffer16(inGC, sizeof(indices), X3DGCBuffer::kBufferStaticDraw);
        fill(*indexBuffer, indices, sizeof(indices));
    } catch (...) {
        if (indexBuffer)
            indexBuffer->Destroy(inGC);
        vertexBuffer->Destroy(inGC);
        throw;
    }
    itsVertexBuffer = vertexBuffer;
    itsIndexBuffer = indexBuffer;
}

void X3DFloorNode::LoadGraphicsResourcesSelf(X3DGC& inGC)
{
    XThreadLock lock(GetNodeMutex());
    if (!itsFloorTexture && itsChecked)
        itsFloorTexture = MakeFloorTexture(inGC);
    if (!itsFragmentShader) {
        const XNodeProgram program = itsChecked ? XNodeProgram::kFloorChequered : XNodeProgram::kFloorPlain;
        itsFragmentShader = std::make_unique<XShader>(inGC, XString(GetNodeProgramSource(program)),
            XString(GetNodeProgramEntry(program, XShader::kFragmentShader)), XShader::kFragmentShader);
    }
    if (!itsVertexBuffer)
        MakeQuad(inGC);
}

void X3DFloorNode::UnloadGraphicsResourcesSelf(X3DGC& inGC)
{
    XThreadLock lock(GetNodeMutex());
    if (itsFloorTexture)
        itsFloorTexture->Destroy(inGC);
    if (itsVertexBuffer)
        itsVertexBuffer->Destroy(inGC);
    if (itsIndexBuffer)
        itsIndexBuffer->Destroy(inGC);
    itsFloorTexture = nullptr;
    itsVertexBuffer = nullptr;
    itsIndexBuffer = nullptr;
    itsFragmentShader.reset();
}

void X3DFloorNode::RenderSelf(X3DGC& inGC, const XSceneRenderState&)
{
    XThreadLock lock(GetNodeMutex());
    LoadGraphicsResourcesSelf(inGC);

    X3DGeometryStateSaver geometry(inGC, X3DGeometryStateSaver::kAll);
    inGC.SetVertexDefinition(XVertexTypes::XVertexPositionTexture::GetDefinition());
    inGC.SetVerticies(itsVertexBuffer);
    inGC.SetIndicies(itsIndexBuffer);

    X3DShaderScope shaders(inGC, nullptr, itsFragmentShader.get());
    if (itsFragmentShader->HasParameter("colour"))
        cgSetParameter4f(itsFragmentShader->GetParameter("colour"), itsColour.red / 255.0f, itsColour.green / 255.0f,
            itsColour.blue / 255.0f, itsColour.alpha / 255.0f);
    const bool textured = itsChecked && itsFloorTexture;
    // What unit 0 held before; put back after the draw, also when it throws.
    X3DGC::XTextureUnitState previous;
    if (textured)
        previous = inGC.SwapTexture(0, X3DGC::XTextureUnitState{itsFloorTexture, itsSampler});
    try {
        inGC.DrawIndexedPrimitives(X3DGC::kTriangleStrip, 0, 2);
    } catch (...) {
        if (textured)
            inGC.SwapTexture(0, previous);
        throw;
    }
    shaders.End();
    if (textured)
        inGC.SwapTexture(0, previous);
    geometry.Restore();
}

XBoundingBox X3DFloorNode::UpdateLocalBounds()
{
    return XBoundingBox(XMathVectorF3(-0.5f, -0.5f, 0.0f), XMathVectorF3(0.5f, 0.5f, 0.0f));
}
