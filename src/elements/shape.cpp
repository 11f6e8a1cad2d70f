#include "elements/shape.h"

#include "elements/MyD2D.h"
#include "elements/SVG_Export.h"
#include "elements/element.h"
#include "platform/stream.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

TShapeStyle g_ShapeStyle;

void ApplyShapeStyle(TElement& e, const TShapeStyle& s) {
    e.LineColor = s.LineColor;
    e.FillColor = s.FillColor;
    e.LineWidth = s.LineWidth;
    e.FillStyle = s.FillStyle;
    e.ShapePenStyle = s.ShapePenStyle;
    e.TwoColor = s.TwoColor;
    e.LineColor2 = s.LineColor2;
    e.NoLine = s.NoLine;
    e.NoFill = s.NoFill;
    e.InnerStripe = s.InnerStripe;
    e.CrossStripes = s.CrossStripes;
    e.InnerStripeColor = s.InnerStripeColor;
    e.CrossStripeColor = s.CrossStripeColor;
    e.HatchWidth = s.HatchWidth;
    e.HatchDistance = s.HatchDistance;
}

TShapeStyle ShapeStyleOf(const TElement& e) {
    TShapeStyle s;
    s.LineColor = e.LineColor;
    s.FillColor = e.FillColor;
    s.LineWidth = e.LineWidth;
    s.FillStyle = e.FillStyle;
    s.ShapePenStyle = e.ShapePenStyle;
    s.TwoColor = e.TwoColor;
    s.LineColor2 = e.LineColor2;
    s.NoLine = e.NoLine;
    s.NoFill = e.NoFill;
    s.InnerStripe = e.InnerStripe;
    s.CrossStripes = e.CrossStripes;
    s.InnerStripeColor = e.InnerStripeColor;
    s.CrossStripeColor = e.CrossStripeColor;
    s.HatchWidth = e.HatchWidth;
    s.HatchDistance = e.HatchDistance;
    return s;
}

void SaveTwoColorFields(TStreamWriter& s, const TElement& e) {
    s.WriteBool(e.TwoColor);
    s.WriteI32(e.LineColor2);
    s.WriteI32(e.ShapePenStyle);
}

void SaveStripeHatchFields(TStreamWriter& s, const TElement& e) {
    s.WriteBool(e.InnerStripe);
    s.WriteBool(e.CrossStripes);
    s.WriteI32(e.InnerStripeColor);
    s.WriteI32(e.CrossStripeColor);
    s.WriteI32(e.HatchWidth);
    s.WriteI32(e.HatchDistance);
}

void LoadTwoColorFields(TStreamReader& s, TElement& e) {
    if (FileVersion >= 70) {
        e.TwoColor = s.ReadBool();
        e.LineColor2 = s.ReadI32();
        e.ShapePenStyle = s.ReadI32();
    } else {
        e.TwoColor = false;
        e.LineColor2 = clRed;
        e.ShapePenStyle = 0;
    }
}

void LoadStripeHatchFields(TStreamReader& s, TElement& e) {
    if (FileVersion >= 80) {
        e.InnerStripe = s.ReadBool();
        e.CrossStripes = s.ReadBool();
        e.InnerStripeColor = s.ReadI32();
        e.CrossStripeColor = s.ReadI32();
        e.HatchWidth = s.ReadI32();
        e.HatchDistance = s.ReadI32();
    } else {
        // Stripe colours keep what the constructor gave them; the stripes themselves are off.
        e.InnerStripe = false;
        e.CrossStripes = false;
        e.HatchWidth = 1;
        e.HatchDistance = 20;
    }
}

void DrawClosedShape(TDrawContext& dc, TElement& e, const QPainterPath& outline) {
    const bool nodeEditing = g_ElementSwitches.NodeEditing;
    if (!e.NoFill && !nodeEditing) FillShape(dc, e, outline, e.FillStyle, e.FillColor);
    if (!e.NoLine) {
        StyledOutline(dc, outline, e, e.ShapePenStyle);
    } else if (nodeEditing) {
        dc.Painter.strokePath(outline, LinePen(dc, e.LineColor, 0, 0));
    }
}

void WriteClosedShapeSvg(TSVG& svg, const TElement& e, const TSvgShapeWriter& shape) {
    const bool hatched = !e.NoFill && e.FillStyle != 0 && e.FillStyle != 1; // 1 is the clear brush
    const bool solid = !e.NoFill && e.FillStyle == 0;
    const int width = std::max(e.LineWidth, 1);
    if (hatched) {
        const QString clip = svg.BeginClipPath();
        shape(svg, 0, 0, false, true, e.FillColor, e.FillColor);
        svg.EndClipPath();
        WriteSvgHatch(svg, e, clip);
    }
    const bool underlay = e.TwoColor && !e.NoLine && e.ShapePenStyle > 0;
    if (underlay) {
        // On the screen the fill lies below every outline layer; a fill written after the
        // underlay would hide its inner half.
        if (solid) shape(svg, 0, 0, false, true, e.FillColor, e.FillColor);
        shape(svg, width, 0, true, false, 0, e.LineColor2);
    }
    const bool mainFill = solid && !underlay;
    if (!e.NoLine || mainFill)
        shape(svg, width, e.NoLine ? 0 : e.ShapePenStyle, !e.NoLine, mainFill, e.FillColor,
              e.LineColor);
    if (e.NoLine) return;
    if (e.InnerStripe)
        shape(svg, std::max(int(RoundHalfEven(e.LineWidth / 3.0)), 1), 0, true, false, 0,
              e.InnerStripeColor);
    if (e.CrossStripes)
        shape(svg, std::max(int(RoundHalfEven(e.LineWidth / 1.2)), 1), 7, true, false, 0,
              e.CrossStripeColor);
}
