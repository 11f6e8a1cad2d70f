#pragma once

// Line ends of polylines and Bezier curves: arrow heads, dots, diamonds, squares and bars at the
// end point E of a line whose neighbouring point is N.

#include "elements/geometry.h"

#include <QtGlobal>

class TDrawContext;
class TSVG;

enum TLineEndStyle : quint8 {
    leNone = 0,
    leArrowWhite = 1,
    leArrowFilled = 2,
    leArrowOpen = 3,
    leCircleWhite = 4,
    leCircleFilled = 5,
    leDiamondWhite = 6,
    leDiamondFilled = 7,
    leSquareWhite = 8,
    leSquareFilled = 9,
    leBar = 10,
    leArrowReversed = 11,
};
constexpr int kLineEndStyleCount = 12;
constexpr int kEndSizeCount = 6; // XS, S, M, L, XL, XXL

// One line end in world units.
struct TLineEnd {
    int Style = leNone; // 0 (and values out of range): nothing
    TRPoint E, N;
    int LineWidth = 2;
    int EndSize = 2;

    bool Exists() const { return Style > 0 && Style < kLineEndStyleCount; }
    // Drawn as an open polyline (open arrow, bar) rather than a closed filled shape.
    bool Open() const { return Style == leArrowOpen || Style == leBar; }
    // Filled with white instead of the line colour.
    bool WhiteFill() const {
        return Style == leArrowWhite || Style == leCircleWhite || Style == leDiamondWhite ||
               Style == leSquareWhite;
    }
    // The size s = (2 * LineWidth + 2) * factor of EndSize.
    double Size() const;
    // The shape's points; empty when there is no end.
    TRPointArray Points() const;
    // Points widened by half the line width; zero rectangle at E when there is no end.
    TRRect Bounds() const;

    void Draw(TDrawContext& dc, qint32 color) const;
    bool HitPoint(const TView& view, QPointF screen) const;
    bool HitRect(const TView& view, const TIRect& rect, bool enclose) const;
    // Points multiplied by 100 with the writer's factor at 100.
    void WriteSvg(TSVG& svg, qint32 color) const;
};
