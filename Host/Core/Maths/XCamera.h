#pragma once
// The legacy view's camera: an eye point, the point it looks at and an up
// vector, as gluLookAt takes them. Moves keep the look-at point in front of the eye.
#include "XMathVector.h"
#include "XMatrix_4x4.h"

class XCamera {
public:
    // Eye (0, 0, 7.5) looking at the origin, up (0, 1, 0): a unit volume at the
    // origin fills the legacy view's default projection without touching its edges.
    XCamera();
    XCamera(const XMathVectorF3& inEye, const XMathVectorF3& inLookAt, const XMathVectorF3& inUp);

    const XMathVectorF3& GetEye() const { return itsEye; }
    const XMathVectorF3& GetLookAt() const { return itsLookAt; }
    const XMathVectorF3& GetUp() const { return itsUp; }
    void SetEye(const XMathVectorF3& inEye) { itsEye = inEye; }
    void SetLookAt(const XMathVectorF3& inLookAt) { itsLookAt = inLookAt; }
    void SetUp(const XMathVectorF3& inUp) { itsUp = inUp; }

    // Unit direction from the eye to the look-at point ((0, 0, -1) when they coincide).
    XMathVectorF3 GetForward() const;
    // Unit direction to the right of the view (forward x up).
    XMathVectorF3 GetRight() const;

    // Moves eye and look-at point sideways, to the right for positive distances.
    void Strafe(float inDistance);
    // Moves eye and look-at point along the view direction, forwards for positive distances.
    void Move(float inDistance);
    // Turns eye, look-at point and up vector by inDegrees (right-handed) about the
    // line through inPoint along inAxis (a world direction).
    void RotateAroundPoint(const XMathVectorF3& inPoint, float inDegrees, const XMathVectorF3& inAxis);

    // The view transform (row vectors), as gluLookAt would set it.
    XMatrix_4x4<float> GetViewMatrix() const { return XMatrix_4x4<float>::MakeLookAt(itsEye, itsLookAt, itsUp); }

private:
    XMathVectorF3 itsEye;
    XMathVectorF3 itsLookAt;
    XMathVectorF3 itsUp;
};

// Equal when eye, look-at point and up vector are equal element by element.
bool operator==(const XCamera& a, const XCamera& b);
inline bool operator!=(const XCamera& a, const XCamera& b) { return !(a == b); }
