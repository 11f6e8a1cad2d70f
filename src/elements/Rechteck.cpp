#include "elements/Rechteck.h"

#include "elements/MyD2D.h"
#include "elements/SVG_Export.h"
#include "elements/shape.h"
#include "platform/stream.h"

#include <QPainterPath>
#include <QPolygonF>
#include <cmath>

namespace {
// The point at distance d from c towards t, or t itself when the edge is not longer than d.
TRPoint Toward(TRPoint c, TRPoint t, double d) {
    const double len = Distance(c, t);
    if (len <= d) return t;
    const double f = d / len;
    return {float(c.X + (double(t.X) - c.X) * f), float(c.Y + (double(t.Y) - c.Y) * f)};
}

// Unit vector from a to b; fallback when the points coincide.
QPointF Direction(TRPoint a, TRPoint b, QPointF fallback) {
    const double len = Distance(a, b);
    if (len == 0) return fallback;
    return QPointF((double(b.X) - a.X) / len, (double(b.Y) - a.Y) / len);
}

TRPoint Offset(TRPoint p, QPointF dir, double length) {
    return {float(p.X + dir.x() * length), float(p.Y + dir.y() * length)};
}
} // namespace

TRechteck::TRechteck() : TElement(etRechteck) {
    ApplyCurrentStyle();
}

TRechteck::TRechteck(const TRRect& r) : TRechteck() {
    SetRect(r);
}

void TRechteck::SetRect(const TRRect& r) {
    Corners = {TRPoint{r.Left, r.Top}, TRPoint{r.Right, r.Top}, TRPoint{r.Right, r.Bottom},
               TRPoint{r.Left, r.Bottom}};
    ClampRounding();
    UpdateRoundGrip();
    UpdateCenter();
}

double TRechteck::Width() const {
    return Distance(Corners[0], Corners[1]);
}
double TRechteck::Height() const {
    return Distance(Corners[0], Corners[3]);
}

double TRechteck::ShorterSide() const {
    const double s = std::min(Width(), Height());
    return s == 0 ? 0.01 : s;
}

void TRechteck::ClampRounding() {
    const double shorter = ShorterSide();
    if (!(Rounding >= 0)) Rounding = 0; // also catches NaN from a damaged record
    if (Rounding > shorter) Rounding = float(shorter);
}

void TRechteck::UpdateRoundGrip() {
    const QPointF down = Direction(Corners[0], Corners[3], QPointF(0, 0));
    RoundGrip = Offset(Corners[0], down, Rounding / 2.0);
}

// The grip's distance from P1 measured along the edge P1-P4 (its projection onto the edge), so a
// grip released beside the edge still gives the size its foot point shows.
void TRechteck::RoundingFromGrip() {
    const TRPoint p1 = Corners[0];
    const double len = Distance(p1, Corners[3]);
    if (len == 0) {
        Rounding = 0;
    } else {
        const double ux = (double(Corners[3].X) - p1.X) / len;
        const double uy = (double(Corners[3].Y) - p1.Y) / len;
        const double d = (double(RoundGrip.X) - p1.X) * ux + (double(RoundGrip.Y) - p1.Y) * uy;
        Rounding = float(2 * d);
    }
    ClampRounding();
}

void TRechteck::UpdateCenter() {
    if (!LineIntersection(Corners[0], Corners[2], Corners[1], Corners[3], Center))
        Center = Midpoint(Corners[0], Corners[2]);
}

void TRechteck::SetWidth(double w) {
    w = std::max(w, 0.1);
    const QPointF side = Direction(Corners[0], Corners[3], QPointF(0, 1));
    const QPointF across = Direction(Corners[0], Corners[1], QPointF(side.y(), -side.x()));
    const QPointF lower = Direction(Corners[3], Corners[2], across);
    Corners[1] = Offset(Corners[0], across, w);
    Corners[2] = Offset(Corners[3], lower, w);
    ClampRounding();
    UpdateRoundGrip();
    UpdateCenter();
}

void TRechteck::SetHeight(double h) {
    h = std::max(h, 0.1);
    const QPointF across = Direction(Corners[0], Corners[1], QPointF(1, 0));
    const QPointF side = Direction(Corners[0], Corners[3], QPointF(-across.y(), across.x()));
    const QPointF right = Direction(Corners[1], Corners[2], side);
    Corners[3] = Offset(Corners[0], side, h);
    Corners[2] = Offset(Corners[1], right, h);
    ClampRounding();
    UpdateRoundGrip();
    UpdateCenter();
}

void TRechteck::SetRoundingPercent(double percent) {
    Rounding = float(ShorterSide() * percent / 100);
    ClampRounding();
    UpdateRoundGrip();
}

double TRechteck::RoundingPercent() const {
    return Rounding / ShorterSide() * 100;
}

std::array<TRPoint, 8> TRechteck::CornerCuts() const {
    std::array<TRPoint, 8> cuts;
    const double d = Rounding / 2.0;
    for (int i = 0; i < 4; ++i) {
        const TRPoint c = Corners[i];
        cuts[2 * i] = Toward(c, Corners[(i + 3) % 4], d);
        cuts[2 * i + 1] = Toward(c, Corners[(i + 1) % 4], d);
    }
    return cuts;
}

template <class Map> void TRechteck::TraceOutline(Map map, QPainterPath& path) const {
    if (HasSharpCorners()) {
        path.moveTo(map(Corners[0]));
        for (int i = 1; i < 4; ++i)
            path.lineTo(map(Corners[i]));
        path.closeSubpath();
        return;
    }
    const std::array<TRPoint, 8> cuts = CornerCuts();
    path.moveTo(map(cuts[0]));
    if (CornerStyle == csChamfered) {
        for (int i = 1; i < 8; ++i)
            path.lineTo(map(cuts[i]));
    } else {
        for (int i = 0; i < 4; ++i) {
            path.cubicTo(map(Corners[i]), map(cuts[2 * i + 1]), map(cuts[2 * i + 1]));
            if (i < 3) path.lineTo(map(cuts[2 * i + 2]));
        }
    }
    path.closeSubpath();
}

void TRechteck::AddOutline(const TView& view, QPainterPath& path) const {
    TraceOutline([&view](TRPoint p) { return view.ToDevice(p); }, path);
}

TScreenPolygon TRechteck::HitPolygon(const TView& view) const {
    if (HasSharpCorners()) return ToScreen(view, TRPointArray(Corners.begin(), Corners.end()));
    QPainterPath path;
    TraceOutline([&view](TRPoint p) { return view.WorldToScreen(p); }, path);
    const QList<QPolygonF> polys = path.toSubpathPolygons();
    if (polys.isEmpty()) return {};
    TScreenPolygon poly(polys.first().begin(), polys.first().end());
    if (poly.size() > 1 && poly.front() == poly.back()) poly.pop_back();
    return poly;
}

bool TRechteck::HitPoint(const TView& view, QPoint screen) const {
    return HitPolyline(view, QPointF(screen), HitPolygon(view), !NoLine, !NoFill, true,
                       view.ScaleLength(LineWidth));
}

bool TRechteck::HitRect(const TView& view, const TIRect& rect, bool enclose) const {
    return HitPolylineRect(view, rect, HitPolygon(view), !NoLine, !NoFill, true,
                           view.ScaleLength(LineWidth), enclose);
}

void TRechteck::Draw(TDrawContext& dc) {
    if (!Visible || !dc.NeedsDrawing(GetScreenRect(dc.View))) return;
    QPainterPath path;
    AddOutline(dc.View, path);
    DrawClosedShape(dc, *this, path);
}

void TRechteck::WriteSvg(TSVG& svg) const {
    auto pt = [](TRPoint p) { return QPoint(RoundPixel(p.X), RoundPixel(p.Y)); };
    const std::array<TRPoint, 8> cuts = CornerCuts();
    WriteClosedShapeSvg(
        svg, *this,
        [&](TSVG& s, int width, int dash, bool stroke, bool fill, qint32 fillColor,
            qint32 strokeColor) {
            s.BeginPath(width, dash, QString(), stroke, fill, fillColor, strokeColor);
            if (HasSharpCorners()) {
                s.PathMoveTo(pt(Corners[0]));
                for (int i = 1; i < 4; ++i)
                    s.SetPoint(i - 1, pt(Corners[i]));
                s.PathLineTo(3);
            } else if (CornerStyle == csChamfered) {
                s.PathMoveTo(pt(cuts[0]));
                for (int i = 1; i < 8; ++i)
                    s.SetPoint(i - 1, pt(cuts[i]));
                s.PathLineTo(7);
            } else {
                s.PathMoveTo(pt(cuts[0]));
                for (int i = 0; i < 4; ++i) {
                    s.PathCubicTo(pt(Corners[i]), pt(cuts[2 * i + 1]), pt(cuts[2 * i + 1]));
                    if (i == 3) break;
                    s.SetPoint(0, pt(cuts[2 * i + 2]));
                    s.PathLineTo(1);
                }
            }
            s.PathClose();
            s.EndPath();
        });
}

TRRect TRechteck::GetBounds() const {
    const TRRect r = NormalizedRect(BoundsOf(TRPointArray(Corners.begin(), Corners.end())));
    return WidenRect(r, HalfWidthForBounds(LineWidth));
}

void TRechteck::AddGrips(std::vector<TRPoint*>& grips) {
    UpdateRoundGrip();
    grips.push_back(&RoundGrip);
}

void TRechteck::GripsChanged() {
    RoundingFromGrip();
    UpdateRoundGrip();
    UpdateCenter();
}

// The corner size is a length of its own: transforms keep it (within the new shorter side) and put
// the grip back where that size belongs, so a stored record always agrees with what is drawn.
void TRechteck::AfterTransform() {
    ClampRounding();
    UpdateRoundGrip();
    UpdateCenter();
}

void TRechteck::MoveBy(TRPoint v) {
    for (TRPoint& p : Corners)
        MovePoint(p, v);
    MovePoint(Center, v);
    MovePoint(RoundGrip, v);
}

void TRechteck::ScaleAt(TRPoint c, double fx, double fy) {
    for (TRPoint& p : Corners)
        ScalePoint(p, c, fx, fy);
    ScalePoint(Center, c, fx, fy);
    ScalePoint(RoundGrip, c, fx, fy);
    AfterTransform();
}

void TRechteck::ShearAt(TRPoint c, double sx, double sy) {
    if (ShearIsNoop(sx, sy)) return;
    for (TRPoint& p : Corners)
        ShearPoint(p, c, sx, sy);
    ShearPoint(Center, c, sx, sy);
    ShearPoint(RoundGrip, c, sx, sy);
    AfterTransform();
}

void TRechteck::RotateAt(TRPoint c, double radians) {
    for (TRPoint& p : Corners)
        RotatePoint(p, c, radians);
    RotatePoint(Center, c, radians);
    RotatePoint(RoundGrip, c, radians);
    AfterTransform();
}

void TRechteck::MirrorX(TRPoint axis) {
    for (TRPoint& p : Corners)
        MirrorPointX(p, axis);
    MirrorPointX(Center, axis);
    MirrorPointX(RoundGrip, axis);
    AfterTransform();
}

void TRechteck::MirrorY(TRPoint axis) {
    for (TRPoint& p : Corners)
        MirrorPointY(p, axis);
    MirrorPointY(Center, axis);
    MirrorPointY(RoundGrip, axis);
    AfterTransform();
}

void TRechteck::ApplyCurrentStyle() {
    ApplyShapeStyle(*this, g_ShapeStyle);
}
void TRechteck::ResetStyle() {
    ApplyShapeStyle(*this, TShapeStyle{});
}

TRPointArray TRechteck::SnapCandidates() const {
    TRPointArray c;
    if (HasSharpCorners()) {
        c.assign(Corners.begin(), Corners.end());
    } else if (CornerStyle == csChamfered) {
        const std::array<TRPoint, 8> cuts = CornerCuts();
        c.assign(cuts.begin(), cuts.end());
    }
    c.push_back(Center);
    return c;
}

bool TRechteck::SnapToPoint(const TView& view, TRPoint& p) const {
    const TRPointArray c = SnapCandidates();
    const int i = NearestPoint(p, c);
    return i >= 0 && SnapWithin(view, p, c[size_t(i)], LineWidth);
}

void TRechteck::AddSnapPoints(std::vector<TRPoint*>& points) {
    if (HasSharpCorners()) {
        for (TRPoint& p : Corners)
            points.push_back(&p);
    } else if (CornerStyle == csChamfered) {
        m_chamferPoints = CornerCuts();
        for (TRPoint& p : m_chamferPoints)
            points.push_back(&p);
    }
    points.push_back(&Center);
}

void TRechteck::SaveToStream(TStreamWriter& s) const {
    SaveHeader(s);
    for (const TRPoint& p : Corners) {
        s.WriteF32(p.X);
        s.WriteF32(p.Y);
    }
    s.WriteF32(RoundGrip.X);
    s.WriteF32(RoundGrip.Y);
    SaveTwoColorFields(s, *this);
    s.WriteI32(CornerStyle);
    SaveStripeHatchFields(s, *this);
}

void TRechteck::LoadFromStream(TStreamReader& s) {
    LoadHeader(s);
    if (FileVersion > 59) {
        for (TRPoint& p : Corners) {
            p.X = s.ReadF32();
            p.Y = s.ReadF32();
        }
        RoundGrip.X = s.ReadF32();
        RoundGrip.Y = s.ReadF32();
        RoundingFromGrip();
    } else {
        TRRect r;
        r.Left = s.ReadF32();
        r.Top = s.ReadF32();
        r.Right = s.ReadF32();
        r.Bottom = s.ReadF32();
        Rounding = s.ReadF32();
        r = NormalizedRect(r);
        r = {float(RoundHalfEven(r.Left)), float(RoundHalfEven(r.Top)),
             float(RoundHalfEven(r.Right)), float(RoundHalfEven(r.Bottom))};
        Corners = {TRPoint{r.Left, r.Top}, TRPoint{r.Right, r.Top}, TRPoint{r.Right, r.Bottom},
                   TRPoint{r.Left, r.Bottom}};
        ClampRounding();
        UpdateRoundGrip();
    }
    LoadTwoColorFields(s, *this);
    CornerStyle = FileVersion >= 80 ? s.ReadI32() : csRounded;
    LoadStripeHatchFields(s, *this);
    UpdateCenter();
}

std::unique_ptr<TRechteck> MakeTableRectangle(const TRRect& r) {
    auto rect = std::make_unique<TRechteck>(r);
    rect->ResetStyle();
    rect->LineColor = clBlack;
    rect->LineWidth = 2;
    rect->FillColor = clWhite;
    rect->NoFill = false;
    rect->FillStyle = 0;
    rect->ShapePenStyle = 0;
    return rect;
}
