#pragma once
// A snapshot of the current view taken from the model-view matrix at construction:
// the eye and view axis in world coordinates, the eye plane and the frustum planes.
// Planes are (a, b, c, d) with a·x + b·y + c·z + d = 0 and the normal pointing into
// the visible side; frustum plane order: left, right, near, far, bottom, top.
#include <array>

class XGLEyeInfo {
public:
    using Row = std::array<float, 4>;
    using Rows = std::array<Row, 4>;
    using Planes = std::array<Row, 6>;
    // Each edge: a point and a direction (x, y, z, 0) in world coordinates,
    // the four side edges of the frustum from the eye.
    using Edges = std::array<std::array<Row, 2>, 4>;

    XGLEyeInfo();

    const Rows& GetModelViewInverse() const { return itsInverse; }
    const Rows& GetModelViewTranspose() const { return itsTranspose; }
    const Row& GetEyeVector() const { return itsInverse[3]; }
    const Row& GetLookVector() const { return itsTranspose[2]; }
    const Row& GetEyePlane() const { return itsEyePlane; }
    const Row& GetNearPlane() const { return itsFrustumPlanes[2]; }
    const Planes& GetFrustumPlanes() const { return itsFrustumPlanes; }
    const Edges& GetFrustumEdges() const { return itsFrustumEdges; }
    float GetEyePosition() const { return -itsEyePlane[3]; }
    float GetNearPosition() const { return -itsFrustumPlanes[2][3]; }
    float GetNearDepth() const { return itsEyePlane[3] - itsFrustumPlanes[2][3]; }

private:
    Rows itsInverse{};
    Rows itsTranspose{};
    Row itsEyePlane{};
    Planes itsFrustumPlanes{};
    Edges itsFrustumEdges{};
};
