#include "elements/polygon.h"

#include "elements/MyD2D.h"
#include "elements/SVG_Export.h"
#include "elements/shape.h"
#include "platform/stream.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

TPolygon::TPolygon() : TElement(etPolygon) {
    ApplyCurrentStyle();
}

TPolygon::TPolygon(TRPointArray points) : TPolygon() {
    Points = std::move(points);
}

void TPolygon::AddOutline(const TView& view, QPainterPath& path) const {
    if (Points.empty()) return;
    path.moveTo(view.ToDevice(Points[0]));
    for (size_t i = 1; i < Points.size(); ++i)
        path.lineTo(view.ToDevice(Points[i]));
    path.closeSubpath();
}

bool TPolygon::HitPoint(const TView& view, QPoint screen) const {
    return HitPolyline(view, QPointF(screen), ToScreen(view, Points), !NoLine, !NoFill, true,
                       view.ScaleLength(LineWidth));
}

bool TPolygon::HitRect(const TView& view, const TIRect& rect, bool enclose) const {
    return HitPolylineRect(view, rect, ToScreen(view, Points), !NoLine, !NoFill, true,
                           view.ScaleLength(LineWidth), enclose);
}

int TPolygon::SegmentAt(const TView& view, QPoint screen) const {
    if (Points.size() <= 2) return -1;
    const double w = view.ScaleLength(LineWidth);
    for (size_t i = 0; i + 1 < Points.size(); ++i) {
        const TScreenPolygon edge = ToScreen(view, {Points[i], Points[i + 1]});
        if (HitPolyline(view, QPointF(screen), edge, true, false, false, w)) return int(i);
    }
    return -1;
}

void TPolygon::Draw(TDrawContext& dc) {
    if (!Visible || Points.size() < 2 || !dc.NeedsDrawing(GetScreenRect(dc.View))) return;
    QPainterPath path;
    AddOutline(dc.View, path);
    DrawClosedShape(dc, *this, path);

    // The vertex under node editing with its two edges (the closing edge counts here).
    const int i = dc.NodeEditIndex;
    const int n = PointCount();
    if (dc.NodeEditElement == this && i >= 0 && i < n) {
        QPainter& p = dc.Painter;
        p.setPen(QPen(ToQColor(clMarker), dc.AntiAliased ? 1.5 : 2));
        const QPointF v = dc.Map(Points[size_t(i)]);
        p.drawLine(dc.Map(Points[size_t((i + n - 1) % n)]), v);
        p.drawLine(v, dc.Map(Points[size_t((i + 1) % n)]));
        p.setBrush(ToQColor(clMarker));
        p.drawRect(QRectF(v.x() - 3, v.y() - 3, 6, 6));
        p.setBrush(Qt::NoBrush);
    }
}

void TPolygon::WriteSvg(TSVG& svg) const {
    if (Points.empty()) return;
    const int n = int(Points.size());
    for (int i = 0; i < n; ++i)
        svg.SetPoint(i, QPoint(RoundPixel(Points[size_t(i)].X), RoundPixel(Points[size_t(i)].Y)));
    WriteClosedShapeSvg(svg, *this,
                        [n](TSVG& s, int width, int dash, bool stroke, bool fill, qint32 fillColor,
                            qint32 strokeColor) {
                            s.AddPolygon(n, width, stroke, fill, fillColor, strokeColor, dash);
                        });
}

void TPolygon::MoveBy(TRPoint v) {
    for (TRPoint& p : Points)
        MovePoint(p, v);
}

TRRect TPolygon::GetBounds() const {
    return WidenRect(NormalizedRect(BoundsOf(Points)), HalfWidthForBounds(LineWidth));
}

void TPolygon::AddGrips(std::vector<TRPoint*>& grips) {
    for (TRPoint& p : Points)
        grips.push_back(&p);
}

void TPolygon::ScaleAt(TRPoint c, double fx, double fy) {
    for (TRPoint& p : Points)
        ScalePoint(p, c, fx, fy);
}

void TPolygon::ShearAt(TRPoint c, double sx, double sy) {
    for (TRPoint& p : Points)
        ShearPoint(p, c, sx, sy);
}

void TPolygon::RotateAt(TRPoint c, double radians) {
    for (TRPoint& p : Points)
        RotatePoint(p, c, radians);
}

void TPolygon::MirrorX(TRPoint axis) {
    for (TRPoint& p : Points)
        MirrorPointX(p, axis);
}

void TPolygon::MirrorY(TRPoint axis) {
    for (TRPoint& p : Points)
        MirrorPointY(p, axis);
}

TRPoint TPolygon::GetRefPoint() const {
    return Points.empty() ? TRPoint{} : Points[0];
}

void TPolygon::ApplyCurrentStyle() {
    ApplyShapeStyle(*this, g_ShapeStyle);
}
void TPolygon::ResetStyle() {
    ApplyShapeStyle(*this, TShapeStyle{});
}

bool TPolygon::SnapToPoint(const TView& view, TRPoint& p) const {
    const int i = NearestPoint(p, Points);
    return i >= 0 && SnapWithin(view, p, Points[size_t(i)], LineWidth);
}

void TPolygon::AddSnapPoints(std::vector<TRPoint*>& points) {
    for (TRPoint& p : Points)
        points.push_back(&p);
}

void TPolygon::SaveToStream(TStreamWriter& s) const {
    SaveHeader(s);
    s.WriteI32(qint32(Points.size()) - 1);
    for (const TRPoint& p : Points) {
        s.WriteF32(p.X);
        s.WriteF32(p.Y);
    }
    SaveTwoColorFields(s, *this);
    SaveStripeHatchFields(s, *this);
}

void TPolygon::LoadFromStream(TStreamReader& s) {
    LoadHeader(s);
    const qint64 n = std::max<qint64>(qint64(s.ReadI32()) + 1, 0);
    s.CheckCount(n, 8, "polygon points");
    const bool whole = FileVersion <= 59; // old files kept whole units
    Points.clear();
    Points.reserve(size_t(n));
    for (qint64 i = 0; i < n; ++i) {
        TRPoint p;
        p.X = s.ReadF32();
        p.Y = s.ReadF32();
        if (whole) p = {float(RoundHalfEven(p.X)), float(RoundHalfEven(p.Y))};
        Points.push_back(p);
    }
    LoadTwoColorFields(s, *this);
    LoadStripeHatchFields(s, *this);
}
