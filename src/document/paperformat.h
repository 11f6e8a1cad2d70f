#pragma once

#include <QString>
#include <span>

// The paper formats offered for new sheets and in the sheet set-up: short and long side in mm.
struct TPaperFormat {
    const char* Name;
    int ShortSide;
    int LongSide;
};

std::span<const TPaperFormat> PaperFormats();

// The index of the format whose sides are width and height in either orientation; -1 for none.
int FindPaperFormat(int width, int height);
