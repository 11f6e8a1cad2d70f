#pragma once

#include "document/fileformat.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

class TDocument;
class TElement;

// A file read the way kavro-cli reads it: without messages, backup copies or other side effects.
struct TCliFile {
    FileKind Kind = FileKind::Document;
    TLoadReport Report;
};

// Parses "--kind document|sheet|form|library" out of args (it may stand anywhere); false with a
// message for a bad value. Without the option the kind follows the file name.
bool TakeKindOption(QStringList& args, bool& given, FileKind& kind);

// Reads a file of any kind into an empty document. Returns ExitOk, or the exit code for the
// outcome after printing one line on stderr (unless quiet).
int ReadCliFile(const QString& path, TDocument& doc, TCliFile& file, bool kindGiven, bool quiet);

// Exit code of a load outcome (damage counts as ExitDamaged).
int ExitCodeOf(TLoadOutcome outcome);
// One line describing a failed load.
QString DescribeFailure(const QString& path, const TCliFile& file);

// Writes the document as the given kind; false after printing the error.
bool WriteCliFile(TDocument& doc, const QString& path, FileKind kind);

// JSON of an element: its class, its stored header and its own fields (or its record bytes).
QJsonObject ElementJson(const TElement& e);
