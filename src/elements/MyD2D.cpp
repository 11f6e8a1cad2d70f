#include "elements/MyD2D.h"

#include "elements/SVG_Export.h"
#include "elements/element.h"

#include <QColor>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

TRenderSettings g_RenderSettings;
TSelectionColors g_SelectionColors;

namespace {
// Qt measures dash entries in pen widths, and treats widths below one pixel as one.
constexpr double kZeroDash = 0.01; // a zero-length dash still draws its round cap
constexpr double kDiagonalStep = 1.414213;
// Beyond this many hatch lines (damaged sizes) the step is widened instead.
constexpr double kMaxHatchLines = 200000;

// Strokes up to this width are drawn with square caps and bevel joins, and straight ones as
// separate segments.
constexpr double kThinStroke = 2.5;
constexpr double kMaxThinDashes = 20000;

bool hatchIsDiagonal(int style) {
    return style == 4 || style == 5 || style == 7;
}

// Sets a dash pattern given in pixels on a pen of the given pixel width.
void applyPixelPattern(QPen& pen, const double* px, int count, double pixelWidth) {
    if (count <= 0) return;
    double sum = 0;
    for (int i = 0; i < count; ++i)
        sum += std::max(px[i], 0.0);
    if (sum < 1) return; // a pattern shorter than a pixel draws solid
    const double unit = std::max(pixelWidth, 1.0);
    QList<qreal> pattern;
    pattern.reserve(count);
    for (int i = 0; i < count; ++i) {
        const double e = std::max(px[i], 0.0) / unit;
        pattern << (e <= 0 ? kZeroDash : e);
    }
    pen.setDashPattern(pattern);
}

constexpr double kMaxPenWidth = 32767;

QPen basePen(qint32 color, double pixelWidth, bool roundCaps, bool roundJoins) {
    QPen pen(ToQColor(color));
    // The pen refuses widths below 0 or from 32768 px on and would draw 1 px instead: a
    // damaged width draws as the thinnest line, a huge one (thick line at high zoom) as the
    // widest the pen takes, which still covers any view.
    if (!(pixelWidth >= 0)) pixelWidth = 0;
    pixelWidth = std::min(pixelWidth, kMaxPenWidth);
    pen.setWidthF(pixelWidth);
    // Up to 2.5 px a round cap or join differs from a square cap or bevel by less than a
    // quarter pixel, and costs the painter several times as much.
    const bool thin = pixelWidth <= kThinStroke;
    pen.setCapStyle(roundCaps && !thin ? Qt::RoundCap : Qt::SquareCap);
    pen.setJoinStyle(thin ? Qt::BevelJoin : roundJoins ? Qt::RoundJoin : Qt::MiterJoin);
    pen.setMiterLimit(5); // ten half widths
    return pen;
}

// Antialiased pens measure dashes in stroke widths (pattern with w = 1); a zero world width
// scales them by zoom X / 0.5 so the thinnest line keeps its dash lengths on paper.
QPen smoothPen(const TView& view, qint32 color, double strokeWidth, int dashStyle, bool roundJoins,
               double worldWidth) {
    QPen pen = basePen(color, strokeWidth, true, roundJoins);
    if (dashStyle > 0 && dashStyle <= 7) {
        const TDashPattern d = DashPattern(dashStyle, 1, false, view);
        double factor = strokeWidth;
        if (worldWidth == 0) factor *= view.ZoomX / kMinD2DWidth;
        double px[6];
        for (int i = 0; i < d.Count; ++i)
            px[i] = d.Entries[i] * factor;
        applyPixelPattern(pen, px, d.Count, strokeWidth);
    }
    return pen;
}

// Thin strokes go to the painter as separate square-capped segments (curves flattened to within
// a quarter pixel, dashes cut here): their union covers the round joins and caps to within a
// fraction of a pixel, and the painter rasterizes lone segments several times faster than a
// joined outline.
bool strokeThin(QPainter& p, const QPainterPath& path, const QPen& pen) {
    const double w = pen.widthF();
    if (w > kThinStroke) return false;
    const int n = path.elementCount();

    std::vector<double> pattern;
    double period = 0;
    if (pen.style() == Qt::CustomDashLine) {
        const double unit = std::max(w, 1.0); // the painter's dash unit
        for (qreal e : pen.dashPattern()) {
            const double px = e * unit;
            pattern.push_back(px < 0.05 ? 0 : px);
            period += pattern.back();
        }
        if (pattern.size() % 2 || period <= 0) return false;
    }

    std::vector<QLineF> lines;
    lines.reserve(size_t(n));
    size_t idx = 0;
    double remaining = 0, length = 0;
    bool on = true;
    QPointF last;
    bool tooMany = false;
    auto lineTo = [&](QPointF q) {
        if (pattern.empty()) {
            lines.emplace_back(last, q);
            last = q;
            return;
        }
        const double L = QLineF(last, q).length();
        length += L;
        if (length / period > kMaxThinDashes) {
            tooMany = true;
            return;
        }
        const QPointF d = L > 0 ? (q - last) / L : QPointF();
        double t = 0;
        while (L - t > remaining) {
            if (on) lines.emplace_back(last + d * t, last + d * (t + remaining));
            t += remaining;
            idx = (idx + 1) % pattern.size();
            remaining = pattern[idx];
            on = !on;
        }
        if (on) lines.emplace_back(last + d * t, q);
        remaining -= L - t;
        last = q;
    };
    for (int i = 0; i < n && !tooMany; ++i) {
        const QPainterPath::Element& el = path.elementAt(i);
        const QPointF q(el.x, el.y);
        if (el.isMoveTo()) {
            idx = 0;
            remaining = pattern.empty() ? 0 : pattern[0];
            on = true;
            last = q;
        } else if (el.isLineTo()) {
            lineTo(q);
        } else if (el.isCurveTo() && i + 2 < n) {
            const QPointF p0 = last, p1 = q;
            const QPointF p2(path.elementAt(i + 1).x, path.elementAt(i + 1).y);
            const QPointF p3(path.elementAt(i + 2).x, path.elementAt(i + 2).y);
            i += 2;
            // Uniform steps: the chord error is at most |B''| / (8 steps^2), |B''| <= 6 dd.
            const QPointF a = p0 - 2 * p1 + p2, b = p1 - 2 * p2 + p3;
            const double dd = std::max(std::hypot(a.x(), a.y()), std::hypot(b.x(), b.y()));
            const double want = std::ceil(std::sqrt(6 * dd / (8 * 0.25)));
            const int steps = want >= 1 && want <= 256 ? int(want) : want > 256 ? 256 : 1;
            for (int k = 1; k <= steps; ++k) {
                const double t = double(k) / steps, m = 1 - t;
                lineTo(m * m * m * p0 + 3 * m * m * t * p1 + 3 * m * t * t * p2 + t * t * t * p3);
            }
        }
    }
    if (tooMany) return false;
    QPen solid(pen.brush(), w, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    p.setPen(solid);
    p.drawLines(lines.data(), int(lines.size()));
    return true;
}

// A dashed stroke of more dashes than this (a damaged point far out, an absurd zoom) is drawn
// solid: dashing it would hold the program for minutes.
constexpr double kMaxDashes = 100000;

double pathLength(const QPainterPath& path) {
    double length = 0;
    for (int i = 1; i < path.elementCount(); ++i) {
        const QPainterPath::Element& a = path.elementAt(i - 1);
        const QPainterPath::Element& b = path.elementAt(i);
        if (!b.isMoveTo()) length += std::hypot(b.x - a.x, b.y - a.y); // control polygon for curves
    }
    return length;
}

void stroke(QPainter& p, const QPainterPath& path, const QPen& pen) {
    if (pen.style() == Qt::CustomDashLine) {
        double period = 0;
        for (qreal e : pen.dashPattern())
            period += e;
        period *= std::max(pen.widthF(), 1.0);
        const double length = pathLength(path);
        if (!(length / period <= kMaxDashes)) { // also for lengths that are not finite
            QPen solid = pen;
            solid.setStyle(Qt::SolidLine);
            p.strokePath(path, solid);
            return;
        }
    }
    if (!strokeThin(p, path, pen)) p.strokePath(path, pen);
}

void strokeLine(QPainter& p, QPointF a, QPointF b, const QPen& pen) {
    QPainterPath path(a);
    path.lineTo(b);
    stroke(p, path, pen);
}

QRectF deviceRect(const TIRect& r) {
    return QRectF(r.Left, r.Top, double(r.Right) - r.Left, double(r.Bottom) - r.Top);
}
} // namespace

bool HasNoD2DArgument(const QStringList& args) {
    for (const QString& a : args)
        if (a.toLower() == QLatin1String("/nod2d")) return true;
    return false;
}

QColor ToQColor(qint32 color) {
    if (color < 0) color = 0;
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

qint32 HatchSelectionColor(qint32 fillColor) {
    const int s = (fillColor & 0xFF) + ((fillColor >> 8) & 0xFF) + ((fillColor >> 16) & 0xFF);
    if (s > 705) return g_SelectionColors.Third;
    if (s > 59) return g_SelectionColors.Second;
    return g_SelectionColors.Main;
}

// ---------------------------------------------------------------------------------------------

TDrawContext::TDrawContext(QPainter& painter, const TView& view, bool antiAliased, bool gdiPoints,
                           bool textAntiAliasing)
    : Painter(painter), View(view), AntiAliased(antiAliased), GDIPoints(gdiPoints),
      TextAntiAliasing(textAntiAliasing) {
    ConstructionPen = QPen(ToQColor(clMarker), 0);
    ConstructionPen.setDashPattern({4, 6});
    SetMode(antiAliased, gdiPoints);
}

TDrawContext TDrawContext::FromSettings(QPainter& painter, const TView& view,
                                        const TRenderSettings& settings) {
    return TDrawContext(painter, view, settings.UseD2D, settings.GDIPoints,
                        settings.TextAntiAliasing);
}

void TDrawContext::SetMode(bool antiAliased, bool gdiPoints) {
    AntiAliased = antiAliased;
    GDIPoints = gdiPoints;
    View.Mode = !antiAliased ? TPixelMode::Rounded
                : gdiPoints  ? TPixelMode::Snapped
                             : TPixelMode::Exact;
    Painter.setRenderHint(QPainter::Antialiasing, antiAliased);
}

double TDrawContext::LineWidthPx(double worldWidth) const {
    if (AntiAliased) return std::max(worldWidth * View.ZoomX, kMinD2DWidth);
    return RoundHalfEven(View.ScaleLength(worldWidth) + 0.5);
}

bool TDrawContext::NeedsDrawing(const TIRect& screenRect) const {
    return NeedsDrawing(deviceRect(screenRect));
}

bool TDrawContext::NeedsDrawing(const QRectF& r) const {
    if (ClipRect.isEmpty()) return true;
    return r.right() >= ClipRect.left() && r.left() <= ClipRect.right() &&
           r.bottom() >= ClipRect.top() && r.top() <= ClipRect.bottom();
}

bool TDrawContext::SmoothText(const QRectF& r) const {
    if (AntiAliased) return true;
    return TextAntiAliasing && !Printing && !Overlay && r.width() <= 16000 && r.height() <= 16000;
}

// ---------------------------------------------------------------------------------------------

TDashPattern DashPattern(int style, double width, bool toScreen, const TView& view) {
    const double w = std::max(width, 1.0);
    double e[6];
    int n = 0;
    auto put = [&](std::initializer_list<double> v) {
        for (double x : v)
            e[n++] = x * w;
    };
    switch (style) {
    case 1:
        put({2, 4});
        break;
    case 2:
        put({8, 5});
        break;
    case 3:
        put({2, 4, 8, 4});
        break;
    case 4:
        put({2, 4, 2, 4, 8, 4});
        break;
    case 5:
        put({0, 2});
        break;
    case 6:
        put({0, 4});
        break;
    case 7:
        put({1, 6});
        break;
    default:
        break;
    }
    TDashPattern d;
    d.Count = n;
    for (int i = 0; i < n; ++i) {
        const double v = toScreen ? view.ScaleLength(e[i]) : e[i];
        d.Entries[i] = std::isfinite(v) ? int(std::clamp(RoundHalfEven(v), -1e9, 1e9)) : 0;
    }
    return d;
}

QPen MakePen(const TView& view, qint32 color, double pixelWidth, int dashStyle, bool roundCaps,
             bool roundJoins, bool toScreen, double worldWidth) {
    QPen pen = basePen(color, pixelWidth, roundCaps, roundJoins);
    if (dashStyle > 0 && dashStyle <= 7) {
        const TDashPattern d =
            DashPattern(dashStyle, toScreen ? worldWidth : pixelWidth, toScreen, view);
        double px[6];
        for (int i = 0; i < d.Count; ++i)
            px[i] = d.Entries[i];
        applyPixelPattern(pen, px, d.Count, pixelWidth);
    }
    return pen;
}

QPen LinePen(const TDrawContext& dc, qint32 color, double worldWidth, int dashStyle,
             bool roundJoins) {
    const double px = dc.LineWidthPx(worldWidth);
    if (dc.AntiAliased) return smoothPen(dc.View, color, px, dashStyle, roundJoins, worldWidth);
    return MakePen(dc.View, color, px, dashStyle, true, roundJoins, true, worldWidth);
}

qint32 StyledOutline(TDrawContext& dc, const QPainterPath& path, int width, const TElement& e,
                     qint32 color, qint32 color2, qint32 innerColor, qint32 crossColor,
                     bool twoColor, bool inner, bool cross, int dashStyle, bool roundJoins) {
    if (e.Selected) {
        color = g_SelectionColors.Main;
        color2 = g_SelectionColors.Second;
        innerColor = crossColor = g_SelectionColors.Third;
    }
    QPainter& p = dc.Painter;
    const double px = dc.LineWidthPx(width);
    const bool dashed = dashStyle > 0 && dashStyle <= 7;
    if (dc.AntiAliased) {
        if (twoColor && dashed)
            stroke(p, path, smoothPen(dc.View, color2, px, 0, roundJoins, width));
        stroke(p, path, smoothPen(dc.View, color, px, dashStyle, roundJoins, width));
        if (inner) stroke(p, path, smoothPen(dc.View, innerColor, px / 2, 0, roundJoins, width));
        if (cross) {
            const double cw = px / 1.1;
            QPen pen = basePen(crossColor, cw, true, roundJoins);
            const double pattern[2] = {cw, 6 * cw};
            applyPixelPattern(pen, pattern, 2, cw);
            stroke(p, path, pen);
        }
    } else {
        if (twoColor && dashed)
            stroke(p, path, MakePen(dc.View, color2, px, 0, true, roundJoins, true, width));
        stroke(p, path, MakePen(dc.View, color, px, dashStyle, true, roundJoins, true, width));
        if (inner)
            stroke(
                p, path,
                MakePen(dc.View, innerColor, std::floor(px / 2), 0, true, roundJoins, true, width));
        if (cross) {
            const double cw = RoundHalfEven(dc.View.ScaleLength(width) / 1.1);
            stroke(p, path, MakePen(dc.View, crossColor, cw, 7, true, roundJoins, false, width));
        }
    }
    return color;
}

qint32 StyledOutline(TDrawContext& dc, const QPainterPath& path, const TElement& e, int dashStyle,
                     bool roundJoins) {
    return StyledOutline(dc, path, e.LineWidth, e, e.LineColor, e.LineColor2, e.InnerStripeColor,
                         e.CrossStripeColor, e.TwoColor, e.InnerStripe, e.CrossStripes, dashStyle,
                         roundJoins);
}

// ---------------------------------------------------------------------------------------------

std::vector<TRLine> HatchLines(const TRRect& bounds, int fillStyle, int hatchWidth,
                               int hatchDistance, double minStep) {
    std::vector<TRLine> out;
    const bool horizontal = fillStyle == 2 || fillStyle == 6;
    const bool vertical = fillStyle == 3 || fillStyle == 6;
    const bool forward = fillStyle == 4 || fillStyle == 7;  // falling to the right
    const bool backward = fillStyle == 5 || fillStyle == 7; // rising to the right
    if (!horizontal && !vertical && !forward && !backward) return out;

    const TRRect r = NormalizedRect(bounds);
    const double l = r.Left, t = r.Top, rt = r.Right, b = r.Bottom;
    const double w = rt - l, h = b - t;
    if (!std::isfinite(w) || !std::isfinite(h)) return out;

    double step = double(hatchWidth) + hatchDistance;
    step = std::max(step, minStep);
    step = std::max(step, 1.0);
    if (hatchIsDiagonal(fillStyle)) step *= kDiagonalStep;
    if ((w + h) / step > kMaxHatchLines) step = (w + h) / kMaxHatchLines;

    auto add = [&](double x1, double y1, double x2, double y2) {
        out.push_back({{float(x1), float(y1)}, {float(x2), float(y2)}});
    };
    if (horizontal)
        for (double y = t; y <= b; y += step)
            add(l, y, rt, y);
    if (vertical)
        for (double x = l; x <= rt; x += step)
            add(x, t, x, b);
    if (forward) {
        // x - y = c with c = l - t + k step, for every c whose line meets the rectangle.
        const double c0 = l - t;
        for (double k = std::ceil(-h / step); c0 + k * step <= rt - t; k += 1) {
            const double c = c0 + k * step;
            const double y1 = std::max(t, l - c), y2 = std::min(b, rt - c);
            if (y1 <= y2) add(y1 + c, y1, y2 + c, y2);
        }
    }
    if (backward) {
        // x + y = c with c = l + t + k step.
        const double c0 = l + t;
        for (double k = 0; c0 + k * step <= rt + b; k += 1) {
            const double c = c0 + k * step;
            const double y1 = std::max(t, c - rt), y2 = std::min(b, c - l);
            if (y1 <= y2) add(c - y1, y1, c - y2, y2);
        }
    }
    return out;
}

void FillShape(TDrawContext& dc, TElement& e, int fillStyle, qint32 fillColor) {
    QPainterPath path;
    e.AddOutline(dc.View, path);
    FillShape(dc, e, path, fillStyle, fillColor);
}

void FillShape(TDrawContext& dc, TElement& e, const QPainterPath& outline, int fillStyle,
               qint32 fillColor) {
    if (e.HatchDistance < 10) e.HatchDistance = 10;
    QPainter& p = dc.Painter;
    if (fillStyle == 0) {
        p.fillPath(outline, ToQColor(fillColor));
        return;
    }
    if (fillStyle == 1) return; // the clear brush
    const std::vector<TRLine> lines =
        HatchLines(e.GetBounds(), fillStyle, e.HatchWidth, e.HatchDistance, 2 / dc.View.MeanZoom());
    if (lines.empty()) return;
    const qint32 color = e.Selected ? HatchSelectionColor(fillColor) : fillColor;
    double width = std::max(dc.View.ScaleLength(e.HatchWidth), 1.0);
    if (!dc.AntiAliased) width = RoundHalfEven(width);
    QPen pen(ToQColor(color), width, Qt::SolidLine, Qt::FlatCap);

    std::vector<QLineF> device;
    device.reserve(lines.size());
    for (const TRLine& l : lines)
        device.emplace_back(dc.Map(l.A), dc.Map(l.B));

    p.save();
    p.setClipPath(outline, p.hasClipping() && !dc.Printing ? Qt::IntersectClip : Qt::ReplaceClip);
    p.setPen(pen);
    p.drawLines(device.data(), int(device.size()));
    p.restore();
}

void WriteSvgHatch(TSVG& svg, const TElement& e, const QString& clipName) {
    const std::vector<TRLine> lines =
        HatchLines(e.GetBounds(), e.FillStyle, e.HatchWidth, std::max(e.HatchDistance, 10));
    const double f = svg.CoordFactor;
    auto pt = [&](TRPoint p) {
        return QPoint(RoundPixel(RoundHalfEven(p.X) * f), RoundPixel(RoundHalfEven(p.Y) * f));
    };
    for (const TRLine& l : lines)
        svg.AddLine(pt(l.A), pt(l.B), e.FillColor, e.HatchWidth, clipName);
}

// ---------------------------------------------------------------------------------------------

void ConstructionLine(TDrawContext& dc, QPointF a, QPointF b, double width) {
    QPainter& p = dc.Painter;
    if (!dc.AntiAliased) {
        strokeLine(p, a, b, dc.ConstructionPen);
        return;
    }
    const double w = std::max(width, kMinD2DWidth);
    strokeLine(p, a, b, basePen(clWhite, w, true, true));
    QPen dashed = basePen(clMarker, w, false, true);
    const double pattern[2] = {4 * w, 6 * w};
    applyPixelPattern(dashed, pattern, 2, w);
    strokeLine(p, a, b, dashed);
}

void DrawSmallShape(TDrawContext& dc, const QPolygonF& pts, qint32 lineColor, qint32 fillColor,
                    double lineWidthPx, bool closed) {
    QPainter& p = dc.Painter;
    const double w =
        dc.AntiAliased ? std::max(lineWidthPx, kMinD2DWidth) : RoundHalfEven(lineWidthPx);
    const QPen pen = basePen(lineColor, w, true, true);
    QPainterPath path;
    path.addPolygon(pts);
    if (closed) {
        path.closeSubpath();
        if (fillColor >= 0) p.fillPath(path, ToQColor(fillColor));
    }
    stroke(p, path, pen);
}

void FillTextPath(TDrawContext& dc, const QPainterPath& glyphs, qint32 color) {
    QPainter& p = dc.Painter;
    QPainterPath path = glyphs;
    path.setFillRule(Qt::WindingFill);
    const bool smooth = dc.SmoothText(path.boundingRect());
    const bool was = p.testRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::Antialiasing, smooth);
    p.fillPath(path, ToQColor(color));
    p.setRenderHint(QPainter::Antialiasing, was);
}
