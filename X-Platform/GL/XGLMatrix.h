#pragma once
// The 4x4 transform of the legacy OpenGL layer. Column vectors: a point is
// transformed as M·p and the translation stands in column 3. A transform "in the
// own axes" sets M ← M·T, one "in the parent's axes" sets M ← T·M.
#include "X3DMatrix.h"

class XGLMatrix : public X3DMatrix {
public:
    XGLMatrix();
    XGLMatrix(const XGLMatrix& inOther);
    XGLMatrix(const X3DMatrix& inOther);
    XGLMatrix& operator=(const XGLMatrix& inOther) = default;
    ~XGLMatrix() = default;

    void TranslateX(double inD);
    void TranslateY(double inD);
    void TranslateZ(double inD);
    void Translate(double inX, double inY, double inZ);
    void TranslateInParent(double inX, double inY, double inZ);
    // Add d·M(3,3) to the translation element: T·M for an affine matrix.
    void TranslateInParentsX(double inD);
    void TranslateInParentsY(double inD);
    void TranslateInParentsZ(double inD);

    // Per-axis rotations take degrees.
    void RotateX(double inDegrees);
    void RotateY(double inDegrees);
    void RotateZ(double inDegrees);
    void RotateInParentsX(double inDegrees);
    void RotateInParentsY(double inDegrees);
    void RotateInParentsZ(double inDegrees);
    // Rotations about an arbitrary axis take radians.
    void Rotate(const X3DMatrix& inAxis, double inRadians);
    void RotateInParent(const X3DMatrix& inAxis, double inRadians);

    void ScaleX(double inS);
    void ScaleY(double inS);
    void ScaleZ(double inS);
    void Scale(double inS);
    void Scale(double inX, double inY, double inZ);
    void ScaleInParentsX(double inS);
    void ScaleInParentsY(double inS);
    void ScaleInParentsZ(double inS);
    void ScaleInParents(double inS);
    void ScaleInParent(double inX, double inY, double inZ);

    // Exchange with the OpenGL matrix stacks (a GL context must be current).
    static void MulMatrix(const XGLMatrix& inMatrix);
    static void MulMatrix(const XGLMatrix& inMatrix, unsigned int inMode);
    void ApplyToGL() const { MulMatrix(*this); }
    void ApplyToGL(unsigned int inMode) const { MulMatrix(*this, inMode); }
    static XGLMatrix GetMatrix(unsigned int inPname);
    // The matrix of the current matrix mode.
    static XGLMatrix GetMatrix();
    // Maps normalised device coordinates to window coordinates and depth.
    static XGLMatrix GetViewportMatrix();
    // Viewport · Projection · ModelView.
    static XGLMatrix GetWorldToScreenMatrix();
    static XGLMatrix GetScreenToWorldMatrix();

    // A 4x4 rotation whose first column is the direction of inXAxis (3x1, non-zero)
    // and whose columns are orthonormal.
    static X3DMatrix GetMatrixWhereXIs(const X3DMatrix& inXAxis);

private:
    static XGLMatrix GetTranslateMatrix(double inX, double inY, double inZ);
    static XGLMatrix GetScaleMatrix(double inX, double inY, double inZ);
    static XGLMatrix GetRotateMatrix(double inX, double inY, double inZ, double inDegrees);
    void MultiplyOwn(const X3DMatrix& inT);
    void MultiplyParent(const X3DMatrix& inT);
    void CheckSquare();
};
