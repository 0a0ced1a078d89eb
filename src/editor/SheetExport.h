// Printing and exporting a sheet: one landscape page, at the printer scale
// (its printable width in pixels divided by 126), shifted by the print offset.
#pragma once

#include <QString>

class QPagedPaintDevice;
class QPrinter;

namespace ostra {

class COstra_PLCDoc;

// Scale for a page `printableWidthPx` wide: the width / 126, the remainder
// dropped; 24 when there is no device.
int PrintScale(int printableWidthPx);

// Draws the sheet on one page of a printer or PDF writer.
bool PrintSheet(COstra_PLCDoc& doc, QPagedPaintDevice& device);
// Writes the sheet as PDF, SVG or PNG, chosen by `format` ("pdf", "svg", "png").
// A PNG is drawn at `pngDpi` dots per inch of an A4 landscape page
// (kPngDpiMin..kPngDpiMax; 150 gives the scale of 10 pixels a grid unit).
constexpr int kPngDpiDefault = 150;
constexpr int kPngDpiMin = 30;
constexpr int kPngDpiMax = 1200;
bool ExportSheet(COstra_PLCDoc& doc, const QString& path, const QString& format, QString* error,
                 int pngDpi = kPngDpiDefault);

}  // namespace ostra
