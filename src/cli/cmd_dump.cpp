#include "cli/cli.h"
#include "cli/cli_document.h"
#include "document/document.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

QJsonArray pair(double a, double b) { return QJsonArray{a, b}; }

QJsonArray floats(const std::vector<float>& list) {
    QJsonArray a;
    for (float f : list) a.append(double(f));
    return a;
}

QJsonObject printLayout(const TPrintLayout& p) {
    QJsonObject o;
    o.insert(QStringLiteral("Orientation"), p.Orientation);
    o.insert(QStringLiteral("OffsetX"), double(p.OffsetX));
    o.insert(QStringLiteral("OffsetY"), double(p.OffsetY));
    o.insert(QStringLiteral("ScalePercent"), p.ScalePercent);
    o.insert(QStringLiteral("UseScale"), p.UseScale);
    o.insert(QStringLiteral("Padding"),
             QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(p.Padding), 3).toHex()));
    o.insert(QStringLiteral("PagesAcross"), p.PagesAcross);
    o.insert(QStringLiteral("PagesDown"), p.PagesDown);
    o.insert(QStringLiteral("Overlap"), p.Overlap);
    o.insert(QStringLiteral("ClipFlags"), p.ClipFlags);
    return o;
}

QJsonObject zoneGrid(const TZoneGrid& z) {
    QJsonObject o;
    o.insert(QStringLiteral("Width"), double(z.Width));
    o.insert(QStringLiteral("Height"), double(z.Height));
    o.insert(QStringLiteral("OffsetX"), double(z.OffsetX));
    o.insert(QStringLiteral("OffsetY"), double(z.OffsetY));
    o.insert(QStringLiteral("Columns"), z.Columns);
    o.insert(QStringLiteral("Rows"), z.Rows);
    o.insert(QStringLiteral("FirstColumn"), z.FirstColumn);
    o.insert(QStringLiteral("FirstRow"), z.FirstRow);
    return o;
}

QJsonObject sheetJson(const TEditor& s) {
    QJsonObject o;
    o.insert(QStringLiteral("SheetName"), s.SheetName);
    o.insert(QStringLiteral("SheetDescription"), s.SheetDescription);
    o.insert(QStringLiteral("ReserveSheet"), s.ReserveSheet);
    o.insert(QStringLiteral("SheetWidth"), s.SheetWidth);
    o.insert(QStringLiteral("SheetHeight"), s.SheetHeight);
    o.insert(QStringLiteral("GridSize"), s.GridSize);
    o.insert(QStringLiteral("Zoom"), double(s.Zoom));
    o.insert(QStringLiteral("ScrollPosition"), pair(s.ScrollPosition.x(), s.ScrollPosition.y()));
    o.insert(QStringLiteral("Origin"), pair(s.Origin.X, s.Origin.Y));
    o.insert(QStringLiteral("Scale"), s.Scale);
    o.insert(QStringLiteral("UnitDivisor"), s.UnitDivisor);
    o.insert(QStringLiteral("PrintLayout"), printLayout(s.PrintLayout));
    o.insert(QStringLiteral("ZoneGrid"), zoneGrid(s.ZoneGrid));
    o.insert(QStringLiteral("ZoneGridVisible"), s.ZoneGridVisible);
    o.insert(QStringLiteral("MagnetLinesH"), floats(s.MagnetLinesH));
    o.insert(QStringLiteral("MagnetLinesV"), floats(s.MagnetLinesV));
    QJsonArray elements;
    for (const auto& e : s.Elements) elements.append(ElementJson(*e));
    o.insert(QStringLiteral("Elements"), elements);
    return o;
}

int dump(const QStringList& argsIn) {
    QStringList args = argsIn;
    bool kindGiven;
    FileKind kind = FileKind::Document;
    if (!TakeKindOption(args, kindGiven, kind)) return ExitUsage;
    if (args.size() != 1 || args.first().startsWith(QLatin1String("--"))) {
        CliError(QStringLiteral("usage: kavro-cli dump FILE [--kind KIND]"));
        return ExitUsage;
    }
    TDocument doc;
    TCliFile file;
    file.Kind = kind;
    const int code = ReadCliFile(args.first(), doc, file, kindGiven, false);
    if (code != ExitOk) return code;

    QJsonObject options;
    options.insert(QStringLiteral("ComponentPageNumbers"), doc.ComponentPageNumbers);
    options.insert(QStringLiteral("SheetPageNumbers"), doc.SheetPageNumbers);
    options.insert(QStringLiteral("PageNumberPrefix"), doc.PageNumberPrefix);
    options.insert(QStringLiteral("PrintSelection"), doc.PrintSelection);
    QJsonArray vars;
    for (const TUserVariable& v : doc.UserVariables)
        vars.append(QJsonObject{{QStringLiteral("Name"), v.Name}, {QStringLiteral("Value"), v.Value}});
    QJsonArray sheets;
    for (int i = 0; i < doc.SheetCount(); ++i) sheets.append(sheetJson(doc.Sheet(i)));

    QJsonObject o;
    o.insert(QStringLiteral("kind"), QString::fromLatin1(FileKindName(file.Kind)));
    o.insert(QStringLiteral("version"), file.Report.Version);
    o.insert(QStringLiteral("options"), options);
    o.insert(QStringLiteral("UserVariables"), vars);
    o.insert(QStringLiteral("CurrentSheet"), doc.CurrentIndex());
    o.insert(QStringLiteral("sheets"), sheets);
    CliOut(QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Indented)));
    return ExitOk;
}

const CliCommand command("dump", "dump FILE [--kind document|sheet|form|library]",
                         "JSON of everything the file stores", dump);
} // namespace
