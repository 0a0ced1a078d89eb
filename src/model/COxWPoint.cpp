// Wire point slots.
#include "model/COxWPoint.h"

namespace ostra {

bool COxWPoint::AddSlot(int32_t kind, COxWireSeg* seg) {
    for (WSlot& s : slots) {
        if (s.kind == WSlot::kEmpty) {
            s.kind = kind;
            s.seg = seg;
            return true;
        }
    }
    return false;
}

void COxWPoint::RemoveSegment(const COxWireSeg* seg) {
    for (WSlot& s : slots) {
        if (s.seg == seg) s = WSlot{};
    }
}

}  // namespace ostra
