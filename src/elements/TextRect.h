#pragma once

// Multi-line text boxes (TTextRect): paragraphs laid out as one TText per output line inside a
// box given by four corners, optionally wrapped at the box width and centred vertically.

#include "elements/text.h"

#include <QStringList>

// Note the order: the panel offers left, centred, right, but centred is stored as 2.
enum TBoxAlignment : quint8 { baLeft = 0, baRight = 1, baCenter = 2 };

class TTextRect : public TElement {
public:
    TTextRect(); // the text-box preset and one line of the interface language's default text

    std::array<TRPoint, 4> Corners{};
    // The laid-out lines, owned by the box; rebuilt by LayoutLines, never stored.
    std::vector<std::unique_ptr<TText>> LineTexts;
    QStringList Lines;
    TTextFont Font;
    quint8 BoxAlignment = baLeft;
    bool Fill = false;
    qint32 FillColorText = clWhite;
    bool WordWrap = true;
    bool VCenter = false;

    void ApplyTextStyle(const TTextStyle& style);
    // Line texts from Lines (wrapped at the top edge's length with WordWrap); PlaceLines follows.
    void LayoutLines();
    // Stacks the line texts inside the box, one text height apart.
    void PlaceLines();
    // C0 = (left, top), C1 = (right, top), C2 = (right, bottom), C3 = (left, bottom).
    void SetRect(const TRRect& r);
    // Keeps C0 and the lengths of the top and left edges, upright.
    void MakeUpright();
    bool LinePlaceholdersPresent() const;
    // All lines joined, trimmed, empty.
    bool IsBlank() const;
    // Expands every line again; lays the box out anew when a shown text changed.
    bool RefreshShownTexts();

    void Done() override { LineTexts.clear(); }
    bool HitPoint(const TView& view, QPoint screen) const override;
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
    TRPoint GetRefPoint() const override { return Corners[0]; }
    void SetColor(qint32 color) override;
    bool SnapToPoint(const TView& view, TRPoint& p) const override;
    void AddSnapPoints(std::vector<TRPoint*>& points) override;
    void WriteSvg(TSVG& svg) const override;
    bool HitRect(const TView& view, const TIRect& rect, bool enclose) const override;
    bool DumpTypeFields(QJsonObject& out) const override;

private:
    TRPointArray cornerArray() const { return {Corners.begin(), Corners.end()}; }
    std::unique_ptr<TText> newLine() const;
};

// The default text of new text boxes: "Texte" with the French interface, "Text" otherwise.
QString DefaultBoxTextOfLanguage();
