#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <stdexcept>
#include <vector>

// A world point: 1/10 mm on paper at drawing scale 1; y grows downwards as on the screen.
struct TRPoint {
    float X = 0;
    float Y = 0;
    friend bool operator==(const TRPoint&, const TRPoint&) = default;
};
using TRPointArray = std::vector<TRPoint>;

// World rectangle: left, top, right, bottom.
struct TRRect {
    float Left = 0, Top = 0, Right = 0, Bottom = 0;
    float Width() const { return Right - Left; }
    float Height() const { return Bottom - Top; }
    friend bool operator==(const TRRect&, const TRRect&) = default;
};

// Screen rectangle in pixels with exclusive right and bottom, like the sheet window's rectangles.
struct TIRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    QRect ToQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    // RangeError when a side would leave the int32 range.
    TIRect Inflated(int d) const;
    TIRect Normalized() const;
    bool Intersects(const TIRect& o) const;
    bool Contains(const TIRect& o) const;
    friend bool operator==(const TIRect&, const TIRect&) = default;
};

// Thrown when a coordinate does not fit a pixel; aborts the current draw or hit test.
class RangeError : public std::range_error {
public:
    RangeError() : std::range_error("pixel coordinate out of range") {}
};

// How float screen coordinates reach the painter: exact (antialiased renderer), rounded to whole
// pixels (plain renderer), or rounded and moved by half a pixel (pixel-snapped antialiasing).
enum class TPixelMode { Exact, Rounded, Snapped };

// The view transform every element draws and hit-tests with. The sheet view owns one and passes it
// explicitly; there is no hidden global view.
struct TView {
    float ZoomX = 1, ZoomY = 1;     // pixels per world unit
    float OffsetX = 0, OffsetY = 0; // pixels
    int HitTolerance = 4;           // pixels
    TPixelMode Mode = TPixelMode::Exact;

    QPointF WorldToScreen(TRPoint p) const {
        return QPointF(double(p.X) * ZoomX + OffsetX, double(p.Y) * ZoomY + OffsetY);
    }
    TRPoint ScreenToWorld(QPointF s) const;
    double ScaleLength(double l) const { return l * (double(ZoomX) + ZoomY) / 2; }
    double MeanZoom() const { return (double(ZoomX) + ZoomY) / 2; }
    // Rounded to the nearest pixel, halves to even; RangeError outside int32.
    QPoint ToPixel(TRPoint p) const;
    // Point as the painter receives it in this view's pixel mode.
    QPointF ToDevice(TRPoint p) const;
    // Repaint rectangle: left/top rounded down, right/bottom up (callers inflate by 2).
    TIRect RepaintRect(const TRRect& r) const;
    // Hit and clip rectangle: both corners rounded to nearest.
    TIRect HitRectOf(const TRRect& r) const;
};

// Round half to even into int32; RangeError when the value does not fit.
int RoundPixel(double v);
// Round half to even.
double RoundHalfEven(double v);

// Measures.
double Distance(TRPoint a, TRPoint b);
TRPoint Midpoint(TRPoint a, TRPoint b);
double AngleOf(TRPoint a, TRPoint b);
double AngleOf(QPointF a, QPointF b);
bool SamePoint(TRPoint a, TRPoint b);
bool ExactlySamePoint(TRPoint a, TRPoint b);
bool LineIntersection(TRPoint p1, TRPoint p2, TRPoint q1, TRPoint q2, TRPoint& out);
bool SegmentIntersection(QPointF p1, QPointF p2, QPointF q1, QPointF q2, QPointF* out = nullptr);
bool SegmentIntersection(TRPoint p1, TRPoint p2, TRPoint q1, TRPoint q2, TRPoint& out);
// Index of the nearest point, -1 for an empty list; ties keep the earlier point.
int NearestPoint(TRPoint p, const TRPointArray& list);
int NearestPoint(TRPoint p, const std::vector<TRPoint*>& list);
TRPoint ExtendPoint(TRPoint a, TRPoint b, double length);

// Point transforms behind the editing operations.
void MovePoint(TRPoint& p, TRPoint v);
void ScalePoint(TRPoint& p, TRPoint c, double fx, double fy);
bool ShearIsNoop(double sx, double sy);
void ShearPoint(TRPoint& p, TRPoint c, double sx, double sy);
void RotatePoint(TRPoint& p, TRPoint c, double radians);
void MirrorPointX(TRPoint& p, TRPoint axis);
void MirrorPointY(TRPoint& p, TRPoint axis);

// Bounds. The no-width switch suppresses widening by line width while the properties panel
// computes the position and size it shows.
extern bool g_BoundsWithoutWidth;
TRRect BoundsOf(const TRPointArray& pts); // min/max, normalised; {0,0,0,0} when empty
TRRect NormalizedRect(TRRect r);
TRRect WidenRect(TRRect r, double halfWidth); // respects g_BoundsWithoutWidth
TRRect UnionRect(const TRRect& a, const TRRect& b);
// Half line width used for bounds: half the width, at least 1 world unit.
inline double HalfWidthForBounds(int lineWidth) {
    return lineWidth / 2.0 < 1 ? 1 : lineWidth / 2.0;
}

// Arc point generator: n points from t0 spanning s (radians) on a circle of radius r around c.
void ArcPoints(TRPointArray& out, TRPoint c, int n, double t0, double s, double r);
void ArcPoints(std::vector<QPointF>& out, QPointF c, int n, double t0, double s, double r);

// Hit testing in screen coordinates (float pixels).
using TScreenPolygon = std::vector<QPointF>;
TScreenPolygon ToScreen(const TView& view, const TRPointArray& pts);
TScreenPolygon Capsule(QPointF a, QPointF b, double width);
bool PointInPolygon(QPointF p, const TScreenPolygon& poly);
bool PolygonHitsRect(const TScreenPolygon& poly, const TIRect& rect, bool enclose);
bool HitPolyline(const TView& view, QPointF p, const TScreenPolygon& pts, bool outline, bool inside,
                 bool closed, double width);
bool HitPolylineRect(const TView& view, const TIRect& rect, const TScreenPolygon& pts, bool outline,
                     bool inside, bool closed, double width, bool enclose);

// Snap radius rule shared by the element types: moves p onto candidate and returns true when p
// lies strictly closer than half the line width, kept between 8 and 50 pixels at zoom X.
bool SnapWithin(const TView& view, TRPoint& p, TRPoint candidate, int lineWidth);
