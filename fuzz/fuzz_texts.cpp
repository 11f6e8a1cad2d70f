// Text and text-box records come from files of every version: reading must fail cleanly or give
// an element whose record reads back to the same bytes, and whose layout, drawing geometry and
// transforms survive whatever it holds.
#include "elements/TextRect.h"
#include "elements/text.h"
#include "record_fuzzing.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    StartGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    static const int versions[] = {49, 50, 59, 60, 62, 63, 69, 70, 79, 80};
    const quint8 type = (data[1] & 1) ? etTextRect : etText;
    const TElementPtr e =
        ReadStableRecord(type, versions[data[0] % 10], RecordAfter(data, size, 2));
    if (!e) return 0;
    try {
        const TView view;
        AskGeometry(*e, view, false);
        if (SheetSized(*e)) WriteSvgOf(*e);
        TransformAll(*e);
    } catch (const RangeError&) {
        // Coordinates beyond the pixel range abort a drawing or hit test; nothing else.
    }
    return 0;
}
