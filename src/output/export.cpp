#include "output/export.h"

#include "elements/MyD2D.h"
#include "elements/SVG_Export.h"
#include "platform/messages.h"
#include "platform/savefile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <cmath>
#include <limits>

namespace {
// Larger images are refused with a message instead of exhausting memory (A0 at 300 dpi has
// 140 million pixels and passes).
constexpr qint64 kMaxPixels = qint64(1) << 29;

// Message 5004 with the file's full path in quotation marks, as every write failure reads.
QString cannotWrite(const QString& path) {
    return GetMessage(5004) + QStringLiteral("\r\r\"%1\"").arg(path);
}

int roundSize(double v) {
    const double r = RoundHalfEven(v);
    if (!std::isfinite(r) || r < 0) return 0;
    if (r > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    return int(r);
}

QImage toFileImage(const QImage& drawn, const TExportOptions& o) {
    switch (o.Format) {
    case TExportFormat::BMP:
        if (o.BlackWhite)
            return drawn.convertToFormat(QImage::Format_Mono,
                                         Qt::MonoOnly | Qt::ThresholdDither | Qt::AvoidDither);
        return drawn.convertToFormat(QImage::Format_RGB888);
    case TExportFormat::PNG:
        if (o.Transparent) {
            QImage a = drawn.convertToFormat(QImage::Format_ARGB32);
            for (int y = 0; y < a.height(); ++y) {
                QRgb* line = reinterpret_cast<QRgb*>(a.scanLine(y));
                for (int x = 0; x < a.width(); ++x)
                    if ((line[x] | 0xFF000000) == kTransparentKey) line[x] = 0x00010203;
            }
            return a;
        }
        return drawn.convertToFormat(QImage::Format_RGB888);
    case TExportFormat::JPG:
    case TExportFormat::SVG:
        break;
    }
    return drawn.convertToFormat(QImage::Format_RGB888);
}

const char* writerFormat(TExportFormat f) {
    switch (f) {
    case TExportFormat::BMP:
        return "bmp";
    case TExportFormat::JPG:
        return "jpeg";
    case TExportFormat::PNG:
        return "png";
    case TExportFormat::SVG:
        return "svg";
    }
    return "png";
}

bool exportSvg(const std::vector<TElement*>& elements, const TExportRegion& region,
               const QString& fileName, QString* error) {
    const QSize size = ExportOutputSize(region, TExportFormat::SVG, 0);
    TSVG svg;
    svg.Create(size.width(), size.height(), QFileInfo(fileName).completeBaseName());
    const TRPoint o = region.Origin;
    const bool move = o.X != 0 || o.Y != 0; // the page area needs no round trip through floats
    for (TElement* e : elements) {
        if (move) e->MoveBy({-o.X, -o.Y});
        try {
            e->WriteSvg(svg);
        } catch (const RangeError&) {
            // An element too far out to be written is left out; the rest of the file stands.
        }
        svg.CoordFactor = 1;
        if (move) e->MoveBy(o);
    }
    if (svg.SaveToFile(fileName)) return true;
    if (error) *error = cannotWrite(fileName);
    return false;
}
} // namespace

TExportRegion PageRegion(int sheetWidthMm, int sheetHeightMm) {
    return {{0, 0}, double(sheetWidthMm), double(sheetHeightMm)};
}

TExportRegion MarginRegion(const TRRect& b) {
    return {{b.Left - 40, b.Top - 40},
            (double(b.Right) - b.Left) / 10 + 8,
            (double(b.Bottom) - b.Top) / 10 + 8};
}

TRRect UnionOfBounds(const std::vector<TElement*>& elements) {
    TRRect r;
    bool first = true;
    for (const TElement* e : elements) {
        const TRRect b = e->GetBounds();
        r = first ? b : UnionRect(r, b);
        first = false;
    }
    return r;
}

double ExportZoom(int dpi) {
    return RoundHalfEven(dpi * 100 / 25.4) / 1000;
}

QSize ExportOutputSize(const TExportRegion& region, TExportFormat format, int dpi) {
    if (format == TExportFormat::SVG)
        return QSize(roundSize(region.WidthMm * 10), roundSize(region.HeightMm * 10));
    return QSize(roundSize(dpi * region.WidthMm / 25.4), roundSize(dpi * region.HeightMm / 25.4));
}

bool ExportFormatOfName(const QString& fileName, TExportFormat& format) {
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == QLatin1String("svg"))
        format = TExportFormat::SVG;
    else if (ext == QLatin1String("png"))
        format = TExportFormat::PNG;
    else if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg"))
        format = TExportFormat::JPG;
    else if (ext == QLatin1String("bmp"))
        format = TExportFormat::BMP;
    else
        return false;
    return true;
}

QImage RenderExportImage(const std::vector<TElement*>& elements, const TExportRegion& region,
                         const TExportOptions& options, QString* error) {
    const QSize size = ExportOutputSize(region, options.Format, options.Resolution);
    if (size.isEmpty() || qint64(size.width()) * size.height() > kMaxPixels) {
        if (error)
            *error = QStringLiteral("An image of %1 x %2 pixels cannot be made; choose a lower "
                                    "resolution.")
                         .arg(size.width())
                         .arg(size.height());
        return QImage();
    }
    QImage img(size, QImage::Format_RGB32);
    if (img.isNull()) {
        if (error)
            *error = QStringLiteral("Not enough memory for an image of %1 x %2 pixels.")
                         .arg(size.width())
                         .arg(size.height());
        return img;
    }
    const bool transparent = options.Format == TExportFormat::PNG && options.Transparent;
    img.fill(transparent ? QColor::fromRgb(kTransparentKey) : QColor(Qt::white));

    // The region's origin is moved to the top-left pixel through the view, so the document's
    // points stay exactly as they are.
    const double zoom = ExportZoom(options.Resolution);
    TView view;
    view.ZoomX = view.ZoomY = float(zoom);
    view.OffsetX = float(-double(region.Origin.X) * float(zoom));
    view.OffsetY = float(-double(region.Origin.Y) * float(zoom));

    QPainter painter(&img);
    TDrawContext dc(painter, view, options.AntiAliased, false, options.TextAntiAliasing);
    dc.Exporting = true;
    dc.SheetElements = options.SheetElements;
    dc.DrawingScale = options.DrawingScale;
    dc.ClipRect = QRectF(0, 0, size.width(), size.height());
    for (TElement* e : elements) {
        const bool selected = e->Selected;
        e->SetSelected(false);
        try {
            if (dc.NeedsDrawing(e->GetScreenRect(dc.View))) e->Draw(dc);
        } catch (const RangeError&) {
            // Coordinates beyond the pixel range: this element is left out.
        }
        e->SetSelected(selected);
    }
    painter.end();
    return img;
}

bool ExportElements(const std::vector<TElement*>& elements, const TExportRegion& region,
                    const TExportOptions& options, const QString& fileName, QString* error) {
    if (options.Format == TExportFormat::SVG) return exportSvg(elements, region, fileName, error);

    const QImage drawn = RenderExportImage(elements, region, options, error);
    if (drawn.isNull()) return false;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, writerFormat(options.Format));
    if (options.Format == TExportFormat::JPG) writer.setQuality(kJpegQuality);
    if (!writer.write(toFileImage(drawn, options))) {
        if (error) *error = cannotWrite(fileName) + QStringLiteral("\r") + writer.errorString();
        return false;
    }
    if (!WriteFileSafely(fileName, bytes)) {
        if (error) *error = cannotWrite(fileName);
        return false;
    }
    return true;
}

std::vector<TElement*> ElementPointers(const TElementList& list) {
    std::vector<TElement*> out;
    out.reserve(list.size());
    for (const TElementPtr& e : list)
        out.push_back(e.get());
    return out;
}
