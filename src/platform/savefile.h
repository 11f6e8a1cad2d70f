#pragma once

#include <QByteArray>
#include <QString>

// Writes a whole file through a temporary file beside it that replaces the old file only when
// every byte was written; on failure the old file is unchanged and no temporary file remains.
// A device or a pipe is written directly (and a short write there is a failure).
//
// Writing through QSaveFile yourself: open it with QIODevice::Unbuffered. With its buffer, a short
// write in the final flush (disk full) can go unnoticed and commit() replaces the old file with a
// cut one.
bool WriteFileSafely(const QString& path, const QByteArray& bytes);
