#include "elements/geometry.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {
constexpr double kPi = 3.14159265358979323846;
}

TEST(Geometry, AngleOfFollowsScreenOrientation) {
    struct Case {
        TRPoint to;
        double angle;
    } cases[] = {
        {{10, 0}, 0},
        {{0, -10}, kPi / 2},
        {{-10, 0}, kPi},
        {{0, 10}, 3 * kPi / 2},
        {{10, -10}, kPi / 4},
        {{-10, -10}, 3 * kPi / 4},
        {{-10, 10}, 5 * kPi / 4},
        {{10, 10}, 7 * kPi / 4},
        {{0, 0}, 0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(AngleOf(TRPoint{0, 0}, c.to), c.angle, 1e-9) << c.to.X << "," << c.to.Y;
}

TEST(Geometry, RotateTurnsClockwiseAndIgnoresTinyAngles) {
    TRPoint p{10, 0};
    RotatePoint(p, {0, 0}, kPi / 2);
    EXPECT_NEAR(p.X, 0, 1e-5);
    EXPECT_NEAR(p.Y, 10, 1e-5);

    TRPoint q{10, 3};
    RotatePoint(q, {0, 0}, 0.0001);
    EXPECT_EQ(q, (TRPoint{10, 3}));

    TRPoint r{5, 5};
    RotatePoint(r, {1, 1}, 2 * kPi / 3);
    RotatePoint(r, {1, 1}, 2 * kPi / 3);
    RotatePoint(r, {1, 1}, 2 * kPi / 3);
    EXPECT_NEAR(r.X, 5, 1e-4);
    EXPECT_NEAR(r.Y, 5, 1e-4);
}

TEST(Geometry, ScaleShearMirror) {
    TRPoint p{10, 20};
    ScalePoint(p, {0, 10}, 2, 0.5);
    EXPECT_EQ(p, (TRPoint{20, 15}));

    TRPoint s{10, 20};
    ShearPoint(s, {0, 0}, 0.005, -0.009);
    EXPECT_EQ(s, (TRPoint{10, 20}));
    ShearPoint(s, {0, 0}, 0.5, 0.25); // both from the old coordinates
    EXPECT_EQ(s, (TRPoint{20, 22.5f}));

    TRPoint m{3, 4};
    MirrorPointX(m, {10, 0});
    MirrorPointY(m, {0, 1});
    EXPECT_EQ(m, (TRPoint{17, -2}));
}

TEST(Geometry, ViewMappingAndRounding) {
    TView v;
    v.ZoomX = 2;
    v.ZoomY = 2;
    EXPECT_DOUBLE_EQ(v.ScaleLength(5), 10);
    v.ZoomY = 4;
    EXPECT_DOUBLE_EQ(v.ScaleLength(5), 15);

    EXPECT_EQ(RoundPixel(2.5), 2);
    EXPECT_EQ(RoundPixel(3.5), 4);
    EXPECT_EQ(RoundPixel(-2.5), -2);
    EXPECT_THROW(RoundPixel(3e9), RangeError);
    EXPECT_THROW(RoundPixel(std::nan("")), RangeError);

    TView w;
    w.ZoomX = w.ZoomY = 0.5f;
    w.OffsetX = 10;
    const TIRect r = w.RepaintRect({1, 1, 3, 3});
    EXPECT_EQ(r, (TIRect{10, 0, 12, 2}));
    EXPECT_EQ(r.Inflated(2), (TIRect{8, -2, 14, 4}));
    // A repaint rectangle at the edge of the pixel range cannot grow past it.
    const TIRect edge = TView{}.RepaintRect({-2147483648.0f, 0, 0, 0});
    EXPECT_THROW(edge.Inflated(2), RangeError);
    const TRPoint back = w.ScreenToWorld(w.WorldToScreen({7, -3}));
    EXPECT_EQ(back, (TRPoint{7, -3}));
}

TEST(Geometry, IntersectionsAndNearest) {
    TRPoint out;
    EXPECT_TRUE(LineIntersection({0, 0}, {1, 1}, {0, 10}, {1, 9}, out));
    EXPECT_EQ(out, (TRPoint{5, 5}));
    EXPECT_FALSE(LineIntersection({0, 0}, {1, 1}, {0, 1}, {1, 2}, out));
    EXPECT_FALSE(SegmentIntersection(TRPoint{0, 0}, {1, 1}, {0, 10}, {1, 9}, out));
    EXPECT_TRUE(SegmentIntersection(TRPoint{0, 0}, {10, 10}, {0, 10}, {10, 0}, out));

    const TRPointArray pts{{5, 0}, {0, 5}, {-5, 0}};
    EXPECT_EQ(NearestPoint({1, 1}, pts), 0); // tie between 0 and 1 keeps the earlier
    EXPECT_EQ(NearestPoint({1, 1}, TRPointArray{}), -1);

    const TRPoint e = ExtendPoint({10, 0}, {0, 0}, 5);
    EXPECT_NEAR(e.X, 15, 1e-5);
    EXPECT_TRUE(SamePoint({0, 0}, {0.9f, -0.9f}));
    EXPECT_FALSE(SamePoint({0, 0}, {1, 0}));
}

TEST(Geometry, CapsulePointCounts) {
    struct Case {
        double width;
        size_t points;
    } cases[] = {{10, 10}, {60, 14}, {101, 18}, {300, 22}, {600, 26}, {1200, 30}};
    for (const Case& c : cases)
        EXPECT_EQ(Capsule({0, 0}, {100, 0}, c.width).size(), c.points) << c.width;
}

TEST(Geometry, PointInPolygonEvenOdd) {
    const TScreenPolygon square{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    EXPECT_TRUE(PointInPolygon({5, 5}, square));
    EXPECT_FALSE(PointInPolygon({15, 5}, square));
    EXPECT_FALSE(PointInPolygon({10, 5}, square)); // exactly on a vertical edge
    EXPECT_FALSE(PointInPolygon({0, 5}, square));
}

TEST(Geometry, PolygonAgainstRectangle) {
    const TScreenPolygon big{{0, 0}, {100, 0}, {100, 100}, {0, 100}};
    EXPECT_FALSE(PolygonHitsRect(big, {40, 40, 60, 60}, false)); // inside, no edge crossed
    EXPECT_TRUE(PolygonHitsRect(big, {90, 40, 110, 60}, false));
    EXPECT_FALSE(PolygonHitsRect(big, {90, 40, 110, 60}, true));
    EXPECT_TRUE(PolygonHitsRect(big, {-1, -1, 101, 101}, true));
    EXPECT_FALSE(PolygonHitsRect(big, {200, 200, 300, 300}, false));
}

TEST(Geometry, HitPolylineRaisesWidthToTolerance) {
    TView v;
    const TScreenPolygon line{{0, 0}, {100, 0}};
    EXPECT_TRUE(HitPolyline(v, {50, 3.9}, line, true, false, false, 0));
    EXPECT_FALSE(HitPolyline(v, {50, 4.5}, line, true, false, false, 0));
    EXPECT_TRUE(HitPolyline(v, {50, 9}, line, true, false, false, 20));

    const TScreenPolygon tri{{0, 0}, {100, 0}, {0, 100}};
    EXPECT_FALSE(HitPolyline(v, {1, 50}, tri, true, false, false, 0)); // open: no closing edge
    EXPECT_TRUE(HitPolyline(v, {1, 50}, tri, true, false, true, 0));
    EXPECT_TRUE(HitPolyline(v, {20, 20}, tri, false, true, true, 0));

    EXPECT_TRUE(HitPolylineRect(v, {40, -10, 60, 10}, line, true, false, false, 0, false));
    EXPECT_FALSE(HitPolylineRect(v, {40, -10, 60, 10}, line, true, false, false, 0, true));
    // A rectangle wholly inside the hit capsule crosses no edge: not a hit.
    EXPECT_FALSE(HitPolylineRect(v, {40, -2, 60, 2}, line, true, false, false, 0, false));
    EXPECT_TRUE(HitPolylineRect(v, {-10, -10, 110, 10}, line, true, false, false, 0, true));
}

TEST(Geometry, ArcAndBounds) {
    TRPointArray arc;
    ArcPoints(arc, {0, 0}, 1, 0, kPi, 10); // n below 2 becomes 2
    ASSERT_EQ(arc.size(), 2u);
    EXPECT_NEAR(arc[0].X, 10, 1e-5);
    EXPECT_NEAR(arc[1].X, -10, 1e-5);

    TRPointArray quarter;
    ArcPoints(quarter, {0, 0}, 3, -kPi / 2 + 2 * kPi, kPi / 2, 10); // start above 2 pi comes back
    EXPECT_NEAR(quarter[0].Y, 10, 1e-4);
    EXPECT_NEAR(quarter[2].X, 10, 1e-4);

    const TRRect b = BoundsOf({{5, 1}, {-2, 7}});
    EXPECT_EQ(b, (TRRect{-2, 1, 5, 7}));
    EXPECT_EQ(WidenRect(b, 1), (TRRect{-3, 0, 6, 8}));
    g_BoundsWithoutWidth = true;
    EXPECT_EQ(WidenRect(b, 1), b);
    g_BoundsWithoutWidth = false;
    EXPECT_DOUBLE_EQ(HalfWidthForBounds(0), 1);
    EXPECT_DOUBLE_EQ(HalfWidthForBounds(6), 3);
}

TEST(Geometry, SnapRadiusStaysBetween8And50Pixels) {
    TView v; // zoom 1: radius for width 2 is raised to 8 units
    TRPoint p{7.9f, 0};
    EXPECT_TRUE(SnapWithin(v, p, {0, 0}, 2));
    EXPECT_EQ(p, (TRPoint{0, 0}));
    TRPoint q{8, 0};
    EXPECT_FALSE(SnapWithin(v, q, {0, 0}, 2));
    TRPoint far{60, 0};
    EXPECT_FALSE(SnapWithin(v, far, {0, 0}, 400)); // 200 units lowered to 50 pixels
}
