// Redrawing a dense A3 sheet into an image, the way a sheet repaint and an export do it, and
// writing its SVG.
#include "elements/MyD2D.h"
#include "elements/SVG_Export.h"
#include "support/dense_sheet.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {
const TElementList& sheet() {
    static const TElementList list = MakeDenseSheet(10000);
    return list;
}

// Draws every element whose screen rectangle meets the image, as the sheet view does.
void drawSheet(QImage& img, const TView& view, bool smooth) {
    img.fill(Qt::white);
    QPainter painter(&img);
    TDrawContext dc(painter, view, smooth);
    dc.ClipRect = QRectF(0, 0, img.width(), img.height());
    for (const TElementPtr& e : sheet())
        if (dc.NeedsDrawing(e->GetScreenRect(dc.View))) e->Draw(dc);
}

// Screen: the whole sheet fits a 1600 pixel wide window.
void BM_ScreenRedraw(benchmark::State& state) {
    const bool smooth = state.range(0) != 0;
    TView view;
    view.ZoomX = view.ZoomY = 1600.f / kA3Width;
    QImage img(1600, int(kA3Height * view.ZoomY) + 1, QImage::Format_ARGB32_Premultiplied);
    drawSheet(img, view, smooth); // warm caches
    for (auto _ : state)
        drawSheet(img, view, smooth);
    state.SetLabel(smooth ? "antialiased" : "plain");
    state.counters["elements"] = double(sheet().size());
}
BENCHMARK(BM_ScreenRedraw)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// Export at 300 dpi: 4961 x 3508 pixels.
void BM_Render300dpi(benchmark::State& state) {
    const bool smooth = state.range(0) != 0;
    TView view;
    view.ZoomX = view.ZoomY = 1.181f;
    QImage img(4961, 3508, QImage::Format_RGB32);
    for (auto _ : state)
        drawSheet(img, view, smooth);
    state.SetLabel(smooth ? "antialiased" : "plain");
}
BENCHMARK(BM_Render300dpi)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_WriteSvg(benchmark::State& state) {
    qint64 bytes = 0;
    for (auto _ : state) {
        TSVG svg;
        svg.Create(kA3Width, kA3Height, QStringLiteral("bench"));
        for (const TElementPtr& e : sheet())
            e->WriteSvg(svg);
        bytes = svg.ToBytes().size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_WriteSvg)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
