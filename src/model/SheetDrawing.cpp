// Sheet drawing order.
#include "model/SheetDrawing.h"

#include "model/COstra_PLCDoc.h"
#include "platform/SvgSurface.h"

namespace ostra {

void DrawSheet(COstra_PLCDoc& doc, IDrawSurface& dc, int scale, bool printing) {
    DrawParams p;
    p.scale = scale;
    p.printing = printing;
    p.offset = printing ? CPoint(kPrintOffsetX * scale, kPrintOffsetY * scale) : CPoint(0, 0);
    if (dc.SetPen(PenStyle::Solid, InkWidth(1, p), Rgb(0, 0, 255))) {
        const CPoint o = p.offset;
        const CPoint c[] = {o, o + CPoint(kFrameGridWidth * scale, 0),
                            o + CPoint(kFrameGridWidth * scale, kSheetGridHeight * scale),
                            o + CPoint(0, kSheetGridHeight * scale)};
        for (int i = 0; i < 4; ++i) dc.DrawLine(c[i], c[(i + 1) % 4]);
    }
    for (auto it = doc.lines.rbegin(); it != doc.lines.rend(); ++it) (*it)->Draw(&dc, p);
    for (auto it = doc.texts.rbegin(); it != doc.texts.rend(); ++it) (*it)->Draw(&dc, p);
    for (auto it = doc.blocks.rbegin(); it != doc.blocks.rend(); ++it) (*it)->Draw(&dc, p);
    for (auto it = doc.segments.rbegin(); it != doc.segments.rend(); ++it) (*it)->Draw(&dc, p);
}

std::string SheetAsSvg(COstra_PLCDoc& doc) {
    SvgSurface svg(kExportWidth, kExportHeight);
    DrawSheet(doc, svg, kExportScale, true);
    return svg.Finish();
}

}  // namespace ostra
