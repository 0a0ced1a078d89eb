// Codes and display texts of pin types, wire end states and wire errors.
#pragma once

#include <cstdint>

namespace ostra {

enum PinTypeCode : int32_t {
    kPinNone = 0,
    kPinDigital = 1,
    kPinInverted = 2,
    kPinAnalogue = 3,
    kPinConst = 4,  // set by the compiler for a pin fed by a constant
    kPinValue = 5,
};
// A pin that carries a signal: digital (plain or inverted) or analogue.
inline bool IsSignalPin(int32_t type) { return type >= kPinDigital && type <= kPinAnalogue; }
// "No Pin", "Digital NonInv", "Digital Invert", "Analogue", else "Unknown".
const char* PinTypeText(int32_t code);

enum WireEndState : int32_t {
    kEndNotConnected = 0,
    kEndFromOutput = 1,
    kEndToInput = 2,
    kEndBend = 3,
    kEndJunction = 4,
    kEndCrossRef = 5,
    kEndFaulty = 6,
};
const char* WireEndStateText(int32_t state);

enum WireError : int32_t {
    kWireOk = 0,
    kWireNoSource = 1,
    kWireNoFinish = 2,
    kWireNoSourceOrFinish = 3,
    kWireMultipleSources = 4,
    kWireMultipleFinishes = 5,
    kWireWrongDirection = 6,
    kWireEndInBody = 7,
    kWireNamingError = 8,
};
const char* WireErrorText(int32_t error);

enum SegDirection : int32_t {
    kDirNone = 0,
    kDirEast = 1,
    kDirNorth = 2,
    kDirWest = 4,
    kDirSouth = 8
};

}  // namespace ostra
