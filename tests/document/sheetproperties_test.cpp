// Applying the sheet's own properties: limits, what counts as a change, and values that come
// from a file outside the panel's limits.
#include "document/sheetproperties.h"
#include "fixture.h"

#include <cmath>
#include <limits>

namespace {

class SheetProperties : public DocumentFixture {};

TEST_F(SheetProperties, ValuesAreKeptWithinLimitsAndOnlyChangesCount) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        const char* Name;
        std::function<void(TSheetProperties&)> Edit;
        int Changed;
        std::function<bool(const TEditor&)> Check;
    } cases[] = {
        {"nothing", [](TSheetProperties&) {}, SheetChangedNothing,
         [](const TEditor& s) { return s.SheetWidth == 297; }},
        {"too wide", [](TSheetProperties& p) { p.Width = 5000; }, SheetChangedSize,
         [](const TEditor& s) { return s.SheetWidth == 1200 && s.SheetHeight == 210; }},
        {"too low", [](TSheetProperties& p) { p.Height = -3; }, SheetChangedSize,
         [](const TEditor& s) { return s.SheetHeight == 50; }},
        {"long name", [](TSheetProperties& p) { p.Name = QString(90, 'x'); }, SheetChangedCaption,
         [](const TEditor& s) { return s.SheetName == QString(80, 'x'); }},
        {"scale", [](TSheetProperties& p) { p.Scale = 12.345; }, SheetChangedScale,
         [](const TEditor& s) { return s.Scale == 12.3; }},
        {"scale no number", [](TSheetProperties& p) { p.Scale = std::nan(""); }, SheetChangedScale,
         [](const TEditor& s) { return s.Scale == 0.1; }},
        {"odd unit",
         [](TSheetProperties& p) {
             p.UnitDivisor = 7;
             p.Scale = 1;
         },
         SheetChangedNothing, [](const TEditor& s) { return s.UnitDivisor == 1; }},
        {"unit", [](TSheetProperties& p) { p.UnitDivisor = 1000000; }, SheetChangedScale,
         [](const TEditor& s) { return s.UnitDivisor == 1000000; }},
        {"zone counts",
         [](TSheetProperties& p) {
             p.ZoneGrid.Columns = 0;
             p.ZoneGrid.Rows = 80;
         },
         SheetChangedZoneGrid,
         [](const TEditor& s) { return s.ZoneGrid.Columns == 1 && s.ZoneGrid.Rows == 50; }},
        {"zone size no number", [nan](TSheetProperties& p) { p.ZoneGrid.Width = nan; },
         SheetChangedZoneGrid, [](const TEditor& s) { return s.ZoneGrid.Width == 0; }},
        {"zone shown", [](TSheetProperties& p) { p.ZoneGridVisible = true; }, SheetChangedZoneGrid,
         [](const TEditor& s) { return s.ZoneGridVisible; }},
        {"reserve", [](TSheetProperties& p) { p.Reserve = true; }, SheetChangedCaption,
         [](const TEditor& s) { return s.ReserveSheet; }},
    };
    for (const auto& c : cases) {
        TDocument doc;
        TEditor& sheet = doc.CreateSheet(false);
        sheet.SheetName = "Plan";
        TSheetProperties p = ReadSheetProperties(sheet);
        c.Edit(p);
        EXPECT_EQ(ApplySheetProperties(doc, sheet, p), c.Changed) << c.Name;
        EXPECT_TRUE(c.Check(sheet)) << c.Name;
        EXPECT_EQ(doc.Modified, c.Changed != SheetChangedNothing) << c.Name;
    }
}

TEST_F(SheetProperties, StoredValuesOutsideThePanelsLimitsStayUntilEdited) {
    // A file may hold a longer name and a finer scale than the panel would let one enter.
    TDocument doc;
    TEditor& sheet = doc.CreateSheet(false);
    sheet.SheetName = QString(120, 'a');
    sheet.Scale = 2.54;
    sheet.ZoneGrid.Width = 2805.5f;
    TSheetProperties p = ReadSheetProperties(sheet);
    p.Reserve = true;
    EXPECT_EQ(ApplySheetProperties(doc, sheet, p), SheetChangedCaption);
    EXPECT_EQ(sheet.SheetName.size(), 120);
    EXPECT_EQ(sheet.Scale, 2.54);
    EXPECT_EQ(sheet.ZoneGrid.Width, 2805.5f);
}

TEST_F(SheetProperties, AutoFitsTheZoneGridIntoTheSheet) {
    const struct {
        int Width, Height;
        float OffsetX, OffsetY;
        float ExpectWidth, ExpectHeight, ExpectOffsetX, ExpectOffsetY;
    } cases[] = {
        {297, 210, 100, 100, 2770, 1900, 100, 100},
        {420, 297, 0, 50, 4200, 2870, 0, 50},
        // Margins of half the sheet or more leave no room and shrink.
        {100, 80, 600, 400, 800, 640, 100, 80},
    };
    for (const auto& c : cases) {
        TZoneGrid g;
        g.OffsetX = c.OffsetX;
        g.OffsetY = c.OffsetY;
        g.Columns = 7;
        const TZoneGrid z = FitZoneGridToSheet(g, c.Width, c.Height);
        EXPECT_EQ(z.Width, c.ExpectWidth) << c.Width;
        EXPECT_EQ(z.Height, c.ExpectHeight) << c.Width;
        EXPECT_EQ(z.OffsetX, c.ExpectOffsetX) << c.Width;
        EXPECT_EQ(z.OffsetY, c.ExpectOffsetY) << c.Width;
        EXPECT_EQ(z.Columns, 7);
    }
}

} // namespace
