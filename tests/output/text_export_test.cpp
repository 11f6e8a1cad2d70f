#include "elements/TextRect.h"
#include "elements/text.h"
#include "elements/textsettings.h"
#include "output/export.h"
#include "support/processes.h"

#include <QImage>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace {
constexpr double kPi = 3.14159265358979323846;

bool dark(QRgb c) {
    return qAlpha(c) > 128 && qGray(c) < 128;
}

// Inked pixels of an image within a rectangle, and their bounding box.
struct Ink {
    int count = 0;
    QRect box;
};
Ink inkIn(const QImage& img, const QRect& r) {
    Ink ink;
    for (int y = std::max(r.top(), 0); y <= std::min(r.bottom(), img.height() - 1); ++y)
        for (int x = std::max(r.left(), 0); x <= std::min(r.right(), img.width() - 1); ++x)
            if (dark(img.pixel(x, y))) {
                ++ink.count;
                ink.box = ink.box.united(QRect(x, y, 1, 1));
            }
    return ink;
}

// A pixel well inside a glyph: it and its eight neighbours are inked.
bool solid(const QImage& img, int x, int y) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (!dark(img.pixel(x + dx, y + dy))) return false;
    return true;
}
} // namespace

// The same texts exported as PNG and as SVG (drawn by rsvg-convert) put their glyphs on the same
// pixels: the outlines are the same polygons mapped through the same corners.
TEST(TextExport, TurnedMirroredAndShearedTextsLookTheSameInPngAndSvg) {
    if (!HaveTool(QStringLiteral("rsvg-convert"))) GTEST_SKIP() << "rsvg-convert not installed";
    TTextSettings saved = g_TextSettings;
    g_TextSettings.TexteSpiegeln = true;

    auto make = [](const QString& s, TRPoint at) {
        auto t = std::make_unique<TText>();
        t->SetTextAndFormat(s, t->Font, taLeft, 90);
        t->PlaceAt(at);
        return t;
    };
    TElementList list;
    auto turned = make(QStringLiteral("Kavro 45°"), {150, 200});
    turned->RotateCorners(Midpoint(turned->Corners[0], turned->Corners[2]), -kPi / 4);
    auto mirrored = make(QStringLiteral("Spiegel"), {600, 60});
    mirrored->MirrorX(Midpoint(mirrored->Corners[0], mirrored->Corners[2]));
    auto sheared = make(QStringLiteral("Schräg gj"), {560, 300});
    sheared->ShearAt(Midpoint(sheared->Corners[0], sheared->Corners[2]), 0.4, 0.1);
    auto all = make(QStringLiteral("Alles@8"), {200, 380});
    const TRPoint c = Midpoint(all->Corners[0], all->Corners[2]);
    all->RotateCorners(c, kPi / 4);
    all->MirrorY(c);
    all->ShearAt(c, -0.3, 0);
    std::vector<QRect> areas;
    for (TText* t : {turned.get(), mirrored.get(), sheared.get(), all.get()}) {
        const TRRect b = t->GetBounds();
        areas.push_back(QRect(QPoint(int(b.Left) - 3, int(b.Top) - 3),
                              QPoint(int(b.Right) + 3, int(b.Bottom) + 3))
                            .intersected(QRect(2, 2, 996, 596)));
    }
    list.push_back(std::move(turned));
    list.push_back(std::move(mirrored));
    list.push_back(std::move(sheared));
    list.push_back(std::move(all));
    g_TextSettings = saved;

    // 254 dpi makes one pixel per world unit; the SVG is drawn at the same scale.
    QTemporaryDir dir;
    const TExportRegion page = PageRegion(100, 60);
    TExportOptions png;
    png.Format = TExportFormat::PNG;
    png.Resolution = 254;
    QString error;
    const QString pngName = dir.filePath(QStringLiteral("texts.png"));
    const QString svgName = dir.filePath(QStringLiteral("texts.svg"));
    ASSERT_TRUE(ExportElements(ElementPointers(list), page, png, pngName, &error))
        << error.toStdString();
    TExportOptions svg;
    svg.Format = TExportFormat::SVG;
    ASSERT_TRUE(ExportElements(ElementPointers(list), page, svg, svgName, &error))
        << error.toStdString();
    if (HaveTool(QStringLiteral("xmllint"))) {
        const ProcessResult lint =
            RunProgram(QStringLiteral("xmllint"), {QStringLiteral("--noout"), svgName});
        EXPECT_EQ(lint.code, 0) << lint.Err().toStdString();
    }
    const QString drawn = dir.filePath(QStringLiteral("svg.png"));
    const ProcessResult r =
        RunProgram(QStringLiteral("rsvg-convert"),
                   {QStringLiteral("-w"), QStringLiteral("1000"), QStringLiteral("-b"),
                    QStringLiteral("white"), QStringLiteral("-o"), drawn, svgName});
    ASSERT_EQ(r.code, 0) << r.Err().toStdString();
    const QImage a(pngName), b(drawn);
    if (qEnvironmentVariableIsSet("KAVRO_KEEP_TEST_IMAGES")) {
        a.save(QStringLiteral("/tmp/kavro-texts-png.png"));
        b.save(QStringLiteral("/tmp/kavro-texts-svg.png"));
    }
    ASSERT_EQ(a.size(), QSize(1000, 600));
    ASSERT_EQ(b.size(), a.size());

    for (size_t i = 0; i < areas.size(); ++i) {
        SCOPED_TRACE(i);
        const Ink ia = inkIn(a, areas[i]), ib = inkIn(b, areas[i]);
        ASSERT_GT(ia.count, 800) << "the text shows in the PNG";
        EXPECT_NEAR(ib.count, ia.count, ia.count * 0.08);
        for (int d : {ia.box.left() - ib.box.left(), ia.box.right() - ib.box.right(),
                      ia.box.top() - ib.box.top(), ia.box.bottom() - ib.box.bottom()})
            EXPECT_LE(std::abs(d), 2) << "bounding boxes agree";
        // Probes: every pixel deep inside a glyph in one picture is inked in the other.
        int probes = 0, misses = 0;
        for (int y = areas[i].top() + 1; y < areas[i].bottom(); y += 2)
            for (int x = areas[i].left() + 1; x < areas[i].right(); x += 2) {
                if (solid(a, x, y)) {
                    ++probes;
                    misses += !dark(b.pixel(x, y));
                }
                if (solid(b, x, y)) {
                    ++probes;
                    misses += !dark(a.pixel(x, y));
                }
            }
        EXPECT_GT(probes, 100);
        EXPECT_LE(misses, probes / 100);
    }
}

// A text box writes its lines clipped to the box, as the screen shows them.
TEST(TextExport, TextBoxLinesAreClippedInTheSvg) {
    if (!HaveTool(QStringLiteral("rsvg-convert"))) GTEST_SKIP() << "rsvg-convert not installed";
    TElementList list;
    auto box = std::make_unique<TTextRect>();
    box->Lines = {QStringLiteral("Überbreitesteswort"), QStringLiteral("zwei")};
    box->SetRect({100, 100, 200, 300});
    box->Fill = true;
    box->FillColorText = 0x00FFFF;
    box->LayoutLines();
    list.push_back(std::move(box));
    QTemporaryDir dir;
    const QString svgName = dir.filePath(QStringLiteral("box.svg"));
    TExportOptions svg;
    svg.Format = TExportFormat::SVG;
    QString error;
    ASSERT_TRUE(ExportElements(ElementPointers(list), PageRegion(40, 40), svg, svgName, &error));
    const QString drawn = dir.filePath(QStringLiteral("box.png"));
    const ProcessResult r =
        RunProgram(QStringLiteral("rsvg-convert"),
                   {QStringLiteral("-w"), QStringLiteral("400"), QStringLiteral("-b"),
                    QStringLiteral("white"), QStringLiteral("-o"), drawn, svgName});
    ASSERT_EQ(r.code, 0) << r.Err().toStdString();
    const QImage img(drawn);
    EXPECT_GT(inkIn(img, QRect(100, 100, 100, 100)).count, 200);
    EXPECT_EQ(inkIn(img, QRect(202, 90, 190, 100)).count, 0) << "nothing beyond the box edge";
    EXPECT_EQ(img.pixel(105, 250), qRgb(255, 255, 0)) << "background filled";
}
