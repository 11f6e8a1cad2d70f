#include "elements/MyD2D.h"
#include "elements/TextRect.h"
#include "elements/glyphs.h"
#include "elements/text.h"
#include "elements/textsettings.h"
#include "platform/cp1252.h"
#include "platform/stream.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTransform>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace {
constexpr double kPi = 3.14159265358979323846;

// Restores the settings and the transform state a test changed.
struct SettingsGuard {
    TTextSettings saved = g_TextSettings;
    TTextTransformState state = g_TextTransform;
    ~SettingsGuard() {
        g_TextSettings = saved;
        g_TextTransform = state;
        SetPlaceholderExpander(nullptr);
    }
};

QString pageThree(const TText&, const QString& source) {
    QString s = source;
    return s.replace(QStringLiteral("<PAGENO>"), QStringLiteral("3"), Qt::CaseInsensitive);
}

QByteArray save(const TElement& e) {
    QByteArray b;
    TStreamWriter w(&b);
    e.SaveToStream(w);
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

void header(TStreamWriter& w) {
    w.WriteBool(false);
    w.WriteBool(true);
    w.WriteI32(2);
    w.WriteI32(0);
    w.WriteU8(0);
    w.WriteZeros(3);
    w.WriteI32(clWhite);
    w.WriteU8(0);
    w.WriteZeros(3);
    w.WriteBool(false);
}

void counted(TStreamWriter& w, const QString& s) {
    WriteCountedShortString(w, s);
}

std::unique_ptr<TText> text(const QString& s, TRPoint at, qint32 alignment = taLeft,
                            qint32 height = 40) {
    auto t = std::make_unique<TText>();
    t->Font.Name = QStringLiteral("Arial");
    t->Alignment = alignment;
    t->SetTextAndFormat(s, t->Font, alignment, height);
    t->PlaceAt(at);
    return t;
}

bool near(TRPoint a, TRPoint b, double tol = 0.01) {
    return std::fabs(a.X - b.X) <= tol && std::fabs(a.Y - b.Y) <= tol;
}
#define EXPECT_NEAR_PT(a, b)                                                                       \
    EXPECT_TRUE(near(a, b)) << "(" << (a).X << ", " << (a).Y << ") vs (" << (b).X << ", " << (b).Y \
                            << ")"

QImage render(TElement& e, bool printing = false, double zoom = 1, QSize size = {400, 200}) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    TView v;
    v.ZoomX = v.ZoomY = float(zoom);
    TDrawContext dc(p, v, true);
    dc.Printing = printing;
    e.Draw(dc);
    return img;
}

int ink(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += qGray(img.pixel(x, y)) < 128;
    return n;
}
} // namespace

// ------------------------------------------------------------------------------------ glyph run

TEST(GlyphLayout, FontsResolveThroughFontconfigAndUnknownOnesAreReported) {
    EXPECT_TRUE(FontInstalled(QStringLiteral("Arial")));
    EXPECT_TRUE(FontInstalled(QStringLiteral("arial")));
    EXPECT_TRUE(FontInstalled(QStringLiteral("Liberation Serif")));
    EXPECT_FALSE(FontInstalled(QStringLiteral("No Such Face At All")));
    EXPECT_FALSE(FontInstalled(QString()));
    EXPECT_EQ(GlyphFace(QStringLiteral("Arial"), 0).Family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(&GlyphFace(QStringLiteral("ARIAL"), fsUnderline),
              &GlyphFace(QStringLiteral("Arial"), 0))
        << "one face per name and weight/slant, cached";
    // The reference size fixes the cell: ascent plus descent is 100.
    TGlyphFace& f = GlyphFace(QStringLiteral("Arial"), fsBold);
    EXPECT_NEAR(f.Ascent() + f.Descent(), kReferenceHeight, 1e-6);
}

TEST(GlyphLayout, AdvanceTabAndLastCharacterRules) {
    TGlyphFace& face = GlyphFace(QStringLiteral("Arial"), 0);
    TGlyphRun run;
    LayoutGlyphRun(QString(), QStringLiteral("Arial"), 0, false, run);
    const double space = face.Metrics(U' ').Advance;
    EXPECT_GT(space, 10);
    EXPECT_DOUBLE_EQ(run.Width, space) << "an empty text is measured as one space";

    // Every character advances by its cell increment; the last one by at least its black box.
    LayoutGlyphRun(QStringLiteral("AV"), QStringLiteral("Arial"), 0, false, run);
    const TGlyphMetrics& a = face.Metrics(U'A');
    const TGlyphMetrics& v = face.Metrics(U'V');
    EXPECT_DOUBLE_EQ(run.Width, a.Advance + std::max(v.Advance, v.BlackRight));
    LayoutGlyphRun(QStringLiteral("f"), QStringLiteral("Arial"), fsItalic, false, run);
    const TGlyphMetrics& f = GlyphFace(QStringLiteral("Arial"), fsItalic).Metrics(U'f');
    EXPECT_GT(f.BlackRight, f.Advance) << "italic f overhangs its cell";
    EXPECT_DOUBLE_EQ(run.Width, f.BlackRight);

    // Tab stops every 355 units, one unit past the stop; a tab has no outline.
    LayoutGlyphRun(QStringLiteral("\t"), QStringLiteral("Arial"), 0, true, run);
    EXPECT_DOUBLE_EQ(run.Width, 356);
    EXPECT_TRUE(run.Outline.isEmpty());
    LayoutGlyphRun(QStringLiteral("A\tA\t"), QStringLiteral("Arial"), 0, false, run);
    EXPECT_DOUBLE_EQ(run.Width, 711); // 356 + A stays below 710, so the next stop is 710 + 1
}

TEST(GlyphLayout, OutlinesAreFlattenedAndFillTheCell) {
    QPainterPath curve;
    curve.moveTo(0, 0);
    curve.cubicTo(10, 0, 20, 10, 20, 20);
    curve.lineTo(0, 20);
    const QPainterPath flat = FlattenGlyphPath(curve);
    const QList<QPolygonF> polys = flat.toSubpathPolygons();
    ASSERT_EQ(polys.size(), 1);
    // start, five curve points, the line's end, and the closing point
    EXPECT_EQ(polys[0].size(), 1 + 5 + 1 + 1);
    EXPECT_EQ(polys[0][5], QPointF(20, 20));
    const QPointF mid = polys[0][3]; // t = 0.6
    EXPECT_NEAR(mid.x(), 0.6 * 3 * 0.16 * 10 + 3 * 0.4 * 0.36 * 20 + 0.216 * 20, 1e-9);

    TGlyphRun run;
    LayoutGlyphRun(QStringLiteral("ÄgjpqÉ"), QStringLiteral("Arial"), 0, true, run);
    const QRectF box = run.Outline.boundingRect();
    EXPECT_GE(box.top(), 0);
    EXPECT_LE(box.bottom(), kReferenceHeight);
    EXPECT_GE(box.left(), 0);
    EXPECT_LE(box.right(), run.Width);
    for (const QPainterPath::Element& e : {run.Outline.elementAt(0), run.Outline.elementAt(1)})
        EXPECT_NE(e.type, QPainterPath::CurveToElement) << "only polygons remain";
}

// ----------------------------------------------------------------------------------- text rules

TEST(Text, DefaultsComeFromThePresetAndTheLanguage) {
    SettingsGuard g;
    g_TextSettings.Text.Name = QStringLiteral("Liberation Serif");
    g_TextSettings.Text.Height = 55;
    g_TextSettings.Text.Bold = true;
    g_TextSettings.Text.Color = 0x0000FF;
    g_TextSettings.Text.Ausrichtung = 1;
    g_TextSettings.Text.TextFill = true;
    g_TextSettings.Text.TextFillColor = 0x00FF00;
    const TElementPtr e = ElementFactory(etText);
    ASSERT_TRUE(e);
    auto& t = static_cast<TText&>(*e);
    EXPECT_EQ(t.Font.Name, QStringLiteral("Liberation Serif"));
    EXPECT_EQ(t.Font.Height, 55);
    EXPECT_EQ(t.Font.Style, fsBold);
    EXPECT_EQ(t.Font.Color, 0x0000FF);
    EXPECT_EQ(t.Alignment, taCenter);
    EXPECT_TRUE(t.Fill);
    EXPECT_EQ(t.FillColorText, 0x00FF00);
    EXPECT_FALSE(IsNullGuid(t.Id));
    EXPECT_TRUE(IsNullGuid(t.LinkTarget));
    EXPECT_TRUE(t.LayoutDirty);
    EXPECT_NE(t.Id, TText().Id) << "every text gets its own identity";
    EXPECT_EQ(t.SourceText, DefaultTextOfLanguage());
    EXPECT_TRUE(ElementFactory(etTextRect));
    EXPECT_EQ(ElementFactory(etTextRect)->TypeCode, etTextRect);
}

TEST(Text, ChangingTheTextKeepsTheAlignmentPoint) {
    struct Case {
        const char* name;
        qint32 alignment;
    } cases[] = {{"left keeps C0 and C3", taLeft},
                 {"centred keeps the edge midpoints", taCenter},
                 {"right keeps C1 and C2", taRight}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto t = text(QStringLiteral("R1"), {500, 300}, c.alignment);
        const auto before = t->Corners;
        const double w0 = t->GlyphWidth;
        t->SetTextAndFormat(QStringLiteral("R10"), t->Font, c.alignment, 40);
        const auto& C = t->Corners;
        EXPECT_GT(t->GlyphWidth, w0);
        EXPECT_NEAR(Distance(C[0], C[1]), t->GlyphWidth, 0.01) << "box follows the new width";
        if (c.alignment == taLeft) {
            EXPECT_EQ(C[0], before[0]);
            EXPECT_EQ(C[3], before[3]);
            EXPECT_GT(C[1].X, before[1].X);
            EXPECT_GT(C[2].X, before[2].X);
        } else if (c.alignment == taRight) {
            EXPECT_EQ(C[1], before[1]);
            EXPECT_EQ(C[2], before[2]);
            EXPECT_LT(C[0].X, before[0].X);
        } else {
            EXPECT_NEAR_PT(Midpoint(C[0], C[1]), Midpoint(before[0], before[1]));
            EXPECT_NEAR_PT(Midpoint(C[3], C[2]), Midpoint(before[3], before[2]));
        }
        const TRPoint ref = c.alignment == taLeft    ? before[0]
                            : c.alignment == taRight ? before[1]
                                                     : Midpoint(before[0], before[1]);
        EXPECT_NEAR_PT(t->GetRefPoint(), ref);
    }

    // A stretched box stays stretched by the same factor; a height change scales about C0.
    auto t = text(QStringLiteral("Wide"), {0, 0});
    t->ScaleAt({0, 0}, 2, 1);
    const double stretched = Distance(t->Corners[0], t->Corners[1]);
    EXPECT_NEAR(stretched, 2 * t->GlyphWidth, 0.01);
    t->SetTextAndFormat(QStringLiteral("Wide"), t->Font, taLeft, 80);
    EXPECT_EQ(t->Corners[0], (TRPoint{0, 0}));
    EXPECT_NEAR(t->CurrentHeight(), 80, 0.01);
    EXPECT_NEAR(Distance(t->Corners[0], t->Corners[1]), 2 * stretched, 0.05);
    EXPECT_TRUE(t->LayoutDirty);
}

TEST(Text, SizePlacementAndHeight) {
    auto t = text(QString(), {100, 50}, taCenter);
    EXPECT_GT(t->GetSize().width(), 1) << "an empty text is one space wide";
    EXPECT_NEAR_PT(Midpoint(t->Corners[0], t->Corners[1]), (TRPoint{100, 50}));
    t->Font.Height = 0;
    EXPECT_EQ(t->GetSize(), QSizeF(1, 1));
    t->Measure();
    EXPECT_EQ(t->Font.Height, 1) << "a height of 0 is measured as 1";

    // Scaling caps the height at 500 mm and never collapses the box.
    auto big = text(QStringLiteral("X"), {0, 0});
    big->ScaleAt({0, 0}, 200, 200);
    EXPECT_EQ(big->Font.Height, 5000);
    auto flat = text(QStringLiteral("X"), {0, 0});
    flat->ScaleAt({0, 0}, 1, 0);
    EXPECT_GE(flat->GetBounds().Height(), 0.09);
    EXPECT_GE(flat->Font.Height, 1);

    // The height is read square to the lines: a horizontal shear keeps it; so does a mirror.
    auto s = text(QStringLiteral("Shear"), {0, 0}, taLeft, 60);
    s->ShearAt({0, 60}, 0.5, 0);
    EXPECT_NEAR(s->CurrentHeight(), 60, 0.01);
    EXPECT_GT(Distance(s->Corners[0], s->Corners[3]), 60);
    SettingsGuard g;
    g_TextSettings.TexteSpiegeln = true;
    s->MirrorX({0, 0});
    EXPECT_NEAR(s->CurrentHeight(), 60, 0.01);
    s->ReverseDirection = true;
    EXPECT_NEAR(s->CurrentHeight(), 60, 0.01);

    // Normalize puts the box upright inside the sheet.
    auto n = text(QStringLiteral("Edge"), {2950, -20});
    n->RotateAt({2950, 0}, kPi / 6);
    n->Normalize(3000, 2000);
    EXPECT_EQ(n->Corners[0].Y, 0);
    EXPECT_NEAR(n->Corners[1].X, 3000, 0.01);
    EXPECT_EQ(n->Corners[0].Y, n->Corners[1].Y);
}

TEST(Text, PlaceholderAndLinkPredicates) {
    struct Case {
        const char* text;
        bool placeholders;
        bool web;
    } cases[] = {
        {"<PAGENO>", true, false}, {"a > b < c", false, false},   {"x<y", false, false},
        {"<>", true, false},       {"www.kavro.de", false, true}, {"WWW.x", false, true},
        {"http://x", false, true}, {"HTTPS", false, true},        {"www", false, false},
        {"ftp://x", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TText t;
        t.SetSourceText(QString::fromUtf8(c.text));
        EXPECT_EQ(t.PlaceholdersPresent(), c.placeholders);
        EXPECT_EQ(t.IsWebLink(), c.web);
    }
    SettingsGuard g;
    SetPlaceholderExpander(pageThree);
    TText t;
    t.LayoutDirty = false;
    t.SetSourceText(QStringLiteral("Blatt <pageno>"));
    EXPECT_EQ(t.ShownText, QStringLiteral("Blatt 3"));
    EXPECT_TRUE(t.LayoutDirty);
    t.LayoutDirty = false;
    t.SetSourceText(QStringLiteral("Blatt <PAGENO>"));
    EXPECT_FALSE(t.LayoutDirty) << "same shown text, no new layout";
}

TEST(Text, RotateRulesFollowTheSettingsAndShift) {
    SettingsGuard g;
    struct Case {
        const char* name;
        bool drehen, shift, single, dimension;
        bool turns;
    } cases[] = {
        {"setting on", true, false, false, false, true},
        {"setting on, SHIFT keeps upright", true, true, false, false, false},
        {"setting off keeps upright", false, false, false, false, false},
        {"setting off, single selected text turns", false, false, true, false, true},
        {"setting off, dimension label turns", false, false, false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_TextSettings.TexteDrehen = c.drehen;
        auto t = text(QStringLiteral("Turn"), {200, 100});
        const TRPoint centre = Midpoint(t->Corners[0], t->Corners[2]);
        {
            TTextTransformScope scope({c.shift, c.single, c.dimension});
            t->RotateAt({0, 0}, kPi / 2);
        }
        // The centre always goes round (a quarter turn clockwise on the screen).
        TRPoint expected = centre;
        RotatePoint(expected, {0, 0}, kPi / 2);
        EXPECT_NEAR_PT(Midpoint(t->Corners[0], t->Corners[2]), expected);
        const bool upright = std::fabs(t->Corners[0].Y - t->Corners[1].Y) < 0.01 &&
                             t->Corners[1].X > t->Corners[0].X;
        EXPECT_EQ(upright, !c.turns);
        if (c.turns) EXPECT_GT(t->Corners[1].Y, t->Corners[0].Y) << "reads downwards";
    }
}

TEST(Text, MirrorRulesKeepTextsReadableUnlessAsked) {
    SettingsGuard g;
    struct Case {
        const char* name;
        bool spiegeln, shift, single, vertical;
        qint32 alignment, alignmentAfter;
        bool readable;
    } cases[] = {
        {"X, setting off: readable, left becomes right", false, false, false, false, taLeft,
         taRight, true},
        {"X, setting off, right becomes left", false, false, false, false, taRight, taLeft, true},
        {"X, setting off, centred stays", false, false, false, false, taCenter, taCenter, true},
        {"X, setting on: mirror image", true, false, false, false, taLeft, taRight, false},
        {"X, SHIFT: mirror image", false, true, false, false, taLeft, taRight, false},
        {"X, single selected: mirror image", false, false, true, false, taLeft, taRight, false},
        {"Y, setting off: readable, alignment kept", false, false, false, true, taLeft, taLeft,
         true},
        {"Y, setting on: upside down", true, false, false, true, taLeft, taLeft, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_TextSettings.TexteSpiegeln = c.spiegeln;
        auto t = text(QStringLiteral("Mirror"), {200, 100}, c.alignment);
        const TRRect before = t->GetBounds();
        t->LayoutDirty = false;
        {
            TTextTransformScope scope({c.shift, c.single, false});
            if (c.vertical)
                t->MirrorY({0, 0});
            else
                t->MirrorX({0, 0});
        }
        const TRRect after = t->GetBounds();
        if (c.vertical)
            EXPECT_EQ(after, (TRRect{before.Left, -before.Bottom, before.Right, -before.Top}));
        else
            EXPECT_EQ(after, (TRRect{-before.Right, before.Top, -before.Left, before.Bottom}));
        const bool readable =
            t->Corners[0].X < t->Corners[1].X && t->Corners[0].Y < t->Corners[3].Y;
        EXPECT_EQ(readable, c.readable);
        EXPECT_EQ(t->Alignment, c.alignmentAfter);
        EXPECT_TRUE(t->LayoutDirty);
    }
}

TEST(Text, HitTestsSnapAndLinkShapes) {
    TView v;
    auto t = text(QStringLiteral("Hit me"), {100, 100});
    const TRPoint mid = Midpoint(t->Corners[0], t->Corners[2]);
    EXPECT_TRUE(t->HitPoint(v, v.ToPixel(mid)));
    EXPECT_FALSE(t->HitPoint(v, v.ToPixel({mid.X, 90})));
    EXPECT_TRUE(t->HitRect(v, v.HitRectOf({50, 50, 1000, 1000}), true));
    EXPECT_FALSE(t->HitRect(v, v.HitRectOf({50, 50, 120, 120}), true));
    EXPECT_TRUE(t->HitRect(v, v.HitRectOf({50, 50, 120, 120}), false));

    // A link text is hit on its arrow-shaped tag, beyond the right edge of the box.
    const float right = t->Corners[1].X;
    EXPECT_FALSE(t->HitPoint(v, v.ToPixel({right + 25, 120})));
    t->LinkTarget[3] = 7;
    EXPECT_TRUE(t->HitPoint(v, v.ToPixel({right + 25, 120})));
    const auto frame = t->TagFrame();
    const double h = 40, b = h / 4;
    EXPECT_NEAR_PT(frame[0], (TRPoint{float(right + b), 100}));         // TR
    EXPECT_NEAR_PT(frame[1], (TRPoint{float(right + b + h / 2), 120})); // tip
    EXPECT_NEAR_PT(frame[4], frame[3]) << "no swallow tail without a link target";
    EXPECT_GT(t->GetScreenRect(v).Right, v.ToPixel({right, 0}).x() + 25);
    t->LinkTargetReleased = true;
    const auto target = t->TagFrame();
    EXPECT_NEAR_PT(target[5], (TRPoint{float(100 - 3 * b), 100}));         // TL
    EXPECT_NEAR_PT(target[4], (TRPoint{float(100 - 3 * b + 2 * b), 120})); // notch

    // Web links carry an arrow along the bottom edge, tip at C2.
    auto w = text(QStringLiteral("www.example.org"), {0, 0}, taLeft, 48);
    ASSERT_TRUE(w->HasLinkArrow());
    const auto a = w->LinkArrow();
    EXPECT_EQ(a[3], w->Corners[2]);
    EXPECT_NEAR(Distance(a[0], a[6]), 48.0 / 12, 1e-4);
    EXPECT_NEAR(Distance(a[2], a[4]), 5 * 48.0 / 24, 1e-4);

    // Corners snap only while nothing but texts is dragged, and never for a selected text.
    TRPoint p{101, 101};
    EXPECT_FALSE(t->SnapToPoint(v, p));
    std::vector<TRPoint*> pts;
    t->AddSnapPoints(pts);
    EXPECT_TRUE(pts.empty());
    g_ElementSwitches.DragTextsOnly = true;
    EXPECT_TRUE(t->SnapToPoint(v, p));
    EXPECT_EQ(p, t->Corners[0]);
    t->AddSnapPoints(pts);
    EXPECT_EQ(pts.size(), 4u);
    t->Selected = true;
    p = {101, 101};
    EXPECT_FALSE(t->SnapToPoint(v, p));
    g_ElementSwitches.DragTextsOnly = false;
}

// ------------------------------------------------------------------------------------- drawing

TEST(Text, DrawsGlyphsWithTheNonZeroRuleAndFrames) {
    auto o = text(QStringLiteral("O"), {20, 20}, taLeft, 150);
    const QImage img = render(*o);
    const TRPoint c = Midpoint(o->Corners[0], o->Corners[2]);
    // The counter of the O stays white; its ring is inked left and right of it.
    EXPECT_EQ(qGray(img.pixel(int(c.X), int(c.Y + 5))), 255);
    int crossings = 0;
    bool on = false;
    for (int x = 20; x < int(o->Corners[1].X); ++x) {
        const bool now = qGray(img.pixel(x, int(c.Y + 5))) < 128;
        crossings += now && !on;
        on = now;
    }
    EXPECT_EQ(crossings, 2);

    // Underline and strike-out bars add ink without cutting holes into the letters.
    auto plain = text(QStringLiteral("HHH"), {20, 20}, taLeft, 100);
    auto styled = text(QStringLiteral("HHH"), {20, 20}, taLeft, 100);
    styled->Font.Style = fsUnderline | fsStrikeOut;
    styled->LayoutDirty = true;
    const QImage a = render(*plain), b = render(*styled);
    EXPECT_GT(ink(b), ink(a));
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (qGray(a.pixel(x, y)) < 64) ASSERT_LT(qGray(b.pixel(x, y)), 128) << x << "," << y;

    // Selected texts draw in the main selection colour; filled ones get their background.
    auto s = text(QStringLiteral("Sel"), {20, 20}, taLeft, 80);
    s->Fill = true;
    s->FillColorText = 0x00FFFF; // yellow
    const QImage filled = render(*s);
    EXPECT_EQ(filled.pixel(int(s->Corners[0].X) + 1, int(s->Corners[0].Y) + 1), qRgb(255, 255, 0));
    s->Selected = true;
    const QImage sel = render(*s);
    bool mainColour = false;
    for (int y = 20; y < 100 && !mainColour; ++y)
        for (int x = 20; x < 150 && !mainColour; ++x)
            mainColour = sel.pixel(x, y) == ToQColor(g_SelectionColors.Main).rgb();
    EXPECT_TRUE(mainColour);
    EXPECT_EQ(sel.pixel(int(s->Corners[0].X) + 1, int(s->Corners[0].Y) + 1),
              ToQColor(g_SelectionColors.Third).rgb());

    // A blank text shows its box as construction lines on the screen, never on paper.
    auto blank = text(QStringLiteral("  "), {20, 20}, taLeft, 60);
    QImage screen = render(*blank);
    bool marker = false;
    for (int x = 20; x < 40; ++x)
        marker |= screen.pixel(x, 20) != qRgb(255, 255, 255);
    EXPECT_TRUE(marker);
    EXPECT_EQ(render(*blank, true), [] {
        QImage i(400, 200, QImage::Format_RGB32);
        i.fill(Qt::white);
        return i;
    }());
    blank->IsDesignator = true;
    const QImage label = render(*blank);
    bool any = false;
    for (int x = 20; x < 40; ++x)
        any |= label.pixel(x, 20) != qRgb(255, 255, 255);
    EXPECT_FALSE(any) << "component labels draw no blank frame";

    // Invisible texts draw nothing.
    o->Visible = false;
    EXPECT_EQ(ink(render(*o)), 0);
}

TEST(Text, ReversedDirectionTurnsTheGlyphsInsideTheBox) {
    auto t = text(QStringLiteral("L"), {20, 20}, taLeft, 150);
    const QImage normal = render(*t);
    t->ReverseDirection = true;
    const QImage reversed = render(*t);
    // The L turned by 180 degrees inside its box: the picture rotated about the box centre.
    const TRPoint c = Midpoint(t->Corners[0], t->Corners[2]);
    int mismatches = 0, inked = 0;
    for (int y = 20; y < 170; ++y)
        for (int x = 20; x < int(t->Corners[1].X); ++x) {
            const int rx = int(std::lround(2 * c.X - x - 1)),
                      ry = int(std::lround(2 * c.Y - y - 1));
            if (rx < 0 || ry < 0) continue;
            const bool a = qGray(normal.pixel(x, y)) < 128;
            const bool b = qGray(reversed.pixel(rx, ry)) < 128;
            inked += a;
            mismatches += a != b;
        }
    EXPECT_GT(inked, 500);
    EXPECT_LT(mismatches, inked / 20);
}

// A text is filled in pieces where its glyphs lie pixels apart; the picture must be the one a
// single fill of the whole outline gives, and a text changed after it was drawn must be drawn as
// it is now, as a text made in the changed state is.
TEST(Text, DrawingAfterAChangeFillsTheOutlineAsOneWould) {
    struct Case {
        const char* name;
        std::function<void(TText&)> change;
    };
    const Case cases[] = {
        {"nothing", [](TText&) {}},
        {"new text", [](TText& t) { t.SetSourceText(QStringLiteral("W i l l 1 2")); }},
        {"moved a fraction",
         [](TText& t) {
             t.MoveBy({13.37f, 2.6f});
         }},
        {"turned", [](TText& t) { t.RotateCorners(t.Corners[0], 0.5); }},
        {"upright turned", [](TText& t) { t.RotateCorners(t.Corners[0], -kPi / 2); }},
        {"sheared", [](TText& t) { t.ShearAt(t.Corners[0], 0.3, 0.1); }},
        {"reversed", [](TText& t) { t.ReverseDirection = true; }},
        {"underlined",
         [](TText& t) {
             t.Font.Style = fsUnderline;
             t.LayoutDirty = true;
         }},
        {"italic, bigger",
         [](TText& t) {
             TTextFont f = t.Font;
             f.Style = fsItalic;
             t.SetTextAndFormat(t.SourceText, f, t.Alignment, 70);
         }},
        {"partly outside",
         [](TText& t) {
             t.MoveBy({-60, 0});
         }},
    };
    // Views: as drawn first, then zoomed out and in with fractional offsets.
    const TView views[] = {[] { return TView{}; }(),
                           [] {
                               TView v;
                               v.ZoomX = v.ZoomY = 0.37f;
                               v.OffsetX = 3.3f;
                               v.OffsetY = 1.7f;
                               return v;
                           }(),
                           [] {
                               TView v;
                               v.ZoomX = v.ZoomY = 2.31f;
                               v.OffsetX = -101.6f;
                               v.OffsetY = -40.2f;
                               return v;
                           }()};
    auto draw = [](TText& t, const TView& view) {
        QImage img(400, 200, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::white);
        QPainter p(&img);
        TDrawContext dc(p, view, true);
        t.Draw(dc);
        return img;
    };
    auto oneFill = [](TText& t, const TView& view) {
        QImage img(400, 200, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::white);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        if (t.LayoutDirty) t.RebuildGlyphs();
        p.setWorldTransform(t.GlyphTransform() *
                            QTransform(view.ZoomX, 0, 0, view.ZoomY, view.OffsetX, view.OffsetY));
        QPainterPath path = t.GlyphCache;
        path.setFillRule(Qt::WindingFill);
        p.fillPath(path, ToQColor(t.Font.Color));
        return img;
    };
    for (const Case& c : cases) {
        for (size_t v = 0; v < std::size(views); ++v) {
            SCOPED_TRACE(testing::Message() << c.name << ", view " << v);
            auto drawn = text(QStringLiteral("R 1 W a.l,l fi"), {30.3f, 60.6f}, taLeft, 33);
            draw(*drawn, TView{});
            c.change(*drawn);
            auto fresh = text(QStringLiteral("R 1 W a.l,l fi"), {30.3f, 60.6f}, taLeft, 33);
            c.change(*fresh);
            const QImage now = draw(*drawn, views[v]);
            EXPECT_GT(ink(now), 0);
            EXPECT_TRUE(now == draw(*fresh, views[v])) << "drawn as before the change";
            EXPECT_TRUE(now == oneFill(*fresh, views[v])) << "pieces differ from one fill";
        }
    }
}

// -------------------------------------------------------------------------------------- records

TEST(Text, RecordsRoundTripByteForByteWithFontsByName) {
    SettingsGuard g;
    SetPlaceholderExpander(pageThree);
    auto t = text(QStringLiteral("Seite <PAGENO>"), {12.5f, 40.25f}, taRight, 37);
    ASSERT_EQ(t->ShownText, QStringLiteral("Seite 3"));
    t->Font.Name = QStringLiteral("Liberation Serif");
    t->Font.Style = fsItalic | fsUnderline | fsStrikeOut;
    t->Font.Color = 0x336699;
    t->LinkTargetReleased = true;
    t->ExternalLink = QStringLiteral("/home/u/Plan ä.pdf");
    t->LinkTarget[15] = 0xAB;
    t->Fill = true;
    t->FillColorText = 0x010203;
    t->ReverseDirection = true;
    t->RotateCorners({0, 0}, 0.3);
    const QByteArray bytes = save(*t);
    const QByteArray name = QByteArrayLiteral("Liberation Serif");
    const int fixed = 23 + 32 + (4 + 2 * 14) + (4 + 1 + name.size()) + 1 + 4 + 4 + 4 + 1 +
                      (4 + 2 * 18) + 16 + 16 + 1 + 4 + 1;
    ASSERT_EQ(bytes.size(), fixed + 4 + 2 * 7) << "the shown text follows";
    EXPECT_EQ(bytes.mid(23 + 32 + 4 + 28 + 5, name.size()), name) << "typeface stored by name";
    EXPECT_EQ(
        QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + fixed + 4), 7),
        QStringLiteral("Seite 3"));

    const auto back = load<TText>(bytes, 80);
    EXPECT_EQ(back->SourceText, t->SourceText);
    EXPECT_EQ(back->ShownText, QStringLiteral("Seite 3"));
    EXPECT_EQ(back->Font, t->Font);
    EXPECT_EQ(back->Corners, t->Corners);
    EXPECT_EQ(back->Id, t->Id);
    EXPECT_EQ(back->LinkTarget, t->LinkTarget);
    EXPECT_EQ(back->ExternalLink, t->ExternalLink);
    EXPECT_TRUE(back->ReverseDirection && back->Fill && back->LinkTargetReleased);
    EXPECT_EQ(save(*back), bytes);

    // Without placeholders the shown text is not stored, unless the text is a designator.
    auto plain = text(QStringLiteral("R12"), {0, 0});
    const QByteArray pb = save(*plain);
    plain->IsDesignator = true;
    const QByteArray db = save(*plain);
    EXPECT_EQ(db.size(), pb.size() + 4 + 2 * 3);
    auto designator = std::make_unique<TText>();
    designator->IsDesignator = true; // the component says so before the record is read
    {
        TFileVersionScope scope(80);
        TStreamReader r(db);
        designator->LoadFromStream(r);
        EXPECT_TRUE(r.AtEnd());
    }
    EXPECT_EQ(save(*designator), db);
}

TEST(Text, OlderRecordsLoadWithTheirVersionRules) {
    struct Case {
        const char* name;
        int version;
        quint8 alignByte; // below 70
        qint32 alignInt;  // from 70
        qint32 expectAlignment;
        bool externalLink; // stored from 70
        bool shownText;    // stored from 62
    } cases[] = {
        {"v60: byte flag 0, no shown text", 60, 0, 0, taLeft, false, false},
        {"v62: byte flag 1 is right, shown text", 62, 1, 0, taRight, false, true},
        {"v69: byte flag 5 is right", 69, 5, 0, taRight, false, true},
        {"v70: int alignment, external link", 70, 0, 1, taCenter, true, true},
        {"v79: int alignment 2", 79, 0, 2, taRight, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray b;
        TStreamWriter w(&b);
        header(w);
        for (float f : {10.f, 20.f, 110.f, 20.f, 110.f, 60.f, 10.f, 60.f})
            w.WriteF32(f);
        counted(w, QStringLiteral("Größe <X>"));
        counted(w, QStringLiteral("Arial"));
        w.WriteU8(fsBold);
        w.WriteI32(0x112233);
        w.WriteI32(40);
        if (c.version < 70)
            w.WriteU8(c.alignByte);
        else
            w.WriteI32(c.alignInt);
        w.WriteBool(true);
        counted(w, QStringLiteral("old field"));
        if (c.externalLink) counted(w, QStringLiteral("C:\\Plan.pdf"));
        if (c.shownText) counted(w, QStringLiteral("Größe 7"));
        const auto t = load<TText>(b, c.version);
        EXPECT_EQ(t->SourceText, QStringLiteral("Größe <X>"));
        EXPECT_EQ(t->ShownText, c.shownText ? QStringLiteral("Größe 7") : t->SourceText);
        EXPECT_EQ(t->Alignment, c.expectAlignment);
        EXPECT_EQ(t->ExternalLink, c.externalLink ? QStringLiteral("C:\\Plan.pdf") : QString());
        EXPECT_TRUE(t->LinkTargetReleased);
        EXPECT_EQ(t->Font.Style, fsBold);
        EXPECT_EQ(t->Font.Color, 0x112233);
        EXPECT_TRUE(IsNullGuid(t->LinkTarget));
        EXPECT_FALSE(IsNullGuid(t->Id)) << "old texts get a fresh identity";
        // Below 63 the box is stretched to the width measured now, keeping the left edge (the
        // right edge for right alignment).
        if (c.version < 63) {
            if (c.expectAlignment == taRight) {
                EXPECT_EQ(t->Corners[1], (TRPoint{110, 20}));
                EXPECT_EQ(t->Corners[2], (TRPoint{110, 60}));
            } else {
                EXPECT_EQ(t->Corners[0], (TRPoint{10, 20}));
                EXPECT_EQ(t->Corners[3], (TRPoint{10, 60}));
            }
            EXPECT_NE(Distance(t->Corners[0], t->Corners[1]), 100);
        } else {
            EXPECT_EQ(t->Corners[0], (TRPoint{10, 20}));
            EXPECT_EQ(t->Corners[1], (TRPoint{110, 20}));
        }
    }
}

TEST(Text, OldestRecordsAreTurnedByQuarterTurnsAndUnknownFontsBecomeArial) {
    for (int q : {0, 1, 2, 3}) {
        SCOPED_TRACE(q);
        QByteArray b;
        TStreamWriter w(&b);
        header(w);
        w.WriteF32(100.4f);
        w.WriteF32(199.6f);
        counted(w, QStringLiteral("Q"));
        w.WriteI32(q);
        w.WriteShortString(QStringLiteral("Gone Face 1998"), 21);
        w.WriteU8(0);
        w.WriteI32(0);
        w.WriteI32(0); // height 0 reads as 1
        w.WriteU8(1);  // right aligned (from version 50)
        const auto t = load<TText>(b, 55);
        EXPECT_EQ(t->Font.Name, QStringLiteral("Arial"));
        EXPECT_EQ(t->Font.Height, 1);
        EXPECT_EQ(t->Alignment, taRight);
        EXPECT_NEAR_PT(t->Corners[0], (TRPoint{100, 200}));
        // 360 - 90 q degrees clockwise: q = 1 reads upwards.
        const double angle = AngleOf(t->Corners[0], t->Corners[1]) * 180 / kPi;
        EXPECT_NEAR(std::fmod(angle + 360, 360), (90 * q) % 360, 0.01);
    }
    // Damaged string lengths are reported, not followed.
    QByteArray bad;
    TStreamWriter w(&bad);
    header(w);
    w.WriteZeros(32);
    w.WriteI32(3);
    w.WriteU16(0x41);
    TFileVersionScope scope(80);
    TText t;
    TStreamReader r(bad);
    EXPECT_THROW(t.LoadFromStream(r), LoadError);
    QByteArray neg;
    TStreamWriter wn(&neg);
    header(wn);
    wn.WriteZeros(32);
    wn.WriteI32(0);
    wn.WriteI32(-4);
    TStreamReader rn(neg);
    EXPECT_THROW(t.LoadFromStream(rn), LoadError);
}

// ----------------------------------------------------------------------------------- text boxes

namespace {
std::unique_ptr<TTextRect> box(QStringList lines, TRRect r, bool wrap = true, quint8 align = baLeft,
                               bool vcenter = false) {
    auto b = std::make_unique<TTextRect>();
    b->Font = TTextFont{};
    b->Font.Height = 40;
    b->Lines = std::move(lines);
    b->WordWrap = wrap;
    b->VCenter = vcenter;
    b->BoxAlignment = align;
    b->SetRect(r);
    b->LayoutLines();
    return b;
}
QStringList sources(const TTextRect& b) {
    QStringList l;
    for (const auto& t : b.LineTexts)
        l << t->SourceText;
    return l;
}
} // namespace

TEST(TextBox, WordWrapKeepsWordsWholeAndLinesKeepTheirSeparator) {
    TText probe;
    probe.SetTextAndFormat(QStringLiteral("aaa bbb "), probe.Font, taLeft, 40);
    const float fits = probe.GlyphWidth + 1;
    auto b = box({QStringLiteral("aaa bbb ccc   ")}, {0, 0, fits, 400});
    EXPECT_EQ(sources(*b), (QStringList{QStringLiteral("aaa bbb "), QStringLiteral("ccc")}));

    // A word wider than the box still gets a line of its own.
    auto wide = box({QStringLiteral("Überbreitesteswort")}, {0, 0, 50, 400});
    EXPECT_EQ(sources(*wide), QStringList{QStringLiteral("Überbreitesteswort")});
    EXPECT_GT(wide->LineTexts[0]->GlyphWidth, 50);
    auto two = box({QStringLiteral("Überbreitesteswort x")}, {0, 0, 50, 400});
    EXPECT_EQ(sources(*two),
              (QStringList{QStringLiteral("Überbreitesteswort "), QStringLiteral("x")}));

    // Empty and blank entries give one empty line each; without wrapping lines stay as entered.
    auto empty = box({QStringLiteral("A"), QString(), QStringLiteral("   ")}, {0, 0, 400, 400});
    EXPECT_EQ(sources(*empty), (QStringList{QStringLiteral("A"), QString(), QString()}));
    auto nowrap = box({QStringLiteral("aaa bbb ccc   ")}, {0, 0, 20, 400}, false);
    EXPECT_EQ(sources(*nowrap), QStringList{QStringLiteral("aaa bbb ccc   ")});
    for (const auto& t : empty->LineTexts) {
        EXPECT_TRUE(t->IsBoxLine);
        EXPECT_EQ(t->OwnerBox, empty.get());
        EXPECT_EQ(t->Alignment, taLeft);
        EXPECT_FALSE(t->Fill);
    }
}

TEST(TextBox, LinesStackOnePitchApartWithAlignmentAndVerticalCentring) {
    // "A" and "": two lines, the empty one still takes one pitch.
    auto b = box({QStringLiteral("A"), QString()}, {100, 100, 500, 400});
    ASSERT_EQ(b->LineTexts.size(), 2u);
    EXPECT_EQ(b->LineTexts[0]->Corners[0], (TRPoint{100, 100}));
    EXPECT_EQ(b->LineTexts[1]->Corners[0], (TRPoint{100, 140}));
    EXPECT_EQ(b->LineTexts[1]->Corners[3], (TRPoint{100, 180}));

    // Right and centred lines.
    auto r =
        box({QStringLiteral("right"), QStringLiteral("r")}, {100, 100, 500, 400}, true, baRight);
    EXPECT_EQ(r->LineTexts[0]->Corners[1], (TRPoint{500, 100}));
    EXPECT_EQ(r->LineTexts[1]->Corners[1], (TRPoint{500, 140}));
    auto c =
        box({QStringLiteral("mid"), QStringLiteral("m")}, {100, 100, 500, 400}, true, baCenter);
    for (const auto& t : c->LineTexts)
        EXPECT_NEAR(Midpoint(t->Corners[0], t->Corners[1]).X, 300, 0.01);

    // Three lines in a box exactly three heights high start at C0; a taller box centres them.
    auto exact = box({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")},
                     {0, 0, 300, 120}, true, baLeft, true);
    EXPECT_NEAR_PT(exact->LineTexts[0]->Corners[0], (TRPoint{0, 0}));
    auto tall = box({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")},
                    {0, 0, 300, 200}, true, baLeft, true);
    EXPECT_NEAR_PT(tall->LineTexts[0]->Corners[0], (TRPoint{0, 40}));
    auto over = box({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")},
                    {0, 0, 300, 80}, true, baLeft, true);
    EXPECT_NEAR_PT(over->LineTexts[0]->Corners[0], (TRPoint{0, -20})) << "overflows equally";

    // Lines follow the box when it turns, and stay in its slant when it is sheared.
    b->RotateAt({100, 100}, kPi / 2);
    EXPECT_NEAR_PT(b->LineTexts[1]->Corners[0], (TRPoint{60, 100}));
    auto s = box({QStringLiteral("A"), QStringLiteral("B")}, {0, 0, 400, 400});
    s->ShearAt({0, 400}, 0.5, 0);
    EXPECT_NEAR_PT(s->LineTexts[0]->Corners[0], s->Corners[0]);
    EXPECT_NEAR_PT(s->LineTexts[1]->Corners[0], (TRPoint{float(s->Corners[0].X + 20), 40}));
}

TEST(TextBox, TransformsKeepTheTextReadable) {
    SettingsGuard g;
    auto b = box({QStringLiteral("Box")}, {100, 100, 300, 200});
    const auto before = b->Corners;
    {
        TTextTransformScope shift({true, false, false});
        b->RotateAt({0, 0}, kPi / 3);
    }
    EXPECT_EQ(b->Corners, before) << "SHIFT leaves text boxes where they are";
    g_TextSettings.TexteSpiegeln = true; // boxes ignore the setting
    b->MirrorX({0, 0});
    EXPECT_EQ(b->Corners[0], (TRPoint{-300, 100}));
    EXPECT_LT(b->Corners[0].X, b->Corners[1].X);
    b->MirrorY({0, 0});
    EXPECT_EQ(b->Corners[0], (TRPoint{-300, -200}));
    EXPECT_LT(b->Corners[0].Y, b->Corners[3].Y);
    EXPECT_EQ(b->LineTexts[0]->Corners[0], b->Corners[0]);
    b->MoveBy({10, 10});
    EXPECT_EQ(b->LineTexts[0]->Corners[0], b->Corners[0]);

    // Scaling wraps again at the new width and keeps the font height.
    auto w = box({QStringLiteral("one two three four")}, {0, 0, 1000, 400});
    ASSERT_EQ(w->LineTexts.size(), 1u);
    w->ScaleAt({0, 0}, 0.2, 1);
    EXPECT_GT(w->LineTexts.size(), 1u);
    EXPECT_EQ(w->Font.Height, 40);
    w->MakeUpright();
    EXPECT_EQ(w->Corners[1], (TRPoint{200, 0}));

    // Hits: a filled or blank box is hit anywhere inside, a text box only on its lines.
    TView v;
    auto h = box({QStringLiteral("A")}, {0, 0, 400, 400});
    EXPECT_TRUE(h->HitPoint(v, QPoint(10, 20)));
    EXPECT_FALSE(h->HitPoint(v, QPoint(300, 300)));
    h->Fill = true;
    EXPECT_TRUE(h->HitPoint(v, QPoint(300, 300)));
    auto blank = box({QStringLiteral("  ")}, {0, 0, 400, 400});
    EXPECT_TRUE(blank->HitPoint(v, QPoint(300, 300)));
}

TEST(TextBox, DrawingClipsLinesAndRepairsDegenerateBoxes) {
    auto wide = box({QStringLiteral("Überbreitesteswort")}, {20, 20, 80, 180}, true);
    const QImage img = render(*wide);
    int outside = 0, inside = 0;
    for (int y = 20; y < 70; ++y) {
        for (int x = 20; x < 81; ++x)
            inside += qGray(img.pixel(x, y)) < 128;
        for (int x = 82; x < 400; ++x)
            outside += qGray(img.pixel(x, y)) < 128;
    }
    EXPECT_GT(inside, 50);
    EXPECT_EQ(outside, 0) << "the word is cut at the box edge";

    auto blank = box({QString()}, {20, 20, 200, 100});
    const QImage frame = render(*blank);
    int marked = 0;
    for (int x = 20; x < 200; ++x)
        marked += frame.pixel(x, 20) != qRgb(255, 255, 255);
    EXPECT_GT(marked, 40) << "construction lines on the screen";
    QImage white(400, 200, QImage::Format_RGB32);
    white.fill(Qt::white);
    EXPECT_EQ(render(*blank, true), white) << "blank boxes print nothing";

    auto tiny = box({QStringLiteral("x")}, {20, 20, 22, 22});
    render(*tiny);
    EXPECT_EQ(tiny->Corners[2], (TRPoint{120, 120}));
    EXPECT_EQ(tiny->LineTexts[0]->Corners[0], (TRPoint{20, 20}));
}

TEST(TextBox, RecordsRoundTripAndOldVersionsLoad) {
    auto b = box({QStringLiteral("Zeile 1"), QString(), QStringLiteral("Ω <PAGENO>")},
                 {1.5f, 2.5f, 301.5f, 202.5f}, false, baCenter, true);
    b->Font.Name = QStringLiteral("Liberation Mono");
    b->Font.Style = fsBold;
    b->Font.Color = 0x445566;
    b->Fill = true;
    b->FillColorText = 0x0A0B0C;
    b->RotateAt({0, 0}, 0.25);
    const QByteArray bytes = save(*b);
    const int countAt = 23 + 32 + 1 + (4 + 1 + 15) + 1 + 4 + 4;
    EXPECT_EQ(bytes[23 + 32], char(baCenter)) << "centred is stored as 2";
    TStreamReader r(bytes);
    r.Seek(countAt);
    EXPECT_EQ(r.ReadI32(), 3) << "a count, not a count minus one";
    const auto back = load<TTextRect>(bytes, 80);
    EXPECT_EQ(back->Lines, b->Lines);
    EXPECT_EQ(back->Font, b->Font);
    EXPECT_EQ(back->Corners, b->Corners);
    EXPECT_TRUE(back->VCenter && back->Fill && !back->WordWrap);
    EXPECT_EQ(back->LineTexts.size(), 3u) << "laid out after reading";
    EXPECT_EQ(save(*back), bytes);

    // Version 70: ANSI lines, no fill or wrapping fields.
    QByteArray v70;
    TStreamWriter w(&v70);
    header(w);
    for (float f : {0.f, 0.f, 200.f, 0.f, 200.f, 100.f, 0.f, 100.f})
        w.WriteF32(f);
    w.WriteU8(baRight);
    counted(w, QStringLiteral("Unknown Face"));
    w.WriteU8(0);
    w.WriteI32(0);
    w.WriteI32(30);
    w.WriteI32(2);
    counted(w, QStringLiteral("Äpfel"));
    counted(w, QStringLiteral("zwei"));
    const auto old = load<TTextRect>(v70, 70);
    EXPECT_EQ(old->Lines, (QStringList{QStringLiteral("Äpfel"), QStringLiteral("zwei")}));
    EXPECT_EQ(old->Font.Name, QStringLiteral("Arial"));
    EXPECT_FALSE(old->WordWrap);
    EXPECT_FALSE(old->VCenter);
    EXPECT_EQ(old->LineTexts[1]->Corners[1], (TRPoint{200, 30}));

    // Below 60: a rectangle and quarter turns that move the corner order on.
    QByteArray v50;
    TStreamWriter w5(&v50);
    header(w5);
    for (float f : {10.4f, 20.5f, 110.6f, 70.f})
        w5.WriteF32(f);
    w5.WriteI32(1);
    w5.WriteU8(baLeft);
    w5.WriteShortString(QStringLiteral("Arial"), 21);
    w5.WriteU8(0);
    w5.WriteI32(0);
    w5.WriteI32(20);
    w5.WriteI32(1);
    counted(w5, QStringLiteral("turned"));
    const auto oldest = load<TTextRect>(v50, 50);
    EXPECT_EQ(oldest->Corners[0], (TRPoint{10, 70}));
    EXPECT_EQ(oldest->Corners[1], (TRPoint{10, 20}));
    EXPECT_EQ(oldest->Corners[2], (TRPoint{111, 20}));

    // An impossible line count is reported before anything is allocated.
    QByteArray bad = bytes.left(countAt);
    TStreamWriter wb(&bad);
    wb.WriteI32(100000000);
    TFileVersionScope scope(80);
    TTextRect t;
    TStreamReader rb(bad);
    EXPECT_THROW(t.LoadFromStream(rb), LoadError);
}

// Word wrapping measures candidate lines by continuing the pen; it must break exactly where laying
// every candidate line out anew would.
TEST(TextBox, WrappingMatchesMeasuringEveryCandidateLine) {
    auto reference = [](const TTextRect& b, const QString& entry) {
        QStringList lines;
        TText t;
        t.Font = b.Font;
        QString r = entry;
        while (!r.isEmpty() && r.back().unicode() < 33)
            r.chop(1);
        auto word = [](const QString& s) {
            for (qsizetype i = 0; i < s.size(); ++i)
                if (s[i].unicode() < 33) return s.left(i + 1);
            return s;
        };
        QString l;
        do {
            const QString w = word(r);
            l += w;
            r.remove(0, w.size());
            t.SetSourceText(l + word(r));
            t.Measure();
            if (t.GetSize().width() > Distance(b.Corners[0], b.Corners[1]) || r.isEmpty()) {
                lines << l;
                l.clear();
            }
        } while (!r.isEmpty());
        return lines;
    };
    const QString text = QStringLiteral(
        "Lorem ipsum dolor sit amet,\tconsectetur adipiscing elit, sed do eiusmod tempor "
        "incididunt ut labore et dolore magna aliqua. Ut enim ad minim veniam, quis nostrud "
        "exercitation ullamco laboris nisi ut aliquip ex ea commodo consequat. ÄÖÜ ß € fiffl");
    for (float width : {40.f, 150.f, 333.f, 512.5f, 1000.f, 5000.f}) {
        for (quint8 style : {quint8(0), quint8(fsBold | fsItalic)}) {
            SCOPED_TRACE(width);
            auto b = std::make_unique<TTextRect>();
            b->Font.Style = style;
            b->Font.Height = 37;
            b->Lines = {text};
            b->SetRect({0, 0, width, 100});
            b->LayoutLines();
            EXPECT_EQ(sources(*b), reference(*b, text));
        }
    }
}
