#pragma once

#include "elements/Polyline.h"

// A chain of cubic Bezier segments: P0, then groups of control, control, end point. A curve of
// n points draws the first 4 + 3 * floor((n - 4) / 3); further points are kept and saved.
class TBezier : public TLineBase {
public:
    TBezier(); // takes the Bezier tool's current style

    // Number of points that take part in the curve; 0 below 4 points.
    int UsableCount() const;
    // The drawn curve as straight segments in the view's (float) screen coordinates.
    TScreenPolygon Flatten(const TView& view) const;

    bool HitPoint(const TView& view, QPoint screen) const override;
    void Draw(TDrawContext& dc) override;
    void AddOutline(const TView& view, QPainterPath& path) const override;
    TRRect GetBounds() const override;
    // The control points' bounds (the curve lies within them) plus the line ends: no flattening
    // for every repaint and culling test.
    TIRect GetScreenRect(const TView& view) const override;
    void SaveToStream(TStreamWriter& s) const override;
    void LoadFromStream(TStreamReader& s) override;
    void ApplyCurrentStyle() override { ApplyStyle(g_BezierStyle); }
    bool SnapToPoint(const TView& view, TRPoint& p) const override;
    void AddSnapPoints(std::vector<TRPoint*>& points) override;
    void WriteSvg(TSVG& svg) const override;
    bool HitRect(const TView& view, const TIRect& rect, bool enclose) const override;

    // Ends sit at P0 and at the last drawn point, each facing its control point.
    TLineEnd StartLineEnd() const override;
    TLineEnd FinishLineEnd() const override;

private:
    // Bounds flatten the curve; the result is kept until anything it depends on changes.
    struct BoundsCache {
        bool Valid = false;
        TRPointArray Points;
        qint32 LineWidth = 0, EndSize = 0;
        quint8 StartEnd = 0, FinishEnd = 0;
        bool NoWidth = false;
        TRRect Result;
    };
    mutable BoundsCache m_bounds;
};
