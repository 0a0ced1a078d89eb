// Wires that follow moved blocks: the ends of wires sitting on a moved
// block's pins go with the pins, and every wire stays horizontal or vertical.
#pragma once

#include <cstdint>
#include <vector>

#include "model/COstra_PLCDoc.h"

namespace ostra {

// The pin points of the selected blocks, taken before they move.
std::vector<CPoint> SelectedPinPoints(const COstra_PLCDoc& doc);

// After the selection moved by (dx, dy): each unselected wire segment with an
// end on one of `pins` has that end moved too. A segment that would turn
// diagonal slides the bend at its other end along when that bend joins one
// wire at a right angle, and is otherwise routed as a wire click routes it;
// a segment that shrinks to nothing is removed. True when a wire changed.
bool FollowPins(COstra_PLCDoc& doc, const std::vector<CPoint>& pins, int32_t dx, int32_t dy);

}  // namespace ostra
