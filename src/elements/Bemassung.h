#pragma once

// Dimensions: a measured distance (plain, radial, diameter) or angle with extension lines,
// arrows and a value text in real-world units of the sheet's drawing scale, with prefix, suffix,
// diameter sign and tolerances.

#include "elements/element.h"

#include <QString>
#include <array>
#include <memory>
#include <vector>

class TText;

// The dimension tool's style ("Bemassung": "Pfeilwinkel", "Pfeillaenge", "NK", "Dezimalpunkt",
// "Col_Hilfslinie", "Col_Masslinie", "Col_Text", "Fontname", "Fonthoehe", "Font_Bold",
// "Font_Italic"). The member initialisers are the style before the settings are read; start-up
// replaces them with the stored values (whose own defaults differ in the arrow length, 28).
struct TDimensionStyle {
    QString FontName = QStringLiteral("Arial");
    qint32 FontHeight = 32;
    bool Bold = false;
    bool Italic = false;
    qint32 TextColor = 0x808080;
    qint32 ArrowAngle = 15;  // degrees
    qint32 ArrowLength = 30; // 1/10 mm
    qint32 ExtColor = 0x808080;
    qint32 DimColor = 0x808080;
    bool DecimalPoint = true;
    qint32 Precision = 10; // 10 to the power of the decimals ("NK")
    friend bool operator==(const TDimensionStyle&, const TDimensionStyle&) = default;
};
extern TDimensionStyle g_DimensionStyle;

// Set by the editor while the user adjusts a dimension: a plain dimension then takes its offset
// from LinePos.
extern bool g_DimensionAdjusting;

class TBemassung : public TElement {
public:
    enum : quint8 { bkStandard = 0, bkRadial = 1, bkDiameter = 2, bkAngle = 3 };

    TBemassung(); // the current dimension style
    ~TBemassung() override;

    double Offset = 0; // signed distance of the dimension line from the line A-B
    std::unique_ptr<TText> ValueLabel;
    std::unique_ptr<TText> TolUpper; // half the value's height
    std::unique_ptr<TText> TolLower;
    quint8 Kind = bkStandard;
    TRPoint A, B, C;       // measured points; C is the vertex of an angle
    TRPoint LinePos;       // where the dimension line was placed
    TDimensionStyle Style; // the style at creation (run time)
    qint32 ArrowAngle = 15;
    qint32 ArrowLength = 30;
    qint32 ExtColor = 0x808080;
    qint32 DimColor = 0x808080;
    bool DecimalPoint = true;
    qint32 Precision = 10;
    bool ShowDiameter = false;
    bool AutoValue = true;
    QString Prefix, FixedValue, Suffix;
    QString LastValue; // the number text produced last (run time)

    // What the layout produced, in world units.
    struct TGeometry {
        std::array<TRPoint, 2> Ext1{}, Ext2{};      // extension lines
        TRPointArray Line;                          // dimension line, or the arc as points
        std::vector<std::array<TRPoint, 3>> Arrows; // tip first
        TRPoint D1, D2;
        bool DimensionFits = true, TextFits = true;
    };
    const TGeometry& Geometry() const { return m_geo; }

    // The number text for a drawing scale (the sheet's Scale): the measured value, or FixedValue.
    QString NumberText(double drawingScale) const;
    // The number, then the label text from it: "Ø" (with ShowDiameter), Prefix, number, Suffix.
    // Lays the dimension out again when the label changed; true then.
    bool UpdateValue(double drawingScale);
    // Places lines, arrows and texts for the current geometry and label sizes.
    void Layout();
    // Freezes the value shown last; Unfix lets it follow the geometry again.
    void Fix();
    void Unfix();
    // Moves the dimension line; LinePos follows.
    void SetOffset(double offset);
    // The signed distance from the line A-B that a point on the dimension line would have.
    double OffsetOf(TRPoint p) const;

    bool HitPoint(const TView& view, QPoint screen) const override;
    // Computes the value with the context's drawing scale first.
    void Draw(TDrawContext& dc) override;
    void MoveBy(TRPoint v) override;
    TRRect GetBounds() const override;
    // A, B, LinePos (and C for angles).
    void AddGrips(std::vector<TRPoint*>& grips) override;
    void ScaleAt(TRPoint c, double fx, double fy) override;
    void ShearAt(TRPoint c, double sx, double sy) override;
    // Dragged grips: the offset follows LinePos.
    void GripsChanged() override;
    void RotateAt(TRPoint c, double radians) override;
    void MirrorX(TRPoint axis) override;
    void MirrorY(TRPoint axis) override;
    void SaveToStream(TStreamWriter& s) const override;
    // The layout follows; the stored label text stays until the next value update.
    void LoadFromStream(TStreamReader& s) override;
    void SetSelected(bool on) override;
    TRPoint GetRefPoint() const override { return A; }
    // The dimension's own colours: extension lines, dimension line and texts.
    void SetColor(qint32 color) override;
    bool SnapToPoint(const TView& view, TRPoint& p) const override;
    void AddSnapPoints(std::vector<TRPoint*>& points) override;
    void WriteSvg(TSVG& svg) const override;
    bool HitRect(const TView& view, const TIRect& rect, bool enclose) const override;

    void AppendChildren(std::vector<TElement*>& out) override;
    const TElement* ChildAt(size_t index) const override;
    bool DumpTypeFields(QJsonObject& out) const override;

private:
    template <class F> void transform(F f);
    std::vector<TRPointArray> strokes() const; // every line of the layout
    TGeometry m_geo;
    std::array<QString, 3> m_measured; // the label texts measured last
};

// "Bemaßung fixieren" / "Bemaßung Fixierung aufheben": every selected dimension of the list and
// every dimension inside selected groups, at any depth. Returns how many were changed.
int ApplyDimensionFix(const TElementList& list, bool fix);
