// Texts: drawing a sheet of 5000 texts, and expanding the placeholders of every text of a
// 50-sheet document, the way a repaint and the page-label refresh do it.
#include "document/document.h"
#include "document/placeholders.h"
#include "elements/MyD2D.h"
#include "elements/SVG_Export.h"
#include "elements/TextRect.h"
#include "elements/text.h"
#include "support/dense_sheet.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <benchmark/benchmark.h>

namespace {
constexpr double kPi = 3.14159265358979323846;

// Labels as a schematic has them: designators, values, some page references, some turned.
void fillTextSheet(TEditor& sheet, int count, unsigned seed) {
    QRandomGenerator rnd(seed);
    static const char* const values[] = {"4k7",
                                         "100nF",
                                         "24V DC",
                                         "Motor 1,5 kW",
                                         "Not-Aus",
                                         "Klemme X1:3",
                                         "<PAGENO>/<NEXT_PAGENO>",
                                         "Typ <Typ>"};
    for (int i = 0; i < count; ++i) {
        auto t = std::make_unique<TText>();
        const QString text =
            i % 3 == 0 ? QStringLiteral("R%1").arg(i) : QString::fromUtf8(values[rnd.bounded(8)]);
        TTextFont font;
        font.Style = quint8(rnd.bounded(4) == 0 ? fsBold : 0);
        t->SetTextAndFormat(text, font, taLeft, 25 + int(rnd.bounded(35)));
        t->PlaceAt({float(rnd.bounded(kA3Width - 300)), float(rnd.bounded(kA3Height - 100))});
        if (i % 10 == 0) t->RotateCorners(t->Corners[0], -kPi / 2);
        sheet.Elements.push_back(std::move(t));
    }
}

TDocument& textDocument() {
    static TDocument* doc = [] {
        auto* d = new TDocument;
        d->CreateSheet(false).SheetName = QStringLiteral("Texte");
        d->Sheet(0).SheetWidth = 420;
        d->Sheet(0).SheetHeight = 297;
        d->UserVariables = {{QStringLiteral("Typ"), QStringLiteral("A")}};
        fillTextSheet(d->Sheet(0), 5000, 7);
        return d;
    }();
    return *doc;
}

void drawSheet(QImage& img, const TView& view, bool smooth) {
    img.fill(Qt::white);
    QPainter painter(&img);
    TDrawContext dc(painter, view, smooth);
    dc.ClipRect = QRectF(0, 0, img.width(), img.height());
    for (const TElementPtr& e : textDocument().Sheet(0).Elements)
        if (dc.NeedsDrawing(e->GetScreenRect(dc.View))) e->Draw(dc);
}

// A repaint of the whole sheet in a 1600 pixel wide window; glyph outlines cached.
void BM_DrawTextSheet(benchmark::State& state) {
    const bool smooth = state.range(0) != 0;
    TView view;
    view.ZoomX = view.ZoomY = 1600.f / kA3Width;
    QImage img(1600, int(kA3Height * view.ZoomY) + 1, QImage::Format_ARGB32_Premultiplied);
    drawSheet(img, view, smooth);
    for (auto _ : state)
        drawSheet(img, view, smooth);
    state.SetLabel(smooth ? "antialiased" : "plain, smoothed text");
    state.counters["texts"] = double(textDocument().Sheet(0).Elements.size());
}
BENCHMARK(BM_DrawTextSheet)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The first draw after every text changed: each text lays its glyphs out again (from the
// per-face outline cache).
void BM_DrawTextSheetRelayout(benchmark::State& state) {
    TView view;
    view.ZoomX = view.ZoomY = 1600.f / kA3Width;
    QImage img(1600, int(kA3Height * view.ZoomY) + 1, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        state.PauseTiming();
        for (const TElementPtr& e : textDocument().Sheet(0).Elements)
            static_cast<TText&>(*e).LayoutDirty = true;
        state.ResumeTiming();
        drawSheet(img, view, true);
    }
}
BENCHMARK(BM_DrawTextSheetRelayout)->Unit(benchmark::kMillisecond);

// An export of the sheet at 300 dpi.
void BM_DrawTextSheet300dpi(benchmark::State& state) {
    TView view;
    view.ZoomX = view.ZoomY = 1.181f;
    QImage img(4961, 3508, QImage::Format_RGB32);
    for (auto _ : state)
        drawSheet(img, view, false);
}
BENCHMARK(BM_DrawTextSheet300dpi)->Unit(benchmark::kMillisecond);

void BM_WriteTextSheetSvg(benchmark::State& state) {
    qint64 bytes = 0;
    for (auto _ : state) {
        TSVG svg;
        svg.Create(kA3Width, kA3Height, QStringLiteral("bench"));
        for (const TElementPtr& e : textDocument().Sheet(0).Elements)
            e->WriteSvg(svg);
        bytes = svg.ToBytes().size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_WriteTextSheetSvg)->Unit(benchmark::kMillisecond);

// 50 sheets of 200 texts each, every text with placeholders that need its sheet, the document
// or a link partner.
TDocument& fiftySheets() {
    static TDocument* doc = [] {
        auto* d = new TDocument;
        d->UserVariables = {{QStringLiteral("Anlage"), QStringLiteral("A7")},
                            {QStringLiteral("Kunde"), QStringLiteral("ACME")}};
        for (int s = 0; s < 50; ++s) {
            TEditor& sheet = d->CreateSheet(false);
            sheet.SheetName = QStringLiteral("Blatt %1").arg(s + 1);
            TText* previous = nullptr;
            for (int i = 0; i < 200; ++i) {
                auto t = std::make_unique<TText>();
                TText& ref = *t;
                sheet.Elements.push_back(std::move(t));
                switch (i % 4) {
                case 0:
                    ref.SetSourceText(QStringLiteral("Blatt <PAGENO> von <PAGECOUNT>"));
                    break;
                case 1:
                    ref.SetSourceText(QStringLiteral("<Anlage>-<Kunde> <PAGENAME>"));
                    break;
                case 2:
                    ref.SetLinkTargetReleased(true);
                    ref.SetSourceText(QStringLiteral("Ziel %1 <LINKFROM_PAGENO>").arg(i));
                    previous = &ref;
                    break;
                default:
                    ref.SetLinkTarget(previous->Id);
                    ref.SetSourceText(QStringLiteral("-> <LINK_PAGENO>.<LINK_TEXT>"));
                    break;
                }
            }
        }
        RefreshPageDependentLabels(*d, true);
        return d;
    }();
    return *doc;
}

// Re-expands every text of the document (the shown texts stay the same).
void BM_ExpandPlaceholders50Sheets(benchmark::State& state) {
    TDocument& doc = fiftySheets();
    const int before = PlaceholderLocatorBuilds();
    for (auto _ : state)
        RefreshPageDependentLabels(doc, true);
    state.counters["texts"] = double(DocumentTexts(doc).size());
    state.counters["locator builds"] = double(PlaceholderLocatorBuilds() - before);
}
BENCHMARK(BM_ExpandPlaceholders50Sheets)->Unit(benchmark::kMillisecond);

// The same after a sheet was moved: every page number changes and every text is laid out anew.
void BM_ExpandPlaceholdersAfterSheetMove(benchmark::State& state) {
    TDocument& doc = fiftySheets();
    for (auto _ : state) {
        doc.MoveSheet(0, doc.SheetCount() - 1);
        RefreshPageDependentLabels(doc, true);
    }
}
BENCHMARK(BM_ExpandPlaceholdersAfterSheetMove)->Unit(benchmark::kMillisecond);

// A text box of one long paragraph, wrapped at its width.
void BM_WrapTextBox(benchmark::State& state) {
    QString paragraph;
    for (int i = 0; i < state.range(0); ++i)
        paragraph += QStringLiteral("Wort%1 ").arg(i);
    TTextRect box;
    box.Lines = {paragraph};
    box.SetRect({0, 0, 1500, 100000});
    for (auto _ : state)
        box.LayoutLines();
    state.counters["lines"] = double(box.LineTexts.size());
}
BENCHMARK(BM_WrapTextBox)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
