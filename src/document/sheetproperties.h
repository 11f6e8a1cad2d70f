#pragma once

#include "editor/editor.h"

#include <QString>

class TDocument;

// The sheet's own properties as the properties panel edits them.
struct TSheetProperties {
    QString Name;
    QString Description;
    bool Reserve = false;
    qint32 Width = 297; // mm
    qint32 Height = 210;
    double Scale = 1.0;
    qint32 UnitDivisor = 1;
    TZoneGrid ZoneGrid;
    bool ZoneGridVisible = false;
};

// Limits the panel keeps the values in.
constexpr int kMinSheetSide = 50; // mm
constexpr int kMaxSheetSide = 1200;
constexpr int kMaxSheetNameLength = 80;
constexpr double kMinScale = 0.1;
constexpr double kMaxScale = 1000;
constexpr int kMaxZoneLength = 1200; // mm, zone-grid size and offsets
constexpr int kMaxZoneCount = 50;
constexpr int kMaxZoneFirstNumber = 10000;

// What an applied change touched.
enum TSheetPropertyChange : int {
    SheetChangedNothing = 0,
    SheetChangedCaption = 1, // name, description or reserve flag: tabs and lists follow
    SheetChangedSize = 2,    // the canvas follows
    SheetChangedScale = 4,   // rulers and read-out follow
    SheetChangedZoneGrid = 8,
};

TSheetProperties ReadSheetProperties(const TEditor& sheet);

// The scale as the panel takes it: within 0.1 ... 1000 with one decimal; a value that is no
// number becomes the smallest scale.
double ClampSheetScale(double scale);

// Writes the values into a sheet of the document, each kept within the panel's limits. A change
// marks the document modified (undo does not cover sheet properties, so the save question has
// to); a changed caption refreshes the tabs, lists and page-dependent labels. Returns the
// TSheetPropertyChange bits of what changed.
int ApplySheetProperties(TDocument& doc, TEditor& sheet, const TSheetProperties& values);

// "Auto...": the zone grid fitted to the sheet, keeping its offsets as the margin on every side
// and its column and row counts.
TZoneGrid FitZoneGridToSheet(const TZoneGrid& grid, int widthMm, int heightMm);
