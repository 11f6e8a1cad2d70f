#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <stdexcept>

class QIODevice;

// The one error type every reader of stored data throws; the file-level entry point catches it.
class LoadError : public std::runtime_error {
public:
    LoadError(const QString& what, qint64 offset);
    QString What;
    qint64 Offset; // byte offset in the stream where reading failed
};

// Little-endian reader over a memory buffer. Every read is bounds-checked: a short read or a
// count that cannot fit in the bytes that remain throws LoadError before anything is allocated.
class TStreamReader {
public:
    explicit TStreamReader(QByteArray data);

    qint64 Pos() const { return m_pos; }
    qint64 Size() const { return m_data.size(); }
    qint64 Remaining() const { return m_data.size() - m_pos; }
    bool AtEnd() const { return m_pos >= m_data.size(); }
    const QByteArray& Data() const { return m_data; }
    void Seek(qint64 pos);
    void Skip(qint64 n);

    quint8 ReadU8();
    qint8 ReadI8() { return static_cast<qint8>(ReadU8()); }
    bool ReadBool() { return ReadU8() != 0; }
    qint16 ReadI16();
    quint16 ReadU16();
    qint32 ReadI32();
    quint32 ReadU32();
    qint64 ReadI64();
    float ReadF32();
    double ReadF64();
    void ReadRaw(void* dst, qint64 n);
    QByteArray ReadBytes(qint64 n);

    // Throws unless count entries of itemSize bytes each can still be read.
    void CheckCount(qint64 count, qint64 itemSize, const char* what) const;

    // int32 count of UTF-16 code units, then the code units (little-endian).
    QString ReadString();
    // Fixed field of fieldSize bytes: a length byte and Windows-1252 characters.
    QString ReadShortString(int fieldSize);
    // int32 byte count, then Windows-1252 bytes.
    QString ReadAnsiString();

    [[noreturn]] void Fail(const QString& what) const;

private:
    void Need(qint64 n, const char* what) const;
    QByteArray m_data;
    const char* m_bytes;
    qint64 m_pos = 0;
};

// Little-endian writer into a byte array, or buffered into a device. Device errors are kept and
// reported by Ok(); the caller decides what a failed write means.
class TStreamWriter {
public:
    explicit TStreamWriter(QByteArray* target);
    explicit TStreamWriter(QIODevice* device);
    ~TStreamWriter();
    TStreamWriter(const TStreamWriter&) = delete;
    TStreamWriter& operator=(const TStreamWriter&) = delete;

    void WriteU8(quint8 v) { Append(&v, 1); }
    void WriteI8(qint8 v) { WriteU8(static_cast<quint8>(v)); }
    void WriteBool(bool v) { WriteU8(v ? 1 : 0); }
    void WriteI16(qint16 v);
    void WriteU16(quint16 v);
    void WriteI32(qint32 v);
    void WriteU32(quint32 v);
    void WriteI64(qint64 v);
    void WriteF32(float v);
    void WriteF64(double v);
    void WriteRaw(const void* src, qint64 n) { Append(src, n); }
    void WriteBytes(const QByteArray& b) { Append(b.constData(), b.size()); }
    void WriteZeros(qint64 n);

    void WriteString(const QString& s);
    void WriteShortString(const QString& s, int fieldSize);
    void WriteAnsiString(const QString& s);

    qint64 Pos() const { return m_written + m_buffer->size(); }
    bool Flush();
    bool Ok() const { return m_ok; }

private:
    void Append(const void* src, qint64 n);
    QByteArray m_own;
    QByteArray* m_buffer;
    QIODevice* m_device = nullptr;
    qint64 m_written = 0;
    bool m_ok = true;
};
