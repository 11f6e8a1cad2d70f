// The sheet view's numbers without a widget: zoom, scrolling, snapping, origin, read-out,
// ruler and grid plans, zone letters.
#include "counting_box.h"
#include "editor/editor.h"
#include "editor/viewplan.h"
#include "platform/messages.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

// Records what the sheet asks of its widget.
class TRecordingPort : public TSheetViewPort {
public:
    int CanvasChanges = 0, Invalidations = 0, OverlayChanges = 0;
    std::vector<QPoint> Pointers;
    QRect LastInvalid;
    void CanvasChanged() override { ++CanvasChanges; }
    void Invalidate(const QRect& r) override {
        ++Invalidations;
        LastInvalid = r;
    }
    void OverlayChanged() override { ++OverlayChanges; }
    void SetPointer(QPoint client) override { Pointers.push_back(client); }
};

class SheetView : public ::testing::Test {
protected:
    TEditor sheet;
    TRecordingPort port;
    std::vector<std::pair<bool, bool>> scrolled;
    std::vector<TStatusTexts> statuses;
    TSheetViewSettings savedSettings = g_SheetViewSettings;

    void SetUp() override {
        SetInterfaceLanguage(LangGerman);
        g_SheetViewSettings = TSheetViewSettings();
        sheet.SetViewPort(&port);
        sheet.OnScrolled = [this](TEditor&, bool h, bool v) { scrolled.emplace_back(h, v); };
        sheet.OnStatus = [this](TEditor&, const TStatusTexts& t) { statuses.push_back(t); };
        sheet.SetClientSize(QSize(800, 600), QSize(817, 617));
    }
    void TearDown() override { g_SheetViewSettings = savedSettings; }
};

TEST_F(SheetView, NewSheetReadsA4AtZoomNoughtPointTwo) {
    EXPECT_EQ(sheet.SheetWidth, 297);
    EXPECT_EQ(sheet.SheetHeight, 210);
    EXPECT_FLOAT_EQ(sheet.Zoom, 0.2f);
    EXPECT_EQ(ZoomLabelText(sheet.Zoom), "Zoom:  0,67");
    EXPECT_EQ(GridLabelText(sheet.GridSize, sheet.Scale, sheet.UnitDivisor), "Raster: 1 mm");
    EXPECT_EQ(sheet.Origin, (TRPoint{0, 0}));
    EXPECT_EQ(UnitText(sheet.UnitDivisor), "mm");
    EXPECT_EQ(sheet.CanvasSize(), QSize(594, 420));
    SetInterfaceLanguage(LangEnglish);
    EXPECT_EQ(ZoomLabelText(sheet.Zoom), "Zoom:  0.67");
}

TEST_F(SheetView, SetZoomSizesTheCanvasAndReportsTheZoomOnly) {
    sheet.SetZoom(1.0f);
    EXPECT_EQ(sheet.CanvasSize(), QSize(2970, 2100));
    EXPECT_EQ(sheet.MaxScroll(), QPoint(2170, 1500));
    ASSERT_FALSE(statuses.empty());
    const TStatusTexts& t = statuses.back();
    EXPECT_EQ(t.X, kStatusUnchanged);
    EXPECT_EQ(t.DY, kStatusUnchanged);
    EXPECT_EQ(t.Position, QPoint(-100, -100));
    EXPECT_FLOAT_EQ(t.Zoom, 1.0f);
    // A smaller canvas pulls the scroll position back inside it.
    sheet.ScrollTo(QPoint(2000, 1400));
    sheet.SetZoom(0.3f);
    EXPECT_EQ(sheet.Scroll(), sheet.MaxScroll());
}

TEST_F(SheetView, ZoomAtPutsThePointInTheMiddleAndMovesThePointer) {
    sheet.ZoomAt({1000, 1000}, true, 1.0f);
    EXPECT_FLOAT_EQ(sheet.Zoom, 1.0f);
    EXPECT_EQ(sheet.Scroll(), QPoint(600, 700));
    EXPECT_EQ(sheet.WorldToClientPoint({1000, 1000}), QPoint(400, 300));
    ASSERT_EQ(port.Pointers.size(), 1u);
    EXPECT_EQ(port.Pointers.back(), QPoint(400, 300));
    ASSERT_FALSE(scrolled.empty());
    EXPECT_EQ(scrolled.back(), std::make_pair(true, true));
    // Near the corner the view stops at the sheet's edge; the pointer goes where the point is.
    sheet.ZoomAt({10, 10}, true, 2.0f);
    EXPECT_EQ(sheet.Scroll(), QPoint(0, 0));
    EXPECT_EQ(port.Pointers.back(), QPoint(20, 20));
}

TEST_F(SheetView, ZoomLimitsAndEqualZooms) {
    struct Case {
        const char* name;
        float start, request, expected;
    } cases[] = {
        {"above 30 is 30", 1, 100, 30},
        {"below 0.05 is 0.05", 1, 0.001f, 0.05f},
        {"equal at two decimals is ignored", 0.2f, 0.204f, 0.2f},
        {"a hundredth more is taken", 0.2f, 0.21f, 0.21f},
    };
    for (const Case& c : cases) {
        sheet.SetZoom(c.start);
        sheet.ZoomAt({100, 100}, false, c.request);
        EXPECT_FLOAT_EQ(sheet.Zoom, c.expected) << c.name;
    }
    const QPoint inside(100, 100);
    sheet.SetZoom(30);
    EXPECT_FALSE(sheet.ZoomInAtPointer(inside));
    EXPECT_FLOAT_EQ(sheet.Zoom, 30);
    sheet.SetZoom(0.05f);
    EXPECT_FALSE(sheet.ZoomOutAtPointer(inside));
    EXPECT_TRUE(sheet.ZoomInAtPointer(inside));
    EXPECT_FLOAT_EQ(sheet.Zoom, 0.06f);
    // Not outside the client area, not beyond the canvas, not while a button is held.
    EXPECT_FALSE(sheet.ZoomInAtPointer(QPoint(900, 100)));
    sheet.SetZoom(0.2f);
    EXPECT_FALSE(sheet.ZoomInAtPointer(QPoint(700, 100))); // canvas is 594 wide
    sheet.MouseDown(inside, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    EXPECT_FALSE(sheet.ZoomInAtPointer(inside));
    EXPECT_FALSE(sheet.Wheel(inside, true));
    sheet.MouseUp(inside, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    EXPECT_TRUE(sheet.Wheel(inside, true));
    EXPECT_FLOAT_EQ(sheet.Zoom, 0.24f);
    EXPECT_TRUE(sheet.Wheel(inside, false));
    EXPECT_FLOAT_EQ(sheet.Zoom, 0.2f);
}

TEST_F(SheetView, ZoomToRectFitsAndCentres) {
    sheet.SetZoom(0.2f);
    sheet.ZoomToRect({1000, 500, 2000, 1000}); // 200 x 100 pixels now
    EXPECT_FLOAT_EQ(sheet.Zoom, 0.8f);         // 800 / 200 is the smaller factor
    EXPECT_EQ(sheet.WorldToClientPoint({1500, 750}), QPoint(400, 300));
    // A rectangle without size counts as one pixel: the zoom runs to its limit.
    sheet.ZoomToRect({1500, 750, 1500, 750});
    EXPECT_FLOAT_EQ(sheet.Zoom, 30);
}

TEST_F(SheetView, ZoomSheetFitsTheWholeClientArea) {
    sheet.SetZoom(3);
    sheet.ScrollTo(QPoint(500, 500));
    sheet.ZoomSheet();
    EXPECT_EQ(sheet.Scroll(), QPoint(0, 0));
    EXPECT_LE(sheet.CanvasSize().width(), 817);
    EXPECT_LE(sheet.CanvasSize().height(), 617);
    EXPECT_GT(sheet.CanvasSize().width(), 800); // the width of the scroll bars counted too
}

TEST_F(SheetView, ZoomElementsNeedsElementsAndKeepsToTheSheet) {
    EXPECT_FALSE(sheet.ZoomElements());
    EXPECT_FLOAT_EQ(sheet.Zoom, 0.2f);
    sheet.Elements.push_back(std::make_unique<TCountingBox>(TRRect{1000, 1000, 1200, 1100}));
    EXPECT_TRUE(sheet.ZoomElements());
    // 10 % margin: 1240 x 1120 .. wide 240 world units in 800 pixels.
    EXPECT_NEAR(sheet.Zoom, 0.2 * 800 / std::nearbyint(240 * 0.2), 1e-4);
    EXPECT_EQ(sheet.WorldToClientPoint({1100, 1050}), QPoint(400, 300));
    // Elements only outside the sheet give nothing to zoom to.
    sheet.Elements.clear();
    sheet.Elements.push_back(std::make_unique<TCountingBox>(TRRect{-900, -900, -500, -500}));
    const float before = sheet.Zoom;
    EXPECT_FALSE(sheet.ZoomElements());
    EXPECT_FLOAT_EQ(sheet.Zoom, before);
}

TEST_F(SheetView, CenterOnAndScrollLimits) {
    sheet.SetZoom(1);
    sheet.CenterOn({1485, 1050});
    EXPECT_EQ(sheet.Scroll(), QPoint(1085, 750));
    sheet.ScrollTo(QPoint(-50, 99999));
    EXPECT_EQ(sheet.Scroll(), QPoint(0, 1500));
    scrolled.clear();
    sheet.ScrollTo(QPoint(0, 1500));
    EXPECT_TRUE(scrolled.empty()) << "no move, no event";
    sheet.ScrollTo(QPoint(40, 1500));
    ASSERT_EQ(scrolled.size(), 1u);
    EXPECT_EQ(scrolled[0], std::make_pair(true, false));
}

TEST_F(SheetView, AutoScrollAtTheEdges) {
    sheet.SetZoom(1);
    sheet.ScrollTo(QPoint(100, 100));
    struct Case {
        const char* name;
        QPoint canvas;
        bool scrolls;
        QPoint after;
    } cases[] = {
        {"right edge", {100 + 795, 400}, true, {116, 100}},
        {"bottom edge", {400, 100 + 595}, true, {100, 116}},
        {"left edge", {105, 400}, true, {84, 100}},
        {"both", {105, 105}, true, {84, 84}},
        {"middle", {500, 400}, false, {100, 100}},
    };
    for (const Case& c : cases) {
        sheet.ScrollTo(QPoint(100, 100));
        EXPECT_EQ(sheet.AutoScroll(c.canvas), c.scrolls) << c.name;
        EXPECT_EQ(sheet.Scroll(), c.after) << c.name;
    }
    sheet.ScrollTo(QPoint(0, 0));
    EXPECT_FALSE(sheet.AutoScroll(QPoint(3, 3))) << "left and top at 0";
    sheet.ScrollTo(sheet.MaxScroll());
    const QPoint m = sheet.MaxScroll();
    EXPECT_FALSE(sheet.AutoScroll(m + QPoint(799, 599))) << "right and bottom at the end";
}

TEST_F(SheetView, SnapToGridFollowsTheOrigin) {
    struct Case {
        const char* name;
        TRPoint origin;
        int grid;
        TRPoint in, out;
    } cases[] = {
        {"plain", {0, 0}, 10, {14, 16}, {10, 20}},
        {"origin 3 mm off the grid", {3, 0}, 10, {14, 16}, {13, 20}},
        {"negative origin truncates towards zero", {-27, -5}, 10, {1, -1}, {3, -5}},
        {"halves to even", {0, 0}, 10, {15, 25}, {20, 20}},
    };
    for (const Case& c : cases) {
        sheet.Origin = c.origin;
        sheet.GridSize = c.grid;
        EXPECT_EQ(sheet.SnapToGrid(c.in), c.out) << c.name;
    }
    sheet.Origin = {};
    sheet.SetKeyState(Qt::ControlModifier);
    EXPECT_EQ(sheet.SnapToGrid({14, 16}), (TRPoint{14, 16}));
    EXPECT_EQ(sheet.SnapToGrid({14, 16}, true), (TRPoint{10, 20}));
    EXPECT_EQ(sheet.SnapDelta({14, -16}), (TRPoint{14, -16}));
    sheet.SetKeyState(Qt::NoModifier);
    EXPECT_EQ(sheet.SnapDelta({14, -16}), (TRPoint{10, -20}));
    g_SheetViewSettings.RasterFang = false;
    EXPECT_EQ(sheet.SnapToGrid({14, 16}), (TRPoint{14, 16}));
    EXPECT_EQ(sheet.SnapDelta({14, -16}), (TRPoint{14, -16}));
}

TEST_F(SheetView, SetGridMakesAnInvisibleGridVisible) {
    g_SheetViewSettings.Kontrast = 0;
    const int before = port.Invalidations;
    sheet.SetGrid(25);
    EXPECT_EQ(sheet.GridSize, 25);
    EXPECT_EQ(g_SheetViewSettings.Kontrast, 1);
    EXPECT_GT(port.Invalidations, before);
    sheet.SetGrid(0);
    EXPECT_EQ(sheet.GridSize, 25) << "a pitch below 1 is refused";
}

TEST_F(SheetView, OriginCornersAndTheReadOut) {
    sheet.SetZoom(1);
    sheet.SetOriginCorner(2); // "Unten links"
    EXPECT_EQ(sheet.Origin, (TRPoint{0, 2100}));
    EXPECT_EQ(scrolled.back(), std::make_pair(true, true)) << "both rulers repaint";
    EXPECT_EQ(statuses.back().DX, "");
    EXPECT_EQ(statuses.back().DY, "");
    // 10 mm above the bottom edge.
    sheet.ScrollTo(QPoint(0, 1500));
    const QPoint client = sheet.WorldToClientPoint({250, 2000});
    const TStatusTexts t = sheet.StatusAt(client);
    EXPECT_EQ(t.X, "25,0");
    EXPECT_EQ(t.Y, "-10,0");
    EXPECT_EQ(t.Position, client);
    sheet.SetOriginCorner(4);
    EXPECT_EQ(sheet.Origin, (TRPoint{2970, 2100}));
    sheet.SetOriginCorner(3);
    EXPECT_EQ(sheet.Origin, (TRPoint{2970, 0}));
    sheet.SetOriginCorner(1);
    EXPECT_EQ(sheet.Origin, (TRPoint{0, 0}));
}

TEST_F(SheetView, ReadOutSnapsOnlyInDrawingTools) {
    sheet.SetZoom(1);
    const QPoint client(14, 16);
    EXPECT_EQ(sheet.StatusAt(client).X, "1,4");
    sheet.Mode = 5;
    EXPECT_EQ(sheet.StatusAt(client).X, "1,0");
    EXPECT_EQ(sheet.StatusAt(client).Y, "2,0");
    EXPECT_EQ(sheet.StatusAt(client).Position, QPoint(10, 20));
    sheet.MouseMove(client, Qt::NoButton, Qt::NoModifier);
    EXPECT_EQ(statuses.back().X, "1,0");
    EXPECT_EQ(statuses.back().DX, "");
}

TEST_F(SheetView, OriginDrag) {
    std::vector<TKeyHints> hints;
    sheet.OnKeyHints = [&](TEditor&, const TKeyHints& h) { hints.push_back(h); };
    sheet.SetZoom(1);
    sheet.Origin = {100, 50};
    sheet.BeginOriginDrag();
    EXPECT_EQ(statuses.back().DX, "10,0");
    EXPECT_EQ(statuses.back().DY, "5,0");
    ASSERT_EQ(hints.size(), 1u);
    EXPECT_EQ(hints[0], (TKeyHints{1, 0, 1}));
    scrolled.clear();
    sheet.MouseMove(QPoint(203, 51), Qt::NoButton, Qt::NoModifier);
    // Snapped to the grid, which is aligned to the origin being dragged.
    EXPECT_EQ(sheet.Origin, (TRPoint{200, 50}));
    ASSERT_EQ(scrolled.size(), 1u);
    EXPECT_EQ(scrolled[0], std::make_pair(true, false)) << "only the horizontal ruler";
    ASSERT_TRUE(sheet.Crosshair().has_value());
    EXPECT_GT(port.OverlayChanges, 0);
    sheet.MouseMove(QPoint(207, 77), Qt::NoButton, Qt::ControlModifier);
    EXPECT_EQ(sheet.Origin, (TRPoint{207, 77})) << "CTRL: no grid";
    sheet.EndOriginDrag();
    EXPECT_FALSE(sheet.OriginDragging());
    EXPECT_FALSE(sheet.Crosshair().has_value());
    EXPECT_EQ(statuses.back().DX, "");
    EXPECT_EQ(hints.back(), TKeyHints{});
}

TEST_F(SheetView, InvalidatingAWorldRectangle) {
    sheet.SetZoom(1);
    sheet.ScrollTo(QPoint(100, 0));
    sheet.InvalidateWorld({200, 10, 300, 50});
    EXPECT_EQ(port.LastInvalid, QRect(QPoint(98, 8), QPoint(201, 51)));
    const int before = port.Invalidations;
    sheet.InvalidateWorld({2500, 1500, 2600, 1600}); // beyond the view
    EXPECT_EQ(port.Invalidations, before);
    sheet.InvalidateWorld({0, 0, 3e30f, 10}); // too large for pixels: everything
    EXPECT_TRUE(port.LastInvalid.isNull());
}

TEST_F(SheetView, MouseLeaveRemovesTheCrosshair) {
    sheet.SetCrosshair(TRPoint{10, 10});
    const int before = port.OverlayChanges;
    sheet.SetCrosshair(TRPoint{10.0001f, 10}); // too small a move to redraw
    EXPECT_EQ(port.OverlayChanges, before);
    sheet.MouseLeave();
    EXPECT_FALSE(sheet.Crosshair().has_value());
    EXPECT_EQ(port.OverlayChanges, before + 1);
}

TEST(ViewFormatting, DecimalsFollowTheScale) {
    SetInterfaceLanguage(LangGerman);
    struct Case {
        double scale;
        int decimals;
        double value;
        const char* text;
    } cases[] = {
        {1, 1, 123.456, "12,3"}, {0.5, 2, 123.456, "6,17"}, {0.1, 2, 123.456, "1,23"},
        {10, 0, 123.456, "123"}, {100, 0, 123.456, "1235"}, {0.01, 3, 123.456, "0,123"},
        {2, 1, -100, "-20,0"},   {1, 1, -0.01, "0,0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadoutDecimals(c.scale), c.decimals) << c.scale;
        EXPECT_EQ(FormatReadout(c.value, c.scale), c.text) << c.scale;
    }
    EXPECT_EQ(FormatTrimmed(2.50, 2), "2,5");
    EXPECT_EQ(FormatTrimmed(20, 2), "20");
    EXPECT_EQ(UnitText(10), "cm");
    EXPECT_EQ(UnitText(1000), "m");
    EXPECT_EQ(UnitText(1000000), "km");
    EXPECT_EQ(UnitText(7), "mm");
}

TEST(ViewFormatting, GridMenuCaptionsAtScaleTwo) {
    SetInterfaceLanguage(LangGerman);
    QStringList captions;
    for (int tag : kGridMenuTags)
        if (tag) captions << GridLengthText(tag, 2, 1);
    EXPECT_EQ(captions.join('/'), "0,2 mm/0,4 mm/1 mm/2 mm/4 mm/5 mm/10 mm/20 mm");
    EXPECT_EQ(GridLabelText(25, 1, 10), "Raster: 2,5 cm");
}

TEST(GridPlan, PitchBelowEightPixelsIsNotDrawn) {
    TGridInput in;
    in.GridSize = 1; // 0.1 mm
    in.Zoom = 0.2;
    in.Visible = QRect(0, 0, 800, 600);
    in.Canvas = QSize(594, 420);
    EXPECT_FALSE(BuildGridPlan(in).Draw);
    in.Zoom = 8;
    in.Canvas = QSize(23760, 16800);
    const TGridPlan plan = BuildGridPlan(in);
    EXPECT_TRUE(plan.Draw);
    EXPECT_EQ(plan.Pitch, 8);
    // Visible positions with one pitch beyond the right edge: 0, 8, ..., 808.
    ASSERT_FALSE(plan.Xs.empty());
    EXPECT_EQ(plan.Xs.front().Pixel, 0);
    EXPECT_EQ(plan.Xs.back().Pixel, 808);
    in.Kontrast = 0;
    EXPECT_FALSE(BuildGridPlan(in).Draw);
}

TEST(GridPlan, MajorMarksCountFromTheOrigin) {
    TGridInput in;
    in.GridSize = 10;
    in.Zoom = 1;
    in.Origin = {30, 0};
    in.Scroll = QPoint(0, 0);
    in.Visible = QRect(0, 0, 200, 100);
    in.Canvas = QSize(2970, 2100);
    in.Markierung = 2; // every 5th
    const TGridPlan plan = BuildGridPlan(in);
    ASSERT_TRUE(plan.Draw);
    std::vector<int> majors;
    for (const TGridLine& l : plan.Xs)
        if (l.Major) majors.push_back(l.Pixel);
    EXPECT_EQ(majors, (std::vector<int>{0, 50, 100, 150, 200}));
    EXPECT_EQ(plan.MajorArm, 2);
    EXPECT_EQ(plan.MinorArm, 0);
    in.Markierung = 0;
    for (const TGridLine& l : BuildGridPlan(in).Xs)
        EXPECT_FALSE(l.Major);
    // Scrolled: pixels are client pixels and only the visible part is visited.
    in.Scroll = QPoint(1000, 0);
    const TGridPlan scrolledPlan = BuildGridPlan(in);
    EXPECT_EQ(scrolledPlan.Xs.front().Pixel, -10);
    EXPECT_EQ(scrolledPlan.Xs.size(), 23u);
}

TEST(RulerPlan, StepsLabelsAndTenths) {
    SetInterfaceLanguage(LangGerman);
    TRulerInput in;
    in.Zoom = 0.2;
    in.Scale = 1;
    in.Length = 600;
    in.LabelWidth = 40;
    TRulerPlan plan = BuildRulerPlan(in);
    EXPECT_EQ(plan.Step, 10); // 12 pixels span 6 mm
    EXPECT_EQ(plan.StepPixels, 20);
    EXPECT_EQ(plan.Divisor, 1);
    QStringList labels;
    for (const TRulerTick& t : plan.Ticks)
        if (t.Labelled) labels << t.Label;
    EXPECT_EQ(labels.mid(0, 3).join('/'), "50/100/150"); // every 5th step: 40 < 100 pixels
    EXPECT_TRUE(plan.MinorTicks.empty());
    // Ticks at 4 pixels or less are left out (the tick at 0).
    EXPECT_EQ(plan.Ticks.front().Pixel, 20);

    // Scale 0.5 at a high zoom: values in tenths.
    in.Zoom = 30;
    in.Scale = 0.5;
    in.LabelWidthTenths = 55;
    plan = BuildRulerPlan(in);
    EXPECT_EQ(plan.Step, 1);
    EXPECT_EQ(plan.Divisor, 10);
    ASSERT_GE(plan.Ticks.size(), 2u);
    EXPECT_TRUE(plan.Ticks[0].Labelled);
    EXPECT_EQ(plan.Ticks[0].Label, "0,1");
    EXPECT_EQ(plan.Ticks[0].Pixel, 60);
    EXPECT_EQ(plan.Ticks[1].Label, "0,2");

    // The origin moves the zero: negative values are shown without sign.
    in = TRulerInput();
    in.Zoom = 1;
    in.Length = 400;
    in.Origin = 2000;
    in.Scroll = 1800;
    plan = BuildRulerPlan(in);
    EXPECT_EQ(plan.Step, 1);
    EXPECT_EQ(plan.StepPixels, 10);
    bool sawZero = false;
    for (const TRulerTick& t : plan.Ticks) {
        EXPECT_FALSE(t.Label.startsWith('-'));
        if (t.Labelled && t.Label == "0") {
            sawZero = true;
            EXPECT_EQ(t.Pixel, 200);
        }
    }
    EXPECT_TRUE(sawZero);
    EXPECT_TRUE(plan.MinorTicks.empty());

    // More than 100 pixels a step: nine minor ticks between two ticks.
    in.Zoom = 15;
    in.Origin = 0;
    in.Scroll = 0;
    plan = BuildRulerPlan(in);
    EXPECT_EQ(plan.StepPixels, 150);
    ASSERT_GE(plan.MinorTicks.size(), 9u);
    EXPECT_EQ(plan.MinorTicks[0], 15);
    EXPECT_EQ(plan.MinorTicks[8], 135);
}

TEST(RulerPlan, ExtremeScalesStayBounded) {
    TRulerInput in;
    in.Zoom = 0.05;
    in.Scale = 1e12;
    in.Length = 2000;
    const TRulerPlan plan = BuildRulerPlan(in);
    EXPECT_LE(plan.Ticks.size(), size_t(kMaxRulerTicks));
    in.Scale = 0; // no number to divide by: read as 1:1
    EXPECT_FALSE(BuildRulerPlan(in).Ticks.empty());
}

TEST(ZoneGrid, LetterForms) {
    struct Case {
        int n;
        const char* letters;
    } cases[] = {{1, "A"},     {26, "Z"},      {27, "AA"}, {28, "AB"}, {702, "ZZ"},
                 {703, "AAA"}, {18278, "ZZZ"}, {0, ""},    {-3, ""},   {18279, ""}};
    for (const Case& c : cases)
        EXPECT_EQ(TZoneGrid::Letters(c.n), c.letters) << c.n;
}

TEST(ZoneGrid, ZonesOfPositions) {
    TZoneGrid z; // origin (100, 100), 2800 x 1900, 10 x 8, first 1
    EXPECT_EQ(z.ColumnNumber(100), 1);
    EXPECT_EQ(z.ColumnNumber(379), 1);
    EXPECT_EQ(z.ColumnNumber(380), 2);
    EXPECT_EQ(z.ColumnLetters(2899), "J");
    EXPECT_EQ(z.RowLetters(500), "B");
    EXPECT_EQ(z.RowLetters(600), "C");
    z.FirstColumn = 0;
    EXPECT_EQ(z.ColumnNumber(100), 0);
    EXPECT_EQ(z.ColumnLetters(100), "A") << "a first number of 0 letters one more";
}

TEST(ZoneGrid, DegenerateGridsAreOneZoneAndOutsideIsEmpty) {
    struct Case {
        const char* name;
        float width;
        qint32 columns;
    } cases[] = {{"zero width", 0, 10}, {"no columns", 2800, 0}, {"negative", -50, -3}};
    for (const Case& c : cases) {
        TZoneGrid z;
        z.Width = c.width;
        z.Columns = c.columns;
        EXPECT_EQ(z.ColumnNumber(500), 1) << c.name;
        EXPECT_EQ(z.ColumnLetters(500), "A") << c.name;
        EXPECT_FALSE(z.ColumnLines().empty()) << c.name;
    }
    TZoneGrid z;
    z.FirstColumn = 5;
    z.FirstRow = 3;
    EXPECT_EQ(z.ColumnLetters(50), "") << "left of the grid";
    EXPECT_EQ(z.RowLetters(99), "") << "above the grid";
    EXPECT_FALSE(z.ColumnNumber(std::nan("")).has_value());
    z.FirstColumn = INT_MAX; // a first number near the limit does not overflow
    EXPECT_EQ(z.ColumnNumber(2899), INT_MAX);
    EXPECT_EQ(z.ColumnLetters(2899), "");
    z.Columns = 1 << 30;
    EXPECT_LE(z.ColumnLines().size(), size_t(TZoneGrid::kMaxZoneLines + 1));
}

} // namespace
