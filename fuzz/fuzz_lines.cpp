// Polyline, Bezier and legacy line records come from files of every version: reading must fail
// cleanly or give an element whose record reads back to the same bytes, and whose drawing, hit
// tests, bounds and SVG survive whatever points it holds.
#include "elements/Polyline.h"
#include "record_fuzzing.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    StartGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    static const int versions[] = {40, 49, 50, 59, 60, 79, 80, 80};
    static const quint8 types[] = {etPolyLine, etBezier, etLinie};
    const quint8 type = types[data[1] % 3];
    const quint8 mode = data[2];
    const TElementPtr e = ReadStableRecord(type, versions[data[0] % 8], RecordAfter(data, size, 3));
    if (!e) return 0;
    if (type == etLinie) {
        const std::unique_ptr<TPolyLine> p = ConvertLegacyLine(static_cast<const TLinie&>(*e));
        if (p->PointCount() != 2) std::abort();
        return 0;
    }

    const TView view = ViewOfMode(mode);
    try {
        AskGeometry(*e, view, (mode & 4) != 0);
        WriteSvgOf(*e);
    } catch (const RangeError&) {
        // Coordinates beyond the pixel range abort a hit test or an export of this element.
    }
    DrawForMode(*e, view, mode);
    return 0;
}
