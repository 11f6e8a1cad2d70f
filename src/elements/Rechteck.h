#pragma once

#include "elements/element.h"

#include <array>

// A rectangle kept as four corners, so that rotation and shear keep it exact (a parallelogram
// afterwards), with optional rounded or chamfered corners.
class TRechteck : public TElement {
public:
    TRechteck();
    // The rectangle (left, top, right, bottom) as first drawn: P1 top-left, P2 top-right,
    // P3 bottom-right, P4 bottom-left; sharp corners.
    explicit TRechteck(const TRRect& r);

    // Corner size below this is drawn sharp.
    static constexpr float kMinRounding = 3;
    enum : qint32 { csRounded = 0, csChamfered = 1 };

    std::array<TRPoint, 4> Corners{}; // P1 .. P4
    TRPoint Center;                   // intersection of the diagonals
    TRPoint RoundGrip;                // on P1-P4 at Rounding / 2 from P1
    float Rounding = 0;               // corner size, 0 .. the shorter side
    qint32 CornerStyle = csRounded;

    // Sets the corners from a rectangle (as first drawn) and recomputes grip and centre.
    void SetRect(const TRRect& r);
    bool HasSharpCorners() const { return !(Rounding >= kMinRounding); }
    double ShorterSide() const; // 0.01 when a side has no length
    double Width() const;       // |P1P2|
    double Height() const;      // |P1P4|
    // Properties panel: sizes keep P1 and the directions of the sides; at least 0.1.
    void SetWidth(double w);
    void SetHeight(double h);
    // Corner size as a share of the shorter side, clamped to 100 %.
    void SetRoundingPercent(double percent);
    double RoundingPercent() const;

    void ClampRounding();
    void UpdateRoundGrip();  // RoundGrip from Rounding
    void RoundingFromGrip(); // Rounding from RoundGrip, clamped
    void UpdateCenter();

    // The corner points of the outline: for each corner Ci the point Ai towards the previous and
    // Bi towards the next corner, both Rounding / 2 from Ci (at the far corner of a shorter edge).
    std::array<TRPoint, 8> CornerCuts() const; // A1 B1 A2 B2 A3 B3 A4 B4

    bool HitPoint(const TView& view, QPoint screen) const override;
    void Draw(TDrawContext& dc) override;
    void AddOutline(const TView& view, QPainterPath& path) const override;
    void MoveBy(TRPoint v) override;
    TRRect GetBounds() const override;
    void AddGrips(std::vector<TRPoint*>& grips) override;
    void ScaleAt(TRPoint c, double fx, double fy) override;
    void ShearAt(TRPoint c, double sx, double sy) override;
    void GripsChanged() override;
    void RotateAt(TRPoint c, double radians) override;
    void MirrorX(TRPoint axis) override;
    void MirrorY(TRPoint axis) override;
    void SaveToStream(TStreamWriter& s) const override;
    bool DumpTypeFields(QJsonObject& out) const override; // dumpfields.cpp
    void LoadFromStream(TStreamReader& s) override;
    TRPoint GetRefPoint() const override { return Corners[0]; }
    void ApplyCurrentStyle() override;
    void ResetStyle() override;
    bool SnapToPoint(const TView& view, TRPoint& p) const override;
    void AddSnapPoints(std::vector<TRPoint*>& points) override;
    void WriteSvg(TSVG& svg) const override;
    bool HitRect(const TView& view, const TIRect& rect, bool enclose) const override;

private:
    template <class Map> void TraceOutline(Map map, QPainterPath& path) const;
    TScreenPolygon HitPolygon(const TView& view) const;
    TRPointArray SnapCandidates() const;
    void AfterTransform();
    std::array<TRPoint, 8> m_chamferPoints{}; // behind the pointers AddSnapPoints hands out
};

// Table drawings (parts lists, contact mirror): a black, white-filled rectangle of width 2.
std::unique_ptr<TRechteck> MakeTableRectangle(const TRRect& r);
