#include "elements/Bemassung.h"
#include "elements/Gruppe.h"
#include "elements/MyD2D.h"
#include "elements/SVG_Export.h"
#include "elements/elementdump.h"
#include "elements/text.h"
#include "shape_test_util.h"

#include <QImage>
#include <QLocale>
#include <QPainter>
#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;

std::unique_ptr<TBemassung> Dim(TRPoint a, TRPoint b, double offset = 0,
                                quint8 kind = TBemassung::bkStandard) {
    auto d = std::make_unique<TBemassung>();
    d->Kind = kind;
    d->A = a;
    d->B = b;
    d->SetOffset(offset);
    d->UpdateValue(1);
    return d;
}

// Restores the default locale after a test that changes it.
class LocaleScope {
public:
    explicit LocaleScope(const QLocale& l) { QLocale::setDefault(l); }
    ~LocaleScope() { QLocale::setDefault(m_saved); }

private:
    QLocale m_saved;
};

QString Label(const TBemassung& d) {
    return d.ValueLabel->SourceText;
}

qint32 At(const QImage& img, int x, int y) {
    const QRgb c = img.pixel(x, y);
    return qRed(c) | (qGreen(c) << 8) | (qBlue(c) << 16);
}
} // namespace

TEST(Bemassung, ValueTexts) {
    struct Case {
        const char* name;
        float length;
        double scale;
        qint32 precision;
        bool decimalPoint;
        bool german;
        const char* expected;
    } cases[] = {
        {"254 units at scale 1 with 1 decimal", 254, 1, 10, true, false, "25.4"},
        {"decimal comma in a comma locale", 254, 1, 10, false, true, "25,4"},
        {"decimal point asked for", 254, 1, 10, true, true, "25.4"},
        {"drawing scale 2", 254, 2, 10, true, false, "50.8"},
        {"no decimals", 254, 1, 1, true, false, "25"},
        {"halves to even", 255, 1, 1, true, false, "26"},
        {"halves to even, down", 245, 1, 1, true, false, "24"},
        {"three decimals, shortest form", 254, 1, 1000, true, false, "25.4"},
        {"precision 0 is one decimal less, not a division by zero", 254, 1, 0, true, false, "25"},
        {"large values without exponent or grouping", 12345670, 1, 10, true, true, "1234567"},
    };
    for (const Case& c : cases) {
        LocaleScope locale(c.german ? QLocale(QLocale::German, QLocale::Germany) : QLocale::c());
        auto d = Dim({0, 0}, {c.length, 0});
        d->Precision = c.precision;
        d->DecimalPoint = c.decimalPoint;
        d->UpdateValue(c.scale);
        EXPECT_EQ(Label(*d), QString::fromUtf8(c.expected)) << c.name;
        EXPECT_EQ(d->LastValue, QString::fromUtf8(c.expected)) << c.name;
    }
}

TEST(Bemassung, AngleValueCountsFromAToB) {
    // A lies 30 degrees counter-clockwise of B around C.
    const TRPoint c{0, 0};
    const TRPoint b{100, 0};
    const TRPoint a{float(100 * std::cos(kPi / 6)), float(-100 * std::sin(kPi / 6))};
    auto d = std::make_unique<TBemassung>();
    d->Kind = TBemassung::bkAngle;
    d->A = a;
    d->B = b;
    d->C = c;
    d->UpdateValue(1);
    EXPECT_EQ(Label(*d), QStringLiteral("330"));
    std::swap(d->A, d->B);
    d->UpdateValue(1);
    EXPECT_EQ(Label(*d), QStringLiteral("30"));
    d->UpdateValue(5);
    EXPECT_EQ(Label(*d), QStringLiteral("30")) << "angles ignore the drawing scale";
}

TEST(Bemassung, PrefixSuffixAndDiameterSign) {
    auto d = Dim({0, 0}, {254, 0});
    d->ShowDiameter = true;
    d->Prefix = QStringLiteral("M");
    d->Suffix = QStringLiteral("mm");
    d->UpdateValue(1);
    EXPECT_EQ(Label(*d), QStringLiteral("\u00D8M25.4mm"));
    EXPECT_EQ(d->LastValue, QStringLiteral("25.4"));
    d->AutoValue = false;
    d->FixedValue = QStringLiteral("20 H7");
    d->UpdateValue(1);
    EXPECT_EQ(Label(*d), QStringLiteral("\u00D8M20 H7mm"));
}

TEST(Bemassung, LabelSitsAboveTheLineAndReadsLeftToRight) {
    for (bool reversed : {false, true}) {
        SCOPED_TRACE(reversed ? "from B to A" : "from A to B");
        auto d = reversed ? Dim({500, 0}, {0, 0}) : Dim({0, 0}, {500, 0});
        const auto& c = d->ValueLabel->Corners;
        const QSizeF size = d->ValueLabel->GetSize();
        EXPECT_NEAR((c[0].X + c[1].X) / 2, 250, 1e-3) << "centred on the midpoint";
        EXPECT_NEAR(c[3].Y, -2, 1e-3) << "bottom edge 2 units above the line";
        EXPECT_NEAR(c[2].Y, -2, 1e-3);
        EXPECT_NEAR(c[0].Y, -2 - size.height(), 1e-3);
        EXPECT_LT(c[0].X, c[1].X) << "reads from left to right";
        EXPECT_NEAR(c[1].X - c[0].X, size.width(), 1e-3);
    }
}

TEST(Bemassung, ExtensionLinesEndBeyondTheDimensionLine) {
    struct Case {
        const char* name;
        double offset;
        float extEnd, lineY;
    } cases[] = {
        {"offset 50: line above, 2 mm beyond", 50, -70, -50},
        {"offset -50: line below", -50, 70, 50},
        {"offset 0", 0, -20, 0},
    };
    for (const Case& c : cases) {
        auto d = Dim({0, 0}, {500, 0}, c.offset);
        const TBemassung::TGeometry& g = d->Geometry();
        ExpectNear(g.Ext1[0], {0, 0}, 1e-4, c.name);
        ExpectNear(g.Ext1[1], {0, c.extEnd}, 1e-4, c.name);
        ExpectNear(g.Ext2[1], {500, c.extEnd}, 1e-4, c.name);
        ExpectNear(g.D1, {0, c.lineY}, 1e-4, c.name);
        ExpectNear(g.D2, {500, c.lineY}, 1e-4, c.name);
        EXPECT_NEAR(d->LinePos.Y, c.lineY, 1e-4) << c.name;
        EXPECT_NEAR(d->OffsetOf(d->LinePos), c.offset, 1e-4) << c.name;
    }
}

TEST(Bemassung, ArrowsPointInwardsOrFromOutside) {
    // Fits: arrows inside, their backs towards the middle, spread by the arrow angle.
    auto wide = Dim({0, 0}, {500, 0});
    const TBemassung::TGeometry& g = wide->Geometry();
    ASSERT_EQ(g.Arrows.size(), 2u);
    ExpectNear(g.Arrows[0][0], {0, 0}, 1e-4, "first tip at D1");
    EXPECT_NEAR(g.Arrows[0][1].X, 30 * std::cos(7.5 * kPi / 180), 1e-3);
    EXPECT_NEAR(std::fabs(g.Arrows[0][1].Y), 30 * std::sin(7.5 * kPi / 180), 1e-3);
    EXPECT_NEAR(g.Arrows[0][1].Y, -g.Arrows[0][2].Y, 1e-4) << "symmetric about the line";
    EXPECT_GT(g.Arrows[1][1].X, 400) << "second arrow points back from D2";
    EXPECT_LT(g.Arrows[1][1].X, 500);
    ASSERT_EQ(g.Line.size(), 2u);
    EXPECT_TRUE(g.DimensionFits && g.TextFits);

    // Too short for arrows and text: tips stay, bodies outside, the text beyond D1.
    auto narrow = Dim({0, 0}, {10, 0});
    const TBemassung::TGeometry& n = narrow->Geometry();
    EXPECT_FALSE(n.DimensionFits);
    EXPECT_FALSE(n.TextFits);
    const double W = narrow->ValueLabel->GetSize().width();
    const double J = W - 30 + 4;
    ExpectNear(n.Arrows[0][0], {0, 0}, 1e-4, "tip at D1");
    EXPECT_LT(n.Arrows[0][1].X, 0) << "body outside";
    EXPECT_GT(n.Arrows[1][1].X, 10);
    EXPECT_NEAR(n.Line[0].X, -(60 + J), 1e-3) << "extended beyond D1 for arrow and text";
    EXPECT_NEAR(n.Line[1].X, 10 + 60, 1e-3);
    EXPECT_NEAR(narrow->ValueLabel->Corners[0].X, -(60 + J), 1e-3) << "text from the outer end";
    EXPECT_NEAR(narrow->ValueLabel->Corners[1].X, -(60 + J) + W, 1e-3);

    // Radial dimensions have one arrow, at D2, and never count as too short.
    auto radial = Dim({0, 0}, {30, 0}, 0, TBemassung::bkRadial);
    ASSERT_EQ(radial->Geometry().Arrows.size(), 1u);
    ExpectNear(radial->Geometry().Arrows[0][0], {30, 0}, 1e-4, "radial tip");
    EXPECT_TRUE(radial->Geometry().DimensionFits);
}

TEST(Bemassung, TolerancesStandBesideTheValue) {
    auto d = Dim({0, 0}, {800, 0});
    d->TolUpper->SetSourceText(QStringLiteral("+0,1"));
    d->TolLower->SetSourceText(QStringLiteral("-0,2"));
    d->Layout();
    const auto& v = d->ValueLabel->Corners;
    const double h = d->TolUpper->GetSize().height();
    EXPECT_NEAR(h, 16, 1e-3) << "half the value's height";
    ExpectNear(d->TolUpper->Corners[0], {float(v[1].X + h / 2), float(v[1].Y + h / 10)}, 1e-3,
               "upper");
    ExpectNear(d->TolLower->Corners[0], {float(v[2].X + h / 2), float(v[2].Y - 1.1 * h)}, 1e-3,
               "lower");
    // The block of value and tolerances is centred: the value moves left by half their width.
    const double lt =
        std::max(d->TolUpper->GetSize().width(), d->TolLower->GetSize().width()) + h / 2;
    EXPECT_NEAR(v[0].X, 400 - (d->ValueLabel->GetSize().width() + lt) / 2, 1e-3);
}

TEST(Bemassung, AngleLayout) {
    auto d = std::make_unique<TBemassung>();
    d->Kind = TBemassung::bkAngle;
    d->C = {0, 0};
    d->A = {200, 0};
    d->B = {0, -200}; // 90 degrees counter-clockwise
    d->UpdateValue(1);
    d->Layout();
    const TBemassung::TGeometry& g = d->Geometry();
    EXPECT_EQ(Label(*d), QStringLiteral("90"));
    ExpectNear(g.Ext1[1], {180, 0}, 1e-3, "towards C, 20 long");
    ExpectNear(g.Ext2[1], {0, -180}, 1e-3, "towards C, 20 long");
    for (const TRPoint& p : g.Line)
        EXPECT_NEAR(Distance({0, 0}, p), 180, 1e-2) << "the arc has radius |CA| - 20";
    ExpectNear(g.Line.front(), {180, 0}, 1e-2, "from A's direction");
    ExpectNear(g.Line.back(), {0, -180}, 1e-2, "to B's direction");
    EXPECT_TRUE(g.DimensionFits);
    // The label lies on the bisector at |CA| - 14 from C.
    const TRPoint mid = Midpoint(d->ValueLabel->Corners[0], d->ValueLabel->Corners[2]);
    EXPECT_NEAR(AngleOf(TRPoint{0, 0}, mid) * 180 / kPi, 45, 8);

    // A small angle puts the arrows outside, on the arc extended beyond its ends.
    auto small = std::make_unique<TBemassung>();
    small->Kind = TBemassung::bkAngle;
    small->C = {0, 0};
    small->A = {200, 0};
    small->B = {float(200 * std::cos(0.2)), float(-200 * std::sin(0.2))};
    small->Layout();
    const TBemassung::TGeometry& s = small->Geometry();
    EXPECT_FALSE(s.DimensionFits);
    EXPECT_GT(s.Line.front().Y, 0) << "the arc goes on below A's direction";
    ExpectNear(s.Arrows[0][0], {180, 0}, 1e-2, "tip at the end of the measured arc");
    EXPECT_GT(s.Arrows[0][1].Y, 0) << "the arrow's body lies outside the angle";
    for (const auto& arrow : s.Arrows)
        EXPECT_NEAR(Distance({0, 0}, Midpoint(arrow[1], arrow[2])), 180, 0.5)
            << "arrows sit on the arc";
}

TEST(Bemassung, FixFreezesTheValue) {
    auto d = Dim({0, 0}, {254, 0});
    d->Fix();
    EXPECT_FALSE(d->AutoValue);
    EXPECT_EQ(d->FixedValue, QStringLiteral("25.4"));
    d->ScaleAt({0, 0}, 2, 1);
    d->UpdateValue(1);
    EXPECT_EQ(Label(*d), QStringLiteral("25.4")) << "stretching no longer changes the text";
    d->UpdateValue(3);
    EXPECT_EQ(Label(*d), QStringLiteral("25.4")) << "nor does the drawing scale";
    d->Unfix();
    d->UpdateValue(1);
    EXPECT_EQ(Label(*d), QStringLiteral("50.8"));

    // The sheet command: selected dimensions and those in selected groups at any depth.
    TElementList list;
    list.push_back(Dim({0, 0}, {100, 0}));
    auto outer = std::make_unique<TGruppe>();
    auto inner = std::make_unique<TGruppe>();
    inner->Add(Dim({0, 0}, {200, 0}));
    outer->Add(std::move(inner));
    list.push_back(std::move(outer));
    list.push_back(Dim({0, 0}, {300, 0}));
    list[0]->SetSelected(true);
    list[1]->SetSelected(true);
    EXPECT_EQ(ApplyDimensionFix(list, true), 2);
    auto* deep = static_cast<TBemassung*>(
        &static_cast<TGruppe&>(static_cast<TGruppe&>(*list[1]).Child(0)).Child(0));
    EXPECT_FALSE(static_cast<TBemassung&>(*list[0]).AutoValue);
    EXPECT_FALSE(deep->AutoValue);
    EXPECT_EQ(deep->FixedValue, QStringLiteral("20"));
    EXPECT_TRUE(static_cast<TBemassung&>(*list[2]).AutoValue) << "not selected";
    EXPECT_EQ(ApplyDimensionFix(list, false), 2);
    EXPECT_TRUE(deep->AutoValue);
}

TEST(Bemassung, TransformsKeepTheLineOnItsSide) {
    auto d = Dim({0, 0}, {500, 0}, 50);
    d->MirrorX({250, 0});
    ExpectNear(d->Geometry().D1, {500, -50}, 1e-3, "mirrored, still above");
    d->ScaleAt({0, 0}, 2, 2);
    EXPECT_NEAR(std::fabs(d->Offset), 100, 1e-3) << "the offset scales with the drawing";
    ExpectNear(d->Geometry().D1, {1000, -100}, 1e-3, "scaled, still above");
    d->RotateAt({0, 0}, kPi / 2);
    EXPECT_NEAR(std::fabs(d->Offset), 100, 1e-3);
    EXPECT_NEAR(Distance(d->Geometry().D1, d->A), 100, 1e-2);

    // Points that fall together when scaled are kept apart.
    auto flat = Dim({10, 10}, {20, 10});
    flat->ScaleAt({10, 10}, 0, 0);
    EXPECT_EQ(flat->A, (TRPoint{10, 10}));
    EXPECT_EQ(flat->B, (TRPoint{11, 11}));

    // While the user adjusts a plain dimension the offset follows the line position.
    auto adj = Dim({0, 0}, {500, 0});
    adj->LinePos = {250, -80};
    g_DimensionAdjusting = true;
    adj->Layout();
    g_DimensionAdjusting = false;
    EXPECT_NEAR(adj->Offset, 80, 1e-4);
}

TEST(Bemassung, RecordRoundTripsAndKeepsItsLayout) {
    auto d = Dim({10, 20}, {410.5f, 120}, -35.25);
    d->Prefix = QStringLiteral("L=");
    d->Suffix = QStringLiteral(" mm");
    d->ShowDiameter = true;
    d->TolUpper->SetSourceText(QStringLiteral("+0,2"));
    d->ArrowAngle = 20;
    d->ArrowLength = 25;
    d->ExtColor = 0x112233;
    d->DimColor = 0x445566;
    d->DecimalPoint = false;
    d->Precision = 100;
    d->C = {1, 2};
    d->UpdateValue(1);
    const QByteArray saved = SaveRecord(*d);
    std::unique_ptr<TBemassung> back = LoadRecord<TBemassung>(saved);
    EXPECT_EQ(SaveRecord(*back).toHex(), saved.toHex());
    EXPECT_EQ(back->LastValue, d->LastValue) << "the number shown last, from the stored label";
    EXPECT_EQ(back->ValueLabel->Corners, d->ValueLabel->Corners);
    EXPECT_EQ(back->TolUpper->SourceText, QStringLiteral("+0,2"));
    // The record ends with the arrows, colours, decimal point and precision.
    const QByteArray tail = Bytes([](TStreamWriter& w) {
        w.WriteI32(20);
        w.WriteI32(25);
        w.WriteI32(0x112233);
        w.WriteI32(0x445566);
        w.WriteBool(false);
        w.WriteI32(100);
    });
    EXPECT_EQ(saved.right(tail.size()).toHex(), tail.toHex());
    // A record cut short is a load error.
    TBemassung cut;
    TStreamReader r(saved.left(saved.size() - 2));
    EXPECT_THROW(cut.LoadFromStream(r), LoadError);

    const QJsonObject dump = DumpElement(*back);
    EXPECT_EQ(dump.value("Prefix").toString(), QStringLiteral("L="));
    EXPECT_EQ(dump.value("ValueLabel").toObject().value("type").toString(),
              QStringLiteral("TText"));
}

TEST(Bemassung, DrawsInItsColoursAndInTheSelectionColour) {
    auto d = Dim({20, 100}, {180, 100}, 30);
    d->LineWidth = 3;
    d->ExtColor = 0x00FF00;
    d->DimColor = 0x0000FF;
    struct Case {
        const char* name;
        bool selected, smooth;
        qint32 ext, dim;
    } cases[] = {
        {"own colours", false, false, 0x00FF00, 0x0000FF},
        {"selected, plain", true, false, g_SelectionColors.Main, g_SelectionColors.Main},
        {"selected, antialiased", true, true, 0xFF00FF, 0xFF00FF},
    };
    for (const Case& c : cases) {
        d->SetSelected(c.selected);
        EXPECT_EQ(d->ValueLabel->Selected, c.selected) << c.name;
        QImage img(200, 200, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        TDrawContext dc(p, TView{}, c.smooth);
        d->Draw(dc);
        p.end();
        EXPECT_EQ(At(img, 20, 90), c.ext) << c.name << ": extension line";
        EXPECT_EQ(At(img, 100, 70), c.dim) << c.name << ": dimension line";
    }
    // The drawing scale of the context decides the value.
    QImage img(10, 10, QImage::Format_RGB32);
    QPainter p(&img);
    TDrawContext dc(p, TView{}, true);
    dc.DrawingScale = 10;
    d->Draw(dc);
    EXPECT_EQ(d->LastValue, QStringLiteral("160"));
    TSVG svg;
    d->WriteSvg(svg);
    EXPECT_TRUE(svg.SvgLines.first().startsWith(QStringLiteral("<polyline")));
    EXPECT_TRUE(svg.SvgLines.join(QString()).contains(QStringLiteral("rgb(0,255,0)")));
}
