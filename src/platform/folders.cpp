#include "platform/folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString IncludeTrailingSlash(const QString& path) {
    if (path.isEmpty() || path.endsWith(u'/')) return path;
    return path + u'/';
}

QString ProgramFolder() {
    // Without an application object (tools, fuzzers) there is no program file to ask.
    QString dir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    if (dir.isEmpty()) dir = QDir::currentPath();
    return IncludeTrailingSlash(QDir::cleanPath(dir));
}

QString DataFolder() {
    const QString fromEnv = qEnvironmentVariable("KAVRO_DATA_DIR");
    if (!fromEnv.isEmpty())
        return IncludeTrailingSlash(QDir::cleanPath(QFileInfo(fromEnv).absoluteFilePath()));
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty()) return ProgramFolder() + QStringLiteral("Kavro80/");
    return IncludeTrailingSlash(QDir::cleanPath(base)) + QStringLiteral("Kavro80/");
}

QString DocumentsFolder() {
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (docs.isEmpty()) return ProgramFolder();
    return IncludeTrailingSlash(QDir::cleanPath(docs));
}

bool EnsureDataFolder() {
    const QString dir = DataFolder();
    if (QFileInfo(dir).isDir()) return true;
    return QDir().mkpath(dir) && QFileInfo(dir).isDir();
}
