#include "elements/geometry.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <limits>

bool g_BoundsWithoutWidth = false;

namespace {
constexpr double kPi = 3.14159265358979323846;
}

TIRect TIRect::Normalized() const {
    return {std::min(Left, Right), std::min(Top, Bottom), std::max(Left, Right),
            std::max(Top, Bottom)};
}

TIRect TIRect::Inflated(int d) const {
    auto side = [](qint64 v) {
        if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
            throw RangeError();
        return int(v);
    };
    return {side(qint64(Left) - d), side(qint64(Top) - d), side(qint64(Right) + d),
            side(qint64(Bottom) + d)};
}

bool TIRect::Intersects(const TIRect& o) const {
    return Left <= o.Right && o.Left <= Right && Top <= o.Bottom && o.Top <= Bottom;
}

bool TIRect::Contains(const TIRect& o) const {
    return o.Left >= Left && o.Right <= Right && o.Top >= Top && o.Bottom <= Bottom;
}

double RoundHalfEven(double v) { return std::nearbyint(v); }

int RoundPixel(double v) {
    if (!std::isfinite(v)) throw RangeError();
    const double r = std::nearbyint(v);
    if (r < double(std::numeric_limits<int>::min()) || r > double(std::numeric_limits<int>::max()))
        throw RangeError();
    return static_cast<int>(r);
}

static int checkedInt(double v) {
    if (!std::isfinite(v) || v < double(std::numeric_limits<int>::min()) ||
        v > double(std::numeric_limits<int>::max()))
        throw RangeError();
    return static_cast<int>(v);
}

TRPoint TView::ScreenToWorld(QPointF s) const {
    return {float((s.x() - OffsetX) / ZoomX), float((s.y() - OffsetY) / ZoomY)};
}

QPoint TView::ToPixel(TRPoint p) const {
    const QPointF s = WorldToScreen(p);
    return QPoint(RoundPixel(s.x()), RoundPixel(s.y()));
}

QPointF TView::ToDevice(TRPoint p) const {
    switch (Mode) {
    case TPixelMode::Exact:
        return WorldToScreen(p);
    case TPixelMode::Rounded:
        return QPointF(ToPixel(p));
    case TPixelMode::Snapped:
        return QPointF(ToPixel(p)) + QPointF(0.5, 0.5);
    }
    return WorldToScreen(p);
}

TIRect TView::RepaintRect(const TRRect& r) const {
    const QPointF a = WorldToScreen({r.Left, r.Top});
    const QPointF b = WorldToScreen({r.Right, r.Bottom});
    return TIRect{checkedInt(std::floor(a.x())), checkedInt(std::floor(a.y())),
                  checkedInt(std::ceil(b.x())), checkedInt(std::ceil(b.y()))}
        .Normalized();
}

TIRect TView::HitRectOf(const TRRect& r) const {
    const QPoint a = ToPixel({r.Left, r.Top});
    const QPoint b = ToPixel({r.Right, r.Bottom});
    return TIRect{a.x(), a.y(), b.x(), b.y()}.Normalized();
}

double Distance(TRPoint a, TRPoint b) { return std::hypot(double(b.X) - a.X, double(b.Y) - a.Y); }

TRPoint Midpoint(TRPoint a, TRPoint b) { return {(a.X + b.X) / 2, (a.Y + b.Y) / 2}; }

static double angleOf(double dx, double dy) {
    if (dx == 0 && dy < 0) return kPi / 2;
    if (dy == 0 && dx < 0) return kPi;
    if (dx == 0 && dy > 0) return 3 * kPi / 2;
    if (dx > 0 && dy < 0) return std::atan(-dy / dx);
    if (dx < 0 && dy < 0) return std::atan(dx / dy) + kPi / 2;
    if (dx < 0 && dy > 0) return std::atan(dy / -dx) + kPi;
    if (dx > 0 && dy > 0) return std::atan(dx / dy) + 3 * kPi / 2;
    return 0;
}

double AngleOf(TRPoint a, TRPoint b) { return angleOf(double(b.X) - a.X, double(b.Y) - a.Y); }
double AngleOf(QPointF a, QPointF b) { return angleOf(b.x() - a.x(), b.y() - a.y()); }

bool SamePoint(TRPoint a, TRPoint b) { return std::fabs(a.X - b.X) < 1 && std::fabs(a.Y - b.Y) < 1; }

bool ExactlySamePoint(TRPoint a, TRPoint b) {
    return std::fabs(a.X - b.X) < 0.001 && std::fabs(a.Y - b.Y) < 0.001;
}

// Solves p1 + t (p2 - p1) = q1 + u (q2 - q1).
static bool intersect(double p1x, double p1y, double p2x, double p2y, double q1x, double q1y,
                      double q2x, double q2y, bool segments, double& x, double& y) {
    const double rx = p2x - p1x, ry = p2y - p1y, sx = q2x - q1x, sy = q2y - q1y;
    const double det = rx * sy - ry * sx;
    if (det == 0) return false;
    const double t = ((q1x - p1x) * sy - (q1y - p1y) * sx) / det;
    const double u = ((q1x - p1x) * ry - (q1y - p1y) * rx) / det;
    if (segments && (t < 0 || t > 1 || u < 0 || u > 1)) return false;
    x = p1x + t * rx;
    y = p1y + t * ry;
    return true;
}

bool LineIntersection(TRPoint p1, TRPoint p2, TRPoint q1, TRPoint q2, TRPoint& out) {
    double x, y;
    if (!intersect(p1.X, p1.Y, p2.X, p2.Y, q1.X, q1.Y, q2.X, q2.Y, false, x, y)) return false;
    out = {float(x), float(y)};
    return true;
}

bool SegmentIntersection(QPointF p1, QPointF p2, QPointF q1, QPointF q2, QPointF* out) {
    double x, y;
    if (!intersect(p1.x(), p1.y(), p2.x(), p2.y(), q1.x(), q1.y(), q2.x(), q2.y(), true, x, y))
        return false;
    if (out) *out = QPointF(x, y);
    return true;
}

bool SegmentIntersection(TRPoint p1, TRPoint p2, TRPoint q1, TRPoint q2, TRPoint& out) {
    double x, y;
    if (!intersect(p1.X, p1.Y, p2.X, p2.Y, q1.X, q1.Y, q2.X, q2.Y, true, x, y)) return false;
    out = {float(x), float(y)};
    return true;
}

int NearestPoint(TRPoint p, const TRPointArray& list) {
    double best = 1e9;
    int index = -1;
    for (size_t i = 0; i < list.size(); ++i) {
        const double d = Distance(p, list[i]);
        if (d < best) {
            best = d;
            index = int(i);
        }
    }
    return index;
}

int NearestPoint(TRPoint p, const std::vector<TRPoint*>& list) {
    double best = 1e9;
    int index = -1;
    for (size_t i = 0; i < list.size(); ++i) {
        const double d = Distance(p, *list[i]);
        if (d < best) {
            best = d;
            index = int(i);
        }
    }
    return index;
}

TRPoint ExtendPoint(TRPoint a, TRPoint b, double length) {
    const double f = length / Distance(a, b) + 1;
    return {float(b.X - (double(b.X) - a.X) * f), float(b.Y - (double(b.Y) - a.Y) * f)};
}

void MovePoint(TRPoint& p, TRPoint v) {
    p.X += v.X;
    p.Y += v.Y;
}

void ScalePoint(TRPoint& p, TRPoint c, double fx, double fy) {
    p.X = float(c.X - (double(c.X) - p.X) * fx);
    p.Y = float(c.Y - (double(c.Y) - p.Y) * fy);
}

bool ShearIsNoop(double sx, double sy) { return std::fabs(sx) < 0.01 && std::fabs(sy) < 0.01; }

void ShearPoint(TRPoint& p, TRPoint c, double sx, double sy) {
    if (ShearIsNoop(sx, sy)) return;
    const double x = p.X, y = p.Y;
    p.X = float(x + sx * (y - c.Y));
    p.Y = float(y + sy * (x - c.X));
}

void RotatePoint(TRPoint& p, TRPoint c, double radians) {
    const double d = radians * 180 / kPi;
    if (std::fabs(d) < 0.01) return;
    const double r = Distance(c, p);
    double t = AngleOf(c, p) + kPi / 2 - d * kPi / 180;
    if (t > 2 * kPi) t -= 2 * kPi;
    p.X = float(c.X + r * std::sin(t));
    p.Y = float(c.Y + r * std::cos(t));
}

void MirrorPointX(TRPoint& p, TRPoint axis) { p.X = 2 * axis.X - p.X; }
void MirrorPointY(TRPoint& p, TRPoint axis) { p.Y = 2 * axis.Y - p.Y; }

TRRect BoundsOf(const TRPointArray& pts) {
    if (pts.empty()) return {};
    TRRect r{pts[0].X, pts[0].Y, pts[0].X, pts[0].Y};
    for (const TRPoint& p : pts) {
        r.Left = std::min(r.Left, p.X);
        r.Top = std::min(r.Top, p.Y);
        r.Right = std::max(r.Right, p.X);
        r.Bottom = std::max(r.Bottom, p.Y);
    }
    return r;
}

TRRect NormalizedRect(TRRect r) {
    if (r.Left > r.Right) std::swap(r.Left, r.Right);
    if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
    return r;
}

TRRect WidenRect(TRRect r, double halfWidth) {
    if (g_BoundsWithoutWidth) return r;
    const float h = float(halfWidth);
    return {r.Left - h, r.Top - h, r.Right + h, r.Bottom + h};
}

TRRect UnionRect(const TRRect& a, const TRRect& b) {
    return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
            std::max(a.Bottom, b.Bottom)};
}

static double normalizeStart(double t0) {
    if (t0 < 0) t0 += 2 * kPi;
    else if (t0 > 2 * kPi) t0 -= 2 * kPi;
    return t0;
}

void ArcPoints(TRPointArray& out, TRPoint c, int n, double t0, double s, double r) {
    t0 = normalizeStart(t0);
    if (n < 2) n = 2;
    const double step = s / (n - 1);
    out.reserve(out.size() + size_t(n));
    for (int i = 0; i < n; ++i) {
        const double t = t0 + i * step;
        out.push_back({float(c.X + r * std::cos(t)), float(c.Y - r * std::sin(t))});
    }
}

void ArcPoints(std::vector<QPointF>& out, QPointF c, int n, double t0, double s, double r) {
    t0 = normalizeStart(t0);
    if (n < 2) n = 2;
    const double step = s / (n - 1);
    out.reserve(out.size() + size_t(n));
    for (int i = 0; i < n; ++i) {
        const double t = t0 + i * step;
        out.emplace_back(c.x() + r * std::cos(t), c.y() - r * std::sin(t));
    }
}

TScreenPolygon ToScreen(const TView& view, const TRPointArray& pts) {
    TScreenPolygon s;
    s.reserve(pts.size());
    for (const TRPoint& p : pts) s.push_back(view.WorldToScreen(p));
    return s;
}

TScreenPolygon Capsule(QPointF a, QPointF b, double width) {
    const int n = width > 1000 ? 15 : width > 500 ? 13 : width > 250 ? 11 : width > 100 ? 9
                : width > 50   ? 7
                               : 5;
    const double t = AngleOf(a, b) + kPi / 2;
    TScreenPolygon poly;
    ArcPoints(poly, a, n, t, kPi, width / 2);
    ArcPoints(poly, b, n, t - kPi, kPi, width / 2);
    return poly;
}

bool PointInPolygon(QPointF p, const TScreenPolygon& poly) {
    const size_t n = poly.size();
    if (n < 3) return false;
    int left = 0, right = 0;
    for (size_t i = 0; i < n; ++i) {
        const QPointF& a = poly[i];
        const QPointF& b = poly[(i + 1) % n];
        if ((a.y() <= p.y() && p.y() < b.y()) || (b.y() <= p.y() && p.y() < a.y())) {
            const double x = a.x() + (b.x() - a.x()) / (b.y() - a.y()) * (p.y() - a.y());
            if (p.x() > x) ++left;
            else if (p.x() < x) ++right;
        }
    }
    return (left % 2 == 1) && (right % 2 == 1);
}

bool PolygonHitsRect(const TScreenPolygon& poly, const TIRect& rect, bool enclose) {
    if (poly.empty()) return false;
    const TIRect r = rect.Normalized();
    double minX = poly[0].x(), maxX = minX, minY = poly[0].y(), maxY = minY;
    for (const QPointF& p : poly) {
        minX = std::min(minX, p.x());
        maxX = std::max(maxX, p.x());
        minY = std::min(minY, p.y());
        maxY = std::max(maxY, p.y());
    }
    const TIRect box{RoundPixel(minX), RoundPixel(minY), RoundPixel(maxX), RoundPixel(maxY)};
    if (!box.Intersects(r)) return false;
    if (r.Contains(box)) return true;
    if (enclose) return false;
    const QPointF c[4] = {QPointF(r.Left, r.Top), QPointF(r.Right, r.Top),
                          QPointF(r.Right, r.Bottom), QPointF(r.Left, r.Bottom)};
    const size_t n = poly.size();
    for (size_t i = 0; i < n; ++i) {
        const QPointF& a = poly[i];
        const QPointF& b = poly[(i + 1) % n];
        for (int k = 0; k < 4; ++k)
            if (SegmentIntersection(a, b, c[k], c[(k + 1) % 4])) return true;
    }
    return false;
}

static double hitWidth(const TView& view, double width) {
    return std::max(width, 2.0 * view.HitTolerance);
}

bool HitPolyline(const TView& view, QPointF p, const TScreenPolygon& pts, bool outline,
                 bool inside, bool closed, double width) {
    if (inside && PointInPolygon(p, pts)) return true;
    if (!outline || pts.empty()) return false;
    const double w = hitWidth(view, width);
    const size_t n = pts.size();
    const size_t segments = closed && n > 2 ? n : n - 1;
    for (size_t i = 0; i < segments; ++i)
        if (PointInPolygon(p, Capsule(pts[i], pts[(i + 1) % n], w))) return true;
    return false;
}

bool HitPolylineRect(const TView& view, const TIRect& rect, const TScreenPolygon& pts, bool outline,
                     bool inside, bool closed, double width, bool enclose) {
    if (pts.empty()) return false;
    if (inside) {
        const bool r = PolygonHitsRect(pts, rect, enclose);
        if (!enclose && r) return true;
        if (enclose && !r) return false;
        if (!outline) return r;
    }
    if (!outline) return false;
    const double w = hitWidth(view, width);
    const size_t n = pts.size();
    const size_t segments = closed && n > 2 ? n : n - 1;
    if (segments == 0) return PolygonHitsRect(Capsule(pts[0], pts[0], w), rect, enclose);
    for (size_t i = 0; i < segments; ++i) {
        const bool hit = PolygonHitsRect(Capsule(pts[i], pts[(i + 1) % n], w), rect, enclose);
        if (enclose && !hit) return false;
        if (!enclose && hit) return true;
    }
    return enclose;
}

bool SnapWithin(const TView& view, TRPoint& p, TRPoint candidate, int lineWidth) {
    double radius = lineWidth / 2.0;
    radius = std::max(radius, 8.0 / view.ZoomX);
    radius = std::min(radius, 50.0 / view.ZoomX);
    if (Distance(p, candidate) < radius) {
        p = candidate;
        return true;
    }
    return false;
}
