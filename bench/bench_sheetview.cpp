// Repainting a sheet view of 10 000 elements: the whole visible area (as after a zoom), the strip
// a scroll step brings into view, and an overlay change on the kept background.
#include "editor/editor.h"
#include "editor/gui/SheetView.h"
#include "editor/viewsettings.h"
#include "elements/MyD2D.h"
#include "support/dense_sheet.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {
constexpr QSize kClient(1600, 1000);

// A dense A3 sheet; each benchmark gets its own copy of the view state.
TEditor& denseSheet() {
    static TEditor sheet;
    static const bool filled = [] {
        sheet.SheetWidth = kA3Width / 10;
        sheet.SheetHeight = kA3Height / 10;
        sheet.Elements = MakeDenseSheet(10000);
        return true;
    }();
    (void)filled;
    return sheet;
}

// Zoom: 0 the whole sheet in the view, 1 ten times closer (a quarter of the sheet wide).
void setUp(TEditor& s, int zoomCase) {
    s.SetViewPort(nullptr);
    s.SetClientSize(kClient, kClient);
    s.ZoomSheet();
    if (zoomCase == 1) s.ZoomAt({kA3Width / 2.f, kA3Height / 2.f}, false, s.Zoom * 4);
}

void BM_FullViewRepaint(benchmark::State& state) {
    g_RenderSettings.UseD2D = state.range(0) != 0;
    g_SheetViewSettings.Kontrast = int(state.range(2));
    TEditor& s = denseSheet();
    setUp(s, int(state.range(1)));
    QImage img(kClient, QImage::Format_ARGB32_Premultiplied);
    const QRect all(QPoint(0, 0), kClient);
    for (auto _ : state) {
        QPainter p(&img);
        s.Paint(p, all);
    }
    state.SetLabel(std::string(g_RenderSettings.UseD2D ? "antialiased" : "plain") +
                   (state.range(1) ? ", zoomed in" : ", whole sheet") +
                   (state.range(2) ? ", grid" : ", no grid"));
    g_SheetViewSettings.Kontrast = 2;
    state.counters["elements"] = double(s.Elements.size());
}
BENCHMARK(BM_FullViewRepaint)
    ->Args({1, 0, 2})
    ->Args({0, 0, 2})
    ->Args({1, 1, 2})
    ->Args({0, 1, 2})
    ->Args({1, 1, 0})
    ->Unit(benchmark::kMillisecond);

// The walk over the list alone: a clip rectangle of one pixel that no element meets.
void BM_CullingWalk(benchmark::State& state) {
    TEditor& s = denseSheet();
    setUp(s, 1);
    QImage img(kClient, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter p(&img);
        s.Paint(p, QRect(1599, 999, 1, 1));
    }
}
BENCHMARK(BM_CullingWalk)->Unit(benchmark::kMillisecond);

// The widget as the user scrolls with the arrows of a scroll bar: 40 pixels a step, the kept
// picture moves and only the new strip is rendered.
void BM_ScrollStep(benchmark::State& state) {
    g_RenderSettings.UseD2D = state.range(0) != 0;
    TEditor& s = denseSheet();
    TSheetView view;
    view.resize(kClient);
    view.show();
    view.SetSheet(&s);
    s.SetClientSize(view.viewport()->size(), view.maximumViewportSize());
    s.ZoomSheet();
    s.ZoomAt({kA3Width / 2.f, kA3Height / 2.f}, false, s.Zoom * 4);
    view.RenderNow();
    int direction = 40;
    for (auto _ : state) {
        const QPoint before = s.Scroll();
        s.ScrollTo(before + QPoint(0, direction));
        if (s.Scroll() == before) {
            direction = -direction;
            s.ScrollTo(before + QPoint(0, direction));
        }
        view.RenderNow();
    }
    state.SetLabel(g_RenderSettings.UseD2D ? "antialiased" : "plain");
    state.counters["full"] = view.FullRenders();
    state.counters["strips"] = view.PartialRenders();
    view.SetSheet(nullptr);
}
BENCHMARK(BM_ScrollStep)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// Moving the crosshair: the kept picture is copied and the overlay drawn; no element renders.
void BM_OverlayMove(benchmark::State& state) {
    TEditor& s = denseSheet();
    TSheetView view;
    view.resize(kClient);
    view.show();
    view.SetSheet(&s);
    s.SetClientSize(view.viewport()->size(), view.maximumViewportSize());
    s.ZoomSheet();
    view.RenderNow();
    float x = 100;
    for (auto _ : state) {
        x = x > 4000 ? 100 : x + 7;
        s.SetCrosshair(TRPoint{x, 1000});
        // What a paint of the view does: the kept picture and the overlay on it.
        benchmark::DoNotOptimize(view.viewport()->grab());
    }
    state.counters["full"] = view.FullRenders();
    view.SetSheet(nullptr);
}
BENCHMARK(BM_OverlayMove)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
