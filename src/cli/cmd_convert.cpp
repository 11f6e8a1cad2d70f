#include "cli/cli.h"
#include "cli/cli_document.h"
#include "document/document.h"

namespace {

int convert(const QStringList& argsIn) {
    QStringList args = argsIn;
    bool kindGiven;
    FileKind kind = FileKind::Document;
    if (!TakeKindOption(args, kindGiven, kind)) return ExitUsage;
    if (args.size() != 2) {
        CliError(QStringLiteral("usage: kavro-cli convert IN OUT [--kind KIND]"));
        return ExitUsage;
    }
    FileKind outKind;
    if (!FileKindOfName(args.at(1), outKind)) {
        CliError(QStringLiteral("cannot tell the kind of %1: use .kav8, .blt, .sbk or .lib")
                     .arg(args.at(1)));
        return ExitUsage;
    }
    TDocument doc;
    TCliFile file;
    file.Kind = kind;
    const int code = ReadCliFile(args.at(0), doc, file, kindGiven, false);
    if (code != ExitOk) return code;
    // The copy must not depend on where its source lies: file placeholders stay as typed, as in
    // an untitled document, so converting a converted file gives the same bytes again.
    doc.FileName.clear();
    return WriteCliFile(doc, args.at(1), outKind) ? ExitOk : ExitCannotWrite;
}

const CliCommand command("convert", "convert IN OUT [--kind document|sheet|form|library]",
                         "reads a file of any kind and version and writes OUT at version 80 as "
                         "the kind its extension names (a sheet or form sheet takes the current "
                         "sheet)",
                         convert);
} // namespace
