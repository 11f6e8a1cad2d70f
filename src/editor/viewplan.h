#pragma once

// The numbers of the sheet view that need no widget: read-out formatting, the captions of the
// grid and zoom labels, the ruler's tick plan and the grid plan. The sheet widget and the rulers
// only draw what these compute.

#include "elements/geometry.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <vector>

// Decimals of lengths at a drawing scale: 5 minus the digit count of round(scale * 1000) while
// that count is below 6, else 0 (scale 1: 1, 0.1 and 0.5: 2, 10 and above: 0).
int ReadoutDecimals(double scale);
// A world length or coordinate as the status bar shows it: v * scale / 10 in fixed notation with
// ReadoutDecimals(scale) decimals.
QString FormatReadout(double worldValue, double scale);
// A number rounded to at most `decimals` decimals, written without trailing zeros.
QString FormatTrimmed(double value, int decimals);
// Unit text of a unit divisor: 1 "mm", 10 "cm", 1000 "m", 1000000 "km", anything else "mm".
QString UnitText(int unitDivisor);

// "Zoom:  " and the shown zoom (zoom * 3.33) with two decimals.
QString ZoomLabelText(double zoom);
// The grid length of a pitch at a scale with the fewest of 0, 1 or 2 decimals, a blank and the
// unit ("0,2 mm"): grid-menu captions.
QString GridLengthText(int pitch, double scale, int unitDivisor);
// "Raster: " and GridLengthText.
QString GridLabelText(int pitch, double scale, int unitDivisor);
// Grid steps of the grid menu in world units, "..." (0) last.
extern const int kGridMenuTags[9];

// Ruler (horizontal; the vertical ruler passes y values).
struct TRulerInput {
    double Zoom = 0.2;
    double Scale = 1;
    double Origin = 0; // world units along the ruler's axis
    int Scroll = 0;    // scroll position in pixels
    int Length = 0;    // ruler length in pixels
    // Text widths in pixels of "1200" and of "9999,9", each with two blanks added.
    double LabelWidth = 40;
    double LabelWidthTenths = 55;
};
struct TRulerTick {
    int Pixel = 0;
    bool Labelled = false;
    QString Label;
};
struct TRulerPlan {
    double Step = 0;    // p, drawing length between ticks
    int StepPixels = 0; // e, pixels between ticks of step p
    int Divisor = 1;    // f: 10 when the values are tenths
    std::vector<TRulerTick> Ticks;
    std::vector<int> MinorTicks; // pixels of the nine minor ticks between ticks
};
// At most this many ticks are planned, whatever the numbers say.
constexpr int kMaxRulerTicks = 4000;
TRulerPlan BuildRulerPlan(const TRulerInput& in);

// Grid.
struct TGridInput {
    double Zoom = 0.2;
    int GridSize = 10;
    TRPoint Origin;
    QPoint Scroll;
    QRect Visible; // client rectangle to cover (the whole client area, or a part to repaint)
    QSize Canvas;  // sheet at the zoom
    int Kontrast = 2;
    int Markierung = 2;
};
struct TGridLine {
    int Pixel = 0; // client pixel
    int Index = 0; // grid steps from the grid offset
    bool Major = false;
};
struct TGridPlan {
    bool Draw = false;
    int Pitch = 0; // pixels
    int Major = 0; // major interval N, 0 none
    std::vector<TGridLine> Xs, Ys;
    int MajorArm = 0; // half-arm of a major dot-grid cross
    int MinorArm = 0; // half-arm of a minor cross; 0 is a single pixel
};
// Positions are visited only in the visible part of the canvas, one pitch beyond each side.
TGridPlan BuildGridPlan(const TGridInput& in);
// Grid offset of an axis: origin - trunc(origin / g) * g.
double GridOffset(double origin, int grid);
