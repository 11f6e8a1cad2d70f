#include "platform/savefile.h"

#include <QSaveFile>

bool WriteFileSafely(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty()) return false;
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
    if (f.write(bytes) != bytes.size() || f.error() != QFileDevice::NoError) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}
