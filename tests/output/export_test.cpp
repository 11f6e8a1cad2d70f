#include "elements/Bezier.h"
#include "elements/Gruppe.h"
#include "elements/Kreis.h"
#include "elements/MyD2D.h"
#include "elements/PixelBitmap.h"
#include "elements/Polyline.h"
#include "elements/Rechteck.h"
#include "elements/lpunkt.h"
#include "elements/polygon.h"
#include "output/export.h"
#include "platform/messages.h"
#include "platform/stream.h"
#include "support/processes.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {
std::unique_ptr<TPolyLine> line(TRPointArray pts, int width = 10, qint32 color = clBlack) {
    auto p = std::make_unique<TPolyLine>();
    p->ResetStyle();
    p->Points = std::move(pts);
    p->LineWidth = width;
    p->LineColor = color;
    return p;
}

// Every element type there is, in every line, end, fill and corner style.
TElementList everyStyleSheet() {
    TElementList list;
    for (int dash = 0; dash < 8; ++dash) {
        auto p = line(
            {{100, 100.f + 60 * dash}, {900, 100.f + 60 * dash}, {950, 130.f + 60 * dash}}, dash);
        p->PenStyle = quint8(dash);
        p->TwoColor = dash % 2 == 1;
        p->LineColor2 = 0x00A0FF;
        p->InnerStripe = dash >= 4;
        p->CrossStripes = dash >= 6;
        p->StartEnd = quint8(dash + 1);
        p->FinishEnd = quint8(dash + 4);
        p->EndSize = dash % 6;
        p->FormLayer = dash == 3;
        list.push_back(std::move(p));
    }
    for (int k = 0; k < 12; ++k) {
        auto b = std::make_unique<TBezier>();
        b->ResetStyle();
        const float x = 1100.f + 70 * k;
        b->Points = {{x, 100},      {x + 60, 150}, {x - 60, 250}, {x, 300},
                     {x + 60, 350}, {x, 420},      {x, 480}};
        b->StartEnd = quint8(k);
        b->FinishEnd = quint8(11 - k);
        b->LineWidth = k;
        b->PenStyle = quint8(k % 8);
        b->TwoColor = k % 3 == 0;
        b->InnerStripe = k % 4 == 1;
        b->CrossStripes = k % 5 == 2;
        list.push_back(std::move(b));
    }
    // Closed shapes in every fill style, outline style and corner or arc form.
    const int fills[] = {0, 2, 3, 4, 5, 6, 7};
    for (int k = 0; k < 7; ++k) {
        const int style = fills[k];
        const float x = 100.f + 250 * k;
        auto fill = [&](TElement& e) {
            e.NoFill = false;
            e.FillStyle = quint8(style);
            e.FillColor = 0x2080C0;
            e.HatchWidth = style;
            e.HatchDistance = 5 * style; // below 10 for some: drawn and written as 10
            e.ShapePenStyle = k;
            e.TwoColor = k == 3;
            e.InnerStripe = k == 4;
            e.CrossStripes = k == 5;
            e.LineWidth = 1 + k;
        };
        auto poly = std::make_unique<TPolygon>();
        poly->Points = {{x, 700}, {x + 200, 700}, {x + 100, 950}};
        fill(*poly);
        list.push_back(std::move(poly));

        auto rect = std::make_unique<TRechteck>(TRRect{x, 1000, x + 200, 1200});
        fill(*rect);
        rect->CornerStyle = k % 2 ? TRechteck::csChamfered : TRechteck::csRounded;
        rect->SetRoundingPercent(k == 0 ? 0 : 30);
        list.push_back(std::move(rect));

        auto ellipse = std::make_unique<TKreis>(TRRect{x, 1250, x + 200, 1380});
        fill(*ellipse);
        ellipse->ArcStyle = k % 3;
        if (k > 0) {
            ellipse->StartAngle = 0.3f * k;
            ellipse->StopAngle = 0.3f * k + 4;
            ellipse->UpdateGrips();
        }
        list.push_back(std::move(ellipse));
    }
    // A group of a line and a circle, a junction dot, a picture (which has no SVG form).
    auto group = std::make_unique<TGruppe>();
    group->Add(line({{2000, 700}, {2200, 900}}, 4));
    group->Add(std::make_unique<TKreis>(TRRect{2000, 700, 2200, 900}));
    list.push_back(std::move(group));
    auto dot = std::make_unique<TLoetpunkt>(TRPoint{2100, 1000});
    dot->SetDiameter(30);
    dot->FillColor = 0x0000FF;
    list.push_back(std::move(dot));
    auto picture = std::make_unique<TPixelBitmap>();
    QImage pixels(8, 8, QImage::Format_RGB888);
    pixels.fill(Qt::green);
    picture->SetImage(pixels);
    picture->Corners = {TRPoint{2300, 700}, TRPoint{2500, 700}, TRPoint{2500, 900},
                        TRPoint{2300, 900}};
    list.push_back(std::move(picture));
    return list;
}

QByteArray records(const TElementList& list) {
    QByteArray b;
    TStreamWriter w(&b);
    for (const TElementPtr& e : list)
        e->SaveToStream(w);
    return b;
}

QString identify(const QString& format, const QString& file) {
    const ProcessResult r =
        RunProgram(QStringLiteral("identify"), {QStringLiteral("-format"), format, file});
    EXPECT_EQ(r.code, 0) << r.Err().toStdString();
    return r.Out().trimmed();
}
} // namespace

TEST(Export, AreasAndOutputSizes) {
    const TExportRegion a4 = PageRegion(210, 297);
    EXPECT_EQ(ExportOutputSize(a4, TExportFormat::PNG, 150), QSize(1240, 1754));
    EXPECT_EQ(ExportOutputSize(a4, TExportFormat::BMP, 300), QSize(2480, 3508));
    EXPECT_EQ(ExportOutputSize(a4, TExportFormat::SVG, 150), QSize(2100, 2970));
    EXPECT_DOUBLE_EQ(ExportZoom(150), 0.591);
    EXPECT_DOUBLE_EQ(ExportZoom(20), 0.079);
    EXPECT_DOUBLE_EQ(ExportZoom(300), 1.181);

    // An empty sheet's element area is the margin alone.
    const TExportRegion empty = MarginRegion(UnionOfBounds({}));
    EXPECT_EQ(empty.Origin, (TRPoint{-40, -40}));
    EXPECT_DOUBLE_EQ(empty.WidthMm, 8);
    EXPECT_DOUBLE_EQ(empty.HeightMm, 8);

    TElementList list;
    list.push_back(line({{100, 200}, {600, 200}}, 2));
    list.push_back(line({{300, 50}, {300, 400}}, 2));
    const TRRect u = UnionOfBounds(ElementPointers(list));
    EXPECT_EQ(u, (TRRect{99, 49, 601, 401}));
    const TExportRegion all = MarginRegion(u);
    EXPECT_EQ(all.Origin, (TRPoint{59, 9}));
    EXPECT_DOUBLE_EQ(all.WidthMm, 50.2 + 8);
    // An area 53.27 mm wide gives W = 533 world units.
    EXPECT_EQ(ExportOutputSize({{0, 0}, 53.27, 10}, TExportFormat::SVG, 0).width(), 533);

    TExportFormat f;
    EXPECT_TRUE(ExportFormatOfName(QStringLiteral("/x/a.JPEG"), f));
    EXPECT_EQ(f, TExportFormat::JPG);
    EXPECT_FALSE(ExportFormatOfName(QStringLiteral("a.emf"), f));
}

TEST(Export, RasterPlacesElementsAndLeavesThemUnchanged) {
    TElementList list;
    list.push_back(line({{100, 100}, {1000, 100}}, 10));
    list.back()->SetSelected(true);
    const QByteArray before = records(list);

    TExportOptions o;
    o.Format = TExportFormat::PNG;
    const QImage page = RenderExportImage(ElementPointers(list), PageRegion(210, 297), o);
    ASSERT_EQ(page.size(), QSize(1240, 1754));
    EXPECT_EQ(page.pixel(300, 59), qRgb(0, 0, 0)) << "drawn unselected, at zoom 0.591";
    EXPECT_EQ(page.pixel(300, 70), qRgb(255, 255, 255));
    EXPECT_EQ(page.pixel(40, 59), qRgb(255, 255, 255));

    // The element area starts 4 mm before the line's bounds.
    const TExportRegion all = MarginRegion(UnionOfBounds(ElementPointers(list)));
    const QImage part = RenderExportImage(ElementPointers(list), all, o);
    EXPECT_EQ(part.size(), QSize(585, 53)); // 99 x 9 mm
    EXPECT_EQ(part.pixel(40, 26), qRgb(0, 0, 0));
    EXPECT_EQ(part.pixel(10, 26), qRgb(255, 255, 255));

    EXPECT_EQ(records(list), before) << "points not moved";
    EXPECT_TRUE(list.back()->Selected) << "selection restored";
}

TEST(Export, FilesInEveryFormat) {
    QTemporaryDir dir;
    TElementList list = everyStyleSheet();
    const std::vector<TElement*> all = ElementPointers(list);
    const TExportRegion a4 = PageRegion(210, 297);
    QString error;

    TExportOptions png;
    png.Format = TExportFormat::PNG;
    png.Transparent = true;
    const QString pngName = dir.filePath(QStringLiteral("t.png"));
    ASSERT_TRUE(ExportElements(all, a4, png, pngName, &error)) << error.toStdString();
    QImage t(pngName);
    ASSERT_EQ(t.size(), QSize(1240, 1754));
    EXPECT_TRUE(t.hasAlphaChannel());
    EXPECT_EQ(qAlpha(t.pixel(5, 5)), 0) << "background transparent";
    EXPECT_EQ(qAlpha(t.pixel(300, 59)), 255);
    EXPECT_EQ(t.pixel(300, 59), qRgb(0, 0, 0));
    // A drawn pixel of exactly the background's key colour (red 1, green 2, blue 3) is
    // transparent as well; one a step away is not.
    TElementList keyed;
    keyed.push_back(line({{100, 100}, {1000, 100}}, 10, 0x030201));
    keyed.push_back(line({{100, 300}, {1000, 300}}, 10, 0x030202));
    ASSERT_TRUE(ExportElements(ElementPointers(keyed), a4, png, pngName, &error));
    const QImage k(pngName);
    EXPECT_EQ(qAlpha(k.pixel(300, 59)), 0);
    EXPECT_EQ(k.pixel(300, 177), qRgb(2, 2, 3));

    png.Transparent = false;
    ASSERT_TRUE(ExportElements(all, a4, png, pngName, &error));
    EXPECT_EQ(QImage(pngName).pixel(5, 5), qRgb(255, 255, 255));

    TExportOptions bmp;
    bmp.Format = TExportFormat::BMP;
    bmp.BlackWhite = true;
    bmp.Resolution = 100;
    const QString bw = dir.filePath(QStringLiteral("bw.bmp"));
    ASSERT_TRUE(ExportElements(all, a4, bmp, bw, &error)) << error.toStdString();
    bmp.BlackWhite = false;
    const QString colour = dir.filePath(QStringLiteral("c.bmp"));
    ASSERT_TRUE(ExportElements(all, a4, bmp, colour, &error));
    const QImage bwImage(bw);
    EXPECT_EQ(bwImage.depth(), 1);
    EXPECT_EQ(bwImage.size(), QSize(827, 1169));

    TExportOptions jpg;
    jpg.Format = TExportFormat::JPG;
    jpg.BlackWhite = true; // ignored: JPG is always in colour
    const QString jpgName = dir.filePath(QStringLiteral("c.jpg"));
    ASSERT_TRUE(ExportElements(all, a4, jpg, jpgName, &error)) << error.toStdString();
    EXPECT_EQ(QImage(jpgName).size(), QSize(1240, 1754));
    EXPECT_FALSE(QImage(jpgName).isGrayscale());

    if (HaveTool(QStringLiteral("identify"))) {
        EXPECT_EQ(identify(QStringLiteral("%z"), bw), QStringLiteral("1")) << "1 bit per pixel";
        EXPECT_EQ(identify(QStringLiteral("%z %w %h"), colour), QStringLiteral("8 827 1169"));
        EXPECT_EQ(identify(QStringLiteral("%m %w %h"), jpgName), QStringLiteral("JPEG 1240 1754"));
        EXPECT_EQ(identify(QStringLiteral("%m %A"), pngName).left(3), QStringLiteral("PNG"));
    }
}

TEST(Export, SvgOfASheetWithEveryTypeAndStyle) {
    QTemporaryDir dir;
    TElementList list = everyStyleSheet();
    const QByteArray before = records(list);
    const QString name = dir.filePath(QStringLiteral("sheet & co.svg"));
    TExportOptions o;
    o.Format = TExportFormat::SVG;
    QString error;
    ASSERT_TRUE(ExportElements(ElementPointers(list), PageRegion(210, 297), o, name, &error))
        << error.toStdString();
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray svg = f.readAll();
    EXPECT_TRUE(svg.contains("width=\"210mm\" height=\"297mm\"\r\n"));
    EXPECT_TRUE(svg.contains("viewBox=\"0 0 2100 2970\">\r\n"));
    EXPECT_TRUE(svg.contains("<title>sheet &amp; co</title>\r\n"));
    EXPECT_TRUE(svg.contains("clip-path=\"url(#Clip_17)\"")) << "eighteen hatched shapes";
    EXPECT_FALSE(svg.contains("url(#Clip_18)"));
    EXPECT_TRUE(svg.contains("<circle cx=\"2100\" cy=\"1000\" r=\"15\"")) << "the junction dot";
    EXPECT_EQ(records(list), before);

    if (HaveTool(QStringLiteral("xmllint"))) {
        const ProcessResult r =
            RunProgram(QStringLiteral("xmllint"), {QStringLiteral("--noout"), name});
        EXPECT_EQ(r.code, 0) << r.Err().toStdString();
        EXPECT_TRUE(r.err.isEmpty()) << r.Err().toStdString();
    }
    if (HaveTool(QStringLiteral("rsvg-convert"))) {
        const QString png = dir.filePath(QStringLiteral("sheet.png"));
        const ProcessResult r =
            RunProgram(QStringLiteral("rsvg-convert"), {QStringLiteral("-w"), QStringLiteral("420"),
                                                        QStringLiteral("-o"), png, name});
        EXPECT_EQ(r.code, 0) << r.Err().toStdString();
        const QImage img(png);
        ASSERT_EQ(img.width(), 420);
        int ink = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                ink += qAlpha(img.pixel(x, y)) > 0;
        EXPECT_GT(ink, 2000) << "the drawing shows";
    }

    // The element area moves the drawing to the margin and back.
    const TExportRegion all = MarginRegion(UnionOfBounds(ElementPointers(list)));
    const QString part = dir.filePath(QStringLiteral("part.svg"));
    ASSERT_TRUE(ExportElements(ElementPointers(list), all, o, part, &error));
    QFile pf(part);
    ASSERT_TRUE(pf.open(QIODevice::ReadOnly));
    const QByteArray pbytes = pf.readAll();
    const QSize size = ExportOutputSize(all, TExportFormat::SVG, 0);
    EXPECT_TRUE(pbytes.contains(
        QStringLiteral("viewBox=\"0 0 %1 %2\">").arg(size.width()).arg(size.height()).toUtf8()));
}

TEST(Export, FailedWritesAreReported) {
    QTemporaryDir dir;
    TElementList list;
    list.push_back(line({{100, 100}, {1000, 100}}));
    for (TExportFormat f :
         {TExportFormat::SVG, TExportFormat::PNG, TExportFormat::JPG, TExportFormat::BMP}) {
        TExportOptions o;
        o.Format = f;
        o.Resolution = 20;
        const QString name = dir.filePath(QStringLiteral("missing/out.x"));
        QString error;
        EXPECT_FALSE(ExportElements(ElementPointers(list), PageRegion(210, 297), o, name, &error));
        EXPECT_TRUE(error.startsWith(GetMessage(5004))) << error.toStdString();
        EXPECT_TRUE(error.endsWith(QStringLiteral("\r\r\"%1\"").arg(name))) << error.toStdString();
        EXPECT_FALSE(QFile::exists(name));
        // A device is written as it is, never replaced by a file: a full one fails.
        EXPECT_FALSE(ExportElements(ElementPointers(list), PageRegion(210, 297), o,
                                    QStringLiteral("/dev/full"), &error));
        struct stat st {};
        ASSERT_EQ(::stat("/dev/full", &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode)) << "/dev/full is still a device";
    }
    // An impossible image is refused with a message instead of an empty file.
    TExportOptions huge;
    huge.Format = TExportFormat::PNG;
    huge.Resolution = 300;
    QString error;
    const QString name = dir.filePath(QStringLiteral("huge.png"));
    EXPECT_FALSE(
        ExportElements(ElementPointers(list), PageRegion(100000, 100000), huge, name, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(name));
}
