#include "elements/MyD2D.h"
#include "elements/Polyline.h"
#include "elements/SVG_Export.h"
#include "elements/lpunkt.h"
#include "shape_test_util.h"

#include <QImage>
#include <QPainter>

namespace {
constexpr qint32 K = TLoetpunkt::kAutoCode;

class JunctionTest : public ::testing::Test {
protected:
    void TearDown() override { g_JunctionStyle = TJunctionStyle{}; }
};

std::unique_ptr<TPolyLine> Wire(TRPoint a, TRPoint b, int width, qint32 color) {
    auto p = std::make_unique<TPolyLine>();
    p->ResetStyle();
    p->Points = {a, b};
    p->LineWidth = width;
    p->LineColor = color;
    return p;
}

std::unique_ptr<TLoetpunkt> AutoDot(TRPoint at, int index) {
    auto d = std::make_unique<TLoetpunkt>(at);
    d->SetAutomatic(true, index);
    return d;
}

qint32 At(const QImage& img, int x, int y) {
    const QRgb c = img.pixel(x, y);
    return qRed(c) | (qGreen(c) << 8) | (qBlue(c) << 16);
}
} // namespace

TEST_F(JunctionTest, NewDotsTakeThePresetAndResetGivesTheFactoryDot) {
    g_JunctionStyle = {5, K + 1, 40, 0x00FF00, 0};
    TLoetpunkt d({10, 20});
    EXPECT_EQ(d.Diameter, 40);
    EXPECT_EQ(d.LineWidth, 5);
    EXPECT_EQ(d.FillColor, 0x00FF00);
    EXPECT_TRUE(d.NoLine);
    EXPECT_FALSE(d.NoFill);
    EXPECT_TRUE(d.IsAutomatic());
    EXPECT_EQ(d.SizeIndex(), 1);
    d.ResetStyle();
    EXPECT_EQ(d.Diameter, 12);
    EXPECT_EQ(d.LineColor, 3);
    EXPECT_FALSE(d.IsAutomatic());
    EXPECT_EQ(d.SizeIndex(), 3);
}

TEST_F(JunctionTest, OnlyCodesJustAboveTheMarkAreAutomatic) {
    struct Case {
        const char* name;
        qint32 lineColor;
        bool noLine;
        bool automatic;
        int index;
    } cases[] = {
        {"code + 0 is XS", K, true, true, 0},
        {"code + 2 is M", K + 2, true, true, 2},
        {"code + 4 is XL", K + 4, true, true, 4},
        {"code + 5 is a colour", K + 5, true, false, 4},
        {"just below the code", K - 1, true, false, 4},
        {"white, far above the code", 0xFFFFFF, true, false, 4},
        {"largest colour value", 0x7FFFFFFF, true, false, 4},
        {"plain index 1", 1, true, false, 1},
        {"outlined dot with a code-like colour", K + 2, false, false, 4},
    };
    for (const Case& c : cases) {
        TLoetpunkt d;
        d.LineColor = c.lineColor;
        d.NoLine = c.noLine;
        EXPECT_EQ(d.IsAutomatic(), c.automatic) << c.name;
        EXPECT_EQ(d.SizeIndex(), c.index) << c.name;
    }
    TLoetpunkt d;
    d.NoLine = false;
    d.SetAutomatic(true, 9);
    EXPECT_EQ(d.LineColor, K + 4);
    EXPECT_TRUE(d.NoLine);
    d.SetAutomatic(false, 2);
    EXPECT_EQ(d.LineColor, 2);
}

TEST_F(JunctionTest, AutomaticSizeFollowsTheWiresThroughTheCentre) {
    TElementList sheet;
    sheet.push_back(Wire({0, 100}, {200, 100}, 3, 0x0000FF));
    sheet.push_back(Wire({100, 0}, {100, 200}, 5, 0x00FF00));
    sheet.push_back(Wire({0, 150}, {200, 150}, 40, 0xFF0000)); // passes below the dot
    sheet.push_back(Wire({50, 50}, {150, 150}, 1, 0x123456));  // diagonal through the centre
    sheet.push_back(AutoDot({100, 100}, 2));
    auto& dot = static_cast<TLoetpunkt&>(*sheet.back());
    dot.FillColor = 0x777777;
    const TView view;
    EXPECT_TRUE(dot.UpdateAutoSize(sheet, view));
    EXPECT_EQ(dot.Diameter, 25) << "widest wire 5 times (3 + 2)";
    EXPECT_EQ(dot.FillColor, 0x123456) << "the last wire in the list gives the colour";
    EXPECT_FALSE(dot.UpdateAutoSize(sheet, view)) << "nothing changed the second time";

    // The colour of the later of two wires wins.
    TElementList two;
    two.push_back(Wire({0, 100}, {200, 100}, 3, 0x0000FF));
    two.push_back(Wire({100, 0}, {100, 200}, 5, 0x00FF00));
    two.push_back(AutoDot({100, 100}, 2));
    EXPECT_TRUE(UpdateAutoJunctions(two, view));
    EXPECT_EQ(static_cast<TLoetpunkt&>(*two.back()).Diameter, 25);
    EXPECT_EQ(static_cast<TLoetpunkt&>(*two.back()).FillColor, 0x00FF00);

    // A manual dot is left as it is.
    TLoetpunkt manual({100, 100});
    manual.SetDiameter(30);
    manual.FillColor = 0x777777;
    EXPECT_FALSE(manual.UpdateAutoSize(two, view));
    EXPECT_EQ(manual.Diameter, 30);
    EXPECT_EQ(manual.FillColor, 0x777777);
}

// Without wires the diameter is 1 * (3 + index) (a width of at least 1), not 3 * (3 + index).
TEST_F(JunctionTest, AutomaticDotWithoutWiresIsSmallAndBlack) {
    const TElementList empty;
    for (int index = 0; index < 5; ++index) {
        auto dot = AutoDot({0, 0}, index);
        dot->FillColor = 0x00FF00;
        dot->UpdateAutoSize(empty, TView{});
        EXPECT_EQ(dot->Diameter, 3 + index) << "index " << index;
        EXPECT_EQ(dot->FillColor, clBlack) << "index " << index;
    }
}

TEST_F(JunctionTest, DiameterStaysWithinTheStoredByte) {
    TElementList sheet;
    sheet.push_back(Wire({0, 0}, {1000, 0}, 100, 0));
    sheet.push_back(AutoDot({500, 0}, 4));
    auto& dot = static_cast<TLoetpunkt&>(*sheet.back());
    dot.UpdateAutoSize(sheet, TView{});
    EXPECT_EQ(dot.Diameter, 255) << "100 * 7 is clamped";
    std::unique_ptr<TLoetpunkt> back = LoadRecord<TLoetpunkt>(SaveRecord(dot));
    EXPECT_EQ(back->Diameter, 255);
    dot.SetDiameter(1000);
    EXPECT_EQ(dot.Diameter, 255);
    dot.SetDiameter(-4);
    EXPECT_EQ(dot.Diameter, 1);
}

TEST_F(JunctionTest, RecordStoresTheDiameterInTheStyleByte) {
    TLoetpunkt d({12.5f, -3});
    d.SetDiameter(30);
    d.LineColor = K + 1;
    d.FillColor = 0x010203;
    d.SetFormLayer(true);
    const QByteArray saved = SaveRecord(d);
    const QByteArray expected = Bytes([](TStreamWriter& w) {
        w.WriteBool(true);  // NoLine
        w.WriteBool(false); // NoFill
        w.WriteI32(2);
        w.WriteI32(K + 1);
        w.WriteU8(30); // diameter in the PenStyle slot
        w.WriteZeros(3);
        w.WriteI32(0x010203);
        w.WriteU8(0);
        w.WriteZeros(3);
        w.WriteBool(true);
        WritePoint(w, 12.5f, -3);
    });
    EXPECT_EQ(saved.toHex(), expected.toHex());
    std::unique_ptr<TLoetpunkt> back = LoadRecord<TLoetpunkt>(saved);
    EXPECT_EQ(SaveRecord(*back).toHex(), saved.toHex());
    EXPECT_TRUE(back->IsAutomatic());

    struct Case {
        const char* name;
        int version;
        quint8 sizeByte;
        qint32 lineColor;
        qint32 diameter, lineColorRead;
    } cases[] = {
        {"80: the byte is the diameter", 80, 40, K + 2, 40, K + 2},
        {"80: a stored 0 reads as 12", 80, 0, 1, 12, 1},
        {"79: always 12, size index 3", 79, 40, K + 2, 12, 3},
        {"50: always 12, size index 3", 50, 7, 0, 12, 3},
    };
    for (const Case& c : cases) {
        const QByteArray bytes = Bytes([&](TStreamWriter& w) {
            w.WriteBool(true);
            w.WriteBool(false);
            w.WriteI32(2);
            w.WriteI32(c.lineColor);
            w.WriteU8(c.sizeByte);
            w.WriteZeros(3);
            w.WriteI32(0);
            w.WriteU8(0);
            w.WriteZeros(3);
            w.WriteBool(false);
            WritePoint(w, 1, 2);
        });
        std::unique_ptr<TLoetpunkt> dot = LoadRecord<TLoetpunkt>(bytes, c.version);
        EXPECT_EQ(dot->Diameter, c.diameter) << c.name;
        EXPECT_EQ(dot->LineColor, c.lineColorRead) << c.name;
        EXPECT_EQ(dot->Position, (TRPoint{1, 2})) << c.name;
    }
}

TEST_F(JunctionTest, SnapsWithinAZoomDependentSquare) {
    struct Case {
        const char* name;
        float zoom;
        TRPoint probe;
        bool snaps;
    } cases[] = {
        {"zoom 1: radius 10, inside on both axes", 1, {109, 91}, true},
        {"zoom 1: 10 away is outside", 1, {110, 100}, false},
        {"zoom 1: square, not circle", 1, {109.5f, 109.5f}, true},
        {"zoom 0.1: clamped to 50", 0.1f, {149, 100}, true},
        {"zoom 0.1: 51 is outside", 0.1f, {151, 100}, false},
        {"zoom 4: raised to 5", 4, {104.9f, 100}, true},
        {"zoom 4: 5.1 is outside", 4, {105.1f, 100}, false},
    };
    TLoetpunkt d({100, 100});
    for (const Case& c : cases) {
        TView view;
        view.ZoomX = view.ZoomY = c.zoom;
        TRPoint p = c.probe;
        EXPECT_EQ(d.SnapToPoint(view, p), c.snaps) << c.name;
        EXPECT_EQ(p, c.snaps ? d.Position : c.probe) << c.name;
    }
    std::vector<TRPoint*> pts;
    d.AddSnapPoints(pts);
    ASSERT_EQ(pts.size(), 1u);
    EXPECT_EQ(pts[0], &d.Position);
}

TEST_F(JunctionTest, GeometryMovesThePositionOnly) {
    TLoetpunkt d({100, 50});
    d.SetDiameter(20);
    d.ScaleAt({0, 0}, 3, 2);
    EXPECT_EQ(d.Position, (TRPoint{300, 100}));
    EXPECT_EQ(d.Diameter, 20);
    d.MirrorX({0, 0});
    EXPECT_EQ(d.Position, (TRPoint{-300, 100}));
    EXPECT_EQ(d.GetBounds(), (TRRect{-310, 90, -290, 110}));
    d.NoLine = false;
    d.LineWidth = 4;
    EXPECT_EQ(d.GetBounds(), (TRRect{-312, 88, -288, 112})) << "outline adds half its width";

    TLoetpunkt h({50, 50});
    h.SetDiameter(20);
    const TView view;
    EXPECT_TRUE(h.HitPoint(view, {50, 50}));
    EXPECT_TRUE(h.HitPoint(view, {58, 50}));
    EXPECT_FALSE(h.HitPoint(view, {58, 58})) << "a circle, not its square";
    EXPECT_TRUE(h.HitRect(view, {30, 30, 70, 70}, true));
    EXPECT_FALSE(h.HitRect(view, {30, 30, 50, 70}, true));
    EXPECT_TRUE(h.HitRect(view, {30, 30, 50, 70}, false));
}

TEST_F(JunctionTest, ColourChangesKeepTheSizeCode) {
    auto d = AutoDot({0, 0}, 3);
    d->FillColor = 0;
    d->SetColor(0x0000FF);
    EXPECT_EQ(d->FillColor, 0x0000FF);
    EXPECT_TRUE(d->IsAutomatic());
    EXPECT_EQ(d->SizeIndex(), 3);
}

TEST_F(JunctionTest, DrawsAFilledDotAndSizesItselfOnTheSheet) {
    TElementList sheet;
    sheet.push_back(Wire({0, 50}, {100, 50}, 4, 0x00FF00));
    sheet.push_back(AutoDot({50, 50}, 2)); // 4 * 5 = 20
    auto& dot = static_cast<TLoetpunkt&>(*sheet.back());
    QImage img(100, 100, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        TDrawContext dc(p, TView{}, true);
        dc.SheetElements = &sheet;
        dot.Draw(dc);
    }
    EXPECT_EQ(dot.Diameter, 20);
    EXPECT_EQ(At(img, 50, 50), 0x00FF00);
    EXPECT_EQ(At(img, 50, 58), 0x00FF00) << "inside the radius of 10";
    EXPECT_EQ(At(img, 50, 63), clWhite);

    struct Case {
        const char* name;
        bool antiAliased;
        qint32 expected;
    } cases[] = {
        {"plain: main selection colour", false, g_SelectionColors.Main},
        {"antialiased: magenta", true, 0xFF00FF},
    };
    for (const Case& c : cases) {
        img.fill(Qt::white);
        dot.SetSelected(true);
        QPainter p(&img);
        TDrawContext dc(p, TView{}, c.antiAliased);
        dot.Draw(dc);
        p.end();
        EXPECT_EQ(At(img, 50, 50), c.expected) << c.name;
    }
}

TEST_F(JunctionTest, SvgIsOneCircle) {
    TLoetpunkt d({10.4f, 20.6f});
    d.SetDiameter(25);
    d.FillColor = 0x0000FF;
    TSVG svg;
    d.WriteSvg(svg);
    ASSERT_EQ(svg.SvgLines.size(), 1);
    EXPECT_EQ(svg.SvgLines.last(), QStringLiteral("<circle cx=\"10\" cy=\"21\" r=\"12\" "
                                                  "fill=\"rgb(255,0,0)\" stroke=\"none\" "
                                                  "stroke-width=\"2\"/>"));
}
