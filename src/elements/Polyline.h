#pragma once

// Open lines: TPolyLine (straight segments), the legacy two-point TLinie of old files, and the
// base they share with TBezier (points, line ends, style, record).

#include "elements/Draw_LineEnd.h"
#include "elements/element.h"

// The current style of a line drawing tool; start-up fills it from the "Default" section
// (prefix "LD_" polyline tool, "FREI_LD_" freehand tool, "BEZ_LD_" Bezier tool; keys C1, C2,
// Breite, Stil, Zweifarbig, StartStyle, EndStyle, PfeilGroesse, Inner, Quer, InnerColor,
// QuerColor). The defaults are the factory style.
struct TLineStyle {
    qint32 LineColor = clBlack;
    qint32 LineColor2 = clRed;
    qint32 LineWidth = 2;
    quint8 PenStyle = 0;
    bool TwoColor = false;
    quint8 StartEnd = leNone;
    quint8 FinishEnd = leNone;
    qint32 EndSize = 2;
    bool InnerStripe = false;
    bool CrossStripes = false;
    qint32 InnerStripeColor = 0x00FFFF;
    qint32 CrossStripeColor = 0xFF0000;
    friend bool operator==(const TLineStyle&, const TLineStyle&) = default;
};
extern TLineStyle g_PolyLineStyle;
extern TLineStyle g_FreehandStyle;
extern TLineStyle g_BezierStyle;

// Data and behaviour TPolyLine and TBezier share.
class TLineBase : public TElement {
public:
    // Vertices in world units. Grips point into this array: pointers stay valid until points
    // are added or removed.
    TRPointArray Points;
    quint8 StartEnd = leNone;
    quint8 FinishEnd = leNone;
    qint32 EndSize = 2;

    int PointCount() const { return int(Points.size()); }
    void ApplyStyle(const TLineStyle& style);
    TLineStyle Style() const;
    void ResetStyle() override { ApplyStyle(TLineStyle{}); }

    void MoveBy(TRPoint v) override;
    void ScaleAt(TRPoint c, double fx, double fy) override;
    void ShearAt(TRPoint c, double sx, double sy) override;
    void RotateAt(TRPoint c, double radians) override;
    void MirrorX(TRPoint axis) override;
    void MirrorY(TRPoint axis) override;
    void AddGrips(std::vector<TRPoint*>& grips) override;
    TRPoint GetRefPoint() const override;
    bool DumpTypeFields(QJsonObject& out) const override; // dumpfields.cpp

    // The ends as drawn: E the end point, N its neighbour.
    virtual TLineEnd StartLineEnd() const;
    virtual TLineEnd FinishLineEnd() const;

protected:
    explicit TLineBase(quint8 typeCode) : TElement(typeCode) {}
    void SaveLineRecord(TStreamWriter& s) const;
    // version rules: a polyline reads items 4..8 only from newer files and rounds older points;
    // a Bezier curve always reads them.
    void LoadLineRecord(TStreamReader& s, bool polyline);
    bool HitEnds(const TView& view, QPointF p) const;
    // Touch: a touching end decides; enclose: every end must be inside. Sets decided.
    bool HitEndsRect(const TView& view, const TIRect& rect, bool enclose, bool& decided) const;
    TRRect WithEndBounds(TRRect r) const;
    void DrawEnds(TDrawContext& dc, qint32 color) const;
    void WriteSvgEnds(TSVG& svg) const;
    bool SnapToEnds(const TView& view, TRPoint& p) const;
};

class TPolyLine : public TLineBase {
public:
    TPolyLine(); // takes the polyline tool's current style

    bool HitPoint(const TView& view, QPoint screen) const override;
    void Draw(TDrawContext& dc) override;
    void AddOutline(const TView& view, QPainterPath& path) const override;
    TRRect GetBounds() const override;
    void SaveToStream(TStreamWriter& s) const override;
    void LoadFromStream(TStreamReader& s) override;
    void ApplyCurrentStyle() override { ApplyStyle(g_PolyLineStyle); }
    bool SnapToPoint(const TView& view, TRPoint& p) const override;
    void AddSnapPoints(std::vector<TRPoint*>& points) override;
    int SegmentAt(const TView& view, QPoint screen) const override;
    void WriteSvg(TSVG& svg) const override;
    bool HitRect(const TView& view, const TIRect& rect, bool enclose) const override;
};

// The two-point line of old files; read only, converted at once into a TPolyLine.
class TLinie : public TElement {
public:
    TLinie() : TElement(etLinie) {}
    TRPoint P1, P2;

    void LoadFromStream(TStreamReader& s) override;
    // Never written by the program; kept symmetric so a stray legacy line cannot break a file.
    void SaveToStream(TStreamWriter& s) const override;

    bool HitPoint(const TView&, QPoint) const override { return false; }
    void Draw(TDrawContext&) override {}
    void MoveBy(TRPoint) override {}
    TRRect GetBounds() const override;
    void ScaleAt(TRPoint, double, double) override {}
    void ShearAt(TRPoint, double, double) override {}
    void RotateAt(TRPoint, double) override {}
    void MirrorX(TRPoint) override {}
    void MirrorY(TRPoint) override {}
    TRPoint GetRefPoint() const override { return P1; }
    bool HitRect(const TView&, const TIRect&, bool) const override { return false; }
};

// The polyline that replaces a legacy line in its list: the polyline tool's style, then the
// header of the legacy line, no line ends, EndSize 2.
std::unique_ptr<TPolyLine> ConvertLegacyLine(const TLinie& line);

// A two-point line of a drawn table: black, solid, no line ends, EndSize 2.
std::unique_ptr<TPolyLine> MakeTableLine(TRPoint a, TRPoint b, int width);
