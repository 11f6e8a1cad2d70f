#pragma once

#include <QtGlobal>

// Font style bits as texts store them.
enum TFontStyleBits : quint8 {
    fsBold = 1,
    fsItalic = 2,
    fsUnderline = 4,
    fsStrikeOut = 8,
};
