#include "elements/Kreis.h"
#include "shape_test_util.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180;

std::unique_ptr<TKreis> Ellipse(TRRect r) {
    return std::make_unique<TKreis>(r);
}

// A circle of radius 50 around (100, 100).
std::unique_ptr<TKreis> Circle() {
    return Ellipse({50, 50, 150, 150});
}

void SetArc(TKreis& k, double fromDeg, double toDeg, qint32 style = TKreis::asArc) {
    k.StartAngle = float(fromDeg * kDeg);
    k.StopAngle = float(toDeg * kDeg);
    k.ArcStyle = style;
    k.UpdateGrips();
}

// Every drawn point lies in the given quadrant of the centre (signs of dx and screen dy).
bool AllIn(const TRPointArray& pts, TRPoint c, int sx, int sy) {
    return std::all_of(pts.begin(), pts.end(), [&](TRPoint p) {
        return (p.X - c.X) * sx >= -0.01 && (p.Y - c.Y) * sy >= -0.01;
    });
}
} // namespace

TEST_F(ShapeTest, KreisBuiltFromARectangle) {
    auto k = Ellipse({10, 20, 110, 80});
    ASSERT_EQ(k->Outline.size(), 32u);
    ExpectNear(k->Center, {60, 50}, 1e-4, "centre");
    ExpectNear(k->Outline[0], {110, 50}, 1e-4, "point 0 at angle 0");
    ExpectNear(k->Outline[8], {60, 20}, 1e-4, "point 8 on top");
    EXPECT_LT(k->Outline[1].Y, k->Center.Y); // counter-clockwise on the screen
    const TKreis::TRadii r = k->Radii();
    EXPECT_NEAR(r.X, 50, 1e-4);
    EXPECT_NEAR(r.Y, 30, 1e-4);
    ExpectNear(k->GetRefPoint(), {10, 20}, 1e-4, "top-left of the box");
    ExpectNear(k->GetGridAnchor(), k->Center, 0, "grid anchor is the centre");
    EXPECT_NEAR(AngleOf(Circle()->Center, Circle()->Outline[1]), 11.25 * kDeg, 1e-5);
    EXPECT_TRUE(k->IsFull());
    EXPECT_EQ(k->StartAngle, 0.0f);
    EXPECT_EQ(k->StopAngle, 0.0f); // a fresh ellipse stores a full circle
    // A tool's first, empty drag still gives an outline (radius 1 scaled to nothing).
    auto dot = Ellipse({5, 5, 5, 5});
    EXPECT_EQ(dot->Outline.size(), 32u);
    ExpectNear(dot->Center, {5, 5}, 1e-5, "empty drag");
}

TEST_F(ShapeTest, KreisIsFullWhenTheArcEndsAlmostMeet) {
    struct Case {
        const char* name;
        double from, to; // radians
        bool full;
    } cases[] = {
        {"0.04 apart", 1.0, 1.04, true},
        {"0.06 apart", 1.0, 1.06, false},
        {"0.04 apart across zero", 6.26, 0.018, true},
        {"half", 0, kPi, false},
    };
    for (const Case& c : cases) {
        auto k = Circle();
        k->StartAngle = float(c.from);
        k->StopAngle = float(c.to);
        k->UpdateGrips();
        EXPECT_EQ(k->IsFull(), c.full) << c.name;
        EXPECT_EQ(k->ArcPointList(false).size() == 32, c.full) << c.name;
    }
}

TEST_F(ShapeTest, KreisArcAnglesSnapToHalfDegrees) {
    struct Case {
        const char* name;
        double dragged, stored; // degrees
    } cases[] = {
        {"10.3 goes up", 10.3, 10.5},
        {"10.6 goes down", 10.6, 10.5},
        {"near a full turn is zero", 359.9, 0},
        {"exact", 200, 200},
    };
    for (const Case& c : cases) {
        auto k = Circle();
        SetArc(*k, 90, 180);
        k->StartGrip = {float(100 + 80 * std::cos(c.dragged * kDeg)),
                        float(100 - 80 * std::sin(c.dragged * kDeg))};
        k->GripsChanged();
        EXPECT_NEAR(k->StartAngle, c.stored * kDeg, 1e-6) << c.name;
        EXPECT_NEAR(k->StopAngle, kPi, 1e-6) << c.name;
        // The grip goes back just outside the outline at the snapped angle.
        const TRPoint onOutline = k->OutlinePointAt(c.stored * kDeg);
        EXPECT_NEAR(Distance(k->Center, k->StartGrip),
                    Distance(k->Center, onOutline) * TKreis::kGripScale, 1e-3)
            << c.name;
        EXPECT_NEAR(AngleOf(k->Center, k->StartGrip), c.stored * kDeg, 1e-4) << c.name;
    }
    EXPECT_EQ(TKreis::SnapDegrees(10.25, 0.5), 10.0);
    EXPECT_EQ(TKreis::SnapDegrees(10.75, 0.5), 11.0);
    EXPECT_EQ(TKreis::SnapDegrees(10.3, 0), 10.3);
}

TEST_F(ShapeTest, KreisArcCoversItsSpanOnly) {
    auto k = Circle();
    SetArc(*k, 0, 90);
    const TRPointArray arc = k->ArcPointList(true);
    ASSERT_GE(arc.size(), 9u);
    ExpectNear(arc.front(), {150.25f, 100}, 1e-3, "exact start");
    ExpectNear(arc.back(), {100, 49.75f}, 1e-3, "exact stop");
    EXPECT_TRUE(AllIn(arc, k->Center, 1, -1));
    for (size_t i = 1; i < arc.size(); ++i)
        EXPECT_GE(AngleOf(k->Center, arc[i]) + 1e-6, AngleOf(k->Center, arc[i - 1])) << i;
    // An arc across angle zero walks on through it.
    SetArc(*k, 300, 30);
    const TRPointArray wrap = k->ArcPointList(false);
    EXPECT_TRUE(AllIn(wrap, k->Center, 1, 0));
    EXPECT_GT(wrap.size(), 8u);
}

TEST_F(ShapeTest, KreisTransformsKeepTheArcOnTheSameSide) {
    struct Case {
        const char* name;
        void (*apply)(TKreis&);
        int sx, sy; // quadrant the upper-right quarter arc must end up in
    } cases[] = {
        {"mirror left-right",
         [](TKreis& k) {
             k.MirrorX({100, 0});
         },
         -1, -1},
        {"mirror top-bottom",
         [](TKreis& k) {
             k.MirrorY({0, 100});
         },
         1, 1},
        {"negative scale",
         [](TKreis& k) {
             k.ScaleAt({100, 100}, -1, 1);
         },
         -1, -1},
        {"quarter turn clockwise",
         [](TKreis& k) {
             k.RotateAt({100, 100}, kPi / 2);
         },
         1, 1},
        {"moved",
         [](TKreis& k) {
             k.MoveBy({0, 0});
         },
         1, -1},
    };
    for (const Case& c : cases) {
        auto k = Circle();
        SetArc(*k, 0, 90);
        c.apply(*k);
        ExpectNear(k->Center, {100, 100}, 1e-3, c.name);
        EXPECT_FALSE(k->IsFull()) << c.name;
        const TRPointArray arc = k->ArcPointList(false);
        EXPECT_TRUE(AllIn(arc, k->Center, c.sx, c.sy)) << c.name;
        EXPECT_GE(arc.size(), 9u) << c.name;
        double span = k->StopAngle - k->StartAngle;
        if (span < 0) span += 2 * kPi;
        EXPECT_NEAR(span, kPi / 2, 1e-4) << c.name;
    }
}

TEST_F(ShapeTest, KreisRadii) {
    auto tilted = Ellipse({0, 0, 100, 60});
    tilted->RotateAt(tilted->Center, 30 * kDeg);
    TKreis::TRadii r = tilted->Radii();
    EXPECT_NEAR(r.X, 50, 1e-3);
    EXPECT_NEAR(r.Y, 30, 1e-3);
    // Sheared: points 0 and 8 are no longer at right angles, so the extremes are reported.
    auto sheared = Circle();
    sheared->ShearAt(sheared->Center, 0.5, 0);
    double lo = 1e9, hi = 0;
    for (const TRPoint& p : sheared->Outline) {
        lo = std::min(lo, Distance(sheared->Center, p));
        hi = std::max(hi, Distance(sheared->Center, p));
    }
    r = sheared->Radii();
    EXPECT_NEAR(std::min(r.X, r.Y), lo, 1e-4);
    EXPECT_NEAR(std::max(r.X, r.Y), hi, 1e-4);
    EXPECT_GT(hi - lo, 10);
    // Setting a radius turns the ellipse onto its axis, scales and turns it back.
    tilted->SetRadiusX(20);
    r = tilted->Radii();
    EXPECT_NEAR(r.X, 20, 1e-2);
    EXPECT_NEAR(r.Y, 30, 1e-2);
    EXPECT_NEAR(AngleOf(tilted->Center, tilted->Outline[0]), 2 * kPi - 30 * kDeg, 1e-3);
    ExpectNear(tilted->Center, {50, 30}, 1e-3, "centre stays");
    tilted->SetRadiusY(0);
    EXPECT_NEAR(tilted->Radii().Y, 0.1, 1e-3);
}

TEST_F(ShapeTest, KreisTooSmallIsRebuiltKeepingItsArc) {
    auto k = Ellipse({0, 0, 100, 60});
    SetArc(*k, 0, 90);
    k->ScaleAt(k->Center, 0, 1);
    const TKreis::TRadii r = k->Radii();
    EXPECT_NEAR(r.X, 0.1, 1e-4);
    EXPECT_NEAR(r.Y, 30, 1e-3);
    EXPECT_FALSE(k->IsFull());
    EXPECT_NEAR(k->StopAngle - k->StartAngle, kPi / 2, 1e-5);
}

TEST_F(ShapeTest, KreisHitTestsFollowTheArcStyle) {
    struct Case {
        const char* name;
        qint32 style;
        bool noLine, noFill;
        QPoint probe;
        bool hit;
    } cases[] = {
        {"chord: inside the segment", TKreis::asChord, true, false, {130, 70}, true},
        {"chord: between chord and centre", TKreis::asChord, true, false, {120, 80}, false},
        {"pie: between chord and centre", TKreis::asPie, true, false, {120, 80}, true},
        {"pie: opposite quarter", TKreis::asPie, true, false, {80, 120}, false},
        {"open arc outline: on the arc", TKreis::asArc, false, true, {135, 64}, true},
        {"open arc outline: on the missing chord", TKreis::asArc, false, true, {125, 75}, false},
        {"chord outline: on the chord", TKreis::asChord, false, true, {125, 75}, true},
        {"open arc outline: missing part of the circle",
         TKreis::asArc,
         false,
         true,
         {50, 100},
         false},
    };
    const TView view;
    for (const Case& c : cases) {
        auto k = Circle();
        SetArc(*k, 0, 90, c.style);
        k->NoLine = c.noLine;
        k->NoFill = c.noFill;
        EXPECT_EQ(k->HitPoint(view, c.probe), c.hit) << c.name;
    }
    auto full = Circle();
    full->NoFill = true;
    EXPECT_TRUE(full->HitPoint(view, {50, 100}));
    EXPECT_FALSE(full->HitPoint(view, {100, 100}));
    EXPECT_TRUE(full->HitRect(view, {40, 40, 160, 160}, true));
    EXPECT_FALSE(full->HitRect(view, {90, 90, 110, 110}, false)); // inside an unfilled circle
}

TEST_F(ShapeTest, KreisBoundsAndSnapPoints) {
    struct Case {
        const char* name;
        qint32 width;
        bool noLine;
        float widen;
    } cases[] = {
        {"width 5 widens by round(2.5) = 2", 5, false, 2},
        {"width 1 widens by at least 1", 1, false, 1},
        {"no outline, no widening", 8, true, 0},
    };
    for (const Case& c : cases) {
        auto k = Circle();
        SetArc(*k, 0, 90);
        k->LineWidth = c.width;
        k->NoLine = c.noLine;
        const TRRect b = k->GetBounds();
        // The arc from (150, 100) to (100, 50), and the grips just outside it.
        EXPECT_NEAR(b.Left, 100 - c.widen, 1e-3) << c.name;
        EXPECT_NEAR(b.Top, 49.75 - c.widen, 1e-3) << c.name;
        EXPECT_NEAR(b.Right, 150.25 + c.widen, 1e-3) << c.name;
        EXPECT_NEAR(b.Bottom, 100 + c.widen, 1e-3) << c.name;
    }
    const TView view;
    auto k = Circle();
    TRPoint p{147, 100};
    EXPECT_FALSE(k->SnapToPoint(view, p)); // a full ellipse offers its centre only
    p = {103, 98};
    EXPECT_TRUE(k->SnapToPoint(view, p));
    ExpectNear(p, {100, 100}, 1e-4, "centre");
    SetArc(*k, 0, 90);
    p = {147, 100};
    EXPECT_TRUE(k->SnapToPoint(view, p));
    ExpectNear(p, {150, 100}, 1e-3, "start point on the outline");
    std::vector<TRPoint*> points;
    k->AddSnapPoints(points);
    ASSERT_EQ(points.size(), 3u);
    ExpectNear(*points[1], {100, 50}, 1e-3, "stop point");
    std::vector<TRPoint*> grips;
    k->AddGrips(grips);
    ASSERT_EQ(grips.size(), 2u);
    EXPECT_EQ(grips[0], &k->StartGrip);
    // The grip rectangle covers the outline widened by half the width and 6 units.
    k->LineWidth = 4;
    EXPECT_EQ(k->GetGripScreenRect(view), (TIRect{40, 40, 160, 160}));
}

namespace {
QByteArray EllipseRecord(int version, bool noFill, qint32 count, int points, bool tail) {
    return Bytes([&](TStreamWriter& w) {
        WriteShapeHeader(w, false, noFill);
        if (version > 59) {
            w.WriteI32(count);
            for (int i = 0; i < points; ++i)
                WritePoint(w, float(100 + 50 * std::cos(i * kPi / 2)),
                           float(100 - 50 * std::sin(i * kPi / 2)));
            WritePoint(w, 100, 100);
        } else {
            for (float v : {50.4f, 49.6f, 150.f, 150.f})
                w.WriteF32(v);
        }
        w.WriteF32(0);
        w.WriteF32(float(kPi / 2));
        if (tail && version >= 70) {
            w.WriteBool(true);
            w.WriteI32(0x00FF00);
            w.WriteI32(4);
        }
    });
}
} // namespace

TEST_F(ShapeTest, KreisRecords) {
    auto k = Ellipse({10.5f, 20.25f, 110, 80});
    k->RotateAt({0, 0}, 0.4);
    SetArc(*k, 15, 200, TKreis::asPie);
    k->NoFill = false;
    k->FillStyle = 7;
    k->TwoColor = true;
    k->ShapePenStyle = 5;
    k->InnerStripe = true;
    k->HatchWidth = 2;
    k->HatchDistance = 30;
    const QByteArray saved = SaveRecord(*k);
    ASSERT_EQ(saved.size(), 23 + 4 + 32 * 8 + 8 + 8 + 9 + 4 + 18);
    // Count minus one, then the points, directly after the header.
    TStreamReader peek(saved.mid(23, 8));
    EXPECT_EQ(peek.ReadI32(), 31);
    EXPECT_EQ(peek.ReadF32(), k->Outline[0].X);
    auto back = LoadRecord<TKreis>(saved);
    EXPECT_EQ(SaveRecord(*back).toHex(), saved.toHex());
    ExpectNear(back->StartGrip, k->StartGrip, 1e-3, "grips from the angles");
    EXPECT_EQ(back->ArcStyle, TKreis::asPie);

    struct Case {
        const char* name;
        int version;
        QByteArray bytes;
        size_t outline;
        qint32 arcStyle;
        bool twoColor;
    } cases[] = {
        {"75, filled: chord", 75, EllipseRecord(75, false, 3, 4, true), 4, TKreis::asChord, true},
        {"75, unfilled: open arc", 75, EllipseRecord(75, true, 3, 4, true), 4, TKreis::asArc, true},
        {"65: no two-colour fields", 65, EllipseRecord(65, false, 3, 4, false), 4, TKreis::asChord,
         false},
        {"59: built from its rounded box", 59, EllipseRecord(59, true, 0, 0, false), 32,
         TKreis::asArc, false},
        {"count -1: no outline", 75, EllipseRecord(75, true, -1, 0, true), 0, TKreis::asArc, true},
    };
    for (const Case& c : cases) {
        auto e = LoadRecord<TKreis>(c.bytes, c.version);
        EXPECT_EQ(e->Outline.size(), c.outline) << c.name;
        EXPECT_EQ(e->HasOutline(), c.outline > 0) << c.name;
        EXPECT_EQ(e->ArcStyle, c.arcStyle) << c.name;
        EXPECT_EQ(e->TwoColor, c.twoColor) << c.name;
        EXPECT_EQ(e->ShapePenStyle, c.twoColor ? 4 : 0) << c.name;
        EXPECT_EQ(e->HatchWidth, 1) << c.name;
        EXPECT_EQ(e->HatchDistance, 20) << c.name;
        EXPECT_FLOAT_EQ(e->StopAngle, float(kPi / 2)) << c.name;
        if (c.outline > 0) {
            ExpectNear(e->Center, {100, 100}, 1e-4, c.name);
            EXPECT_FALSE(e->IsFull()) << c.name;
            ExpectNear(e->StopGrip, {100, float(100 - 50 * TKreis::kGripScale)}, 1e-3, c.name);
        }
    }
    // A count larger than the record is refused before anything is allocated.
    TKreis huge;
    TStreamReader reader(EllipseRecord(80, true, 0x7FFFFFF0, 4, false));
    EXPECT_THROW(huge.LoadFromStream(reader), LoadError);
}
