// Loading and saving large documents: throughput in MB/s and elements/s, and the memory a
// loaded element takes.
#include "document/document.h"
#include "document/fileformat.h"
#include "elements/Polyline.h"
#include "platform/stream.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <malloc.h>

namespace {

// A document of `sheets` sheets holding `elements` polylines of 2 to 9 points between them.
std::unique_ptr<TDocument> MakeDocument(int elements, int sheets) {
    auto doc = std::make_unique<TDocument>();
    doc->New();
    for (int s = 1; s < sheets; ++s) doc->CreateSheet(false);
    for (int i = 0; i < elements; ++i) {
        auto p = std::make_unique<TPolyLine>();
        const int n = 2 + i % 8;
        for (int k = 0; k < n; ++k) p->Points.push_back({float(i % 2900 + k * 10), float(i % 2000)});
        p->LineWidth = 1 + i % 5;
        doc->Sheet(i % sheets).Elements.push_back(std::move(p));
    }
    return doc;
}

QByteArray Bytes(const TDocument& doc) {
    QByteArray out;
    TStreamWriter w(&out);
    WriteDocumentData(w, doc, FileKind::Document);
    return out;
}

void Report(benchmark::State& state, qint64 bytes, qint64 elements) {
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["elements/s"] =
        benchmark::Counter(double(elements), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["file MB"] = double(bytes) / 1e6;
}

void BM_LoadFromMemory(benchmark::State& state) {
    const int n = int(state.range(0));
    const QByteArray data = Bytes(*MakeDocument(n, 10));
    for (auto _ : state) {
        TDocument doc;
        const TLoadReport r = ReadDocumentData(doc, data, FileKind::Document);
        if (r.Outcome != TLoadOutcome::Ok) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(doc.SheetCount());
    }
    Report(state, data.size(), n);
}

void BM_LoadFile(benchmark::State& state) {
    const int n = int(state.range(0));
    QTemporaryDir dir;
    auto source = MakeDocument(n, 10);
    const QString path = dir.filePath(QStringLiteral("big.kav8"));
    SaveDocumentFile(*source, path, FileKind::Document);
    const qint64 size = QFileInfo(path).size();
    for (auto _ : state) {
        TDocument doc;
        doc.Settings.BackupOnOpen = false;
        if (!LoadDocumentFile(doc, path, FileKind::Document)) state.SkipWithError("load failed");
    }
    Report(state, size, n);
}

void BM_SaveToMemory(benchmark::State& state) {
    const int n = int(state.range(0));
    auto doc = MakeDocument(n, 10);
    qint64 size = 0;
    for (auto _ : state) {
        const QByteArray b = Bytes(*doc);
        size = b.size();
        benchmark::DoNotOptimize(b.constData());
    }
    Report(state, size, n);
}

void BM_SaveFile(benchmark::State& state) {
    const int n = int(state.range(0));
    QTemporaryDir dir;
    auto doc = MakeDocument(n, 10);
    const QString path = dir.filePath(QStringLiteral("big.kav8"));
    for (auto _ : state)
        if (!SaveDocumentFile(*doc, path, FileKind::Document)) state.SkipWithError("save failed");
    Report(state, QFileInfo(path).size(), n);
}

// Heap bytes per loaded element (the document's own share included).
void BM_MemoryPerElement(benchmark::State& state) {
    const int n = int(state.range(0));
    const QByteArray data = Bytes(*MakeDocument(n, 10));
    double perElement = 0;
    for (auto _ : state) {
        const size_t before = mallinfo2().uordblks;
        auto doc = std::make_unique<TDocument>();
        ReadDocumentData(*doc, data, FileKind::Document);
        const size_t after = mallinfo2().uordblks;
        perElement = double(after - before) / n;
        benchmark::DoNotOptimize(doc.get());
    }
    state.counters["bytes/element"] = perElement;
}

} // namespace

BENCHMARK(BM_LoadFromMemory)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFile)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveToMemory)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveFile)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemoryPerElement)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
