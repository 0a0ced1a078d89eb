// The Trim rule shared by wire segments and decorative lines.
#pragma once

#include "platform/Geometry.h"

namespace ostra {

// Moves one end of the straight piece start-end along its axis to `newPt`
// (x when both ends share y, else y). Returns 0 when nothing moved, -1 when an
// end moved inwards, 1 when the piece grew.
int TrimEnds(CPoint& start, CPoint& end, CPoint ref, CPoint newPt);

}  // namespace ostra
