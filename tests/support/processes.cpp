#include "support/processes.h"

#include <QProcess>
#include <QStandardPaths>

ProcessResult RunProgram(const QString& program, const QStringList& args, int timeoutMs) {
    return RunProgramWithEnv(program, args, {}, timeoutMs);
}

ProcessResult RunProgramWithEnv(const QString& program, const QStringList& args,
                                const QStringList& environment, int timeoutMs) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& assignment : environment) {
        const qsizetype eq = assignment.indexOf(u'=');
        env.insert(assignment.left(eq), eq < 0 ? QString() : assignment.mid(eq + 1));
    }
    p.setProcessEnvironment(env);
    p.start(program, args);
    ProcessResult r;
    if (!p.waitForStarted(30000)) return r;
    p.closeWriteChannel();
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return r;
}

bool HaveTool(const QString& name) {
    return !QStandardPaths::findExecutable(name).isEmpty();
}
