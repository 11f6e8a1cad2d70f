#pragma once

#include <QString>
#include <QStringList>

// Exit codes of kavro-cli; documented in README.md.
enum CliExit : int {
    ExitOk = 0,
    ExitFailure = 1,     // the command ran and found a problem (e.g. check found damage)
    ExitUsage = 2,       // unknown command, missing or bad argument
    ExitCannotRead = 3,  // input missing or unreadable
    ExitNotKavro = 4,    // input is not a file of this program
    ExitNewerVersion = 5,// input was written by a newer version
    ExitDamaged = 6,     // input is damaged
    ExitCannotWrite = 7, // output could not be written
};

using CliHandler = int (*)(const QStringList& args);

// Each command file registers itself with a static CliCommand object.
struct CliCommand {
    CliCommand(const char* name, const char* usage, const char* summary, CliHandler handler);
};

// One line on stderr, prefixed with the program name.
void CliError(const QString& message);
// Text on stdout, UTF-8.
void CliOut(const QString& text);
