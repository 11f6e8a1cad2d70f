#pragma once

// Glyph layout of texts: every text is laid out at one reference size from the typeface's own
// outlines and metrics (unhinted), then mapped into the text's four corners. Faces are resolved
// through the font database (fontconfig), so "Arial" finds its metric-compatible substitute.
// Metrics and flattened outlines are kept per face and character for the life of the program,
// so a sheet with thousands of texts lays them out from the cache.

#include "elements/fontstyle.h"

#include <QHash>
#include <QPainterPath>
#include <QRawFont>
#include <QString>
#include <array>
#include <memory>

// Texts are laid out with a cell (ascent plus descent) of this many pixels.
constexpr double kReferenceHeight = 100;
// Tab stops lie every 3.55 reference heights.
constexpr double kTabStep = 355;

// Metrics of one character at the reference size.
struct TGlyphMetrics {
    double Advance = 0;    // cell increment
    double BlackLeft = 0;  // glyph origin (left edge of the black box)
    double BlackRight = 0; // glyph origin plus black-box width (0 for a blank glyph)
};

// One typeface at the reference size.
class TGlyphFace {
public:
    TGlyphFace(const QString& name, quint8 style);

    // Family the name resolved to (the real face, e.g. "Liberation Sans" for "Arial").
    QString Family() const { return m_font.familyName(); }
    double Ascent() const { return m_ascent; }
    double Descent() const { return m_descent; }
    double UnderlinePosition() const { return m_underline; }
    double LineThickness() const { return m_thickness; }
    double XHeight() const { return m_xHeight; }
    // Whether outer contours turn clockwise on the screen (y down).
    bool OuterClockwise() const { return m_outerClockwise; }

    const TGlyphMetrics& Metrics(char32_t c);
    // Contours of the glyph as closed polygons: x from the glyph origin, y downwards from the
    // baseline, curves flattened to the points at parameters 0.2, 0.4, 0.6, 0.8 and 1.0.
    const QPainterPath& Outline(char32_t c);

private:
    quint32 glyphIndex(char32_t c) const;
    QRawFont m_font;
    double m_ascent = 0, m_descent = 0, m_underline = 0, m_thickness = 1, m_xHeight = 0;
    bool m_outerClockwise = true;
    std::array<TGlyphMetrics, 256> m_latin;
    std::array<bool, 256> m_latinKnown{};
    QHash<char32_t, TGlyphMetrics> m_metrics;
    QHash<char32_t, QPainterPath> m_outlines;
};

// The face of a typeface name (compared without regard to case) and style bits (bold and italic
// select the face; underline and strike-out are drawn by the layout). Faces live until the
// program ends.
TGlyphFace& GlyphFace(const QString& name, quint8 style);

// True when the typeface can be used under its name: the font database knows the family, or
// fontconfig resolves the name to a face other than its fallback for unknown names.
bool FontInstalled(const QString& name);

// A laid-out glyph run at the reference size: x along the baseline from 0 to Width, y from 0 at
// the top of the cell to kReferenceHeight at its bottom (the baseline at kReferenceHeight minus
// Descent).
struct TGlyphRun {
    double Width = 0;
    double Descent = 0;
    QPainterPath Outline; // contours as closed polygons, non-zero winding
};

// Lays out text character by character (an empty text as one space). With outlines false only
// the metrics are taken (Measure); the outline stays empty. Underline and strike-out add a bar
// across the run.
void LayoutGlyphRun(const QString& text, const QString& fontName, quint8 style, bool outlines,
                    TGlyphRun& run);

// Moves a pen at x over text by the advance rules (tab stops counted from the run's start);
// with last set, the final character advances by the larger of its cell increment and its black
// box. LayoutGlyphRun of a text without outlines gives AdvancePen(face, 0, text, true).
double AdvancePen(TGlyphFace& face, double x, const QString& text, bool last);

// Flattens a path of lines and cubic curves into closed polygons the way glyph outlines are
// flattened (five points per curve). Exposed for the tests.
QPainterPath FlattenGlyphPath(const QPainterPath& path);
