#include "elements/Kreis.h"
#include "elements/Rechteck.h"
#include "elements/SVG_Export.h"
#include "elements/polygon.h"
#include "shape_test_util.h"
#include "support/processes.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;

QStringList Written(const TElement& e) {
    TSVG svg;
    e.WriteSvg(svg);
    return svg.SvgLines;
}

std::unique_ptr<TPolygon> Triangle() {
    return std::make_unique<TPolygon>(TRPointArray{{10.4f, 20}, {100, 20.6f}, {50, 90}});
}

QString Polygon(const char* attributes) {
    return QStringLiteral("<polygon points=\"10 20 100 21 50 90\" %1/>").arg(attributes);
}
} // namespace

TEST_F(ShapeTest, SvgPolygonLayers) {
    struct Case {
        const char* name;
        void (*setup)(TPolygon&);
        QStringList lines;
    } cases[] = {
        {"outline only",
         [](TPolygon&) {},
         {Polygon("fill=\"none\" stroke=\"rgb(0,0,0)\" stroke-width=\"2\"")}},
        {"solid fill, width 0 written as 1",
         [](TPolygon& t) {
             t.NoFill = false;
             t.FillColor = 0x0000FF;
             t.LineWidth = 0;
         },
         {Polygon("fill=\"rgb(255,0,0)\" stroke=\"rgb(0,0,0)\" stroke-width=\"1\"")}},
        {"fill without outline",
         [](TPolygon& t) {
             t.NoFill = false;
             t.NoLine = true;
             t.InnerStripe = true;
         },
         {Polygon("fill=\"rgb(255,255,255)\" stroke=\"none\" stroke-width=\"2\"")}},
        {"neither: nothing",
         [](TPolygon& t) {
             t.NoLine = true;
             t.NoFill = true;
         },
         {}},
        {"two colours, dashed, both stripes",
         [](TPolygon& t) {
             t.LineWidth = 6;
             t.TwoColor = true;
             t.ShapePenStyle = 2;
             t.InnerStripe = true;
             t.CrossStripes = true;
         },
         {Polygon("fill=\"none\" stroke=\"rgb(255,0,0)\" stroke-width=\"6\""),
          Polygon(
              "fill=\"none\" stroke=\"rgb(0,0,0)\" stroke-width=\"6\" stroke-dasharray=\"48,30\""),
          Polygon("fill=\"none\" stroke=\"rgb(255,255,0)\" stroke-width=\"2\""),
          Polygon("fill=\"none\" stroke=\"rgb(0,0,255)\" stroke-width=\"5\" "
                  "stroke-dasharray=\"5,30\"")}},
        {"two colours without dashes: one layer",
         [](TPolygon& t) {
             t.TwoColor = true;
             t.ShapePenStyle = 0;
         },
         {Polygon("fill=\"none\" stroke=\"rgb(0,0,0)\" stroke-width=\"2\"")}},
        {"two colours over a solid fill: the fill goes first",
         [](TPolygon& t) {
             t.NoFill = false;
             t.FillColor = 0x00FF00;
             t.TwoColor = true;
             t.ShapePenStyle = 1;
         },
         {Polygon("fill=\"rgb(0,255,0)\" stroke=\"none\" stroke-width=\"1\""),
          Polygon("fill=\"none\" stroke=\"rgb(255,0,0)\" stroke-width=\"2\""),
          Polygon(
              "fill=\"none\" stroke=\"rgb(0,0,0)\" stroke-width=\"2\" stroke-dasharray=\"4,8\"")}},
    };
    for (const Case& c : cases) {
        auto t = Triangle();
        c.setup(*t);
        EXPECT_EQ(Written(*t), c.lines) << c.name;
    }
}

TEST_F(ShapeTest, SvgHatchIsClippedToTheShape) {
    TSVG svg;
    auto t = Triangle();
    t->NoFill = false;
    t->FillStyle = 3;
    t->FillColor = 0xFF0000;
    t->HatchDistance = 20; // step 21 from the widened left edge 9.4
    t->WriteSvg(svg);
    const QStringList& l = svg.SvgLines;
    ASSERT_GE(l.size(), 6);
    EXPECT_EQ(l[0], "<defs>");
    EXPECT_EQ(l[1], "<clipPath id=\"Clip_0\">");
    EXPECT_TRUE(l[2].startsWith("<polygon points=\"10 20 100 21 50 90\" fill="))
        << l[2].toStdString();
    EXPECT_EQ(l[3], "</clipPath>");
    EXPECT_EQ(l[4], "</defs>");
    EXPECT_EQ(l[5],
              "<line x1=\"9\" y1=\"19\" x2=\"9\" y2=\"91\" fill=\"none\" stroke=\"rgb(0,0,255)\" "
              "stroke-width=\"1\" clip-path=\"url(#Clip_0)\"/>");
    EXPECT_EQ(l.filter("<line").size(), 5);
    EXPECT_EQ(l.last(), Polygon("fill=\"none\" stroke=\"rgb(0,0,0)\" stroke-width=\"2\""));
    // A second hatched shape in the same file gets its own clip path; so does a rectangle.
    auto r = std::make_unique<TRechteck>(TRRect{0, 0, 50, 50});
    r->NoFill = false;
    r->FillStyle = 7;
    t->WriteSvg(svg);
    r->WriteSvg(svg);
    EXPECT_EQ(svg.SvgLines.filter("<clipPath id=\"Clip_1\">").size(), 1);
    EXPECT_EQ(svg.SvgLines.filter("<clipPath id=\"Clip_2\">").size(), 1);
    EXPECT_GT(svg.SvgLines.filter("clip-path=\"url(#Clip_2)\"").size(), 4);
}

TEST_F(ShapeTest, SvgRectanglePaths) {
    struct Case {
        const char* name;
        float rounding;
        qint32 style;
        const char* d;
    } cases[] = {
        {"sharp", 0, TRechteck::csRounded, " M 10 20 L 110 20 110 80 10 80 Z"},
        {"rounded", 20, TRechteck::csRounded,
         " M 10 30 C 10 20 20 20 20 20 L 100 20 C 110 20 110 30 110 30 L 110 70 C 110 80 100 80 "
         "100 "
         "80 L 20 80 C 10 80 10 70 10 70 Z"},
        {"chamfered", 20, TRechteck::csChamfered,
         " M 10 30 L 20 20 100 20 110 30 110 70 100 80 20 80 10 70 Z"},
    };
    for (const Case& c : cases) {
        TRechteck r(TRRect{10, 20, 110, 80});
        r.Rounding = c.rounding;
        r.CornerStyle = c.style;
        EXPECT_EQ(Written(r),
                  QStringList{QStringLiteral("<path fill=\"none\" stroke=\"rgb(0,0,0)\" "
                                             "stroke-width=\"2\" d=\"%1\" />")
                                  .arg(c.d)})
            << c.name;
    }
    // Layers of a rectangle follow those of the polygon.
    TRechteck r(TRRect{10, 20, 110, 80});
    r.TwoColor = true;
    r.ShapePenStyle = 3;
    r.CrossStripes = true;
    const QStringList l = Written(r);
    ASSERT_EQ(l.size(), 3);
    EXPECT_TRUE(
        l[0].startsWith("<path fill=\"none\" stroke=\"rgb(255,0,0)\" stroke-width=\"2\" d="));
    EXPECT_TRUE(l[1].contains("stroke-dasharray=\"4,8,16,8\""));
    EXPECT_TRUE(
        l[2].contains("stroke=\"rgb(0,0,255)\" stroke-width=\"2\" stroke-dasharray=\"2,12\""));
}

TEST_F(ShapeTest, SvgEllipsePaths) {
    TKreis k(TRRect{0, 0, 100, 100});
    TSVG svg;
    k.WriteSvg(svg);
    EXPECT_EQ(svg.CoordFactor, 1) << "the factor is put back";
    ASSERT_EQ(svg.SvgLines.size(), 1);
    const QString full = svg.SvgLines[0];
    EXPECT_TRUE(
        full.startsWith("<path fill=\"none\" stroke=\"rgb(0,0,0)\" stroke-width=\"2\" d=\" M "
                        "99.77 45.10 Q 99.28 40.20 97.85 35.48"))
        << full.toStdString();
    EXPECT_EQ(full.count(" Q "), 32);
    EXPECT_TRUE(full.endsWith(" Q 100.25 50.00 99.77 45.10 Z\" />"));

    struct Case {
        const char* name;
        qint32 style;
        const char* ending;
    } cases[] = {
        {"open arc", TKreis::asArc, " L 50.00 -0.25\" />"},
        {"chord", TKreis::asChord, " L 50.00 -0.25 Z\" />"},
        {"pie", TKreis::asPie, " L 50.00 -0.25 L 50.00 50.00 Z\" />"},
    };
    for (const Case& c : cases) {
        k.StartAngle = 0;
        k.StopAngle = float(kPi / 2);
        k.ArcStyle = c.style;
        k.UpdateGrips();
        const QStringList l = Written(k);
        ASSERT_EQ(l.size(), 1) << c.name;
        EXPECT_TRUE(l[0].contains("d=\" M 100.25 50.00 L 99.77 45.10 Q ")) << c.name;
        EXPECT_TRUE(l[0].endsWith(c.ending)) << c.name << ": " << l[0].toStdString();
        EXPECT_EQ(l[0].count(" Q "), 7) << c.name;
    }
}

// One sheet with every kind of closed shape: valid XML, and an independent renderer draws it as
// the screen does.
TEST_F(ShapeTest, SvgSheetWithEveryShapeRenders) {
    TElementList shapes;
    auto add = [&](TElementPtr e) { shapes.push_back(std::move(e)); };
    {
        auto r = std::make_unique<TRechteck>(TRRect{20, 20, 220, 120});
        r->NoFill = false;
        r->NoLine = true;
        r->FillColor = 0x0000FF;
        r->SetRoundingPercent(60);
        add(std::move(r));
    }
    {
        auto r = std::make_unique<TRechteck>(TRRect{20, 160, 220, 260});
        r->CornerStyle = TRechteck::csChamfered;
        r->SetRoundingPercent(40);
        r->LineWidth = 6;
        r->TwoColor = true;
        r->ShapePenStyle = 2;
        r->InnerStripe = true;
        r->InnerStripeColor = 0x00FFFF;
        add(std::move(r));
    }
    {
        auto k = std::make_unique<TKreis>(TRRect{300, 20, 500, 220});
        k->NoFill = false;
        k->NoLine = true;
        k->FillStyle = 3;
        k->FillColor = 0xFF0000;
        k->HatchWidth = 2;
        k->HatchDistance = 10;
        add(std::move(k));
    }
    {
        auto k = std::make_unique<TKreis>(TRRect{600, 20, 800, 220});
        k->StartAngle = 0;
        k->StopAngle = float(kPi / 2);
        k->ArcStyle = TKreis::asPie;
        k->UpdateGrips();
        k->NoFill = false;
        k->FillColor = 0x00FF00;
        add(std::move(k));
    }
    {
        auto k = std::make_unique<TKreis>(TRRect{600, 260, 800, 460});
        k->StartAngle = float(kPi);
        k->StopAngle = float(kPi / 2);
        k->ArcStyle = TKreis::asArc;
        k->UpdateGrips();
        k->CrossStripes = true;
        k->LineWidth = 8;
        add(std::move(k));
    }
    {
        auto t = std::make_unique<TPolygon>(TRPointArray{{300, 300}, {500, 300}, {400, 480}});
        t->NoFill = false;
        t->FillStyle = 7;
        t->FillColor = 0x808080;
        t->ShapePenStyle = 5;
        t->LineWidth = 4;
        add(std::move(t));
    }
    TSVG svg;
    svg.Create(1000, 500, QStringLiteral("Shapes <&>"));
    for (const TElementPtr& e : shapes)
        e->WriteSvg(svg);
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("shapes.svg"));
    ASSERT_TRUE(svg.SaveToFile(name)) << svg.ErrorString.toStdString();

    if (!HaveTool(QStringLiteral("xmllint")) || !HaveTool(QStringLiteral("rsvg-convert")))
        GTEST_SKIP() << "xmllint or rsvg-convert not installed";
    const ProcessResult lint =
        RunProgram(QStringLiteral("xmllint"), {QStringLiteral("--noout"), name});
    EXPECT_EQ(lint.code, 0) << lint.Err().toStdString();
    const QString png = dir.filePath(QStringLiteral("shapes.png"));
    // 1000 pixels across 1000 units: one pixel per world unit.
    const ProcessResult r = RunProgram(
        QStringLiteral("rsvg-convert"),
        {QStringLiteral("-w"), QStringLiteral("1000"), QStringLiteral("-h"), QStringLiteral("500"),
         QStringLiteral("-b"), QStringLiteral("white"), QStringLiteral("-o"), png, name});
    ASSERT_EQ(r.code, 0) << r.Err().toStdString();
    QImage img(png);
    ASSERT_EQ(img.width(), 1000);
    ASSERT_EQ(img.height(), 500);
    auto rgb = [&](int x, int y) { return img.pixelColor(x, y).rgb() & 0xFFFFFF; };
    EXPECT_EQ(rgb(120, 70), 0xFF0000u) << "filled rectangle";
    EXPECT_EQ(rgb(23, 23), 0xFFFFFFu) << "its rounded corner";
    EXPECT_EQ(rgb(305, 25), 0xFFFFFFu) << "hatch stays inside the ellipse";
    int blue = 0;
    for (int x = 350; x < 450; ++x)
        if (rgb(x, 120) == 0x0000FFu) ++blue;
    EXPECT_GT(blue, 10) << "vertical hatch lines across the ellipse";
    EXPECT_LT(blue, 60) << "hatched, not filled";
    EXPECT_EQ(rgb(740, 90), 0x00FF00u) << "inside the pie";
    EXPECT_EQ(rgb(660, 170), 0xFFFFFFu) << "outside the pie";
    // The open arc from 180 to 90 degrees leaves out its upper left quarter.
    EXPECT_EQ(rgb(629, 289), 0xFFFFFFu) << "missing quarter of the arc";
    EXPECT_NE(rgb(629, 431), 0xFFFFFFu) << "lower left quarter of the arc";
}
