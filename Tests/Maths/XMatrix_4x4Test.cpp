#include "XMatrix_4x4.h"

#include <gtest/gtest.h>

#include <numbers>

using M = XMatrix_4x4<float>;

TEST(XMatrix_4x4, RowVectorProductsApplyTheLeftFactorFirst)
{
    const M scale = M::MakeScale(2, 2, 2);
    const M move = M::MakeTranslation(1, 0, 0);
    EXPECT_TRUE((scale * move).TransformPoint(XMathVectorF3(1, 0, 0)) == XMathVectorF3(3, 0, 0));
    EXPECT_TRUE((move * scale).TransformPoint(XMathVectorF3(1, 0, 0)) == XMathVectorF3(4, 0, 0));
    EXPECT_TRUE(move.TransformVector(XMathVectorF3(1, 0, 0)) == XMathVectorF3(1, 0, 0));
    // Elements are stored row after row, the translation in row 3.
    EXPECT_EQ(move.GetData()[12], 1.0f);

    // The node transform order: scale, then rotate 180 degrees about z, then move.
    const M local = M::MakeScale(2, 2, 2) * M::MakeRotationZ(std::numbers::pi_v<float>) * M::MakeTranslation(1, 0, 0);
    EXPECT_TRUE(local.TransformPoint(XMathVectorF3(1, 0, 0)).IsNearlyEqual(XMathVectorF3(-1, 0, 0), 1e-6f));
    EXPECT_TRUE(M::MakeRotationZ(std::numbers::pi_v<float> / 2).TransformPoint(XMathVectorF3(1, 0, 0)).IsNearlyEqual(XMathVectorF3(0, 1, 0), 1e-6f));
}

TEST(XMatrix_4x4, InverseAndConversionKeepTheTransform)
{
    const M m = M::MakeScale(1, 2, 3) * M::MakeRotation(XMathVectorF3(1, 1, 0), 0.4f) * M::MakeTranslation(5, -2, 1);
    bool invertible = false;
    EXPECT_TRUE((m * m.GetInverse(&invertible)).IsNearlyEqual(M(), 1e-5f));
    EXPECT_TRUE(invertible);
    M::MakeScale(1, 0, 1).GetInverse(&invertible);
    EXPECT_FALSE(invertible);

    // X3DMatrix multiplies column vectors: the conversion transposes and keeps what the matrix does.
    const X3DMatrix column = m.ToX3DMatrix();
    const X3DMatrix p = column * X3DMatrix::ColumnVector({1, 2, 3, 1});
    const XMathVectorF3 q = m.TransformPoint(XMathVectorF3(1, 2, 3));
    EXPECT_NEAR(p(0, 0), q[0], 1e-5);
    EXPECT_NEAR(p(2, 0), q[2], 1e-5);
    EXPECT_TRUE(M::MakeFromX3DMatrix(column) == m);
    EXPECT_THROW(M::MakeFromX3DMatrix(X3DMatrix(3, 3)), XMatrixException);
}

TEST(XMatrix_4x4, ViewAndProjectionBuilders)
{
    // gluLookAt's matrix: the eye goes to the origin and the target onto -z.
    const M view = M::MakeLookAt(XMathVectorF3(3, 1, 2), XMathVectorF3(3, 1, -4), XMathVectorF3(0, 1, 0));
    EXPECT_TRUE(view.TransformPoint(XMathVectorF3(3, 1, 2)).IsNearlyEqual(XMathVectorF3(0, 0, 0), 1e-6f));
    EXPECT_TRUE(view.TransformPoint(XMathVectorF3(3, 1, -4)).IsNearlyEqual(XMathVectorF3(0, 0, -6), 1e-6f));
    EXPECT_TRUE(view.TransformPoint(XMathVectorF3(4, 1, 2)).IsNearlyEqual(XMathVectorF3(1, 0, 0), 1e-6f));

    const M perspective = M::MakePerspective(std::numbers::pi_v<float> / 2, 2.0f, 1.0f, 10.0f);
    EXPECT_TRUE(perspective.TransformCoord(XMathVectorF3(0, 0, -1)).IsNearlyEqual(XMathVectorF3(0, 0, -1), 1e-6f));
    EXPECT_TRUE(perspective.TransformCoord(XMathVectorF3(0, 0, -10)).IsNearlyEqual(XMathVectorF3(0, 0, 1), 1e-5f));
    // 90 degrees high and twice as wide: the corner of the near plane is (2, 1, -1).
    EXPECT_TRUE(perspective.TransformCoord(XMathVectorF3(2, 1, -1)).IsNearlyEqual(XMathVectorF3(1, 1, -1), 1e-6f));
    EXPECT_TRUE(M::MakeFrustum(-2, 2, -1, 1, 1, 10) .IsNearlyEqual(perspective, 1e-6f));

    const M ortho = M::MakeOrthographic(0, 640, 0, 480, -1, 1);
    EXPECT_TRUE(ortho.TransformPoint(XMathVectorF3(640, 480, 0)).IsNearlyEqual(XMathVectorF3(1, 1, 0), 1e-6f));
    EXPECT_TRUE(ortho.TransformPoint(XMathVectorF3(0, 0, 0)).IsNearlyEqual(XMathVectorF3(-1, -1, 0), 1e-6f));
}
