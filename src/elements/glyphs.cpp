#include "elements/glyphs.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontDatabase>
#include <QPolygonF>
#include <cmath>
#include <memory>
#include <unordered_map>

namespace {
// A name no font carries: fontconfig answers it with its fallback for unknown names.
const QString kUnknownFamily = QStringLiteral("Kavro Unknown Face 7c1d");

// Fonts need the font database of a GUI application; without one (a tool that only reads and
// writes records) texts keep their names and measure as empty.
bool haveFontDatabase() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app && app->inherits("QGuiApplication");
}

QRawFont rawFont(const QString& name, quint8 style, double pixelSize) {
    if (!haveFontDatabase()) return QRawFont();
    QFont f(name);
    f.setPixelSize(100);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::NoFontMerging);
    if (style & fsBold) f.setWeight(QFont::Bold);
    if (style & fsItalic) f.setItalic(true);
    QRawFont raw = QRawFont::fromFont(f);
    if (raw.isValid()) raw.setPixelSize(pixelSize);
    return raw;
}

QString resolvedFamily(const QString& name) {
    const QRawFont raw = rawFont(name, 0, 100);
    return raw.isValid() ? raw.familyName() : QString();
}

// Signed area of a polygon (y down): positive when it turns clockwise on the screen.
double signedArea(const QPolygonF& poly) {
    double a = 0;
    for (qsizetype i = 0, n = poly.size(); i < n; ++i) {
        const QPointF& p = poly[i];
        const QPointF& q = poly[(i + 1) % n];
        a += p.x() * q.y() - q.x() * p.y();
    }
    return a / 2;
}

QPointF cubicAt(QPointF p0, QPointF c1, QPointF c2, QPointF p3, double t) {
    const double u = 1 - t;
    return u * u * u * p0 + 3 * u * u * t * c1 + 3 * u * t * t * c2 + t * t * t * p3;
}

// A rectangle as one closed polygon turning the way outer glyph contours turn.
void addBar(QPainterPath& path, double x0, double x1, double y0, double y1, bool clockwise) {
    QPolygonF bar;
    if (clockwise)
        bar << QPointF(x0, y0) << QPointF(x1, y0) << QPointF(x1, y1) << QPointF(x0, y1);
    else
        bar << QPointF(x0, y0) << QPointF(x0, y1) << QPointF(x1, y1) << QPointF(x1, y0);
    path.addPolygon(bar);
    path.closeSubpath();
}

struct FaceCache {
    std::unordered_map<QString, std::unique_ptr<TGlyphFace>> faces;
    QHash<QString, bool> installed;
    QString fallback;
    bool fallbackKnown = false;
};
FaceCache& cache() {
    static FaceCache c;
    return c;
}
} // namespace

QPainterPath FlattenGlyphPath(const QPainterPath& path) {
    QPainterPath out;
    out.setFillRule(Qt::WindingFill);
    QPolygonF poly;
    auto flush = [&]() {
        if (poly.size() > 2) {
            out.addPolygon(poly);
            out.closeSubpath();
        }
        poly.clear();
    };
    const int n = path.elementCount();
    for (int i = 0; i < n; ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            flush();
            poly << QPointF(e);
            break;
        case QPainterPath::LineToElement:
            poly << QPointF(e);
            break;
        case QPainterPath::CurveToElement: {
            if (i + 2 >= n || poly.isEmpty()) break;
            const QPointF p0 = poly.last();
            const QPointF c1 = e, c2 = path.elementAt(i + 1), p3 = path.elementAt(i + 2);
            for (int k = 1; k <= 5; ++k)
                poly << cubicAt(p0, c1, c2, p3, k / 5.0);
            i += 2;
            break;
        }
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    flush();
    return out;
}

// ------------------------------------------------------------------------------------ TGlyphFace

TGlyphFace::TGlyphFace(const QString& name, quint8 style) {
    // The reference size fixes the cell, not the em: find the em size whose ascent plus descent
    // is kReferenceHeight pixels.
    m_font = rawFont(name, style, 100);
    if (m_font.isValid()) {
        const double cell = m_font.ascent() + m_font.descent();
        if (cell > 0) m_font.setPixelSize(100 * kReferenceHeight / cell);
        m_ascent = m_font.ascent();
        m_descent = m_font.descent();
        m_underline = m_font.underlinePosition();
        m_thickness = std::max(m_font.lineThickness(), 1.0);
        m_xHeight = m_font.xHeight();
    }
    if (m_ascent + m_descent <= 0) { // no usable font at all: keep an empty but sane face
        m_ascent = kReferenceHeight * 0.8;
        m_descent = kReferenceHeight * 0.2;
    }
    if (m_xHeight <= 0) m_xHeight = m_ascent / 2;
    // Bars for underline and strike-out must turn as outer contours do, or the non-zero rule
    // would cut holes where they cross a letter.
    for (char32_t probe : {U'I', U'l', U'.', U'H'}) {
        const QPainterPath& o = Outline(probe);
        if (o.isEmpty()) continue;
        const QList<QPolygonF> polys = o.toSubpathPolygons();
        if (!polys.isEmpty()) {
            m_outerClockwise = signedArea(polys.first()) > 0;
            break;
        }
    }
}

quint32 TGlyphFace::glyphIndex(char32_t c) const {
    if (!m_font.isValid()) return 0;
    const QString s = QString::fromUcs4(&c, 1);
    const QList<quint32> g = m_font.glyphIndexesForString(s);
    return g.isEmpty() ? 0 : g.first();
}

const TGlyphMetrics& TGlyphFace::Metrics(char32_t c) {
    if (c < 256 && m_latinKnown[c]) return m_latin[c];
    if (c >= 256) {
        const auto it = m_metrics.constFind(c);
        if (it != m_metrics.constEnd()) return *it;
    }
    TGlyphMetrics m;
    if (m_font.isValid()) {
        const quint32 g = glyphIndex(c);
        const QList<QPointF> adv =
            m_font.advancesForGlyphIndexes(QList<quint32>{g}, QRawFont::UseDesignMetrics);
        if (!adv.isEmpty()) m.Advance = adv.first().x();
        const QRectF box = m_font.pathForGlyph(g).boundingRect();
        if (!box.isEmpty()) {
            m.BlackLeft = box.left();
            m.BlackRight = box.right();
        }
    }
    if (c < 256) {
        m_latin[c] = m;
        m_latinKnown[c] = true;
        return m_latin[c];
    }
    return *m_metrics.insert(c, m);
}

const QPainterPath& TGlyphFace::Outline(char32_t c) {
    const auto it = m_outlines.constFind(c);
    if (it != m_outlines.constEnd()) return *it;
    QPainterPath p;
    if (m_font.isValid() && c != 9) p = FlattenGlyphPath(m_font.pathForGlyph(glyphIndex(c)));
    return *m_outlines.insert(c, p);
}

// -------------------------------------------------------------------------------------- lookup

TGlyphFace& GlyphFace(const QString& name, quint8 style) {
    FaceCache& c = cache();
    const QString key =
        QString::number(style & (fsBold | fsItalic)) + QLatin1Char('|') + name.toCaseFolded();
    auto it = c.faces.find(key);
    if (it == c.faces.end())
        it = c.faces.emplace(key, std::make_unique<TGlyphFace>(name, quint8(style & 3))).first;
    return *it->second;
}

bool FontInstalled(const QString& name) {
    FaceCache& c = cache();
    const QString key = name.trimmed().toCaseFolded();
    if (key.isEmpty()) return false;
    if (!haveFontDatabase()) return true; // nothing to check against
    const auto it = c.installed.constFind(key);
    if (it != c.installed.constEnd()) return *it;
    if (!c.fallbackKnown) {
        c.fallback = resolvedFamily(kUnknownFamily);
        c.fallbackKnown = true;
    }
    bool ok = QFontDatabase::hasFamily(name.trimmed());
    if (!ok) {
        const QString family = resolvedFamily(name.trimmed());
        ok = !family.isEmpty() && family.compare(c.fallback, Qt::CaseInsensitive) != 0;
    }
    c.installed.insert(key, ok);
    return ok;
}

// ------------------------------------------------------------------------------------- the run

namespace {
double advance(TGlyphFace& face, double x, char32_t c, bool last) {
    if (c == 9) {
        const double t = std::trunc(x / kTabStep) * kTabStep + kTabStep;
        return t > 0 ? t + 1 : t - 1;
    }
    const TGlyphMetrics& m = face.Metrics(c);
    return x + (last ? std::max(m.Advance, m.BlackRight) : m.Advance);
}
} // namespace

double AdvancePen(TGlyphFace& face, double x, const QString& text, bool last) {
    const QList<uint> codes = text.toUcs4();
    for (qsizetype i = 0, n = codes.size(); i < n; ++i)
        x = advance(face, x, codes[i], last && i + 1 == n);
    return x;
}

void LayoutGlyphRun(const QString& text, const QString& fontName, quint8 style, bool outlines,
                    TGlyphRun& run) {
    TGlyphFace& face = GlyphFace(fontName, style);
    const QString s = text.isEmpty() ? QStringLiteral(" ") : text;
    const double baseline = kReferenceHeight - face.Descent();
    run.Descent = face.Descent();
    run.Outline = QPainterPath();
    run.Outline.setFillRule(Qt::WindingFill);
    if (!outlines) {
        run.Width = AdvancePen(face, 0, s, true);
        return;
    }
    const QList<uint> codes = s.toUcs4();
    double x = 0;
    for (qsizetype i = 0, n = codes.size(); i < n; ++i) {
        const char32_t c = codes[i];
        if (c != 9) {
            const QPainterPath& o = face.Outline(c);
            if (!o.isEmpty()) run.Outline.addPath(o.translated(x, baseline));
        }
        x = advance(face, x, c, i + 1 == n);
    }
    run.Width = x;
    if (x > 0) {
        const double t = face.LineThickness();
        if (style & fsUnderline) {
            const double y = baseline + face.UnderlinePosition();
            addBar(run.Outline, 0, x, y - t / 2, y + t / 2, face.OuterClockwise());
        }
        if (style & fsStrikeOut) {
            const double y = baseline - face.XHeight() / 2;
            addBar(run.Outline, 0, x, y - t / 2, y + t / 2, face.OuterClockwise());
        }
    }
}
