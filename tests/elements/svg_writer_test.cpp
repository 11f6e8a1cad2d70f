#include "elements/MyD2D.h"
#include "elements/SVG_Export.h"
#include "support/processes.h"
#include "test_shape.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QString last(const TSVG& s) {
    return s.SvgLines.isEmpty() ? QString() : s.SvgLines.last();
}
} // namespace

TEST(SvgWriter, DocumentFrameByteForByte) {
    TSVG svg;
    svg.Create(533, 2970, QStringLiteral("Plan <A&B> \"1\" 'x'"));
    const QByteArray want = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                            "<!-- Created with \"Kavro\" -->\r\n"
                            "<svg version=\"1.1\" baseProfile=\"full\"\r\n"
                            "xmlns=\"http://www.w3.org/2000/svg\"\r\n"
                            "width=\"53mm\" height=\"297mm\"\r\n"
                            "viewBox=\"0 0 533 2970\">\r\n"
                            "<title>Plan &lt;A&amp;B&gt; &quot;1&quot; &apos;x&apos;</title>\r\n"
                            "<defs>\r\n"
                            "<style type=\"text/css\">\r\n"
                            "<![CDATA[\r\n"
                            "polyline {stroke-linecap:round; stroke-linejoin:round}\r\n"
                            "polygon {stroke-linecap:round; stroke-linejoin:round}\r\n"
                            "path {stroke-linecap:round; stroke-linejoin:round}\r\n"
                            "circle {stroke-linecap:round; stroke-linejoin:round}\r\n"
                            "]]>\r\n"
                            "</style>\r\n"
                            "</defs>\r\n"
                            "</svg>\r\n";
    EXPECT_EQ(svg.ToBytes(), want);
}

TEST(SvgWriter, ColourCoordinateAndDashTexts) {
    EXPECT_EQ(TSVG::ColorText(0x0000FF), QStringLiteral("\"rgb(255,0,0)\""));
    EXPECT_EQ(TSVG::ColorText(0x123456), QStringLiteral("\"rgb(86,52,18)\""));
    EXPECT_EQ(TSVG::ColorText(-1), QStringLiteral("\"rgb(0,0,0)\""));

    struct Coord {
        int factor;
        qint32 v;
        const char* want;
    } coords[] = {
        {1, 12345, "12345"},    {1, -7, "-7"},
        {100, 12345, "123.45"}, {100, 5, "0.05"},
        {100, -5, "-0.05"},     {100, 0, "0.00"},
        {10, 7, "0.7"},         {10, -123, "-12.3"},
        {1000, 1, "0.001"},     {1000, -45678, "-45.678"},
    };
    TSVG svg;
    for (const Coord& c : coords) {
        svg.CoordFactor = c.factor;
        EXPECT_EQ(svg.CoordText(c.v), QLatin1String(c.want)) << c.factor << " " << c.v;
    }

    struct Dash {
        int style, width;
        const char* want;
    } dashes[] = {
        {1, 2, "4,8"}, {2, 3, "24,15"}, {3, 1, "2,4,8,4"}, {4, 2, "4,8,4,8,16,8"},
        {5, 0, "0,2"}, {6, 1, "0,4"},   {7, 4, "4,24"},    {2, 0, "8,5"},
    };
    for (const Dash& d : dashes)
        EXPECT_EQ(TSVG::DashAttribute(d.style, d.width),
                  QStringLiteral("stroke-dasharray=\"%1\"").arg(QLatin1String(d.want)));
}

TEST(SvgWriter, PrimitiveLines) {
    TSVG svg;
    svg.SetPoint(0, {1, 2});
    svg.SetPoint(1, {30, 40});
    svg.SetPoint(2, {-5, 6});

    svg.AddPolyline(2, 0, 0, clBlack);
    EXPECT_EQ(last(svg), QStringLiteral("<polyline points=\"1 2 30 40\" fill=\"none\" "
                                        "stroke=\"rgb(0,0,0)\" stroke-width=\"1\"/>"));
    svg.AddPolyline(3, 3, 2, clRed);
    EXPECT_EQ(
        last(svg),
        QStringLiteral("<polyline points=\"1 2 30 40 -5 6\" fill=\"none\" stroke=\"rgb(255,0,0)\" "
                       "stroke-width=\"3\" stroke-dasharray=\"24,15\"/>"));

    svg.AddPolygon(3, 2, true, false, clWhite, clBlack, 0);
    EXPECT_EQ(last(svg), QStringLiteral("<polygon points=\"1 2 30 40 -5 6\" fill=\"none\" "
                                        "stroke=\"rgb(0,0,0)\" stroke-width=\"2\"/>"));
    svg.AddPolygon(3, 0, false, true, 0x00FF00, clBlack, 1);
    EXPECT_EQ(
        last(svg),
        QStringLiteral("<polygon points=\"1 2 30 40 -5 6\" fill=\"rgb(0,255,0)\" stroke=\"none\" "
                       "stroke-width=\"1\" stroke-dasharray=\"2,4\"/>"));

    svg.CoordFactor = 100;
    svg.AddCircle({1234, -5}, 250, true, true, clWhite, clRed, 0, 2);
    EXPECT_EQ(
        last(svg),
        QStringLiteral("<circle cx=\"12.34\" cy=\"-0.05\" r=\"2.50\" fill=\"rgb(255,255,255)\" "
                       "stroke=\"rgb(255,0,0)\" stroke-width=\"2\"/>"));
    svg.AddLine({100, 200}, {300, 400}, clBlack, 0, QStringLiteral("Clip_3"));
    EXPECT_EQ(
        last(svg),
        QStringLiteral("<line x1=\"1.00\" y1=\"2.00\" x2=\"3.00\" y2=\"4.00\" fill=\"none\" "
                       "stroke=\"rgb(0,0,0)\" stroke-width=\"1\" clip-path=\"url(#Clip_3)\"/>"));
    svg.CoordFactor = 1;
    svg.AddLine({1, 2}, {3, 4}, clBlack, 5);
    EXPECT_EQ(last(svg), QStringLiteral("<line x1=\"1\" y1=\"2\" x2=\"3\" y2=\"4\" fill=\"none\" "
                                        "stroke=\"rgb(0,0,0)\" stroke-width=\"5\"/>"));
}

TEST(SvgWriter, PathSegments) {
    TSVG svg;
    svg.BeginPath(0, 3, QStringLiteral("clip-path=\"url(#Clip_0)\""), true, false, 0, clBlack);
    svg.PathMoveTo({10, 20});
    svg.SetPoint(0, {30, 40});
    svg.SetPoint(1, {50, 60});
    svg.PathLineTo(2);
    svg.CoordFactor = 100;
    svg.PathQuadTo({150, 250}, {-100, 0});
    svg.PathCubicTo({1, 2}, {3, 4}, {5, 6}); // plain integers whatever the factor
    svg.PathArcTo({1000, 2000}, 500, 250, true);
    svg.PathClose();
    svg.EndPath();
    EXPECT_EQ(last(svg), QStringLiteral("<path fill=\"none\" stroke=\"rgb(0,0,0)\" "
                                        "stroke-width=\"0\" stroke-dasharray=\"2,4,8,4\" "
                                        "clip-path=\"url(#Clip_0)\" d=\" M 10 20 L 30 40 50 60 Q "
                                        "1.50 2.50 -1.00 0.00 C 1 2 3 4 5 6 "
                                        "A 5.00 2.50 0 1 0 10.00 20.00 Z\" />"));
    EXPECT_TRUE(svg.PathText.isEmpty());
}

TEST(SvgWriter, ClipPathsAreNumberedPerFile) {
    TSVG svg;
    EXPECT_EQ(svg.BeginClipPath(), QStringLiteral("Clip_0"));
    svg.EndClipPath();
    EXPECT_EQ(svg.BeginClipPath(), QStringLiteral("Clip_1"));
    svg.EndClipPath();
    EXPECT_EQ(svg.ClipCount, 2);
    EXPECT_EQ(svg.SvgLines,
              QStringList({"<defs>", "<clipPath id=\"Clip_0\">", "</clipPath>", "</defs>", "<defs>",
                           "<clipPath id=\"Clip_1\">", "</clipPath>", "</defs>"}));
}

TEST(SvgWriter, PointBufferGrowsForLongLines) {
    TSVG svg;
    EXPECT_EQ(svg.PointBuffer.size(), 5001u);
    const int n = 12000;
    for (int i = 0; i < n; ++i)
        svg.SetPoint(i, {i, -i});
    svg.AddPolyline(n, 1, 0, clBlack);
    const QString line = last(svg);
    EXPECT_TRUE(line.contains(QStringLiteral(" 11999 -11999\""))) << "last point written";
    EXPECT_EQ(line.count(QLatin1Char(' ')), 2 * n - 1 + 4);
    svg.AddPolyline(n + 50, 1, 0, clBlack); // never reads past the buffer
    EXPECT_EQ(last(svg), line);
}

TEST(SvgWriter, SaveToFileWritesCrLfUtf8AndReportsFailure) {
    QTemporaryDir dir;
    TSVG svg;
    svg.Create(2100, 2970, QStringLiteral("Überschrift"));
    const QString name = dir.filePath(QStringLiteral("a.svg"));
    ASSERT_TRUE(svg.SaveToFile(name));
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(bytes.endsWith("</svg>\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), bytes.count('\n'));
    EXPECT_TRUE(bytes.contains("<title>\xC3\x9C"
                               "berschrift</title>"));
    EXPECT_EQ(svg.SvgLines.last(), QStringLiteral("</defs>")); // closing tag not kept

    EXPECT_FALSE(svg.SaveToFile(dir.filePath(QStringLiteral("missing/b.svg"))));
    EXPECT_FALSE(svg.ErrorString.isEmpty());
}

TEST(SvgWriter, HatchedShapeIsValidSvg) {
    TSVG svg;
    svg.Create(2000, 1000, QStringLiteral("hatch & co"));
    for (int k = 0; k < 2; ++k) {
        TTestShape e({{100.f + 800 * k, 100}, {700.f + 800 * k, 100}, {400.f + 800 * k, 900}});
        e.FillStyle = quint8(k == 0 ? 4 : 6);
        e.FillColor = 0x0000FF;
        e.HatchWidth = 2;
        e.HatchDistance = 5; // drawn as 10
        const QString clip = svg.BeginClipPath();
        EXPECT_EQ(clip, QStringLiteral("Clip_%1").arg(k));
        for (int i = 0; i < 3; ++i)
            svg.SetPoint(i, {int(e.Points[size_t(i)].X), int(e.Points[size_t(i)].Y)});
        svg.AddPolygon(3, 1, true, false, 0, 0, 0);
        svg.EndClipPath();
        WriteSvgHatch(svg, e, clip);
        EXPECT_TRUE(last(svg).contains(QStringLiteral("clip-path=\"url(#%1)\"").arg(clip)));
        EXPECT_TRUE(last(svg).contains(QStringLiteral("stroke-width=\"2\"")));
    }
    // Horizontal step of the vertical lines of the second shape: 2 + 10.
    EXPECT_TRUE(svg.SvgLines.contains(QStringLiteral(
        "<line x1=\"912\" y1=\"100\" x2=\"912\" y2=\"900\" fill=\"none\" stroke=\"rgb(255,0,0)\" "
        "stroke-width=\"2\" clip-path=\"url(#Clip_1)\"/>")));

    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("hatch.svg"));
    ASSERT_TRUE(svg.SaveToFile(name));
    if (HaveTool(QStringLiteral("xmllint"))) {
        const ProcessResult r =
            RunProgram(QStringLiteral("xmllint"), {QStringLiteral("--noout"), name});
        EXPECT_EQ(r.code, 0) << r.Err().toStdString();
    }
    if (HaveTool(QStringLiteral("rsvg-convert"))) {
        const QString png = dir.filePath(QStringLiteral("hatch.png"));
        const ProcessResult r =
            RunProgram(QStringLiteral("rsvg-convert"), {QStringLiteral("-o"), png, name});
        EXPECT_EQ(r.code, 0) << r.Err().toStdString();
        EXPECT_TRUE(QFile::exists(png));
    }
}
