// ostra-plc-export: draws a sheet into a PDF or PNG file with Qt's painter.
// ostra-plc-cli starts it for those formats, so that the command line itself
// stays free of Qt (and small). Works without a display.
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "editor/SheetExport.h"
#include "model/COstra_PLCDoc.h"

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: ostra-plc-export SHEET OUT pdf|png [DPI]\n");
        return 2;
    }
    const int dpi = argc == 5 ? std::atoi(argv[4]) : ostra::kPngDpiDefault;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ostra::COstra_PLCDoc doc;
    const ostra::LoadResult r = doc.OnOpenDocument(argv[1]);
    if (!r.ok) {
        std::fprintf(stderr, "ostra-plc-export: %s: %s\n", argv[1], r.Describe().c_str());
        return 2;
    }
    QString error;
    if (!ostra::ExportSheet(doc, QString::fromLocal8Bit(argv[2]), QString::fromLatin1(argv[3]),
                            &error, dpi)) {
        std::fprintf(stderr, "ostra-plc-export: %s: %s\n", argv[2], error.toLocal8Bit().constData());
        return 2;
    }
    return 0;
}
