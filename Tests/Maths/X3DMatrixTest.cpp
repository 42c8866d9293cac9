#include "X3DMatrix.h"

#include "XErrorCode.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

namespace {
X3DMatrix Make(size_t inRows, size_t inColumns, std::initializer_list<double> inValues)
{
    X3DMatrix m(inRows, inColumns);
    auto it = inValues.begin();
    for (size_t r = 0; r < inRows; ++r)
        for (size_t c = 0; c < inColumns; ++c)
            m(r, c) = *it++;
    return m;
}
} // namespace

TEST(X3DMatrix, SizeMismatchesThrow)
{
    const X3DMatrix a(4, 4, 1.0), v(3, 1, 1.0), b(2, 3, 1.0);
    EXPECT_EQ(CodeOf([&] { (void)(a * v); }), XException::kMatrixSize);
    EXPECT_EQ(CodeOf([&] { (void)(b + X3DMatrix(2, 2)); }), XException::kMatrixSize); // same rows, other columns
    EXPECT_EQ(CodeOf([&] { (void)(b - X3DMatrix(3, 3)); }), XException::kMatrixSize);

    // A failed compound operation leaves the target as it was.
    X3DMatrix target = X3DMatrix::UnitMatrix(4);
    EXPECT_THROW(target *= v, XMatrixException);
    EXPECT_EQ(target, X3DMatrix::UnitMatrix(4));
}

TEST(X3DMatrix, ProductOfNonSquareShapesMatchesHandComputation)
{
    const X3DMatrix a = Make(2, 3, {1, 2, 3, 4, 5, 6});
    const X3DMatrix b = Make(3, 2, {7, 8, 9, 10, 11, 12});
    EXPECT_EQ(a * b, Make(2, 2, {58, 64, 139, 154}));
    EXPECT_EQ(b * a, Make(3, 3, {39, 54, 69, 49, 68, 87, 59, 82, 105}));
    EXPECT_EQ(a * X3DMatrix::ColumnVector(1, -1, 2), X3DMatrix::ColumnVector({5, 11}));

    // Accumulation from k = 0 upwards: (1 + 2^53) rounds back to 2^53, so the sum is 0;
    // summing from the other end, or the large terms first, gives 1.
    const double big = 9007199254740992.0;
    const X3DMatrix row = Make(1, 3, {1, big, -big});
    EXPECT_EQ((row * X3DMatrix::ColumnVector(1, 1, 1))(0, 0), 0.0);
}

TEST(X3DMatrix, SumDifferenceScaleAndEquality)
{
    const X3DMatrix a = Make(2, 2, {1, 2, 3, 4});
    const X3DMatrix b = Make(2, 2, {0.5, -1, 2, 8});
    EXPECT_EQ(a + b, Make(2, 2, {1.5, 1, 5, 12}));
    EXPECT_EQ(a - b, Make(2, 2, {0.5, 3, 1, -4}));
    EXPECT_EQ(2.0 * a, Make(2, 2, {2, 4, 6, 8}));
    EXPECT_EQ(-a, a * -1.0);
    EXPECT_NE(a, Make(2, 2, {1, 2, 3, 4.0000001}));
    EXPECT_TRUE(a.IsNearlyEqual(Make(2, 2, {1, 2, 3, 4.0000001}), 1e-6));
    EXPECT_FALSE(a.IsNearlyEqual(X3DMatrix(2, 3), 1.0));
    EXPECT_NE(X3DMatrix(1, 4), X3DMatrix(4, 1));
}

TEST(X3DMatrix, IndexAndBlockAccessIsChecked)
{
    X3DMatrix m(2, 3);
    EXPECT_THROW(m(2, 0), XException);
    EXPECT_THROW(m.SetElement(0, 3, 1.0), XException);
    EXPECT_THROW((void)X3DMatrix().GetElement(0, 0), XException);
    EXPECT_THROW((void)m.GetSubMatrix(1, 1, 2, 1), XException);
    EXPECT_THROW(m.SetSubMatrix(0, 2, X3DMatrix(1, 2)), XException);
    EXPECT_THROW(X3DMatrix(size_t(1) << 40, size_t(1) << 40), XException);

    X3DMatrix big = X3DMatrix::UnitMatrix(4);
    big.SetSubMatrix(1, 2, Make(2, 2, {5, 6, 7, 8}));
    EXPECT_EQ(big.GetSubMatrix(1, 2, 2, 2), Make(2, 2, {5, 6, 7, 8}));
    EXPECT_EQ(big(0, 0), 1.0);
    EXPECT_EQ(big(2, 3), 8.0);
    EXPECT_EQ(Make(2, 3, {1, 2, 3, 4, 5, 6}).GetTranspose(), Make(3, 2, {1, 4, 2, 5, 3, 6}));
}

TEST(X3DMatrix, RotationIsRightHanded)
{
    const double quarter = std::numbers::pi / 2;
    const X3DMatrix x = X3DMatrix::ColumnVector(1, 0, 0), y = X3DMatrix::ColumnVector(0, 1, 0),
                    z = X3DMatrix::ColumnVector(0, 0, 1);
    const X3DMatrix rz = X3DMatrix::RotationMatrix(z, quarter, 3);
    EXPECT_TRUE((rz * x).IsNearlyEqual(y)); // other axes: against the quaternions' rotations
    // Only the axis direction counts.
    EXPECT_TRUE(X3DMatrix::RotationMatrix(z * 7.0, quarter, 3).IsNearlyEqual(rz));

    const X3DMatrix r4 = X3DMatrix::RotationMatrix(z, quarter);
    ASSERT_TRUE(r4.IsSquare(4));
    EXPECT_TRUE(r4.GetSubMatrix(0, 0, 3, 3).IsNearlyEqual(rz));
    EXPECT_EQ(r4.GetSubMatrix(3, 0, 1, 4), Make(1, 4, {0, 0, 0, 1}));
    EXPECT_EQ(r4.GetSubMatrix(0, 3, 3, 1), X3DMatrix(3, 1));

    EXPECT_EQ(X3DMatrix::RotationMatrix(X3DMatrix(3, 1), 1.0), X3DMatrix::UnitMatrix(4));
}

TEST(X3DMatrix, InverseTimesMatrixIsUnit)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(-10.0, 10.0);
    for (size_t order : {1, 2, 3, 4, 6}) {
        X3DMatrix m(order, order);
        for (size_t r = 0; r < order; ++r)
            for (size_t c = 0; c < order; ++c)
                m(r, c) = value(random);
        const X3DMatrix inverse = !m;
        EXPECT_TRUE((inverse * m).IsNearlyEqual(X3DMatrix::UnitMatrix(order), 1e-9)) << "order " << order;
        EXPECT_TRUE((m * inverse).IsNearlyEqual(X3DMatrix::UnitMatrix(order), 1e-9)) << "order " << order;
    }
    // A zero leading element needs a row exchange.
    const X3DMatrix swap = Make(2, 2, {0, 1, 1, 0});
    EXPECT_EQ(!swap, swap);

    EXPECT_TRUE(Throws([] { (void)!Make(2, 2, {1, 2, 2, 4}); }, XException::kMatrixSize, "singular"));
    EXPECT_TRUE(Throws([] { (void)!X3DMatrix(2, 3, 1.0); }, XException::kMatrixSize, "non-square"));
}

TEST(X3DMatrix, VectorOperations)
{
    const X3DMatrix x = X3DMatrix::ColumnVector(1, 0, 0), y = X3DMatrix::ColumnVector(0, 1, 0);
    EXPECT_EQ(x.CrossProduct(y), X3DMatrix::ColumnVector(0, 0, 1));
    EXPECT_EQ(X3DMatrix::CrossProduct(y, x), X3DMatrix::ColumnVector(0, 0, -1));
    EXPECT_EQ(X3DMatrix::DotProduct(X3DMatrix::ColumnVector(1, 2, 3), X3DMatrix::ColumnVector(4, -5, 6)), 12.0);

    X3DMatrix v = X3DMatrix::ColumnVector(3, 0, 4);
    EXPECT_EQ(v.L2Length(), 5.0);
    EXPECT_EQ(v.GetL2Norm(), X3DMatrix::ColumnVector(0.6, 0, 0.8));
    EXPECT_EQ(v.GetL2Length(), 5.0); // the copy left v alone
    v.L2Norm();
    EXPECT_DOUBLE_EQ(v.L2Length(), 1.0);
    X3DMatrix zero(3, 1);
    zero.L2Norm();
    EXPECT_EQ(zero, X3DMatrix(3, 1)); // no NaN

    EXPECT_EQ(X3DMatrix::ColumnVector({2, 4, 6, 2}).GetDehomogonisedMatrix(), X3DMatrix::ColumnVector(1, 2, 3));
    EXPECT_THROW((void)X3DMatrix::ColumnVector({1, 2, 3, 0}).GetDehomogonisedMatrix(), XException);
}

TEST(X3DMatrix, OrthoNormaliseGivesOrthonormalColumns)
{
    const X3DMatrix skewed = Make(3, 3, {1, 1, 0, 0.1, 1, 1, 0, 0.2, 1});
    const X3DMatrix o = X3DMatrix::OrthoNormalise(skewed);
    EXPECT_TRUE((o.GetTranspose() * o).IsNearlyEqual(X3DMatrix::UnitMatrix(3), 1e-12));
    // Gram-Schmidt keeps the first column's direction.
    EXPECT_TRUE(o.GetSubMatrix(0, 0, 3, 1).IsNearlyEqual(skewed.GetSubMatrix(0, 0, 3, 1).GetL2Norm(), 1e-12));

    // Dependent and zero columns are replaced, still giving an orthonormal basis.
    X3DMatrix degenerate = Make(3, 3, {1, 2, 0, 1, 2, 0, 0, 0, 0});
    degenerate.OrthoNormalise();
    EXPECT_TRUE((degenerate.GetTranspose() * degenerate).IsNearlyEqual(X3DMatrix::UnitMatrix(3), 1e-12));

    // A slightly drifted rotation comes back to a rotation near it.
    const X3DMatrix r = X3DMatrix::RotationMatrix(X3DMatrix::ColumnVector(1, 2, 3), 0.7, 3);
    const X3DMatrix drifted = r + Make(3, 3, {1e-4, 0, 0, 0, -1e-4, 0, 2e-4, 0, 0});
    EXPECT_TRUE(X3DMatrix::OrthoNormalise(drifted).IsNearlyEqual(r, 1e-3));
}
