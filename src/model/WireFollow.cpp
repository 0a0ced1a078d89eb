// Wires following moved blocks.
#include "model/WireFollow.h"

#include <algorithm>
#include <cstdlib>

namespace ostra {
namespace {

bool Horizontal(const COxWireSeg& s) { return s.start.y == s.end.y; }
bool Vertical(const COxWireSeg& s) { return s.start.x == s.end.x; }

// The one other unselected segment with an end at `p`, or none.
COxWireSeg* OnlyOtherAt(COstra_PLCDoc& doc, const COxWireSeg* self, CPoint p) {
    COxWireSeg* found = nullptr;
    for (auto& s : doc.segments) {
        if (s.get() == self) continue;
        const bool touches = s->start == p || s->end == p ||
                             (Horizontal(*s) && s->start.y == p.y &&
                              std::min(s->start.x, s->end.x) < p.x &&
                              p.x < std::max(s->start.x, s->end.x)) ||
                             (Vertical(*s) && s->start.x == p.x &&
                              std::min(s->start.y, s->end.y) < p.y &&
                              p.y < std::max(s->start.y, s->end.y));
        if (!touches) continue;
        if (found || s->selected) return nullptr;  // a junction, or moving itself
        found = s.get();
    }
    return found;
}

// The orthogonal pieces a wire click makes from `a` to `b`.
std::vector<std::pair<CPoint, CPoint>> Route(CPoint a, CPoint b) {
    if (a.x == b.x || a.y == b.y) return {{a, b}};
    if (std::abs(int64_t{b.x} - a.x) < 2) return {{a, CPoint(a.x, b.y)}, {CPoint(a.x, b.y), b}};
    const int32_t mx = static_cast<int32_t>((int64_t{a.x} + b.x) / 2);
    return {{a, CPoint(mx, a.y)}, {CPoint(mx, a.y), CPoint(mx, b.y)}, {CPoint(mx, b.y), b}};
}

}  // namespace

std::vector<CPoint> SelectedPinPoints(const COstra_PLCDoc& doc) {
    std::vector<CPoint> pins;
    for (const auto& f : doc.blocks) {
        if (!f->selected) continue;
        for (int k = 0; k <= f->LastPinSlot(); ++k)
            if (f->pins[k].type != 0) pins.push_back(f->PinPoint(k));
    }
    return pins;
}

bool FollowPins(COstra_PLCDoc& doc, const std::vector<CPoint>& pins, int32_t dx, int32_t dy) {
    if (pins.empty() || (dx == 0 && dy == 0)) return false;
    const CPoint d(dx, dy);
    const auto onPin = [&pins](CPoint p) { return std::find(pins.begin(), pins.end(), p) != pins.end(); };
    // Decided on the wires as they were, then carried out.
    struct Move {
        COxWireSeg* seg;
        bool start, end;
    };
    std::vector<Move> moves;
    for (auto& s : doc.segments) {
        if (s->selected) continue;
        const bool a = onPin(s->start), b = onPin(s->end);
        if (a || b) moves.push_back({s.get(), a, b});
    }
    if (moves.empty()) return false;
    std::vector<std::unique_ptr<COxWireSeg>> added;
    std::vector<const COxWireSeg*> touched;
    for (const Move& m : moves) {
        touched.push_back(m.seg);
        COxWireSeg& s = *m.seg;
        if (m.start && m.end) {
            s.start = s.start + d, s.end = s.end + d;
            continue;
        }
        CPoint& moving = m.start ? s.start : s.end;
        CPoint& fixed = m.start ? s.end : s.start;
        const CPoint target = moving + d;
        if ((Horizontal(s) && dy == 0 && !Vertical(s)) || (Vertical(s) && dx == 0 && !Horizontal(s))) {
            moving = target;
            continue;
        }
        // A bend at the other end joining one wire at a right angle slides along.
        if (!onPin(fixed)) {
            COxWireSeg* other = OnlyOtherAt(doc, &s, fixed);
            const bool canSlide =
                other && other->start != other->end &&
                ((Horizontal(s) && !Vertical(s) && Vertical(*other) && (other->start == fixed || other->end == fixed)) ||
                 (Vertical(s) && !Horizontal(s) && Horizontal(*other) && (other->start == fixed || other->end == fixed)));
            if (canSlide) {
                const CPoint slid = Horizontal(s) ? CPoint(fixed.x, fixed.y + dy) : CPoint(fixed.x + dx, fixed.y);
                (other->start == fixed ? other->start : other->end) = slid;
                touched.push_back(other);
                fixed = slid;
                moving = target;
                continue;
            }
        }
        // Routed afresh from its start to its end, as drawn.
        const CPoint from = m.start ? target : s.start;
        const CPoint to = m.start ? s.end : target;
        auto pieces = Route(from, to);
        s.start = pieces.front().first;
        s.end = pieces.front().second;
        for (std::size_t i = 1; i < pieces.size(); ++i)
            added.push_back(std::make_unique<COxWireSeg>(pieces[i].first, pieces[i].second));
    }
    for (auto& a : added) doc.segments.insert(doc.segments.begin(), std::move(a));
    // Pieces of these wires that shrank to nothing go.
    doc.segments.erase(std::remove_if(doc.segments.begin(), doc.segments.end(),
                                      [&touched](const std::unique_ptr<COxWireSeg>& s) {
                                          return s->start == s->end &&
                                                 std::find(touched.begin(), touched.end(),
                                                           s.get()) != touched.end();
                                      }),
                       doc.segments.end());
    return true;
}

}  // namespace ostra
