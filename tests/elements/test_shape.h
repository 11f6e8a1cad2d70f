#pragma once

#include "elements/MyD2D.h"
#include "elements/SVG_Export.h"
#include "elements/element.h"

#include <QPainterPath>

// A closed polygon known only to the tests: enough of an element to be filled and outlined by
// the renderer without depending on any real shape type.
class TTestShape : public TElement {
public:
    explicit TTestShape(TRPointArray pts) : TElement(etPolygon), Points(std::move(pts)) {}
    TRPointArray Points;

    void AddOutline(const TView& view, QPainterPath& path) const override {
        for (size_t i = 0; i < Points.size(); ++i) {
            const QPointF p = view.ToDevice(Points[i]);
            if (i == 0)
                path.moveTo(p);
            else
                path.lineTo(p);
        }
        path.closeSubpath();
    }
    void Draw(TDrawContext& dc) override {
        if (!Visible) return;
        QPainterPath path;
        AddOutline(dc.View, path);
        if (!NoFill) FillShape(dc, *this, path, FillStyle, FillColor);
        if (!NoLine) StyledOutline(dc, path, *this, ShapePenStyle);
    }
    // Clip path and hatch when hatched, then the outline polygon with a solid fill.
    void WriteSvg(TSVG& svg) const override {
        for (size_t i = 0; i < Points.size(); ++i)
            svg.SetPoint(int(i), QPoint(int(Points[i].X), int(Points[i].Y)));
        const int n = int(Points.size());
        if (!NoFill && FillStyle > 1) {
            const QString clip = svg.BeginClipPath();
            svg.AddPolygon(n, 1, true, false, 0, 0, 0);
            svg.EndClipPath();
            WriteSvgHatch(svg, *this, clip);
        }
        svg.AddPolygon(n, LineWidth, !NoLine, !NoFill && FillStyle == 0, FillColor, LineColor,
                       ShapePenStyle);
    }
    bool HitPoint(const TView&, QPoint) const override { return false; }
    void MoveBy(TRPoint v) override {
        for (TRPoint& p : Points)
            MovePoint(p, v);
    }
    TRRect GetBounds() const override { return BoundsOf(Points); }
    void ScaleAt(TRPoint, double, double) override {}
    void ShearAt(TRPoint, double, double) override {}
    void RotateAt(TRPoint, double) override {}
    void MirrorX(TRPoint) override {}
    void MirrorY(TRPoint) override {}
    void LoadFromStream(TStreamReader&) override {}
    TRPoint GetRefPoint() const override { return Points.empty() ? TRPoint{} : Points[0]; }
    bool HitRect(const TView&, const TIRect&, bool) const override { return false; }
};
