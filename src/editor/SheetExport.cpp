// Printing and export.
#include "editor/SheetExport.h"

#include <QFile>
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

bool ExportSheet(COstra_PLCDoc& doc, const QString& path, const QString& format, QString* error) {
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
        QImage img(kExportWidth, kExportHeight, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, false);
        QtDrawSurface dc(p);
        DrawSheet(doc, dc, kExportScale, true);
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
