#include "elements/Draw_LineEnd.h"

#include "elements/MyD2D.h"
#include "elements/SVG_Export.h"
#include "elements/element.h"

#include <QPolygonF>
#include <algorithm>
#include <array>
#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kSizeFactor[kEndSizeCount] = {1 / 2.0, 1 / 1.42, 1, 1.42, 2, 3};
// Line ends are hit within at least this many pixels of width, however thin the line.
constexpr double kMinHitWidth = 6;
constexpr int kCirclePoints = 33;

TRPoint at(TRPoint base, double a, TRPoint u, double b, TRPoint n) {
    return {float(base.X + a * u.X + b * n.X), float(base.Y + a * u.Y + b * n.Y)};
}
} // namespace

double TLineEnd::Size() const {
    const int i = std::clamp(EndSize, 0, kEndSizeCount - 1);
    return (2.0 * LineWidth + 2) * kSizeFactor[i];
}

TRPointArray TLineEnd::Points() const {
    TRPointArray pts;
    if (!Exists()) return pts;
    const double theta = AngleOf(N, E);
    const TRPoint u{float(std::cos(theta)), float(-std::sin(theta))}; // from N towards E
    const TRPoint n{float(std::sin(theta)), float(std::cos(theta))};  // normal
    const TRPoint S = at(E, 1, u, 0, n);
    const double s = Size();
    switch (Style) {
    case leArrowWhite:
    case leArrowFilled:
    case leArrowOpen: {
        const TRPoint B = at(E, -3.4 * s, u, 0, n);
        pts = {at(B, 0, u, 0.9 * s, n), E, at(B, 0, u, -0.9 * s, n)};
        break;
    }
    case leCircleWhite:
    case leCircleFilled: {
        // The arc point generator's 33 points from angle 0 through 2 pi, from a table.
        static const auto unit = [] {
            std::array<std::pair<double, double>, kCirclePoints> a;
            for (int i = 0; i < kCirclePoints; ++i) {
                const double t = i * (2 * kPi / (kCirclePoints - 1));
                a[size_t(i)] = {std::cos(t), std::sin(t)};
            }
            return a;
        }();
        const TRPoint c = at(E, 1 - s, u, 0, n);
        pts.reserve(kCirclePoints);
        for (const auto& [cs, sn] : unit)
            pts.push_back({float(c.X + s * cs), float(c.Y - s * sn)});
        break;
    }
    case leDiamondWhite:
    case leDiamondFilled:
        pts = {at(S, -2 * s, u, 0, n), at(S, -s, u, s, n), S, at(S, -s, u, -s, n)};
        break;
    case leSquareWhite:
    case leSquareFilled: {
        const TRPoint B = at(S, -2 * s, u, 0, n);
        pts = {at(B, 0, u, s, n), at(B, 0, u, -s, n), at(S, 0, u, -s, n), at(S, 0, u, s, n)};
        break;
    }
    case leBar:
        pts = {at(S, 0, u, s, n), at(S, 0, u, -s, n)};
        break;
    case leArrowReversed: {
        const TRPoint B = at(E, -3.4 * s, u, 0, n);
        pts = {at(E, 0, u, 0.9 * s, n), B, at(E, 0, u, -0.9 * s, n)};
        break;
    }
    default:
        break;
    }
    return pts;
}

TRRect TLineEnd::Bounds() const {
    const TRPointArray pts = Points();
    if (pts.empty()) return {E.X, E.Y, E.X, E.Y};
    return WidenRect(BoundsOf(pts), LineWidth / 2.0);
}

void TLineEnd::Draw(TDrawContext& dc, qint32 color) const {
    const TRPointArray pts = Points();
    if (pts.empty()) return;
    QPolygonF poly;
    poly.reserve(qsizetype(pts.size()));
    for (const TRPoint& p : pts)
        poly << dc.Map(p);
    const double width =
        dc.AntiAliased ? dc.LineWidthPx(LineWidth) : RoundHalfEven(dc.View.ScaleLength(LineWidth));
    DrawSmallShape(dc, poly, color, WhiteFill() ? clWhite : color, width, !Open());
}

bool TLineEnd::HitPoint(const TView& view, QPointF screen) const {
    const TRPointArray pts = Points();
    if (pts.empty()) return false;
    const double w = std::max(view.ScaleLength(LineWidth), kMinHitWidth);
    return HitPolyline(view, screen, ToScreen(view, pts), true, !Open(), !Open(), w);
}

bool TLineEnd::HitRect(const TView& view, const TIRect& rect, bool enclose) const {
    const TRPointArray pts = Points();
    if (pts.empty()) return false;
    const double w = std::max(view.ScaleLength(LineWidth), kMinHitWidth);
    return HitPolylineRect(view, rect, ToScreen(view, pts), true, !Open(), !Open(), w, enclose);
}

void TLineEnd::WriteSvg(TSVG& svg, qint32 color) const {
    const TRPointArray pts = Points();
    if (pts.empty()) return;
    const int saved = svg.CoordFactor;
    svg.CoordFactor = 100;
    for (size_t i = 0; i < pts.size(); ++i)
        svg.SetPoint(int(i), QPoint(RoundPixel(pts[i].X * 100.0), RoundPixel(pts[i].Y * 100.0)));
    const int n = int(pts.size());
    if (Open())
        svg.AddPolyline(n, LineWidth, 0, color);
    else
        svg.AddPolygon(n, LineWidth, true, true, WhiteFill() ? clWhite : color, color, 0);
    svg.CoordFactor = saved;
}
