// A function block on a sheet: library type, position, labels, body outline
// and 16 pin slots (slot 0 the output, slots 1 to 15 the inputs).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/CObject.h"
#include "model/DrawHelpers.h"
#include "platform/Geometry.h"

namespace ostra {

class IDrawSurface;

constexpr int kPinSlots = 16;

// One pin slot, embedded in its block.
struct PinSlot {
    std::string name;    // from the library, drawn beside the pin
    int32_t type = 1;    // PinTypeCode
    CRect bounds;        // pixel rectangle of the pin at the last drawing
    char letter = '_';   // letter of a value pin
    int32_t value = 0;   // number of a value pin
    std::string signal;  // name of the signal wired here, set by the wire check
};

// Symbol id of a function type ("ADD" 144 ...), or 0 when it has no symbol.
int32_t SymbolIdOf(const std::string& functionType);

class COxFunc : public CObject {
  public:
    // Made empty by the archive: every field zero or empty.
    COxFunc();
    // A new block of `functionType` at `pt` with the construction defaults.
    COxFunc(const std::string& functionType, CPoint pt);

    const char* ClassName() const override { return "COxFunc"; }
    void Serialize(CArchive& ar) override;
    std::unique_ptr<CObject> Clone() const override { return std::make_unique<COxFunc>(*this); }

    // Takes the library part of another block: everything but refnum, ident
    // and position.
    void CopyFrom(const COxFunc& other);
    // Looks the type up in the symbol table; false (nothing changed) when absent.
    bool SetSymbol(const std::string& functionType);

    // Body width and height in grid units (eighths turned into units for a symbol).
    int32_t BodyWidth() const;
    int32_t BodyHeight() const;
    bool BodyContains(CPoint p) const;
    // Grid point of pin slot k: the output for 0, input k otherwise.
    CPoint PinPoint(int k) const;
    // The highest slot in use: actual inputs, at most 15 (-1 and below: none).
    int LastPinSlot() const;

    // Draws onto `dc`, or with no surface only computes the bounds of the body
    // and pins. Nothing is drawn, and false returned, for a negative position.
    bool Draw(IDrawSurface* dc, const DrawParams& p);
    // Every field equal but the drawn rectangles, which the next drawing
    // recomputes. A new field must be compared here too.
    bool SameContent(const COxFunc& o) const;

    CRect bounds;
    int32_t refnum = 0;
    std::string ident;
    CPoint position;
    int32_t typeNumber = 0;
    std::string functionType;
    CPoint identLabelOffset;
    CPoint typeLabelOffset;
    bool symbolFlag = false;
    CRect body;
    bool selected = false;
    bool mark = false;
    bool canChange = false;
    int32_t minInputs = 0;
    int32_t actualInputs = 0;
    CPoint outputPinOffset;
    std::array<PinSlot, kPinSlots> pins;
    int32_t symbolId = 0;

  private:
    void DrawPin(IDrawSurface* dc, int k, const DrawParams& p);
};

}  // namespace ostra
