// A text note on a sheet.
#pragma once

#include <cstdint>
#include <string>

#include "model/CObject.h"
#include "model/DrawHelpers.h"
#include "platform/Geometry.h"

namespace ostra {

class IDrawSurface;

class COxText : public CObject {
  public:
    COxText() = default;
    COxText(CPoint pos, const std::string& t, int32_t sz) : text(t), position(pos), size(sz) {}

    const char* ClassName() const override { return "COxText"; }
    void Serialize(CArchive& ar) override;
    std::unique_ptr<CObject> Clone() const override { return std::make_unique<COxText>(*this); }

    // Needs a surface: the bounds come from measuring the text.
    bool Draw(IDrawSurface* dc, const DrawParams& p);
    // Every field equal but the drawn rectangle.
    bool SameContent(const COxText& o) const {
        return selected == o.selected && mark == o.mark && text == o.text &&
               position == o.position && size == o.size;
    }

    CRect bounds;
    bool selected = false;
    bool mark = false;
    std::string text;
    CPoint position;   // left end of the base line, grid units
    int32_t size = 0;  // font height in eighths of a grid unit
};

}  // namespace ostra
