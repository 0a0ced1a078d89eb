// Pixel arithmetic shared by the diagram objects' drawing: scale, page offset,
// the text reference rule and the fonts. Grid values from a damaged file can be
// huge, so products are formed in 64 bits and clamped into the pixel range.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Geometry.h"
#include "platform/IDrawSurface.h"

namespace ostra {

struct DrawParams {
    int scale = 8;  // pixels per grid unit
    CPoint offset;  // page offset in pixels when printing
    bool printing = false;
};

int32_t ClampPx(int64_t v);
// A quarter grid unit in pixels, at least 1.
int32_t Quarter(int scale);
// The width of a pen given in screen pixels: on paper and in exports, where a
// pixel is a fraction of a screen's, it grows with the scale so that wires
// stay as visible beside the block outlines as on screen.
int32_t InkWidth(int32_t width, const DrawParams& p);
// Grid coordinate to pixels: g * s + offset.
int32_t PxX(int64_t g, const DrawParams& p);
int32_t PxY(int64_t g, const DrawParams& p);
CPoint PxPoint(CPoint g, const DrawParams& p);
// "Arial", normal weight, height size * s / 8 pixels.
FontSpec ArialFont(int size, int scale);
// Reference point of a label, pin text or wire name at grid (gx, gy).
CPoint LabelRef(int64_t gx, int64_t gy, TextAlign align, const DrawParams& p);
// Writes `text` at grid (gx, gy) in font size `size` with the label rule.
void DrawLabel(IDrawSurface& dc, int64_t gx, int64_t gy, const std::string& text, int size,
               TextAlign align, const DrawParams& p);

constexpr Colour kBlack = Rgb(0, 0, 0);
constexpr Colour kRed = Rgb(255, 0, 0);
constexpr Colour kBlue = Rgb(0, 0, 255);

}  // namespace ostra
