// Rectangle, ellipse and polygon records come from files of every version: reading must fail
// cleanly or give an element whose record reads back to the same bytes and whose geometry
// operations survive whatever coordinates it holds.
#include "record_fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    static const int versions[] = {50, 59, 60, 69, 70, 75, 79, 80};
    static const quint8 types[] = {etKreis, etRechteck, etPolygon};
    const TElementPtr e =
        ReadStableRecord(types[data[1] % 3], versions[data[0] % 8], RecordAfter(data, size, 2));
    if (!e) return 0;
    try {
        const TView view;
        AskGeometry(*e, view, false);
        std::vector<TRPoint*> grips;
        e->AddGrips(grips);
        e->GripsChanged();
        if (SheetSized(*e)) WriteSvgOf(*e);
        TransformAll(*e);
    } catch (const RangeError&) {
        // Coordinates beyond the pixel range abort a drawing or hit test; nothing else.
    }
    return 0;
}
