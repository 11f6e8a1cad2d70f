#pragma once

// The one renderer over QPainter, in two modes:
//  - antialiased ("Direct2D"): float coordinates, minimum line width 0.5 px, optional pixel
//    snapping (GDIPoints: every point rounded and moved by half a pixel);
//  - plain ("GDI"): no antialiasing, coordinates rounded to whole pixels, integer pen widths.
// Every element draws through a TDrawContext and the shared services below, so the width, dash,
// layer, fill and colour rules live in one place.

#include "elements/geometry.h"

#include <QPen>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class QColor;
class QPainter;
class QPainterPath;
class QPolygonF;
class TElement;
class TSVG;

// Renderer settings ("General": UseD2D, GDIPoints, TextAntiAliasing). Start-up fills the values;
// drawing code reads them only when it builds a screen context.
struct TRenderSettings {
    bool UseD2D = true;
    bool GDIPoints = false;
    bool TextAntiAliasing = true;
};
extern TRenderSettings g_RenderSettings;

// True when a command-line argument switches the antialiased renderer off ("/nod2d", any case).
bool HasNoD2DArgument(const QStringList& args);

// Colours used by every element (0x00BBGGRR).
struct TSelectionColors {
    qint32 Main = 0xF028F0;
    qint32 Second = 0xFEB4FE;
    qint32 Third = 0xFEF0FE;
};
extern TSelectionColors g_SelectionColors;
constexpr qint32 clMarker = 0xFF7878; // centre crosses, control-polygon legs
constexpr double kMinD2DWidth = 0.5;  // thinnest antialiased stroke, pixels

// 0x00BBGGRR to QColor; negative values are black.
QColor ToQColor(qint32 color);

// Selection colour of a hatch, by the brightness of the fill colour.
qint32 HatchSelectionColor(qint32 fillColor);

// Everything an element needs to draw itself once: the painter, the view, the mode and where the
// picture goes. The view's Mode always matches the flags (Rounded for the plain renderer, Exact or
// Snapped for the antialiased one), so View.ToDevice gives the coordinates the painter receives.
class TDrawContext {
public:
    TDrawContext(QPainter& painter, const TView& view, bool antiAliased, bool gdiPoints = false,
                 bool textAntiAliasing = true);
    // The screen context chosen by the settings (and by /nod2d through UseD2D).
    static TDrawContext FromSettings(QPainter& painter, const TView& view,
                                     const TRenderSettings& settings = g_RenderSettings);

    QPainter& Painter;
    TView View;
    bool AntiAliased;
    bool GDIPoints;
    bool TextAntiAliasing;
    bool Printing = false;  // printer or print preview
    bool Exporting = false; // image or metafile export
    bool Overlay = false;   // drag overlay: no smoothing of texts, no fills of text boxes
    // Device rectangle that needs drawing; empty means everything (no culling).
    QRectF ClipRect;
    // Thin dashed pen of control polygons and radii on the plain renderer.
    QPen ConstructionPen;
    // Node editing: the element whose vertex NodeEditIndex is marked (-1: none).
    const TElement* NodeEditElement = nullptr;
    int NodeEditIndex = -1;
    // The top-level elements of the sheet being drawn, for elements that take their look from
    // their neighbours (automatic junction dots); none keeps them as they are.
    const std::vector<std::unique_ptr<TElement>>* SheetElements = nullptr;
    // The sheet's drawing scale (1:Scale), in which dimensions state their values.
    double DrawingScale = 1;

    // Switches mode and keeps View.Mode and the painter's antialiasing hint in step.
    void SetMode(bool antiAliased, bool gdiPoints);
    QPointF Map(TRPoint p) const { return View.ToDevice(p); }
    // Pen width in pixels for a width in world units:
    // plain round(ScaleLength(w) + 0.5) (0 is the thinnest pen), antialiased max(w * zoom X, 0.5).
    double LineWidthPx(double worldWidth) const;
    // False when the screen rectangle lies wholly outside ClipRect.
    bool NeedsDrawing(const TIRect& screenRect) const;
    bool NeedsDrawing(const QRectF& deviceRect) const;
    // True when the outline of a text should be smoothed (plain renderer only asks the setting).
    bool SmoothText(const QRectF& deviceRect) const;
};

// Up to six dash entries. Entries are whole numbers: pixels when built for the screen, world
// units (or pen widths) otherwise.
struct TDashPattern {
    int Count = 0;
    int Entries[6] = {0, 0, 0, 0, 0, 0};
};

// The eight dash styles; w = max(width, 1); with toScreen each entry goes through ScaleLength.
TDashPattern DashPattern(int style, double width, bool toScreen, const TView& view);

// A pen of pixelWidth with the dash style's pattern (built from worldWidth through the view when
// toScreen, else from the pixel width), round or square caps, round or miter joins.
QPen MakePen(const TView& view, qint32 color, double pixelWidth, int dashStyle, bool roundCaps,
             bool roundJoins, bool toScreen, double worldWidth);

// The pen a line of worldWidth gets in the context's mode (round caps).
QPen LinePen(const TDrawContext& dc, qint32 color, double worldWidth, int dashStyle,
             bool roundJoins = true);

// Strokes a device path in layers: two-colour underlay (dashed lines only), the main dashed
// stroke, the centre stripe, the cross stripes. A selected element uses the selection colours.
// Returns the colour of the main stroke (what line ends and markers continue with).
qint32 StyledOutline(TDrawContext& dc, const QPainterPath& path, int width, const TElement& e,
                     qint32 color, qint32 color2, qint32 innerColor, qint32 crossColor,
                     bool twoColor, bool inner, bool cross, int dashStyle, bool roundJoins = true);
// The same with the element's own outline fields.
qint32 StyledOutline(TDrawContext& dc, const QPainterPath& path, const TElement& e, int dashStyle,
                     bool roundJoins = true);

// Solid or hatched fill of the element's outline (AddOutline in dc's view). HatchDistance below
// 10 is raised to 10 and kept. A selected element hatches in a selection colour.
void FillShape(TDrawContext& dc, TElement& e, int fillStyle, qint32 fillColor);
// The same with the outline path already built.
void FillShape(TDrawContext& dc, TElement& e, const QPainterPath& outline, int fillStyle,
               qint32 fillColor);

// A world segment.
struct TRLine {
    TRPoint A, B;
};
// Hatch lines of a style across a world rectangle, each cut to it: offsets 0, step, 2 step ...
// from the top-left, step = hatchWidth + hatchDistance (at least minStep), times 1.414213 for
// the diagonal styles 4, 5 and 7.
std::vector<TRLine> HatchLines(const TRRect& bounds, int fillStyle, int hatchWidth,
                               int hatchDistance, double minStep = 0);
// Writes the element's hatch lines (its GetBounds, FillStyle, HatchWidth, HatchDistance raised to
// 10, FillColor) as lines clipped to clipName; coordinates rounded to whole world units.
void WriteSvgHatch(TSVG& svg, const TElement& e, const QString& clipName);

// A construction line between two device points: the construction pen on the plain renderer;
// a white solid line of the given width and the marker colour dashed 4, 6 on top when antialiased.
void ConstructionLine(TDrawContext& dc, QPointF a, QPointF b, double width = 1);

// Small filled shapes (line ends, junction dots): filled polygon in fillColor with an outline in
// lineColor of lineWidthPx (antialiased: at least 0.5 px). closed = false draws an open polyline.
// A negative fill colour means no fill.
void DrawSmallShape(TDrawContext& dc, const QPolygonF& pts, qint32 lineColor, qint32 fillColor,
                    double lineWidthPx, bool closed);

// Fills glyph outlines (non-zero winding) in the text colour, smoothed when SmoothText says so.
void FillTextPath(TDrawContext& dc, const QPainterPath& glyphs, qint32 color);
