#include "XBoundingBox.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

TEST(XBoundingBox, EmptyBoxHoldsNothingAndJoinsAsNothing)
{
    const XBoundingBox empty;
    const XBoundingBox box(XMathVectorF3(1, 2, 3), XMathVectorF3(-1, 0, 5)); // corners in any order
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_FALSE(empty.Contains(XMathVectorF3(0, 0, 0)));
    EXPECT_EQ(box.GetMin(), XMathVectorF3(-1, 0, 3));
    EXPECT_EQ(box.GetMax(), XMathVectorF3(1, 2, 5));
    EXPECT_EQ(XBoundingBox::MakeSurroundingBox(empty, box), box);
    EXPECT_EQ(XBoundingBox::MakeSurroundingBox(box, empty), box);
    EXPECT_TRUE(empty.MakeTransformedBox(XMatrix_4x4<float>::MakeTranslation(1, 1, 1)).IsEmpty());
    EXPECT_TRUE(XBoundingBox::MakeSurroundingBox(XVector<XMathVectorF3>()).IsEmpty());
}

TEST(XBoundingBox, SurroundingBoxesAndCorners)
{
    const XBoundingBox a(XMathVectorF3(0, 0, 0), XMathVectorF3(1, 1, 1));
    const XBoundingBox b(XMathVectorF3(2, -1, 0.5f), XMathVectorF3(3, 0, 0.75f));
    EXPECT_EQ(XBoundingBox::MakeSurroundingBox(XVector<XBoundingBox>{a, XBoundingBox(), b}),
        XBoundingBox(XMathVectorF3(0, -1, 0), XMathVectorF3(3, 1, 1)));
    EXPECT_EQ(XBoundingBox::MakeSurroundingBox(XVector<XMathVectorF3>{{1, 5, 2}, {-3, 0, 4}, {0, 1, 0}}),
        XBoundingBox(XMathVectorF3(-3, 0, 0), XMathVectorF3(1, 5, 4)));

    const auto corners = b.GetCorners();
    EXPECT_EQ(corners[0], b.GetMin());
    EXPECT_EQ(corners[7], b.GetMax());
    EXPECT_EQ(corners[5], XMathVectorF3(3, -1, 0.75f)); // max x and z, min y
    EXPECT_TRUE(b.Contains(XMathVectorF3(2.5f, -0.5f, 0.75f)));
    EXPECT_FALSE(b.Contains(XMathVectorF3(2.5f, -0.5f, 0.8f)));
}

TEST(XBoundingBox, TransformedBoxSurroundsTheTurnedCorners)
{
    const XBoundingBox unit(XMathVectorF3(-0.5f, -0.5f, -0.5f), XMathVectorF3(0.5f, 0.5f, 0.5f));
    const auto turn = XMatrix_4x4<float>::MakeRotationZ(std::numbers::pi_v<float> / 4);
    const XBoundingBox turned = unit.MakeTransformedBox(turn * XMatrix_4x4<float>::MakeTranslation(10, 0, 0));
    const float h = std::sqrt(0.5f);
    EXPECT_TRUE(turned.GetMin().IsNearlyEqual(XMathVectorF3(10 - h, -h, -0.5f), 1e-6f));
    EXPECT_TRUE(turned.GetMax().IsNearlyEqual(XMathVectorF3(10 + h, h, 0.5f), 1e-6f));
    // A mirroring scale still gives min below max.
    const XBoundingBox mirrored = XBoundingBox::MakeTransformedBox(unit, XMatrix_4x4<float>::MakeScale(1, 1, -2));
    EXPECT_EQ(mirrored, XBoundingBox(XMathVectorF3(-0.5f, -0.5f, -1), XMathVectorF3(0.5f, 0.5f, 1)));
}
