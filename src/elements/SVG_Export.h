#pragma once

// The program's own SVG 1.1 writer. It knows nothing about elements: each element type describes
// itself through these primitives in its WriteSvg. One user unit is one world unit (0.1 mm).

#include <QPoint>
#include <QString>
#include <QStringList>
#include <vector>

class TSVG {
public:
    TSVG();

    // The document's lines so far, without the closing tag.
    QStringList SvgLines;
    // The path element under construction.
    QString PathText;
    // Clip paths started so far; only grows, so every clip path of a file has its own name.
    int ClipCount = 0;
    // Coordinates handed over for polylines, polygons and path line segments. Starts with 5001
    // entries and grows on demand, so long freehand lines are never cut.
    std::vector<QPoint> PointBuffer;
    // Factor by which coordinates handed to the writer are multiplied: 1, 10, 100 or 1000.
    int CoordFactor = 1;

    // Stores a point at an index of PointBuffer, growing it when needed.
    void SetPoint(int index, QPoint p);

    // The document frame for W x H world units; the title is escaped for XML.
    void Create(int width, int height, const QString& title);

    // "rgb(R,G,B)" in double quotes; negative colours are black.
    static QString ColorText(qint32 color);
    // v / CoordFactor in fixed notation (factor 100: 12345 -> 123.45, -5 -> -0.05).
    QString CoordText(qint32 v) const;
    // stroke-dasharray="..." for dash style 0..7 and stroke width w (at least 1).
    static QString DashAttribute(int style, int width);

    void AddLine(QPoint a, QPoint b, qint32 color, int width, const QString& clipName = QString());
    void AddPolyline(int count, int width, int dashStyle, qint32 color);
    void AddPolygon(int count, int width, bool stroke, bool fill, qint32 fillColor,
                    qint32 strokeColor, int dashStyle);
    void AddCircle(QPoint centre, int radius, bool stroke, bool fill, qint32 fillColor,
                   qint32 strokeColor, int dashStyle, int width);

    void BeginPath(int width, int dashStyle, const QString& extra, bool stroke, bool fill,
                   qint32 fillColor, qint32 strokeColor);
    void PathMoveTo(QPoint p);
    void PathLineTo(int count); // the first count points of PointBuffer
    void PathQuadTo(QPoint control, QPoint end);
    void PathCubicTo(QPoint c1, QPoint c2, QPoint end); // plain integers, whatever CoordFactor
    void PathArcTo(QPoint end, int rx, int ry, bool largeArc);
    void PathClose();
    void EndPath();

    // Starts "<defs><clipPath id=...>" and returns the name ("Clip_" + counter).
    QString BeginClipPath();
    void EndClipPath();

    // The whole file: UTF-8 without byte-order mark, CR LF after every line, "</svg>" last.
    QByteArray ToBytes() const;
    // Writes ToBytes through a temporary file beside the target; false and ErrorString on failure.
    bool SaveToFile(const QString& fileName);
    QString ErrorString;

private:
    QString pointsText(int count) const;
};

// Escapes &, <, >, " and ' for XML text and attribute values.
QString XmlEscaped(const QString& text);
