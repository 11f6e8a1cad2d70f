#include "platform/cp1252.h"

#include <QHash>

namespace {
// 0x80..0x9F; the five unassigned positions map to the C1 control of the same value, as
// Windows' own conversion does.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
} // namespace

QString FromCp1252(const char* bytes, qsizetype n) {
    QString s(n, Qt::Uninitialized);
    QChar* out = s.data();
    for (qsizetype i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        out[i] = (c >= 0x80 && c < 0xA0) ? QChar(kHigh[c - 0x80]) : QChar(c);
    }
    return s;
}

QByteArray ToCp1252(const QString& s) {
    QByteArray b(s.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t u = s.at(i).unicode();
        char c = '?';
        if (u < 0x80 || (u >= 0xA0 && u < 0x100)) {
            c = static_cast<char>(u);
        } else {
            for (int k = 0; k < 32; ++k) {
                if (kHigh[k] == u) {
                    c = static_cast<char>(0x80 + k);
                    break;
                }
            }
        }
        b[i] = c;
    }
    return b;
}
