// Records of groups, components, contacts, junction dots, dimensions and embedded pictures come
// from files of every version: reading must fail cleanly or give an element whose record reads
// back to the same bytes, and whose drawing, hit tests, transforms and SVG survive what it holds.
// The pixels of a picture are outside data twice over: besides whole records, the target wraps
// its input into a valid zlib stream, so the BMP reader behind it sees the bytes as they are.
#include "elements/PixelBitmap.h"
#include "record_fuzzing.h"

#include <zlib.h>

namespace {
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
    StartGuiApplication(argc, argv);
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
    QByteArray record = RecordAfter(data, size, 3);
    if (wrapped) record = PictureRecord(record, data[0]);

    const TElementPtr e = ReadStableRecord(type, version, record);
    if (!e) return 0;
    const TView view = ViewOfMode(mode);
    try {
        AskGeometry(*e, view, (mode & 4) != 0);
        std::vector<TRPoint*> points;
        e->AddSnapPoints(points);
        if (SheetSized(*e)) WriteSvgOf(*e);
    } catch (const RangeError&) {
        // Coordinates beyond the pixel range abort a hit test or an export of this element.
    }
    DrawForMode(*e, view, mode);
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
            TStreamReader r(SavedRecord(pic));
            copy->LoadFromStream(r);
        }
    }
    TransformAll(*e);
    e->SetColor(0x00FF00);
    (void)e->GetBounds();
    e->Done();
    return 0;
}
