#pragma once
// A flat square from (-0.5, -0.5, 0) to (0.5, 0.5, 0) with a texture on unit 0, its
// texture coordinates running from (0, 0) to the given maximum. Vertex and index
// buffers are made with the device on first draw; the texture belongs to the node,
// and all three are destroyed when the node's resources are unloaded. Drawing puts
// back the caller's vertex definition, buffers and unit 0.
#include "X3DGC.h"
#include "X3DSceneNode.h"

#include <array>
#include <cstdint>

class X3DIndexBuffer;
class X3DVertexBuffer;
class XTexture;

class X3DTexturedQuadSceneNode : public X3DSceneNode {
public:
    // inTexture may be null: the square is then drawn with whatever unit 0 holds.
    X3DTexturedQuadSceneNode(XTexture* inTexture, const X3DGC::XSamplerState& inSampler, const XMathVectorF2& inMaxTexCoords);
    X3DTexturedQuadSceneNode(XTexture& inTexture, const X3DGC::XSamplerState& inSampler, const XMathVectorF2& inMaxTexCoords)
        : X3DTexturedQuadSceneNode(&inTexture, inSampler, inMaxTexCoords) {}
    // Device resources left unloaded are reported: they need their device to go.
    ~X3DTexturedQuadSceneNode() override;
    X3DTexturedQuadSceneNode(const X3DTexturedQuadSceneNode&) = delete;
    X3DTexturedQuadSceneNode& operator=(const X3DTexturedQuadSceneNode&) = delete;

    XTexture* GetTexture() const;
    // The node owns the new texture; the previous one goes back to the caller, who
    // destroys it with its device.
    XTexture* SetTexture(XTexture* inTexture);
    X3DGC::XSamplerState GetSampler() const;
    void SetSampler(const X3DGC::XSamplerState& inSampler);

    using XVertices = std::array<XVertexTypes::XVertexPositionTexture, 4>;
    const XVertices& GetVertices() const { return itsVertices; }
    static const std::array<uint16_t, 4>& GetIndices();

protected:
    void RenderSelf(X3DGC& inGC, const XSceneRenderState& inState) override;
    void UnloadGraphicsResourcesSelf(X3DGC& inGC) override;
    XBoundingBox UpdateLocalBounds() override;

private:
    void MakeQuad(X3DGC& inGC);

    XTexture* itsTexture;
    X3DGC::XSamplerState itsSampler;
    XVertices itsVertices;
    X3DVertexBuffer* itsVertexBuffer = nullptr;
    X3DIndexBuffer* itsIndexBuffer = nullptr;
};
