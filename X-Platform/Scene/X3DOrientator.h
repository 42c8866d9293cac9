#pragma once
// The orientation marker: arrows along the volume's x (green), y (red) and z (blue)
// axes around a small ball, with the letters "X", "Y" and "Z" at their tips, drawn
// over the finished scene in a viewport of its own, the bottom-left third of the
// frame, turned with the volume. Small viewports get less: nothing below 32 pixels,
// flat grey-modulated colour up to 64, lighting above, and the letters above 80.
// Not a scene node: the renderer draws it after the scene. Every device setting it
// changes is put back, also when drawing throws.
#include "X3DCamera.h"
#include "X3DGC.h"
#include "X3DIndexBuffer.h"
#include "X3DVertexBuffer.h"
#include "XBGRA32Volume.h"
#include "XQuaternion.h"
#include "XRectF.h"
#include "XShader.h"
#include "XString.h"
#include "XTexture2D.h"
#include "XVector.h"
#include "XVertexTypes.h"

#include <array>
#include <cstdint>
#include <memory>

class X3DOrientator {
public:
    static constexpr int32_t kMinimumSide = 32; // below: nothing
    static constexpr int32_t kLitSide = 64;     // above: lit; else modulated grey
    static constexpr int32_t kLabelSide = 80;   // above: the letters too
    static constexpr int32_t kLabelTextureSize = 64;
    static constexpr float kLabelDistance = 0.28f;
    static constexpr float kModulatedGrey = 0.75f;

    enum class XDetail { kNothing, kModulated, kLit, kLitWithLabels };

    // A letter in the label image: its colour and the pixels it covers (y down).
    struct XLabel {
        XString text;
        XARGB32Colour colour;
        XRectF bounds;
    };

    using XVertices = XVector<XVertexTypes::XVertexPositionColourNormal>;

    X3DOrientator();
    // A copy starts without device resources and makes its own when drawn.
    X3DOrientator(const X3DOrientator& inOther);
    X3DOrientator& operator=(const X3DOrientator& inOther);
    // Release the resources with UnloadGraphicsResources first; what is left is reported.
    ~X3DOrientator();

    // Makes whatever is missing with inGC (locked): programs, then the buffers.
    void LoadGraphicsResources(X3DGC& inGC);
    void UnloadGraphicsResources(X3DGC& inGC);
    bool HasGraphicsResources() const;
    void CreateBuffers(X3DGC& inGC);

    // Draws over the frame of inCamera's viewport, the marker turned by inRotation
    // (the volume's orientation).
    void Render(X3DGC& inGC, const X3DCamera& inCamera, const XQuaternion& inRotation);

    // The marker's viewport for a frame: a third of its width and height at its origin.
    static XRect GetMarkerRect(const XRect& inFrame);
    static XDetail GetDetail(const XRect& inMarker);

    // Clears the 64 x 64 image and draws the three letters in their colours.
    static std::array<XLabel, 3> DrawLabels(XBGRA32Volume& outImage);

    // Solids of the marker, appended to the lists: a cone and a cylinder as the
    // geometry generator makes them, and a ball around the origin whose poles lie on
    // inPoleAxis, each vertex tinted by the axis it faces most (x green, y red, z blue).
    static void GenerateCone(XVertices& outVertices, float inRadius, float inHeight, const XMathVectorF3& inCentre,
        const XMathVectorF3& inAxis, const XARGB32Colour& inColour);
    static void GenerateCylinder(XVertices& outVertices, float inRadius, float inLength, const XMathVectorF3& inCentre,
        const XMathVectorF3& inAxis, const XARGB32Colour& inColour);
    static void GenerateSphere(XVertices& outVertices, XVector<uint16_t>& outIndices, float inRadius, uint32_t inSlices,
        uint32_t inStacks, const XMathVectorF3& inPoleAxis);

private:
    void DrawLabelQuads(X3DGC& inGC, const XMatrix_4x4<float>& inWorldViewProjection, const X3DViewport& inViewport);
    void DestroyResources(X3DGC& inGC);

    X3DVertexBuffer* itsArrowBuffer = nullptr;
    uint32_t itsArrowTriangleCount = 0;
    X3DVertexBuffer* itsBallBuffer = nullptr;
    X3DIndexBuffer16* itsBallIndexBuffer = nullptr;
    uint32_t itsBallTriangleCount = 0;
    XTexture2D* itsLabelTexture = nullptr;
    X3DVertexBuffer* itsLabelBuffer = nullptr;
    std::array<XLabel, 3> itsLabels;
    std::unique_ptr<XShader> itsVertexShader;
    std::unique_ptr<XShader> itsLitFragmentShader;
    std::unique_ptr<XShader> itsModulatedFragmentShader;
    std::unique_ptr<XShader> itsLabelVertexShader;
    std::unique_ptr<XShader> itsLabelFragmentShader;
};
