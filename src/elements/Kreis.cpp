#include "elements/Kreis.h"

#include "elements/MyD2D.h"
#include "elements/SVG_Export.h"
#include "elements/shape.h"
#include "platform/stream.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2 * kPi;

TRPoint ScaledAbout(TRPoint p, TRPoint c, double f) {
    ScalePoint(p, c, f, f);
    return p;
}

// Offset of angle a from angle base, brought into [0, 2*pi).
double AngleOffset(double a, double base) {
    double d = std::fmod(a - base, kTwoPi);
    if (d < 0) d += kTwoPi;
    return d;
}

// Shoelace sum: negative for a polygon that runs counter-clockwise on the screen (y down).
double SignedArea(const TRPointArray& pts) {
    double sum = 0;
    for (size_t i = 0; i < pts.size(); ++i) {
        const TRPoint& a = pts[i];
        const TRPoint& b = pts[(i + 1) % pts.size()];
        sum += double(a.X) * b.Y - double(b.X) * a.Y;
    }
    return sum;
}
} // namespace

TKreis::TKreis() : TElement(etKreis) {
    ApplyCurrentStyle();
}

TKreis::TKreis(const TRRect& r) : TKreis() {
    BuildFromRect(r);
}

void TKreis::BuildFromRect(const TRRect& r) {
    double g = std::min(double(r.Right) - r.Left, double(r.Bottom) - r.Top) / 2;
    if (!(g >= 1)) g = 1;
    const TRPoint c{float(r.Left + g), float(r.Top + g)};
    Outline.clear();
    Outline.reserve(kOutlinePoints);
    for (int i = 0; i < kOutlinePoints; ++i) {
        const double a = kTwoPi - i * kTwoPi / kOutlinePoints;
        Outline.push_back({float(c.X + g * std::cos(a)), float(c.Y + g * std::sin(a))});
    }
    Center = c;
    StartGrip = StopGrip = {float(c.X + g), c.Y};
    FromRect = true;
    ScaleAt({r.Left, r.Top}, (double(r.Right) - r.Left) / (2 * g),
            (double(r.Bottom) - r.Top) / (2 * g));
    FromRect = false;
}

static bool AnglesMeet(double a, double b) {
    double d = std::fmod(std::fabs(a - b), kTwoPi);
    if (d > kPi) d = kTwoPi - d;
    return d < 0.05;
}

bool TKreis::IsFull() const {
    return AnglesMeet(AngleOf(Center, StartGrip), AngleOf(Center, StopGrip));
}

TRPoint TKreis::OutlinePointAt(double radians) const {
    const size_t n = Outline.size();
    const QPointF c(Center.X, Center.Y);
    const QPointF far = c + 1e6 * QPointF(std::cos(radians), -std::sin(radians));
    for (size_t i = 0; i < n; ++i) {
        const TRPoint& a = Outline[i];
        const TRPoint& b = Outline[(i + 1) % n];
        QPointF hit;
        if (SegmentIntersection(c, far, QPointF(a.X, a.Y), QPointF(b.X, b.Y), &hit))
            return {float(hit.x()), float(hit.y())};
    }
    return Center;
}

TRPoint TKreis::GripAt(double radians) const {
    return ScaledAbout(OutlinePointAt(radians), Center, kGripScale);
}

void TKreis::UpdateGrips() {
    StartGrip = GripAt(StartAngle);
    StopGrip = GripAt(StopAngle);
}

TRPointArray TKreis::ArcPointList(bool scaled) const {
    const double f = scaled ? kGripScale : 1.0;
    TRPointArray out;
    const size_t n = Outline.size();
    if (n == 0) return out;
    if (IsFull()) {
        out.reserve(n);
        for (const TRPoint& p : Outline)
            out.push_back(ScaledAbout(p, Center, f));
        return out;
    }
    const double a1 = AngleOf(Center, StartGrip);
    const double a2 = AngleOf(Center, StopGrip);
    double span = a2 - a1;
    if (span < 0) span += kTwoPi;
    // The outline point that follows a1 counter-clockwise starts the walk; an outline turned the
    // other way round (a mirrored or foreign one) is walked backwards.
    size_t start = 0;
    double best = kTwoPi + 1;
    for (size_t i = 0; i < n; ++i) {
        const double o = AngleOffset(AngleOf(Center, Outline[i]), a1);
        if (o > 0 && o < best) {
            best = o;
            start = i;
        }
    }
    const bool backwards = SignedArea(Outline) > 0;
    // Outline points that coincide with an exact end (up to float noise) are left to the end.
    constexpr double kSame = 1e-6;
    out.push_back(ScaledAbout(OutlinePointAt(a1), Center, f));
    for (size_t k = 0; k < n; ++k) {
        const size_t i = backwards ? (start + n - k) % n : (start + k) % n;
        const double o = AngleOffset(AngleOf(Center, Outline[i]), a1);
        if (o > span - kSame) break;
        if (o > kSame) out.push_back(ScaledAbout(Outline[i], Center, f));
    }
    out.push_back(ScaledAbout(OutlinePointAt(a2), Center, f));
    return out;
}

TKreis::TRadii TKreis::Radii() const {
    const size_t n = Outline.size();
    if (n == 0) return {};
    const double d0 = Distance(Center, Outline[0]);
    if (n > 8) {
        const double d8 = Distance(Center, Outline[8]);
        double between = std::fabs(AngleOf(Center, Outline[8]) - AngleOf(Center, Outline[0]));
        if (between > kPi) between = kTwoPi - between;
        if (std::fabs(between * 180 / kPi - 90) <= 2) return {d0, d8};
    }
    double lo = d0, hi = d0;
    for (const TRPoint& p : Outline) {
        const double d = Distance(Center, p);
        lo = std::min(lo, d);
        hi = std::max(hi, d);
    }
    if (d0 >= (lo + hi) / 2) return {hi, lo};
    return {lo, hi};
}

template <class F> void TKreis::ForEachPoint(F f) {
    for (TRPoint& p : Outline)
        f(p);
    f(Center);
    f(StartGrip);
    f(StopGrip);
}

void TKreis::SetRadiusX(double r) {
    r = std::max(r, 0.1);
    CheckMinimumRadius();
    if (Outline.empty()) return;
    const double current = Radii().X;
    if (!(current > 0)) return;
    const TRPoint c = Center;
    const double turn = AngleOf(c, Outline[0]); // brings point 0 onto the x axis
    ForEachPoint([&](TRPoint& p) {
        RotatePoint(p, c, turn);
        ScalePoint(p, c, r / current, 1);
        RotatePoint(p, c, -turn);
    });
    AfterTransform(false);
}

void TKreis::SetRadiusY(double r) {
    r = std::max(r, 0.1);
    CheckMinimumRadius();
    if (Outline.size() < 9) return;
    const double current = Radii().Y;
    if (!(current > 0)) return;
    const TRPoint c = Center;
    const double turn = AngleOf(c, Outline[8]) - kPi / 2; // brings point 8 onto the y axis
    ForEachPoint([&](TRPoint& p) {
        RotatePoint(p, c, turn);
        ScalePoint(p, c, 1, r / current);
        RotatePoint(p, c, -turn);
    });
    AfterTransform(false);
}

void TKreis::CheckMinimumRadius() {
    if (FromRect || Outline.empty()) return;
    const TRadii r = Radii();
    if (r.X >= 0.1 && r.Y >= 0.1) return;
    const double rx = std::max(r.X, 0.1), ry = std::max(r.Y, 0.1);
    // The grips of a collapsed outline say nothing; the angles still hold the arc.
    const bool full = AnglesMeet(StartAngle, StopAngle);
    const float start = StartAngle, stop = StopAngle;
    const TRPoint c = Center;
    BuildFromRect({float(c.X - rx), float(c.Y - ry), float(c.X + rx), float(c.Y + ry)});
    if (!full) {
        StartAngle = start;
        StopAngle = stop;
        UpdateGrips();
    }
}

double TKreis::SnapDegrees(double degrees, double step) {
    if (!(step > 0)) return degrees;
    return RoundHalfEven(degrees / step) * step;
}

void TKreis::GripsChanged() {
    auto snap = [this](TRPoint& grip, float& angle) {
        double a = SnapDegrees(AngleOf(Center, grip) * 180 / kPi, AngleStep) * kPi / 180;
        while (a >= kTwoPi)
            a -= kTwoPi;
        angle = float(a);
        grip = GripAt(a);
    };
    snap(StartGrip, StartAngle);
    snap(StopGrip, StopAngle);
}

void TKreis::AfterTransform(bool reversed) {
    if (reversed) std::swap(StartGrip, StopGrip);
    GripsChanged();
    CheckMinimumRadius();
}

void TKreis::MoveBy(TRPoint v) {
    ForEachPoint([v](TRPoint& p) { MovePoint(p, v); });
}

void TKreis::ScaleAt(TRPoint c, double fx, double fy) {
    ForEachPoint([&](TRPoint& p) { ScalePoint(p, c, fx, fy); });
    AfterTransform(fx * fy < 0);
}

void TKreis::ShearAt(TRPoint c, double sx, double sy) {
    if (ShearIsNoop(sx, sy)) return;
    ForEachPoint([&](TRPoint& p) { ShearPoint(p, c, sx, sy); });
    AfterTransform(1 - sx * sy < 0);
}

void TKreis::RotateAt(TRPoint c, double radians) {
    ForEachPoint([&](TRPoint& p) { RotatePoint(p, c, radians); });
    AfterTransform(false);
}

void TKreis::MirrorX(TRPoint axis) {
    ForEachPoint([&](TRPoint& p) { MirrorPointX(p, axis); });
    AfterTransform(true);
}

void TKreis::MirrorY(TRPoint axis) {
    ForEachPoint([&](TRPoint& p) { MirrorPointY(p, axis); });
    AfterTransform(true);
}

template <class Map> void TKreis::TraceOutline(Map map, QPainterPath& path) const {
    const TRPointArray arc = ArcPointList(true);
    const size_t n = arc.size();
    if (n == 0) return;
    std::vector<QPointF> p;
    p.reserve(n);
    for (const TRPoint& a : arc)
        p.push_back(map(a));
    auto mid = [&p, n](size_t i) { return (p[i % n] + p[(i + 1) % n]) / 2; };
    if (IsFull()) {
        // Quadratic pieces between edge midpoints with the outline points as controls.
        path.moveTo(mid(0));
        for (size_t i = 0; i < n; ++i)
            path.quadTo(p[(i + 1) % n], mid(i + 1));
        path.closeSubpath();
        return;
    }
    path.moveTo(p[0]);
    if (n >= 3) {
        path.lineTo(mid(0));
        for (size_t i = 0; i + 2 < n; ++i)
            path.quadTo(p[i + 1], mid(i + 1));
    }
    path.lineTo(p[n - 1]);
    if (ArcStyle == asChord) {
        path.closeSubpath();
    } else if (ArcStyle == asPie) {
        path.lineTo(map(Center));
        path.closeSubpath();
    }
}

void TKreis::AddOutline(const TView& view, QPainterPath& path) const {
    TraceOutline([&view](TRPoint p) { return view.ToDevice(p); }, path);
}

TScreenPolygon TKreis::HitPolygon(const TView& view) const {
    TRPointArray pts = ArcPointList(true);
    if (!pts.empty() && !IsFull()) {
        const TRPoint first = pts.front();
        if (ArcStyle == asChord) {
            pts.push_back(first);
        } else if (ArcStyle == asPie) {
            pts.push_back(Center);
            pts.push_back(first);
        }
    }
    return ToScreen(view, pts);
}

bool TKreis::HitPoint(const TView& view, QPoint screen) const {
    return HitPolyline(view, QPointF(screen), HitPolygon(view), !NoLine, !NoFill, IsFull(),
                       view.ScaleLength(LineWidth));
}

bool TKreis::HitRect(const TView& view, const TIRect& rect, bool enclose) const {
    return HitPolylineRect(view, rect, HitPolygon(view), !NoLine, !NoFill, IsFull(),
                           view.ScaleLength(LineWidth), enclose);
}

void TKreis::Draw(TDrawContext& dc) {
    if (!Visible || Outline.empty() || !dc.NeedsDrawing(GetScreenRect(dc.View))) return;
    QPainterPath path;
    AddOutline(dc.View, path);
    DrawClosedShape(dc, *this, path);
    if (Selected && !g_ElementSwitches.DrawingInsideGroup) {
        // Editor markers: the radii to both arc grips and a small cross on the centre.
        const QPointF c = dc.Map(Center);
        ConstructionLine(dc, c, dc.Map(StartGrip));
        ConstructionLine(dc, c, dc.Map(StopGrip));
        QPainter& p = dc.Painter;
        p.setPen(QPen(ToQColor(clMarker), 1));
        p.drawLine(c - QPointF(4, 0), c + QPointF(4, 0));
        p.drawLine(c - QPointF(0, 4), c + QPointF(0, 4));
    }
}

void TKreis::WriteSvg(TSVG& svg) const {
    const TRPointArray arc = ArcPointList(true);
    const size_t n = arc.size();
    if (n == 0) return;
    // Hundredths keep small circles round; the factor covers the hatch lines too.
    struct FactorScope {
        TSVG& svg;
        explicit FactorScope(TSVG& s) : svg(s) { svg.CoordFactor = 100; }
        ~FactorScope() { svg.CoordFactor = 1; }
    } scope(svg);
    std::vector<QPointF> p;
    p.reserve(n);
    for (const TRPoint& a : arc)
        p.emplace_back(a.X * 100.0, a.Y * 100.0);
    auto q = [](QPointF v) { return QPoint(RoundPixel(v.x()), RoundPixel(v.y())); };
    auto mid = [&p, n](size_t i) { return (p[i % n] + p[(i + 1) % n]) / 2; };
    const bool full = IsFull();
    const QPoint centre = q(QPointF(Center.X * 100.0, Center.Y * 100.0));
    WriteClosedShapeSvg(svg, *this,
                        [&](TSVG& s, int width, int dash, bool stroke, bool fill, qint32 fillColor,
                            qint32 strokeColor) {
                            s.BeginPath(width, dash, QString(), stroke, fill, fillColor,
                                        strokeColor);
                            if (full) {
                                s.PathMoveTo(q(mid(0)));
                                for (size_t i = 0; i < n; ++i)
                                    s.PathQuadTo(q(p[(i + 1) % n]), q(mid(i + 1)));
                                s.PathClose();
                            } else {
                                s.PathMoveTo(q(p[0]));
                                if (n >= 3) {
                                    s.SetPoint(0, q(mid(0)));
                                    s.PathLineTo(1);
                                    for (size_t i = 0; i + 2 < n; ++i)
                                        s.PathQuadTo(q(p[i + 1]), q(mid(i + 1)));
                                }
                                s.SetPoint(0, q(p[n - 1]));
                                s.PathLineTo(1);
                                if (ArcStyle == asPie) {
                                    s.SetPoint(0, centre);
                                    s.PathLineTo(1);
                                }
                                if (ArcStyle == asChord || ArcStyle == asPie) s.PathClose();
                            }
                            s.EndPath();
                        });
}

TRRect TKreis::WidenForLine(TRRect r) const {
    if (NoLine) return r;
    return WidenRect(r, std::max(RoundHalfEven(LineWidth / 2.0), 1.0));
}

TRRect TKreis::GetBounds() const {
    TRPointArray pts = ArcPointList(false);
    pts.push_back(StartGrip);
    pts.push_back(StopGrip);
    if (ArcStyle == asPie) pts.push_back(Center);
    return WidenForLine(NormalizedRect(BoundsOf(pts)));
}

TIRect TKreis::GetScreenRect(const TView& view) const {
    TRPointArray pts = ArcPointList(true);
    pts.push_back(StartGrip);
    pts.push_back(StopGrip);
    if (ArcStyle == asPie) pts.push_back(Center);
    return view.RepaintRect(WidenForLine(NormalizedRect(BoundsOf(pts)))).Inflated(2);
}

TIRect TKreis::GetGripScreenRect(const TView& view) const {
    const double widen = NoLine ? 6 : LineWidth / 2.0 + 6;
    TRRect r = NormalizedRect(BoundsOf(Outline));
    r = {float(r.Left - widen), float(r.Top - widen), float(r.Right + widen),
         float(r.Bottom + widen)};
    return view.RepaintRect(r).Inflated(2);
}

void TKreis::AddGrips(std::vector<TRPoint*>& grips) {
    UpdateGrips();
    grips.push_back(&StartGrip);
    grips.push_back(&StopGrip);
}

TRPoint TKreis::GetRefPoint() const {
    if (Outline.empty()) return Center;
    return {OutlinePointAt(kPi).X, OutlinePointAt(kPi / 2).Y};
}

void TKreis::ApplyCurrentStyle() {
    ApplyShapeStyle(*this, g_ShapeStyle);
}
void TKreis::ResetStyle() {
    ApplyShapeStyle(*this, TShapeStyle{});
}

TRPointArray TKreis::SnapCandidates() const {
    if (IsFull()) return {Center};
    return {OutlinePointAt(AngleOf(Center, StartGrip)), OutlinePointAt(AngleOf(Center, StopGrip)),
            Center};
}

bool TKreis::SnapToPoint(const TView& view, TRPoint& p) const {
    const TRPointArray c = SnapCandidates();
    const int i = NearestPoint(p, c);
    return i >= 0 && SnapWithin(view, p, c[size_t(i)], LineWidth);
}

void TKreis::AddSnapPoints(std::vector<TRPoint*>& points) {
    if (!IsFull()) {
        m_snapStart = OutlinePointAt(AngleOf(Center, StartGrip));
        m_snapStop = OutlinePointAt(AngleOf(Center, StopGrip));
        points.push_back(&m_snapStart);
        points.push_back(&m_snapStop);
    }
    points.push_back(&Center);
}

void TKreis::SaveToStream(TStreamWriter& s) const {
    SaveHeader(s);
    s.WriteI32(qint32(Outline.size()) - 1);
    for (const TRPoint& p : Outline) {
        s.WriteF32(p.X);
        s.WriteF32(p.Y);
    }
    s.WriteF32(Center.X);
    s.WriteF32(Center.Y);
    s.WriteF32(StartAngle);
    s.WriteF32(StopAngle);
    SaveTwoColorFields(s, *this);
    s.WriteI32(ArcStyle);
    SaveStripeHatchFields(s, *this);
}

void TKreis::LoadFromStream(TStreamReader& s) {
    LoadHeader(s);
    if (FileVersion > 59) {
        const qint64 n = std::max<qint64>(qint64(s.ReadI32()) + 1, 0);
        s.CheckCount(n, 8, "ellipse outline");
        Outline.clear();
        Outline.reserve(size_t(n));
        for (qint64 i = 0; i < n; ++i) {
            const float x = s.ReadF32();
            Outline.push_back({x, s.ReadF32()});
        }
        Center.X = s.ReadF32();
        Center.Y = s.ReadF32();
    } else {
        TRRect r;
        r.Left = float(RoundHalfEven(s.ReadF32()));
        r.Top = float(RoundHalfEven(s.ReadF32()));
        r.Right = float(RoundHalfEven(s.ReadF32()));
        r.Bottom = float(RoundHalfEven(s.ReadF32()));
        BuildFromRect(NormalizedRect(r));
    }
    StartAngle = s.ReadF32();
    StopAngle = s.ReadF32();
    LoadTwoColorFields(s, *this);
    // Old files had no arc style: a filled arc was closed by its chord.
    ArcStyle = FileVersion >= 80 ? s.ReadI32() : (NoFill ? asArc : asChord);
    LoadStripeHatchFields(s, *this);
    UpdateGrips();
}
