#include "elements/Kreis.h"
#include "elements/MyD2D.h"
#include "test_shape.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {
QImage canvas(int w = 320, int h = 120) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

bool inked(QRgb c) {
    return qRed(c) < 250 || qGreen(c) < 250 || qBlue(c) < 250;
}

// Alternating ink/no-ink run lengths along a row, starting with the first inked pixel.
std::vector<int> runs(const QImage& img, int y, int x0, int x1) {
    std::vector<int> r;
    int x = x0;
    while (x < x1 && !inked(img.pixel(x, y)))
        ++x;
    bool cur = true;
    int start = x;
    for (; x < x1; ++x) {
        const bool on = inked(img.pixel(x, y));
        if (on != cur) {
            r.push_back(x - start);
            start = x;
            cur = on;
        }
    }
    return r;
}

int inkedRows(const QImage& img, int x) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        n += inked(img.pixel(x, y)) ? 1 : 0;
    return n;
}

int countColor(const QImage& img, qint32 color) {
    const QRgb want = ToQColor(color).rgb();
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += (img.pixel(x, y) & 0xFFFFFF) == (want & 0xFFFFFF);
    return n;
}

QPainterPath line(const TDrawContext& dc, TRPoint a, TRPoint b) {
    QPainterPath p;
    p.moveTo(dc.Map(a));
    p.lineTo(dc.Map(b));
    return p;
}

struct TTestLine : TTestShape {
    TTestLine(int width, int dash) : TTestShape({}) {
        LineWidth = width;
        PenStyle = quint8(dash);
    }
};

TTestShape square(float l, float t, float r, float b) {
    return TTestShape({{l, t}, {r, t}, {r, b}, {l, b}});
}
} // namespace

TEST(Renderer, LineWidthPerMode) {
    struct Case {
        bool smooth;
        float zoom;
        double world;
        double px;
    } cases[] = {
        {false, 1, 0, 0},     // thinnest pen
        {false, 1, 1, 2},     // round(1.5)
        {false, 1, 2, 2},     // round(2.5), halves to even
        {false, 1, 3, 4},     // round(3.5)
        {false, 0.5f, 10, 6}, // round(5.5)
        {true, 1, 0, 0.5},    // minimum antialiased width
        {true, 0.3f, 1, 0.5}, {true, 0.591f, 2, 1.182},
    };
    QImage img = canvas(4, 4);
    QPainter p(&img);
    for (const Case& c : cases) {
        TView v;
        v.ZoomX = v.ZoomY = c.zoom;
        TDrawContext dc(p, v, c.smooth);
        EXPECT_NEAR(dc.LineWidthPx(c.world), c.px, 1e-4)
            << c.smooth << " " << c.zoom << " " << c.world;
    }
}

TEST(Renderer, WidthZeroLineIsOnePixelPlainAndHalfPixelSmooth) {
    TTestLine e(0, 0);
    {
        QImage img = canvas();
        QPainter p(&img);
        TDrawContext dc(p, TView{}, false);
        StyledOutline(dc, line(dc, {10, 20}, {300, 20}), e, 0);
        p.end();
        EXPECT_EQ(inkedRows(img, 150), 1);
        EXPECT_EQ(qRed(img.pixel(150, 20)), 0); // full black, no smoothing
    }
    {
        QImage img = canvas();
        QPainter p(&img);
        TDrawContext dc(p, TView{}, true);
        StyledOutline(dc, line(dc, {10, 20.5f}, {300, 20.5f}), e, 0);
        p.end();
        EXPECT_EQ(inkedRows(img, 150), 1);
        const int grey = qRed(img.pixel(150, 20));
        EXPECT_GT(grey, 64); // half covered
        EXPECT_LT(grey, 192);
    }
}

TEST(Renderer, PenWidthsOutsideWhatThePenTakesAreClamped) {
    QImage img = canvas(4, 4);
    QPainter p(&img);
    TDrawContext dc(p, TView{}, false);
    struct Case {
        double width, pen;
    } cases[] = {{-7, 0}, {std::nan(""), 0}, {40000, 32767},
                 {std::numeric_limits<double>::infinity(), 32767}};
    for (const Case& c : cases) {
        EXPECT_EQ(LinePen(dc, clBlack, c.width, 0, true).widthF(), c.pen) << c.width;
        EXPECT_EQ(MakePen(dc.View, clBlack, c.width, 3, true, true, false, 1).widthF(), c.pen)
            << c.width;
    }
}

TEST(Renderer, DashStyleTwoAtWidthTwoGivesSixteenTenPixels) {
    TView v; // zoom 1
    {
        // Flat caps show the pattern itself.
        QImage img = canvas();
        QPainter p(&img);
        QPen pen = MakePen(v, clBlack, 2, 2, false, true, true, 2);
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        p.drawLine(QPointF(10, 20), QPointF(300, 20));
        p.end();
        const std::vector<int> r = runs(img, 20, 0, 290);
        ASSERT_GE(r.size(), 6u);
        for (size_t i = 0; i + 1 < r.size(); ++i)
            EXPECT_EQ(r[i], i % 2 == 0 ? 16 : 10) << i;
    }
    for (bool smooth : {false, true}) {
        // Elements draw with round caps: each dash grows by a pen width, the period stays 26.
        QImage img = canvas();
        QPainter p(&img);
        TDrawContext dc(p, v, smooth);
        TTestLine e(2, 2);
        StyledOutline(dc, line(dc, {10, 20}, {300, 20}), e, e.PenStyle);
        p.end();
        const std::vector<int> r = runs(img, smooth ? 19 : 20, 0, 290);
        ASSERT_GE(r.size(), 6u) << smooth;
        for (size_t i = 0; i + 2 < r.size(); i += 2)
            EXPECT_EQ(r[i] + r[i + 1], 26) << smooth << i;
        if (!smooth) EXPECT_EQ(r[2], 18);
    }
}

TEST(Renderer, DashPatternTable) {
    TView zoom2;
    zoom2.ZoomX = zoom2.ZoomY = 2;
    struct Case {
        int style;
        double width;
        bool toScreen;
        std::vector<int> want;
    } cases[] = {
        {0, 5, false, {}},           {1, 0, false, {2, 4}}, // width 0 counts as 1
        {1, 3, false, {6, 12}},      {2, 2, true, {32, 20}},
        {3, 1, false, {2, 4, 8, 4}}, {4, 1, true, {4, 8, 4, 8, 16, 8}},
        {5, 2, false, {0, 4}},       {6, 1, false, {0, 4}},
        {7, 3, false, {3, 18}},      {9, 3, false, {}},
    };
    for (const Case& c : cases) {
        const TDashPattern d = DashPattern(c.style, c.width, c.toScreen, zoom2);
        std::vector<int> got(d.Entries, d.Entries + d.Count);
        EXPECT_EQ(got, c.want) << "style " << c.style << " width " << c.width;
    }
}

TEST(Renderer, ZeroLengthDashesDrawDots) {
    QImage img = canvas();
    QPainter p(&img);
    TDrawContext dc(p, TView{}, false);
    TTestLine e(4, 5); // dots every 8 px
    StyledOutline(dc, line(dc, {10, 20}, {300, 20}), e, e.PenStyle);
    p.end();
    const std::vector<int> r = runs(img, 20, 0, 290);
    ASSERT_GE(r.size(), 10u);
    EXPECT_EQ(r[2] + r[3], 8);
}

TEST(Renderer, TwoColourLayers) {
    for (int dash : {0, 2}) {
        QImage img = canvas();
        QPainter p(&img);
        TDrawContext dc(p, TView{}, false);
        TTestLine e(4, dash);
        e.LineColor = clBlack;
        e.LineColor2 = clRed;
        e.TwoColor = true;
        StyledOutline(dc, line(dc, {10, 20}, {300, 20}), e, dash);
        p.end();
        if (dash == 0)
            EXPECT_EQ(countColor(img, clRed), 0) << "solid two-colour line has one layer";
        else
            EXPECT_GT(countColor(img, clRed), 100) << "gaps show the second colour";
        EXPECT_GT(countColor(img, clBlack), 100);
    }
}

TEST(Renderer, StripesAndSelectionColours) {
    QImage img = canvas();
    QPainter p(&img);
    TDrawContext dc(p, TView{}, false);
    TTestLine e(20, 0);
    e.InnerStripe = true;
    e.InnerStripeColor = 0x00FFFF;
    e.CrossStripes = true;
    e.CrossStripeColor = 0xFF0000;
    StyledOutline(dc, line(dc, {20, 30}, {300, 30}), e, 0);
    e.SetSelected(true);
    const qint32 used = StyledOutline(dc, line(dc, {20, 80}, {300, 80}), e, 0);
    p.end();
    EXPECT_EQ(used, g_SelectionColors.Main);
    // Unselected: black edges, yellow middle stripe, blue cross bars along it.
    EXPECT_GT(countColor(img, clBlack), 100);
    EXPECT_GT(countColor(img, 0x00FFFF), 100);
    EXPECT_GT(countColor(img, 0xFF0000), 100);
    // Selected: edges in the main colour, stripes in the third.
    EXPECT_GT(countColor(img, g_SelectionColors.Main), 100);
    EXPECT_GT(countColor(img, g_SelectionColors.Third), 100);
}

TEST(Renderer, HatchDistanceBelowTenIsRaisedAndKept) {
    QImage img = canvas(200, 200);
    QPainter p(&img);
    TDrawContext dc(p, TView{}, false);
    TTestShape e = square(10, 10, 130, 130);
    e.NoFill = false;
    e.NoLine = true;
    e.FillStyle = 3; // vertical
    e.FillColor = clBlack;
    e.HatchWidth = 1;
    e.HatchDistance = 5;
    e.Draw(dc);
    p.end();
    EXPECT_EQ(e.HatchDistance, 10);
    const std::vector<int> r = runs(img, 70, 0, 200);
    ASSERT_GE(r.size(), 8u);
    for (size_t i = 2; i + 2 < r.size(); i += 2)
        EXPECT_EQ(r[i] + r[i + 1], 11) << i; // 1 + 10
}

TEST(Renderer, SelectedHatchColourFollowsFillBrightness) {
    struct Case {
        qint32 fill;
        qint32 want;
    } cases[] = {
        {clWhite, g_SelectionColors.Third},
        {0x808080, g_SelectionColors.Second},
        {0x101010, g_SelectionColors.Main},
    };
    for (const Case& c : cases) {
        QImage img = canvas(200, 200);
        img.fill(Qt::black);
        QPainter p(&img);
        TDrawContext dc(p, TView{}, false);
        TTestShape e = square(10, 10, 130, 130);
        e.NoFill = false;
        e.NoLine = true;
        e.FillStyle = 2;
        e.FillColor = c.fill;
        e.HatchWidth = 3;
        e.HatchDistance = 20;
        e.SetSelected(true);
        e.Draw(dc);
        p.end();
        EXPECT_GT(countColor(img, c.want), 300) << std::hex << c.fill;
        EXPECT_EQ(countColor(img, c.fill), 0) << std::hex << c.fill;
    }
}

TEST(Renderer, HatchIsClippedToTheOutline) {
    for (bool smooth : {false, true}) {
        QImage img = canvas(200, 200);
        QPainter p(&img);
        TDrawContext dc(p, TView{}, smooth);
        TTestShape e({{10, 10}, {190, 10}, {10, 190}}); // triangle, upper left half
        e.NoFill = false;
        e.NoLine = true;
        e.FillStyle = 6;
        e.FillColor = clBlack;
        e.HatchWidth = 1;
        e.HatchDistance = 10;
        e.Draw(dc);
        p.end();
        int inside = 0, outside = 0;
        for (int y = 12; y < 188; ++y)
            for (int x = 12; x < 188; ++x) {
                if (!inked(img.pixel(x, y))) continue;
                if (x + y < 196)
                    ++inside;
                else if (x + y > 204)
                    ++outside;
            }
        EXPECT_GT(inside, 1000) << smooth;
        EXPECT_EQ(outside, 0) << smooth;
    }
}

TEST(Renderer, HatchLineGeometry) {
    const TRRect r{0, 0, 100, 60};
    struct Case {
        int style;
        size_t lines;
    } cases[] = {{2, 3}, {3, 5}, {6, 8}, {4, 0}, {5, 0}, {7, 0}, {0, 0}, {1, 0}};
    for (const Case& c : cases) {
        const std::vector<TRLine> lines = HatchLines(r, c.style, 1, 20);
        if (c.lines) EXPECT_EQ(lines.size(), c.lines) << c.style;
        for (const TRLine& l : lines)
            for (TRPoint q : {l.A, l.B}) {
                EXPECT_GE(q.X, -0.01f);
                EXPECT_LE(q.X, 100.01f);
                EXPECT_GE(q.Y, -0.01f);
                EXPECT_LE(q.Y, 60.01f);
            }
    }
    // Diagonals: the step grows by sqrt 2 so that the lines stay 21 units apart.
    for (int style : {4, 5}) {
        std::vector<TRLine> lines;
        for (const TRLine& l : HatchLines(r, style, 1, 20))
            if (Distance(l.A, l.B) > 1) lines.push_back(l); // corner stubs
        ASSERT_GT(lines.size(), 4u) << style;
        for (size_t i = 1; i < lines.size(); ++i) {
            const TRLine& a = lines[i - 1];
            const TRLine& b = lines[i];
            // Distance of b.A from the infinite line through a.
            const double dx = a.B.X - a.A.X, dy = a.B.Y - a.A.Y;
            EXPECT_NEAR(std::fabs(dx), std::fabs(dy), 0.01);
            const double d =
                std::fabs(dx * (b.A.Y - a.A.Y) - dy * (b.A.X - a.A.X)) / std::hypot(dx, dy);
            EXPECT_NEAR(d, 21, 0.01) << style << " " << i;
        }
    }
    EXPECT_TRUE(HatchLines({0, 0, 1e30f, 1e30f}, 6, -50, 10).size() <= 400002u); // damaged sizes
}

TEST(Renderer, PixelMappingFollowsTheMode) {
    QImage img = canvas(4, 4);
    QPainter p(&img);
    const TRPoint q{10.2f, 3.7f};
    TDrawContext plain(p, TView{}, false);
    EXPECT_EQ(plain.View.Mode, TPixelMode::Rounded);
    EXPECT_EQ(plain.Map(q), QPointF(10, 4));
    EXPECT_FALSE(p.testRenderHint(QPainter::Antialiasing));
    TDrawContext snapped(p, TView{}, true, true);
    EXPECT_EQ(snapped.Map(q), QPointF(10.5, 4.5));
    TDrawContext exact(p, TView{}, true, false);
    EXPECT_NEAR(exact.Map(q).x(), 10.2, 1e-5);
    EXPECT_TRUE(p.testRenderHint(QPainter::Antialiasing));

    TRenderSettings s;
    s.UseD2D = false;
    EXPECT_FALSE(TDrawContext::FromSettings(p, TView{}, s).AntiAliased);
}

TEST(Renderer, NoD2DArgumentInAnyCase) {
    EXPECT_TRUE(HasNoD2DArgument({QStringLiteral("a.kav8"), QStringLiteral("/NOD2D")}));
    EXPECT_TRUE(HasNoD2DArgument({QStringLiteral("/nod2d")}));
    EXPECT_FALSE(HasNoD2DArgument({QStringLiteral("nod2d"), QStringLiteral("/-T")}));
}

TEST(Renderer, ConstructionLineOnBothRenderers) {
    for (bool smooth : {false, true}) {
        QImage img = canvas();
        img.fill(Qt::black);
        QPainter p(&img);
        TDrawContext dc(p, TView{}, smooth);
        ConstructionLine(dc, QPointF(10, 20.5), QPointF(300, 20.5), 1);
        p.end();
        EXPECT_GT(countColor(img, clMarker), 50) << smooth;
        if (smooth) EXPECT_GT(countColor(img, clWhite), 50); // white underlay in the gaps
    }
}

TEST(Renderer, CullingByClipRect) {
    QImage img = canvas(4, 4);
    QPainter p(&img);
    TDrawContext dc(p, TView{}, true);
    EXPECT_TRUE(dc.NeedsDrawing(TIRect{1000, 1000, 1010, 1010})); // no clip: everything
    dc.ClipRect = QRectF(0, 0, 100, 100);
    EXPECT_TRUE(dc.NeedsDrawing(TIRect{90, 90, 120, 120}));
    EXPECT_FALSE(dc.NeedsDrawing(TIRect{101, 0, 120, 10}));
    EXPECT_FALSE(dc.NeedsDrawing(TIRect{-20, -20, -1, -1}));
}

TEST(Renderer, ThinStrokesFollowTheJoinedOutline) {
    // Thin strokes are cut into square-capped segments; they must cover what the joined,
    // round-capped outline covers, within a pixel.
    for (bool smooth : {false, true}) {
        QImage ours = canvas(300, 200), ref = canvas(300, 200);
        QPainterPath path;
        path.moveTo(10, 150);
        path.lineTo(60, 20);
        path.lineTo(110, 150);
        path.cubicTo(150, 10, 250, 10, 290, 150);
        {
            QPainter p(&ours);
            TDrawContext dc(p, TView{}, smooth);
            TTestLine e(2, 0);
            StyledOutline(dc, path, e, 0);
        }
        {
            QPainter p(&ref);
            p.setRenderHint(QPainter::Antialiasing, smooth);
            p.strokePath(path, QPen(Qt::black, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        }
        auto dark = [](const QImage& img, int x, int y) { return qRed(img.pixel(x, y)) < 128; };
        auto near = [&](const QImage& img, int x, int y) {
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (inked(img.pixel(std::clamp(x + dx, 0, 299), std::clamp(y + dy, 0, 199))))
                        return true;
            return false;
        };
        int checked = 0;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 300; ++x) {
                if (dark(ref, x, y)) {
                    ++checked;
                    EXPECT_TRUE(near(ours, x, y)) << smooth << " missing at " << x << "," << y;
                }
                if (dark(ours, x, y))
                    EXPECT_TRUE(near(ref, x, y)) << smooth << " extra at " << x << "," << y;
            }
        EXPECT_GT(checked, 600);
    }
}

TEST(Renderer, ThinDashesRunOnAcrossVertices) {
    // Width 2 at zoom 1, dash style 2: 16 on, 10 off. The first leg is 100 px long, so the
    // pattern is in a gap (94..104) where the second leg starts.
    QImage img = canvas(200, 200);
    QPainter p(&img);
    TDrawContext dc(p, TView{}, false);
    TTestLine e(2, 2);
    QPainterPath path;
    path.moveTo(dc.Map({20, 20}));
    path.lineTo(dc.Map({120, 20}));
    path.lineTo(dc.Map({120, 180}));
    StyledOutline(dc, path, e, e.PenStyle);
    p.end();
    EXPECT_FALSE(inked(img.pixel(120, 21))) << "gap continues round the corner";
    EXPECT_TRUE(inked(img.pixel(120, 30))) << "next dash 104..120, from y 24";
    EXPECT_FALSE(inked(img.pixel(120, 45)));
    EXPECT_TRUE(inked(img.pixel(30, 20)));
}

TEST(Renderer, SelectedWhiteHatchedEllipseUsesTheThirdColour) {
    QImage img = canvas(200, 200);
    img.fill(Qt::black);
    QPainter p(&img);
    TDrawContext dc(p, TView{}, true);
    TKreis k(TRRect{20, 20, 180, 180});
    k.NoFill = false;
    k.NoLine = true;
    k.FillStyle = 7;
    k.FillColor = clWhite;
    k.HatchWidth = 2;
    k.HatchDistance = 5;
    k.SetSelected(true);
    k.Draw(dc);
    p.end();
    EXPECT_EQ(k.HatchDistance, 10);
    EXPECT_GT(countColor(img, g_SelectionColors.Third), 500);
    EXPECT_EQ(countColor(img, clWhite), 0);
    EXPECT_EQ(img.pixel(25, 25), qRgb(0, 0, 0)) << "outside the ellipse, inside its bounds";
}
