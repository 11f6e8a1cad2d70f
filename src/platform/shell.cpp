#include "platform/shell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace {
// "C:/x" has a one-letter scheme to QUrl; a real scheme is longer.
bool IsLink(const QString& s) {
    const qsizetype colon = s.indexOf(u':');
    if (colon < 2) return false;
    const QUrl url(s, QUrl::StrictMode);
    return url.isValid() && url.scheme().size() == colon;
}
} // namespace

bool ShellOpen(const QString& fileOrLink) {
    if (fileOrLink.isEmpty()) return false;
    if (IsLink(fileOrLink)) return QDesktopServices::openUrl(QUrl(fileOrLink, QUrl::StrictMode));
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(fileOrLink).absoluteFilePath()));
}

bool StartProgram(const QString& program, const QStringList& arguments) {
    if (program.isEmpty()) return false;
    return QProcess::startDetached(program, arguments);
}

bool StartSelf(const QStringList& arguments) {
    if (!QCoreApplication::instance()) return false;
    return StartProgram(QCoreApplication::applicationFilePath(), arguments);
}
