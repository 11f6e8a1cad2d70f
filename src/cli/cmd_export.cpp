#include "cli/cli.h"
#include "cli/cli_document.h"
#include "document/document.h"
#include "editor/editor.h"
#include "output/export.h"

#include <QFileInfo>

namespace {

const char* kUsage = "export FILE -o OUT [--format svg|png|jpg|bmp] [--sheet N | --all-sheets] "
                     "[--dpi D] [--area page|all] [--bw] [--transparent] [--kind KIND]";

int usage(const QString& why) {
    CliError(why + QStringLiteral("; usage: kavro-cli ") + QLatin1String(kUsage));
    return ExitUsage;
}

// OUT for sheet n of count: "plan.png" becomes "plan-2.png" (numbers padded to the same width).
QString numberedName(const QString& out, int n, int count) {
    const QFileInfo fi(out);
    const int digits = int(QString::number(count).size());
    const QString number = QStringLiteral("%1").arg(n, digits, 10, QLatin1Char('0'));
    const QString dir = fi.path() == QLatin1String(".") && !out.startsWith(QLatin1String("./"))
                            ? QString()
                            : fi.path() + QLatin1Char('/');
    const QString suffix = fi.suffix().isEmpty() ? QString() : QLatin1Char('.') + fi.suffix();
    return dir + fi.completeBaseName() + QLatin1Char('-') + number + suffix;
}

int exportCommand(const QStringList& argsIn) {
    QStringList args = argsIn;
    bool kindGiven;
    FileKind kind = FileKind::Document;
    if (!TakeKindOption(args, kindGiven, kind)) return ExitUsage;

    QString input, output, formatName, areaName = QStringLiteral("page");
    int sheet = 0; // 1-based; 0 for the current sheet
    bool allSheets = false;
    TExportOptions options;
    bool dpiGiven = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        auto value = [&](QString& into) {
            if (i + 1 >= args.size()) return false;
            into = args.at(++i);
            return true;
        };
        QString v;
        if (a == QLatin1String("-o") || a == QLatin1String("--output")) {
            if (!value(output)) return usage(QStringLiteral("-o needs a file name"));
        } else if (a == QLatin1String("--format")) {
            if (!value(formatName)) return usage(QStringLiteral("--format needs a value"));
        } else if (a == QLatin1String("--sheet")) {
            bool ok = false;
            if (value(v)) sheet = v.toInt(&ok);
            if (!ok || sheet < 1)
                return usage(QStringLiteral("--sheet needs a sheet number from 1"));
        } else if (a == QLatin1String("--all-sheets")) {
            allSheets = true;
        } else if (a == QLatin1String("--dpi")) {
            bool ok = false;
            if (value(v)) options.Resolution = v.toInt(&ok);
            if (!ok || options.Resolution < 1 || options.Resolution > 2400)
                return usage(QStringLiteral("--dpi needs a resolution from 1 to 2400"));
            dpiGiven = true;
        } else if (a == QLatin1String("--area")) {
            if (!value(areaName)) return usage(QStringLiteral("--area needs page or all"));
        } else if (a == QLatin1String("--bw")) {
            options.BlackWhite = true;
        } else if (a == QLatin1String("--transparent")) {
            options.Transparent = true;
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            return usage(QStringLiteral("unknown option '%1'").arg(a));
        } else if (input.isEmpty()) {
            input = a;
        } else {
            return usage(QStringLiteral("more than one input file"));
        }
    }
    if (input.isEmpty()) return usage(QStringLiteral("no input file"));
    if (output.isEmpty()) return usage(QStringLiteral("no output file (-o OUT)"));
    if (formatName.isEmpty()) {
        if (!ExportFormatOfName(output, options.Format))
            return usage(QStringLiteral("cannot tell the format of %1: give --format").arg(output));
    } else if (!ExportFormatOfName(QStringLiteral("x.") + formatName, options.Format) ||
               formatName.toLower() == QLatin1String("jpeg")) {
        return usage(QStringLiteral("unknown format '%1'").arg(formatName));
    }
    if (areaName != QLatin1String("page") && areaName != QLatin1String("all"))
        return usage(QStringLiteral("unknown area '%1'").arg(areaName));
    if (sheet && allSheets)
        return usage(QStringLiteral("--sheet and --all-sheets exclude each other"));
    if (options.BlackWhite && options.Format != TExportFormat::BMP)
        return usage(QStringLiteral("--bw needs the bmp format"));
    if (options.Transparent && options.Format != TExportFormat::PNG)
        return usage(QStringLiteral("--transparent needs the png format"));
    if (dpiGiven && options.Format == TExportFormat::SVG)
        return usage(QStringLiteral("--dpi has no meaning for svg"));

    TDocument doc;
    TCliFile file;
    file.Kind = kind;
    const int code = ReadCliFile(input, doc, file, kindGiven, false);
    if (code != ExitOk) return code;
    if (doc.SheetCount() == 0) {
        CliError(QStringLiteral("%1 holds no sheet").arg(input));
        return ExitFailure;
    }
    if (sheet > doc.SheetCount()) {
        CliError(QStringLiteral("%1 has %2 sheets; there is no sheet %3")
                     .arg(input)
                     .arg(doc.SheetCount())
                     .arg(sheet));
        return ExitUsage;
    }

    std::vector<int> sheets;
    if (allSheets) {
        for (int i = 0; i < doc.SheetCount(); ++i)
            sheets.push_back(i);
    } else {
        sheets.push_back(sheet ? sheet - 1 : std::max(doc.CurrentIndex(), 0));
    }
    for (int index : sheets) {
        TEditor& s = doc.Sheet(index);
        const std::vector<TElement*> elements = ElementPointers(s.Elements);
        const TExportRegion region = areaName == QLatin1String("all")
                                         ? MarginRegion(UnionOfBounds(elements))
                                         : PageRegion(s.SheetWidth, s.SheetHeight);
        const QString name =
            sheets.size() > 1 ? numberedName(output, index + 1, doc.SheetCount()) : output;
        options.SheetElements = &s.Elements;
        options.DrawingScale = s.Scale;
        QString error;
        if (!ExportElements(elements, region, options, name, &error)) {
            CliError(error);
            return ExitCannotWrite;
        }
        CliOut(QStringLiteral("%1\n").arg(name));
    }
    return ExitOk;
}

const CliCommand command("export", kUsage,
                         "draws a sheet (the current one, sheet N, or every sheet into numbered "
                         "files) as SVG, PNG, JPG or BMP: the whole page or all elements with a "
                         "4 mm margin, at D dpi (150), S/W BMP or transparent PNG on request",
                         exportCommand);
} // namespace
