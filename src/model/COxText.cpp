// Text note: drawing and its 2-line record.
#include "model/COxText.h"

#include "model/CArchive.h"
#include "platform/IDrawSurface.h"
#include "platform/Scan.h"

namespace ostra {

bool COxText::Draw(IDrawSurface* dc, const DrawParams& p) {
    if (!dc) return false;
    dc->SetFont(ArialFont(size, p.scale));
    const CPoint base(PxX(position.x, p), ClampPx(int64_t{PxY(position.y, p)} - Quarter(p.scale)));
    const CSize ext = dc->TextExtent(text);
    bounds = {base.x, ClampPx(int64_t{base.y} - ext.cy), ClampPx(int64_t{base.x} + ext.cx), base.y};
    dc->DrawText(base, text, TextAlign::Left);
    if (selected && !p.printing && dc->SetPen(PenStyle::Solid, 2, kRed))
        dc->DrawRect(bounds.Inflated(2));
    return true;
}

void COxText::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteLine(std::to_string(position.x) + ", " + std::to_string(position.y) + ", " +
                         std::to_string(size),
                     100);
        ar.WriteTextLine(text, 100);
        return;
    }
    ScanF(ar.ReadLine(128), "%d, %d, %d", {&position.x, &position.y, &size});
    text = ar.ReadTextLine(128);
    selected = false;
    mark = false;
}

}  // namespace ostra
