#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// A settings file held in memory as a whole: read once when the object is created, changed in
// memory, written back as a whole by UpdateFile().
//
// Reading accepts UTF-16LE and UTF-16BE with a byte-order mark, UTF-8 with a byte-order mark and
// 8-bit text without one (UTF-8 when it decodes cleanly, otherwise Windows-1252); lines may end
// with CR LF, LF or CR. Writing always produces UTF-16LE with a byte-order mark and CR LF.
//
// Every line is kept where it stood: comments (";"), blank lines, lines without "=", unknown
// sections and the text before the first section. A line is rewritten only when its value
// changes, so an unchanged file written in UTF-16LE with CR LF comes back byte for byte.
//
// Sections and keys are matched without regard to case (Unicode case folding); the spelling found
// in the file is kept. Spaces and tabs around a key and around a section name are not part of the
// name; a value is everything after the first "=", spaces included. When a key occurs twice, the
// first occurrence counts; sections that occur twice act as one.
class TMemIniFile {
public:
    // Reads the file; a missing file gives an empty object.
    explicit TMemIniFile(const QString& fileName);
    ~TMemIniFile();
    TMemIniFile(const TMemIniFile&) = delete;
    TMemIniFile& operator=(const TMemIniFile&) = delete;

    const QString& FileName() const { return m_fileName; }

    QString ReadString(const QString& section, const QString& ident, const QString& def) const;
    // Decimal with an optional sign, or hexadecimal after "0x" or "$"; spaces around it are
    // ignored. Anything else, or a number outside the 32-bit range, gives the default.
    int ReadInteger(const QString& section, const QString& ident, int def) const;
    // An integer (non-zero is true) or "true"/"false"; anything else gives the default.
    bool ReadBool(const QString& section, const QString& ident, bool def) const;

    // The write operations refuse (return false, change nothing) a section or key that would not
    // read back as itself: empty, with spaces or tabs at either end, with a line break, a key
    // with "=" or starting with ";" or "[". Line breaks inside a value become spaces, since a
    // value cannot span lines.
    bool WriteString(const QString& section, const QString& ident, const QString& value);
    bool WriteInteger(const QString& section, const QString& ident, int value);
    bool WriteBool(const QString& section, const QString& ident, bool value); // "0" or "1"

    // A section exists when its header is in the file, even with no key below it.
    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& ident) const;
    // Removes the section with everything in it. The section keeps its place: written again
    // before the file is saved, it reappears where it stood, so erasing and rewriting the same
    // keys leaves the file as it was.
    void EraseSection(const QString& section);
    void DeleteKey(const QString& section, const QString& ident);
    // Key names of a section in file order, as spelled in the file.
    QStringList ReadSection(const QString& section) const;
    QStringList ReadSections() const;

    // Writes the whole content to FileName(), through a temporary file in the same folder that
    // replaces the old file only when complete. On failure the file on disk is unchanged, the
    // content in memory stays and false is returned.
    bool UpdateFile();

    // Set by every change of the content since it was read or last written.
    bool Modified() const { return m_modified; }
    // Whether UpdateFile() would write anything other than the bytes now in the file (as read or
    // last written). A file read in another encoding or with other line ends always differs.
    bool DiffersFromFile() const;
    // The file existed but could not be read (a folder, no permission, unreasonably large); the
    // object is empty then, and writing it back would lose the file's content.
    bool ReadFailed() const { return m_readFailed; }

    // The bytes UpdateFile() writes.
    QByteArray ToBytes() const;
    // Replaces the content by that of file bytes in any of the accepted encodings.
    void LoadFromBytes(const QByteArray& bytes);

    // Larger files are not settings files; they are refused rather than read into memory.
    static constexpr qint64 MaxFileSize = 32 * 1024 * 1024;

private:
    struct Line {
        QString Text;           // the whole line, without its line end
        QString Fold;           // case-folded key; empty for lines that hold no key
        qsizetype ValuePos = 0; // where the value starts in Text
        QString Value() const { return Text.mid(ValuePos); }
    };
    struct Section {
        QString Header; // the header line as read; empty for the text before the first section
        QString Name;   // as spelled in the file
        QString Fold;
        std::vector<Line> Lines;
        bool Erased = false;
    };

    const Line* FindLine(const QString& section, const QString& ident) const;
    Section* FindSection(const QString& fold, bool erasedToo);
    bool AppendKey(const QString& section, const QString& ident, const QString& value);

    QString m_fileName;
    std::vector<Section> m_sections; // [0] holds the lines before the first section header
    QByteArray m_fileBytes;          // the file as read or last written
    bool m_modified = false;
    bool m_readFailed = false;
};
