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
bool ExportSheet(COstra_PLCDoc& doc, const QString& path, const QString& format, QString* error);

}  // namespace ostra
