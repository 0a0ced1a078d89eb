// One step of building wire points: registers a segment at its start and end
// points, classifying them as it goes, and turns a segment drawn backwards
// round once. Shared by the plain builder and the incremental wire check.
//
// Store offers: COxWPoint* Find(CPoint), COxWPoint* Create(CPoint) (a new
// point goes to the front of the list), and int32_t Hit(CPoint, int32_t& kind)
// with the hit test's result (-1: nothing, or an object whose refnum is -1).
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "model/COstra_PLCDoc.h"
#include "model/WireTypes.h"

namespace ostra {

// A grid point as one hashable number.
inline uint64_t PointKey(CPoint p) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(p.x)) << 32) | static_cast<uint32_t>(p.y);
}

// The direction the normalising step gives a segment of non-zero length.
inline int32_t DirectionOf(CPoint from, CPoint to) {
    if (from.y == to.y) return from.x < to.x ? kDirEast : kDirWest;
    if (from.x == to.x) return to.y > from.y ? kDirSouth : kDirNorth;
    return kDirNone;
}

template <typename Store>
void BuildSegmentPoints(COxWireSeg* s, Store& store) {
    int retries = 0;
    bool again = true;
    while (again) {
        again = false;
        // The start point.
        COxWPoint* a = store.Find(s->start);
        if (a) {
            a->AddSlot(WSlot::kStarts, s);
            switch (a->state) {
                case kWpOneStart:
                case kWpXrefSource:
                    a->state = kWpTooManyStarts;
                    break;
                case kWpOneEnd:
                case kWpXrefEnd:
                    a->state = kWpBend;
                    break;
                case kWpBend:
                    a->state = kWpJunction;
                    break;
                default:
                    a->state = kWpOneStart;
                    break;
            }
        } else {
            a = store.Create(s->start);
            int32_t kind = 0;
            const int32_t ref = store.Hit(s->start, kind);
            if (ref != -1 && kind == kHitOutputPin) {
                a->state = kWpOutputPin;
            } else if (ref != -1 && kind == kHitInputPin) {
                // Drawn from an input: turn it round and try once more.
                a->state = kWpInputPin;
                COstra_PLCDoc::ReverseSegment(*s);
                again = ++retries == 1;
                continue;
            } else if (ref != -1) {
                a->state = kWpOneStart;
            }
            a->AddSlot(WSlot::kStarts, s);
        }

        // The end point.
        COxWPoint* b = store.Find(s->end);
        if (b) {
            b->AddSlot(WSlot::kEnds, s);
            switch (b->state) {
                case kWpNone:
                    b->state = kWpOneEnd;
                    break;
                case kWpOneStart:
                case kWpXrefSource:
                    b->state = kWpBend;
                    break;
                case kWpOneEnd:
                case kWpBend:
                case kWpXrefEnd:
                    if (a->state == kWpNone || a->state == kWpOneStart ||
                        a->state == kWpXrefSource || a->state == kWpTooManyStarts) {
                        // Meets another end from a free start: reverse it.
                        a->RemoveSegment(s);
                        b->RemoveSegment(s);
                        b->state = b->state == kWpBend ? kWpOneStart : kWpNone;
                        COstra_PLCDoc::ReverseSegment(*s);
                        again = ++retries == 1;
                    } else {
                        b->state = kWpTooManyEnds;
                    }
                    break;
                default:
                    break;
            }
        } else {
            b = store.Create(s->end);
            int32_t kind = 0;
            const int32_t ref = store.Hit(s->end, kind);
            if (ref != -1 && kind == kHitOutputPin) {
                if (a->state != kWpOutputPin) {
                    // Ends on an output: reverse it, leaving this point empty.
                    a->RemoveSegment(s);
                    a->state = a->state == kWpBend ? kWpOneStart : kWpNone;
                    COstra_PLCDoc::ReverseSegment(*s);
                    again = ++retries == 1;
                    continue;
                }
                b->state = kWpOutputToOutput;
            } else if (ref != -1 && kind == kHitInputPin) {
                b->state = kWpInputPin;
            } else {
                b->state = kWpOneEnd;
            }
            b->AddSlot(WSlot::kEnds, s);
        }
    }
}

// Cuts `s` at the point p strictly inside it: s now ends at p (a junction)
// and the returned piece runs from p to the old end with s's other fields.
inline std::unique_ptr<COxWireSeg> CutAt(COxWireSeg& s, CPoint p) {
    auto n = std::make_unique<COxWireSeg>(p, s.end);
    n->startState = s.startState;
    n->endState = s.endState;
    n->direction = s.direction;
    n->error = s.error;
    n->fromSource = s.fromSource;
    n->spare = s.spare;
    n->refnum = s.refnum;
    n->name = s.name;
    s.endState = kEndJunction;
    s.end = p;
    return n;
}

// After cutting s at p into s and n: of a segment t of p lying along the same
// axis, which one of the overlapping pieces goes. T running on over n: the
// shorter of n and t; t running back over s: t unless it is longer than s.
inline COxWireSeg* OverlapVictim(COxWireSeg& s, COxWireSeg& n, COxWireSeg& t, CPoint p) {
    const CPoint other = t.start == p ? t.end : t.start;
    const int64_t dx = int64_t{other.x} - p.x;
    const int64_t dy = int64_t{other.y} - p.y;
    const int32_t tdir = dx > 0   ? kDirEast
                         : dx < 0 ? kDirWest
                         : dy > 0 ? kDirSouth
                         : dy < 0 ? kDirNorth
                                  : kDirNone;
    const int64_t tlen = std::llabs(dx) + std::llabs(dy);
    auto length = [](const COxWireSeg& g) {
        return std::llabs(int64_t{g.end.x} - g.start.x) + std::llabs(int64_t{g.end.y} - g.start.y);
    };
    if (tdir == s.direction) return length(n) < tlen ? &n : &t;
    return tlen <= length(s) ? &t : &s;
}

}  // namespace ostra
