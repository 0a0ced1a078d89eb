// One step of building wire points: registers a segment at its start and end
// points, classifying them as it goes, and turns a segment drawn backwards
// round once. Shared by the plain builder and the incremental wire check.
//
// Store offers: COxWPoint* Find(CPoint), COxWPoint* Create(CPoint) (a new
// point goes to the front of the list), and int32_t Hit(CPoint, int32_t& kind)
// with the hit test's result (-1: nothing, or an object whose refnum is -1).
#pragma once

#include "model/COstra_PLCDoc.h"

namespace ostra {

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
                case kWpXrefSource: a->state = kWpTooManyStarts; break;
                case kWpOneEnd:
                case kWpXrefEnd: a->state = kWpBend; break;
                case kWpBend: a->state = kWpJunction; break;
                default: a->state = kWpOneStart; break;
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
                case kWpNone: b->state = kWpOneEnd; break;
                case kWpOneStart:
                case kWpXrefSource: b->state = kWpBend; break;
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
                default: break;
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

}  // namespace ostra
