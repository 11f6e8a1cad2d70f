#include "platform/stream.h"

#include "platform/cp1252.h"

#include <QIODevice>
#include <QtEndian>
#include <cstring>

LoadError::LoadError(const QString& what, qint64 offset)
    : std::runtime_error(what.toStdString()), What(what), Offset(offset) {}

TStreamReader::TStreamReader(QByteArray data) : m_data(std::move(data)), m_bytes(m_data.constData()) {}

void TStreamReader::Fail(const QString& what) const { throw LoadError(what, m_pos); }

void TStreamReader::Need(qint64 n, const char* what) const {
    if (n < 0 || n > Remaining())
        Fail(QStringLiteral("unexpected end of data reading %1").arg(QLatin1String(what)));
}

void TStreamReader::Seek(qint64 pos) {
    if (pos < 0 || pos > m_data.size()) Fail(QStringLiteral("seek outside the data"));
    m_pos = pos;
}

void TStreamReader::Skip(qint64 n) {
    Need(n, "skipped bytes");
    m_pos += n;
}

void TStreamReader::CheckCount(qint64 count, qint64 itemSize, const char* what) const {
    if (count < 0 || (itemSize > 0 && count > Remaining() / itemSize))
        Fail(QStringLiteral("impossible count %1 for %2").arg(count).arg(QLatin1String(what)));
}

void TStreamReader::ReadRaw(void* dst, qint64 n) {
    Need(n, "bytes");
    if (n > 0) std::memcpy(dst, m_bytes + m_pos, static_cast<size_t>(n));
    m_pos += n;
}

QByteArray TStreamReader::ReadBytes(qint64 n) {
    Need(n, "bytes");
    QByteArray b = m_data.mid(m_pos, n);
    m_pos += n;
    return b;
}

quint8 TStreamReader::ReadU8() {
    Need(1, "byte");
    return static_cast<quint8>(m_bytes[m_pos++]);
}

template <typename T> static T readLe(const char* p) { return qFromLittleEndian<T>(p); }

qint16 TStreamReader::ReadI16() {
    Need(2, "int16");
    const auto v = readLe<qint16>(m_bytes + m_pos);
    m_pos += 2;
    return v;
}

quint16 TStreamReader::ReadU16() { return static_cast<quint16>(ReadI16()); }

qint32 TStreamReader::ReadI32() {
    Need(4, "int32");
    const auto v = readLe<qint32>(m_bytes + m_pos);
    m_pos += 4;
    return v;
}

quint32 TStreamReader::ReadU32() { return static_cast<quint32>(ReadI32()); }

qint64 TStreamReader::ReadI64() {
    Need(8, "int64");
    const auto v = readLe<qint64>(m_bytes + m_pos);
    m_pos += 8;
    return v;
}

float TStreamReader::ReadF32() {
    const quint32 bits = ReadU32();
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

double TStreamReader::ReadF64() {
    const auto bits = static_cast<quint64>(ReadI64());
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
}

QString TStreamReader::ReadString() {
    const qint32 n = ReadI32();
    if (n <= 0) {
        if (n < 0) Fail(QStringLiteral("negative string length"));
        return {};
    }
    CheckCount(n, 2, "string");
    QString s(n, Qt::Uninitialized);
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    std::memcpy(s.data(), m_bytes + m_pos, 2 * size_t(n));
#else
    char16_t* out = reinterpret_cast<char16_t*>(s.data());
    for (qint32 i = 0; i < n; ++i) out[i] = qFromLittleEndian<quint16>(m_bytes + m_pos + 2 * i);
#endif
    m_pos += 2 * qint64(n);
    return s;
}

QString TStreamReader::ReadShortString(int fieldSize) {
    Need(fieldSize, "short string");
    const int len = qMin(static_cast<int>(static_cast<quint8>(m_bytes[m_pos])), fieldSize - 1);
    QString s = FromCp1252(m_bytes + m_pos + 1, len);
    m_pos += fieldSize;
    return s;
}

QString TStreamReader::ReadAnsiString() {
    const qint32 n = ReadI32();
    if (n <= 0) return {};
    Need(n, "text");
    QString s = FromCp1252(m_bytes + m_pos, n);
    m_pos += n;
    return s;
}

// ---------------------------------------------------------------------------------------------

namespace {
constexpr qint64 kDeviceChunk = 1 << 16;
}

TStreamWriter::TStreamWriter(QByteArray* target) : m_buffer(target) {}

TStreamWriter::TStreamWriter(QIODevice* device) : m_buffer(&m_own), m_device(device) {
    m_own.reserve(kDeviceChunk * 2);
}

TStreamWriter::~TStreamWriter() {
    if (m_device) Flush();
}

bool TStreamWriter::Flush() {
    if (!m_device || m_own.isEmpty()) return m_ok;
    if (m_ok && m_device->write(m_own) != m_own.size()) m_ok = false;
    m_written += m_own.size();
    m_own.clear();
    return m_ok;
}

void TStreamWriter::Append(const void* src, qint64 n) {
    m_buffer->append(static_cast<const char*>(src), n);
    if (m_device && m_own.size() >= kDeviceChunk) Flush();
}

template <typename T> static void writeLe(TStreamWriter& w, T v) {
    char b[sizeof(T)];
    qToLittleEndian<T>(v, b);
    w.WriteRaw(b, sizeof(T));
}

void TStreamWriter::WriteI16(qint16 v) { writeLe(*this, v); }
void TStreamWriter::WriteU16(quint16 v) { writeLe(*this, v); }
void TStreamWriter::WriteI32(qint32 v) { writeLe(*this, v); }
void TStreamWriter::WriteU32(quint32 v) { writeLe(*this, v); }
void TStreamWriter::WriteI64(qint64 v) { writeLe(*this, v); }

void TStreamWriter::WriteF32(float v) {
    quint32 bits;
    std::memcpy(&bits, &v, 4);
    WriteU32(bits);
}

void TStreamWriter::WriteF64(double v) {
    quint64 bits;
    std::memcpy(&bits, &v, 8);
    WriteI64(static_cast<qint64>(bits));
}

void TStreamWriter::WriteZeros(qint64 n) {
    static const char zeros[64] = {};
    while (n > 0) {
        const qint64 k = qMin<qint64>(n, sizeof zeros);
        Append(zeros, k);
        n -= k;
    }
}

void TStreamWriter::WriteString(const QString& s) {
    WriteI32(static_cast<qint32>(s.size()));
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    Append(s.constData(), 2 * qint64(s.size()));
#else
    for (QChar c : s) WriteU16(c.unicode());
#endif
}

void TStreamWriter::WriteShortString(const QString& s, int fieldSize) {
    QByteArray b = ToCp1252(s.left(fieldSize - 1));
    WriteU8(static_cast<quint8>(b.size()));
    WriteBytes(b);
    WriteZeros(fieldSize - 1 - b.size());
}

void TStreamWriter::WriteAnsiString(const QString& s) {
    const QByteArray b = ToCp1252(s);
    WriteI32(static_cast<qint32>(b.size()));
    WriteBytes(b);
}
