#include "X3DPolyLine.h"
#include "X3DRect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

TEST(X3DRect, VolumeAndFaces)
{
    X3DRect box(1, 2, 3, 8, 7, 6);
    EXPECT_EQ(box.GetVolume(), 105u);
    EXPECT_EQ(box.GetXYRect(), XRect(1, 2, 8, 7));
    EXPECT_EQ(box.GetXZRect(), XRect(1, 3, 8, 6));
    EXPECT_EQ(box.GetYZRect(), XRect(3, 2, 6, 7));
    EXPECT_EQ(X3DRect(XRect(0, 0, 4, 5), 2, 3), X3DRect(0, 0, 2, 4, 5, 5));
    EXPECT_EQ(X3DRect(0, 0, 0, 4, 4, 0).GetVolume(), 0u);
    EXPECT_EQ(X3DRect(0, 0, 5, 4, 4, 2).GetVolume(), 0u); // inverted depth
    EXPECT_EQ(X3DRect(0, 0, 0, 65536, 65536, 2).GetVolume(), 8589934592ull); // beyond 32 bits
}

TEST(X3DRect, ContainsAtTheExclusiveFarEdges)
{
    X3DRect box(0, 0, 0, 4, 3, 2);
    for (auto [p, inside] : {std::pair{X3DPoint(3, 2, 1), true}, {X3DPoint(4, 2, 1), false}, {X3DPoint(3, 3, 1), false},
                             {X3DPoint(3, 2, 2), false}, {X3DPoint(-1, 0, 0), false}})
        EXPECT_EQ(box.Contains(p), inside) << p.x << "," << p.y << "," << p.z;
    EXPECT_TRUE(box.Contains(box));
    EXPECT_FALSE(box.Contains(X3DRect(0, 0, 0, 4, 3, 3)));
    EXPECT_TRUE(box.Contains(X3DRect(9, 9, 9, 9, 9, 9)));
}

TEST(X3DRect, IntersectionAndUnion)
{
    X3DRect a(0, 0, 0, 4, 4, 4), b(2, 2, 2, 6, 6, 6), touching(4, 0, 0, 8, 4, 4);
    EXPECT_EQ(a.Intersection(b), X3DRect(2, 2, 2, 4, 4, 4));
    EXPECT_FALSE(a.Intersects(touching));
    EXPECT_EQ(a.Intersection(touching), X3DRect());
    EXPECT_EQ(a.Union(b), X3DRect(0, 0, 0, 6, 6, 6));
    EXPECT_EQ(a.Union(X3DRect()), a);
    EXPECT_TRUE(X3DRect(0, 0, 0, 4, 4, 1).Intersects(X3DRect(3, 3, 0, 5, 5, 1)));
    EXPECT_FALSE(X3DRect(0, 0, 0, 4, 4, 1).Intersects(X3DRect(3, 3, 1, 5, 5, 2))); // only z differs
}

TEST(X3DRect, CentreOn)
{
    X3DRect box(0, 0, 0, 4, 2, 2);
    box.CentreOn(X3DRect(10, 10, 10, 20, 20, 13));
    EXPECT_EQ(box, X3DRect(13, 14, 10, 17, 16, 12)); // odd leftover in z rounds to the low side
    X3DRect big(0, 0, 0, 10, 10, 10);
    big.CentreOn(X3DRect(0, 0, 0, 5, 5, 5));
    EXPECT_EQ(big, X3DRect(-3, -3, -3, 7, 7, 7)); // larger box: offsets round towards minus infinity
}

TEST(X3DPolyLine, SegmentsLengthAndBounds)
{
    X3DPolyLine line({X3DPoint(0, 0, 0), X3DPoint(3, 0, 0), X3DPoint(3, 4, 0)});
    EXPECT_EQ(line.GetSegmentCount(), 2u);
    EXPECT_DOUBLE_EQ(line.GetLength(), 7.0);
    line.SetClosed(true);
    EXPECT_EQ(line.GetSegmentCount(), 3u);
    EXPECT_DOUBLE_EQ(line.GetLength(), 12.0);
    EXPECT_DOUBLE_EQ(line.GetLength(2.0, 1.0, 1.0), 6.0 + 4.0 + std::sqrt(52.0));
    EXPECT_EQ(line.GetBounds(), X3DRect(0, 0, 0, 4, 5, 1));
    line.RemovePoint(2);
    EXPECT_EQ(line.GetSegmentCount(), 1u); // two points closed is still one segment
    EXPECT_THROW(line.RemovePoint(2), std::out_of_range);
    EXPECT_EQ(X3DPolyLine().GetBounds(), X3DRect());
}
