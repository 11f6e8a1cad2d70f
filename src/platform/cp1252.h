#pragma once

#include <QByteArray>
#include <QString>

// Text of files before version 80 is 8-bit Windows-1252; Qt 6 has no codec for it.
QString FromCp1252(const char* bytes, qsizetype n);
inline QString FromCp1252(const QByteArray& b) { return FromCp1252(b.constData(), b.size()); }
// Characters outside the code page become '?'.
QByteArray ToCp1252(const QString& s);
