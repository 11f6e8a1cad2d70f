#include "elements/Polyline.h"

#include "elements/MyD2D.h"
#include "elements/SVG_Export.h"
#include "platform/stream.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

TLineStyle g_PolyLineStyle;
TLineStyle g_FreehandStyle;
TLineStyle g_BezierStyle;

namespace {
// Old files kept EndSize on a coarser scale.
qint32 mapOldEndSize(qint32 v) {
    if (v == 1) return 2;
    if (v == 2) return 4;
    return v;
}

QPoint svgPoint(TRPoint p) {
    return QPoint(RoundPixel(p.X * 100.0), RoundPixel(p.Y * 100.0));
}
} // namespace

// ----------------------------------------------------------------------------------- TLineBase

void TLineBase::ApplyStyle(const TLineStyle& st) {
    LineColor = st.LineColor;
    LineColor2 = st.LineColor2;
    LineWidth = st.LineWidth;
    PenStyle = st.PenStyle;
    TwoColor = st.TwoColor;
    StartEnd = st.StartEnd;
    FinishEnd = st.FinishEnd;
    EndSize = st.EndSize;
    InnerStripe = st.InnerStripe;
    CrossStripes = st.CrossStripes;
    InnerStripeColor = st.InnerStripeColor;
    CrossStripeColor = st.CrossStripeColor;
}

TLineStyle TLineBase::Style() const {
    TLineStyle st;
    st.LineColor = LineColor;
    st.LineColor2 = LineColor2;
    st.LineWidth = LineWidth;
    st.PenStyle = PenStyle;
    st.TwoColor = TwoColor;
    st.StartEnd = StartEnd;
    st.FinishEnd = FinishEnd;
    st.EndSize = EndSize;
    st.InnerStripe = InnerStripe;
    st.CrossStripes = CrossStripes;
    st.InnerStripeColor = InnerStripeColor;
    st.CrossStripeColor = CrossStripeColor;
    return st;
}

void TLineBase::MoveBy(TRPoint v) {
    for (TRPoint& p : Points)
        MovePoint(p, v);
}
void TLineBase::ScaleAt(TRPoint c, double fx, double fy) {
    for (TRPoint& p : Points)
        ScalePoint(p, c, fx, fy);
}
void TLineBase::ShearAt(TRPoint c, double sx, double sy) {
    for (TRPoint& p : Points)
        ShearPoint(p, c, sx, sy);
}
void TLineBase::RotateAt(TRPoint c, double radians) {
    for (TRPoint& p : Points)
        RotatePoint(p, c, radians);
}
void TLineBase::MirrorX(TRPoint axis) {
    for (TRPoint& p : Points)
        MirrorPointX(p, axis);
}
void TLineBase::MirrorY(TRPoint axis) {
    for (TRPoint& p : Points)
        MirrorPointY(p, axis);
}

void TLineBase::AddGrips(std::vector<TRPoint*>& grips) {
    for (TRPoint& p : Points)
        grips.push_back(&p);
}

TRPoint TLineBase::GetRefPoint() const {
    return Points.empty() ? TRPoint{} : Points.front();
}

TLineEnd TLineBase::StartLineEnd() const {
    TLineEnd e;
    if (Points.size() < 2) return e;
    e.Style = StartEnd;
    e.E = Points[0];
    e.N = Points[1];
    e.LineWidth = LineWidth;
    e.EndSize = EndSize;
    return e;
}

TLineEnd TLineBase::FinishLineEnd() const {
    TLineEnd e;
    const size_t n = Points.size();
    if (n < 2) return e;
    e.Style = FinishEnd;
    e.E = Points[n - 1];
    e.N = Points[n - 2];
    e.LineWidth = LineWidth;
    e.EndSize = EndSize;
    return e;
}

void TLineBase::SaveLineRecord(TStreamWriter& s) const {
    SaveHeader(s);
    s.WriteI32(qint32(Points.size()) - 1);
    for (const TRPoint& p : Points) {
        s.WriteF32(p.X);
        s.WriteF32(p.Y);
    }
    s.WriteI32(LineColor2);
    s.WriteBool(TwoColor);
    s.WriteU8(StartEnd);
    s.WriteU8(FinishEnd);
    s.WriteI32(EndSize);
    s.WriteBool(InnerStripe);
    s.WriteBool(CrossStripes);
    s.WriteI32(InnerStripeColor);
    s.WriteI32(CrossStripeColor);
}

void TLineBase::LoadLineRecord(TStreamReader& s, bool polyline) {
    LoadHeader(s);
    qint64 count = qint64(s.ReadI32()) + 1;
    if (count < 0) count = 0;
    s.CheckCount(count, 8, "points");
    Points.resize(size_t(count));
    for (TRPoint& p : Points) {
        p.X = s.ReadF32();
        p.Y = s.ReadF32();
    }
    const int v = FileVersion;
    if (!polyline || v >= 50) {
        LineColor2 = s.ReadI32();
        TwoColor = s.ReadBool();
    } else {
        LineColor2 = clRed;
        TwoColor = false;
    }
    if (!polyline || v >= 60) {
        StartEnd = s.ReadU8();
        FinishEnd = s.ReadU8();
        EndSize = s.ReadI32();
        if (v < 80) EndSize = mapOldEndSize(EndSize);
    } else {
        for (TRPoint& p : Points) {
            p.X = float(RoundHalfEven(p.X));
            p.Y = float(RoundHalfEven(p.Y));
        }
        StartEnd = FinishEnd = leNone;
        EndSize = 2;
    }
    if (v >= 80) {
        InnerStripe = s.ReadBool();
        CrossStripes = s.ReadBool();
        InnerStripeColor = s.ReadI32();
        CrossStripeColor = s.ReadI32();
    } else {
        InnerStripe = CrossStripes = false; // stripe colours keep the constructor's style
    }
}

bool TLineBase::HitEnds(const TView& view, QPointF p) const {
    return StartLineEnd().HitPoint(view, p) || FinishLineEnd().HitPoint(view, p);
}

bool TLineBase::HitEndsRect(const TView& view, const TIRect& rect, bool enclose,
                            bool& decided) const {
    decided = false;
    for (const TLineEnd& e : {StartLineEnd(), FinishLineEnd()}) {
        if (!e.Exists()) continue;
        const bool hit = e.HitRect(view, rect, enclose);
        if (!enclose && hit) {
            decided = true;
            return true;
        }
        if (enclose && !hit) {
            decided = true;
            return false;
        }
    }
    return false;
}

TRRect TLineBase::WithEndBounds(TRRect r) const {
    for (const TLineEnd& e : {StartLineEnd(), FinishLineEnd()})
        if (e.Exists()) r = UnionRect(r, e.Bounds());
    return r;
}

void TLineBase::DrawEnds(TDrawContext& dc, qint32 color) const {
    StartLineEnd().Draw(dc, color);
    FinishLineEnd().Draw(dc, color);
}

void TLineBase::WriteSvgEnds(TSVG& svg) const {
    StartLineEnd().WriteSvg(svg, LineColor);
    FinishLineEnd().WriteSvg(svg, LineColor);
}

bool TLineBase::SnapToEnds(const TView& view, TRPoint& p) const {
    if (Points.empty()) return false;
    const TRPoint& a = Points.front();
    const TRPoint& b = Points.back();
    return SnapWithin(view, p, Distance(p, b) < Distance(p, a) ? b : a, LineWidth);
}

// ----------------------------------------------------------------------------------- TPolyLine

TPolyLine::TPolyLine() : TLineBase(etPolyLine) {
    ApplyCurrentStyle();
}

void TPolyLine::AddOutline(const TView& view, QPainterPath& path) const {
    if (Points.empty()) return;
    path.reserve(path.elementCount() + int(Points.size()));
    path.moveTo(view.ToDevice(Points[0]));
    for (size_t i = 1; i < Points.size(); ++i)
        path.lineTo(view.ToDevice(Points[i]));
}

void TPolyLine::Draw(TDrawContext& dc) {
    if (!Visible || Points.size() < 2) return;
    QPainterPath path;
    AddOutline(dc.View, path);
    const qint32 color = StyledOutline(dc, path, *this, PenStyle);
    DrawEnds(dc, color);

    // The vertex under node editing with its two segments.
    const int i = dc.NodeEditIndex;
    if (dc.NodeEditElement == this && i >= 0 && i < PointCount()) {
        QPainter& p = dc.Painter;
        QPen pen(ToQColor(clMarker), dc.AntiAliased ? 1.5 : 2);
        p.setPen(pen);
        const QPointF v = dc.Map(Points[size_t(i)]);
        if (i > 0) p.drawLine(dc.Map(Points[size_t(i - 1)]), v);
        if (i + 1 < PointCount()) p.drawLine(v, dc.Map(Points[size_t(i + 1)]));
        p.setBrush(ToQColor(clMarker));
        p.drawRect(QRectF(v.x() - 3, v.y() - 3, 6, 6));
        p.setBrush(Qt::NoBrush);
    }
}

bool TPolyLine::HitPoint(const TView& view, QPoint screen) const {
    if (HitEnds(view, screen)) return true;
    return HitPolyline(view, screen, ToScreen(view, Points), true, false, false,
                       view.ScaleLength(LineWidth));
}

bool TPolyLine::HitRect(const TView& view, const TIRect& rect, bool enclose) const {
    bool decided;
    const bool ends = HitEndsRect(view, rect, enclose, decided);
    if (decided) return ends;
    return HitPolylineRect(view, rect, ToScreen(view, Points), true, false, false,
                           view.ScaleLength(LineWidth), enclose);
}

TRRect TPolyLine::GetBounds() const {
    return WithEndBounds(WidenRect(BoundsOf(Points), HalfWidthForBounds(LineWidth)));
}

void TPolyLine::SaveToStream(TStreamWriter& s) const {
    SaveLineRecord(s);
}

void TPolyLine::LoadFromStream(TStreamReader& s) {
    LoadLineRecord(s, true);
}

bool TPolyLine::SnapToPoint(const TView& view, TRPoint& p) const {
    if (g_ElementSwitches.SuspendElementSnap || Points.empty()) return false;
    if (g_ElementSwitches.SnapEndPointsOnly) return SnapToEnds(view, p);
    const int i = NearestPoint(p, Points);
    return i >= 0 && SnapWithin(view, p, Points[size_t(i)], LineWidth); // none for points far out
}

void TPolyLine::AddSnapPoints(std::vector<TRPoint*>& points) {
    for (TRPoint& p : Points)
        points.push_back(&p);
}

int TPolyLine::SegmentAt(const TView& view, QPoint screen) const {
    if (Points.size() <= 2) return -1;
    const double w = view.ScaleLength(LineWidth);
    for (size_t i = 0; i + 1 < Points.size(); ++i) {
        const TScreenPolygon seg{view.WorldToScreen(Points[i]), view.WorldToScreen(Points[i + 1])};
        if (HitPolyline(view, screen, seg, true, false, false, w)) return int(i);
    }
    return -1;
}

void TPolyLine::WriteSvg(TSVG& svg) const {
    if (Points.size() < 2) return;
    svg.CoordFactor = 100;
    const int n = PointCount();
    for (int i = 0; i < n; ++i)
        svg.SetPoint(i, svgPoint(Points[size_t(i)]));
    if (TwoColor && !NoLine && PenStyle != 0) svg.AddPolyline(n, LineWidth, 0, LineColor2);
    svg.AddPolyline(n, LineWidth, PenStyle, LineColor);
    if (InnerStripe) svg.AddPolyline(n, int(RoundHalfEven(LineWidth / 3.0)), 0, InnerStripeColor);
    if (CrossStripes) svg.AddPolyline(n, int(RoundHalfEven(LineWidth / 1.2)), 7, CrossStripeColor);
    svg.CoordFactor = 1;
    WriteSvgEnds(svg);
}

// -------------------------------------------------------------------------------------- TLinie

void TLinie::LoadFromStream(TStreamReader& s) {
    LoadHeader(s);
    for (TRPoint* p : {&P1, &P2}) {
        p->X = float(RoundHalfEven(s.ReadF32()));
        p->Y = float(RoundHalfEven(s.ReadF32()));
    }
}

void TLinie::SaveToStream(TStreamWriter& s) const {
    SaveHeader(s);
    for (const TRPoint* p : {&P1, &P2}) {
        s.WriteF32(p->X);
        s.WriteF32(p->Y);
    }
}

TRRect TLinie::GetBounds() const {
    return BoundsOf({P1, P2});
}

std::unique_ptr<TPolyLine> ConvertLegacyLine(const TLinie& line) {
    auto p = std::make_unique<TPolyLine>();
    p->Points = {line.P1, line.P2};
    p->NoLine = line.NoLine;
    p->NoFill = line.NoFill;
    p->LineWidth = line.LineWidth;
    p->LineColor = line.LineColor;
    p->PenStyle = line.PenStyle;
    std::copy(std::begin(line.Reserved1), std::end(line.Reserved1), std::begin(p->Reserved1));
    p->FillColor = line.FillColor;
    p->FillStyle = line.FillStyle;
    std::copy(std::begin(line.Reserved2), std::end(line.Reserved2), std::begin(p->Reserved2));
    p->SetFormLayer(line.FormLayer);
    p->StartEnd = p->FinishEnd = leNone;
    p->EndSize = 2;
    return p;
}

std::unique_ptr<TPolyLine> MakeTableLine(TRPoint a, TRPoint b, int width) {
    auto p = std::make_unique<TPolyLine>();
    p->ResetStyle();
    p->LineWidth = width;
    p->Points = {a, b};
    return p;
}
