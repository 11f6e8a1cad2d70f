#include "cli/cli_document.h"

#include "cli/cli.h"
#include "document/document.h"
#include "elements/elementdump.h"
#include "platform/stream.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>

bool TakeKindOption(QStringList& args, bool& given, FileKind& kind) {
    given = false;
    const int at = int(args.indexOf(QStringLiteral("--kind")));
    if (at < 0) return true;
    if (at + 1 >= args.size()) {
        CliError(QStringLiteral("--kind needs a value: document, sheet, form or library"));
        return false;
    }
    const QString v = args.at(at + 1);
    if (v == QLatin1String("document"))
        kind = FileKind::Document;
    else if (v == QLatin1String("sheet"))
        kind = FileKind::SheetFile;
    else if (v == QLatin1String("form"))
        kind = FileKind::FormSheetFile;
    else if (v == QLatin1String("library"))
        kind = FileKind::LibraryPage;
    else {
        CliError(QStringLiteral("unknown kind '%1': use document, sheet, form or library").arg(v));
        return false;
    }
    args.remove(at, 2);
    given = true;
    return true;
}

int ExitCodeOf(TLoadOutcome outcome) {
    switch (outcome) {
    case TLoadOutcome::Ok: return ExitOk;
    case TLoadOutcome::CannotRead: return ExitCannotRead;
    case TLoadOutcome::NotKavro: return ExitNotKavro;
    case TLoadOutcome::NewerVersion: return ExitNewerVersion;
    case TLoadOutcome::Damaged: return ExitDamaged;
    }
    return ExitFailure;
}

QString DescribeFailure(const QString& path, const TCliFile& file) {
    const TLoadReport& r = file.Report;
    switch (r.Outcome) {
    case TLoadOutcome::Ok: return {};
    case TLoadOutcome::CannotRead:
        return QStringLiteral("cannot read %1: %2").arg(path, r.Reason);
    case TLoadOutcome::NotKavro: return QStringLiteral("%1 is not a Kavro file").arg(path);
    case TLoadOutcome::NewerVersion:
        return QStringLiteral("%1 was written by a newer version (file version %2)")
            .arg(path)
            .arg(r.Version);
    case TLoadOutcome::Damaged: {
        QString s = QStringLiteral("%1 is damaged").arg(path);
        if (r.Stage == TDamageStage::Sheets || r.Stage == TDamageStage::Trailer)
            s += QStringLiteral(": %1 of %2 sheets readable").arg(r.SheetsRead).arg(r.SheetsStored);
        s += QStringLiteral(" (%1").arg(r.Reason);
        if (r.Offset >= 0) s += QStringLiteral(" at byte %1").arg(r.Offset);
        return s + QLatin1Char(')');
    }
    }
    return {};
}

int ReadCliFile(const QString& path, TDocument& doc, TCliFile& file, bool kindGiven, bool quiet) {
    QFile f(path);
    QByteArray data;
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly)) {
        file.Report.Outcome = TLoadOutcome::CannotRead;
        const QFileInfo info(path);
        file.Report.Reason = !info.exists() ? QStringLiteral("no such file")
                             : info.isDir() ? QStringLiteral("it is a folder")
                                            : f.errorString();
    } else {
        data = f.readAll();
        if (f.error() != QFileDevice::NoError) {
            file.Report.Outcome = TLoadOutcome::CannotRead;
            file.Report.Reason = f.errorString();
        }
    }
    if (file.Report.Outcome == TLoadOutcome::Ok) {
        const bool named = kindGiven || FileKindOfName(path, file.Kind);
        if (!named && data.mid(1, 5) != "KAVRO") {
            // Form sheets carry no header; under another name only --kind says what it is.
            file.Report.Outcome = TLoadOutcome::NotKavro;
        } else {
            if (!named) file.Kind = FileKind::Document;
            if (file.Kind == FileKind::FormSheetFile) doc.CreateSheet(false);
            // Texts show the file's name, folder and date as in the editor.
            if (file.Kind == FileKind::Document) doc.FileName = QFileInfo(path).absoluteFilePath();
            file.Report = ReadDocumentData(doc, data, file.Kind);
        }
    }
    if (file.Report.Outcome != TLoadOutcome::Ok && !quiet) CliError(DescribeFailure(path, file));
    return ExitCodeOf(file.Report.Outcome);
}

bool WriteCliFile(TDocument& doc, const QString& path, FileKind kind) {
    bool ok;
    if (kind == FileKind::LibraryPage)
        ok = doc.CurrentSheet() && SaveLibraryPageFile(*doc.CurrentSheet(), path);
    else
        ok = SaveDocumentFile(doc, path, kind);
    if (!ok) CliError(QStringLiteral("cannot write %1").arg(path));
    return ok;
}

QJsonObject ElementJson(const TElement& e) {
    return DumpElement(e);
}
