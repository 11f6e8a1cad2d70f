#include "cli/cli.h"
#include "cli/cli_document.h"
#include "document/document.h"
#include "elements/registers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <map>

namespace {

QJsonObject sheetSummary(const TDocument& doc, int index) {
    const TEditor& sheet = doc.Sheet(index);
    std::map<QString, int> byType;
    for (const auto& e : sheet.Elements) ++byType[QString::fromLatin1(ElementClassName(e->TypeCode))];
    qint64 all = 0;
    ForEachElementDeep({const_cast<TElementList*>(&sheet.Elements)}, [&](TElement*) { ++all; });
    QJsonObject types;
    for (const auto& [name, n] : byType) types.insert(name, n);
    QJsonObject o;
    o.insert(QStringLiteral("index"), index + 1);
    o.insert(QStringLiteral("name"), sheet.SheetName);
    o.insert(QStringLiteral("width"), sheet.SheetWidth);
    o.insert(QStringLiteral("height"), sheet.SheetHeight);
    o.insert(QStringLiteral("elements"), qint64(sheet.Elements.size()));
    o.insert(QStringLiteral("elementsByType"), types);
    o.insert(QStringLiteral("elementsWithNested"), all);
    return o;
}

int info(const QStringList& argsIn) {
    QStringList args = argsIn;
    const bool json = args.removeAll(QStringLiteral("--json")) > 0;
    bool kindGiven;
    FileKind kind = FileKind::Document;
    if (!TakeKindOption(args, kindGiven, kind)) return ExitUsage;
    if (args.size() != 1 || args.first().startsWith(QLatin1String("--"))) {
        CliError(QStringLiteral("usage: kavro-cli info FILE [--json] [--kind KIND]"));
        return ExitUsage;
    }
    TDocument doc;
    TCliFile file;
    file.Kind = kind;
    const int code = ReadCliFile(args.first(), doc, file, kindGiven, false);
    if (code != ExitOk) return code;

    QJsonArray sheets;
    for (int i = 0; i < doc.SheetCount(); ++i) sheets.append(sheetSummary(doc, i));
    if (json) {
        QJsonObject o;
        o.insert(QStringLiteral("kind"), QString::fromLatin1(FileKindName(file.Kind)));
        o.insert(QStringLiteral("version"), file.Report.Version);
        o.insert(QStringLiteral("currentSheet"), doc.CurrentIndex() + 1);
        o.insert(QStringLiteral("sheets"), sheets);
        CliOut(QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Indented)));
        return ExitOk;
    }
    QString out = QStringLiteral("kind: %1\nversion: %2\nsheets: %3\n")
                      .arg(QString::fromLatin1(FileKindName(file.Kind)))
                      .arg(file.Report.Version)
                      .arg(doc.SheetCount());
    for (const QJsonValue v : sheets) {
        const QJsonObject s = v.toObject();
        QStringList types;
        const QJsonObject byType = s.value(QStringLiteral("elementsByType")).toObject();
        for (auto it = byType.begin(); it != byType.end(); ++it)
            types.append(QStringLiteral("%1 %2").arg(it.key()).arg(it.value().toInt()));
        out += QStringLiteral("  %1%2: \"%3\", %4 x %5 mm, %6 elements%7\n")
                   .arg(s.value(QStringLiteral("index")).toInt())
                   .arg(s.value(QStringLiteral("index")).toInt() == doc.CurrentIndex() + 1
                            ? QStringLiteral(" (current)")
                            : QString())
                   .arg(s.value(QStringLiteral("name")).toString())
                   .arg(s.value(QStringLiteral("width")).toInt())
                   .arg(s.value(QStringLiteral("height")).toInt())
                   .arg(s.value(QStringLiteral("elements")).toInteger())
                   .arg(types.isEmpty() ? QString() : QStringLiteral(" (") + types.join(QStringLiteral(", ")) + QLatin1Char(')'));
    }
    CliOut(out);
    return ExitOk;
}

const CliCommand command("info", "info FILE [--json] [--kind document|sheet|form|library]",
                         "kind, version and sheets of a file with their sizes and element counts",
                         info);
} // namespace
