// A drawing surface that draws nothing, so that fuzz targets run the drawing
// arithmetic of every object under the sanitizers.
#pragma once

#include "platform/IDrawSurface.h"

namespace ostra::fuzz {

class NullSurface : public IDrawSurface {
  public:
    bool SetPen(PenStyle, int, Colour) override { return true; }
    void DrawLine(CPoint, CPoint) override {}
    void DrawRect(const CRect&) override {}
    void FillRect(const CRect&, Colour) override {}
    void SetFont(const FontSpec&) override {}
    void DrawText(CPoint, const std::string& text, TextAlign) override { (void)text.size(); }
    CSize TextExtent(const std::string& text) override {
        return {static_cast<int32_t>(text.size() % 4096) * 5, 10};
    }
    void DrawImage(int, const CRect&, const CRect&) override {}
};

}  // namespace ostra::fuzz
