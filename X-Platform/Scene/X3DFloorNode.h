#pragma once
// The floor under the volume: a unit square in the node's z = 0 plane, plain or a
// chequerboard of light and dark squares, tinted by its colour. Its texture, buffers
// and program are made with the device that first draws it.
#include "X3DGC.h"
#include "X3DIndexBuffer.h"
#include "X3DSceneNode.h"
#include "X3DVertexBuffer.h"
#include "XShader.h"
#include "XTexture2D.h"

#include <cstdint>
#include <memory>

class X3DFloorNode : public X3DSceneNode {
public:
    static constexpr uint32_t kTextureSize = 256;
    static constexpr uint8_t kLightTexel = 255;
    static constexpr uint8_t kDarkTexel = 12;
    static constexpr XARGB32Colour kDefaultColour{255, 52, 52, 52};

    X3DFloorNode();
    // A copy takes the node, colour and pattern, not the device resources: it makes
    // its own when drawn.
    X3DFloorNode(const X3DFloorNode& inOther);
    X3DFloorNode& operator=(const X3DFloorNode& inOther);
    // Release the resources with UnloadGraphicsResources first; what is left is
    // reported and left to the device.
    ~X3DFloorNode() override;

    // Takes effect at the next draw.
    void SetColour(const XARGB32Colour& inColour);
    XARGB32Colour GetColour() const;
    // Switching pattern rebuilds only the program; a texture once made stays.
    void SetChecked(X3DGC& inGC, bool inChecked);
    bool IsChecked() const;
    // Whether the chequer texture has been made (by a draw of a checked floor).
    bool HasFloorTexture() const;

    // The chequerboard: 32 x 32 squares, light where bit 5 of x and of y agree (so
    // the square at the origin is light), one byte a texel, rows inRowBytes apart.
    static void WriteFloorTexels(uint8_t* outTexels, uint32_t inWidth, uint32_t inHeight, uint64_t inRowBytes);

protected:
    // A new texture, filled; the caller owns it.
    XTexture2D* MakeFloorTexture(X3DGC& inGC) const;
    void WriteFloorTexture(XTexture2D& inOutTexture) const;
    void MakeQuad(X3DGC& inGC);

    void LoadGraphicsResourcesSelf(X3DGC& inGC) override;
    void UnloadGraphicsResourcesSelf(X3DGC& inGC) override;
    void RenderSelf(X3DGC& inGC, const XSceneRenderState& inState) override;
    XBoundingBox UpdateLocalBounds() override;

private:
    XTexture2D* itsFloorTexture = nullptr;
    X3DGC::XSamplerState itsSampler{0, 0, 0, 1, 1};
    X3DVertexBuffer* itsVertexBuffer = nullptr;
    X3DIndexBuffer16* itsIndexBuffer = nullptr;
    XARGB32Colour itsColour = kDefaultColour;
    bool itsChecked = true;
    std::unique_ptr<XShader> itsFragmentShader;
};
