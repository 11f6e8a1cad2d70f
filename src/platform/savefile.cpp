#include "platform/savefile.h"

#include <QFileInfo>
#include <QSaveFile>

bool WriteFileSafely(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty()) return false;
    const QFileInfo info(path);
    if (info.exists() && !info.isFile() && !info.isDir()) {
        // A device or a pipe (/dev/stdout, a FIFO) is written as it is: a temporary file beside
        // it would be moved over it and replace the device with a regular file.
        QFile device(path);
        if (!device.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
        return device.write(bytes) == bytes.size() && device.error() == QFileDevice::NoError;
    }
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
    if (f.write(bytes) != bytes.size() || f.error() != QFileDevice::NoError) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}
