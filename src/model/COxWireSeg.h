// A straight wire segment. Signals run from its start to its end; the wire
// check fills in end states, source count, name and error.
#pragma once

#include <cstdint>
#include <string>

#include "model/CObject.h"
#include "model/DrawHelpers.h"
#include "platform/Geometry.h"

namespace ostra {

class IDrawSurface;

class COxWireSeg : public CObject {
  public:
    COxWireSeg() = default;
    COxWireSeg(CPoint s, CPoint e) : start(s), end(e) {}

    const char* ClassName() const override { return "COxWireSeg"; }
    void Serialize(CArchive& ar) override;
    std::unique_ptr<CObject> Clone() const override { return std::make_unique<COxWireSeg>(*this); }

    // True when anything but the show-name flag differs.
    bool Differs(const COxWireSeg& other) const;
    // Every field equal but the drawn rectangle. A new field must be compared
    // here too.
    bool SameContent(const COxWireSeg& o) const;
    int Trim(CPoint ref, CPoint newPt);
    bool IsHorizontal() const { return start.y == end.y; }
    bool IsVertical() const { return start.x == end.x; }

    // Draws, or with no surface only computes the bounds.
    bool Draw(IDrawSurface* dc, const DrawParams& p);

    int32_t spare = 0;  // carried along by a split, never stored
    CPoint start;
    CPoint end;
    int32_t startState = 0;
    int32_t endState = 0;
    int32_t fromSource = 0;
    int32_t refnum = 0;
    std::string name;
    bool showName = false;
    bool selected = false;
    bool mark = false;
    int32_t error = 0;
    int32_t direction = 0;  // SegDirection, set by the wire check, never stored
    CRect bounds;
};

}  // namespace ostra
