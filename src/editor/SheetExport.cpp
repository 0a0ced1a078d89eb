// Printing and export.
#include "editor/SheetExport.h"

#include <QFile>
#include <algorithm>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include "model/COstra_PLCDoc.h"
#include "model/SheetDrawing.h"
#include "platform/FileIO.h"
#include "platform/qt/QtDrawSurface.h"

namespace ostra {

int PrintScale(int printableWidthPx) {
    return printableWidthPx > 0 ? printableWidthPx / kSheetGridWidth : 24;
}

bool PrintSheet(COstra_PLCDoc& doc, QPagedPaintDevice& device) {
    device.setPageOrientation(QPageLayout::Landscape);
    QPainter p;
    if (!p.begin(&device)) return false;
    const int scale = PrintScale(device.width());
    QtDrawSurface dc(p);
    DrawSheet(doc, dc, scale, true);
    return p.end();
}

bool ExportSheet(COstra_PLCDoc& doc, const QString& path, const QString& format, QString* error,
                 int pngDpi) {
    if (format == QLatin1String("pdf")) {
        QPdfWriter pdf(path);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setResolution(300);
        pdf.setTitle(QString::fromStdString(doc.title));
        if (!PrintSheet(doc, pdf)) {
            if (error) *error = QStringLiteral("cannot write the PDF file");
            return false;
        }
        return true;
    }
    if (format == QLatin1String("svg")) {
        std::string why;
        if (!WriteFileAtomic(path.toStdString(), SheetAsSvg(doc), &why)) {
            if (error) *error = QString::fromStdString(why);
            return false;
        }
        return true;
    }
    if (format == QLatin1String("png")) {
        if (pngDpi < kPngDpiMin || pngDpi > kPngDpiMax) {
            if (error)
                *error = QStringLiteral("the resolution must be from %1 to %2 dots per inch")
                             .arg(kPngDpiMin)
                             .arg(kPngDpiMax);
            return false;
        }
        const int scale = std::max(1, (pngDpi * kExportScale + kPngDpiDefault / 2) / kPngDpiDefault);
        QImage img(kExportWidth / kExportScale * scale, kExportHeight / kExportScale * scale,
                   QImage::Format_RGB32);
        if (img.isNull()) {
            if (error) *error = QStringLiteral("not enough memory for the picture");
            return false;
        }
        const double dotsPerMetre = pngDpi / 0.0254;
        img.setDotsPerMeterX(static_cast<int>(dotsPerMetre + 0.5));
        img.setDotsPerMeterY(static_cast<int>(dotsPerMetre + 0.5));
        img.fill(Qt::white);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, false);
        QtDrawSurface dc(p);
        DrawSheet(doc, dc, scale, true);
        p.end();
        if (!img.save(path, "PNG")) {
            if (error) *error = QStringLiteral("cannot write the PNG file");
            return false;
        }
        return true;
    }
    if (error) *error = QStringLiteral("unknown format ") + format;
    return false;
}

}  // namespace ostra
