// Property dialog fields: filling, checking and writing back.
#include "model/EditDialogs.h"

#include <cctype>
#include <limits>

#include "model/COxFunc.h"
#include "model/COxLine.h"
#include "model/COxWireSeg.h"
#include "model/WireTypes.h"

namespace ostra {

namespace {

std::optional<int32_t> ParseNumber(const std::string& text, bool signAllowed) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (signAllowed && i < n && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    const std::size_t digitsFrom = i;
    int64_t v = 0;
    while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) {
        v = v * 10 + (text[i++] - '0');
        if (v > int64_t{std::numeric_limits<int32_t>::max()} + 1) return std::nullopt;
    }
    if (i == digitsFrom) return std::nullopt;
    while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i != n) return std::nullopt;
    if (negative) v = -v;
    if (v > std::numeric_limits<int32_t>::max() || v < std::numeric_limits<int32_t>::min())
        return std::nullopt;
    return static_cast<int32_t>(v);
}

}  // namespace

std::optional<int32_t> ParseWholeNumber(const std::string& text) {
    return ParseNumber(text, true);
}

std::optional<int32_t> ParseDigits(const std::string& text) {
    return ParseNumber(text, false);
}

std::string WholeNumberMessage() {
    return "Please enter an integer.";
}

std::string RangeMessage(int32_t low, int32_t high) {
    return "Please enter an integer between " + std::to_string(low) + " and " +
           std::to_string(high) + ".";
}

FBPropsFields FBPropsFields::From(const COxFunc& f) {
    FBPropsFields d;
    d.functionType = f.functionType;
    d.typeNumber = f.typeNumber;
    d.refnum = f.refnum;
    d.ident = f.ident;
    d.x = f.position.x;
    d.y = f.position.y;
    d.canChange = f.canChange;
    d.minimum = f.minInputs;
    d.actual = f.actualInputs;
    int row = 0;
    for (int k = 1; k < kPinSlots; ++k) {
        if (f.pins[k].type != kPinValue) continue;
        d.terminal = true;
        if (row >= kValueRows) continue;
        d.valueNames[row] = f.pins[k].name;
        d.values[row] = f.pins[k].value;
        d.valueSlots[row] = k;
        ++row;
    }
    return d;
}

void FBPropsFields::ApplyTo(COxFunc& f) const {
    // An input count the block cannot take is ignored without a word.
    if (f.canChange && actual >= f.minInputs && actual < kPinSlots) f.actualInputs = actual;
    f.ident = ident;
    f.position = {x, y};
    if (terminal)
        for (int row = 0; row < kValueRows; ++row)
            if (valueSlots[row] > 0) f.pins[valueSlots[row]].value = values[row];
    f.symbolFlag = f.SetSymbol(f.functionType);
}

PinPropsFields PinPropsFields::From(const COxFunc& f, int slot) {
    PinPropsFields d;
    d.functionType = f.functionType;
    d.ident = f.ident;
    d.refnum = f.refnum;
    d.pinNumber = slot;
    d.inOut = slot == 0 ? "Output" : "Input";
    const int32_t type = slot >= 0 && slot < kPinSlots ? f.pins[slot].type : kPinNone;
    d.pinType = PinTypeText(type);
    if (slot >= 0 && slot < kPinSlots) d.pinName = f.pins[slot].name;
    return d;
}

WSPropsFields WSPropsFields::From(const COxWireSeg& s) {
    WSPropsFields d;
    d.start = s.start;
    d.end = s.end;
    auto state = [](int32_t v) {
        return v >= kEndNotConnected && v <= kEndFaulty ? std::string(WireEndStateText(v))
                                                        : std::string();
    };
    d.startState = state(s.startState);
    d.finishState = state(s.endState);
    d.fromSource = s.fromSource;
    d.refnum = s.refnum;
    d.name = s.name;
    d.showName = s.showName;
    d.error = WireErrorText(s.error);
    return d;
}

void WSPropsFields::ApplyTo(COxWireSeg& s) const {
    s.start = start;
    s.end = end;
    s.name = name;
    s.showName = showName;
}

LinePropsFields LinePropsFields::From(const COxLine& l) {
    return {l.start, l.end, l.width};
}

void LinePropsFields::ApplyTo(COxLine& l) const {
    l.start = start;
    l.end = end;
    l.width = width;
}

}  // namespace ostra
