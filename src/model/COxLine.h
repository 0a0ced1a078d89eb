// A decorative line: width in pixels (not scaled) and an RGB colour.
#pragma once

#include <cstdint>

#include "model/CObject.h"
#include "model/DrawHelpers.h"
#include "platform/Geometry.h"

namespace ostra {

class IDrawSurface;

class COxLine : public CObject {
  public:
    COxLine() = default;
    COxLine(CPoint s, CPoint e, int32_t w, Colour c) : start(s), end(e), width(w), colour(c) {}

    const char* ClassName() const override { return "COxLine"; }
    void Serialize(CArchive& ar) override;
    std::unique_ptr<CObject> Clone() const override { return std::make_unique<COxLine>(*this); }

    int Trim(CPoint ref, CPoint newPt);
    // Draws, or with no surface only computes the bounds.
    bool Draw(IDrawSurface* dc, const DrawParams& p);
    // Every field equal but the drawn rectangle.
    bool SameContent(const COxLine& o) const {
        return selected == o.selected && mark == o.mark && start == o.start && end == o.end &&
               width == o.width && colour == o.colour;
    }

    CRect bounds;
    bool selected = false;
    bool mark = false;
    CPoint start;
    CPoint end;
    int32_t width = 0;
    Colour colour = 0;
};

}  // namespace ostra
