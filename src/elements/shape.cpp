#include "elements/shape.h"

#include "elements/element.h"
#include "platform/stream.h"

TShapeStyle& CurrentShapeStyle() {
    static TShapeStyle style;
    return style;
}

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
