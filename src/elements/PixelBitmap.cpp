#include "elements/PixelBitmap.h"

#include "elements/MyD2D.h"
#include "elements/elementdump.h"
#include "elements/registers.h"
#include "platform/stream.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonObject>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <zlib.h>

TBitmapSettings g_BitmapSettings;
bool g_BitmapHistoryMode = false;

namespace {
constexpr int kFileHeader = 14;
constexpr int kInfoHeader = 40;
// A BMP of the largest picture at 32 bits, with headers and a full palette.
constexpr qint64 kMaxBmpBytes = kMaxBitmapPixels * 4 + 4096;

quint16 U16(const QByteArray& b, int at) {
    return quint16(quint8(b[at]) | quint8(b[at + 1]) << 8);
}
qint32 I32(const QByteArray& b, int at) {
    return qint32(quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 |
                  quint32(quint8(b[at + 2])) << 16 | quint32(quint8(b[at + 3])) << 24);
}
void PutU16(char* p, quint16 v) {
    p[0] = char(v & 0xFF);
    p[1] = char(v >> 8);
}
void PutI32(char* p, qint32 v) {
    const quint32 u = quint32(v);
    for (int i = 0; i < 4; ++i)
        p[i] = char((u >> (8 * i)) & 0xFF);
}

bool Is32Bit(QImage::Format f) {
    return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32;
}

// The held form of new pixels: 32-bit and exotic formats become 24 bits, transparency on white.
QImage HeldForm(const QImage& image) {
    switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_Indexed8:
    case QImage::Format_Grayscale8:
    case QImage::Format_RGB888:
        return image;
    case QImage::Format_MonoLSB:
        return image.convertToFormat(QImage::Format_Mono);
    default:
        break;
    }
    if (!image.hasAlphaChannel()) return image.convertToFormat(QImage::Format_RGB888);
    QImage white(image.size(), QImage::Format_RGB32);
    white.setDotsPerMeterX(image.dotsPerMeterX());
    white.setDotsPerMeterY(image.dotsPerMeterY());
    white.fill(Qt::white);
    QPainter p(&white);
    p.drawImage(0, 0, image);
    p.end();
    return white.convertToFormat(QImage::Format_RGB888);
}

struct TInflater {
    z_stream z{};
    bool open = false;
    ~TInflater() {
        if (open) inflateEnd(&z);
    }
};

struct TDeflater {
    z_stream z{};
    bool open = false;
    ~TDeflater() {
        if (open) deflateEnd(&z);
    }
};

TScreenPolygon CornerPolygon(const TView& view, const std::array<TRPoint, 4>& c) {
    return ToScreen(view, TRPointArray(c.begin(), c.end()));
}
} // namespace

// ------------------------------------------------------------------------------------ BMP files

QByteArray EncodeBmp(const QImage& source) {
    if (source.isNull()) return {};
    QImage image = source;
    int bits = 24;
    QList<QRgb> palette;
    switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        image = image.convertToFormat(QImage::Format_Mono);
        bits = 1;
        palette = image.colorTable();
        if (palette.size() != 2) palette = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
        break;
    case QImage::Format_Indexed8:
        bits = 8;
        palette = image.colorTable();
        if (palette.isEmpty() || palette.size() > 256) {
            image = image.convertToFormat(QImage::Format_RGB888);
            bits = 24;
            palette.clear();
        }
        break;
    case QImage::Format_Grayscale8:
        bits = 8;
        for (int i = 0; i < 256; ++i)
            palette.push_back(qRgb(i, i, i));
        break;
    case QImage::Format_RGB888:
        break;
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        bits = 32;
        break;
    default:
        image = image.convertToFormat(QImage::Format_RGB888);
        break;
    }
    const qint64 w = image.width(), h = image.height();
    const qint64 stride = ((w * bits + 31) / 32) * 4;
    const qint64 offBits = kFileHeader + kInfoHeader + qint64(palette.size()) * 4;
    const qint64 total = offBits + stride * h;
    if (total > INT_MAX) return {};
    QByteArray out(qsizetype(total), '\0');
    char* p = out.data();
    p[0] = 'B';
    p[1] = 'M';
    PutI32(p + 2, qint32(total));
    PutI32(p + 10, qint32(offBits));
    PutI32(p + 14, kInfoHeader);
    PutI32(p + 18, qint32(w));
    PutI32(p + 22, qint32(h)); // bottom-up rows
    PutU16(p + 26, 1);
    PutU16(p + 28, quint16(bits));
    PutI32(p + 30, 0); // BI_RGB
    PutI32(p + 34, qint32(stride * h));
    PutI32(p + 38, image.dotsPerMeterX());
    PutI32(p + 42, image.dotsPerMeterY());
    PutI32(p + 46, qint32(palette.size()));
    PutI32(p + 50, 0);
    char* pal = p + kFileHeader + kInfoHeader;
    for (QRgb c : palette) {
        pal[0] = char(qBlue(c));
        pal[1] = char(qGreen(c));
        pal[2] = char(qRed(c));
        pal[3] = 0;
        pal += 4;
    }
    for (qint64 y = 0; y < h; ++y) {
        const uchar* src = image.constScanLine(int(y));
        char* dst = p + offBits + (h - 1 - y) * stride;
        switch (bits) {
        case 1:
            std::memcpy(dst, src, size_t((w + 7) / 8));
            break;
        case 8:
            std::memcpy(dst, src, size_t(w));
            break;
        case 32:
            // RGB32 lies in memory as B, G, R, A on little-endian machines, as BMP wants it.
            for (qint64 x = 0; x < w; ++x) {
                const QRgb c = reinterpret_cast<const QRgb*>(src)[x];
                dst[4 * x] = char(qBlue(c));
                dst[4 * x + 1] = char(qGreen(c));
                dst[4 * x + 2] = char(qRed(c));
                dst[4 * x + 3] = char(qAlpha(c));
            }
            break;
        default:
            for (qint64 x = 0; x < w; ++x) {
                dst[3 * x] = char(src[3 * x + 2]);
                dst[3 * x + 1] = char(src[3 * x + 1]);
                dst[3 * x + 2] = char(src[3 * x]);
            }
            break;
        }
    }
    return out;
}

QImage DecodeBmp(const QByteArray& bmp) {
    if (bmp.size() < kFileHeader + 12 || bmp[0] != 'B' || bmp[1] != 'M') return {};
    const qint32 infoSize = I32(bmp, 14);
    qint64 w, h;
    int bits;
    if (infoSize == 12) {
        w = U16(bmp, 18);
        h = U16(bmp, 20);
        bits = U16(bmp, 24);
    } else if (infoSize >= 16 && bmp.size() >= kFileHeader + 16) {
        w = I32(bmp, 18);
        h = I32(bmp, 22);
        bits = U16(bmp, 28);
    } else {
        return {};
    }
    w = std::llabs(w);
    h = std::llabs(h);
    if (w == 0 || h == 0 || w * h > kMaxBitmapPixels) return {};
    // Uncompressed rows must all be there: the reader would give a picture cut short as whole.
    const qint32 compression = infoSize >= 20 && bmp.size() >= 34 ? I32(bmp, 30) : 0;
    if (compression == 0 || compression == 3) {
        const qint64 offBits = quint32(I32(bmp, 10));
        const qint64 stride = ((w * bits + 31) / 32) * 4;
        if (bits == 0 || offBits + stride * h > bmp.size()) return {};
    }
    QBuffer buffer;
    buffer.setData(bmp);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setAutoDetectImageFormat(false);
    QImage image = reader.read();
    if (image.isNull()) return {};
    switch (bits) {
    case 1:
        return image.format() == QImage::Format_Mono ? image
                                                     : image.convertToFormat(QImage::Format_Mono);
    case 4:
    case 8:
        return image.format() == QImage::Format_Indexed8 ? image : HeldForm(image);
    case 32:
        return Is32Bit(image.format()) ? image : image.convertToFormat(QImage::Format_RGB32);
    default:
        return image.convertToFormat(QImage::Format_RGB888);
    }
}

// ----------------------------------------------------------------------------- zlib streams

QByteArray CompressBitmapData(const QByteArray& bmp, bool compressed) {
    TDeflater d;
    if (deflateInit(&d.z, compressed ? Z_BEST_SPEED : Z_NO_COMPRESSION) != Z_OK)
        throw std::bad_alloc();
    d.open = true;
    char prefix[4];
    PutI32(prefix, qint32(bmp.size()));
    QByteArray out(qsizetype(deflateBound(&d.z, uLong(bmp.size()) + 4)), '\0');
    d.z.next_out = reinterpret_cast<Bytef*>(out.data());
    d.z.avail_out = uInt(out.size());
    d.z.next_in = reinterpret_cast<Bytef*>(prefix);
    d.z.avail_in = 4;
    if (deflate(&d.z, Z_NO_FLUSH) != Z_OK) throw std::bad_alloc();
    d.z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bmp.constData()));
    d.z.avail_in = uInt(bmp.size());
    int r;
    do {
        r = deflate(&d.z, Z_FINISH);
        if (r == Z_OK || r == Z_BUF_ERROR) {
            // deflateBound promises room; grow anyway rather than cut the stream.
            const qsizetype used = out.size() - qsizetype(d.z.avail_out);
            out.resize(out.size() * 2);
            d.z.next_out = reinterpret_cast<Bytef*>(out.data() + used);
            d.z.avail_out = uInt(out.size() - used);
        }
    } while (r != Z_STREAM_END);
    out.resize(qsizetype(d.z.total_out));
    return out;
}

QByteArray InflateBitmapData(TStreamReader& s) {
    TInflater inf;
    const qint64 start = s.Pos();
    const qint64 available = std::min<qint64>(s.Remaining(), UINT_MAX);
    inf.z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(s.Data().constData() + start));
    inf.z.avail_in = uInt(available);
    if (inflateInit(&inf.z) != Z_OK) throw std::bad_alloc();
    inf.open = true;

    auto fail = [&](const char* what) {
        throw LoadError(QStringLiteral("picture data: %1").arg(QLatin1String(what)),
                        start + qint64(inf.z.total_in));
    };
    // Inflates into out[from, out.size()); returns inflate's answer.
    auto run = [&](char* out, qint64 room) {
        inf.z.next_out = reinterpret_cast<Bytef*>(out);
        inf.z.avail_out = uInt(room);
        int r = Z_OK;
        while (inf.z.avail_out > 0) {
            r = inflate(&inf.z, Z_NO_FLUSH);
            if (r == Z_STREAM_END) break;
            if (r == Z_MEM_ERROR) throw std::bad_alloc();
            if (r != Z_OK) fail(r == Z_BUF_ERROR ? "stream cut short" : "not a zlib stream");
        }
        return r;
    };

    char prefix[4];
    int r = run(prefix, 4);
    if (inf.z.avail_out != 0) fail("no length");
    const qint32 n = qint32(quint32(quint8(prefix[0])) | quint32(quint8(prefix[1])) << 8 |
                            quint32(quint8(prefix[2])) << 16 | quint32(quint8(prefix[3])) << 24);
    if (n < 0 || n > kMaxBmpBytes) fail("impossible length");

    // The length is not trusted for the allocation: the buffer grows with what really arrives.
    QByteArray bmp;
    qint64 produced = 0;
    while (produced < n && r != Z_STREAM_END) {
        if (produced == bmp.size())
            bmp.resize(qsizetype(std::min<qint64>(n, std::max<qint64>(2 * bmp.size(), 1 << 16))));
        r = run(bmp.data() + produced, bmp.size() - produced);
        produced = bmp.size() - qint64(inf.z.avail_out);
    }
    if (produced < n) fail("shorter than its length");
    if (r != Z_STREAM_END) {
        char extra;
        inf.z.next_out = reinterpret_cast<Bytef*>(&extra);
        inf.z.avail_out = 1;
        r = inflate(&inf.z, Z_NO_FLUSH);
        if (r != Z_STREAM_END || inf.z.avail_out == 0) fail("longer than its length");
    }
    s.Skip(qint64(inf.z.total_in));
    return bmp;
}

// -------------------------------------------------------------------------------- TPixelBitmap

TPixelBitmap::TPixelBitmap() : TElement(etPixelBitmap) {}

qint32 TPixelBitmap::NewImageId() {
    return qint32(IdentityRandom(999999999));
}

void TPixelBitmap::setPixels(QImage image, QByteArray bmp) {
    m_image = std::move(image);
    m_bmp = std::move(bmp);
    m_device = QImage();
}

bool TPixelBitmap::SetImage(const QImage& image) {
    if (image.isNull() || qint64(image.width()) * image.height() > kMaxBitmapPixels) return false;
    QImage held = HeldForm(image);
    QByteArray bmp = EncodeBmp(held);
    if (bmp.isEmpty()) return false;
    setPixels(std::move(held), std::move(bmp));
    ImageId = NewImageId();
    return true;
}

void TPixelBitmap::RestoreImage(const QImage& image) {
    if (image.isNull()) {
        setPixels(QImage(), QByteArray());
        return;
    }
    QByteArray bmp = EncodeBmp(image);
    setPixels(bmp.isEmpty() ? QImage() : image, std::move(bmp));
}

bool TPixelBitmap::LoadImageFile(const QString& fileName) {
    if (!QFileInfo(fileName).isFile()) return false;
    const QString suffix = QFileInfo(fileName).suffix().toUpper();
    QByteArray format;
    if (suffix == QLatin1String("BMP"))
        format = "bmp";
    else if (suffix == QLatin1String("JPG") || suffix == QLatin1String("JPEG"))
        format = "jpeg";
    QImageReader reader(fileName, format);
    if (format.isEmpty())
        reader.setDecideFormatFromContent(true);
    else
        reader.setAutoDetectImageFormat(false);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxBitmapPixels) return false;
    return SetImage(reader.read());
}

void TPixelBitmap::setUpright(TRPoint c, double width, double height) {
    const float l = float(c.X - width / 2), r = float(c.X + width / 2);
    const float t = float(c.Y - height / 2), b = float(c.Y + height / 2);
    Corners = {TRPoint{l, t}, TRPoint{r, t}, TRPoint{r, b}, TRPoint{l, b}};
}

void TPixelBitmap::PlaceInView(const TRRect& visible) {
    const TRRect v = NormalizedRect(visible);
    const TRPoint c{(v.Left + v.Right) / 2, (v.Top + v.Bottom) / 2};
    const double w = std::max(m_image.width(), 1), h = std::max(m_image.height(), 1);
    const double f = std::min(v.Width() / 2.0 / w, v.Height() / 2.0 / h);
    setUpright(c, w * f, h * f);
}

TRPoint TPixelBitmap::Centre() const {
    return Midpoint(Midpoint(Corners[0], Corners[1]), Midpoint(Corners[3], Corners[2]));
}

bool TPixelBitmap::ReduceResolution(bool apply, double factor) {
    const int w = m_image.width(), h = m_image.height();
    if (!(factor > 0) || !std::isfinite(factor)) return false;
    const double fw = RoundHalfEven(w / factor), fh = RoundHalfEven(h / factor);
    if (w <= 49 || h <= 49 || (fw >= w - 10 && fh >= h - 10)) return false;
    if (fw < 1 || fh < 1) return false;
    if (!apply) return true;
    // Area-averaging reduction; palette pictures come back as 24 bits.
    QImage copy = m_image.convertToFormat(QImage::Format_RGB32)
                      .scaled(int(fw), int(fh), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (copy.isNull()) return false;
    copy.setDotsPerMeterX(m_image.dotsPerMeterX());
    copy.setDotsPerMeterY(m_image.dotsPerMeterY());
    if (!Is32Bit(m_image.format())) copy = copy.convertToFormat(QImage::Format_RGB888);
    QByteArray bmp = EncodeBmp(copy);
    setPixels(std::move(copy), std::move(bmp));
    ImageId = NewImageId();
    return true;
}

void TPixelBitmap::Normalize(double sheetWidthMm, double sheetHeightMm) {
    double W = Distance(Corners[0], Corners[1]);
    double H = Distance(Corners[0], Corners[3]);
    if (!m_image.isNull()) {
        const double a = double(m_image.width()) / m_image.height();
        if (W >= H)
            W = H * a;
        else
            H = W / a;
    }
    TRPoint c = Centre();
    c.X = float(std::clamp(double(c.X), 0.0, std::max(sheetWidthMm * 10, 0.0)));
    c.Y = float(std::clamp(double(c.Y), 0.0, std::max(sheetHeightMm * 10, 0.0)));
    setUpright(c, W, H);
}

void TPixelBitmap::RotatePixels90() {
    const TRPoint c = Centre();
    const double width = Distance(Corners[0], Corners[3]);
    const double height = Distance(Corners[0], Corners[1]);
    if (!m_image.isNull()) {
        // A quarter turn clockwise on the screen (y grows downwards).
        QImage turned = m_image.transformed(QTransform().rotate(90));
        if (turned.format() != m_image.format()) {
            turned = m_image.format() == QImage::Format_Indexed8
                         ? turned.convertToFormat(QImage::Format_Indexed8, m_image.colorTable())
                         : turned.convertToFormat(m_image.format());
        }
        turned.setDotsPerMeterX(m_image.dotsPerMeterY());
        turned.setDotsPerMeterY(m_image.dotsPerMeterX());
        QByteArray bmp = EncodeBmp(turned);
        setPixels(std::move(turned), std::move(bmp));
    }
    ImageId = NewImageId();
    setUpright(c, width, height);
}

void TPixelBitmap::Lighten(int amount) {
    if (!m_image.isNull()) {
        QImage image = m_image.convertToFormat(QImage::Format_RGB32);
        auto up = [amount](int v) { return std::clamp(v + amount, 0, 255); };
        for (int y = 0; y < image.height(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                line[x] = qRgb(up(qRed(line[x])), up(qGreen(line[x])), up(qBlue(line[x])));
        }
        QByteArray bmp = EncodeBmp(image);
        setPixels(std::move(image), std::move(bmp));
    }
    ImageId = NewImageId();
}

int TPixelBitmap::HorizontalDpi() const {
    const double d = Distance(Corners[0], Corners[1]) / 254;
    return d > 0 ? int(std::min(RoundHalfEven(m_image.width() / d), double(INT_MAX))) : 0;
}

int TPixelBitmap::VerticalDpi() const {
    const double d = Distance(Corners[0], Corners[3]) / 254;
    return d > 0 ? int(std::min(RoundHalfEven(m_image.height() / d), double(INT_MAX))) : 0;
}

int TPixelBitmap::BitsPerPixel() const {
    int bits = 0;
    if (m_bmp.size() >= 30) bits = I32(m_bmp, 14) == 12 ? U16(m_bmp, 24) : U16(m_bmp, 28);
    switch (bits) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        return bits;
    default:
        return 0;
    }
}

qint64 TPixelBitmap::MemoryBytes() const {
    return qint64(m_image.width()) * m_image.height() * BitsPerPixel() / 8;
}

// ------------------------------------------------------------------------------- operations

bool TPixelBitmap::HitPoint(const TView& view, QPoint screen) const {
    return PointInPolygon(QPointF(screen), CornerPolygon(view, Corners));
}

bool TPixelBitmap::HitRect(const TView& view, const TIRect& rect, bool enclose) const {
    return PolygonHitsRect(CornerPolygon(view, Corners), rect, enclose);
}

void TPixelBitmap::AddOutline(const TView& view, QPainterPath& path) const {
    path.moveTo(view.ToDevice(Corners[0]));
    for (int i = 1; i < 4; ++i)
        path.lineTo(view.ToDevice(Corners[i]));
    path.closeSubpath();
}

void TPixelBitmap::Draw(TDrawContext& dc) {
    if (!Visible || !dc.NeedsDrawing(GetScreenRect(dc.View))) return;
    QPainter& p = dc.Painter;
    if (m_image.isNull()) {
        // A picture whose pixels are missing still shows where it is.
        QPainterPath frame;
        AddOutline(dc.View, frame);
        p.strokePath(frame, LinePen(dc, 0x808080, 0, 0));
        return;
    }
    if (m_device.isNull())
        m_device = m_image.convertToFormat(
            m_image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    // Both renderers map the image rectangle onto the corners, so turned, sheared and mirrored
    // pictures look the same on the screen, on paper and in exports.
    const QPointF c0 = dc.View.WorldToScreen(Corners[0]);
    const QPointF c1 = dc.View.WorldToScreen(Corners[1]);
    const QPointF c3 = dc.View.WorldToScreen(Corners[3]);
    const double w = m_device.width(), h = m_device.height();
    const QTransform t((c1.x() - c0.x()) / w, (c1.y() - c0.y()) / w, (c3.x() - c0.x()) / h,
                       (c3.y() - c0.y()) / h, c0.x(), c0.y());
    p.save();
    p.setTransform(t, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, dc.AntiAliased);
    p.drawImage(QPointF(0, 0), m_device);
    p.restore();
}

void TPixelBitmap::MoveBy(TRPoint v) {
    for (TRPoint& c : Corners)
        MovePoint(c, v);
}
void TPixelBitmap::ScaleAt(TRPoint c, double fx, double fy) {
    for (TRPoint& p : Corners)
        ScalePoint(p, c, fx, fy);
}
void TPixelBitmap::ShearAt(TRPoint c, double sx, double sy) {
    for (TRPoint& p : Corners)
        ShearPoint(p, c, sx, sy);
}
void TPixelBitmap::RotateAt(TRPoint c, double radians) {
    for (TRPoint& p : Corners)
        RotatePoint(p, c, radians);
}
void TPixelBitmap::MirrorX(TRPoint axis) {
    for (TRPoint& p : Corners)
        MirrorPointX(p, axis);
}
void TPixelBitmap::MirrorY(TRPoint axis) {
    for (TRPoint& p : Corners)
        MirrorPointY(p, axis);
}

TRRect TPixelBitmap::GetBounds() const {
    return NormalizedRect(BoundsOf(TRPointArray(Corners.begin(), Corners.end())));
}

bool TPixelBitmap::SnapToPoint(const TView& view, TRPoint& p) const {
    if (g_ElementSwitches.SuspendElementSnap) return false;
    const TRPointArray corners(Corners.begin(), Corners.end());
    const int i = NearestPoint(p, corners);
    return i >= 0 && SnapWithin(view, p, corners[size_t(i)], 0);
}

void TPixelBitmap::AddSnapPoints(std::vector<TRPoint*>& points) {
    for (TRPoint& c : Corners)
        points.push_back(&c);
}

void TPixelBitmap::SaveToStream(TStreamWriter& s) const {
    SaveHeader(s);
    for (const TRPoint& c : Corners) {
        s.WriteF32(c.X);
        s.WriteF32(c.Y);
    }
    if (!g_BitmapHistoryMode) s.WriteBytes(CompressBitmapData(m_bmp, g_BitmapSettings.BMPZLib));
    s.WriteI32(ImageId);
}

void TPixelBitmap::readBmpFile(TStreamReader& s) {
    const qint64 at = s.Pos();
    if (s.Remaining() < kFileHeader + 12) s.Fail(QStringLiteral("picture: no BMP file"));
    const QByteArray head = s.Data().mid(qsizetype(at), kFileHeader);
    if (head[0] != 'B' || head[1] != 'M') s.Fail(QStringLiteral("picture: no BMP file"));
    const qint64 size = quint32(I32(head, 2));
    if (size < kFileHeader + 12 || size > s.Remaining())
        s.Fail(QStringLiteral("picture: BMP size %1 does not fit").arg(size));
    QByteArray bmp = s.ReadBytes(size);
    QImage image = DecodeBmp(bmp);
    if (image.isNull()) throw LoadError(QStringLiteral("picture: unreadable BMP"), at);
    setPixels(std::move(image), std::move(bmp));
}

void TPixelBitmap::readZlibImage(TStreamReader& s) {
    const qint64 at = s.Pos();
    QByteArray bmp = InflateBitmapData(s);
    if (bmp.isEmpty()) {
        setPixels(QImage(), QByteArray());
        return;
    }
    QImage image = DecodeBmp(bmp);
    if (image.isNull()) throw LoadError(QStringLiteral("picture: unreadable BMP"), at);
    setPixels(std::move(image), std::move(bmp));
}

void TPixelBitmap::LoadFromStream(TStreamReader& s) {
    LoadHeader(s);
    const int v = FileVersion;
    if (v >= 60) {
        for (TRPoint& c : Corners) {
            c.X = s.ReadF32();
            c.Y = s.ReadF32();
        }
    } else {
        float r[4];
        for (float& f : r)
            f = float(RoundHalfEven(s.ReadF32()));
        Corners = {TRPoint{r[0], r[1]}, TRPoint{r[2], r[1]}, TRPoint{r[2], r[3]},
                   TRPoint{r[0], r[3]}};
    }
    const bool jpeg = v >= 60 && v < 70 && s.ReadU8() != 0;
    if (!g_BitmapHistoryMode) {
        if (v >= 70) {
            readZlibImage(s);
        } else if (jpeg) {
            const qint64 at = s.Pos();
            const qint32 length = s.ReadI32();
            if (length < 0 || length > s.Remaining())
                s.Fail(QStringLiteral("picture: JPEG length %1 does not fit").arg(length));
            const QByteArray data = s.ReadBytes(length);
            QBuffer buffer;
            buffer.setData(data);
            buffer.open(QIODevice::ReadOnly);
            QImageReader reader(&buffer, "jpeg");
            reader.setAutoDetectImageFormat(false);
            const QSize size = reader.size();
            QImage image;
            if (size.isValid() && qint64(size.width()) * size.height() <= kMaxBitmapPixels)
                image = reader.read();
            if (image.isNull()) throw LoadError(QStringLiteral("picture: unreadable JPEG"), at);
            image = HeldForm(image);
            QByteArray bmp = EncodeBmp(image);
            setPixels(std::move(image), std::move(bmp));
        } else {
            readBmpFile(s);
        }
    }
    ImageId = v >= 70 ? s.ReadI32() : NewImageId();
}

bool TPixelBitmap::DumpTypeFields(QJsonObject& out) const {
    QJsonArray corners;
    for (const TRPoint& c : Corners)
        corners.append(DumpPoint(c));
    out.insert(QStringLiteral("Corners"), corners);
    out.insert(QStringLiteral("ImageId"), ImageId);
    QJsonObject image;
    image.insert(QStringLiteral("Width"), m_image.width());
    image.insert(QStringLiteral("Height"), m_image.height());
    image.insert(QStringLiteral("BitsPerPixel"), BitsPerPixel());
    image.insert(QStringLiteral("BmpBytes"), qint64(m_bmp.size()));
    image.insert(
        QStringLiteral("BmpSha1"),
        QString::fromLatin1(QCryptographicHash::hash(m_bmp, QCryptographicHash::Sha1).toHex()));
    image.insert(QStringLiteral("HorizontalDpi"), HorizontalDpi());
    image.insert(QStringLiteral("VerticalDpi"), VerticalDpi());
    out.insert(QStringLiteral("Image"), image);
    return true;
}
