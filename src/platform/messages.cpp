#include "platform/messages.h"

#include "platform/cp1252.h"
#include "platform/prompt.h"
#include "platform/savefile.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QStringDecoder>

// The resource lives in the static core library; naming its initialiser keeps the linker from
// dropping it. Q_INIT_RESOURCE must be used outside any namespace.
static void InitMessagesResource() {
    Q_INIT_RESOURCE(messages);
}

namespace {

int g_language = LangGerman;

TMessageTable& Table() {
    static TMessageTable table = TMessageTable::BuiltIn();
    return table;
}

// A translation file far beyond any real one is not read at all.
constexpr qint64 kMaxTranslationFileSize = 32 * 1024 * 1024;

// Optional sign and up to 18 digits, nothing else.
bool ParseNumber(QStringView s, qint64* value) {
    qsizetype i = 0;
    bool negative = false;
    if (!s.isEmpty() && (s[0] == u'+' || s[0] == u'-')) {
        negative = s[0] == u'-';
        i = 1;
    }
    const qsizetype digits = s.size() - i;
    if (digits < 1 || digits > 18) return false;
    qint64 v = 0;
    for (; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        if (c < u'0' || c > u'9') return false;
        v = v * 10 + (c - u'0');
    }
    *value = negative ? -v : v;
    return true;
}

bool IsIdOf1To10Digits(QStringView s) {
    if (s.isEmpty() || s.size() > 10) return false;
    for (QChar c : s)
        if (c < u'0' || c > u'9') return false;
    return true;
}

// The text before the first ";"; a line without ";" has none.
QStringView IdText(const QString& line) {
    const qsizetype p = line.indexOf(u';');
    return p < 0 ? QStringView() : QStringView(line).left(p);
}

} // namespace

void SetInterfaceLanguage(int language) {
    g_language = (language >= LangGerman && language <= LangFrench) ? language : LangGerman;
    // Message-box buttons speak the interface language too, not the toolkit's.
    using R = TPromptResult;
    static const struct {
        R Button;
        const char* Text[3];
    } buttons[] = {
        {R::Ok, {"OK", "OK", "OK"}},
        {R::Cancel, {"Abbrechen", "Cancel", "Annuler"}},
        {R::Yes, {"&Ja", "&Yes", "&Oui"}},
        {R::No, {"&Nein", "&No", "&Non"}},
        {R::Retry, {"&Wiederholen", "&Retry", "&R\u00e9essayer"}},
        {R::Abort, {"&Abbrechen", "&Abort", "&Abandonner"}},
        {R::Ignore, {"&Ignorieren", "&Ignore", "&Ignorer"}},
    };
    for (const auto& b : buttons)
        SetPromptButtonCaption(b.Button, QString::fromUtf8(b.Text[g_language]));
}

int InterfaceLanguage() {
    return g_language;
}

QString GetMessage(int id) {
    return Table().Text(id, g_language);
}

std::array<QString, 5> SplitMessageLine(const QString& line) {
    std::array<QString, 5> fields;
    QStringView rest(line);
    for (QString& field : fields) {
        const qsizetype p = rest.indexOf(u';');
        if (p <= 0) {
            field = rest.toString();
            break;
        }
        field = rest.left(p).toString();
        rest = rest.mid(p + 1);
    }
    return fields;
}

QString DecodeMessageText(const QString& stored) {
    if (!stored.contains(u'\\')) return stored;
    QString out;
    out.reserve(stored.size());
    for (qsizetype i = 0; i < stored.size(); ++i) {
        const QChar c = stored[i];
        if (c == u'\\' && i + 1 < stored.size()) {
            const QChar next = stored[i + 1];
            if (next == u'r') {
                out += u'\r';
                ++i;
                continue;
            }
            if (next == u'\\') {
                out += u'\\';
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

TMessageTable::TMessageTable(QStringList lines) : m_lines(std::move(lines)) {
    Reindex();
}

TMessageTable TMessageTable::BuiltIn() {
    InitMessagesResource();
    QFile file(QStringLiteral(":/kavro/messages.txt"));
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("The built-in message table is missing.");
        return {};
    }
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (QString& line : lines)
        if (line.endsWith(u'\r')) line.chop(1);
    return TMessageTable(std::move(lines));
}

void TMessageTable::Reindex() {
    m_index.clear();
    for (int i = 0; i < m_lines.size(); ++i) {
        const QStringView idText = IdText(m_lines[i]);
        if (idText.isEmpty()) continue;
        qint64 id = 0;
        if (!ParseNumber(idText, &id)) break;             // the search never gets past this line
        if (!m_index.contains(id)) m_index.insert(id, i); // the first equal line wins
    }
}

int TMessageTable::FindLine(qint64 id) const {
    return m_index.value(id, -1);
}

QString TMessageTable::Text(qint64 id, int language) const {
    const int i = FindLine(id);
    if (i < 0) return {};
    const std::array<QString, 5> f = SplitMessageLine(m_lines[i]);
    if (!f[4].isEmpty()) return DecodeMessageText(f[4]);
    if (language < LangGerman || language > LangFrench) language = LangGerman;
    return DecodeMessageText(f[1 + language]);
}

int TMessageTable::Validate() const {
    for (int i = 0; i < m_lines.size(); ++i) {
        const std::array<QString, 5> f = SplitMessageLine(m_lines[i]);
        if (!IsIdOf1To10Digits(f[0])) continue;
        if (f[1].isEmpty() || f[2].isEmpty() || f[3].isEmpty()) return i;
    }
    return -1;
}

int TMessageTable::MergeTranslations(const TMessageTable& file) {
    int merged = 0;
    for (QString& line : m_lines) {
        const std::array<QString, 5> f = SplitMessageLine(line);
        if (!IsIdOf1To10Digits(f[0])) continue;
        const qint64 id = f[0].toLongLong();
        if (id <= 0) continue;
        const int j = file.FindLine(id);
        if (j < 0) continue;
        const QString translation = SplitMessageLine(file.m_lines[j])[4];
        if (translation.isEmpty()) continue;
        line += u';' + translation;
        ++merged;
    }
    // The ID part of every line is unchanged, so the index still holds.
    return merged;
}

bool TMessageTable::Write(const QString& path) const {
    QByteArray bytes;
    qsizetype units = 1;
    for (const QString& line : m_lines)
        units += line.size() + 2;
    bytes.reserve(units * 2);
    const auto put = [&bytes](char16_t u) {
        bytes.append(static_cast<char>(u & 0xFF));
        bytes.append(static_cast<char>(u >> 8));
    };
    put(0xFEFF);
    for (const QString& line : m_lines) {
        for (QChar c : line)
            put(c.unicode());
        put(u'\r');
        put(u'\n');
    }
    return WriteFileSafely(path, bytes);
}

QStringList DecodeTranslationLines(const QByteArray& bytes) {
    QString text;
    const auto decode = [&text](QStringConverter::Encoding encoding, QByteArrayView data) {
        QStringDecoder decoder(encoding);
        text = decoder(data);
    };
    if (bytes.startsWith("\xFF\xFE")) {
        decode(QStringConverter::Utf16LE, QByteArrayView(bytes).sliced(2));
    } else if (bytes.startsWith("\xFE\xFF")) {
        decode(QStringConverter::Utf16BE, QByteArrayView(bytes).sliced(2));
    } else if (bytes.startsWith("\xEF\xBB\xBF")) {
        decode(QStringConverter::Utf8, QByteArrayView(bytes).sliced(3));
    } else {
        QStringDecoder utf8(QStringConverter::Utf8);
        text = utf8(bytes);
        if (utf8.hasError()) text = FromCp1252(bytes);
    }

    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.append(text.mid(start));
    return lines;
}

bool ReadTranslationFile(const QString& path, QStringList* lines) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    if (file.size() > kMaxTranslationFileSize) return false;
    const QByteArray bytes = file.read(kMaxTranslationFileSize + 1);
    if (bytes.size() > kMaxTranslationFileSize) return false;
    *lines = DecodeTranslationLines(bytes);
    return true;
}

int CheckMessageTable(const TMessageTable& table) {
    const int bad = table.Validate();
    if (bad >= 0) Prompts().ShowMessage(QStringLiteral("TranslationList-Error!"));
    return bad;
}

TMessageTableInit InitMessageTable(const QString& dataFolder, bool isViewer) {
    TMessageTableInit result;
    TMessageTable table = TMessageTable::BuiltIn();

    result.invalidLine = CheckMessageTable(table);
    if (result.invalidLine >= 0) result.invalidText = table.Lines().at(result.invalidLine);

    const QString path = QDir(dataFolder).filePath(QStringLiteral("Translations.txt"));
    result.translationsFound = QFile::exists(path);
    QStringList fileLines;
    if (result.translationsFound && ReadTranslationFile(path, &fileLines)) {
        result.translationsRead = true;
        result.translationsMerged = table.MergeTranslations(TMessageTable(std::move(fileLines)));
    }

    if (!isViewer) {
        result.writeAttempted = true;
        result.written = table.Write(path);
    }

    Table() = std::move(table);
    return result;
}

const TMessageTable& CurrentMessageTable() {
    return Table();
}

QString StripAccelerator(const QString& caption) {
    QString out;
    out.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&') {
            if (i + 1 < caption.size() && caption[i + 1] == u'&') {
                out += u'&';
                ++i;
            }
            continue;
        }
        out += caption[i];
    }
    return out;
}

QString FileTypeFilter(int id) {
    static const struct {
        int id;
        const char* patterns;
    } kTypes[] = {
        {4300, "*.kav*"}, {4301, "*.kav8"}, {4302, "*.kav"}, {4303, "*.kav8 *.kav*"},
        {4304, "*.sbk"},  {4305, "*.blt"},  {4306, "*.bmp"}, {4307, "*.jpg"},
        {4308, "*.emf"},  {4309, "*.svg"},  {4310, "*.png"},
    };
    for (const auto& t : kTypes)
        if (t.id == id)
            return GetMessage(id) + QStringLiteral(" (") + QLatin1String(t.patterns) + u')';
    return {};
}

QChar LocalDecimalSeparator() {
    return InterfaceLanguage() == LangEnglish ? QLatin1Char('.') : QLatin1Char(',');
}
