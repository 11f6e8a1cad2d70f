#include "document/paperformat.h"

namespace {
constexpr TPaperFormat Formats[] = {
    {"A0", 841, 1189},
    {"A1", 594, 841},
    {"A2", 420, 594},
    {"A3", 297, 420},
    {"A4", 210, 297},
    {"A5", 148, 210},
    {"B4", 250, 353},
    {"B5", 176, 250},
    {"C3", 324, 458},
    {"C4", 229, 324},
    {"C5", 162, 229},
    {"US-Legal", 216, 356},
    {"Ansi-A (Letter)", 216, 279},
    {"Ansi-B (Ledger)", 279, 432},
    {"Ansi-C", 432, 559},
    {"Ansi-D", 559, 864},
    {"Ansi-E", 864, 1118},
    {"Ansi-F", 711, 1016},
};
} // namespace

std::span<const TPaperFormat> PaperFormats() {
    return Formats;
}

int FindPaperFormat(int width, int height) {
    for (int i = 0; i < int(std::size(Formats)); ++i) {
        const TPaperFormat& f = Formats[i];
        if ((width == f.ShortSide && height == f.LongSide) ||
            (width == f.LongSide && height == f.ShortSide))
            return i;
    }
    return -1;
}
