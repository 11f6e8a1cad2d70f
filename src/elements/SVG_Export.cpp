#include "elements/SVG_Export.h"

#include "platform/savefile.h"

#include <algorithm>
#include <cstdlib>

namespace {
constexpr int kInitialPoints = 5001;

QString num(qint64 v) {
    return QString::number(v);
}
} // namespace

QString XmlEscaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '"':
            out += QLatin1String("&quot;");
            break;
        case '\'':
            out += QLatin1String("&apos;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

TSVG::TSVG() : PointBuffer(kInitialPoints) {}

void TSVG::SetPoint(int index, QPoint p) {
    if (index < 0) return;
    if (size_t(index) >= PointBuffer.size()) PointBuffer.resize(size_t(index) + 1);
    PointBuffer[size_t(index)] = p;
}

void TSVG::Create(int width, int height, const QString& title) {
    SvgLines.clear();
    SvgLines << QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>")
             << QStringLiteral("<!-- Created with \"Kavro\" -->")
             << QStringLiteral("<svg version=\"1.1\" baseProfile=\"full\"")
             << QStringLiteral("xmlns=\"http://www.w3.org/2000/svg\"")
             << QStringLiteral("width=\"%1mm\" height=\"%2mm\"").arg(width / 10).arg(height / 10)
             << QStringLiteral("viewBox=\"0 0 %1 %2\">").arg(width).arg(height)
             << QStringLiteral("<title>") + XmlEscaped(title) + QStringLiteral("</title>")
             << QStringLiteral("<defs>") << QStringLiteral("<style type=\"text/css\">")
             << QStringLiteral("<![CDATA[")
             << QStringLiteral("polyline {stroke-linecap:round; stroke-linejoin:round}")
             << QStringLiteral("polygon {stroke-linecap:round; stroke-linejoin:round}")
             << QStringLiteral("path {stroke-linecap:round; stroke-linejoin:round}")
             << QStringLiteral("circle {stroke-linecap:round; stroke-linejoin:round}")
             << QStringLiteral("]]>") << QStringLiteral("</style>") << QStringLiteral("</defs>");
}

QString TSVG::ColorText(qint32 color) {
    if (color < 0) color = 0;
    return QStringLiteral("\"rgb(%1,%2,%3)\"")
        .arg(color & 0xFF)
        .arg((color >> 8) & 0xFF)
        .arg((color >> 16) & 0xFF);
}

QString TSVG::CoordText(qint32 v) const {
    int decimals = 0;
    switch (CoordFactor) {
    case 10:
        decimals = 1;
        break;
    case 100:
        decimals = 2;
        break;
    case 1000:
        decimals = 3;
        break;
    default:
        return num(v);
    }
    QString digits = num(std::llabs(qint64(v)));
    if (digits.size() < decimals + 1)
        digits = digits.rightJustified(decimals + 1, QLatin1Char('0'));
    digits.insert(digits.size() - decimals, QLatin1Char('.'));
    return v < 0 ? QLatin1Char('-') + digits : digits;
}

QString TSVG::DashAttribute(int style, int width) {
    const qint64 w = width < 1 ? 1 : width;
    QList<qint64> p;
    switch (style) {
    case 1:
        p = {2 * w, 4 * w};
        break;
    case 2:
        p = {8 * w, 5 * w};
        break;
    case 3:
        p = {2 * w, 4 * w, 8 * w, 4 * w};
        break;
    case 4:
        p = {2 * w, 4 * w, 2 * w, 4 * w, 8 * w, 4 * w};
        break;
    case 5:
        p = {0, 2 * w};
        break;
    case 6:
        p = {0, 4 * w};
        break;
    case 7:
        p = {w, 6 * w};
        break;
    default:
        return QStringLiteral("stroke-dasharray=\"none\"");
    }
    QStringList parts;
    for (qint64 v : p)
        parts << num(v);
    return QStringLiteral("stroke-dasharray=\"") + parts.join(QLatin1Char(',')) + QLatin1Char('"');
}

QString TSVG::pointsText(int count) const {
    QString s;
    const int n = count < 0 ? 0 : std::min<int>(count, int(PointBuffer.size()));
    s.reserve(n * 12);
    for (int i = 0; i < n; ++i) {
        if (i > 0) s += QLatin1Char(' ');
        s += CoordText(PointBuffer[size_t(i)].x());
        s += QLatin1Char(' ');
        s += CoordText(PointBuffer[size_t(i)].y());
    }
    return s;
}

static QString widthText(int width) {
    return num(width == 0 ? 1 : width);
}

void TSVG::AddLine(QPoint a, QPoint b, qint32 color, int width, const QString& clipName) {
    QString s =
        QStringLiteral("<line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\" fill=\"none\" stroke=")
            .arg(CoordText(a.x()), CoordText(a.y()), CoordText(b.x()), CoordText(b.y()));
    s += ColorText(color);
    s += QStringLiteral(" stroke-width=\"") + widthText(width) + QLatin1Char('"');
    if (!clipName.isEmpty())
        s += QStringLiteral(" clip-path=\"url(#") + clipName + QStringLiteral(")\"");
    s += QStringLiteral("/>");
    SvgLines << s;
}

void TSVG::AddPolyline(int count, int width, int dashStyle, qint32 color) {
    QString s = QStringLiteral("<polyline points=\"") + pointsText(count) +
                QStringLiteral("\" fill=\"none\" stroke=") + ColorText(color) +
                QStringLiteral(" stroke-width=\"") + widthText(width) + QLatin1Char('"');
    if (dashStyle > 0) s += QLatin1Char(' ') + DashAttribute(dashStyle, width);
    s += QStringLiteral("/>");
    SvgLines << s;
}

void TSVG::AddPolygon(int count, int width, bool stroke, bool fill, qint32 fillColor,
                      qint32 strokeColor, int dashStyle) {
    QString s =
        QStringLiteral("<polygon points=\"") + pointsText(count) + QStringLiteral("\" fill=") +
        (fill ? ColorText(fillColor) : QStringLiteral("\"none\"")) + QStringLiteral(" stroke=") +
        (stroke ? ColorText(strokeColor) : QStringLiteral("\"none\"")) +
        QStringLiteral(" stroke-width=\"") + widthText(width) + QLatin1Char('"');
    if (dashStyle > 0) s += QLatin1Char(' ') + DashAttribute(dashStyle, width);
    s += QStringLiteral("/>");
    SvgLines << s;
}

void TSVG::AddCircle(QPoint centre, int radius, bool stroke, bool fill, qint32 fillColor,
                     qint32 strokeColor, int dashStyle, int width) {
    QString s = QStringLiteral("<circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=")
                    .arg(CoordText(centre.x()), CoordText(centre.y()), CoordText(radius)) +
                (fill ? ColorText(fillColor) : QStringLiteral("\"none\"")) +
                QStringLiteral(" stroke=") +
                (stroke ? ColorText(strokeColor) : QStringLiteral("\"none\"")) +
                QStringLiteral(" stroke-width=\"") + widthText(width) + QLatin1Char('"');
    if (dashStyle > 0) s += QLatin1Char(' ') + DashAttribute(dashStyle, width);
    s += QStringLiteral("/>");
    SvgLines << s;
}

void TSVG::BeginPath(int width, int dashStyle, const QString& extra, bool stroke, bool fill,
                     qint32 fillColor, qint32 strokeColor) {
    PathText = QStringLiteral("<path fill=") +
               (fill ? ColorText(fillColor) : QStringLiteral("\"none\"")) +
               QStringLiteral(" stroke=") +
               (stroke ? ColorText(strokeColor) : QStringLiteral("\"none\"")) +
               QStringLiteral(" stroke-width=\"") + num(width) + QLatin1Char('"');
    if (dashStyle > 0) PathText += QLatin1Char(' ') + DashAttribute(dashStyle, width);
    if (!extra.isEmpty()) PathText += QLatin1Char(' ') + extra;
    PathText += QStringLiteral(" d=\"");
}

void TSVG::PathMoveTo(QPoint p) {
    PathText += QStringLiteral(" M ") + CoordText(p.x()) + QLatin1Char(' ') + CoordText(p.y());
}

void TSVG::PathLineTo(int count) {
    PathText += QStringLiteral(" L");
    const int n = count < 0 ? 0 : std::min<int>(count, int(PointBuffer.size()));
    for (int i = 0; i < n; ++i)
        PathText += QLatin1Char(' ') + CoordText(PointBuffer[size_t(i)].x()) + QLatin1Char(' ') +
                    CoordText(PointBuffer[size_t(i)].y());
}

void TSVG::PathQuadTo(QPoint control, QPoint end) {
    PathText += QStringLiteral(" Q ") + CoordText(control.x()) + QLatin1Char(' ') +
                CoordText(control.y()) + QLatin1Char(' ') + CoordText(end.x()) + QLatin1Char(' ') +
                CoordText(end.y());
}

void TSVG::PathCubicTo(QPoint c1, QPoint c2, QPoint end) {
    PathText += QStringLiteral(" C %1 %2 %3 %4 %5 %6")
                    .arg(c1.x())
                    .arg(c1.y())
                    .arg(c2.x())
                    .arg(c2.y())
                    .arg(end.x())
                    .arg(end.y());
}

void TSVG::PathArcTo(QPoint end, int rx, int ry, bool largeArc) {
    PathText += QStringLiteral(" A ") + CoordText(rx) + QLatin1Char(' ') + CoordText(ry) +
                QStringLiteral(" 0 ") + (largeArc ? QLatin1Char('1') : QLatin1Char('0')) +
                QStringLiteral(" 0 ") + CoordText(end.x()) + QLatin1Char(' ') + CoordText(end.y());
}

void TSVG::PathClose() {
    PathText += QStringLiteral(" Z");
}

void TSVG::EndPath() {
    PathText += QStringLiteral("\" />");
    SvgLines << PathText;
    PathText.clear();
}

QString TSVG::BeginClipPath() {
    const QString name = QStringLiteral("Clip_") + num(ClipCount);
    SvgLines << QStringLiteral("<defs>")
             << QStringLiteral("<clipPath id=\"") + name + QStringLiteral("\">");
    ++ClipCount;
    return name;
}

void TSVG::EndClipPath() {
    SvgLines << QStringLiteral("</clipPath>") << QStringLiteral("</defs>");
}

QByteArray TSVG::ToBytes() const {
    QByteArray out;
    for (const QString& line : SvgLines) {
        out += line.toUtf8();
        out += "\r\n";
    }
    out += "</svg>\r\n";
    return out;
}

bool TSVG::SaveToFile(const QString& fileName) {
    ErrorString.clear();
    if (WriteFileSafely(fileName, ToBytes())) return true;
    ErrorString = QStringLiteral("cannot write %1").arg(fileName);
    return false;
}
