#include "elements/elementdump.h"

#include "elements/element.h"
#include "platform/stream.h"

#include <QJsonArray>

QJsonObject DumpElement(const TElement& e) {
    QJsonObject o;
    o.insert(QStringLiteral("type"), QString::fromLatin1(ElementClassName(e.TypeCode)));
    o.insert(QStringLiteral("TypeCode"), e.TypeCode);
    // Groups and components store no common header.
    if (e.TypeCode != etGruppe && e.TypeCode != etBauteil) {
        o.insert(QStringLiteral("NoLine"), e.NoLine);
        o.insert(QStringLiteral("NoFill"), e.NoFill);
        o.insert(QStringLiteral("LineWidth"), e.LineWidth);
        o.insert(QStringLiteral("LineColor"), e.LineColor);
        o.insert(QStringLiteral("PenStyle"), e.PenStyle);
        o.insert(
            QStringLiteral("Reserved1"),
            QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(e.Reserved1), 3).toHex()));
        o.insert(QStringLiteral("FillColor"), e.FillColor);
        o.insert(QStringLiteral("FillStyle"), e.FillStyle);
        o.insert(
            QStringLiteral("Reserved2"),
            QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(e.Reserved2), 3).toHex()));
    }
    o.insert(QStringLiteral("FormLayer"), e.FormLayer);
    if (!e.DumpTypeFields(o)) {
        // A type without a field dump of its own still shows everything it stores.
        QByteArray record;
        TStreamWriter w(&record);
        e.SaveToStream(w);
        o.insert(QStringLiteral("Record"), QString::fromLatin1(record.toHex()));
    }
    return o;
}

QJsonValue DumpPoint(const TRPoint& p) {
    return QJsonArray{double(p.X), double(p.Y)};
}
