#pragma once

// What the element-record fuzz targets share: reading a record at a version with the check that
// a record once read is stable, and the questions, drawing and transforms every element must
// survive whatever it holds. Each target picks the types, versions and operations of its own.

#include "elements/MyD2D.h"
#include "elements/SVG_Export.h"
#include "elements/element.h"
#include "elements/registers.h"
#include "platform/stream.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdint>
#include <cstdlib>

inline QByteArray SavedRecord(const TElement& e) {
    QByteArray b;
    TStreamWriter w(&b);
    e.SaveToStream(w);
    return b;
}

// The input after its first `skip` bytes (which choose type, version and mode).
inline QByteArray RecordAfter(const uint8_t* data, size_t size, size_t skip) {
    return QByteArray(reinterpret_cast<const char*>(data) + skip, qsizetype(size - skip));
}

// Glyph outlines, metrics and painting need a GUI application; call from LLVMFuzzerInitialize.
inline void StartGuiApplication(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
}

// Reads the record as an element of the type at the version; none when the reader refuses it.
// A record that was read must be stable, or the run aborts: the first save may renew derived
// values (shown texts), but its bytes read back to their end and save to the same bytes again.
// Components entered into the register while reading are dropped, as no load re-links them.
inline TElementPtr ReadStableRecord(quint8 type, int version, const QByteArray& record) {
    TElementPtr e = ElementFactory(type);
    if (!e) return nullptr;
    try {
        TFileVersionScope scope(version);
        TStreamReader r(record);
        e->LoadFromStream(r);
    } catch (const LoadError&) {
        ComponentRegister().clear();
        return nullptr;
    }
    ComponentRegister().clear();
    const QByteArray saved = SavedRecord(*e);
    TElementPtr again = ElementFactory(type);
    {
        TStreamReader r(saved);
        again->LoadFromStream(r);
        if (!r.AtEnd()) std::abort();
    }
    ComponentRegister().clear();
    if (SavedRecord(*again) != saved) std::abort();
    return e;
}

// A view at zoom 0.1, 1 or 7, chosen by the low two bits of a mode byte.
inline TView ViewOfMode(quint8 mode) {
    TView view;
    view.ZoomX = view.ZoomY = (mode & 3) == 0 ? 0.1f : (mode & 3) == 1 ? 1.f : 7.f;
    return view;
}

// The questions of hit testing, bounds and snapping. Coordinates beyond the pixel range may end
// one with a RangeError; the caller catches it.
inline void AskGeometry(const TElement& e, const TView& view, bool enclose) {
    (void)e.GetBounds();
    (void)e.GetScreenRect(view);
    (void)e.HitPoint(view, QPoint(10, 10));
    (void)e.HitRect(view, TIRect{0, 0, 100, 100}, enclose);
    (void)e.SegmentAt(view, QPoint(0, 0));
    TRPoint p{1, 1};
    (void)e.SnapToPoint(view, p);
    (void)e.GetRefPoint();
}

// Hatching and dash runs follow the bounds: exports of huge shapes would make a run long.
inline bool SheetSized(const TElement& e) {
    const TRRect b = e.GetBounds();
    return b.Width() + b.Height() < 1e5;
}

inline void WriteSvgOf(const TElement& e) {
    TSVG svg;
    e.WriteSvg(svg);
}

// Draws into a small image with the renderer switches of mode bits 3 and 4, selected by bit 5.
inline void DrawForMode(TElement& e, const TView& view, quint8 mode) {
    QImage img(64, 64, QImage::Format_ARGB32_Premultiplied);
    img.fill(0);
    QPainter painter(&img);
    TDrawContext dc(painter, view, (mode & 8) != 0, (mode & 16) != 0);
    e.SetSelected((mode & 32) != 0);
    try {
        e.Draw(dc);
    } catch (const RangeError&) {
        // Coordinates beyond the pixel range end the drawing of this element; nothing else.
    }
}

// Turns, scales, shears and mirrors the element, then asks for its bounds.
inline void TransformAll(TElement& e) {
    e.RotateAt({0, 0}, 0.5);
    e.ScaleAt({0, 0}, -1, 0.5);
    e.ShearAt({0, 0}, 0.2, 0);
    e.MirrorX({3, 0});
    e.MirrorY({0, 3});
    (void)e.GetBounds();
}
