// The sheet widget, rulers and sheet area under the offscreen platform: scroll bars follow the
// canvas, wheel and keys zoom, overlays keep the rendered background, scrolling renders only
// the strip that came into view, the origin menu and drag.
#include "editor/editor.h"
#include "editor/gui/Ruler.h"
#include "editor/gui/SheetArea.h"
#include "editor/gui/SheetView.h"
#include "editor/viewsettings.h"
#include "elements/Kreis.h"
#include "platform/messages.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

class SheetWidget : public ::testing::Test {
protected:
    TEditor sheet;
    TSheetViewSettings saved = g_SheetViewSettings;

    void SetUp() override {
        SetInterfaceLanguage(LangGerman);
        g_SheetViewSettings = TSheetViewSettings();
    }
    void TearDown() override { g_SheetViewSettings = saved; }

    static void Wheel(QWidget* target, QPoint at, int delta, Qt::MouseButtons buttons = {}) {
        QWheelEvent e(QPointF(at), QPointF(target->mapToGlobal(at)), QPoint(), QPoint(0, delta),
                      buttons, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &e);
    }
};

TEST_F(SheetWidget, ScrollBarsSpanTheCanvas) {
    TSheetView view;
    view.resize(600, 400);
    view.SetSheet(&sheet);
    view.show();
    sheet.SetZoom(1);
    const QSize client = view.viewport()->size();
    EXPECT_EQ(sheet.ClientSize(), client);
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), 2970 - client.width());
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 2100 - client.height());
    EXPECT_EQ(view.horizontalScrollBar()->singleStep(), 40);

    std::vector<std::pair<bool, bool>> scrolled;
    sheet.OnScrolled = [&](TEditor&, bool h, bool v) { scrolled.emplace_back(h, v); };
    view.verticalScrollBar()->setValue(300);
    EXPECT_EQ(sheet.Scroll(), QPoint(0, 300));
    ASSERT_FALSE(scrolled.empty());
    EXPECT_EQ(scrolled.back(), std::make_pair(false, true));
    // The model scrolls: the bars follow.
    sheet.CenterOn({1485, 1050});
    EXPECT_EQ(view.horizontalScrollBar()->value(), sheet.Scroll().x());
    EXPECT_EQ(view.verticalScrollBar()->value(), sheet.Scroll().y());

    // A sheet that fits the whole area needs no bar, not even for the other bar's sake.
    sheet.ZoomSheet();
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(sheet.Scroll(), QPoint(0, 0));
    QApplication::processEvents(); // the bars hide a moment later
    EXPECT_EQ(view.viewport()->size(), view.maximumViewportSize());
    EXPECT_EQ(sheet.ClientSize(), view.maximumViewportSize());
}

TEST_F(SheetWidget, WheelAndKeysZoom) {
    TSheetView view;
    view.resize(600, 400);
    view.SetSheet(&sheet);
    view.show();
    Wheel(view.viewport(), QPoint(100, 100), 120);
    EXPECT_FLOAT_EQ(sheet.Zoom, 0.24f);
    Wheel(view.viewport(), QPoint(100, 100), -120);
    EXPECT_FLOAT_EQ(sheet.Zoom, 0.2f);
    // Half notches add up to one step.
    Wheel(view.viewport(), QPoint(100, 100), 60);
    EXPECT_FLOAT_EQ(sheet.Zoom, 0.2f);
    Wheel(view.viewport(), QPoint(100, 100), 60);
    EXPECT_FLOAT_EQ(sheet.Zoom, 0.24f);
    // Not with the left button held, not beside a canvas smaller than the view.
    Wheel(view.viewport(), QPoint(100, 100), 120, Qt::LeftButton);
    EXPECT_FLOAT_EQ(sheet.Zoom, 0.24f);
    sheet.SetZoom(0.1f); // 297 x 210 pixels
    Wheel(view.viewport(), QPoint(400, 300), 120);
    EXPECT_FLOAT_EQ(sheet.Zoom, 0.1f);

    QTest::keyClick(&view, Qt::Key_F5);
    EXPECT_EQ(sheet.Scroll(), QPoint(0, 0));
    // A4 landscape (with the margin) in 600 x 400 pixels: the height decides.
    EXPECT_NEAR(sheet.Zoom, 400.0 / 2110.5, 0.002);
    EXPECT_LE(sheet.CanvasSize().width(), view.maximumViewportSize().width());

    // The wheel zooms at the pointer: the point under it comes to the middle of the view and
    // the pointer goes with it.
    sheet.SetZoom(1.0f);
    sheet.ScrollTo(QPoint(500, 400));
    const QPoint at(150, 120);
    const TRPoint p = sheet.ClientToWorld(QPointF(at + sheet.Scroll()));
    Wheel(view.viewport(), at, 120);
    EXPECT_FLOAT_EQ(sheet.Zoom, 1.2f);
    const QPoint middle(view.viewport()->width() / 2, view.viewport()->height() / 2);
    EXPECT_LE((sheet.WorldToClientPoint(p) - middle).manhattanLength(), 1);
    EXPECT_LE((view.viewport()->mapFromGlobal(QCursor::pos()) - middle).manhattanLength(), 1);
}

TEST_F(SheetWidget, WheelOverAScrollBarScrollsAFifth) {
    TSheetView view;
    view.resize(600, 400);
    view.SetSheet(&sheet);
    view.show();
    sheet.SetZoom(1);
    const int fifth = view.viewport()->height() / 5;
    Wheel(view.verticalScrollBar(), QPoint(5, 5), -120);
    EXPECT_EQ(sheet.Scroll(), QPoint(0, fifth));
    EXPECT_FLOAT_EQ(sheet.Zoom, 1.0f);
    Wheel(view.horizontalScrollBar(), QPoint(5, 5), -120);
    EXPECT_EQ(sheet.Scroll(), QPoint(view.viewport()->width() / 5, fifth));
}

TEST_F(SheetWidget, OverlaysAndScrollsReuseTheRenderedBackground) {
    TSheetView view;
    view.resize(600, 400);
    view.SetSheet(&sheet);
    view.show();
    sheet.SetZoom(1);
    view.RenderNow();
    const int full = view.FullRenders();
    EXPECT_GE(full, 1);
    // The crosshair is drawn on the kept picture.
    sheet.SetCrosshair(TRPoint{100, 100});
    view.RenderNow();
    sheet.SetCrosshair(TRPoint{150, 120});
    view.RenderNow();
    EXPECT_EQ(view.FullRenders(), full);
    const QImage shown = view.viewport()->grab().toImage();
    EXPECT_EQ(shown.pixel(150, 5), qRgb(0, 0, 255));
    // A scroll renders only what came into view.
    const int partial = view.PartialRenders();
    sheet.ScrollTo(sheet.Scroll() + QPoint(0, 40));
    view.RenderNow();
    EXPECT_EQ(view.FullRenders(), full);
    EXPECT_EQ(view.PartialRenders(), partial + 1);
    // A change of the elements or of the zoom renders everything.
    view.Invalidate(QRect());
    view.RenderNow();
    EXPECT_EQ(view.FullRenders(), full + 1);
    sheet.SetZoom(2);
    view.RenderNow();
    EXPECT_EQ(view.FullRenders(), full + 2);
}

TEST_F(SheetWidget, ScrolledPictureEqualsAFreshOne) {
    g_SheetViewSettings.Kontrast = 3;
    sheet.GridSize = 50;
    sheet.MagnetLinesV = {400};
    sheet.MagnetLinesH = {250};
    // A smoothed circle across the edges of the strips.
    auto circle = std::make_unique<TKreis>(TRRect{380, 180, 520, 320});
    circle->NoFill = false;
    circle->FillColor = 0x00C0FF;
    circle->LineWidth = 7;
    sheet.Elements.push_back(std::move(circle));
    TSheetView view;
    view.resize(500, 300);
    view.SetSheet(&sheet);
    view.show();
    sheet.SetZoom(1);
    view.RenderNow();
    sheet.ScrollTo(QPoint(37, 53));
    const QImage scrolled = view.viewport()->grab().toImage();
    view.Invalidate(QRect());
    const QImage fresh = view.viewport()->grab().toImage();
    EXPECT_EQ(scrolled, fresh);
}

TEST_F(SheetWidget, RulersShowTheSheetAndTheMarker) {
    TRuler ruler(Qt::Horizontal);
    EXPECT_EQ(ruler.objectName(), "PB_Horz");
    EXPECT_EQ(TRuler(Qt::Vertical).objectName(), "PB_Vert");
    ruler.resize(600, TRuler::kThickness);
    sheet.SetClientSize(QSize(600, 400), QSize(600, 400));
    sheet.SetZoom(1);
    ruler.SetSheet(&sheet);
    const TRulerPlan plan = ruler.Plan();
    ASSERT_FALSE(plan.Ticks.empty());
    EXPECT_EQ(plan.StepPixels, 10);
    ruler.SetMarker(120);
    const QImage img = ruler.grab().toImage();
    EXPECT_EQ(img.pixel(120, 10), qRgb(0, 0, 255));
    ruler.SetMarker(-100);
    EXPECT_NE(ruler.grab().toImage().pixel(120, 10), qRgb(0, 0, 255));
}

TEST_F(SheetWidget, OriginMenuAndDrag) {
    TSheetArea area;
    area.resize(700, 500);
    area.SetSheet(&sheet);
    area.show();
    sheet.SetZoom(1);
    QStringList captions;
    for (QAction* a : area.Popup_KoordinatenUrsprung->actions())
        captions << a->text();
    EXPECT_EQ(captions.join('/'), "Oben-Links/Unten-Links/Oben-Rechts/Unten-Rechts");
    area.Popup_KoordinatenUrsprung->actions()[1]->trigger();
    EXPECT_EQ(sheet.Origin, (TRPoint{0, 2100}));

    // Press on the origin button, move onto the sheet, release there.
    QToolButton* button = area.SB_Nullpunkt;
    TSheetView* view = area.ScrollBox_Editor;
    const QPoint target = view->viewport()->mapToGlobal(QPoint(203, 148));
    auto send = [&](QEvent::Type type, QPoint global, Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(button->mapFromGlobal(global)), QPointF(global), Qt::LeftButton,
                      buttons, Qt::NoModifier);
        QApplication::sendEvent(button, &e);
    };
    const QPoint start = button->mapToGlobal(QPoint(5, 5));
    send(QEvent::MouseButtonPress, start, Qt::LeftButton);
    send(QEvent::MouseMove, start + QPoint(20, 20), Qt::LeftButton);
    EXPECT_TRUE(sheet.OriginDragging());
    send(QEvent::MouseMove, target, Qt::LeftButton);
    EXPECT_EQ(sheet.Origin, (TRPoint{200, 150}));
    send(QEvent::MouseButtonRelease, target, Qt::NoButton);
    EXPECT_FALSE(sheet.OriginDragging());
    EXPECT_EQ(sheet.Origin, (TRPoint{200, 150}));
    EXPECT_FALSE(sheet.Crosshair().has_value());
}

TEST_F(SheetWidget, AutoScrollGoesOnWhileThePointerStaysAtTheEdge) {
    TSheetArea area;
    area.resize(700, 500);
    area.SetSheet(&sheet);
    area.show();
    sheet.SetZoom(1);
    QToolButton* button = area.SB_Nullpunkt;
    TSheetView* view = area.ScrollBox_Editor;
    auto send = [&](QEvent::Type type, QPoint global, Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(button->mapFromGlobal(global)), QPointF(global), Qt::LeftButton,
                      buttons, Qt::NoModifier);
        QApplication::sendEvent(button, &e);
    };
    const QPoint start = button->mapToGlobal(QPoint(5, 5));
    send(QEvent::MouseButtonPress, start, Qt::LeftButton);
    send(QEvent::MouseMove, start + QPoint(30, 30), Qt::LeftButton);
    const TRPoint before = sheet.Origin;
    const QPoint edge = view->viewport()->mapToGlobal(QPoint(view->viewport()->width() - 3, 100));
    send(QEvent::MouseMove, edge, Qt::LeftButton);
    EXPECT_EQ(sheet.Scroll().x(), 16);
    EXPECT_EQ(sheet.Origin, before) << "the move that scrolled changes nothing else";
    QTest::qWait(500);
    EXPECT_GT(sheet.Scroll().x(), 32) << "the timer keeps scrolling";
    send(QEvent::MouseButtonRelease, edge, Qt::NoButton);
    const int stopped = sheet.Scroll().x();
    QTest::qWait(100);
    EXPECT_EQ(sheet.Scroll().x(), stopped);
    EXPECT_EQ(sheet.Scroll().y(), 0);
}

TEST_F(SheetWidget, FormSheetBar) {
    TSheetArea area;
    area.show();
    EXPECT_FALSE(area.Panel_Formblatt->isVisible());
    area.ShowFormSheetBar(true);
    EXPECT_TRUE(area.Panel_Formblatt->isVisible());
    EXPECT_EQ(area.L_Formblatt->text(), "Formblatt bearbeiten");
    QSignalSpy closed(&area, &TSheetArea::FormSheetBarClosed);
    area.B_FormblattBeenden->click();
    EXPECT_EQ(closed.count(), 1);
}

} // namespace
