#include "XQuaternion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

namespace {
constexpr double kPi = std::numbers::pi;

XMathVectorF3 RandomAxis(std::mt19937& inRandom)
{
    std::normal_distribution<float> n(0.0f, 1.0f);
    XMathVectorF3 axis;
    do
        axis = XMathVectorF3(n(inRandom), n(inRandom), n(inRandom));
    while (axis.GetLength() < 1e-3f);
    return axis.GetNormalised();
}

X3DMatrix ToColumn(const XMathVectorF3& v)
{
    return X3DMatrix::ColumnVector(v[0], v[1], v[2]);
}
} // namespace

TEST(XQuaternion, AgreesWithTheMatrixRotationsAndIsRightHanded)
{
    const XQuaternion quarterZ = XQuaternion::MakeFromAxisAngle(XMathVectorF3(0, 0, 1), kPi / 2);
    EXPECT_TRUE(quarterZ.Rotate(XMathVectorF3(1, 0, 0)).IsNearlyEqual(XMathVectorF3(0, 1, 0), 1e-6f));

    std::mt19937 random(11);
    std::uniform_real_distribution<double> angle(-2 * kPi, 2 * kPi);
    for (int i = 0; i < 50; ++i) {
        const XMathVectorF3 axis = RandomAxis(random);
        const double a = angle(random);
        const XQuaternion q = XQuaternion::MakeFromAxisAngle(axis, a);
        const X3DMatrix r = X3DMatrix::RotationMatrix(ToColumn(axis), a, 3);
        ASSERT_TRUE(q.ToX3DMatrix().IsNearlyEqual(r, 1e-6)) << "rotation " << i;
        // The row-vector form turns points the same way: p x M = R p.
        const XMathVectorF3 p(0.3f, -1.2f, 2.0f);
        const XMathVectorF3 byRow = q.ToMatrix().TransformPoint(p);
        const X3DMatrix byColumn = r * ToColumn(p);
        EXPECT_TRUE(byRow.IsNearlyEqual(XMathVectorF3(float(byColumn(0, 0)), float(byColumn(1, 0)), float(byColumn(2, 0))), 1e-5f));
        EXPECT_TRUE(q.Rotate(ToColumn(p)).IsNearlyEqual(byColumn, 1e-6));
    }
}

TEST(XQuaternion, MatrixRoundTripsIncludingHalfTurns)
{
    std::mt19937 random(5);
    std::uniform_real_distribution<double> angle(0.0, 2 * kPi);
    for (int i = 0; i < 300; ++i) {
        const XMathVectorF3 axis = RandomAxis(random);
        // Every third case a half turn, where the trace is -1 and naive methods divide by zero.
        const double a = i % 3 == 0 ? kPi : angle(random);
        const XQuaternion q = XQuaternion::MakeFromAxisAngle(axis, a);
        const XQuaternion fromColumn = XQuaternion::MakeFromRotationMatrix(q.ToX3DMatrix());
        const XQuaternion fromRow = XQuaternion::MakeFromRotationMatrix(q.ToMatrix());
        ASSERT_TRUE(fromColumn.IsSameRotation(q, 1e-6)) << "case " << i << " angle " << a;
        ASSERT_TRUE(fromRow.IsSameRotation(q, 1e-5)) << "case " << i;
        EXPECT_NEAR(fromColumn.GetLengthSquared(), 1.0, 1e-12);
    }
    // Half turns about the principal axes and the 4 x 4 form of a host rotation.
    for (const XMathVectorF3& axis : {XMathVectorF3(1, 0, 0), XMathVectorF3(0, 1, 0), XMathVectorF3(0, 0, 1)}) {
        const X3DMatrix r = X3DMatrix::RotationMatrix(ToColumn(axis), kPi);
        EXPECT_TRUE(XQuaternion::MakeFromRotationMatrix(r).IsSameRotation(XQuaternion::MakeFromAxisAngle(axis, kPi), 1e-9));
    }
    EXPECT_EQ(XQuaternion::MakeFromRotationMatrix(X3DMatrix::UnitMatrix(3)), XQuaternion::kIdentity);
    EXPECT_THROW(XQuaternion::MakeFromRotationMatrix(X3DMatrix(2, 2)), XMatrixException);
}

TEST(XQuaternion, ProductAppliesTheRightFactorFirst)
{
    const XQuaternion aboutX = XQuaternion::MakeFromAxisAngle(XMathVectorF3(1, 0, 0), kPi / 2);
    const XQuaternion aboutZ = XQuaternion::MakeFromAxisAngle(XMathVectorF3(0, 0, 1), kPi / 2);
    // z first takes x to y, then x takes y to z.
    EXPECT_TRUE((aboutX * aboutZ).Rotate(XMathVectorF3(1, 0, 0)).IsNearlyEqual(XMathVectorF3(0, 0, 1), 1e-6f));
    EXPECT_TRUE((aboutX * aboutZ).ToX3DMatrix().IsNearlyEqual(aboutX.ToX3DMatrix() * aboutZ.ToX3DMatrix(), 1e-12));
    EXPECT_TRUE((aboutZ * aboutZ.Conjugate()).IsSameRotation(XQuaternion::kIdentity));
}

TEST(XQuaternion, DegenerateInputsGiveTheIdentity)
{
    EXPECT_EQ(XQuaternion::MakeFromAxisAngle(XMathVectorF3(0, 0, 0), 1.0), XQuaternion::kIdentity);
    EXPECT_EQ(XQuaternion::MakeFromAxisAngle(XMathVectorF3(0, 1, 0), std::nan("")), XQuaternion::kIdentity);
    XQuaternion zero(0, 0, 0, 0);
    EXPECT_FALSE(zero.IsValid());
    zero.Normalise();
    EXPECT_EQ(zero, XQuaternion::kIdentity);
    XQuaternion scaled(0, 0, 3, 4);
    scaled.Normalise();
    EXPECT_NEAR(scaled.GetZ(), 0.6, 1e-15);
    EXPECT_NEAR(scaled.GetLengthSquared(), 1.0, 1e-15);
}

TEST(XQuaternion, SlerpTakesTheShortArcAtUnitLength)
{
    const XMathVectorF3 z(0, 0, 1);
    const XQuaternion from = XQuaternion::MakeFromAxisAngle(z, 0.0);
    // 350 degrees one way is 10 degrees the other: half way is -5 degrees, not 175.
    const XQuaternion to = XQuaternion::MakeFromAxisAngle(z, 350.0 * kPi / 180.0);
    const XQuaternion half = XQuaternion::Slerp(from, to, 0.5);
    EXPECT_TRUE(half.IsSameRotation(XQuaternion::MakeFromAxisAngle(z, -5.0 * kPi / 180.0), 1e-9));
    EXPECT_TRUE(XQuaternion::Slerp(from, to, 0.0).IsSameRotation(from));
    EXPECT_TRUE(XQuaternion::Slerp(from, to, 1.0).IsSameRotation(to));

    // The angle grows evenly along the way, and every step is a unit quaternion.
    std::mt19937 random(3);
    for (int i = 0; i < 20; ++i) {
        const XQuaternion a = XQuaternion::MakeFromAxisAngle(RandomAxis(random), 2.0);
        const XQuaternion b = XQuaternion::MakeFromAxisAngle(RandomAxis(random), -1.0);
        XMathVectorF3 axis;
        double total;
        (b * a.Conjugate()).GetAxisAngle(axis, total);
        total = std::min(total, 2 * kPi - total);
        for (double t = 0.0; t <= 1.0; t += 0.125) {
            const XQuaternion s = XQuaternion::Slerp(a, b, t);
            EXPECT_NEAR(s.GetLengthSquared(), 1.0, 1e-12);
            double travelled;
            (s * a.Conjugate()).GetAxisAngle(axis, travelled);
            travelled = std::min(travelled, 2 * kPi - travelled);
            EXPECT_NEAR(travelled, t * total, 1e-6) << "pair " << i << " t " << t;
        }
    }
    // Nearly equal ends still give unit results.
    const XQuaternion tiny = XQuaternion::MakeFromAxisAngle(z, 1e-6);
    EXPECT_NEAR(XQuaternion::Slerp(from, tiny, 0.3).GetLengthSquared(), 1.0, 1e-12);
}
