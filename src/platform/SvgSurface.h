// A drawing surface that writes SVG, so that a sheet can be exported without
// a window system (ostra-plc-cli export). Text is measured with typical
// Arial proportions; the artwork is drawn as vectors.
#pragma once

#include <string>

#include "platform/IDrawSurface.h"

namespace ostra {

class SvgSurface : public IDrawSurface {
  public:
    SvgSurface(int width, int height);

    bool SetPen(PenStyle style, int width, Colour colour) override;
    void DrawLine(CPoint from, CPoint to) override;
    void DrawRect(const CRect& r) override;
    void FillRect(const CRect& r, Colour colour) override;
    void SetFont(const FontSpec& font) override;
    void DrawText(CPoint ref, const std::string& utf8, TextAlign align) override;
    CSize TextExtent(const std::string& utf8) override;
    void DrawImage(int imageId, const CRect& src, const CRect& dst) override;

    // The complete document.
    std::string Finish() const;

  private:
    std::string Stroke() const;
    std::string body_;
    int width_, height_;
    std::string penColour_ = "#000000";
    int penWidth_ = 1;
    bool dotted_ = false;
    FontSpec font_;
};

}  // namespace ostra
