#pragma once

// Image and SVG export of a sheet's elements, without any widget: the export dialog and
// kavro-cli both end here.

#include "elements/element.h"

#include <QRgb>
#include <QSize>
#include <QString>
#include <vector>

class QImage;

enum class TExportFormat { BMP, JPG, PNG, SVG };

// The world point that becomes the output's top-left corner, and the exported size.
struct TExportRegion {
    TRPoint Origin;
    double WidthMm = 0;
    double HeightMm = 0;
};

// "Ganze Seite": the sheet rectangle.
TExportRegion PageRegion(int sheetWidthMm, int sheetHeightMm);
// "Alle Elemente" / "Nur markierte Elemente": a rectangle with 4 mm margin on every side.
TExportRegion MarginRegion(const TRRect& bounds);
// Union of the elements' bounds; (0, 0, 0, 0) for none.
TRRect UnionOfBounds(const std::vector<TElement*>& elements);

// Pixels per world unit for a resolution: round(dpi * 100 / 25.4) / 1000 (150 dpi: 0.591).
double ExportZoom(int dpi);
// Raster formats: round(dpi * mm / 25.4) pixels; SVG: round(mm * 10) world units.
QSize ExportOutputSize(const TExportRegion& region, TExportFormat format, int dpi);

struct TExportOptions {
    TExportFormat Format = TExportFormat::JPG;
    int Resolution = 150;     // dpi, raster formats
    bool BlackWhite = false;  // BMP only: 1 bit per pixel
    bool Transparent = false; // PNG only: the key colour becomes transparent
    // Images are drawn by the plain renderer, as for printing; on request the smooth one.
    bool AntiAliased = false;
    bool TextAntiAliasing = true;
    // The whole sheet the elements come from, for elements that take their look from their
    // neighbours (automatic junction dots); none keeps them as stored.
    const TElementList* SheetElements = nullptr;
    double DrawingScale = 1; // the sheet's Scale: dimensions state their values in it
};

// The background of a transparent PNG (red 1, green 2, blue 3); every pixel of exactly this
// colour is transparent in the file.
constexpr QRgb kTransparentKey = 0xFF010203;
constexpr int kJpegQuality = 90;

// File format from a file name's extension (svg, png, jpg/jpeg, bmp); false when unknown.
bool ExportFormatOfName(const QString& fileName, TExportFormat& format);

// Draws the elements in list order into a new image of the region at the resolution: RGB32
// filled white (the key colour when transparent); the elements show unselected. A null image
// and an error text when the image cannot be allocated.
QImage RenderExportImage(const std::vector<TElement*>& elements, const TExportRegion& region,
                         const TExportOptions& options, QString* error = nullptr);

// Writes the elements of the region to a file in the chosen format. The file is replaced only
// when it was written completely; false and a message for the user otherwise.
bool ExportElements(const std::vector<TElement*>& elements, const TExportRegion& region,
                    const TExportOptions& options, const QString& fileName, QString* error);

// The top-level elements of a list, in order.
std::vector<TElement*> ElementPointers(const TElementList& list);
