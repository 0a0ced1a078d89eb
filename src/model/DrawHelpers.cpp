// Pixel arithmetic and label placement for the diagram objects.
#include "model/DrawHelpers.h"

#include <algorithm>
#include <limits>

namespace ostra {

int32_t ClampPx(int64_t v) {
    // Leave head room so that widening a rectangle cannot overflow either.
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max() / 2;
    if (v > kMax) return static_cast<int32_t>(kMax);
    if (v < -kMax) return static_cast<int32_t>(-kMax);
    return static_cast<int32_t>(v);
}

int32_t Quarter(int scale) {
    return scale / 4 > 0 ? scale / 4 : 1;
}

int32_t InkWidth(int32_t width, const DrawParams& p) {
    if (!p.printing) return width;
    const int64_t grown = int64_t{width} * p.scale / 12;
    return static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(width, grown), 1000));
}

int32_t PxX(int64_t g, const DrawParams& p) {
    return ClampPx(g * p.scale + p.offset.x);
}
int32_t PxY(int64_t g, const DrawParams& p) {
    return ClampPx(g * p.scale + p.offset.y);
}
CPoint PxPoint(CPoint g, const DrawParams& p) {
    return {PxX(g.x, p), PxY(g.y, p)};
}

FontSpec ArialFont(int size, int scale) {
    FontSpec f;
    f.face = "Arial";
    f.height = static_cast<int>(ClampPx(int64_t{size} * scale / 8));
    f.weight = 400;
    return f;
}

CPoint LabelRef(int64_t gx, int64_t gy, TextAlign align, const DrawParams& p) {
    const int32_t q = Quarter(p.scale);
    const int32_t dx = align == TextAlign::Left ? q : -q;
    return {ClampPx(int64_t{PxX(gx, p)} + dx), ClampPx(int64_t{PxY(gy, p)} - q)};
}

void DrawLabel(IDrawSurface& dc, int64_t gx, int64_t gy, const std::string& text, int size,
               TextAlign align, const DrawParams& p) {
    dc.SetFont(ArialFont(size, p.scale));
    dc.DrawText(LabelRef(gx, gy, align, p), text, align);
}

}  // namespace ostra
