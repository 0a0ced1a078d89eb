// The fields that the object property dialogs exchange with their controls,
// how they are filled from a sheet object, checked and written back. The
// window system only shows them; every rule lives here so that it is tested
// without one.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/Geometry.h"

namespace ostra {

class COxFunc;
class COxWireSeg;
class COxText;
class COxLine;

// A whole number as an edit control holds it: optional blanks, an optional
// sign, digits, optional blanks; within 32 bits.
std::optional<int32_t> ParseWholeNumber(const std::string& text);
// The same for controls that accept digits only (no sign).
std::optional<int32_t> ParseDigits(const std::string& text);
// The framework's refusals, shown while the dialog stays open.
std::string WholeNumberMessage();
std::string RangeMessage(int32_t low, int32_t high);

// "Function Block Properties" and "Terminal Properties".
struct FBPropsFields {
    static constexpr int kValueRows = 5;
    bool terminal = false;  // some input slot is a value pin
    std::string functionType;
    int32_t typeNumber = 0;
    int32_t refnum = 0;
    std::string ident;
    int32_t x = 0, y = 0;
    bool canChange = false;  // shown and toggled, never written back
    int32_t minimum = 0;
    int32_t actual = 0;
    std::array<std::string, kValueRows> valueNames;
    std::array<int32_t, kValueRows> values{};
    std::array<int, kValueRows> valueSlots{};  // slot of each row, 0 for none

    static FBPropsFields From(const COxFunc& f);
    // Steps 1 to 4 of OK: inputs, ident, position, value pins, symbol status.
    void ApplyTo(COxFunc& f) const;
};

// "Func Block Pin Properties": read-only.
struct PinPropsFields {
    std::string functionType;
    std::string ident;
    int32_t refnum = 0;
    int32_t pinNumber = 0;
    std::string inOut;
    std::string pinType;
    std::string pinName;

    static PinPropsFields From(const COxFunc& f, int slot);
};

// "Wire Segment Properties".
struct WSPropsFields {
    static constexpr int kMaxName = 31;
    CPoint start, end;
    std::string startState, finishState;
    int32_t fromSource = 0;
    int32_t refnum = 0;
    std::string name;
    bool showName = false;
    std::string error;

    static WSPropsFields From(const COxWireSeg& s);
    void ApplyTo(COxWireSeg& s) const;
};

// "Text Properties"; also the view's text for the next placed note.
struct TextPropsFields {
    static constexpr int kMaxText = 127;
    static constexpr int kMinSize = 4;
    static constexpr int kMaxSize = 24;
    std::string text;
    int32_t size = 12;
};

// "Decorative Line Properties".
struct LinePropsFields {
    CPoint start, end;
    int32_t width = 0;

    static LinePropsFields From(const COxLine& l);
    void ApplyTo(COxLine& l) const;
};

}  // namespace ostra
