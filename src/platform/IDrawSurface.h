// The drawing surface through which diagram objects and views draw: a QPainter
// in the desktop application, a recorder in the tests, SVG/PDF/PNG on export.
#pragma once

#include <string>

#include "platform/Geometry.h"

namespace ostra {

enum class PenStyle { Solid, Dot };
enum class TextAlign { Left, Right, Center };

struct FontSpec {
    std::string face = "Arial";
    int height = 8;    // pixels
    int weight = 400;  // normal
};

// Artwork the surfaces know by number: symbol bodies, pins and the junction dot.
namespace image {
constexpr int kJunctionDot = 350;
constexpr int kPinAnalogIn = 352;
constexpr int kPinAnalogOut = 353;
constexpr int kPinInvertIn = 355;
constexpr int kPinInvertOut = 359;
constexpr int kPinDigitalIn = 360;
constexpr int kPinDigitalOut = 361;
// The operator a symbol body shows ("&" for AND, ...), UTF-8; null for other ids.
const char* SymbolOperatorText(int imageId);
}  // namespace image

class IDrawSurface {
  public:
    virtual ~IDrawSurface() = default;
    // Selects the pen for later lines and outlines; false when it cannot be made.
    virtual bool SetPen(PenStyle style, int width, Colour colour) = 0;
    virtual void DrawLine(CPoint from, CPoint to) = 0;
    // Outline only, with the current pen; the inside is left untouched.
    virtual void DrawRect(const CRect& r) = 0;
    virtual void FillRect(const CRect& r, Colour colour) = 0;
    virtual void SetFont(const FontSpec& font) = 0;
    // Text whose base line starts (Left), ends (Right) or is centred on `ref`.
    virtual void DrawText(CPoint ref, const std::string& utf8, TextAlign align) = 0;
    virtual CSize TextExtent(const std::string& utf8) = 0;
    // Stretches the part `src` of the artwork `imageId` into `dst`.
    virtual void DrawImage(int imageId, const CRect& src, const CRect& dst) = 0;
};

}  // namespace ostra
