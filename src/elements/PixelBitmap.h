#pragma once

// Embedded raster pictures, stretched into a quadrilateral; the pixels travel inside the element
// record as a BMP file in a zlib stream.

#include "elements/element.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <array>

// Settings of embedded pictures ("General": "BMPZLib"); start-up fills them.
struct TBitmapSettings {
    bool BMPZLib = true; // store compressed (fastest level); off: stored zlib blocks
};
extern TBitmapSettings g_BitmapSettings;

// While set, picture records leave out their pixels: the undo history serialises sheets this way
// and keeps the images in a cache of its own, keyed by ImageId.
extern bool g_BitmapHistoryMode;
class TBitmapHistoryScope {
public:
    TBitmapHistoryScope() : m_saved(g_BitmapHistoryMode) { g_BitmapHistoryMode = true; }
    ~TBitmapHistoryScope() { g_BitmapHistoryMode = m_saved; }
    TBitmapHistoryScope(const TBitmapHistoryScope&) = delete;
    TBitmapHistoryScope& operator=(const TBitmapHistoryScope&) = delete;

private:
    bool m_saved;
};

// Largest picture a record or an import may hold, in pixels.
constexpr qint64 kMaxBitmapPixels = qint64(1) << 26;

// A BMP file of an image: 1-bit and 8-bit images with their palette, 24-bit images as they are,
// 32-bit images with their fourth byte, everything else as 24 bits. Rows bottom-up.
QByteArray EncodeBmp(const QImage& image);
// Reads a BMP file; a null image for anything that is not a readable BMP within the size limit.
// The image keeps the file's depth where Qt has a format for it (24 bits as RGB888).
QImage DecodeBmp(const QByteArray& bmp);

class TPixelBitmap : public TElement {
public:
    TPixelBitmap();

    // C0 top-left, C1 top-right, C2 bottom-right, C3 bottom-left of the placed image.
    std::array<TRPoint, 4> Corners{};
    qint32 ImageId = 0;

    const QImage& Image() const { return m_image; }
    // The BMP file stored for the image (empty for an empty image).
    const QByteArray& StoredBmp() const { return m_bmp; }

    // New pixels (import, paste): a 32-bit image becomes 24 bits (transparent parts on white);
    // a new ImageId. False, and nothing changed, for a null image or one above the size limit.
    bool SetImage(const QImage& image);
    // The image of an undo state: the pixels of this ImageId, which stays.
    void RestoreImage(const QImage& image);
    // Reads an image file: ".bmp" (any case) as a Windows bitmap, ".jpg" and ".jpeg" as JPEG,
    // anything else by its content. False, with the element unchanged, when it cannot be read.
    bool LoadImageFile(const QString& fileName);
    // Places the picture upright in the middle of the visible world rectangle, its aspect kept,
    // at most half the visible width and half the visible height.
    void PlaceInView(const TRRect& visible);

    // Picture commands. Each that changes pixels draws a new ImageId.
    bool ReduceResolution(bool apply, double factor);
    void Normalize(double sheetWidthMm, double sheetHeightMm);
    void RotatePixels90();
    void Lighten(int amount);

    // Resolution figures.
    int HorizontalDpi() const;
    int VerticalDpi() const;
    int BitsPerPixel() const; // 1, 4, 8, 16, 24 or 32; 0 for any other
    qint64 MemoryBytes() const;
    TRPoint Centre() const;

    // A random identity in 0 .. 999999998.
    static qint32 NewImageId();

    bool HitPoint(const TView& view, QPoint screen) const override;
    void Draw(TDrawContext& dc) override;
    void AddOutline(const TView& view, QPainterPath& path) const override;
    void MoveBy(TRPoint v) override;
    TRRect GetBounds() const override;
    void ScaleAt(TRPoint c, double fx, double fy) override;
    void ShearAt(TRPoint c, double sx, double sy) override;
    void RotateAt(TRPoint c, double radians) override;
    void MirrorX(TRPoint axis) override;
    void MirrorY(TRPoint axis) override;
    void SaveToStream(TStreamWriter& s) const override;
    void LoadFromStream(TStreamReader& s) override;
    TRPoint GetRefPoint() const override { return Corners[0]; }
    // The corners are the picture's characteristic points.
    bool SnapToPoint(const TView& view, TRPoint& p) const override;
    void AddSnapPoints(std::vector<TRPoint*>& points) override;
    bool HitRect(const TView& view, const TIRect& rect, bool enclose) const override;
    bool DumpTypeFields(QJsonObject& out) const override;

private:
    // Takes pixels that are already in their held format, with the BMP file that stores them.
    void setPixels(QImage image, QByteArray bmp);
    void setUpright(TRPoint centre, double width, double height);
    void readBmpFile(TStreamReader& s);
    void readZlibImage(TStreamReader& s);

    QImage m_image;
    QByteArray m_bmp;
    mutable QImage m_device; // the image in the painter's fastest format, built when first drawn
};

// The zlib stream of a record: int32 n, then the n bytes. Level 1, or 0 (stored blocks).
QByteArray CompressBitmapData(const QByteArray& bmp, bool compressed);
// Inflates the stream at the reader's position and leaves the reader just behind it; the inflated
// content must be exactly the int32 n and n bytes. LoadError otherwise.
QByteArray InflateBitmapData(TStreamReader& s);
