#include "elements/Bezier.h"
#include "elements/MyD2D.h"
#include "elements/Polyline.h"
#include "elements/SVG_Export.h"
#include "platform/stream.h"

#include <QImage>
#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>

namespace {
constexpr double kPi = 3.14159265358979323846;

// Restores the three tool styles after a test changed them.
struct StyleGuard {
    TLineStyle poly = g_PolyLineStyle, bez = g_BezierStyle, free = g_FreehandStyle;
    ~StyleGuard() {
        g_PolyLineStyle = poly;
        g_BezierStyle = bez;
        g_FreehandStyle = free;
    }
};

QByteArray save(const TElement& e) {
    QByteArray b;
    TStreamWriter w(&b);
    e.SaveToStream(w);
    return b;
}

// A line record as a file of the given version stores it.
QByteArray lineRecord(int version, bool polyline, const TRPointArray& pts, qint32 endSize) {
    QByteArray b;
    TStreamWriter w(&b);
    w.WriteBool(false);
    w.WriteBool(true);
    w.WriteI32(3);        // LineWidth
    w.WriteI32(0x112233); // LineColor
    w.WriteU8(2);         // PenStyle
    w.WriteZeros(3);
    w.WriteI32(clWhite);
    w.WriteU8(0);
    w.WriteZeros(3);
    w.WriteBool(false); // FormLayer
    w.WriteI32(qint32(pts.size()) - 1);
    for (TRPoint p : pts) {
        w.WriteF32(p.X);
        w.WriteF32(p.Y);
    }
    if (!polyline || version >= 50) {
        w.WriteI32(0x00FF00);
        w.WriteBool(true);
    }
    if (!polyline || version >= 60) {
        w.WriteU8(leArrowFilled);
        w.WriteU8(leCircleWhite);
        w.WriteI32(endSize);
    }
    if (version >= 80) {
        w.WriteBool(true);
        w.WriteBool(true);
        w.WriteI32(0x010203);
        w.WriteI32(0x040506);
    }
    return b;
}

template <class T> std::unique_ptr<T> load(const QByteArray& bytes, int version) {
    TFileVersionScope scope(version);
    auto e = std::make_unique<T>();
    TStreamReader r(bytes);
    e->LoadFromStream(r);
    EXPECT_TRUE(r.AtEnd()) << "record read to its end";
    return e;
}

int inkCount(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += (img.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
    return n;
}
} // namespace

TEST(Lines, FactoryCreatesLineTypesWithTheirToolStyles) {
    StyleGuard guard;
    g_PolyLineStyle.LineWidth = 7;
    g_PolyLineStyle.FinishEnd = leBar;
    g_BezierStyle.LineColor = 0x0000FF;
    g_BezierStyle.CrossStripes = true;

    const TElementPtr poly = ElementFactory(0x84);
    ASSERT_TRUE(poly);
    EXPECT_EQ(poly->TypeCode, etPolyLine);
    EXPECT_EQ(poly->LineWidth, 7);
    EXPECT_EQ(static_cast<TPolyLine&>(*poly).FinishEnd, leBar);

    const TElementPtr bez = ElementFactory(etBezier);
    ASSERT_TRUE(bez);
    EXPECT_EQ(bez->LineColor, 0x0000FF);
    EXPECT_TRUE(bez->CrossStripes);
    EXPECT_EQ(bez->LineWidth, 2); // the polyline style is not the Bezier style

    ASSERT_TRUE(ElementFactory(etLinie));
    EXPECT_EQ(ElementFactory(etLinie)->TypeCode, etLinie);

    bez->ResetStyle();
    EXPECT_EQ(static_cast<TBezier&>(*bez).Style(), TLineStyle{});
    const TLineStyle factory = static_cast<TBezier&>(*bez).Style();
    EXPECT_EQ(factory.InnerStripeColor, 0x00FFFF);
    EXPECT_EQ(factory.CrossStripeColor, 0xFF0000);
    EXPECT_EQ(factory.EndSize, 2);
    EXPECT_EQ(factory.LineColor2, 255);
}

TEST(Lines, RecordsRoundTripByteForByte) {
    TPolyLine p;
    p.Points = {{1.25f, -2.5f}, {300.75f, 40}, {-7, 1e6f}};
    p.LineWidth = 9;
    p.LineColor = 0x123456;
    p.PenStyle = 4;
    p.FillColor = 0x0A0B0C;
    p.FillStyle = 5;
    p.NoLine = true;
    p.Reserved1[1] = 0x77; // unknown bytes survive
    p.FormLayer = true;
    p.TwoColor = true;
    p.LineColor2 = 0x00AA00;
    p.StartEnd = leArrowReversed;
    p.FinishEnd = leSquareFilled;
    p.EndSize = 5;
    p.InnerStripe = true;
    p.CrossStripes = true;
    p.InnerStripeColor = 0x101010;
    p.CrossStripeColor = 0x202020;
    const QByteArray bytes = save(p);
    EXPECT_EQ(bytes.size(), 23 + 4 + 3 * 8 + 4 + 1 + 1 + 1 + 4 + 1 + 1 + 4 + 4);
    const auto back = load<TPolyLine>(bytes, 80);
    EXPECT_EQ(back->Points, p.Points);
    EXPECT_EQ(back->Style(), p.Style());
    EXPECT_EQ(save(*back), bytes);

    TBezier b;
    b.Points = {{0, 0}, {10, 50}, {20, 50}, {30, 0}, {40, -9}, {50, 3}, {60, 0}, {70, 7}};
    b.TwoColor = true;
    b.PenStyle = 1;
    b.StartEnd = leDiamondWhite;
    const QByteArray bb = save(b);
    const auto bback = load<TBezier>(bb, 80);
    EXPECT_EQ(bback->Points.size(), 8u); // the eighth point is kept and saved
    EXPECT_EQ(save(*bback), bb);

    TLinie l;
    l.P1 = {3, 4};
    l.P2 = {-5, 6};
    l.LineWidth = 4;
    const QByteArray lb = save(l);
    EXPECT_EQ(lb.size(), 23 + 16);
    EXPECT_EQ(save(*load<TLinie>(lb, 40)), lb);
}

TEST(Lines, OlderVersionsLoadWithTheirRules) {
    StyleGuard guard;
    g_PolyLineStyle.InnerStripeColor = 0x0000AA; // constructor values the old files keep
    g_PolyLineStyle.CrossStripeColor = 0x00AA00;
    const TRPointArray pts{{10.4f, 20.6f}, {30.5f, 41.5f}};
    struct Case {
        const char* name;
        int version;
        qint32 storedEndSize;
        bool rounded;
        qint32 color2;
        bool twoColor;
        quint8 start, finish;
        qint32 endSize;
        bool stripes;
        qint32 innerColor;
    } cases[] = {
        {"v49: no second colour, no ends", 49, 0, true, 255, false, 0, 0, 2, false, 0x0000AA},
        {"v59: rounded points, no ends", 59, 0, true, 0x00FF00, true, 0, 0, 2, false, 0x0000AA},
        {"v60: fractions kept, size 1 is 2", 60, 1, false, 0x00FF00, true, 2, 4, 2, false,
         0x0000AA},
        {"v79: size 2 is 4", 79, 2, false, 0x00FF00, true, 2, 4, 4, false, 0x0000AA},
        {"v79: size 3 stays", 79, 3, false, 0x00FF00, true, 2, 4, 3, false, 0x0000AA},
        {"v80: stored as is", 80, 1, false, 0x00FF00, true, 2, 4, 1, true, 0x010203},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto p =
            load<TPolyLine>(lineRecord(c.version, true, pts, c.storedEndSize), c.version);
        ASSERT_EQ(p->Points.size(), 2u);
        if (c.rounded) {
            EXPECT_EQ(p->Points[0], (TRPoint{10, 21}));
            EXPECT_EQ(p->Points[1], (TRPoint{30, 42})); // halves to even
        } else {
            EXPECT_EQ(p->Points, pts);
        }
        EXPECT_EQ(p->LineColor2, c.color2);
        EXPECT_EQ(p->TwoColor, c.twoColor);
        EXPECT_EQ(p->StartEnd, c.start);
        EXPECT_EQ(p->FinishEnd, c.finish);
        EXPECT_EQ(p->EndSize, c.endSize);
        EXPECT_EQ(p->InnerStripe, c.stripes);
        EXPECT_EQ(p->CrossStripes, c.stripes);
        EXPECT_EQ(p->InnerStripeColor, c.innerColor);
        // Saved again, every field of the current layout is written.
        EXPECT_EQ(save(*p).size(), lineRecord(80, true, pts, 0).size());
    }
}

TEST(Lines, BezierReadsEndsFromEveryVersion) {
    const TRPointArray pts{{0.4f, 0}, {10, 20.6f}, {20, 20}, {30, 0}};
    struct Case {
        int version;
        qint32 stored, want;
    } cases[] = {{40, 1, 2}, {59, 2, 4}, {79, 2, 4}, {80, 2, 2}};
    for (const Case& c : cases) {
        const auto b = load<TBezier>(lineRecord(c.version, false, pts, c.stored), c.version);
        EXPECT_EQ(b->Points, pts) << c.version; // never rounded
        EXPECT_EQ(b->StartEnd, leArrowFilled) << c.version;
        EXPECT_EQ(b->LineColor2, 0x00FF00) << c.version;
        EXPECT_EQ(b->EndSize, c.want) << c.version;
        EXPECT_EQ(b->InnerStripe, c.version >= 80);
    }
}

TEST(Lines, DamagedRecordsFailCleanly) {
    QByteArray bytes = lineRecord(80, true, {{1, 2}, {3, 4}}, 2);
    for (int cut : {5, 30, int(bytes.size()) - 1}) {
        TPolyLine p;
        TStreamReader r(bytes.left(cut));
        EXPECT_THROW(p.LoadFromStream(r), LoadError) << cut;
    }
    // An impossible point count is refused before anything is allocated.
    QByteArray huge = bytes.left(23);
    TStreamWriter w(&huge);
    w.WriteI32(0x7FFFFFFF);
    TBezier b;
    TStreamReader r(huge);
    EXPECT_THROW(b.LoadFromStream(r), LoadError);
    // A negative count is an empty line (the list reader drops it).
    QByteArray empty = bytes.left(23);
    TStreamWriter w2(&empty);
    w2.WriteI32(-5);
    w2.WriteZeros(4 + 1 + 1 + 1 + 4 + 1 + 1 + 4 + 4);
    const auto p = load<TPolyLine>(empty, 80);
    EXPECT_EQ(p->PointCount(), 0);
}

TEST(Lines, LegacyLineConvertsToAPolyline) {
    StyleGuard guard;
    g_PolyLineStyle.TwoColor = true;
    g_PolyLineStyle.InnerStripe = true;
    g_PolyLineStyle.StartEnd = leArrowFilled;
    g_PolyLineStyle.EndSize = 4;

    QByteArray bytes;
    {
        TStreamWriter w(&bytes);
        w.WriteBool(true);
        w.WriteBool(false);
        w.WriteI32(5);
        w.WriteI32(0x0000FF);
        w.WriteU8(3);
        w.WriteRaw("\x01\x02\x03", 3);
        w.WriteI32(0x00FF00);
        w.WriteU8(6);
        w.WriteRaw("\x04\x05\x06", 3);
        w.WriteBool(true);
        for (float v : {10.4f, 20.5f, 30.6f, -1.5f})
            w.WriteF32(v);
    }
    const auto l = load<TLinie>(bytes, 40);
    EXPECT_EQ(l->P1, (TRPoint{10, 20}));
    EXPECT_EQ(l->P2, (TRPoint{31, -2}));

    const std::unique_ptr<TPolyLine> p = ConvertLegacyLine(*l);
    EXPECT_EQ(p->Points, (TRPointArray{{10, 20}, {31, -2}}));
    EXPECT_TRUE(p->NoLine);
    EXPECT_FALSE(p->NoFill);
    EXPECT_EQ(p->LineWidth, 5);
    EXPECT_EQ(p->LineColor, 0x0000FF);
    EXPECT_EQ(p->PenStyle, 3);
    EXPECT_EQ(p->FillColor, 0x00FF00);
    EXPECT_EQ(p->FillStyle, 6);
    EXPECT_TRUE(p->FormLayer);
    EXPECT_EQ(p->StartEnd, leNone);
    EXPECT_EQ(p->FinishEnd, leNone);
    EXPECT_EQ(p->EndSize, 2);
    EXPECT_TRUE(p->TwoColor) << "two-colour and stripes come from the polyline tool";
    EXPECT_TRUE(p->InnerStripe);
    // The converted line's header bytes equal the legacy ones.
    EXPECT_EQ(save(*p).left(23), bytes.left(23));
}

TEST(Lines, LineEndGeometry) {
    TLineEnd e;
    e.E = {100, 0};
    e.N = {0, 0};
    e.LineWidth = 2;
    e.EndSize = 2;
    EXPECT_DOUBLE_EQ(e.Size(), 6);
    e.Style = leArrowFilled;
    TRPointArray a = e.Points();
    ASSERT_EQ(a.size(), 3u);
    EXPECT_EQ(a[1], e.E);
    EXPECT_NEAR(e.E.X - a[0].X, 20.4, 1e-4);             // length
    EXPECT_NEAR(std::fabs(a[2].Y - a[0].Y), 10.8, 1e-4); // width

    struct Case {
        int style;
        size_t points;
        bool open, white;
    } cases[] = {{0, 0, false, false},  {1, 3, false, true},   {2, 3, false, false},
                 {3, 3, true, false},   {4, 33, false, true},  {5, 33, false, false},
                 {6, 4, false, true},   {7, 4, false, false},  {8, 4, false, true},
                 {9, 4, false, false},  {10, 2, true, false},  {11, 3, false, false},
                 {12, 0, false, false}, {200, 0, false, false}};
    for (const Case& c : cases) {
        e.Style = c.style;
        EXPECT_EQ(e.Points().size(), c.points) << c.style;
        if (!c.points) continue;
        EXPECT_EQ(e.Open(), c.open) << c.style;
        EXPECT_EQ(e.WhiteFill(), c.white) << c.style;
    }
    // The circle touches the point one unit beyond E; the bar stands there.
    e.Style = leCircleFilled;
    const TRRect circle = BoundsOf(e.Points());
    EXPECT_NEAR(circle.Right, 101, 1e-3);
    EXPECT_NEAR(circle.Left, 101 - 12, 1e-3);
    e.Style = leBar;
    a = e.Points();
    EXPECT_EQ(a[0], (TRPoint{101, 6}));
    EXPECT_EQ(a[1], (TRPoint{101, -6}));
    // Reversed arrow: tip back along the line at E - 3.4 s.
    e.Style = leArrowReversed;
    EXPECT_NEAR(e.Points()[1].X, 100 - 20.4, 1e-4);
    // Sizes XS .. XXL.
    const double want[] = {3, 6 / 1.42, 6, 6 * 1.42, 12, 18};
    for (int i = 0; i < 6; ++i) {
        e.EndSize = i;
        EXPECT_NEAR(e.Size(), want[i], 1e-9) << i;
    }
}

TEST(Lines, BoundsIncludeWidthAndEnds) {
    TPolyLine p;
    p.ResetStyle();
    p.Points = {{0, 0}, {100, 0}};
    p.LineWidth = 1;
    EXPECT_EQ(p.GetBounds(), (TRRect{-1, -1, 101, 1})); // at least one unit
    p.LineWidth = 2;
    p.FinishEnd = leArrowFilled;
    const TRRect r = p.GetBounds();
    EXPECT_NEAR(r.Bottom, 5.4 + 1, 1e-4);
    EXPECT_NEAR(r.Top, -5.4 - 1, 1e-4);
    g_BoundsWithoutWidth = true;
    p.FinishEnd = leNone;
    EXPECT_EQ(p.GetBounds(), (TRRect{0, 0, 100, 0}));
    g_BoundsWithoutWidth = false;

    TBezier b;
    b.ResetStyle();
    EXPECT_EQ(b.GetBounds(), (TRRect{0, 0, 0, 0}));
    b.Points = {{5, 6}, {50, 60}};
    EXPECT_EQ(b.GetBounds(), (TRRect{5, 6, 5, 6}));
    // The curve reaches three quarters of its control height.
    b.Points = {{0, 0}, {0, 100}, {100, 100}, {100, 0}};
    const TRRect br = b.GetBounds();
    EXPECT_NEAR(br.Bottom, 75 + 1, 0.1);
    EXPECT_NEAR(br.Top, -1, 0.1);
    EXPECT_NEAR(br.Left, -1, 0.1);
    b.Points[1].Y = b.Points[2].Y = 200; // moved through grips: bounds follow
    EXPECT_NEAR(b.GetBounds().Bottom, 150 + 1, 0.1);
}

TEST(Lines, HitTests) {
    TView v; // zoom 1
    TPolyLine p;
    p.ResetStyle();
    p.LineWidth = 0;
    p.Points = {{0, 100}, {200, 100}, {200, 300}};
    EXPECT_TRUE(p.HitPoint(v, {100, 103})); // within 4 px of a thin line
    EXPECT_FALSE(p.HitPoint(v, {100, 106}));
    EXPECT_EQ(p.SegmentAt(v, {100, 101}), 0);
    EXPECT_EQ(p.SegmentAt(v, {201, 200}), 1);
    EXPECT_EQ(p.SegmentAt(v, {50, 50}), -1);
    TPolyLine two;
    two.Points = {{0, 0}, {100, 0}};
    EXPECT_EQ(two.SegmentAt(v, {50, 0}), -1) << "two-point lines have no segments to pick";

    // A line end on a width-0 line is hit near its outline.
    p.StartEnd = leCircleFilled; // radius 2 around (1, 100) with s = 2 for width 0
    TLineEnd end = p.StartLineEnd();
    const TRRect eb = BoundsOf(end.Points());
    EXPECT_TRUE(p.HitPoint(v, {-4, 100}));
    EXPECT_FALSE(TPolyLine().HitPoint(v, {-4, 100}));
    EXPECT_LT(eb.Left, 0);

    // Rectangles: touching and enclosing, with ends taking part.
    p.StartEnd = leNone;
    EXPECT_TRUE(p.HitRect(v, {90, 90, 110, 110}, false));
    EXPECT_FALSE(p.HitRect(v, {90, 90, 110, 110}, true));
    EXPECT_TRUE(p.HitRect(v, {-20, 80, 220, 320}, true));
    p.FinishEnd = leArrowFilled; // arrow below (200, 300) pokes out of the rectangle
    p.LineWidth = 10;
    EXPECT_FALSE(p.HitRect(v, {-20, 80, 220, 320}, true));
    EXPECT_TRUE(p.HitRect(v, {-20, 80, 240, 400}, true));

    TBezier b;
    b.ResetStyle();
    b.Points = {{0, 0}, {0, 100}, {100, 100}, {100, 0}};
    EXPECT_TRUE(b.HitPoint(v, {50, 75}));
    EXPECT_FALSE(b.HitPoint(v, {50, 50}));
    EXPECT_TRUE(b.HitRect(v, {40, 70, 60, 80}, false));
    EXPECT_FALSE(b.HitRect(v, {40, 40, 60, 60}, false));
}

TEST(Lines, SnappingToLinePoints) {
    TView v;
    TPolyLine p;
    p.ResetStyle();
    p.Points = {{0, 0}, {50, 0}, {100, 0}};
    TRPoint q{52, 3};
    EXPECT_TRUE(p.SnapToPoint(v, q));
    EXPECT_EQ(q, (TRPoint{50, 0}));
    q = {52, 3};
    g_ElementSwitches.SnapEndPointsOnly = true;
    EXPECT_FALSE(p.SnapToPoint(v, q)) << "only the ends while a component is snapped";
    q = {97, 3};
    EXPECT_TRUE(p.SnapToPoint(v, q));
    EXPECT_EQ(q, (TRPoint{100, 0}));
    g_ElementSwitches.SnapEndPointsOnly = false;
    g_ElementSwitches.SuspendElementSnap = true;
    q = {50, 1};
    EXPECT_FALSE(p.SnapToPoint(v, q));
    g_ElementSwitches.SuspendElementSnap = false;

    TBezier b;
    b.ResetStyle();
    b.Points = {{0, 0}, {50, 0}, {60, 0}, {100, 0}};
    q = {51, 1};
    EXPECT_FALSE(b.SnapToPoint(v, q)) << "control points are not snap points";
    q = {3, 1};
    EXPECT_TRUE(b.SnapToPoint(v, q));
    EXPECT_EQ(q, (TRPoint{0, 0}));
    std::vector<TRPoint*> snaps;
    b.AddSnapPoints(snaps);
    EXPECT_EQ(snaps.size(), 2u);
    std::vector<TRPoint*> grips;
    b.AddGrips(grips);
    ASSERT_EQ(grips.size(), 4u);
    *grips[2] = {70, 5}; // the editor writes through the grip
    EXPECT_EQ(b.Points[2], (TRPoint{70, 5}));
}

TEST(Lines, TransformsApplyToEveryPoint) {
    TPolyLine p;
    p.Points = {{10, 0}, {20, 5}};
    p.RotateAt({0, 0}, kPi / 2);
    EXPECT_NEAR(p.Points[0].X, 0, 1e-4);
    EXPECT_NEAR(p.Points[0].Y, 10, 1e-4);
    p.MirrorX({5, 0});
    EXPECT_NEAR(p.Points[1].X, 10 + 5, 1e-4);
    p.MoveBy({1, 1});
    p.ScaleAt({0, 0}, 2, 3);
    p.ShearAt({0, 0}, 0.005, -0.009); // below the threshold
    EXPECT_NEAR(p.Points[1].X, 32, 1e-3);
    EXPECT_NEAR(p.Points[1].Y, 63, 1e-3);
    EXPECT_EQ(p.GetRefPoint(), p.Points[0]);
}

TEST(Lines, DrawingOnPixels) {
    for (bool smooth : {false, true}) {
        // A Bezier curve with fewer than four points draws nothing; with eight it draws two
        // segments, the eighth point ignored.
        QImage img(300, 200, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter painter(&img);
        TDrawContext dc(painter, TView{}, smooth);
        TBezier b;
        b.ResetStyle();
        b.Points = {{10, 10}, {40, 10}};
        b.Draw(dc);
        EXPECT_EQ(inkCount(img), 0);
        b.Points = {{10, 100}, {30, 50},   {50, 50},   {70, 100},
                    {90, 150}, {110, 150}, {130, 100}, {290, 190}};
        b.Draw(dc);
        painter.end();
        EXPECT_GT(inkCount(img), 150);
        for (int x = 140; x < 300; ++x)
            for (int y = 0; y < 200; ++y)
                ASSERT_EQ(img.pixel(x, y) & 0xFFFFFF, 0xFFFFFFu) << "nothing past point 6";
    }
    // A filled arrow at the finish, a white square at the start; selected lines draw both in
    // the main selection colour.
    QImage img(300, 100, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter painter(&img);
    TDrawContext dc(painter, TView{}, false);
    TPolyLine p;
    p.ResetStyle();
    p.LineWidth = 4;
    p.StartEnd = leSquareWhite;
    p.FinishEnd = leArrowFilled;
    p.Points = {{40, 50}, {260, 50}};
    p.SetSelected(true);
    p.Draw(dc);
    painter.end();
    const QRgb main = ToQColor(g_SelectionColors.Main).rgb();
    EXPECT_EQ(img.pixel(250, 52), main); // inside the arrow head
    EXPECT_EQ(img.pixel(250, 46), main);
    // The square sits on the line between the end point and 2 s back along it.
    EXPECT_EQ(img.pixel(49, 45) & 0xFFFFFF, 0xFFFFFFu); // white inside, over the line
    EXPECT_EQ(img.pixel(39, 45), main);                 // its outline
    EXPECT_EQ(img.pixel(33, 50) & 0xFFFFFF, 0u);        // nothing beyond it
}

TEST(Lines, NodeEditMarkerAndControlPolygon) {
    QImage img(200, 200, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter painter(&img);
    TDrawContext dc(painter, TView{}, false);
    TPolyLine p;
    p.ResetStyle();
    p.Points = {{10, 10}, {100, 10}, {100, 100}};
    dc.NodeEditElement = &p;
    dc.NodeEditIndex = 1;
    p.Draw(dc);
    TBezier b;
    b.ResetStyle();
    b.Points = {{10, 150}, {10, 190}, {190, 190}, {190, 150}};
    b.SetSelected(true);
    b.Draw(dc);
    painter.end();
    const QRgb marker = ToQColor(clMarker).rgb();
    EXPECT_EQ(img.pixel(100, 10), marker);
    EXPECT_EQ(img.pixel(100, 60), marker) << "neighbouring segment marked";
    int markerOnLeg = 0;
    for (int y = 151; y < 185; ++y)
        markerOnLeg += img.pixel(10, y) == marker;
    EXPECT_GT(markerOnLeg, 5) << "control polygon of a selected curve";
}

TEST(Lines, SvgOutput) {
    TPolyLine p;
    p.ResetStyle();
    p.Points = {{1.234f, 2}, {100, -0.5f}};
    p.LineWidth = 6;
    p.PenStyle = 2;
    p.TwoColor = true;
    p.LineColor2 = 0x0000FF;
    p.InnerStripe = true;
    p.CrossStripes = true;
    p.FinishEnd = leBar;
    p.StartEnd = leArrowWhite;
    TSVG svg;
    p.WriteSvg(svg);
    EXPECT_EQ(svg.CoordFactor, 1);
    const QStringList want = {
        "<polyline points=\"1.23 2.00 100.00 -0.50\" fill=\"none\" stroke=\"rgb(255,0,0)\" "
        "stroke-width=\"6\"/>",
        "<polyline points=\"1.23 2.00 100.00 -0.50\" fill=\"none\" stroke=\"rgb(0,0,0)\" "
        "stroke-width=\"6\" stroke-dasharray=\"48,30\"/>",
        "<polyline points=\"1.23 2.00 100.00 -0.50\" fill=\"none\" stroke=\"rgb(255,255,0)\" "
        "stroke-width=\"2\"/>",
        "<polyline points=\"1.23 2.00 100.00 -0.50\" fill=\"none\" stroke=\"rgb(0,0,255)\" "
        "stroke-width=\"5\" stroke-dasharray=\"5,30\"/>",
    };
    ASSERT_EQ(svg.SvgLines.size(), 6);
    EXPECT_EQ(svg.SvgLines.mid(0, 4), want);
    // Arrow head: flank, tip at the first point, flank; filled white for style 1.
    EXPECT_TRUE(
        svg.SvgLines[4].startsWith("<polygon points=\"48.50 -11.80 1.23 2.00 49.14 13.39\""));
    EXPECT_TRUE(svg.SvgLines[4].contains(
        "fill=\"rgb(255,255,255)\" stroke=\"rgb(0,0,0)\" stroke-width=\"6\"/>"));
    EXPECT_EQ(svg.SvgLines[5], "<polyline points=\"101.35 13.47 100.65 -14.52\" fill=\"none\" "
                               "stroke=\"rgb(0,0,0)\" stroke-width=\"6\"/>");

    // A solid two-colour line writes one layer.
    p.PenStyle = 0;
    p.InnerStripe = p.CrossStripes = false;
    p.StartEnd = p.FinishEnd = leNone;
    TSVG one;
    p.WriteSvg(one);
    EXPECT_EQ(one.SvgLines.size(), 1);

    TBezier b;
    b.ResetStyle();
    b.LineWidth = 0;
    b.Points = {{0.4f, 0.6f}, {10, 20},  {30, 40},   {50, 60},
                {70, 80},     {90, 100}, {110, 120}, {1, 1}};
    TSVG bs;
    b.WriteSvg(bs);
    ASSERT_EQ(bs.SvgLines.size(), 1);
    EXPECT_EQ(
        bs.SvgLines[0],
        "<path fill=\"none\" stroke=\"rgb(0,0,0)\" stroke-width=\"1\" d=\" M 0 1 C 10 20 30 40 "
        "50 60 C 70 80 90 100 110 120\" />");
}

TEST(Lines, DamagedGeometryIsHarmless) {
    // A dashed line reaching a point far out of any sheet is drawn solid rather than cut into
    // billions of dashes (which would hold the program for minutes).
    for (bool smooth : {false, true}) {
        QImage img(200, 40, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter painter(&img);
        TView v;
        TDrawContext dc(painter, v, smooth);
        TPolyLine p;
        p.ResetStyle();
        p.LineWidth = 10;
        p.PenStyle = 1;
        p.Points = {{10, 20}, {1e7f, 20}}; // 170 000 dashes of 60 px
        p.Draw(dc);
        TPolyLine far;
        far.Points = {{10, 20}, {1e20f, 20}};
        far.PenStyle = 2;
        try {
            far.Draw(dc); // finishes, however it looks
        } catch (const RangeError&) {
            EXPECT_FALSE(smooth) << "only whole pixels can be out of range";
        }
        painter.end();
        for (int x = 20; x < 200; x += 7) // solid, no gaps
            EXPECT_LT(qRed(img.pixel(x, 20)), 200) << smooth << " " << x;
    }
    const float nan = std::nanf("");
    TBezier b;
    b.Points = {{nan, 0}, {1, 1}, {2, 2}, {3, nan}};
    const TRRect r = b.GetBounds(); // the painter refuses such points: no curve to bound
    EXPECT_TRUE(std::isnan(r.Left));
    TPolyLine p;
    p.Points = {{nan, nan}, {nan, 1}};
    TRPoint q{0, 0};
    EXPECT_FALSE(p.SnapToPoint(TView{}, q));
    EXPECT_EQ(q, (TRPoint{0, 0}));
}

TEST(Lines, BezierScreenRectCoversTheDrawnCurve) {
    TView v;
    v.ZoomX = v.ZoomY = 2;
    TBezier b;
    b.ResetStyle();
    b.Points = {{0, 0}, {0, 100}, {100, 100}, {100, 0}};
    b.FinishEnd = leArrowFilled;
    const TIRect screen = b.GetScreenRect(v);
    const TIRect drawn = v.RepaintRect(b.GetBounds()).Inflated(2);
    EXPECT_TRUE(screen.Contains(drawn));
    EXPECT_EQ(screen.Bottom, 204); // control points at 100, widened by one unit, plus 2 pixels
}
