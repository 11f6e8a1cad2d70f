#pragma once

// Single-line texts (TText). A text is positioned by four corners and drawn from the outlines of
// its glyphs mapped into them, so it moves, turns, shears, mirrors and scales like any element.
// It keeps the text as typed (SourceText) and the text shown (ShownText), which the program-wide
// placeholder expansion derives from it.

#include "elements/element.h"
#include "elements/fontstyle.h"
#include "elements/registers.h"

#include <QPainterPath>
#include <QSizeF>
#include <QString>
#include <array>
#include <vector>

class QJsonArray;
class QJsonObject;
class QColor;
class QPainter;
class QTransform;

// 16 bytes in the stored layout of a GUID (first three fields little-endian).
using TGuid = TTextId;
// A new GUID for a text's identity.
inline TGuid NewGuid() {
    return NewTextId();
}
inline bool IsNullGuid(const TGuid& g) {
    return IsNullTextId(g);
}

// Typeface, style bits (TFontStyleBits: 1 bold, 2 italic, 4 underline, 8 strike-out), colour and
// text height in world units (1/10 mm).
struct TTextFont {
    QString Name = QStringLiteral("Arial");
    quint8 Style = 0;
    qint32 Color = clBlack;
    qint32 Height = 40;
    bool Bold() const { return Style & fsBold; }
    bool Italic() const { return Style & fsItalic; }
    friend bool operator==(const TTextFont&, const TTextFont&) = default;
};

struct TTextStyle;

class TText;
// The program-wide placeholder expansion: the shown text of a text for a source text. The
// document layer installs it at start-up; until then the shown text is the source itself.
using TPlaceholderExpander = QString (*)(const TText& text, const QString& source);
void SetPlaceholderExpander(TPlaceholderExpander expander);
QString ExpandPlaceholders(const TText& text, const QString& source);

// True when the text contains "<" and, somewhere after it, ">".
bool HasPlaceholders(const QString& text);

// The stored string of old records and of typeface names: int32 m, then a length byte m and m
// Windows-1252 bytes.
QString ReadCountedShortString(TStreamReader& s);
void WriteCountedShortString(TStreamWriter& s, const QString& text);

// Alignment of a text: the point of the top edge that stays fixed when the text changes.
enum TTextAlignment : qint32 { taLeft = 0, taCenter = 1, taRight = 2 };

class TText : public TElement, public TTextLinks {
public:
    TText(); // the text tool's preset and the default text of the interface language

    QString SourceText;
    float GlyphWidth = 1; // laid-out run in world units
    float GlyphHeight = 1;
    float GlyphDescent = 0; // descent at the reference size
    // Glyph contours at the reference size, rebuilt when LayoutDirty is set. They stand in
    // reverse order (last glyph first), which the rasterizer fills fastest.
    QPainterPath GlyphCache;
    // C0 top-left, C1 top-right, C2 bottom-right, C3 bottom-left.
    std::array<TRPoint, 4> Corners{};
    QString ShownText;
    TTextFont Font;
    qint32 Alignment = taLeft;
    bool IsDesignator = false; // set by the owning component before the record is read
    bool IsValue = false;
    bool IsBoxLine = false;
    // The text box a box line belongs to (set by the box that owns the line); not stored.
    const TElement* OwnerBox = nullptr;
    bool LayoutDirty = true;
    // The link fields; change them through SetTextId, SetLinkTarget and SetLinkTargetReleased,
    // so that the link lookups of the placeholders notice (g_TextLinkStamp).
    bool LinkTargetReleased = false;
    TGuid Id{};
    TGuid LinkTarget{};
    bool Fill = false;
    qint32 FillColorText = clWhite;
    bool ReverseDirection = false;
    QString ExternalLink;
    // The link target named by its text, as files before version 80 store it; the loader
    // converts it into LinkTarget and clears it. Not stored.
    QString LegacyLinkTarget;

    // Takes the preset's font, height, colour, bold, italic, alignment and fill.
    void ApplyTextStyle(const TTextStyle& style);

    // Stores the source, expands it, and marks the layout dirty when the shown text changed.
    void SetSourceText(const QString& text);
    // The one entry point for changing text, font, alignment or height; keeps the alignment
    // point of the top edge and any stretch of the box.
    void SetTextAndFormat(const QString& text, const TTextFont& font, qint32 alignment,
                          qint32 height);
    // Scales the box about C0 to the height h.
    void SetHeight(double h);
    // Glyph metrics of the shown text (no outlines): GlyphWidth and GlyphHeight.
    void Measure();
    // GlyphWidth and GlyphHeight, at least 1 each.
    QSizeF GetSize() const;
    // Upright box of GetSize with its alignment point at p.
    void PlaceAt(TRPoint p);
    // Upright again at C0, kept inside a sheet of the given size (world units).
    void Normalize(double sheetWidth, double sheetHeight);
    // Height read back from the box: its left edge measured square to the lines; 1 for none.
    double CurrentHeight() const;
    bool PlaceholdersPresent() const { return HasPlaceholders(SourceText); }
    bool IsWebLink() const;
    bool IsLinkText() const { return !IsNullGuid(LinkTarget); }
    bool IsLinkTarget() const { return LinkTargetReleased; }
    bool IsComponentLabel() const { return IsDesignator || IsValue; }
    // Expands again; when the shown text changed the text is laid out anew. True on a change.
    bool RefreshShownText();
    // Rebuilds the glyph outlines (and metrics) now.
    void RebuildGlyphs();
    // The box turned about c, whatever the settings say.
    void RotateCorners(TRPoint c, double radians);

    // Maps run coordinates at the reference size into the box (world units).
    QTransform GlyphTransform() const;
    // The six-point frame of link texts and link targets.
    std::array<TRPoint, 6> TagFrame() const;
    // The seven-point arrow of web and file links along the bottom edge.
    std::array<TRPoint, 7> LinkArrow() const;
    bool HasLinkArrow() const { return IsWebLink() || !ExternalLink.isEmpty(); }

    bool HitPoint(const TView& view, QPoint screen) const override;
    void Draw(TDrawContext& dc) override;
    void MoveBy(TRPoint v) override;
    TRRect GetBounds() const override;
    TIRect GetScreenRect(const TView& view) const override;
    void ScaleAt(TRPoint c, double fx, double fy) override;
    void ShearAt(TRPoint c, double sx, double sy) override;
    void RotateAt(TRPoint c, double radians) override;
    void MirrorX(TRPoint axis) override;
    void MirrorY(TRPoint axis) override;
    void SaveToStream(TStreamWriter& s) const override;
    void LoadFromStream(TStreamReader& s) override;
    TRPoint GetRefPoint() const override;
    void SetColor(qint32 color) override;
    bool SnapToPoint(const TView& view, TRPoint& p) const override;
    void AddSnapPoints(std::vector<TRPoint*>& points) override;
    void WriteSvg(TSVG& svg) const override;
    bool HitRect(const TView& view, const TIRect& rect, bool enclose) const override;
    bool DumpTypeFields(QJsonObject& out) const override;

    // Links as loading and copying see them.
    TTextId GetTextId() const override { return Id; }
    void SetTextId(const TTextId& id) override;
    TTextId GetLinkTarget() const override { return LinkTarget; }
    void SetLinkTarget(const TTextId& id) override;
    void SetLinkTargetReleased(bool on);
    QString LegacyLinkText() const override { return LegacyLinkTarget; }
    void ClearLegacyLinkText() override { LegacyLinkTarget.clear(); }
    QString LinkMatchText() const override { return SourceText; }
    void RefreshLink() override { LayoutDirty = true; }

    // WriteSvg with every path clipped to a clip path of the writer (none when empty).
    void WriteSvgClipped(TSVG& svg, const QString& clipName) const;

protected:
    explicit TText(quint8 typeCode);
    // Draws frame, background, glyphs, blank frame and link arrow in the given colours.
    void DrawText(TDrawContext& dc);
    // Stretches the box along its top and bottom edges keeping the alignment point.
    void StretchWidth(double factor, qint32 alignment);

    TRPointArray CornerArray() const { return {Corners.begin(), Corners.end()}; }

private:
    void loadOld(TStreamReader& s);
    double m_runWidth = 1; // the run's width at the reference size
    // Where each contour of GlyphCache starts and its box at the reference size (set together
    // with GlyphCache), so that drawing can fill apart what lies pixels apart.
    struct TContour {
        int Begin;
        double Left, Top, Right, Bottom;
    };
    std::vector<TContour> m_contours;
    int m_contourElements = 0; // GlyphCache's element count they were taken from
    void fillGlyphs(QPainter& p, const QColor& color) const;
};

// The dump form of a font and of four corners (kavro-cli dump).
QJsonObject TextFontJson(const TTextFont& f);
QJsonArray TextCornersJson(const std::array<TRPoint, 4>& c);

// Counts changes of any text's link fields (and texts read from a stream), so caches of who
// links to whom know when to look again.
extern quint64 g_TextLinkStamp;

// The default text of new texts in the interface language: "Text", "Label" or "Texte".
QString DefaultTextOfLanguage();
