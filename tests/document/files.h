#pragma once

// Builders of stored files of any version, spelled out field by field.

#include "bytes.h"

#include <QList>
#include <QStringList>

struct TSheetPlan {
    QString Name = QStringLiteral("Blatt");
    qint32 Height = 210, Width = 297, Grid = 10;
    qint32 ScrollX = 0, ScrollY = 0;
    float Zoom = 0.2f;
    QByteArray Elements = TBytes().i32(-1); // the framed element list
    QList<float> MagnetH, MagnetV;
    float OriginX = 0, OriginY = 0;
    double Scale = 1.0;
    qint32 UnitDivisor = 1;
    QString Description;
    // Version 80 only.
    QByteArray PrintLayout = TBytes().i32(0).f32(0).f32(0).i32(100).u8(0).zeros(3).i32(1).i32(1).i32(0).i32(0);
    bool Reserve = false;
    QByteArray ZoneGrid = TBytes().f32(2800).f32(1900).f32(100).f32(100).i32(10).i32(8).i32(1).i32(1);
    bool ZoneVisible = false;
};

inline QByteArray floatList(const QList<float>& l) {
    TBytes b; b.i32(qint32(l.size()) - 1);
    for (float f : l) b.f32(f);
    return b;
}

inline QByteArray SheetRecord(int version, const TSheetPlan& s) {
    TBytes b;
    if (version >= 80) b.str(s.Name); else b.shortStr(s.Name.toLatin1(), 31);
    b.i32(s.Height).i32(s.Width);
    if (version < 80) b.u8(0xAA).u8(0xBB);
    b.i32(s.Grid).i32(s.ScrollX).i32(s.ScrollY).f32(s.Zoom).raw(s.Elements);
    b.raw(floatList(s.MagnetH)).raw(floatList(s.MagnetV));
    if (version >= 60) b.f32(s.OriginX).f32(s.OriginY);
    if (version >= 70) {
        b.f64(s.Scale).i32(s.UnitDivisor);
        if (version >= 80) b.str(s.Description); else b.ansi(s.Description.toLatin1());
    }
    if (version >= 80) b.raw(s.PrintLayout).u8(s.Reserve).raw(s.ZoneGrid).u8(s.ZoneVisible);
    return b;
}

inline QByteArray Header(const char digits[2]) {
    return TBytes().u8(7).raw("KAVRO").raw(QByteArray(digits, 2)).zeros(3);
}
inline QByteArray Header(int version) {
    const char d[2] = {char('0' + version / 10), char('0' + version % 10)};
    return Header(d);
}

inline QByteArray UserVarBlock(int version, const QStringList& entries) {
    TBytes b; b.i32(qint32(entries.size()));
    for (const QString& e : entries) {
        if (version >= 80) b.str(e); else b.legacyVar(e.toLatin1());
    }
    return b;
}

struct TDocPlan {
    int Version = 80;
    QStringList Vars;
    bool ComponentPageNumbers = false, SheetPageNumbers = false;
    QString Prefix, PrintSelection;
    qint32 Current = 0;
    QList<TSheetPlan> Sheets{TSheetPlan{}};
    qint32 StoredCountMinusOne = -2; // -2: the real count minus one
    bool SheetFile = false;          // no document options
};

inline QByteArray DocumentFile(const TDocPlan& d) {
    TBytes b;
    b.raw(Header(d.Version));
    if (d.Version >= 60) b.raw(UserVarBlock(d.Version, d.Vars));
    if (d.Version >= 61 && !d.SheetFile) {
        b.u8(d.ComponentPageNumbers).u8(d.SheetPageNumbers);
        if (d.Version >= 80) b.str(d.Prefix).str(d.PrintSelection);
    }
    b.i32(d.Current).i32(d.StoredCountMinusOne == -2 ? qint32(d.Sheets.size()) - 1 : d.StoredCountMinusOne);
    for (const TSheetPlan& s : d.Sheets) b.raw(SheetRecord(d.Version, s));
    if (d.Version >= 50 && d.Version <= 60 && !d.SheetFile) b.u8(d.ComponentPageNumbers).u8(d.SheetPageNumbers);
    return b;
}

inline QByteArray SheetFileBytes(TDocPlan d) {
    d.SheetFile = true;
    d.Current = 0;
    return DocumentFile(d);
}

// Element entries of the test types (testtypes.h), framed by ElementList.
inline QByteArray CommonHeader(bool formLayer = false) {
    return TBytes().u8(0).u8(1).i32(2).i32(0).u8(0).zeros(3).i32(0xFFFFFF).u8(0).zeros(3).u8(formLayer);
}
inline QByteArray ShapeEntry(qint32 value, bool formLayer = false) {
    return TBytes().u8(13).raw(CommonHeader(formLayer)).i32(value).i32(0);
}
inline QByteArray ComponentEntry(qint32 id, qint32 parent, const QList<QByteArray>& body) {
    TBytes b; b.u8(7).i32(id).i32(parent).i32(qint32(body.size()) - 1);
    for (const QByteArray& e : body) b.raw(e);
    return b;
}
inline QByteArray TextEntry(const QString& text, quint8 idSeed, quint8 targetSeed, int version = 80,
                            const QString& legacyTarget = {}) {
    TBytes b; b.u8(3).raw(CommonHeader()).str(text).raw(QByteArray(16, char(idSeed))).raw(QByteArray(16, char(targetSeed)));
    if (version < 80) b.str(legacyTarget);
    return b;
}
inline QByteArray ElementList(const QList<QByteArray>& entries) {
    TBytes b; b.i32(qint32(entries.size()) - 1);
    for (const QByteArray& e : entries) b.raw(e);
    return b;
}
