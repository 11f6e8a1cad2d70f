// Painting a sheet into an image: background, layer and grid order, culling by the clip
// rectangle, the element under construction, form-sheet editing, zone grid and overlay.
#include "counting_box.h"
#include "editor/editor.h"
#include "elements/MyD2D.h"
#include "elements/Rechteck.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

class SheetPaint : public ::testing::Test {
protected:
    TEditor sheet;
    TSheetViewSettings savedView = g_SheetViewSettings;
    TRenderSettings savedRender = g_RenderSettings;

    void SetUp() override {
        g_SheetViewSettings = TSheetViewSettings();
        sheet.SetClientSize(QSize(400, 300), QSize(400, 300));
        sheet.SetZoom(1);
    }
    void TearDown() override {
        g_SheetViewSettings = savedView;
        g_RenderSettings = savedRender;
    }
    QImage Render(QRect clip = QRect(0, 0, 400, 300)) {
        QImage img(400, 300, QImage::Format_RGB32);
        img.fill(Qt::black);
        QPainter p(&img);
        sheet.Paint(p, clip);
        return img;
    }
    TRechteck& AddFilled(TRRect r, qint32 fill, bool formLayer) {
        auto e = std::make_unique<TRechteck>(r);
        e->NoLine = true;
        e->NoFill = false;
        e->FillColor = fill;
        e->FormLayer = formLayer;
        TRechteck& ref = *e;
        sheet.Elements.push_back(std::move(e));
        return ref;
    }
    TCountingBox& AddBox(TRRect r) {
        auto e = std::make_unique<TCountingBox>(r);
        TCountingBox& ref = *e;
        sheet.Elements.push_back(std::move(e));
        return ref;
    }
};

QRgb rgbOf(int r, int g, int b) {
    return qRgb(r, g, b);
}

TEST_F(SheetPaint, BackgroundAndDotGrid) {
    const QImage img = Render();
    EXPECT_EQ(img.pixel(5, 5), rgbOf(0xFF, 0xFF, 0xFA));
    EXPECT_EQ(img.pixel(10, 10), rgbOf(0x80, 0x80, 0x80)) << "minor position: one pixel";
    EXPECT_EQ(img.pixel(11, 10), rgbOf(0xFF, 0xFF, 0xFA));
    // Every 5th step a cross with arms of 2 pixels.
    EXPECT_EQ(img.pixel(52, 50), rgbOf(0x80, 0x80, 0x80));
    EXPECT_EQ(img.pixel(50, 48), rgbOf(0x80, 0x80, 0x80));
    EXPECT_EQ(img.pixel(53, 50), rgbOf(0xFF, 0xFF, 0xFA));
    g_SheetViewSettings.BKWhite = true;
    g_SheetViewSettings.Kontrast = 3;
    const QImage white = Render();
    EXPECT_EQ(white.pixel(5, 5), rgbOf(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(white.pixel(10, 10), rgbOf(0, 0, 0));
    g_SheetViewSettings.Kontrast = 0;
    EXPECT_EQ(Render().pixel(10, 10), rgbOf(0xFF, 0xFF, 0xFF));
}

TEST_F(SheetPaint, OutsideTheCanvasNothingIsPainted) {
    sheet.SheetWidth = 100;
    sheet.SetZoom(0.2f); // 200 x 420 pixels
    const QImage img = Render();
    EXPECT_EQ(img.pixel(150, 10), rgbOf(0xFF, 0xFF, 0xFA));
    EXPECT_EQ(img.pixel(250, 10), rgbOf(0, 0, 0));
}

TEST_F(SheetPaint, LayerAndGridOrder) {
    AddFilled({0, 0, 200, 200}, clRed, true);
    struct Case {
        const char* name;
        bool d2d, gridOver;
        QRgb atGridDot;
    } cases[] = {
        {"grid over the form sheet", true, true, rgbOf(0x80, 0x80, 0x80)},
        {"grid beneath the form sheet", true, false, rgbOf(0xFF, 0, 0)},
        {"the plain renderer draws the grid above always", false, false, rgbOf(0x80, 0x80, 0x80)},
    };
    for (const Case& c : cases) {
        g_RenderSettings.UseD2D = c.d2d;
        g_SheetViewSettings.GridOverBK = c.gridOver;
        EXPECT_EQ(Render().pixel(30, 30), c.atGridDot) << c.name;
    }
    // Ordinary elements lie above the grid and the form sheet.
    g_RenderSettings.UseD2D = true;
    g_SheetViewSettings.GridOverBK = true;
    AddFilled({0, 0, 100, 100}, 0x00FF00, false);
    EXPECT_EQ(Render().pixel(30, 30), rgbOf(0, 0xFF, 0));
}

TEST_F(SheetPaint, OnlyElementsMeetingTheClipAreDrawn) {
    TCountingBox& left = AddBox({10, 10, 50, 50});
    TCountingBox& right = AddBox({300, 10, 350, 50});
    TCountingBox& far = AddBox({2000, 1500, 2100, 1600});
    Render(QRect(0, 0, 200, 300));
    EXPECT_EQ(left.Draws, 1);
    EXPECT_EQ(right.Draws, 0);
    EXPECT_EQ(far.Draws, 0);
    Render();
    EXPECT_EQ(right.Draws, 1);
    EXPECT_EQ(far.Draws, 0);
    sheet.ScrollTo(QPoint(1900, 1400));
    Render();
    EXPECT_EQ(far.Draws, 1);
    EXPECT_EQ(left.Draws, 2) << "scrolled out of view";
}

TEST_F(SheetPaint, TheElementUnderConstructionBelongsToTheTool) {
    TCountingBox& a = AddBox({10, 10, 50, 50});
    TCountingBox& b = AddBox({60, 10, 90, 50});
    sheet.ElementUnderConstruction = true;
    Render();
    EXPECT_EQ(a.Draws, 1);
    EXPECT_EQ(b.Draws, 0);
}

TEST_F(SheetPaint, FormSheetEditingShowsOnlyTheFormLayer) {
    g_RenderSettings.UseD2D = true;
    TCountingBox& form = AddBox({10, 10, 50, 50});
    form.FormLayer = true;
    TCountingBox& plain = AddBox({60, 10, 90, 50});
    sheet.SetFormSheetEditing(true);
    const QImage img = Render();
    EXPECT_EQ(form.Draws, 1);
    EXPECT_EQ(plain.Draws, 0);
    EXPECT_EQ(img.pixel(5, 5), rgbOf(0xE4, 0xE4, 0xE4));
    g_RenderSettings.UseD2D = false;
    EXPECT_EQ(Render().pixel(5, 5), rgbOf(0xFF, 0xEE, 0xEE));
}

TEST_F(SheetPaint, ZoneGridAndMagnetLines) {
    g_SheetViewSettings.Kontrast = 0;
    sheet.ZoneGridVisible = true;
    QImage img = Render();
    EXPECT_EQ(img.pixel(100, 150), rgbOf(0, 0xFF, 0xFF)) << "left edge of the zone grid";
    EXPECT_EQ(img.pixel(380, 150), rgbOf(0, 0xFF, 0xFF)) << "second column line";
    EXPECT_EQ(img.pixel(50, 150), rgbOf(0xFF, 0xFF, 0xFA));
    sheet.ZoneGridVisible = false;
    sheet.ZoneGrid.Columns = 0; // counts as one zone instead of dividing by zero
    sheet.ZoneGridVisible = true;
    img = Render();
    EXPECT_EQ(img.pixel(100, 150), rgbOf(0, 0xFF, 0xFF));
    sheet.ZoneGridVisible = false;

    g_RenderSettings.UseD2D = false;
    sheet.MagnetLinesV = {200};
    img = Render();
    EXPECT_EQ(img.pixel(200, 1), rgbOf(0, 0, 0xFF)) << "dashed blue, starting with a dash";
    g_MagnetLineSwitches.Hidden = true;
    EXPECT_EQ(Render().pixel(200, 1), rgbOf(0xFF, 0xFF, 0xFA));
    g_MagnetLineSwitches.Hidden = false;
}

TEST_F(SheetPaint, TheCrosshairIsOverlayOnly) {
    g_SheetViewSettings.Kontrast = 0;
    g_RenderSettings.UseD2D = false;
    sheet.SetCrosshair(TRPoint{100, 100});
    QImage img = Render();
    EXPECT_EQ(img.pixel(100, 20), rgbOf(0xFF, 0xFF, 0xFA));
    {
        QPainter p(&img);
        sheet.PaintOverlay(p);
    }
    EXPECT_EQ(img.pixel(100, 20), rgbOf(0, 0, 0xFF));
    EXPECT_EQ(img.pixel(20, 100), rgbOf(0, 0, 0xFF));
}

} // namespace
