#include "elements/Kreis.h"
#include "elements/Rechteck.h"
#include "elements/polygon.h"
#include "shape_test_util.h"

#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;

std::unique_ptr<TPolygon> Triangle() {
    return std::make_unique<TPolygon>(TRPointArray{{0, 0}, {100, 0}, {0, 100}});
}
} // namespace

TEST_F(ShapeTest, PolygonSegmentAtLeavesOutTheClosingEdge) {
    struct Case {
        const char* name;
        QPoint probe;
        int segment;
    } cases[] = {
        {"first edge", {50, 1}, 0},
        {"second edge", {50, 50}, 1},
        {"closing edge", {1, 50}, -1},
        {"inside, away from edges", {20, 20}, -1},
        {"shared corner goes to the first edge", {100, 0}, 0},
    };
    const TView view;
    auto t = Triangle();
    for (const Case& c : cases)
        EXPECT_EQ(t->SegmentAt(view, c.probe), c.segment) << c.name;
    TPolygon two(TRPointArray{{0, 0}, {100, 0}});
    EXPECT_EQ(two.SegmentAt(view, {50, 0}), -1);
}

TEST_F(ShapeTest, PolygonHitTests) {
    struct Case {
        const char* name;
        bool noLine, noFill;
        QPoint probe;
        bool hit;
    } cases[] = {
        {"filled inside", true, false, {20, 20}, true},
        {"filled outside", true, false, {80, 80}, false},
        {"outline on the closing edge", false, true, {2, 50}, true},
        {"outline inside is empty", false, true, {20, 20}, false},
    };
    const TView view;
    for (const Case& c : cases) {
        auto t = Triangle();
        t->NoLine = c.noLine;
        t->NoFill = c.noFill;
        EXPECT_EQ(t->HitPoint(view, c.probe), c.hit) << c.name;
    }
    auto t = Triangle();
    t->NoFill = false;
    EXPECT_FALSE(t->HitRect(view, {10, 10, 20, 20}, false)); // wholly inside, no edge crossed
    EXPECT_TRUE(t->HitRect(view, {-5, -5, 105, 105}, true));
    EXPECT_TRUE(t->HitRect(view, {90, -5, 120, 5}, false));
}

TEST_F(ShapeTest, PolygonRecords) {
    auto t = Triangle();
    t->Points[1] = {100.25f, -3.5f};
    t->TwoColor = true;
    t->LineColor2 = 0x00AA00;
    t->ShapePenStyle = 6;
    t->CrossStripes = true;
    t->CrossStripeColor = 0x0000AA;
    t->HatchDistance = 11;
    const QByteArray saved = SaveRecord(*t);
    ASSERT_EQ(saved.size(), 23 + 4 + 3 * 8 + 9 + 18);
    auto back = LoadRecord<TPolygon>(saved);
    EXPECT_EQ(SaveRecord(*back).toHex(), saved.toHex());
    EXPECT_EQ(back->Points, t->Points);

    auto points = [](int n) {
        return [n](TStreamWriter& w) {
            w.WriteI32(n - 1);
            for (int i = 0; i < n; ++i)
                WritePoint(w, 10.5f + i, 20.4f * i);
        };
    };
    struct Case {
        const char* name;
        int version;
        QByteArray bytes;
        int count;
        TRPoint second;
        bool twoColor;
    } cases[] = {
        {"two points load (the list reader drops them)",
         80,
         Bytes([&](TStreamWriter& w) {
             WriteShapeHeader(w);
             points(2)(w);
             w.WriteZeros(9 + 18);
         }),
         2,
         {11.5f, 20.4f},
         false},
        {"70: no stripes, hatch of old files",
         70,
         Bytes([&](TStreamWriter& w) {
             WriteShapeHeader(w);
             points(3)(w);
             w.WriteBool(true);
             w.WriteI32(0xABCDEF);
             w.WriteI32(1);
         }),
         3,
         {11.5f, 20.4f},
         true},
        {"59: whole units",
         59,
         Bytes([&](TStreamWriter& w) {
             WriteShapeHeader(w);
             points(3)(w);
         }),
         3,
         {12, 20},
         false},
        {"empty",
         80,
         Bytes([&](TStreamWriter& w) {
             WriteShapeHeader(w);
             w.WriteI32(-1);
             w.WriteZeros(9 + 18);
         }),
         0,
         {},
         false},
    };
    for (const Case& c : cases) {
        auto p = LoadRecord<TPolygon>(c.bytes, c.version);
        ASSERT_EQ(p->PointCount(), c.count) << c.name;
        if (c.count > 1) ExpectNear(p->Points[1], c.second, 1e-5, c.name);
        EXPECT_EQ(p->TwoColor, c.twoColor) << c.name;
        if (c.version < 80) {
            EXPECT_EQ(p->HatchWidth, 1) << c.name;
            EXPECT_EQ(p->HatchDistance, 20) << c.name;
            EXPECT_EQ(p->LineColor2, c.twoColor ? 0xABCDEF : 255) << c.name;
        }
    }
    TPolygon huge;
    TStreamReader reader(Bytes([](TStreamWriter& w) {
        WriteShapeHeader(w);
        w.WriteI32(1 << 28);
    }));
    EXPECT_THROW(huge.LoadFromStream(reader), LoadError);
}

// The three closed shapes share one style, the factory and the point transforms.
TEST_F(ShapeTest, ClosedShapesShareTheCurrentStyle) {
    TShapeStyle style;
    style.LineColor = 0x0000AA;
    style.FillColor = 0x00AA00;
    style.LineWidth = 9;
    style.FillStyle = 4;
    style.ShapePenStyle = 2;
    style.TwoColor = true;
    style.LineColor2 = 0x123456;
    style.NoLine = true;
    style.NoFill = false;
    style.InnerStripe = true;
    style.CrossStripes = true;
    style.InnerStripeColor = 1;
    style.CrossStripeColor = 2;
    style.HatchWidth = 3;
    style.HatchDistance = 40;
    g_ShapeStyle = style;
    const struct {
        quint8 code;
        quint8 type;
    } codes[] = {
        {etKreis, etKreis}, {0x81, etKreis}, {etRechteck, etRechteck}, {etPolygon, etPolygon}};
    for (const auto& c : codes) {
        TElementPtr e = ElementFactory(c.code);
        ASSERT_TRUE(e) << int(c.code);
        EXPECT_EQ(e->TypeCode, c.type);
        EXPECT_EQ(ShapeStyleOf(*e), style) << int(c.code);
        e->ResetStyle();
        EXPECT_EQ(ShapeStyleOf(*e), TShapeStyle{}) << int(c.code);
        EXPECT_EQ(e->InnerStripeColor, 0x00FFFF);
        EXPECT_EQ(e->HatchDistance, 20);
        e->ApplyCurrentStyle();
        EXPECT_EQ(ShapeStyleOf(*e), style) << int(c.code);
    }
    EXPECT_FALSE(ElementFactory(13));
}

TEST_F(ShapeTest, ClosedShapesTransformEveryPoint) {
    using Make = TElementPtr (*)();
    const struct {
        const char* name;
        Make make;
    } shapes[] = {
        {"rectangle",
         [] {
             return TElementPtr(std::make_unique<TRechteck>(TRRect{0, 0, 40, 20}));
         }},
        {"ellipse",
         [] {
             return TElementPtr(std::make_unique<TKreis>(TRRect{0, 0, 40, 20}));
         }},
        {"polygon",
         [] {
             return TElementPtr(
                 std::make_unique<TPolygon>(TRPointArray{{0, 0}, {40, 0}, {40, 20}, {0, 20}}));
         }},
    };
    struct Op {
        const char* name;
        void (*apply)(TElement&);
        TRRect bounds;        // of the 40 x 20 box, without the line width
        bool boxOnly = false; // an ellipse's bounds do not follow its box
    } ops[] = {
        {"move",
         [](TElement& e) {
             e.MoveBy({5, -5});
         },
         {5, -5, 45, 15}},
        {"scale",
         [](TElement& e) {
             e.ScaleAt({0, 0}, 2, 0.5);
         },
         {0, 0, 80, 10}},
        {"quarter turn",
         [](TElement& e) {
             e.RotateAt({0, 0}, kPi / 2);
         },
         {-20, 0, 0, 40}},
        {"mirror x",
         [](TElement& e) {
             e.MirrorX({0, 0});
         },
         {-40, 0, 0, 20}},
        {"mirror y",
         [](TElement& e) {
             e.MirrorY({0, 0});
         },
         {0, -20, 40, 0}},
        {"shear",
         [](TElement& e) {
             e.ShearAt({0, 0}, 1, 0);
         },
         {0, 0, 60, 20},
         true},
        {"tiny shear is nothing",
         [](TElement& e) {
             e.ShearAt({0, 0}, 0.005, -0.009);
         },
         {0, 0, 40, 20}},
    };
    g_BoundsWithoutWidth = true;
    for (const auto& s : shapes) {
        for (const Op& op : ops) {
            TElementPtr e = s.make();
            const bool round = s.name == std::string("ellipse");
            if (round && op.boxOnly) continue;
            op.apply(*e);
            const TRRect b = e->GetBounds();
            // The ellipse's bounds include its grips just outside the outline.
            const double tol = round ? 0.5 : 1e-3;
            EXPECT_NEAR(b.Left, op.bounds.Left, tol) << s.name << ": " << op.name;
            EXPECT_NEAR(b.Top, op.bounds.Top, tol) << s.name << ": " << op.name;
            EXPECT_NEAR(b.Right, op.bounds.Right, tol) << s.name << ": " << op.name;
            EXPECT_NEAR(b.Bottom, op.bounds.Bottom, tol) << s.name << ": " << op.name;
            if (auto* r = dynamic_cast<TRechteck*>(e.get()))
                ExpectNear(r->Center, Midpoint(r->Corners[0], r->Corners[2]), 1e-3, op.name);
            if (auto* k = dynamic_cast<TKreis*>(e.get())) {
                ExpectNear(k->Center,
                           {(op.bounds.Left + op.bounds.Right) / 2,
                            (op.bounds.Top + op.bounds.Bottom) / 2},
                           1e-3, op.name);
                EXPECT_TRUE(k->IsFull()) << op.name;
            }
        }
    }
    g_BoundsWithoutWidth = false;
}
