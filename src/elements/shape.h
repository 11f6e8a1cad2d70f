#pragma once

#include <QtGlobal>
#include <functional>

class TElement;
class TStreamReader;
class TStreamWriter;

// The one drawing style the rectangle, ellipse and polygon tools share; the start-up code fills it
// from the settings ("Default" section, "FD_" keys) and writes it back at shutdown. The member
// initialisers are the factory style.
struct TShapeStyle {
    qint32 LineColor = 0x000000;        // FD_LC
    qint32 FillColor = 0xFFFFFF;        // FD_FC
    qint32 LineWidth = 2;               // FD_Breite
    quint8 FillStyle = 0;               // FD_Stil
    qint32 ShapePenStyle = 0;           // FD_Penstyle
    bool TwoColor = false;              // FD_Zweifarbig
    qint32 LineColor2 = 0x0000FF;       // FD_PenColor2
    bool NoLine = false;                // FD_NoLine
    bool NoFill = true;                 // FD_NoFill
    bool InnerStripe = false;           // FD_Inner
    bool CrossStripes = false;          // FD_Quer
    qint32 InnerStripeColor = 0x00FFFF; // FD_InnerColor
    qint32 CrossStripeColor = 0xFF0000; // FD_QuerColor
    qint32 HatchWidth = 1;              // FD_FillWidth
    qint32 HatchDistance = 20;          // FD_FillDistance
    friend bool operator==(const TShapeStyle&, const TShapeStyle&) = default;
};

// The current shape style; new rectangles, ellipses and polygons take it in their constructors.
extern TShapeStyle g_ShapeStyle;

// Copies the fifteen style fields into or out of an element.
void ApplyShapeStyle(TElement& e, const TShapeStyle& style);
TShapeStyle ShapeStyleOf(const TElement& e);

// The style fields the closed shapes store after their geometry, in two groups (a type's own field
// may sit between them). The loaders consult FileVersion: the two-colour group exists from version
// 70, the stripe and hatch group from 80; older records get the values old files imply.
void SaveTwoColorFields(TStreamWriter& s, const TElement& e);
void SaveStripeHatchFields(TStreamWriter& s, const TElement& e);
void LoadTwoColorFields(TStreamReader& s, TElement& e);
void LoadStripeHatchFields(TStreamReader& s, TElement& e);

class QPainterPath;
class TDrawContext;
class TSVG;

// Draws a closed shape from its device outline: the fill (solid or hatched) first, then the
// styled outline with ShapePenStyle. While nodes are edited the fill is left out and a shape
// without outline shows a thinnest plain line so that its points can be seen.
void DrawClosedShape(TDrawContext& dc, TElement& e, const QPainterPath& outline);

// Writes a closed shape into an SVG file in the layers of the screen: hatch lines clipped to the
// outline, the two-colour underlay, the main shape (solid fill and dashed stroke), the centre
// stripe and the cross stripes. The writer emits one SVG element of the outline with the given
// attributes; it is called once per layer (and once inside the clip path).
using TSvgShapeWriter = std::function<void(TSVG& svg, int width, int dashStyle, bool stroke,
                                           bool fill, qint32 fillColor, qint32 strokeColor)>;
void WriteClosedShapeSvg(TSVG& svg, const TElement& e, const TSvgShapeWriter& shape);
