// Decorative line: trimming, drawing and its 1-line record.
#include "model/COxLine.h"

#include "model/CArchive.h"
#include "model/Trim.h"
#include "platform/IDrawSurface.h"
#include "platform/Scan.h"

namespace ostra {

int COxLine::Trim(CPoint ref, CPoint newPt) {
    return TrimEnds(start, end, ref, newPt);
}

bool COxLine::Draw(IDrawSurface* dc, const DrawParams& p) {
    const CPoint a = PxPoint(start, p);
    const CPoint b = PxPoint(end, p);
    bounds = CRect(a.x, a.y, b.x, b.y).Normalized().Inflated(3);
    if (!dc) return true;
    if (!dc->SetPen(PenStyle::Solid, InkWidth(width, p), colour)) return false;
    dc->DrawLine(a, b);
    if (selected && !p.printing && dc->SetPen(PenStyle::Solid, 2, kRed)) dc->DrawRect(bounds);
    return true;
}

void COxLine::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteLine(std::to_string(start.x) + ", " + std::to_string(start.y) + ", " +
                         std::to_string(end.x) + ", " + std::to_string(end.y) + ", " +
                         std::to_string(width) + ", " +
                         std::to_string(static_cast<int32_t>(colour)),
                     100);
        return;
    }
    int32_t c = 0;
    ScanF(ar.ReadLine(128), "%d, %d, %d, %d, %d, %d",
          {&start.x, &start.y, &end.x, &end.y, &width, &c});
    colour = static_cast<Colour>(c);
    selected = false;
    mark = false;
}

}  // namespace ostra
