#pragma once

#include <QByteArray>
#include <QString>

class TDocument;
class TEditor;
class TStreamReader;
class TStreamWriter;

// The one container format of documents, sheet files, form-sheet files and library pages.
enum class FileKind { Document, SheetFile, FormSheetFile, LibraryPage };

// The kind an extension names: ".kav8", ".kav", ".bak" documents, ".blt" sheet files, ".sbk"
// form sheets, ".lib" library pages (compared without regard to case). False for others.
bool FileKindOfName(const QString& fileName, FileKind& kind);
const char* FileKindName(FileKind kind); // "document", "sheet file", ...

enum class TLoadOutcome {
    Ok,
    CannotRead,   // the file could not be opened or read
    NotKavro,     // wrong magic, or the version digits are no number
    NewerVersion, // written by a version above 80
    Damaged,      // a read error in the data
};

// Where a damaged file failed.
enum class TDamageStage {
    None,
    Variables, // user-variable block or document options (before the sheets)
    Sheets,    // sheet directory or a sheet record: the damaged-file analysis applies
    Trailer,   // the options after the last sheet (versions 50 to 60)
    Elements,  // a form-sheet file or library page
};

struct TLoadReport {
    TLoadOutcome Outcome = TLoadOutcome::Ok;
    TDamageStage Stage = TDamageStage::None;
    int Version = 0;
    int SheetsRead = 0;   // N: sheet records read completely
    int SheetsStored = 0; // M: the stored sheet count
    QString Reason;       // what failed, for logs and kavro-cli
    qint64 Offset = -1;   // byte offset of the failure
    int Passes = 0;       // versions 50 to 60 may read the sheets twice
    QString RecoveryFile; // set when the document was repaired into this file and opened
};

struct TLoadOptions {
    // A new sheet receives the default form sheet: Modified stays, a failure clears the
    // "Formblatt" setting.
    bool ApplyingDefaultFormSheet = false;
    // A template is opened: no "Backup_of_" copy.
    bool AsTemplate = false;
    // A form-sheet file replaces the sheet's form sheet once it was read completely.
    bool ReplaceFormSheet = false;
};

// Largest sheet count for which a damaged document is offered for repair.
constexpr int kMaxRepairableSheets = 1001;

// The program's load: reads the file, reports failures to the user, runs the damaged-file
// analysis with its repair, and makes the backup copy. True when the file was read completely
// (or repaired and the repaired file opened). For Document the caller has emptied the document;
// SheetFile appends sheets; FormSheetFile adds to the current sheet.
bool LoadDocumentFile(TDocument& doc, const QString& fileName, FileKind kind,
                      const TLoadOptions& options = {}, TLoadReport* report = nullptr);

// The program's save: writes through a temporary file beside the target that replaces it only
// when complete. A failure shows message 5004 and leaves the old file and the document as they
// were. A Document save that is not an autosave discards the undo histories and clears Modified,
// after success. (Saving a template uses the autosave flag too: it keeps both.)
bool SaveDocumentFile(TDocument& doc, const QString& fileName, FileKind kind,
                      bool autosave = false);

// The parts of the container without any message or file side effect (kavro-cli, tests and the
// sheet copy use them). The reader may still ask about conflicting user variables.
TLoadReport ReadDocumentData(TDocument& doc, const QByteArray& data, FileKind kind,
                             const TLoadOptions& options = {});
// Writes the kind's content of the document; SheetFile and FormSheetFile take the current
// sheet (false when there is none).
bool WriteDocumentData(TStreamWriter& s, const TDocument& doc, FileKind kind);

// One full sheet record (version 80), as documents and sheet copies store it.
void WriteSheetRecord(TStreamWriter& s, const TEditor& sheet);
// Reads a full sheet record of the given version into a new sheet of the document.
void ReadSheetRecord(TStreamReader& s, TDocument& doc, int version);

// Library pages: header, directory and one sheet record in short form.
void WriteLibraryPageData(TStreamWriter& s, const TEditor& page);
// Reads a page into `page` (elements appended; any record count, the last record's name).
// Components are re-linked within the page. A failure is reported, not shown; the page then
// holds what was read before it.
TLoadReport ReadLibraryPageData(const QByteArray& data, TEditor& page);
bool SaveLibraryPageFile(const TEditor& page, const QString& fileName);

// File names derived from a document's name.
QString AutosaveFileName(const QString& fileName); // extension replaced by ".bak"
QString RecoveryFileName(const QString& fileName); // extension replaced by "_RECOVER.kav8"
QString BackupFileName(const QString& fileName);   // "Backup_of_" before the name

// "*** LOAD ERROR ***" ... in the interface language, without the termination sentence.
QString DamagedFileText(const QString& path);
// The repair offer of the damaged-file analysis.
QString RepairOfferText(const QString& path, int sheetsRead, int sheetsStored);
