#include "cli/cli.h"
#include "cli/cli_document.h"
#include "document/document.h"

#include <cmath>

namespace {

int check(const QStringList& argsIn) {
    QStringList args = argsIn;
    bool kindGiven;
    FileKind kind = FileKind::Document;
    if (!TakeKindOption(args, kindGiven, kind)) return ExitUsage;
    QString repairTo;
    const int at = int(args.indexOf(QStringLiteral("--repair")));
    if (at >= 0) {
        if (at + 1 >= args.size()) {
            CliError(QStringLiteral("--repair needs the file to write"));
            return ExitUsage;
        }
        repairTo = args.at(at + 1);
        args.remove(at, 2);
    }
    if (args.size() != 1 || args.first().startsWith(QLatin1String("--"))) {
        CliError(QStringLiteral("usage: kavro-cli check FILE [--repair OUT] [--kind KIND]"));
        return ExitUsage;
    }
    const QString path = args.first();
    TDocument doc;
    TCliFile file;
    file.Kind = kind;
    ReadCliFile(path, doc, file, kindGiven, true);
    const TLoadReport& r = file.Report;
    FileKind outKind = file.Kind;
    doc.FileName.clear(); // a repaired copy shows no file data of the damaged file (as convert)
    if (!repairTo.isEmpty() && !FileKindOfName(repairTo, outKind)) outKind = file.Kind;

    switch (r.Outcome) {
    case TLoadOutcome::CannotRead:
        CliError(DescribeFailure(path, file));
        return ExitCannotRead;
    case TLoadOutcome::NotKavro:
        CliOut(QStringLiteral("not a Kavro file\n"));
        return ExitNotKavro;
    case TLoadOutcome::NewerVersion:
        CliOut(QStringLiteral("newer version: file version %1 (%2.0)\n")
                   .arg(r.Version)
                   .arg(int(std::nearbyint(r.Version / 10.0))));
        return ExitNewerVersion;
    case TLoadOutcome::Ok:
        CliOut(QStringLiteral("fine: %1, version %2, %3 sheets\n")
                   .arg(QString::fromLatin1(FileKindName(file.Kind)))
                   .arg(r.Version)
                   .arg(doc.SheetCount()));
        if (!repairTo.isEmpty() && !WriteCliFile(doc, repairTo, outKind)) return ExitCannotWrite;
        return ExitOk;
    case TLoadOutcome::Damaged:
        break;
    }
    QString line = QStringLiteral("damaged");
    if (r.Stage == TDamageStage::Sheets || r.Stage == TDamageStage::Trailer)
        line += QStringLiteral(": %1 of %2 sheets readable").arg(r.SheetsRead).arg(r.SheetsStored);
    else if (r.Stage == TDamageStage::Variables)
        line += QStringLiteral(": the user variables or document options cannot be read");
    else
        line += QStringLiteral(": the element list cannot be read");
    line += QStringLiteral(" (%1").arg(r.Reason);
    if (r.Offset >= 0) line += QStringLiteral(" at byte %1").arg(r.Offset);
    CliOut(line + QStringLiteral(")\n"));
    if (!repairTo.isEmpty()) {
        // What was read before the damage is kept; a document keeps at least one sheet.
        if (doc.SheetCount() == 0) doc.CreateSheet(false);
        if (!WriteCliFile(doc, repairTo, outKind)) return ExitCannotWrite;
        CliOut(QStringLiteral("repaired: wrote %1 with %2 sheets\n").arg(repairTo).arg(doc.SheetCount()));
    }
    return ExitFailure;
}

const CliCommand command("check", "check FILE [--repair OUT] [--kind document|sheet|form|library]",
                         "loads the file and tells whether it is fine, not a Kavro file, of a "
                         "newer version or damaged (how many sheets are readable); --repair "
                         "writes what can be reconstructed",
                         check);
} // namespace
