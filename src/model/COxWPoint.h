// Wire points: built by the wire check at every segment end, never stored.
// Each registers up to four segments that start or end there.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/Geometry.h"

namespace ostra {

class COxWireSeg;

// Classification of a wire point.
enum WPointState : int32_t {
    kWpNone = 0,
    kWpOneStart = 1,
    kWpOneEnd = 2,
    kWpBend = 3,
    kWpJunction = 4,
    kWpXrefSource = 17,
    kWpXrefEnd = 18,
    kWpOutputPin = 33,
    kWpInputPin = 66,
    kWpTooManyStarts = 131,
    kWpTooManyEnds = 132,
    kWpOutputToOutput = 161,
};

struct WSlot {
    enum Kinds : int32_t { kEmpty = 0, kStarts = 1, kEnds = 2 };
    int32_t kind = kEmpty;
    COxWireSeg* seg = nullptr;
};

class COxWPoint {
  public:
    explicit COxWPoint(CPoint p) : point(p) {}

    // Puts the segment into the first empty slot; a fifth segment is not recorded.
    bool AddSlot(int32_t kind, COxWireSeg* seg);
    // Empties, in place, every slot that holds `seg`; later slots do not move up.
    void RemoveSegment(const COxWireSeg* seg);

    CPoint point;
    int32_t state = kWpNone;
    std::array<WSlot, 4> slots;
    std::string name;
    int32_t fromSource = 0;
};

// What a point hit test found.
enum HitKind : int32_t {
    kHitNothing = 0,
    kHitOutputPin = 1,
    kHitInputPin = 2,
    kHitBody = 4,
    kHitSegStart = 5,
    kHitSegInterior = 6,
    kHitSegEnd = 7,
};

struct HitResult {
    int32_t kind = kHitNothing;
    int32_t listPos = -1;  // of the block or segment found
    int32_t refnum = 0;
    int32_t pin = 0;  // pin slot, -1 when no pin
    CPoint point;
};

}  // namespace ostra
