// Records of groups, components, contacts, junction dots, dimensions and embedded pictures come
// from files of every version: reading must fail cleanly or give an element whose record reads
// back to the same bytes, and whose drawing, hit tests, transforms and SVG survive what it holds.
// The pixels of a picture are outside data twice over: besides whole records, the target wraps
// its input into a valid zlib stream, so the BMP reader behind it sees the bytes as they are.
#include "elements/MyD2D.h"
#include "elements/PixelBitmap.h"
#include "elements/SVG_Export.h"
#include "elements/elementlist.h"
#include "elements/registers.h"
#include "platform/stream.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdint>
#include <cstdlib>
#include <zlib.h>

namespace {
QByteArray Save(const TElement& e) {
    QByteArray b;
    TStreamWriter w(&b);
    e.SaveToStream(w);
    return b;
}

// A picture record of the current version around the given content of its zlib stream.
QByteArray PictureRecord(const QByteArray& content, quint8 lengthMode) {
    QByteArray inner;
    {
        TStreamWriter w(&inner);
        // Mostly the true length; sometimes one off either way, to reach the length checks.
        const int off = lengthMode % 8 == 1 ? 1 : lengthMode % 8 == 2 ? -1 : 0;
        w.WriteI32(qint32(content.size()) + off);
        w.WriteBytes(content);
    }
    QByteArray z(qsizetype(compressBound(uLong(inner.size()))), '\0');
    uLongf length = uLongf(z.size());
    compress2(reinterpret_cast<Bytef*>(z.data()), &length,
              reinterpret_cast<const Bytef*>(inner.constData()), uLong(inner.size()),
              lengthMode & 8 ? 0 : 1);
    z.resize(qsizetype(length));
    QByteArray b;
    TStreamWriter w(&b);
    w.WriteZeros(23);
    for (float v : {0.f, 0.f, 300.f, 0.f, 300.f, 200.f, 0.f, 200.f})
        w.WriteF32(v);
    w.WriteBytes(z);
    w.WriteI32(7);
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
    static const int versions[] = {40, 59, 60, 65, 69, 70, 79, 80};
    static const quint8 types[] = {etGruppe,  etLoetpunkt, etPixelBitmap, etPixelBitmap,
                                   etBauteil, etKontakt,   etBemassung,   etGruppe};
    const quint8 selector = data[1] % 8;
    const bool wrapped = selector == 3; // the input is the content of a picture's zlib stream
    const int version = wrapped ? 80 : versions[data[0] % 8];
    const quint8 type = types[selector];
    const quint8 mode = data[2];
    QByteArray record(reinterpret_cast<const char*>(data) + 3, qsizetype(size - 3));
    if (wrapped) record = PictureRecord(record, data[0]);

    TElementPtr e = ElementFactory(type);
    if (!e) return 0;
    try {
        TFileVersionScope scope(version);
        TStreamReader r(record);
        e->LoadFromStream(r);
    } catch (const LoadError&) {
        ComponentRegister().clear();
        return 0;
    }
    ComponentRegister().clear();
    const QByteArray saved = Save(*e);
    TElementPtr again = ElementFactory(type);
    {
        TStreamReader r(saved);
        again->LoadFromStream(r);
        if (!r.AtEnd()) std::abort();
    }
    ComponentRegister().clear();
    if (Save(*again) != saved) std::abort();

    TView view;
    view.ZoomX = view.ZoomY = (mode & 3) == 0 ? 0.1f : (mode & 3) == 1 ? 1.f : 7.f;
    try {
        (void)e->GetBounds();
        (void)e->GetScreenRect(view);
        (void)e->HitPoint(view, QPoint(10, 10));
        (void)e->HitRect(view, TIRect{0, 0, 100, 100}, (mode & 4) != 0);
        TRPoint p{1, 1};
        (void)e->SnapToPoint(view, p);
        std::vector<TRPoint*> points;
        e->AddSnapPoints(points);
        (void)e->GetRefPoint();
        const TRRect b = e->GetBounds();
        if (b.Width() + b.Height() < 1e5) {
            TSVG svg;
            e->WriteSvg(svg);
        }
    } catch (const RangeError&) {
        // Coordinates beyond the pixel range abort a hit test or an export of this element.
    }
    QImage img(64, 64, QImage::Format_ARGB32_Premultiplied);
    img.fill(0);
    {
        QPainter painter(&img);
        TDrawContext dc(painter, view, (mode & 8) != 0, (mode & 16) != 0);
        e->SetSelected((mode & 32) != 0);
        try {
            e->Draw(dc);
        } catch (const RangeError&) {
        }
    }
    if (type == etPixelBitmap) {
        auto& pic = static_cast<TPixelBitmap&>(*e);
        // Picture commands on pictures small enough to keep a run short.
        if (qint64(pic.Image().width()) * pic.Image().height() <= 1 << 20) {
            (void)pic.ReduceResolution(true, 1.414);
            pic.RotatePixels90();
            pic.Lighten(5);
            pic.Normalize(297, 210);
            (void)pic.HorizontalDpi();
            (void)pic.MemoryBytes();
            TElementPtr copy = ElementFactory(type);
            TStreamReader r(Save(pic));
            copy->LoadFromStream(r);
        }
    }
    e->RotateAt({0, 0}, 0.5);
    e->ScaleAt({0, 0}, -1, 0.5);
    e->ShearAt({0, 0}, 0.2, 0);
    e->MirrorX({3, 0});
    e->SetColor(0x00FF00);
    (void)e->GetBounds();
    e->Done();
    return 0;
}
