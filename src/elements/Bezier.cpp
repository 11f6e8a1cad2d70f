#include "elements/Bezier.h"

#include "elements/MyD2D.h"
#include "elements/SVG_Export.h"
#include "platform/stream.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace {
void addCurve(const TRPointArray& pts, int usable, QPainterPath& path,
              QPointF (*map)(const TView&, TRPoint), const TView& view) {
    if (usable < 4) return;
    path.moveTo(map(view, pts[0]));
    for (int i = 1; i + 2 < usable; i += 3)
        path.cubicTo(map(view, pts[size_t(i)]), map(view, pts[size_t(i + 1)]),
                     map(view, pts[size_t(i + 2)]));
}
QPointF toDevice(const TView& v, TRPoint p) {
    return v.ToDevice(p);
}
QPointF toScreen(const TView& v, TRPoint p) {
    return v.WorldToScreen(p);
}
} // namespace

TBezier::TBezier() : TLineBase(etBezier) {
    ApplyCurrentStyle();
}

int TBezier::UsableCount() const {
    const int n = PointCount();
    return n < 4 ? 0 : 4 + 3 * ((n - 4) / 3);
}

void TBezier::AddOutline(const TView& view, QPainterPath& path) const {
    addCurve(Points, UsableCount(), path, toDevice, view);
}

TScreenPolygon TBezier::Flatten(const TView& view) const {
    QPainterPath path;
    addCurve(Points, UsableCount(), path, toScreen, view);
    TScreenPolygon out;
    const QList<QPolygonF> polys = path.toSubpathPolygons();
    if (polys.isEmpty()) return out;
    out.assign(polys.front().begin(), polys.front().end());
    return out;
}

TLineEnd TBezier::StartLineEnd() const {
    TLineEnd e;
    if (UsableCount() < 4) return e;
    e = TLineBase::StartLineEnd();
    return e;
}

TLineEnd TBezier::FinishLineEnd() const {
    TLineEnd e;
    const int u = UsableCount();
    if (u < 4) return e;
    e.Style = FinishEnd;
    e.E = Points[size_t(u - 1)];
    e.N = Points[size_t(u - 2)];
    e.LineWidth = LineWidth;
    e.EndSize = EndSize;
    return e;
}

void TBezier::Draw(TDrawContext& dc) {
    if (!Visible) return;
    const int u = UsableCount();
    if (u < 4) return;
    QPainterPath path;
    AddOutline(dc.View, path);
    const qint32 color = StyledOutline(dc, path, *this, PenStyle);
    DrawEnds(dc, color);
    if ((Selected || g_ElementSwitches.NodeEditing) && !g_ElementSwitches.DrawingInsideGroup) {
        QPainter& p = dc.Painter;
        for (size_t i = 0; i + 1 < Points.size(); ++i) {
            const QPointF a = dc.Map(Points[i]), b = dc.Map(Points[i + 1]);
            if (dc.AntiAliased) {
                p.setPen(QPen(ToQColor(clMarker), 1));
                p.drawLine(a, b);
            } else {
                ConstructionLine(dc, a, b);
            }
        }
    }
}

bool TBezier::HitPoint(const TView& view, QPoint screen) const {
    if (HitEnds(view, screen)) return true;
    return HitPolyline(view, screen, Flatten(view), true, false, false,
                       view.ScaleLength(LineWidth));
}

bool TBezier::HitRect(const TView& view, const TIRect& rect, bool enclose) const {
    bool decided;
    const bool ends = HitEndsRect(view, rect, enclose, decided);
    if (decided) return ends;
    return HitPolylineRect(view, rect, Flatten(view), true, false, false,
                           view.ScaleLength(LineWidth), enclose);
}

TRRect TBezier::GetBounds() const {
    if (UsableCount() < 4) {
        const TRPoint p = Points.empty() ? TRPoint{} : Points.front();
        return {p.X, p.Y, p.X, p.Y};
    }
    BoundsCache& c = m_bounds;
    if (c.Valid && c.Points == Points && c.LineWidth == LineWidth && c.EndSize == EndSize &&
        c.StartEnd == StartEnd && c.FinishEnd == FinishEnd && c.NoWidth == g_BoundsWithoutWidth)
        return c.Result;

    // A tenfold zoom keeps the flattening well inside a world unit.
    TView v;
    v.ZoomX = v.ZoomY = 10;
    const TScreenPolygon flat = Flatten(v);
    if (flat.empty()) { // points the painter path refuses (not finite)
        const TRPoint p = Points.front();
        return {p.X, p.Y, p.X, p.Y};
    }
    TRRect r{float(flat[0].x()), float(flat[0].y()), float(flat[0].x()), float(flat[0].y())};
    for (const QPointF& q : flat) {
        r.Left = std::min(r.Left, float(q.x()));
        r.Top = std::min(r.Top, float(q.y()));
        r.Right = std::max(r.Right, float(q.x()));
        r.Bottom = std::max(r.Bottom, float(q.y()));
    }
    r = WidenRect(r, v.ScaleLength(LineWidth) / 2);
    r = {r.Left / 10, r.Top / 10, r.Right / 10, r.Bottom / 10};
    r = WithEndBounds(r);

    c = {true, Points, LineWidth, EndSize, StartEnd, FinishEnd, g_BoundsWithoutWidth, r};
    return r;
}

TIRect TBezier::GetScreenRect(const TView& view) const {
    const TRRect r = WithEndBounds(WidenRect(BoundsOf(Points), HalfWidthForBounds(LineWidth)));
    return view.RepaintRect(r).Inflated(2);
}

void TBezier::SaveToStream(TStreamWriter& s) const {
    SaveLineRecord(s);
}

void TBezier::LoadFromStream(TStreamReader& s) {
    LoadLineRecord(s, false);
    m_bounds.Valid = false;
}

bool TBezier::SnapToPoint(const TView& view, TRPoint& p) const {
    if (g_ElementSwitches.SuspendElementSnap) return false;
    return SnapToEnds(view, p);
}

void TBezier::AddSnapPoints(std::vector<TRPoint*>& points) {
    if (Points.empty()) return;
    points.push_back(&Points.front());
    if (Points.size() > 1) points.push_back(&Points.back());
}

void TBezier::WriteSvg(TSVG& svg) const {
    const int u = UsableCount();
    if (u < 4) return;
    svg.CoordFactor = 1;
    auto P = [&](int i) {
        const TRPoint& p = Points[size_t(i)];
        return QPoint(RoundPixel(p.X), RoundPixel(p.Y));
    };
    auto layer = [&](int width, int dash, qint32 color) {
        svg.BeginPath(width, dash, QString(), true, false, 0, color);
        svg.PathMoveTo(P(0));
        for (int i = 1; i + 2 < u; i += 3)
            svg.PathCubicTo(P(i), P(i + 1), P(i + 2));
        svg.EndPath();
    };
    const int w = std::max(LineWidth, 1);
    if (TwoColor && !NoLine && PenStyle != 0) layer(w, 0, LineColor2);
    layer(w, PenStyle, LineColor);
    if (InnerStripe) layer(int(RoundHalfEven(LineWidth / 3.0)), 0, InnerStripeColor);
    if (CrossStripes) layer(int(RoundHalfEven(LineWidth / 1.2)), 7, CrossStripeColor);
    WriteSvgEnds(svg);
}
