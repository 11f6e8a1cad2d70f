// Polyline, Bezier and legacy line records come from files of every version: reading must fail
// cleanly or give an element whose record reads back to the same bytes, and whose drawing, hit
// tests, bounds and SVG survive whatever points it holds.
#include "elements/MyD2D.h"
#include "elements/Polyline.h"
#include "elements/SVG_Export.h"
#include "platform/stream.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdint>
#include <cstdlib>

namespace {
QByteArray Save(const TElement& e) {
    QByteArray b;
    TStreamWriter w(&b);
    e.SaveToStream(w);
    return b;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    static const int versions[] = {40, 49, 50, 59, 60, 79, 80, 80};
    static const quint8 types[] = {etPolyLine, etBezier, etLinie};
    const int version = versions[data[0] % 8];
    const quint8 type = types[data[1] % 3];
    const quint8 mode = data[2];
    const QByteArray record(reinterpret_cast<const char*>(data) + 3, qsizetype(size - 3));

    TElementPtr e = ElementFactory(type);
    try {
        TFileVersionScope scope(version);
        TStreamReader r(record);
        e->LoadFromStream(r);
    } catch (const LoadError&) {
        return 0;
    }
    const QByteArray saved = Save(*e);
    TElementPtr again = ElementFactory(type);
    {
        TStreamReader r(saved);
        again->LoadFromStream(r);
        if (!r.AtEnd()) std::abort();
    }
    if (Save(*again) != saved) std::abort();
    if (type == etLinie) {
        const std::unique_ptr<TPolyLine> p = ConvertLegacyLine(static_cast<const TLinie&>(*e));
        if (p->PointCount() != 2) std::abort();
        return 0;
    }

    TView view;
    view.ZoomX = view.ZoomY = (mode & 3) == 0 ? 0.1f : (mode & 3) == 1 ? 1.f : 7.f;
    try {
        (void)e->GetBounds();
        (void)e->GetScreenRect(view);
        (void)e->HitPoint(view, QPoint(10, 10));
        (void)e->HitRect(view, TIRect{0, 0, 100, 100}, (mode & 4) != 0);
        (void)e->SegmentAt(view, QPoint(0, 0));
        TRPoint p{1, 1};
        (void)e->SnapToPoint(view, p);
        TSVG svg;
        e->WriteSvg(svg);
    } catch (const RangeError&) {
        // Coordinates beyond the pixel range abort a hit test or an export of this element.
    }
    QImage img(64, 64, QImage::Format_ARGB32_Premultiplied);
    img.fill(0);
    QPainter painter(&img);
    TDrawContext dc(painter, view, (mode & 8) != 0, (mode & 16) != 0);
    e->SetSelected((mode & 32) != 0);
    try {
        e->Draw(dc);
    } catch (const RangeError&) {
    }
    return 0;
}
