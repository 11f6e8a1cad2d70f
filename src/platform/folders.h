#pragma once

#include <QString>

// The folders the program works in. Paths use "/" and every folder path ends with "/".

// "path/" for "path" and for "path/"; an empty path stays empty (it names no folder).
QString IncludeTrailingSlash(const QString& path);

// The folder of the program file.
QString ProgramFolder();
// $KAVRO_DATA_DIR when set, else the user's data location followed by "Kavro80/"; when the
// system names no data location, the program folder followed by "Kavro80/".
QString DataFolder();
// The user's documents folder; the program folder when the system names none.
QString DocumentsFolder();

// Creates the data folder (with its parents) when it is missing; false when it does not exist
// afterwards.
bool EnsureDataFolder();
