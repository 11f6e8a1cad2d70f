#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

struct ProcessResult {
    int code = -1; // exit code; -1 when the program did not start or crashed
    QByteArray out, err;
    QString Out() const { return QString::fromUtf8(out); }
    QString Err() const { return QString::fromUtf8(err); }
};

// Runs a program to its end (never waits for input: stdin is closed).
ProcessResult RunProgram(const QString& program, const QStringList& args, int timeoutMs = 120000);
// The same with variables added to (or replacing those of) the environment: "NAME=value".
ProcessResult RunProgramWithEnv(const QString& program, const QStringList& args,
                                const QStringList& environment, int timeoutMs = 120000);
inline ProcessResult RunCli(const QStringList& args) {
    return RunProgram(QStringLiteral(KAVRO_CLI_PATH), args);
}
// True when a command-line tool is on PATH (tests that need rsvg-convert etc. skip without it).
bool HaveTool(const QString& name);
