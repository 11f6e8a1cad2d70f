#pragma once

// Text constants: one list of strings for the whole program, offered for quick insertion while a
// text is typed. It lives in "USERTEXT.DAT" in the data folder, independent of documents: UTF-16
// little-endian text with a byte-order mark, one constant per line, sorted without regard to
// case and without empty entries.

#include <QByteArray>
#include <QString>
#include <QStringList>

// The program's list, read from the file (when it exists) on first use.
QStringList& TextConstants();

// The data folder followed by "USERTEXT.DAT".
QString TextConstantsFileName();

// Sorts without regard to case (stable, so equal spellings keep their order) and drops entries
// that are empty or blank.
void NormalizeTextConstants(QStringList& list);

// The lines of a text file: UTF-16 (either order) or UTF-8 with a byte-order mark, else UTF-8
// when it decodes cleanly, else Windows-1252; lines end with CR LF, LF or CR.
QStringList DecodeTextFileLines(const QByteArray& bytes);
// UTF-16LE with a byte-order mark, every line ended by CR LF.
QByteArray EncodeTextConstants(const QStringList& list);

// Reads the file into the list (normalised). A missing file leaves the list as it is and gives
// true; a file that cannot be read, or is unreasonably large, gives false and an error text.
bool LoadTextConstants(const QString& fileName, QStringList& list, QString* error = nullptr);
// Writes the list (normalised) through a temporary file; false and an error text on failure.
bool SaveTextConstants(const QString& fileName, const QStringList& list, QString* error = nullptr);
