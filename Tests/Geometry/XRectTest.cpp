#include "XRect.h"
#include "XRectF.h"

#include <gtest/gtest.h>
#include <utility>

TEST(XRect, EdgesAreExclusive)
{
    XRect r(2, 3, 7, 5);
    // Corners inside, then the right and bottom edges and a point left of it.
    for (auto [p, inside] : {std::pair{XPoint(2, 3), true}, {XPoint(6, 4), true}, {XPoint(7, 4), false},
                             {XPoint(6, 5), false}, {XPoint(1, 3), false}})
        EXPECT_EQ(r.Contains(p), inside) << p.x << "," << p.y;
    EXPECT_TRUE(r.Contains(XRect(2, 3, 7, 5)));
    EXPECT_FALSE(r.Contains(XRect(2, 3, 8, 5)));
}

TEST(XRect, EmptyRectangles)
{
    EXPECT_TRUE(XRect().IsEmpty());
    EXPECT_TRUE(XRect(5, 5, 5, 9).IsEmpty());
    EXPECT_TRUE(XRect(5, 5, 4, 9).IsEmpty()); // inverted
    EXPECT_FALSE(XRect(0, 0, 1, 1).IsEmpty());
    XRect a(0, 0, 4, 4);
    EXPECT_TRUE(a.Contains(XRect(10, 10, 10, 10))); // nothing to hold
    EXPECT_EQ(a.Union(XRect(10, 10, 10, 20)), a);   // empty side does not stretch the union
    EXPECT_EQ(XRect(3, 3, 3, 3).Union(XRect(1, 1, 1, 5)), XRect());
    EXPECT_FALSE(XRect(0, 0, 0, 0).Contains(0, 0));
}

TEST(XRect, TouchingRectanglesDoNotIntersect)
{
    XRect a(0, 0, 4, 4), b(4, 0, 8, 4), c(3, 3, 6, 6);
    EXPECT_FALSE(a.Intersects(b));
    EXPECT_EQ(a.Intersection(b), XRect());
    EXPECT_EQ(a.Intersection(c), XRect(3, 3, 4, 4));
    EXPECT_EQ(a.Union(b), XRect(0, 0, 8, 4));
    EXPECT_EQ(a.Union(c), XRect(0, 0, 6, 6));
}

TEST(XRect, OffsetAndOrigin)
{
    XRect r(1, 2, 4, 6);
    r.Offset(-3, 10);
    EXPECT_EQ(r, XRect(-2, 12, 1, 16));
    EXPECT_EQ(r.MovedToOrigin(), XRect(0, 0, 3, 4));
    EXPECT_EQ(r.Offsetted(2, -12), XRect(0, 0, 3, 4));
}

TEST(XRect, ScaleToFitsKeepingTheAspect)
{
    EXPECT_EQ(XRect(0, 0, 4096, 1024).ScaleTo(XRect(0, 0, 1024, 1024)), XRect(0, 0, 1024, 256));
    EXPECT_EQ(XRect(5, 5, 105, 405).ScaleTo(XRect(10, 20, 210, 220)), XRect(10, 20, 60, 220));
    EXPECT_EQ(XRect(0, 0, 3, 3).ScaleTo(XRect(0, 0, 10, 20)), XRect(0, 0, 10, 10)); // scales up too
    EXPECT_TRUE(XRect(0, 0, 0, 3).ScaleTo(XRect(0, 0, 10, 20)).IsEmpty());
}

TEST(XRect, MapBetweenFrames)
{
    XRect from(0, 0, 4096, 1024), to(0, 0, 1024, 256);
    EXPECT_EQ(XRect(0, 0, 3000, 1000).Map(from, to), XRect(0, 0, 750, 250));
    EXPECT_EQ(from.Map(from, to), to);
    EXPECT_EQ(XRect(10, 10, 20, 20).Map(XRect(10, 10, 20, 20), XRect(-5, 0, 15, 40)), XRect(-5, 0, 15, 40));
    int32_t x = 2048, y = 512;
    XRect::MapPoint(x, y, from, to);
    EXPECT_EQ(x, 512);
    EXPECT_EQ(y, 128);
    EXPECT_TRUE(XRect(1, 1, 2, 2).Map(XRect(), to).IsEmpty()); // nothing to map from
}

TEST(XRectF, FloatEdges)
{
    XRectF r(0.5f, 0.5f, 2.5f, 1.5f);
    EXPECT_TRUE(r.Contains(2.4999f, 1.0f));
    EXPECT_FALSE(r.Contains(2.5f, 1.0f));
    EXPECT_EQ(XRect(XRectF(0.4f, 0.6f, 2.5f, 3.49f)), XRect(0, 1, 3, 3));
    EXPECT_EQ(XRectF(XRect(1, 2, 3, 4)), XRectF(1.0f, 2.0f, 3.0f, 4.0f));
}
