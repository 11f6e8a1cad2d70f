#pragma once

// The tests' own little-endian writer and reader, independent of the program's streams, so the
// stored layout is checked against what the tests spell out.

#include <QByteArray>
#include <QString>
#include <QtEndian>
#include <cstring>
#include <stdexcept>

class TBytes {
public:
    QByteArray b;
    TBytes& u8(quint8 v) { b.append(char(v)); return *this; }
    TBytes& i32(qint32 v) { char c[4]; qToLittleEndian(v, c); b.append(c, 4); return *this; }
    TBytes& f32(float v) { quint32 u; std::memcpy(&u, &v, 4); return i32(qint32(u)); }
    TBytes& f64(double v) {
        quint64 u; std::memcpy(&u, &v, 8);
        char c[8]; qToLittleEndian(u, c); b.append(c, 8); return *this;
    }
    TBytes& raw(const QByteArray& r) { b.append(r); return *this; }
    TBytes& zeros(int n) { b.append(QByteArray(n, '\0')); return *this; }
    // int32 count of UTF-16 units, then the units.
    TBytes& str(const QString& s) {
        i32(qint32(s.size()));
        for (QChar c : s) { char u[2]; qToLittleEndian(quint16(c.unicode()), u); b.append(u, 2); }
        return *this;
    }
    // Fixed field: length byte, Latin-1 characters, zero padding.
    TBytes& shortStr(const QByteArray& s, int field) {
        u8(quint8(s.size())); b.append(s); return zeros(field - 1 - int(s.size()));
    }
    // int32 byte count and the bytes.
    TBytes& ansi(const QByteArray& s) { i32(qint32(s.size())); b.append(s); return *this; }
    // Before version 80 a user variable: int32 n, a length byte and n characters.
    TBytes& legacyVar(const QByteArray& s) { i32(qint32(s.size())); u8(quint8(s.size())); b.append(s); return *this; }
    operator QByteArray() const { return b; }
};

class TBytesReader {
public:
    explicit TBytesReader(const QByteArray& data) : d(data) {}
    const QByteArray& d;
    qint64 pos = 0;
    qint64 left() const { return d.size() - pos; }
    void need(qint64 n) const { if (n > left()) throw std::out_of_range("short"); }
    quint8 u8() { need(1); return quint8(d.at(pos++)); }
    qint32 i32() { need(4); const qint32 v = qFromLittleEndian<qint32>(d.constData() + pos); pos += 4; return v; }
    float f32() { const quint32 u = quint32(i32()); float f; std::memcpy(&f, &u, 4); return f; }
    double f64() {
        need(8); const quint64 u = qFromLittleEndian<quint64>(d.constData() + pos); pos += 8;
        double v; std::memcpy(&v, &u, 8); return v;
    }
    QByteArray raw(qint64 n) { need(n); const QByteArray r = d.mid(pos, n); pos += n; return r; }
    QString str() {
        const qint32 n = i32(); QString s;
        for (qint32 i = 0; i < n; ++i) { need(2); s.append(QChar(qFromLittleEndian<quint16>(d.constData() + pos))); pos += 2; }
        return s;
    }
};
