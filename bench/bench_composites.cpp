// Embedded pictures (the zlib stream of their records both ways), sheets full of components with
// parents and children (reading with re-linking, and drawing), dimension layout and automatic
// junction dots.
#include "document/document.h"
#include "document/fileformat.h"
#include "elements/Bemassung.h"
#include "elements/Gruppe.h"
#include "elements/Kontakt.h"
#include "elements/MyD2D.h"
#include "elements/PixelBitmap.h"
#include "elements/Polyline.h"
#include "elements/Rechteck.h"
#include "elements/bauteil.h"
#include "elements/lpunkt.h"
#include "elements/text.h"
#include "platform/stream.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <benchmark/benchmark.h>

namespace {
// A picture of side n: a photo-like one (smooth gradients with noise) or a flat drawing-like one.
QImage Picture(int n, bool photo) {
    QImage img(n, n, QImage::Format_RGB888);
    QRandomGenerator rng(7);
    for (int y = 0; y < n; ++y) {
        uchar* line = img.scanLine(y);
        for (int x = 0; x < n; ++x) {
            const int noise = photo ? int(rng.bounded(24)) : 0;
            const bool ink = !photo && ((x / 16 + y / 16) % 7 == 0);
            line[3 * x] = uchar(photo ? (x * 255 / n + noise) & 255 : ink ? 0 : 255);
            line[3 * x + 1] = uchar(photo ? (y * 255 / n + noise) & 255 : ink ? 0 : 255);
            line[3 * x + 2] = uchar(photo ? ((x + y) * 127 / n + noise) & 255 : 255);
        }
    }
    return img;
}

QByteArray Record(const TElement& e) {
    QByteArray b;
    TStreamWriter w(&b);
    e.SaveToStream(w);
    return b;
}

void BM_PictureSave(benchmark::State& state) {
    const int n = int(state.range(0));
    const bool photo = state.range(1) != 0;
    g_BitmapSettings.BMPZLib = state.range(2) != 0;
    TPixelBitmap pic;
    pic.SetImage(Picture(n, photo));
    qint64 size = 0;
    for (auto _ : state) {
        const QByteArray b = Record(pic);
        size = b.size();
        benchmark::DoNotOptimize(b.constData());
    }
    state.SetBytesProcessed(state.iterations() * pic.StoredBmp().size());
    state.counters["record/bmp"] = double(size) / double(pic.StoredBmp().size());
    state.SetLabel(std::string(photo ? "photo" : "drawing") +
                   (g_BitmapSettings.BMPZLib ? ", compressed" : ", stored"));
    g_BitmapSettings = TBitmapSettings{};
}
BENCHMARK(BM_PictureSave)
    ->Args({256, 1, 1})
    ->Args({1024, 1, 1})
    ->Args({2048, 1, 1})
    ->Args({2048, 0, 1})
    ->Args({2048, 1, 0})
    ->Unit(benchmark::kMillisecond);

void BM_PictureLoad(benchmark::State& state) {
    const int n = int(state.range(0));
    const bool photo = state.range(1) != 0;
    TPixelBitmap pic;
    pic.SetImage(Picture(n, photo));
    const QByteArray record = Record(pic);
    for (auto _ : state) {
        TPixelBitmap back;
        TStreamReader r(record);
        back.LoadFromStream(r);
        benchmark::DoNotOptimize(back.Image().constBits());
    }
    state.SetBytesProcessed(state.iterations() * pic.StoredBmp().size());
    state.SetLabel(photo ? "photo" : "drawing");
}
BENCHMARK(BM_PictureLoad)
    ->Args({256, 1})
    ->Args({2048, 1})
    ->Args({2048, 0})
    ->Unit(benchmark::kMillisecond);

void BM_PictureHistoryRecord(benchmark::State& state) {
    TPixelBitmap pic;
    pic.SetImage(Picture(2048, true));
    for (auto _ : state) {
        TBitmapHistoryScope history;
        benchmark::DoNotOptimize(Record(pic).size());
    }
    state.SetLabel("undo snapshot of a 2048 x 2048 picture: no pixels");
}
BENCHMARK(BM_PictureHistoryRecord);

// A relay-like component at x, y: a body of a few lines, a box and two contacts, and labels.
std::unique_ptr<TBauteil> Symbol(float x, float y, const QString& designator, qint32 id) {
    auto c = std::make_unique<TBauteil>();
    c->ComponentId = id;
    auto line = [&](TRPointArray pts) {
        auto p = std::make_unique<TPolyLine>();
        p->Points = std::move(pts);
        c->Body->Add(std::move(p));
    };
    line({{x, y}, {x, y + 40}});
    line({{x, y + 100}, {x, y + 140}});
    c->Body->Add(std::make_unique<TRechteck>(TRRect{x - 30, y + 40, x + 30, y + 100}));
    for (const char* name : {"A1", "A2"}) {
        auto k = std::make_unique<TKontakt>();
        k->SetSourceText(QString::fromLatin1(name));
        k->ContactName = QString::fromLatin1(name);
        k->Measure();
        k->PlaceAt({x + 5, y + (name[1] == '1' ? 20.f : 105.f)});
        c->Body->Add(std::move(k));
    }
    c->DesignatorLabel->SetSourceText(designator);
    c->DesignatorLabel->Measure();
    c->DesignatorLabel->PlaceAt({x + 40, y + 50});
    c->ValueLabel->SetSourceText(QStringLiteral("24V"));
    c->ValueLabel->Measure();
    c->ValueLabel->PlaceAt({x + 40, y + 80});
    return c;
}

// n components on ten sheets: every fourth a parent, each parent with three children that show
// the parent's designator.
std::unique_ptr<TDocument> ComponentDocument(int n) {
    auto doc = std::make_unique<TDocument>();
    doc->New();
    for (int s = 1; s < 10; ++s)
        doc->CreateSheet(false);
    TBauteil* parent = nullptr;
    for (int i = 0; i < n; ++i) {
        const float x = 100 + float(i % 40) * 100, y = 100 + float((i / 40) % 20) * 140;
        const bool isParent = i % 4 == 0;
        auto c = Symbol(
            x, y, isParent ? QStringLiteral("K%1").arg(i) : QStringLiteral("<PARENT_ID>"), i + 1);
        if (isParent) {
            c->IsParent = true;
            parent = c.get();
        } else {
            c->SetParent(parent);
        }
        doc->Sheet(i % 10).Elements.push_back(std::move(c));
    }
    return doc;
}

QByteArray DocumentBytes(const TDocument& doc) {
    QByteArray out;
    TStreamWriter w(&out);
    WriteDocumentData(w, doc, FileKind::Document);
    return out;
}

void BM_LoadComponents(benchmark::State& state) {
    const int n = int(state.range(0));
    const QByteArray data = DocumentBytes(*ComponentDocument(n));
    for (auto _ : state) {
        TDocument doc;
        if (ReadDocumentData(doc, data, FileKind::Document).Outcome != TLoadOutcome::Ok)
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(doc.SheetCount());
    }
    state.SetBytesProcessed(state.iterations() * data.size());
    state.counters["components/s"] =
        benchmark::Counter(double(n), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_LoadComponents)->Arg(1000)->Arg(8000)->Unit(benchmark::kMillisecond);

void BM_DrawComponents(benchmark::State& state) {
    auto doc = ComponentDocument(800);
    const TEditor& sheet = doc->Sheet(0); // 80 components
    TView view;
    view.ZoomX = view.ZoomY = 0.4f;
    QImage img(1700, 1200, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        img.fill(Qt::white);
        QPainter p(&img);
        TDrawContext dc(p, view, true);
        for (const TElementPtr& e : sheet.Elements)
            e->Draw(dc);
    }
    state.counters["components"] = double(sheet.Elements.size());
}
BENCHMARK(BM_DrawComponents)->Unit(benchmark::kMillisecond);

void BM_DimensionUpdate(benchmark::State& state) {
    TBemassung d;
    d.A = {0, 0};
    d.TolUpper->SetSourceText(QStringLiteral("+0,1"));
    int i = 0;
    for (auto _ : state) {
        d.B = {float(100 + i++ % 900), 50};
        d.UpdateValue(1);
        d.Layout();
    }
}
BENCHMARK(BM_DimensionUpdate);

// Automatic dots on a grid of wires: each dot looks at every wire of the sheet.
void BM_AutoJunctions(benchmark::State& state) {
    const int wires = int(state.range(0));
    TElementList sheet;
    for (int i = 0; i < wires; ++i) {
        auto p = std::make_unique<TPolyLine>();
        const float c = float(i / 2) * 20;
        p->Points = i % 2 ? TRPointArray{{c, 0}, {c, 4000}} : TRPointArray{{0, c}, {4000, c}};
        sheet.push_back(std::move(p));
    }
    for (int i = 0; i < wires / 4; ++i) {
        auto d = std::make_unique<TLoetpunkt>(TRPoint{float(i % 50) * 20, float(i / 50) * 20});
        d->SetAutomatic(true, 2);
        sheet.push_back(std::move(d));
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(UpdateAutoJunctions(sheet, TView{}));
    state.counters["dots"] = double(wires / 4);
}
BENCHMARK(BM_AutoJunctions)->Arg(400)->Arg(2000)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
