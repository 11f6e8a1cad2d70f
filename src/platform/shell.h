#pragma once

#include <QString>
#include <QStringList>

// What the desktop offers for files and links. Each returns false when nothing could be started.

// Opens a file or folder with the program the desktop associates with it, or a link (anything
// with a scheme such as "https:" or "mailto:") in the browser or mail program.
bool ShellOpen(const QString& fileOrLink);
// Starts a program that lives on after this one ends; its output goes nowhere.
bool StartProgram(const QString& program, const QStringList& arguments);
// Starts another instance of this program with the given arguments (a file to open).
bool StartSelf(const QStringList& arguments);
