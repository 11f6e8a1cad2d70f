// Rectangle, ellipse and polygon records come from files of every version: reading must fail
// cleanly or give an element whose record reads back to the same bytes and whose geometry
// operations survive whatever coordinates it holds.
#include "elements/SVG_Export.h"
#include "elements/element.h"
#include "platform/stream.h"

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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    static const int versions[] = {50, 59, 60, 69, 70, 75, 79, 80};
    static const quint8 types[] = {etKreis, etRechteck, etPolygon};
    const int version = versions[data[0] % 8];
    const quint8 type = types[data[1] % 3];
    const QByteArray record(reinterpret_cast<const char*>(data) + 2, qsizetype(size - 2));

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

    try {
        const TView view;
        (void)e->GetBounds();
        (void)e->GetScreenRect(view);
        (void)e->HitPoint(view, QPoint(10, 10));
        (void)e->HitRect(view, TIRect{0, 0, 100, 100}, false);
        (void)e->SegmentAt(view, QPoint(0, 0));
        TRPoint p{1, 1};
        (void)e->SnapToPoint(view, p);
        std::vector<TRPoint*> grips;
        e->AddGrips(grips);
        e->GripsChanged();
        // Hatching follows the bounds; keep export to sheet-sized shapes so a run stays short.
        const TRRect b = e->GetBounds();
        if (b.Width() + b.Height() < 1e5) {
            TSVG svg;
            e->WriteSvg(svg);
        }
        e->RotateAt({0, 0}, 0.5);
        e->ScaleAt({0, 0}, -1, 0.5);
        e->MirrorX({3, 0});
        (void)e->GetBounds();
    } catch (const RangeError&) {
        // Coordinates beyond the pixel range abort a drawing or hit test; nothing else.
    }
    return 0;
}
