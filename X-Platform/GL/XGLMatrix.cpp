#include "XGLMatrix.h"
#include "XAssert.h"
#include "XGLException.h"
#include "XOpenGL.h"

#include <cmath>

XGLMatrix::XGLMatrix() : X3DMatrix(X3DMatrix::UnitMatrix(4)) {}

XGLMatrix::XGLMatrix(const XGLMatrix& inOther) : X3DMatrix(inOther)
{
    CheckSquare();
}

XGLMatrix::XGLMatrix(const X3DMatrix& inOther) : X3DMatrix(inOther)
{
    CheckSquare();
}

void XGLMatrix::CheckSquare()
{
    X_ASSERT_TEXT(IsSquare(4), "IsSquare( 4 )");
}

// The product is formed before anything is assigned, so a size mismatch leaves the matrix as it was.
void XGLMatrix::MultiplyOwn(const X3DMatrix& inT)
{
    *this = XGLMatrix(static_cast<const X3DMatrix&>(*this) * inT);
}

void XGLMatrix::MultiplyParent(const X3DMatrix& inT)
{
    *this = XGLMatrix(inT * static_cast<const X3DMatrix&>(*this));
}

XGLMatrix XGLMatrix::GetTranslateMatrix(double inX, double inY, double inZ)
{
    XGLMatrix m;
    m(0, 3) = inX;
    m(1, 3) = inY;
    m(2, 3) = inZ;
    return m;
}

XGLMatrix XGLMatrix::GetScaleMatrix(double inX, double inY, double inZ)
{
    XGLMatrix m;
    m(0, 0) = inX;
    m(1, 1) = inY;
    m(2, 2) = inZ;
    return m;
}

XGLMatrix XGLMatrix::GetRotateMatrix(double inX, double inY, double inZ, double inDegrees)
{
    return XGLMatrix(X3DMatrix::RotationMatrix(X3DMatrix::ColumnVector(inX, inY, inZ),
                                               inDegrees * 3.141592653589793 / 180.0));
}

void XGLMatrix::TranslateX(double inD) { MultiplyOwn(GetTranslateMatrix(inD, 0, 0)); }
void XGLMatrix::TranslateY(double inD) { MultiplyOwn(GetTranslateMatrix(0, inD, 0)); }
void XGLMatrix::TranslateZ(double inD) { MultiplyOwn(GetTranslateMatrix(0, 0, inD)); }
void XGLMatrix::Translate(double inX, double inY, double inZ) { MultiplyOwn(GetTranslateMatrix(inX, inY, inZ)); }
void XGLMatrix::TranslateInParent(double inX, double inY, double inZ) { MultiplyParent(GetTranslateMatrix(inX, inY, inZ)); }
void XGLMatrix::TranslateInParentsX(double inD) { (*this)(0, 3) += inD * (*this)(3, 3); }
void XGLMatrix::TranslateInParentsY(double inD) { (*this)(1, 3) += inD * (*this)(3, 3); }
void XGLMatrix::TranslateInParentsZ(double inD) { (*this)(2, 3) += inD * (*this)(3, 3); }

void XGLMatrix::RotateX(double inDegrees) { MultiplyOwn(GetRotateMatrix(1, 0, 0, inDegrees)); }
void XGLMatrix::RotateY(double inDegrees) { MultiplyOwn(GetRotateMatrix(0, 1, 0, inDegrees)); }
void XGLMatrix::RotateZ(double inDegrees) { MultiplyOwn(GetRotateMatrix(0, 0, 1, inDegrees)); }
void XGLMatrix::RotateInParentsX(double inDegrees) { MultiplyParent(GetRotateMatrix(1, 0, 0, inDegrees)); }
void XGLMatrix::RotateInParentsY(double inDegrees) { MultiplyParent(GetRotateMatrix(0, 1, 0, inDegrees)); }
void XGLMatrix::RotateInParentsZ(double inDegrees) { MultiplyParent(GetRotateMatrix(0, 0, 1, inDegrees)); }
void XGLMatrix::Rotate(const X3DMatrix& inAxis, double inRadians)
{
    MultiplyOwn(XGLMatrix(X3DMatrix::RotationMatrix(inAxis, inRadians)));
}
void XGLMatrix::RotateInParent(const X3DMatrix& inAxis, double inRadians)
{
    MultiplyParent(XGLMatrix(X3DMatrix::RotationMatrix(inAxis, inRadians)));
}

void XGLMatrix::ScaleX(double inS) { MultiplyOwn(GetScaleMatrix(inS, 1, 1)); }
void XGLMatrix::ScaleY(double inS) { MultiplyOwn(GetScaleMatrix(1, inS, 1)); }
void XGLMatrix::ScaleZ(double inS) { MultiplyOwn(GetScaleMatrix(1, 1, inS)); }
void XGLMatrix::Scale(double inS) { MultiplyOwn(GetScaleMatrix(inS, inS, inS)); }
void XGLMatrix::Scale(double inX, double inY, double inZ) { MultiplyOwn(GetScaleMatrix(inX, inY, inZ)); }
void XGLMatrix::ScaleInParentsX(double inS) { MultiplyParent(GetScaleMatrix(inS, 1, 1)); }
void XGLMatrix::ScaleInParentsY(double inS) { MultiplyParent(GetScaleMatrix(1, inS, 1)); }
void XGLMatrix::ScaleInParentsZ(double inS) { MultiplyParent(GetScaleMatrix(1, 1, inS)); }
void XGLMatrix::ScaleInParents(double inS) { MultiplyParent(GetScaleMatrix(inS, inS, inS)); }
void XGLMatrix::ScaleInParent(double inX, double inY, double inZ) { MultiplyParent(GetScaleMatrix(inX, inY, inZ)); }

void XGLMatrix::MulMatrix(const XGLMatrix& inMatrix)
{
    // OpenGL is column-major: its 16 values are the transpose read in row order.
    GLdouble values[16];
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            values[column * 4 + row] = inMatrix(size_t(row), size_t(column));
    glMultMatrixd(values);
}

void XGLMatrix::MulMatrix(const XGLMatrix& inMatrix, unsigned int inMode)
{
    GLint savedMode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &savedMode);
    glMatrixMode(inMode);
    MulMatrix(inMatrix);
    glMatrixMode(GLenum(savedMode));
}

XGLMatrix XGLMatrix::GetMatrix(unsigned int inPname)
{
    GLdouble values[16] = {};
    glGetDoublev(inPname, values);
    ThrowIfGLErr();
    XGLMatrix m;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            m(size_t(column), size_t(row)) = values[row * 4 + column];
    return m;
}

XGLMatrix XGLMatrix::GetMatrix()
{
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    switch (mode) {
    case GL_MODELVIEW: return GetMatrix(GL_MODELVIEW_MATRIX);
    case GL_PROJECTION: return GetMatrix(GL_PROJECTION_MATRIX);
    case GL_TEXTURE: return GetMatrix(GL_TEXTURE_MATRIX);
    default: return GetMatrix(0); // the GL rejects name 0 and the check throws
    }
}

XGLMatrix XGLMatrix::GetViewportMatrix()
{
    XGLMatrix m;
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    ThrowIfGLErr();
    GLfloat range[2] = {};
    glGetFloatv(GL_DEPTH_RANGE, range);
    ThrowIfGLErr();
    const double x = viewport[0], y = viewport[1], w = viewport[2], h = viewport[3];
    m(0, 0) = w * 0.5;
    m(0, 3) = w * 0.5 + x;
    m(1, 1) = h * 0.5;
    m(1, 3) = h * 0.5 + y;
    m(2, 2) = double(range[1]) - double(range[0]);
    m(2, 3) = range[0];
    return m;
}

XGLMatrix XGLMatrix::GetWorldToScreenMatrix()
{
    XGLMatrix modelView = GetMatrix(GL_MODELVIEW_MATRIX);
    XGLMatrix projection = GetMatrix(GL_PROJECTION_MATRIX);
    XGLMatrix viewport = GetViewportMatrix();
    return XGLMatrix(static_cast<const X3DMatrix&>(viewport) * projection * modelView);
}

XGLMatrix XGLMatrix::GetScreenToWorldMatrix()
{
    return XGLMatrix(!GetWorldToScreenMatrix());
}

X3DMatrix XGLMatrix::GetMatrixWhereXIs(const X3DMatrix& inXAxis)
{
    X_ASSERT_TEXT(inXAxis.IsColumnVector(3), "xAxis.IsColumnVector( 3 )");
    X_ASSERT_TEXT(inXAxis.L2Length() != 0, "xAxis.GetL2Length() != 0");
    X3DMatrix result = X3DMatrix::UnitMatrix(4);
    if (!inXAxis.IsColumnVector(3) || !(inXAxis.L2Length() > 0) || !std::isfinite(inXAxis.L2Length()))
        return result; // reported above; the identity is the only basis left to give
    X3DMatrix x = X3DMatrix::L2Norm(inXAxis);
    // The helper is the cyclic shift of x; when that is parallel to x (all three
    // components equal) the axis of x's smallest component is used instead.
    X3DMatrix h = X3DMatrix::ColumnVector(x(2, 0), x(0, 0), x(1, 0));
    X3DMatrix cross = X3DMatrix::CrossProduct(x, h);
    if (cross.L2Length() < 1e-6) {
        size_t smallest = 0;
        for (size_t i = 1; i < 3; ++i)
            if (std::fabs(x(i, 0)) < std::fabs(x(smallest, 0)))
                smallest = i;
        h = X3DMatrix::ZeroMatrix(3, 1);
        h(smallest, 0) = 1.0;
        cross = X3DMatrix::CrossProduct(x, h);
    }
    X3DMatrix z = X3DMatrix::L2Norm(cross);
    X3DMatrix y = X3DMatrix::CrossProduct(z, x);
    X3DMatrix basis = X3DMatrix::UnitMatrix(3);
    basis.SetSubMatrix(0, 2, z);
    basis.SetSubMatrix(0, 1, y);
    basis.SetSubMatrix(0, 0, x);
    result.SetSubMatrix(0, 0, basis);
    return result;
}
