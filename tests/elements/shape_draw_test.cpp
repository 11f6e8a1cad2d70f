#include "elements/Kreis.h"
#include "elements/MyD2D.h"
#include "elements/Rechteck.h"
#include "elements/polygon.h"
#include "shape_test_util.h"

#include <QImage>
#include <QPainter>
#include <cmath>
#include <functional>

namespace {
constexpr double kPi = 3.14159265358979323846;

// Draws one element on a white canvas in the plain or the antialiased mode.
QImage Render(TElement& e, bool smooth, int w = 220, int h = 220) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    TDrawContext dc(p, TView{}, smooth);
    e.Draw(dc);
    p.end();
    return img;
}

qint32 At(const QImage& img, int x, int y) {
    const QRgb c = img.pixel(x, y);
    return qRed(c) | (qGreen(c) << 8) | (qBlue(c) << 16);
}

// Pixels of a region (or of the whole image) that are not white, or that have a given colour.
int Count(const QImage& img, const std::function<bool(int, int)>& where,
          const std::function<bool(qint32)>& what) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (where(x, y) && what(At(img, x, y))) ++n;
    return n;
}
bool Inked(qint32 c) {
    return c != clWhite;
}
auto Is(qint32 color) {
    return [color](qint32 c) { return c == color; };
}
auto Everywhere = [](int, int) { return true; };

std::unique_ptr<TRechteck> FilledRect(float rounding, qint32 style) {
    auto r = std::make_unique<TRechteck>(TRRect{10, 10, 110, 70});
    r->NoLine = true;
    r->NoFill = false;
    r->FillColor = clBlack;
    r->CornerStyle = style;
    r->Rounding = rounding;
    r->ClampRounding();
    return r;
}

std::unique_ptr<TKreis> Circle(double fromDeg, double toDeg, qint32 style) {
    auto k = std::make_unique<TKreis>(TRRect{50, 50, 150, 150});
    k->StartAngle = float(fromDeg * kPi / 180);
    k->StopAngle = float(toDeg * kPi / 180);
    k->ArcStyle = style;
    k->UpdateGrips();
    k->LineWidth = 2;
    k->NoFill = true;
    return k;
}
} // namespace

TEST_F(ShapeTest, DrawnRectangleCorners) {
    struct Case {
        const char* name;
        float rounding;
        qint32 style;
        bool cornerInked;
    } cases[] = {
        {"sharp", 0, TRechteck::csRounded, true},
        {"2.9 is sharp", 2.9f, TRechteck::csRounded, true},
        {"rounded", 40, TRechteck::csRounded, false},
        {"chamfered", 40, TRechteck::csChamfered, false},
    };
    for (bool smooth : {false, true}) {
        for (const Case& c : cases) {
            auto r = FilledRect(c.rounding, c.style);
            const QImage img = Render(*r, smooth);
            EXPECT_EQ(At(img, 12, 12) == clBlack, c.cornerInked) << c.name << " smooth " << smooth;
            EXPECT_EQ(At(img, 60, 40), clBlack) << c.name;
            EXPECT_EQ(At(img, 60, 12), clBlack) << c.name << ": middle of the top side";
            EXPECT_EQ(At(img, 60, 75), clWhite) << c.name << ": below the rectangle";
        }
    }
}

TEST_F(ShapeTest, DrawnRectangleUsesTheShapeDashStyle) {
    auto r = std::make_unique<TRechteck>(TRRect{10, 10, 210, 70});
    r->LineWidth = 2;
    r->ShapePenStyle = 2; // dashes 16, gaps 10 pixels at zoom 1
    r->PenStyle = 0;
    const QImage img = Render(*r, false);
    int changes = 0;
    for (int x = 30; x < 190; ++x)
        if ((At(img, x, 10) == clBlack) != (At(img, x + 1, 10) == clBlack)) ++changes;
    EXPECT_GE(changes, 10); // about six dashes with their gaps along 160 pixels
}

TEST_F(ShapeTest, DrawnArcCoversItsSpanOnly) {
    auto upperRight = [](int x, int y) { return x > 104 && y < 96; };
    auto lowerLeft = [](int x, int y) { return x < 96 && y > 104; };
    auto onChord = [](int x, int y) { return std::abs(x - 125) <= 1 && std::abs(y - 75) <= 1; };
    auto onRadius = [](int x, int y) { return std::abs(x - 125) <= 1 && std::abs(y - 100) <= 1; };
    struct Case {
        const char* name;
        double from, to;
        qint32 style;
        bool chord, radius;
    } cases[] = {
        {"open arc", 0, 90, TKreis::asArc, false, false},
        {"chord", 0, 90, TKreis::asChord, true, false},
        {"pie", 0, 90, TKreis::asPie, false, true},
    };
    for (bool smooth : {false, true}) {
        for (const Case& c : cases) {
            auto k = Circle(c.from, c.to, c.style);
            const QImage img = Render(*k, smooth);
            EXPECT_GT(Count(img, upperRight, Inked), 50) << c.name;
            EXPECT_EQ(Count(img, lowerLeft, Inked), 0) << c.name << " smooth " << smooth;
            EXPECT_EQ(Count(img, onChord, Inked) > 0, c.chord) << c.name << " smooth " << smooth;
            EXPECT_EQ(Count(img, onRadius, Inked) > 0, c.radius) << c.name << " smooth " << smooth;
        }
    }
    // The full circle passes through every quadrant.
    auto full = Circle(30, 30, TKreis::asArc);
    EXPECT_GT(Count(Render(*full, false), lowerLeft, Inked), 50);
}

TEST_F(ShapeTest, DrawnHatchStaysInsideTheEllipse) {
    for (bool smooth : {false, true}) {
        auto k = Circle(0, 0, TKreis::asArc);
        k->NoLine = true;
        k->NoFill = false;
        k->FillStyle = 3; // vertical lines
        k->FillColor = clBlack;
        k->HatchWidth = 1;
        k->HatchDistance = 10;
        const QImage img = Render(*k, smooth);
        auto outside = [](int x, int y) { return std::hypot(x - 100, y - 100) > 51.5; };
        auto inside = [](int x, int y) { return std::hypot(x - 100, y - 100) < 48; };
        EXPECT_EQ(Count(img, outside, Inked), 0) << "smooth " << smooth;
        EXPECT_GT(Count(img, inside, Inked), 300) << "smooth " << smooth;
        // Hatched, not filled: the middle row alternates between ink and paper.
        int runs = 0;
        for (int x = 60; x < 140; ++x)
            if (Inked(At(img, x, 100)) && !Inked(At(img, x + 1, 100))) ++runs;
        EXPECT_GE(runs, 6) << "smooth " << smooth;
    }
}

TEST_F(ShapeTest, DrawnSelectionColours) {
    // A selected outline draws in the main selection colour.
    auto r = std::make_unique<TRechteck>(TRRect{10, 10, 110, 70});
    r->LineWidth = 4;
    r->SetSelected(true);
    QImage img = Render(*r, false);
    EXPECT_GT(Count(img, Everywhere, Is(g_SelectionColors.Main)), 300);
    EXPECT_EQ(Count(img, Everywhere, Is(clBlack)), 0);

    // A selected hatched ellipse with a white fill hatches in the third colour and shows the
    // radius to its grip and the centre cross in the marker colour.
    auto k = Circle(0, 0, TKreis::asArc);
    k->NoFill = false;
    k->FillStyle = 2;
    k->FillColor = clWhite;
    k->SetSelected(true);
    img = Render(*k, false);
    EXPECT_GT(Count(img, Everywhere, Is(g_SelectionColors.Third)), 100);
    EXPECT_EQ(At(img, 100, 97), clMarker); // the cross above the centre
    EXPECT_GT(Count(
                  img, [](int x, int y) { return y == 100 && x > 110 && x < 140; }, Is(clMarker)),
              5); // the dashed radius towards the grip at angle 0
    // Inside a group the markers are left out.
    g_ElementSwitches.DrawingInsideGroup = true;
    img = Render(*k, false);
    g_ElementSwitches.DrawingInsideGroup = false;
    EXPECT_EQ(Count(img, Everywhere, Is(clMarker)), 0);
}

TEST_F(ShapeTest, DrawnNodeEditingAndVisibility) {
    auto t = std::make_unique<TPolygon>(TRPointArray{{20, 20}, {180, 20}, {100, 180}});
    t->NoLine = true;
    t->NoFill = false;
    t->FillColor = 0x00AA00;
    t->LineColor = 0x0000AA;
    QImage img = Render(*t, false);
    EXPECT_EQ(At(img, 100, 60), 0x00AA00);
    EXPECT_EQ(Count(img, Everywhere, Is(0x0000AA)), 0);
    // While nodes are edited: no fill, and the missing outline becomes a thin plain line.
    g_ElementSwitches.NodeEditing = true;
    img = Render(*t, false);
    g_ElementSwitches.NodeEditing = false;
    EXPECT_EQ(At(img, 100, 60), clWhite);
    EXPECT_EQ(At(img, 100, 20), 0x0000AA);
    EXPECT_LT(Count(
                  img, [](int x, int y) { return x == 100 && y < 40; }, Is(0x0000AA)),
              3);
    // The vertex under node editing is marked with both of its edges, the closing one too.
    t->NoLine = false;
    QImage marked(220, 220, QImage::Format_RGB32);
    marked.fill(Qt::white);
    {
        QPainter p(&marked);
        TDrawContext dc(p, TView{}, false);
        dc.NodeEditElement = t.get();
        dc.NodeEditIndex = 0;
        t->Draw(dc);
    }
    EXPECT_EQ(At(marked, 20, 20), clMarker);
    EXPECT_EQ(At(marked, 100, 20), clMarker);  // edge to the next vertex
    EXPECT_EQ(At(marked, 60, 100), clMarker);  // closing edge from the last vertex
    EXPECT_NE(At(marked, 140, 100), clMarker); // the edge not touching vertex 0
    // An invisible shape draws nothing.
    t->SetVisible(false);
    img = Render(*t, true);
    EXPECT_EQ(Count(img, Everywhere, Inked), 0);
}
