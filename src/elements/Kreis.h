#pragma once

#include "elements/element.h"

// An ellipse, circle or elliptic arc kept as an outline polygon around a centre, so that every
// transform keeps it exact; two grips on the outline mark the ends of the arc.
class TKreis : public TElement {
public:
    TKreis();
    // The ellipse inside a rectangle (left, top, right, bottom), as the ellipse tool draws it.
    explicit TKreis(const TRRect& r);

    static constexpr int kOutlinePoints = 32;
    static constexpr double kGripScale = 1.005; // grips and drawn arc sit just outside the outline
    enum : qint32 { asArc = 0, asChord = 1, asPie = 2 };

    double AngleStep = 0.5; // degrees; arc angles snap to multiples of it
    bool FromRect = false;  // set while the outline is rebuilt from a rectangle
    TRPointArray Outline;   // the full ellipse, counter-clockwise on the screen from angle 0
    TRPoint Center;
    TRPoint StartGrip, StopGrip;
    float StartAngle = 0; // radians, counter-clockwise on the screen
    float StopAngle = 2.0f;
    qint32 ArcStyle = asArc;

    // The list reader drops an ellipse without outline points.
    bool HasOutline() const { return !Outline.empty(); }

    void BuildFromRect(const TRRect& r);
    // Full when the grips' angles differ by less than 0.05 radian.
    bool IsFull() const;
    // Where the ray from the centre at an angle leaves the outline (the centre when it does not).
    TRPoint OutlinePointAt(double radians) const;
    TRPoint GripAt(double radians) const;
    void UpdateGrips(); // both grips from the angles
    // The points the arc is drawn through: the whole outline when full, else the exact start point,
    // the outline points within the span, the exact stop point; scaled by kGripScale on request.
    TRPointArray ArcPointList(bool scaled) const;

    struct TRadii {
        double X = 0, Y = 0;
    };
    // Centre distances of outline points 0 and 8; for a sheared ellipse the smallest and largest
    // centre distances (the larger one on the side of point 0 when point 0 lies farther out).
    TRadii Radii() const;
    void SetRadiusX(double r); // properties panel; at least 0.1
    void SetRadiusY(double r);
    // Rebuilds an ellipse with a radius below 0.1 (kept arc angles); skipped while FromRect is set.
    void CheckMinimumRadius();
    // Snaps an angle in degrees to a multiple of the step, halves to even.
    static double SnapDegrees(double degrees, double step);

    bool HitPoint(const TView& view, QPoint screen) const override;
    void Draw(TDrawContext& dc) override;
    void AddOutline(const TView& view, QPainterPath& path) const override;
    void MoveBy(TRPoint v) override;
    TRRect GetBounds() const override;
    TIRect GetGripScreenRect(const TView& view) const override;
    TIRect GetScreenRect(const TView& view) const override;
    void AddGrips(std::vector<TRPoint*>& grips) override;
    void ScaleAt(TRPoint c, double fx, double fy) override;
    void ShearAt(TRPoint c, double sx, double sy) override;
    void GripsChanged() override;
    void RotateAt(TRPoint c, double radians) override;
    void MirrorX(TRPoint axis) override;
    void MirrorY(TRPoint axis) override;
    void SaveToStream(TStreamWriter& s) const override;
    void LoadFromStream(TStreamReader& s) override;
    TRPoint GetRefPoint() const override;
    bool DumpTypeFields(QJsonObject& out) const override; // dumpfields.cpp
    TRPoint GetGridAnchor() const override { return Center; }
    void ApplyCurrentStyle() override;
    void ResetStyle() override;
    bool SnapToPoint(const TView& view, TRPoint& p) const override;
    void AddSnapPoints(std::vector<TRPoint*>& points) override;
    void WriteSvg(TSVG& svg) const override;
    bool HitRect(const TView& view, const TIRect& rect, bool enclose) const override;

private:
    template <class F> void ForEachPoint(F f);
    template <class Map> void TraceOutline(Map map, QPainterPath& path) const;
    // After a transform: orientation-reversing ones swap the arc ends so the same arc stays drawn.
    void AfterTransform(bool reversed);
    TRRect WidenForLine(TRRect r) const;
    TScreenPolygon HitPolygon(const TView& view) const;
    TRPointArray SnapCandidates() const;
    TRPoint m_snapStart, m_snapStop; // behind the pointers AddSnapPoints hands out
};
