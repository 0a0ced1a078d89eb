// Function block: construction, geometry, drawing and its 58-line record.
#include "model/COxFunc.h"

#include <algorithm>
#include <cctype>

#include "model/CArchive.h"
#include "model/WireTypes.h"
#include "platform/IDrawSurface.h"
#include "platform/Scan.h"
#include "platform/TextCodec.h"

namespace ostra {
namespace {

struct SymbolEntry {
    const char* type;
    int32_t id;
};
constexpr SymbolEntry kSymbols[] = {{"ADD", 144}, {"AND", 145},  {"BITAND", 146}, {"BITOR", 147},
                                    {"DIV", 148}, {"MULT", 149}, {"OR", 150},     {"SUB", 154},
                                    {"NOT", 155}, {"XOR", 156}};

// Every line of a block record is read with this limit.
constexpr std::size_t kReadLimit = 63;
constexpr std::size_t kPinTextKeep = 30;

std::string Pair(CPoint p) {
    return std::to_string(p.x) + ", " + std::to_string(p.y);
}

void ScanPair(const std::string& line, CPoint& p) {
    ScanF(line, "%d, %d", {&p.x, &p.y});
}

bool FlagFrom(char c) {
    return c != 'F' && c != 'f';
}

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

int32_t SymbolIdOf(const std::string& functionType) {
    for (const auto& s : kSymbols)
        if (functionType == s.type) return s.id;
    return 0;
}

COxFunc::COxFunc() {
    for (auto& pin : pins) pin.type = kPinNone;
}

COxFunc::COxFunc(const std::string& type, CPoint pt)
    : ident("F"),
      position(pt),
      functionType(type),
      identLabelOffset(2, 5),
      typeLabelOffset(2, 2),
      body(0, -4, 32, 30),
      canChange(true),
      minInputs(2),
      actualInputs(2),
      outputPinOffset(5, 1) {
    symbolFlag = SetSymbol(type);
}

void COxFunc::CopyFrom(const COxFunc& o) {
    functionType = o.functionType;
    typeNumber = o.typeNumber;
    identLabelOffset = o.identLabelOffset;
    typeLabelOffset = o.typeLabelOffset;
    symbolFlag = o.symbolFlag;
    body = o.body;
    canChange = o.canChange;
    minInputs = o.minInputs;
    actualInputs = o.actualInputs;
    outputPinOffset = o.outputPinOffset;
    pins = o.pins;
    SetSymbol(functionType);
}

bool COxFunc::SameContent(const COxFunc& o) const {
    for (int k = 0; k < kPinSlots; ++k) {
        const PinSlot& a = pins[k];
        const PinSlot& b = o.pins[k];
        if (a.name != b.name || a.type != b.type || a.letter != b.letter || a.value != b.value ||
            a.signal != b.signal)
            return false;
    }
    return refnum == o.refnum && ident == o.ident && position == o.position &&
           typeNumber == o.typeNumber && functionType == o.functionType &&
           identLabelOffset == o.identLabelOffset && typeLabelOffset == o.typeLabelOffset &&
           symbolFlag == o.symbolFlag && body == o.body && selected == o.selected &&
           mark == o.mark && canChange == o.canChange && minInputs == o.minInputs &&
           actualInputs == o.actualInputs && outputPinOffset == o.outputPinOffset &&
           symbolId == o.symbolId;
}

bool COxFunc::SetSymbol(const std::string& type) {
    const int32_t id = SymbolIdOf(type);
    if (id == 0) return false;
    symbolId = id;
    return true;
}

int32_t COxFunc::BodyWidth() const {
    const int64_t w = int64_t{body.right} - body.left;
    return ClampPx(symbolFlag ? w / 8 : w);
}

int32_t COxFunc::BodyHeight() const {
    const int64_t h = int64_t{body.bottom} - body.top;
    return ClampPx(symbolFlag ? h / 8 : h);
}

bool COxFunc::BodyContains(CPoint p) const {
    const int64_t left = int64_t{position.x} + 1;
    const int64_t top = int64_t{position.y} - 1;
    return left <= p.x && p.x < left + BodyWidth() && top <= p.y && p.y < top + BodyHeight();
}

CPoint COxFunc::PinPoint(int k) const {
    if (k == 0)
        return {ClampPx(int64_t{position.x} + outputPinOffset.x + 1),
                ClampPx(int64_t{position.y} + outputPinOffset.y)};
    return {position.x, ClampPx(int64_t{position.y} + 2 * (k - 1))};
}

int COxFunc::LastPinSlot() const {
    return std::min<int32_t>(actualInputs, kPinSlots - 1);
}

void COxFunc::DrawPin(IDrawSurface* dc, int k, const DrawParams& p) {
    PinSlot& pin = pins[k];
    const int s = p.scale;
    const CPoint pt = PinPoint(k);
    const int64_t left = k == 0 ? (int64_t{position.x} + outputPinOffset.x) * s + p.offset.x
                                : int64_t{position.x} * s - 3 * s / 8 + p.offset.x;
    const int64_t top = int64_t{pt.y} * s - s / 2 + p.offset.y;
    pin.bounds = {ClampPx(left), ClampPx(top), ClampPx(left + 11 * s / 8), ClampPx(top + s)};
    if (!dc) return;

    static constexpr int kImages[4][2] = {{0, 0},
                                          {image::kPinDigitalIn, image::kPinDigitalOut},
                                          {image::kPinInvertIn, image::kPinInvertOut},
                                          {image::kPinAnalogIn, image::kPinAnalogOut}};
    dc->DrawImage(kImages[pin.type][k == 0 ? 1 : 0], CRect(0, 0, 11, 8), pin.bounds);
    if (k == 0) {
        DrawLabel(*dc, int64_t{position.x} + outputPinOffset.x,
                  int64_t{position.y} + outputPinOffset.y + 1, pin.name, 11, TextAlign::Right, p);
    } else {
        DrawLabel(*dc, int64_t{position.x} + 1, int64_t{position.y} + 2 * k - 1, pin.name, 11,
                  TextAlign::Left, p);
        if (canChange && k >= 3) {
            // Marks the inputs that the user may remove.
            if (dc->SetPen(PenStyle::Solid, InkWidth(2, p), kBlue))
                dc->DrawLine({pin.bounds.right, pin.bounds.bottom},
                             {pin.bounds.right, ClampPx(int64_t{pin.bounds.top} - s)});
        }
    }
}

bool COxFunc::Draw(IDrawSurface* dc, const DrawParams& p) {
    if (position.x < 0 || position.y < 0) return false;
    const int s = p.scale;
    const int64_t w = int64_t{body.right} - body.left;
    const int64_t h = int64_t{body.bottom} - body.top;
    const int64_t wpx = symbolFlag ? w * s / 8 : w * s;
    const int64_t hpx = symbolFlag ? h * s / 8 : h * s;
    const int32_t left = PxX(int64_t{position.x} + 1, p);
    const int32_t top = PxY(int64_t{position.y} - 1, p);
    bounds = {left, top, ClampPx(left + wpx), ClampPx(top + hpx)};

    if (dc) {
        if (symbolFlag) {
            // The body comes from a library file: its extent is any pair of ints.
            dc->DrawImage(symbolId, CRect(0, 0, ClampPx(w), ClampPx(h)), bounds);
        } else {
            if (dc->SetPen(PenStyle::Solid, Quarter(s), kBlue)) dc->DrawRect(bounds);
            if (dc->SetPen(PenStyle::Solid, InkWidth(1, p), kBlack)) {
                dc->DrawLine({bounds.right, bounds.top + 1}, {bounds.right, bounds.bottom + 1});
                dc->DrawLine({bounds.left + 1, bounds.bottom}, {bounds.right + 1, bounds.bottom});
            }
        }
    }
    for (int k = 0; k <= LastPinSlot(); ++k) {
        const int32_t t = pins[k].type;
        if (t >= kPinDigital && t <= kPinAnalogue) DrawPin(dc, k, p);
    }
    if (!dc) return true;

    for (int k = 0; k < kPinSlots; ++k) {
        if (pins[k].type != kPinValue) continue;
        const std::string text =
            std::string(1, pins[k].letter) + " : " + std::to_string(pins[k].value);
        DrawLabel(*dc, int64_t{position.x} + 1, int64_t{position.y} + 2 * k - 1, text, 11,
                  TextAlign::Left, p);
    }
    if (typeLabelOffset.x > 0)
        DrawLabel(*dc, int64_t{position.x} + typeLabelOffset.x,
                  int64_t{position.y} + typeLabelOffset.y, functionType, 12, TextAlign::Left, p);
    DrawLabel(*dc, int64_t{position.x} + identLabelOffset.x,
              int64_t{position.y} + identLabelOffset.y, ident, 12, TextAlign::Left, p);
    // Selection is marked on screen only, never on paper or in an export.
    if (selected && !p.printing && dc->SetPen(PenStyle::Solid, 2, kRed))
        dc->DrawRect(CRect(ClampPx(int64_t{left} - s), top, ClampPx(int64_t{bounds.right} + s),
                           bounds.bottom));
    return true;
}

void COxFunc::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        // A letter must be a letter and a value not negative, in the block too.
        for (auto& pin : pins) {
            if (!IsAsciiLetter(pin.letter)) pin.letter = '_';
            if (pin.value < 0) pin.value = 0;
        }
        ar.WriteLine(std::to_string(refnum), 16);
        ar.WriteTextLine(ident, 32);
        ar.WriteLine(Pair(position), 32);
        ar.WriteLine(std::to_string(typeNumber), 32);
        ar.WriteTextLine(functionType, 32);
        ar.WriteLine(Pair(identLabelOffset), 32);
        ar.WriteLine(Pair(typeLabelOffset), 32);
        const std::string bodyText = std::to_string(body.left) + ", " + std::to_string(body.top) +
                                     ", " + std::to_string(body.right) + ", " +
                                     std::to_string(body.bottom);
        ar.WriteLine(std::string(symbolFlag ? "T, " : "F, ") + bodyText.substr(0, 32),
                     std::string::npos);
        const std::string inputs = std::to_string(minInputs) + ", " + std::to_string(actualInputs);
        ar.WriteLine(std::string(canChange ? "T, " : "F, ") + inputs.substr(0, 32),
                     std::string::npos);
        ar.WriteLine(Pair(outputPinOffset), 32);
        for (const auto& pin : pins) {
            ar.WriteTextLine(pin.name, 32);
            ar.WriteLine(std::to_string(pin.type) + ", " + std::string(1, pin.letter) + ", " +
                             std::to_string(pin.value),
                         32);
            ar.WriteTextLine(pin.signal, 32);
        }
        return;
    }

    ScanF(ar.ReadLine(kReadLimit), "%d", {&refnum});
    ident = ar.ReadTextLine(kReadLimit);
    ScanPair(ar.ReadLine(kReadLimit), position);
    ScanF(ar.ReadLine(kReadLimit), "%d", {&typeNumber});
    functionType = ar.ReadTextLine(kReadLimit);
    ScanPair(ar.ReadLine(kReadLimit), identLabelOffset);
    ScanPair(ar.ReadLine(kReadLimit), typeLabelOffset);
    char flag = 'F';
    ScanF(ar.ReadLine(kReadLimit), "%c, %d, %d, %d, %d",
          {&flag, &body.left, &body.top, &body.right, &body.bottom});
    symbolFlag = FlagFrom(flag);
    flag = 'F';
    ScanF(ar.ReadLine(kReadLimit), "%c, %d, %d", {&flag, &minInputs, &actualInputs});
    canChange = FlagFrom(flag);
    ScanPair(ar.ReadLine(kReadLimit), outputPinOffset);
    for (auto& pin : pins) {
        pin.name = Utf8Left(ar.ReadTextLine(kReadLimit), kPinTextKeep);
        char letter = '_';
        ScanF(ar.ReadLine(kReadLimit), "%d, %c, %d", {&pin.type, &letter, &pin.value});
        // The letter is one byte in the file; only ASCII letters survive a store.
        pin.letter = static_cast<unsigned char>(letter) < 0x80 ? letter : '_';
        pin.signal = Utf8Left(ar.ReadTextLine(kReadLimit), kPinTextKeep);
    }
    selected = false;
    mark = false;
    SetSymbol(functionType);
}

}  // namespace ostra
