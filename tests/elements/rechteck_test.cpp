#include "elements/Rechteck.h"
#include "shape_test_util.h"

#include <QPainterPath>
#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;

int CountElements(const QPainterPath& path, QPainterPath::ElementType type) {
    int n = 0;
    for (int i = 0; i < path.elementCount(); ++i)
        if (path.elementAt(i).type == type) ++n;
    return n;
}

std::unique_ptr<TRechteck> Rect(float l, float t, float r, float b, float rounding = 0,
                                qint32 style = TRechteck::csRounded) {
    auto rect = std::make_unique<TRechteck>(TRRect{l, t, r, b});
    rect->CornerStyle = style;
    rect->Rounding = rounding;
    rect->ClampRounding();
    rect->UpdateRoundGrip();
    return rect;
}
} // namespace

TEST_F(ShapeTest, RechteckCornerSizeDecidesTheOutline) {
    struct Case {
        const char* name;
        float rounding;
        qint32 style;
        int curves, lines;
    } cases[] = {
        {"2.9 is still sharp", 2.9f, TRechteck::csRounded, 0, 4},
        {"3.0 is rounded: four corner curves and four straight sides", 3.0f, TRechteck::csRounded,
         4, 4},
        {"chamfered: eight straight pieces", 3.0f, TRechteck::csChamfered, 0, 8},
    };
    const TView view;
    for (const Case& c : cases) {
        auto r_ = Rect(0, 0, 100, 60, c.rounding, c.style);
        const TRechteck& r = *r_;
        QPainterPath path;
        r.AddOutline(view, path);
        // A cubic is one CurveTo followed by two data elements.
        EXPECT_EQ(CountElements(path, QPainterPath::CurveToElement), c.curves) << c.name;
        EXPECT_EQ(CountElements(path, QPainterPath::LineToElement), c.lines) << c.name;
    }
    // The chamfer cuts sit Rounding / 2 from each corner, towards the previous and the next corner.
    auto ch_ = Rect(0, 0, 100, 60, 20, TRechteck::csChamfered);
    const TRechteck& ch = *ch_;
    const std::array<TRPoint, 8> cuts = ch.CornerCuts();
    ExpectNear(cuts[0], {0, 10}, 1e-4, "A1 towards P4");
    ExpectNear(cuts[1], {10, 0}, 1e-4, "B1 towards P2");
    ExpectNear(cuts[2], {90, 0}, 1e-4, "A2 towards P1");
    ExpectNear(cuts[5], {90, 60}, 1e-4, "B3 towards P4");
}

TEST_F(ShapeTest, RechteckCornerSizeIsClampedToTheShorterSide) {
    auto r_ = Rect(0, 0, 100, 60);
    TRechteck& r = *r_;
    r.SetRoundingPercent(150);
    EXPECT_EQ(r.Rounding, 60.0f);
    EXPECT_DOUBLE_EQ(r.RoundingPercent(), 100);
    r.SetRoundingPercent(25);
    EXPECT_FLOAT_EQ(r.Rounding, 15);
    ExpectNear(r.RoundGrip, {0, 7.5f}, 1e-5, "grip at half the size below P1");
    r.SetRoundingPercent(-10);
    EXPECT_EQ(r.Rounding, 0.0f);
    // A flat rectangle has a shorter side of 0.01, not 0.
    auto flat_ = Rect(0, 0, 100, 0);
    TRechteck& flat = *flat_;
    flat.SetRoundingPercent(100);
    EXPECT_FLOAT_EQ(flat.Rounding, 0.01f);
}

TEST_F(ShapeTest, RechteckGripSetsTheCornerSize) {
    struct Case {
        const char* name;
        double turnDegrees; // the rectangle is rotated first
        double along;       // grip distance from P1 along P1-P4
        double beside;      // and across the edge
        float expected;
    } cases[] = {
        {"on the edge", 0, 10, 0, 20},
        {"beside the edge", 0, 10, 3, 20},
        {"past the shorter side", 0, 50, 0, 60},
        {"above P1", 0, -5, 0, 0},
        {"steep edge after 30 degrees", 30, 12, 2, 24},
        {"flat edge after 60 degrees", 60, 12, 2, 24},
        {"upside down", 180, 7, 0, 14},
    };
    for (const Case& c : cases) {
        auto r_ = Rect(0, 0, 100, 60, 4);
        TRechteck& r = *r_;
        r.RotateAt({50, 30}, c.turnDegrees * kPi / 180);
        const TRPoint p1 = r.Corners[0], p4 = r.Corners[3];
        const double len = Distance(p1, p4);
        const double ux = (p4.X - p1.X) / len, uy = (p4.Y - p1.Y) / len;
        r.RoundGrip = {float(p1.X + ux * c.along - uy * c.beside),
                       float(p1.Y + uy * c.along + ux * c.beside)};
        r.GripsChanged();
        EXPECT_NEAR(r.Rounding, c.expected, 1e-3) << c.name;
        // The grip goes back onto the edge at half the size.
        ExpectNear(r.RoundGrip,
                   {float(p1.X + ux * r.Rounding / 2), float(p1.Y + uy * r.Rounding / 2)}, 1e-3,
                   c.name);
    }
}

TEST_F(ShapeTest, RechteckSnapPointsFollowTheCorners) {
    struct Case {
        const char* name;
        float rounding;
        qint32 style;
        TRPoint probe;
        bool snaps;
        TRPoint expected;
    } cases[] = {
        {"sharp: corner", 0, TRechteck::csRounded, {2, 2}, true, {0, 0}},
        {"sharp: centre", 0, TRechteck::csRounded, {47, 33}, true, {50, 30}},
        {"rounded: no corner", 20, TRechteck::csRounded, {2, 2}, false, {2, 2}},
        {"rounded: centre", 20, TRechteck::csRounded, {53, 28}, true, {50, 30}},
        {"chamfered: cut point", 20, TRechteck::csChamfered, {12, 2}, true, {10, 0}},
        {"chamfered: no corner", 20, TRechteck::csChamfered, {0.5f, 0.5f}, false, {0.5f, 0.5f}},
    };
    const TView view; // zoom 1: snap radius 8 world units
    for (const Case& c : cases) {
        auto r_ = Rect(0, 0, 100, 60, c.rounding, c.style);
        TRechteck& r = *r_;
        TRPoint p = c.probe;
        EXPECT_EQ(r.SnapToPoint(view, p), c.snaps) << c.name;
        ExpectNear(p, c.expected, 1e-4, c.name);
        std::vector<TRPoint*> points;
        r.AddSnapPoints(points);
        ASSERT_FALSE(points.empty()) << c.name;
        EXPECT_EQ(points.back(), &r.Center) << c.name;
        EXPECT_EQ(points.size(), c.rounding == 0                     ? 5u
                                 : c.style == TRechteck::csChamfered ? 9u
                                                                     : 1u)
            << c.name;
    }
}

TEST_F(ShapeTest, RechteckTransformsKeepCentreAndCornerSize) {
    auto r_ = Rect(0, 0, 100, 60, 20);
    TRechteck& r = *r_;
    r.RotateAt({0, 0}, kPi / 6);
    r.ShearAt({0, 0}, 0.2, 0);
    r.MirrorX({10, 0});
    TRPoint c;
    ASSERT_TRUE(LineIntersection(r.Corners[0], r.Corners[2], r.Corners[1], r.Corners[3], c));
    ExpectNear(r.Center, c, 1e-3, "centre stays on the diagonals");
    EXPECT_FLOAT_EQ(r.Rounding, 20);
    // Shrinking below the corner size clamps it, and a stored copy reads back the same size.
    r.ScaleAt({0, 0}, 0.1, 0.1);
    const double shorter = r.ShorterSide();
    ASSERT_LT(shorter, 20);
    EXPECT_NEAR(r.Rounding, shorter, 1e-3);
    std::unique_ptr<TRechteck> back = LoadRecord<TRechteck>(SaveRecord(r));
    EXPECT_NEAR(back->Rounding, r.Rounding, 1e-4);
    // Moving the grip after a transform starts from the corner size, not from a stale grip.
    std::vector<TRPoint*> grips;
    r.AddGrips(grips);
    ASSERT_EQ(grips.size(), 1u);
    EXPECT_EQ(grips[0], &r.RoundGrip);
    r.GripsChanged();
    EXPECT_NEAR(r.Rounding, shorter, 1e-3);
}

TEST_F(ShapeTest, RechteckSizesKeepP1AndTheSideDirections) {
    auto r_ = Rect(0, 0, 100, 60, 50);
    TRechteck& r = *r_;
    r.RotateAt({0, 0}, kPi / 6);
    const TRPoint p1 = r.Corners[0];
    const double angleTop = AngleOf(r.Corners[0], r.Corners[1]);
    r.SetWidth(40);
    EXPECT_NEAR(r.Width(), 40, 1e-3);
    EXPECT_NEAR(r.Height(), 60, 1e-3);
    EXPECT_NEAR(AngleOf(r.Corners[0], r.Corners[1]), angleTop, 1e-4);
    EXPECT_NEAR(Distance(r.Corners[3], r.Corners[2]), 40, 1e-3);
    EXPECT_NEAR(r.Rounding, 40, 1e-3); // clamped to the new shorter side
    r.SetHeight(10);
    EXPECT_NEAR(r.Height(), 10, 1e-3);
    EXPECT_NEAR(Distance(r.Corners[1], r.Corners[2]), 10, 1e-3);
    EXPECT_EQ(r.Corners[0], p1);
    r.SetWidth(0);
    EXPECT_NEAR(r.Width(), 0.1, 1e-4);
    EXPECT_NEAR(r.Center.X, (r.Corners[0].X + r.Corners[2].X) / 2, 1e-4);
}

TEST_F(ShapeTest, RechteckHitTests) {
    struct Case {
        const char* name;
        float rounding;
        bool noLine, noFill;
        QPoint probe;
        bool hit;
    } cases[] = {
        {"filled sharp corner", 0, true, false, {2, 2}, true},
        {"filled rounded corner is cut away", 40, true, false, {2, 2}, false},
        {"filled rounded middle", 40, true, false, {50, 30}, true},
        {"outline only: middle is empty", 0, false, true, {50, 30}, false},
        {"outline only: on the edge", 0, false, true, {50, 3}, true},
        {"outline only: just outside", 0, false, true, {50, -5}, false},
    };
    const TView view;
    for (const Case& c : cases) {
        auto r_ = Rect(0, 0, 100, 60, c.rounding);
        TRechteck& r = *r_;
        r.NoLine = c.noLine;
        r.NoFill = c.noFill;
        EXPECT_EQ(r.HitPoint(view, c.probe), c.hit) << c.name;
    }
    auto r_ = Rect(0, 0, 100, 60, 40);
    TRechteck& r = *r_;
    EXPECT_TRUE(r.HitRect(view, {-10, -10, 110, 70}, true));
    EXPECT_FALSE(r.HitRect(view, {-10, -10, 50, 70}, true));
    EXPECT_TRUE(r.HitRect(view, {-10, -10, 50, 70}, false));
    // Touching a rounded corner's empty bounding-box corner is no hit for an outline.
    EXPECT_FALSE(r.HitRect(view, {-10, -10, 1, 1}, false));
}

TEST_F(ShapeTest, RechteckRecordRoundTripsByteForByte) {
    auto r_ = Rect(10, 20, 110.5f, 80.25f, 12, TRechteck::csChamfered);
    TRechteck& r = *r_;
    r.RotateAt({0, 0}, 0.3);
    r.LineWidth = 7;
    r.LineColor = 0x010203;
    r.FillColor = 0x0A0B0C;
    r.FillStyle = 5;
    r.NoFill = false;
    r.TwoColor = true;
    r.LineColor2 = 0x00FF00;
    r.ShapePenStyle = 3;
    r.InnerStripe = true;
    r.CrossStripes = true;
    r.InnerStripeColor = 0x111111;
    r.CrossStripeColor = 0x222222;
    r.HatchWidth = 3;
    r.HatchDistance = 15;
    r.SetFormLayer(true);
    const QByteArray saved = SaveRecord(r);
    const QByteArray expected = Bytes([&](TStreamWriter& w) {
        w.WriteBool(false);
        w.WriteBool(false);
        w.WriteI32(7);
        w.WriteI32(0x010203);
        w.WriteU8(0);
        w.WriteZeros(3);
        w.WriteI32(0x0A0B0C);
        w.WriteU8(5);
        w.WriteZeros(3);
        w.WriteBool(true);
        for (const TRPoint& p : r.Corners)
            WritePoint(w, p.X, p.Y);
        WritePoint(w, r.RoundGrip.X, r.RoundGrip.Y);
        w.WriteBool(true);
        w.WriteI32(0x00FF00);
        w.WriteI32(3);
        w.WriteI32(TRechteck::csChamfered);
        w.WriteBool(true);
        w.WriteBool(true);
        w.WriteI32(0x111111);
        w.WriteI32(0x222222);
        w.WriteI32(3);
        w.WriteI32(15);
    });
    ASSERT_EQ(saved.size(), 94);
    EXPECT_EQ(saved.toHex(), expected.toHex());
    std::unique_ptr<TRechteck> back = LoadRecord<TRechteck>(saved);
    EXPECT_EQ(SaveRecord(*back).toHex(), saved.toHex());
    EXPECT_NEAR(back->Rounding, 12, 1e-3);
    ExpectNear(back->Center, r.Center, 1e-4, "centre recomputed");
}

TEST_F(ShapeTest, RechteckOlderRecordsReadByTheirRules) {
    g_ShapeStyle.InnerStripeColor = 0x123456;
    auto corners = [](TStreamWriter& w) {
        WritePoint(w, 0, 0);
        WritePoint(w, 40, 0);
        WritePoint(w, 40, 30);
        WritePoint(w, 0, 30);
        WritePoint(w, 0, 5); // grip: corner size 10
    };
    auto twoColor = [](TStreamWriter& w) {
        w.WriteBool(true);
        w.WriteI32(0x00FF00);
        w.WriteI32(2);
    };
    struct Case {
        const char* name;
        int version;
        QByteArray bytes;
        TRPoint p1, p3;
        float rounding;
        bool twoColor;
        qint32 penStyle;
    } cases[] = {
        {"59: unordered rectangle, rounded to whole units",
         59,
         Bytes([](TStreamWriter& w) {
             WriteShapeHeader(w);
             w.WriteF32(30.4f);
             w.WriteF32(20.6f);
             w.WriteF32(10.2f);
             w.WriteF32(5.5f);
             w.WriteF32(8); // corner size, raw
         }),
         {10, 6},
         {30, 21},
         8,
         false,
         0},
        {"59: corner size beyond the shorter side is clamped",
         59,
         Bytes([](TStreamWriter& w) {
             WriteShapeHeader(w);
             for (float v : {0.f, 0.f, 40.f, 15.f})
                 w.WriteF32(v);
             w.WriteF32(99);
         }),
         {0, 0},
         {40, 15},
         15,
         false,
         0},
        {"60: corners and grip, no two-colour fields",
         60,
         Bytes([&](TStreamWriter& w) {
             WriteShapeHeader(w);
             corners(w);
         }),
         {0, 0},
         {40, 30},
         10,
         false,
         0},
        {"70: two-colour fields, no corner style",
         70,
         Bytes([&](TStreamWriter& w) {
             WriteShapeHeader(w);
             corners(w);
             twoColor(w);
         }),
         {0, 0},
         {40, 30},
         10,
         true,
         2},
    };
    for (const Case& c : cases) {
        std::unique_ptr<TRechteck> r = LoadRecord<TRechteck>(c.bytes, c.version);
        ExpectNear(r->Corners[0], c.p1, 1e-5, c.name);
        ExpectNear(r->Corners[2], c.p3, 1e-5, c.name);
        EXPECT_FLOAT_EQ(r->Rounding, c.rounding) << c.name;
        ExpectNear(r->RoundGrip, {c.p1.X, c.p1.Y + c.rounding / 2}, 1e-5, c.name);
        ExpectNear(r->Center, Midpoint(c.p1, c.p3), 1e-5, c.name);
        EXPECT_EQ(r->TwoColor, c.twoColor) << c.name;
        EXPECT_EQ(r->LineColor2, c.twoColor ? 0x00FF00 : 255) << c.name;
        EXPECT_EQ(r->ShapePenStyle, c.penStyle) << c.name;
        EXPECT_EQ(r->CornerStyle, TRechteck::csRounded) << c.name;
        EXPECT_FALSE(r->InnerStripe || r->CrossStripes) << c.name;
        EXPECT_EQ(r->InnerStripeColor, 0x123456) << c.name;
        EXPECT_EQ(r->HatchWidth, 1) << c.name;
        EXPECT_EQ(r->HatchDistance, 20) << c.name;
    }
    // A record cut short is a load error, not a half-read rectangle.
    const QByteArray whole = SaveRecord(*Rect(0, 0, 10, 10));
    TRechteck cut;
    TStreamReader reader(whole.left(60));
    EXPECT_THROW(cut.LoadFromStream(reader), LoadError);
}

TEST_F(ShapeTest, TableRectangleIsPlainBlackOnWhite) {
    g_ShapeStyle.LineColor = 0x0000FF;
    g_ShapeStyle.CrossStripes = true;
    g_ShapeStyle.ShapePenStyle = 2;
    std::unique_ptr<TRechteck> r = MakeTableRectangle({5, 6, 50, 20});
    EXPECT_EQ(r->LineColor, clBlack);
    EXPECT_EQ(r->LineWidth, 2);
    EXPECT_EQ(r->FillColor, clWhite);
    EXPECT_FALSE(r->NoFill);
    EXPECT_FALSE(r->NoLine);
    EXPECT_EQ(r->FillStyle, 0);
    EXPECT_EQ(r->ShapePenStyle, 0);
    EXPECT_FALSE(r->CrossStripes);
    ExpectNear(r->Corners[2], {50, 20}, 0, "P3");
}
