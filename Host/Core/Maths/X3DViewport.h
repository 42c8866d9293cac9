#pragma once
// Where a 3D view lands: a rectangle of the target in pixels (its left and top
// are the origin handed to the device, which counts y upwards as OpenGL does),
// the near and far clipping distances of the view's projection, and the window
// depth range that normalised depth -1..1 maps onto.
#include "XMathVector.h"
#include "XMatrix_4x4.h"
#include "XRect.h"

class X3DViewport {
public:
    static constexpr float kDefaultNear = 0.1f;
    static constexpr float kDefaultFar = 1000.0f;

    // An empty rectangle, near 0.1, far 1000, depth 0..1.
    X3DViewport() = default;
    explicit X3DViewport(const XRect& inRect, float inNear = kDefaultNear, float inFar = kDefaultFar)
        : itsRect(inRect), itsNear(inNear), itsFar(inFar) {}

    const XRect& GetRect() const { return itsRect; }
    void SetRect(const XRect& inRect) { itsRect = inRect; }
    int32_t GetX() const { return itsRect.left; }
    int32_t GetY() const { return itsRect.top; }
    int32_t GetWidth() const { return itsRect.GetWidth(); }
    int32_t GetHeight() const { return itsRect.GetHeight(); }
    // Width over height; 1 for an empty rectangle.
    float GetAspect() const;

    float GetNear() const { return itsNear; }
    float GetFar() const { return itsFar; }
    void SetNear(float inNear) { itsNear = inNear; }
    void SetFar(float inFar) { itsFar = inFar; }
    float GetMinDepth() const { return itsMinDepth; }
    float GetMaxDepth() const { return itsMaxDepth; }
    void SetDepthRange(float inMinDepth, float inMaxDepth)
    {
        itsMinDepth = inMinDepth;
        itsMaxDepth = inMaxDepth;
    }

    // Window coordinates (x, y in pixels, z in the depth range) of a point under
    // the row-vector transform world x view x projection. A point in the eye's own
    // plane has no image and throws XException kBadArgument.
    XMathVectorF3 Project(const XMathVectorF3& inPoint, const XMatrix_4x4<float>& inWorldViewProjection) const;
    XMathVectorF3 Project(const XMathVectorF3& inPoint, const XMatrix_4x4<float>& inProjection,
        const XMatrix_4x4<float>& inView, const XMatrix_4x4<float>& inWorld) const
    {
        return Project(inPoint, inWorld * inView * inProjection);
    }
    // The point whose projection is inWindow. Throws XException kBadArgument when
    // the transform cannot be inverted, the viewport is empty or the depth range is
    // a single value.
    XMathVectorF3 Unproject(const XMathVectorF3& inWindow, const XMatrix_4x4<float>& inWorldViewProjection) const;
    XMathVectorF3 Unproject(const XMathVectorF3& inWindow, const XMatrix_4x4<float>& inProjection,
        const XMatrix_4x4<float>& inView, const XMatrix_4x4<float>& inWorld) const
    {
        return Unproject(inWindow, inWorld * inView * inProjection);
    }

    bool operator==(const X3DViewport& inOther) const = default;

private:
    XRect itsRect;
    float itsNear = kDefaultNear;
    float itsFar = kDefaultFar;
    float itsMinDepth = 0.0f;
    float itsMaxDepth = 1.0f;
};
