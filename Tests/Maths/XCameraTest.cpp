#include "XCamera.h"

#include <gtest/gtest.h>

TEST(XCamera, StrafeAndMoveCarryTheLookAtPointAlong)
{
    XCamera camera(XMathVectorF3(0, 0, 5), XMathVectorF3(0, 0, 0), XMathVectorF3(0, 1, 0));
    camera.Strafe(2);
    EXPECT_TRUE(camera.GetEye().IsNearlyEqual(XMathVectorF3(2, 0, 5), 1e-6f));
    EXPECT_TRUE(camera.GetLookAt().IsNearlyEqual(XMathVectorF3(2, 0, 0), 1e-6f));
    camera.Move(1.5f);
    EXPECT_TRUE(camera.GetEye().IsNearlyEqual(XMathVectorF3(2, 0, 3.5f), 1e-6f));
    EXPECT_TRUE(camera.GetLookAt().IsNearlyEqual(XMathVectorF3(2, 0, -1.5f), 1e-6f));
    EXPECT_TRUE(camera.GetUp() == XMathVectorF3(0, 1, 0));
    // The view matrix is gluLookAt's.
    EXPECT_TRUE(camera.GetViewMatrix().TransformPoint(camera.GetLookAt()).IsNearlyEqual(XMathVectorF3(0, 0, -5), 1e-5f));
}

TEST(XCamera, RotateAroundPointKeepsDistancesAndTurnsRightHanded)
{
    const XMathVectorF3 pivot(1, 1, 0);
    XCamera camera(XMathVectorF3(1, 1, 4), XMathVectorF3(1, 1, 1), XMathVectorF3(0, 1, 0));
    camera.RotateAroundPoint(pivot, 90, XMathVectorF3(0, 1, 0));
    // +90 degrees about y takes +z to +x.
    EXPECT_TRUE(camera.GetEye().IsNearlyEqual(XMathVectorF3(5, 1, 0), 1e-5f));
    EXPECT_TRUE(camera.GetLookAt().IsNearlyEqual(XMathVectorF3(2, 1, 0), 1e-5f));
    camera.RotateAroundPoint(pivot, -10, XMathVectorF3(1, 0, 0));
    camera.RotateAroundPoint(pivot, 33, XMathVectorF3(1, 2, 3));
    EXPECT_NEAR((camera.GetEye() - pivot).GetLength(), 4.0f, 1e-5f);
    EXPECT_NEAR((camera.GetLookAt() - pivot).GetLength(), 1.0f, 1e-5f);
    EXPECT_NEAR((camera.GetEye() - camera.GetLookAt()).GetLength(), 3.0f, 1e-5f);
    EXPECT_NEAR(camera.GetUp().GetLength(), 1.0f, 1e-5f);
    EXPECT_NEAR(camera.GetUp().Dot(camera.GetForward()), 0.0f, 1e-5f);
}
