#pragma once

// Junction dots: a filled circle marking where wires connect, optionally sized from the wires
// that pass through it.

#include "elements/element.h"

// The junction tool's preset; start-up fills it from the "Default" section ("LP_PWIDTH",
// "LP_PCOLOR", "LP_PStyle", "LP_BCOLOR") and writes it back at shutdown. The member initialisers
// are the factory preset.
struct TJunctionStyle {
    qint32 LineWidth = 2; // LP_PWIDTH
    qint32 LineColor = 3; // LP_PCOLOR: the size code (automatic code or plain size index)
    quint8 PenStyle = 12; // LP_PStyle: the diameter
    qint32 FillColor = 0; // LP_BCOLOR
    quint8 FillStyle = 0;
    friend bool operator==(const TJunctionStyle&, const TJunctionStyle&) = default;
};
extern TJunctionStyle g_JunctionStyle;

class TLoetpunkt : public TElement {
public:
    TLoetpunkt(); // takes the junction preset
    explicit TLoetpunkt(TRPoint position);

    // LineColor holds the automatic code kAutoCode + size index instead of a colour.
    static constexpr qint32 kAutoCode = 1209250;
    static constexpr int kSizeCount = 5; // XS, S, M, L, XL
    static constexpr qint32 kResetDiameter = 12;
    static constexpr int kResetSizeIndex = 3;

    TRPoint Position;
    qint32 Diameter = kResetDiameter; // world units, 1..255 (stored in one byte)

    // Automatic: NoLine set and LineColor within kAutoCode .. kAutoCode + 4.
    bool IsAutomatic() const;
    // The size index 0..4: of the automatic code, or the plain value a manual dot keeps
    // (brought into range).
    int SizeIndex() const;
    // Both modes leave the dot without outline; the index is brought into 0..4.
    void SetAutomatic(bool on, int sizeIndex);
    // Kept within 1..255.
    void SetDiameter(int diameter);

    // Automatic sizing against the wires of a sheet: takes the colour of the last polyline
    // through the centre and the diameter w * (3 + size index) of the widest one (w at least 1,
    // black when none passes). Only for automatic dots; true when diameter or colour changed.
    bool UpdateAutoSize(const std::vector<const TElement*>& sheet, const TView& view);
    bool UpdateAutoSize(const TElementList& sheet, const TView& view);

    bool HitPoint(const TView& view, QPoint screen) const override;
    // Sizes an automatic dot first when the context names the sheet's elements.
    void Draw(TDrawContext& dc) override;
    void MoveBy(TRPoint v) override;
    TRRect GetBounds() const override;
    void ScaleAt(TRPoint c, double fx, double fy) override;
    void ShearAt(TRPoint c, double sx, double sy) override;
    void RotateAt(TRPoint c, double radians) override;
    void MirrorX(TRPoint axis) override;
    void MirrorY(TRPoint axis) override;
    void SaveToStream(TStreamWriter& s) const override;
    void LoadFromStream(TStreamReader& s) override;
    TRPoint GetRefPoint() const override { return Position; }
    TRPoint GetGridAnchor() const override { return Position; }
    // The fill is the dot's colour; the size code in LineColor is kept unless the dot is
    // outlined (then LineColor is a colour).
    void SetColor(qint32 color) override;
    void ApplyCurrentStyle() override;
    void ResetStyle() override;
    bool SnapToPoint(const TView& view, TRPoint& p) const override;
    void AddSnapPoints(std::vector<TRPoint*>& points) override;
    void WriteSvg(TSVG& svg) const override;
    bool HitRect(const TView& view, const TIRect& rect, bool enclose) const override;
    bool DumpTypeFields(QJsonObject& out) const override;

private:
    void applyStyle(const TJunctionStyle& style);
    double outerRadius() const; // radius plus half the outline when there is one
};

// Sizes every automatic junction dot of a sheet against its wires; true when any changed.
bool UpdateAutoJunctions(const TElementList& sheet, const TView& view);
