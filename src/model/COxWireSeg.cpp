// Wire segment: comparison, trimming, drawing and its 3-line record.
#include "model/COxWireSeg.h"

#include <cstdlib>

#include "model/CArchive.h"
#include "model/Trim.h"
#include "model/WireTypes.h"
#include "platform/IDrawSurface.h"
#include "platform/Scan.h"
#include "platform/TextCodec.h"

namespace ostra {
namespace {
constexpr std::size_t kReadLimit = 64;
}

int TrimEnds(CPoint& start, CPoint& end, CPoint ref, CPoint newPt) {
    const bool onX = start.y == end.y;
    int32_t& a = onX ? start.x : start.y;
    int32_t& b = onX ? end.x : end.y;
    const int64_t p = onX ? newPt.x : newPt.y;
    const int64_t r = onX ? ref.x : ref.y;
    if (p == a || p == b) return 0;
    const int64_t lo = std::min(a, b);
    const int64_t hi = std::max(a, b);
    if (p > lo && p < hi) {
        if (std::llabs(p - a) < std::llabs(r - a))
            a = static_cast<int32_t>(p);
        else
            b = static_cast<int32_t>(p);
        return -1;
    }
    if (std::llabs(p - b) <= std::llabs(p - a))
        b = static_cast<int32_t>(p);
    else
        a = static_cast<int32_t>(p);
    return 1;
}

bool COxWireSeg::Differs(const COxWireSeg& o) const {
    return start != o.start || end != o.end || startState != o.startState ||
           endState != o.endState || error != o.error || fromSource != o.fromSource ||
           refnum != o.refnum || name != o.name;
}

bool COxWireSeg::SameContent(const COxWireSeg& o) const {
    return !Differs(o) && spare == o.spare && showName == o.showName && selected == o.selected &&
           mark == o.mark && direction == o.direction;
}

int COxWireSeg::Trim(CPoint ref, CPoint newPt) {
    return TrimEnds(start, end, ref, newPt);
}

bool COxWireSeg::Draw(IDrawSurface* dc, const DrawParams& p) {
    const CPoint a = PxPoint(start, p);
    const CPoint b = PxPoint(end, p);
    bounds = CRect(a.x, a.y, b.x, b.y).Normalized().Inflated(3);
    if (!dc) return true;
    // Selection is marked on screen only, never on paper or in an export.
    const Colour pen = selected && !p.printing ? kRed : kBlack;
    const bool ok = error != kWireOk ? dc->SetPen(PenStyle::Dot, InkWidth(1, p), pen)
                                     : dc->SetPen(PenStyle::Solid, InkWidth(2, p), pen);
    if (!ok) return false;
    dc->DrawLine(a, b);
    if (endState == kEndJunction) {
        const int32_t half = p.scale / 4;
        const int32_t side = p.scale / 2;
        dc->DrawImage(image::kJunctionDot, CRect(0, 0, 4, 4),
                      CRect(b.x - half, b.y - half, b.x - half + side, b.y - half + side));
    }
    if (startState == kEndCrossRef) {
        DrawLabel(*dc, start.x, start.y, name, 12, TextAlign::Left, p);
    } else if (endState == kEndCrossRef) {
        DrawLabel(*dc, end.x, end.y, name, 12, TextAlign::Right, p);
    } else if (showName) {
        DrawLabel(*dc, (int64_t{start.x} + end.x) / 2, (int64_t{start.y} + end.y) / 2, name, 12,
                  TextAlign::Center, p);
    }
    return true;
}

void COxWireSeg::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteLine(std::to_string(start.x) + ", " + std::to_string(start.y) + ", " +
                         std::to_string(end.x) + ", " + std::to_string(end.y),
                     64);
        ar.WriteLine(std::string(showName ? "T, " : "F, ") + Utf8ToCp1252(name).substr(0, 60),
                     std::string::npos);
        ar.WriteLine(std::to_string(refnum) + ", " + std::to_string(startState) + ", " +
                         std::to_string(endState) + ", " + std::to_string(fromSource) + ", " +
                         std::to_string(error),
                     60);
        return;
    }
    ScanF(ar.ReadLine(kReadLimit), "%d, %d, %d, %d", {&start.x, &start.y, &end.x, &end.y});
    const std::string line = ar.ReadLine(kReadLimit);
    showName = !line.empty() && line[0] != 'F' && line[0] != 'f';
    name = line.size() > 3 ? Cp1252ToUtf8(line.substr(3)) : std::string();
    ScanF(ar.ReadLine(kReadLimit), "%d, %d, %d, %d, %d",
          {&refnum, &startState, &endState, &fromSource, &error});
    selected = false;
    mark = false;
}

}  // namespace ostra
