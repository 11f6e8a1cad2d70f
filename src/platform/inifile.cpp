#include "platform/inifile.h"

#include "platform/cp1252.h"
#include "platform/savefile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <limits>

namespace {

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

QStringView TrimBlanks(QStringView s) {
    qsizetype b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

bool HasOuterBlanks(const QString& s) {
    return !s.isEmpty() && (IsBlank(s.front()) || IsBlank(s.back()));
}

bool HasLineBreak(const QString& s) {
    return s.contains(u'\r') || s.contains(u'\n');
}

bool ValidSectionName(const QString& s) {
    return !s.isEmpty() && !HasOuterBlanks(s) && !HasLineBreak(s);
}

bool ValidKey(const QString& s) {
    return !s.isEmpty() && !HasOuterBlanks(s) && !HasLineBreak(s) && !s.contains(u'=') &&
           s.front() != u';' && s.front() != u'[';
}

// Code units are copied one by one, so even unpaired surrogates survive a round trip.
QString DecodeUtf16(const char* p, qsizetype bytes, bool bigEndian) {
    const qsizetype n = bytes / 2;
    QString s(n, Qt::Uninitialized);
    auto* out = reinterpret_cast<char16_t*>(s.data());
    for (qsizetype i = 0; i < n; ++i) {
        const auto a = static_cast<unsigned char>(p[2 * i]);
        const auto b = static_cast<unsigned char>(p[2 * i + 1]);
        out[i] = static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
    }
    return s;
}

QString DecodeText(const QByteArray& bytes) {
    const char* p = bytes.constData();
    const qsizetype n = bytes.size();
    if (n >= 2 && bytes.startsWith("\xFF\xFE")) return DecodeUtf16(p + 2, n - 2, false);
    if (n >= 2 && bytes.startsWith("\xFE\xFF")) return DecodeUtf16(p + 2, n - 2, true);
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        return utf8.decode(QByteArrayView(p + 3, n - 3));
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString s = utf8.decode(bytes);
    if (!utf8.hasError()) return s;
    return FromCp1252(bytes);
}

// CR LF, LF and CR all end a line; a line end after the last line adds no empty line.
QStringList SplitLines(const QString& text) {
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    if (start < n) lines.append(text.mid(start));
    return lines;
}

bool ParseInt(const QString& value, int* out) {
    QStringView t = QStringView(value).trimmed();
    bool negative = false;
    if (!t.isEmpty() && (t.front() == u'-' || t.front() == u'+')) {
        negative = t.front() == u'-';
        t = t.mid(1);
    }
    int base = 10;
    if (t.startsWith(u'$')) {
        t = t.mid(1);
        base = 16;
    } else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        t = t.mid(2);
        base = 16;
    }
    if (t.isEmpty()) return false;
    for (QChar c : t) { // the library parser would accept spaces and signs inside
        const bool digit = c >= u'0' && c <= u'9';
        const bool hex = (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
        if (!digit && !(base == 16 && hex)) return false;
    }
    bool ok = false;
    const qulonglong magnitude = t.toULongLong(&ok, base);
    if (!ok) return false;
    qint64 v;
    if (base == 16) {
        // Hexadecimal is a 32-bit pattern, so colours such as $FFFFFFFF read as written.
        if (magnitude > 0xFFFFFFFFull) return false;
        v = static_cast<qint32>(static_cast<quint32>(magnitude));
    } else {
        if (magnitude > 0x80000000ull) return false;
        v = static_cast<qint64>(magnitude);
    }
    if (negative) v = -v;
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) return false;
    *out = static_cast<int>(v);
    return true;
}

// Names are compared trimmed and case-folded.
QString Fold(const QString& name) {
    return TrimBlanks(name).toString().toCaseFolded();
}

QString OneLine(QString value) {
    value.replace(QLatin1String("\r\n"), QLatin1String(" "));
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    return value;
}

} // namespace

TMemIniFile::TMemIniFile(const QString& fileName) : m_fileName(fileName) {
    m_sections.emplace_back();
    const QFileInfo info(fileName);
    if (fileName.isEmpty() || !info.exists()) return;
    QFile f(fileName);
    if (!info.isFile() || !f.open(QIODevice::ReadOnly)) {
        m_readFailed = true;
        return;
    }
    // Bounded read: the size of special files says nothing about what they deliver.
    QByteArray bytes = f.read(MaxFileSize + 1);
    if (bytes.size() > MaxFileSize || f.error() != QFileDevice::NoError) {
        m_readFailed = true;
        return;
    }
    LoadFromBytes(bytes);
}

TMemIniFile::~TMemIniFile() = default;

void TMemIniFile::LoadFromBytes(const QByteArray& bytes) {
    m_sections.clear();
    m_sections.emplace_back();
    m_fileBytes = bytes;
    m_modified = false;

    const QStringList lines = SplitLines(DecodeText(bytes));
    for (const QString& text : lines) {
        const QStringView t = TrimBlanks(text);
        if (t.startsWith(u'[')) {
            const qsizetype close = t.lastIndexOf(u']');
            if (close > 0) {
                Section s;
                s.Header = text;
                s.Name = TrimBlanks(t.mid(1, close - 1)).toString();
                s.Fold = s.Name.toCaseFolded();
                m_sections.push_back(std::move(s));
                continue;
            }
        }
        Line line;
        line.Text = text;
        const qsizetype eq = text.indexOf(u'=');
        if (eq >= 0 && !t.startsWith(u';')) {
            const QStringView key = TrimBlanks(QStringView(text).left(eq));
            if (!key.isEmpty()) {
                line.Fold = key.toString().toCaseFolded();
                line.ValuePos = eq + 1;
            }
        }
        m_sections.back().Lines.push_back(std::move(line));
    }
}

TMemIniFile::Section* TMemIniFile::FindSection(const QString& fold, bool erasedToo) {
    Section* erased = nullptr;
    for (size_t i = 1; i < m_sections.size(); ++i) {
        Section& s = m_sections[i];
        if (s.Fold != fold) continue;
        if (!s.Erased) return &s;
        if (erasedToo && !erased) erased = &s;
    }
    return erased;
}

const TMemIniFile::Line* TMemIniFile::FindLine(const QString& section, const QString& ident) const {
    const QString sectionFold = Fold(section);
    const QString keyFold = Fold(ident);
    if (keyFold.isEmpty()) return nullptr;
    for (size_t i = 1; i < m_sections.size(); ++i) {
        const Section& s = m_sections[i];
        if (s.Erased || s.Fold != sectionFold) continue;
        for (const Line& line : s.Lines)
            if (line.Fold == keyFold) return &line;
    }
    return nullptr;
}

QString TMemIniFile::ReadString(const QString& section, const QString& ident,
                                const QString& def) const {
    const Line* line = FindLine(section, ident);
    return line ? line->Value() : def;
}

int TMemIniFile::ReadInteger(const QString& section, const QString& ident, int def) const {
    const Line* line = FindLine(section, ident);
    int v;
    return line && ParseInt(line->Value(), &v) ? v : def;
}

bool TMemIniFile::ReadBool(const QString& section, const QString& ident, bool def) const {
    const Line* line = FindLine(section, ident);
    if (!line) return def;
    const QString value = line->Value();
    int v;
    if (ParseInt(value, &v)) return v != 0;
    const QStringView t = QStringView(value).trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
    return def;
}

bool TMemIniFile::WriteString(const QString& section, const QString& ident, const QString& value) {
    if (!ValidSectionName(section) || !ValidKey(ident)) return false;
    const QString v = OneLine(value);
    if (auto* line = const_cast<Line*>(FindLine(section, ident))) {
        if (line->Value() != v) {
            line->Text = line->Text.left(line->ValuePos) + v;
            m_modified = true;
        }
        return true;
    }
    return AppendKey(section, ident, v);
}

bool TMemIniFile::AppendKey(const QString& section, const QString& ident, const QString& value) {
    Section* s = FindSection(Fold(section), true);
    if (!s) {
        // A blank line between sections, as a person would write it.
        for (size_t i = m_sections.size(); i-- > 0;) {
            Section& prev = m_sections[i];
            if (prev.Erased || (i == 0 && prev.Lines.empty())) continue;
            if (prev.Lines.empty() || !TrimBlanks(prev.Lines.back().Text).isEmpty())
                prev.Lines.push_back(Line{});
            break;
        }
        Section fresh;
        fresh.Name = section;
        fresh.Fold = Fold(section);
        fresh.Header = QLatin1Char('[') + section + QLatin1Char(']');
        m_sections.push_back(std::move(fresh));
        s = &m_sections.back();
    }
    s->Erased = false;

    // After the last key; in a section without keys, before the blank lines that end it.
    size_t pos = s->Lines.size();
    while (pos > 0 && TrimBlanks(s->Lines[pos - 1].Text).isEmpty())
        --pos;
    for (size_t i = s->Lines.size(); i-- > 0;) {
        if (!s->Lines[i].Fold.isEmpty()) {
            pos = i + 1;
            break;
        }
    }
    Line line;
    line.Text = ident + QLatin1Char('=') + value;
    line.Fold = Fold(ident);
    line.ValuePos = ident.size() + 1;
    s->Lines.insert(s->Lines.begin() + static_cast<std::ptrdiff_t>(pos), std::move(line));
    m_modified = true;
    return true;
}

bool TMemIniFile::WriteInteger(const QString& section, const QString& ident, int value) {
    return WriteString(section, ident, QString::number(value));
}

bool TMemIniFile::WriteBool(const QString& section, const QString& ident, bool value) {
    return WriteString(section, ident, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool TMemIniFile::SectionExists(const QString& section) const {
    return const_cast<TMemIniFile*>(this)->FindSection(Fold(section), false) != nullptr;
}

bool TMemIniFile::ValueExists(const QString& section, const QString& ident) const {
    return FindLine(section, ident) != nullptr;
}

void TMemIniFile::EraseSection(const QString& section) {
    const QString fold = Fold(section);
    for (size_t i = 1; i < m_sections.size(); ++i) {
        Section& s = m_sections[i];
        if (s.Erased || s.Fold != fold) continue;
        // The blank lines that end the section stay, to separate it again if it is rewritten.
        size_t keep = s.Lines.size();
        while (keep > 0 && TrimBlanks(s.Lines[keep - 1].Text).isEmpty())
            --keep;
        s.Lines.erase(s.Lines.begin(), s.Lines.begin() + static_cast<std::ptrdiff_t>(keep));
        s.Erased = true;
        m_modified = true;
    }
}

void TMemIniFile::DeleteKey(const QString& section, const QString& ident) {
    const QString sectionFold = Fold(section);
    const QString keyFold = Fold(ident);
    if (keyFold.isEmpty()) return;
    for (size_t i = 1; i < m_sections.size(); ++i) {
        Section& s = m_sections[i];
        if (s.Erased || s.Fold != sectionFold) continue;
        const auto removed =
            std::erase_if(s.Lines, [&](const Line& l) { return l.Fold == keyFold; });
        if (removed) m_modified = true;
    }
}

QStringList TMemIniFile::ReadSection(const QString& section) const {
    const QString fold = Fold(section);
    QStringList keys;
    QStringList folds;
    for (size_t i = 1; i < m_sections.size(); ++i) {
        const Section& s = m_sections[i];
        if (s.Erased || s.Fold != fold) continue;
        for (const Line& line : s.Lines) {
            if (line.Fold.isEmpty() || folds.contains(line.Fold)) continue;
            folds.append(line.Fold);
            keys.append(TrimBlanks(QStringView(line.Text).left(line.ValuePos - 1)).toString());
        }
    }
    return keys;
}

QStringList TMemIniFile::ReadSections() const {
    QStringList names;
    QStringList folds;
    for (size_t i = 1; i < m_sections.size(); ++i) {
        const Section& s = m_sections[i];
        if (s.Erased || folds.contains(s.Fold)) continue;
        folds.append(s.Fold);
        names.append(s.Name);
    }
    return names;
}

QByteArray TMemIniFile::ToBytes() const {
    QString text;
    auto addLine = [&text](const QString& line) {
        text += line;
        text += QLatin1String("\r\n");
    };
    for (size_t i = 0; i < m_sections.size(); ++i) {
        const Section& s = m_sections[i];
        if (s.Erased) continue;
        if (i > 0) addLine(s.Header);
        for (const Line& line : s.Lines)
            addLine(line.Text);
    }
    QByteArray out;
    out.reserve(2 + 2 * text.size());
    out.append("\xFF\xFE", 2);
    for (QChar c : std::as_const(text)) {
        const char16_t u = c.unicode();
        out.append(static_cast<char>(u & 0xFF));
        out.append(static_cast<char>(u >> 8));
    }
    return out;
}

bool TMemIniFile::DiffersFromFile() const {
    return ToBytes() != m_fileBytes;
}

bool TMemIniFile::UpdateFile() {
    const QByteArray bytes = ToBytes();
    if (!WriteFileSafely(m_fileName, bytes)) return false;
    m_fileBytes = bytes;
    m_modified = false;
    return true;
}
