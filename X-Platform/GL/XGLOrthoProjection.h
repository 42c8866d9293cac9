#pragma once
// An orthographic view for a scope: pushes the projection and model-view matrices,
// sets the projection to the given box and the model-view to identity, and pops both
// (and restores the matrix mode) on destruction, whatever ends the scope.
class XGLOrthoProjection {
public:
    XGLOrthoProjection(double inLeft, double inRight, double inBottom, double inTop, double inNear, double inFar);
    ~XGLOrthoProjection();
    XGLOrthoProjection(const XGLOrthoProjection&) = delete;
    XGLOrthoProjection& operator=(const XGLOrthoProjection&) = delete;

private:
    int itsMatrixMode = 0;
};
