// The legacy 4x4 transform: own-axis and parent-axis transforms, the GL exchange and
// the screen matrices.
#include "WGLWnd.h"
#include "XAssertRecorder.h"
#include "XGLContextLock.h"
#include "XGLException.h"
#include "XGLMatrix.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {
X3DMatrix Point(double inX, double inY, double inZ)
{
    return X3DMatrix::ColumnVector({inX, inY, inZ, 1.0});
}

void ExpectPoint(const X3DMatrix& inPoint, double inX, double inY, double inZ)
{
    EXPECT_NEAR(inPoint(0, 0), inX, 1e-12);
    EXPECT_NEAR(inPoint(1, 0), inY, 1e-12);
    EXPECT_NEAR(inPoint(2, 0), inZ, 1e-12);
}
} // namespace

TEST(XGLMatrix, OwnAxesAndParentAxesDiffer)
{
    XGLMatrix m;
    m.RotateZ(90);
    XGLMatrix own = m, parent = m;
    own.TranslateX(2);          // along the matrix's own x, which is the parent's y
    parent.TranslateInParentsX(2);
    ExpectPoint(own * Point(0, 0, 0), 0, 2, 0);
    ExpectPoint(parent * Point(0, 0, 0), 2, 0, 0);
    XGLMatrix viaProduct = m;
    viaProduct.TranslateInParent(2, 0, 0);
    EXPECT_TRUE(viaProduct.IsNearlyEqual(parent));

    XGLMatrix scaled = m;
    scaled.ScaleX(3); // stretches the own x axis, which points along the parent's y
    ExpectPoint(scaled * Point(1, 0, 0), 0, 3, 0);
    XGLMatrix scaledInParent = m;
    scaledInParent.ScaleInParentsX(3);
    ExpectPoint(scaledInParent * Point(0, 1, 0), -3, 0, 0);

    XGLMatrix turned;
    turned.Translate(1, 0, 0);
    turned.RotateInParentsZ(90); // turns the translation too
    ExpectPoint(turned * Point(0, 0, 0), 0, 1, 0);

    // Per axis in degrees, about an axis in radians.
    XGLMatrix radians, wrong;
    radians.Rotate(X3DMatrix::ColumnVector(0, 0, 1), M_PI / 2);
    wrong.Rotate(X3DMatrix::ColumnVector(0, 0, 1), 90);
    EXPECT_TRUE(m.IsNearlyEqual(radians, 1e-12));
    EXPECT_FALSE(m.IsNearlyEqual(wrong, 1e-3));
}

TEST(XGLMatrix, BasisFromAnXAxisIsOrthonormalForEveryDirection)
{
    const double directions[][3] = {{1, 0, 0}, {0, 0, -2}, {1, 1, 1}, {-3, -3, -3}, {1, 2, 3}, {1e-9, 0, 5}, {2, 2, 2.0000001}};
    for (const auto& d : directions) {
        X3DMatrix basis = XGLMatrix::GetMatrixWhereXIs(X3DMatrix::ColumnVector(d[0], d[1], d[2]));
        ASSERT_TRUE(basis.IsSquare(4));
        const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        for (size_t i = 0; i < 3; ++i)
            EXPECT_NEAR(basis(i, 0), d[i] / length, 1e-12) << "first column is not x";
        X3DMatrix r = basis.GetSubMatrix(0, 0, 3, 3);
        EXPECT_TRUE((r.GetTranspose() * r).IsNearlyEqual(X3DMatrix::UnitMatrix(3), 1e-9))
            << "not orthonormal for (" << d[0] << ", " << d[1] << ", " << d[2] << ")";
    }
    XAssertRecorder recorder;
    XGLMatrix::GetMatrixWhereXIs(X3DMatrix::ColumnVector(0, 0, 0));
    EXPECT_TRUE(recorder.Has("xAxis.GetL2Length() != 0"));
    XGLMatrix::GetMatrixWhereXIs(X3DMatrix(4, 1, 1.0));
    EXPECT_TRUE(recorder.Has("xAxis.IsColumnVector( 3 )"));
}

TEST(XGLMatrix, ExchangeWithTheGLStacks)
{
    WGLWnd window(400, 300);
    XGLContextLock lock(window);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    XGLMatrix().ApplyToGL();
    EXPECT_TRUE(XGLMatrix::GetMatrix().IsNearlyEqual(XGLMatrix(), 0));

    XGLMatrix m;
    m.Translate(1, 2, 3);
    m.RotateY(30);
    m.Scale(2);
    m.ApplyToGL();
    EXPECT_TRUE(XGLMatrix::GetMatrix(GL_MODELVIEW_MATRIX).IsNearlyEqual(m, 1e-6)) << "transposed on the way"; // GL keeps floats

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    XGLMatrix::MulMatrix(m, GL_PROJECTION);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_TRUE(XGLMatrix::GetMatrix(GL_PROJECTION_MATRIX).IsNearlyEqual(m, 1e-6));
    EXPECT_THROW(XGLMatrix::GetMatrix(0), XGLException);

    // x and y map -1..1 onto the viewport, z keeps the whole depth range.
    glViewport(10, 20, 400, 300);
    XGLMatrix viewport = XGLMatrix::GetViewportMatrix();
    EXPECT_EQ(viewport(0, 0), 200.0);
    EXPECT_EQ(viewport(0, 3), 210.0);
    EXPECT_EQ(viewport(1, 1), 150.0);
    EXPECT_EQ(viewport(1, 3), 170.0);
    EXPECT_TRUE(viewport.GetSubMatrix(2, 0, 1, 4).IsNearlyEqual(X3DMatrix(1, 4, 0.0) + X3DMatrix::UnitMatrix(4).GetSubMatrix(2, 0, 1, 4), 0));

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2, 2, -1.5, 1.5, 0.1, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslated(0.5, 0, -1);
    X3DMatrix screen = XGLMatrix::GetWorldToScreenMatrix() * Point(0.5, 0.75, 0);
    EXPECT_NEAR(screen(0, 0), 10 + (1.0 / 2 + 1) * 200, 1e-4);
    EXPECT_NEAR(screen(1, 0), 20 + (0.75 / 1.5 + 1) * 150, 1e-4);
    X3DMatrix roundTrip = XGLMatrix::GetScreenToWorldMatrix() * XGLMatrix::GetWorldToScreenMatrix();
    EXPECT_TRUE(roundTrip.IsNearlyEqual(X3DMatrix::UnitMatrix(4), 1e-6));
}
