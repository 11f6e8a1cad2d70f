#include "document/textconstants.h"

#include "platform/cp1252.h"
#include "platform/folders.h"
#include "platform/messages.h"
#include "platform/savefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>

namespace {
// A list of constants is a few kilobytes; anything far larger is no such file.
constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

QString cannot(int message, const QString& path) {
    return GetMessage(message) + QStringLiteral("\r\r\"%1\"").arg(path);
}
} // namespace

QStringList& TextConstants() {
    static QStringList list;
    // Read on first use, so nothing can write the file before its constants were taken in.
    static const bool loaded = LoadTextConstants(TextConstantsFileName(), list);
    Q_UNUSED(loaded);
    return list;
}

QString TextConstantsFileName() {
    return DataFolder() + QStringLiteral("USERTEXT.DAT");
}

void NormalizeTextConstants(QStringList& list) {
    list.erase(std::remove_if(list.begin(), list.end(),
                              [](const QString& s) { return s.trimmed().isEmpty(); }),
               list.end());
    std::stable_sort(list.begin(), list.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
}

QStringList DecodeTextFileLines(const QByteArray& bytes) {
    QString text;
    if (bytes.startsWith("\xFF\xFE")) {
        text = QStringDecoder(QStringDecoder::Utf16LE).decode(bytes.mid(2));
    } else if (bytes.startsWith("\xFE\xFF")) {
        text = QStringDecoder(QStringDecoder::Utf16BE).decode(bytes.mid(2));
    } else if (bytes.startsWith("\xEF\xBB\xBF")) {
        text = QString::fromUtf8(bytes.mid(3));
    } else {
        QStringDecoder utf8(QStringDecoder::Utf8);
        text = utf8.decode(bytes);
        if (utf8.hasError()) text = FromCp1252(bytes);
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

QByteArray EncodeTextConstants(const QStringList& list) {
    QString text;
    for (const QString& s : list)
        text += s + QStringLiteral("\r\n");
    QByteArray bytes("\xFF\xFE", 2);
    for (QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

bool LoadTextConstants(const QString& fileName, QStringList& list, QString* error) {
    const QFileInfo info(fileName);
    if (!info.exists()) return true;
    QFile f(fileName);
    if (!info.isFile() || info.size() > kMaxFileSize || !f.open(QIODevice::ReadOnly)) {
        if (error) *error = cannot(5002, fileName);
        return false;
    }
    QStringList lines = DecodeTextFileLines(f.readAll());
    NormalizeTextConstants(lines);
    list = lines;
    return true;
}

bool SaveTextConstants(const QString& fileName, const QStringList& list, QString* error) {
    QStringList l = list;
    NormalizeTextConstants(l);
    if (!QFileInfo(fileName).absoluteDir().exists()) EnsureDataFolder();
    if (WriteFileSafely(fileName, EncodeTextConstants(l))) return true;
    if (error) *error = cannot(5004, fileName);
    return false;
}
