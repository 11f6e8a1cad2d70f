#pragma once

#include "elements/element.h"

// A closed polygon: the last point joins the first.
class TPolygon : public TElement {
public:
    TPolygon();
    explicit TPolygon(TRPointArray points);

    static constexpr int kMinPoints = 3; // the list reader drops polygons with fewer
    TRPointArray Points;

    int PointCount() const { return int(Points.size()); }

    bool HitPoint(const TView& view, QPoint screen) const override;
    void Draw(TDrawContext& dc) override;
    void AddOutline(const TView& view, QPainterPath& path) const override;
    void MoveBy(TRPoint v) override;
    TRRect GetBounds() const override;
    void AddGrips(std::vector<TRPoint*>& grips) override;
    void ScaleAt(TRPoint c, double fx, double fy) override;
    void ShearAt(TRPoint c, double sx, double sy) override;
    void RotateAt(TRPoint c, double radians) override;
    void MirrorX(TRPoint axis) override;
    void MirrorY(TRPoint axis) override;
    void SaveToStream(TStreamWriter& s) const override;
    void LoadFromStream(TStreamReader& s) override;
    TRPoint GetRefPoint() const override;
    bool DumpTypeFields(QJsonObject& out) const override; // dumpfields.cpp
    void ApplyCurrentStyle() override;
    void ResetStyle() override;
    bool SnapToPoint(const TView& view, TRPoint& p) const override;
    void AddSnapPoints(std::vector<TRPoint*>& points) override;
    // Index i of the edge Pi-P(i+1) under the point; the closing edge does not count; -1 for
    // none and for fewer than three points.
    int SegmentAt(const TView& view, QPoint screen) const override;
    void WriteSvg(TSVG& svg) const override;
    bool HitRect(const TView& view, const TIRect& rect, bool enclose) const override;
};
