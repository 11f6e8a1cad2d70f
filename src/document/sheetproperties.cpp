#include "document/sheetproperties.h"

#include "document/document.h"

#include <algorithm>
#include <cmath>

TSheetProperties ReadSheetProperties(const TEditor& sheet) {
    TSheetProperties p;
    p.Name = sheet.SheetName;
    p.Description = sheet.SheetDescription;
    p.Reserve = sheet.ReserveSheet;
    p.Width = sheet.SheetWidth;
    p.Height = sheet.SheetHeight;
    p.Scale = sheet.Scale;
    p.UnitDivisor = sheet.UnitDivisor;
    p.ZoneGrid = sheet.ZoneGrid;
    p.ZoneGridVisible = sheet.ZoneGridVisible;
    return p;
}

double ClampSheetScale(double scale) {
    if (!std::isfinite(scale)) return kMinScale;
    return std::clamp(std::nearbyint(std::clamp(scale, kMinScale, kMaxScale) * 10) / 10, kMinScale,
                      kMaxScale);
}

namespace {

float ClampLength(float world) {
    if (!std::isfinite(world)) return 0;
    return std::clamp(world, 0.0f, float(kMaxZoneLength * 10));
}

TZoneGrid ClampZoneGrid(TZoneGrid z) {
    z.Width = ClampLength(z.Width);
    z.Height = ClampLength(z.Height);
    z.OffsetX = ClampLength(z.OffsetX);
    z.OffsetY = ClampLength(z.OffsetY);
    z.Columns = std::clamp(z.Columns, 1, kMaxZoneCount);
    z.Rows = std::clamp(z.Rows, 1, kMaxZoneCount);
    z.FirstColumn = std::clamp(z.FirstColumn, 0, kMaxZoneFirstNumber);
    z.FirstRow = std::clamp(z.FirstRow, 0, kMaxZoneFirstNumber);
    return z;
}

bool SameZoneGrid(const TZoneGrid& a, const TZoneGrid& b) {
    return a.Width == b.Width && a.Height == b.Height && a.OffsetX == b.OffsetX &&
           a.OffsetY == b.OffsetY && a.Columns == b.Columns && a.Rows == b.Rows &&
           a.FirstColumn == b.FirstColumn && a.FirstRow == b.FirstRow;
}

int ValidUnit(int divisor) {
    return divisor == 10 || divisor == 1000 || divisor == 1000000 ? divisor : 1;
}

} // namespace

int ApplySheetProperties(TDocument& doc, TEditor& sheet, const TSheetProperties& v) {
    int changed = SheetChangedNothing;
    const QString name = v.Name.left(kMaxSheetNameLength);
    // A stored name longer than the panel allows stays as it is until the user edits it.
    if (name != sheet.SheetName && v.Name != sheet.SheetName) {
        sheet.SheetName = name;
        changed |= SheetChangedCaption;
    }
    if (v.Description != sheet.SheetDescription) {
        sheet.SheetDescription = v.Description;
        changed |= SheetChangedCaption;
    }
    if (v.Reserve != sheet.ReserveSheet) {
        sheet.ReserveSheet = v.Reserve;
        changed |= SheetChangedCaption;
    }
    const qint32 w = std::clamp(v.Width, kMinSheetSide, kMaxSheetSide);
    const qint32 h = std::clamp(v.Height, kMinSheetSide, kMaxSheetSide);
    if (w != sheet.SheetWidth || h != sheet.SheetHeight) {
        sheet.SheetWidth = w;
        sheet.SheetHeight = h;
        changed |= SheetChangedSize;
    }
    // An unchanged scale is left alone, so a stored value finer than the panel's keeps.
    if (v.Scale != sheet.Scale) {
        const double scale = ClampSheetScale(v.Scale);
        if (scale != sheet.Scale) {
            sheet.Scale = scale;
            changed |= SheetChangedScale;
        }
    }
    const qint32 unit = ValidUnit(v.UnitDivisor);
    if (unit != sheet.UnitDivisor) {
        sheet.UnitDivisor = unit;
        changed |= SheetChangedScale;
    }
    if (!SameZoneGrid(v.ZoneGrid, sheet.ZoneGrid)) {
        const TZoneGrid z = ClampZoneGrid(v.ZoneGrid);
        if (!SameZoneGrid(z, sheet.ZoneGrid)) {
            sheet.ZoneGrid = z;
            changed |= SheetChangedZoneGrid;
        }
    }
    if (v.ZoneGridVisible != sheet.ZoneGridVisible) {
        sheet.ZoneGridVisible = v.ZoneGridVisible;
        changed |= SheetChangedZoneGrid;
    }
    if (changed == SheetChangedNothing) return changed;
    doc.Modified = true;
    // Captions, tabs, lists and labels that show sheet names follow.
    if (changed & SheetChangedCaption) doc.SheetsChanged();
    return changed;
}

TZoneGrid FitZoneGridToSheet(const TZoneGrid& grid, int widthMm, int heightMm) {
    TZoneGrid z = ClampZoneGrid(grid);
    const float w = float(std::clamp(widthMm, kMinSheetSide, kMaxSheetSide) * 10);
    const float h = float(std::clamp(heightMm, kMinSheetSide, kMaxSheetSide) * 10);
    // Margins wider than half the sheet leave no room: they shrink to a tenth of the sheet.
    if (2 * z.OffsetX >= w) z.OffsetX = w / 10;
    if (2 * z.OffsetY >= h) z.OffsetY = h / 10;
    z.Width = ClampLength(w - 2 * z.OffsetX);
    z.Height = ClampLength(h - 2 * z.OffsetY);
    return z;
}
