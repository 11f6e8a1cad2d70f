// Text and text-box records come from files of every version: reading must fail cleanly or give
// an element whose record reads back to the same bytes, and whose layout, drawing geometry and
// transforms survive whatever it holds.
#include "elements/SVG_Export.h"
#include "elements/TextRect.h"
#include "elements/text.h"
#include "platform/stream.h"

#include <QGuiApplication>
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

// Glyph outlines and metrics need the font database of a GUI application.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    static const int versions[] = {49, 50, 59, 60, 62, 63, 69, 70, 79, 80};
    const int version = versions[data[0] % 10];
    const quint8 type = (data[1] & 1) ? etTextRect : etText;
    const QByteArray record(reinterpret_cast<const char*>(data) + 2, qsizetype(size - 2));

    TElementPtr e = ElementFactory(type);
    try {
        TFileVersionScope scope(version);
        TStreamReader r(record);
        e->LoadFromStream(r);
    } catch (const LoadError&) {
        return 0;
    }
    // The first save may renew derived values (shown texts); from then on records are stable.
    const QByteArray saved = Save(*e);
    TElementPtr again = ElementFactory(type);
    {
        TStreamReader r(saved);
        again->LoadFromStream(r);
        if (!r.AtEnd()) std::abort();
    }
    if (Save(*again) != saved) std::abort();

    try {
        const TView view;
        (void)e->GetBounds();
        (void)e->GetScreenRect(view);
        (void)e->HitPoint(view, QPoint(10, 10));
        (void)e->HitRect(view, TIRect{0, 0, 100, 100}, false);
        TRPoint p{1, 1};
        (void)e->SnapToPoint(view, p);
        const TRRect b = e->GetBounds();
        if (b.Width() + b.Height() < 1e5) {
            TSVG svg;
            e->WriteSvg(svg);
        }
        e->RotateAt({0, 0}, 0.5);
        e->ScaleAt({0, 0}, -1, 0.5);
        e->ShearAt({0, 0}, 0.2, 0);
        e->MirrorX({3, 0});
        e->MirrorY({0, 3});
        (void)e->GetBounds();
    } catch (const RangeError&) {
        // Coordinates beyond the pixel range abort a drawing or hit test; nothing else.
    }
    return 0;
}
