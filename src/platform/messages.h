#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <array>

// Every text the program shows comes from one message table in three languages, looked up by a
// numeric message ID. A line of the table reads "ID;German;English;French"; a translator may add
// a fifth field ("Translations.txt") that then replaces the text in every language. Lines whose
// ID part is empty (comments, empty lines) are no messages. A line break inside a message is
// written "\r" (and a backslash "\\"), so that every entry stays on one line of the files.

// Interface language of the run: 0 German, 1 English, 2 French.
enum TLanguage : int { LangGerman = 0, LangEnglish = 1, LangFrench = 2 };

// Any other value selects German, the default of the language setting.
void SetInterfaceLanguage(int language);
int InterfaceLanguage();

// The text of a message in the interface language (the translation when the line has one);
// an unknown ID gives "".
QString GetMessage(int id);

// The five fields of a line: each is the text before the next ";"; when that text is empty (no
// further ";", or two ";" in a row) the field takes the whole remaining text and the later
// fields stay empty.
std::array<QString, 5> SplitMessageLine(const QString& line);

// Turns the "\r" and "\\" escapes of a stored text into the characters they stand for.
QString DecodeMessageText(const QString& stored);

class TMessageTable {
public:
    TMessageTable() = default;
    explicit TMessageTable(QStringList lines);

    // The table built into the program, comment and empty lines included.
    static TMessageTable BuiltIn();

    const QStringList& Lines() const { return m_lines; }

    // Index of the line with this ID, or -1. Lines are searched in order: a line whose text
    // before the first ";" is empty is skipped, the first line with an equal number wins, and a
    // line whose ID text is no number ends the search ("0100" is found for 100).
    int FindLine(qint64 id) const;

    // The decoded text of a message for a language: the fifth field when it is not empty, else
    // the language's field; "" for an unknown ID.
    QString Text(qint64 id, int language) const;

    // Index of the first line whose ID is a number of 1 to 10 digits but which lacks a German,
    // English or French text; -1 when every message line is complete.
    int Validate() const;

    // For every message line (ID of 1 to 10 digits, above 0) whose ID the file has with a
    // non-empty fifth field, appends ";" and that field to the line. Returns the number of lines
    // that took a translation.
    int MergeTranslations(const TMessageTable& file);

    // Writes every line, in order, as UTF-16LE with byte-order mark and CR LF after each line.
    // The file is written beside the target and moved over it only when complete.
    bool Write(const QString& path) const;

private:
    void Reindex();

    QStringList m_lines;
    QHash<qint64, int> m_index; // first line per ID, up to the line that ends the search
};

// Lines of a "Translations.txt" file. The encoding follows the byte-order mark (UTF-16LE,
// UTF-16BE, UTF-8); without one the bytes are UTF-8 when they are valid UTF-8, else
// Windows-1252. Lines end at CR LF, LF or CR.
QStringList DecodeTranslationLines(const QByteArray& bytes);
// False when the file is missing, unreadable or implausibly large.
bool ReadTranslationFile(const QString& path, QStringList* lines);

// Validates a table; a faulty line is reported with the plain box "TranslationList-Error!"
// through the prompt service (platform/prompt.h). Returns the index of the first faulty line,
// or -1.
int CheckMessageTable(const TMessageTable& table);

// What the start-up steps of the message table did.
struct TMessageTableInit {
    int invalidLine = -1; // index of the first incomplete message line, -1 when none
    QString invalidText;  // that line
    bool translationsFound = false;
    bool translationsRead = false;
    int translationsMerged = 0;  // table lines that took a translation
    bool writeAttempted = false; // editor configuration only
    bool written = false;
};

// The start-up sequence: build the table, validate it, merge "Translations.txt" of the data
// folder and, unless in the viewer configuration, write the merged table back to that file.
// The result becomes the table GetMessage reads. Failures to read or write leave the built-in
// texts and are only reported in the result.
TMessageTableInit InitMessageTable(const QString& dataFolder, bool isViewer);

// The table GetMessage reads; the built-in one until InitMessageTable ran.
const TMessageTable& CurrentMessageTable();

// Caption without accelerator marks: "&Datei" gives "Datei", "&&" gives "&". Qt menus and
// buttons take the "&" marks as they are; this is for window titles and plain labels.
QString StripAccelerator(const QString& caption);

// Decimal separator of the interface language: "." in English, "," in German and French.
QChar LocalDecimalSeparator();

// Qt file-dialog filter of a file-type message (4300-4310): the message text and the file
// patterns of that type, e.g. "Alle Schaltpläne (*.kav*)". "" for other IDs.
QString FileTypeFilter(int id);
