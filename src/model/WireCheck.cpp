// Wire connectivity and the wire check of a sheet.
//
// The check follows a fixed order of work, and its results depend on it: the
// segment list is walked from its end when points are built, new points go to
// the front of the point list, the visit restarts from the front after every
// merge or split, and a later slot's setting of a segment field wins over an
// earlier one. Point lookup by position goes through a hash index (a position
// holds at most one point), which finds the same point as a scan from the front.
#include <cstdlib>

#include "model/BuildStep.h"
#include "model/COstra_PLCDoc.h"
#include "model/WireCheckEngine.h"
#include "model/WireTypes.h"
#include "platform/IMessageBox.h"
#include "platform/TextCodec.h"

namespace ostra {
namespace {

constexpr std::size_t kSignalKeep = 30;


bool StrictlyBetween(int32_t v, int32_t a, int32_t b) {
    return a < b ? (a < v && v < b) : (b < v && v < a);
}

bool SegmentHitsHorizontally(const COxWireSeg& s, CPoint p, int32_t& kind) {
    if (p.x == s.start.x)
        kind = kHitSegStart;
    else if (p.x == s.end.x)
        kind = kHitSegEnd;
    else if (StrictlyBetween(p.x, s.start.x, s.end.x))
        kind = kHitSegInterior;
    else
        return false;
    return true;
}

bool SegmentHitsVertically(const COxWireSeg& s, CPoint p, int32_t& kind) {
    if (p.y == s.start.y)
        kind = kHitSegStart;
    else if (p.y == s.end.y)
        kind = kHitSegEnd;
    else if (StrictlyBetween(p.y, s.start.y, s.end.y))
        kind = kHitSegInterior;
    else
        return false;
    return true;
}

// Block bodies are bucketed by cells of this many grid units.
constexpr int32_t kCell = 8;
int64_t CellKey(int64_t cx, int64_t cy) {
    // Shifted as unsigned: cells left of or above the origin are negative.
    return static_cast<int64_t>((static_cast<uint64_t>(cx) << 32) ^
                                (static_cast<uint64_t>(cy) & 0xFFFFFFFFu));
}
int64_t FloorDiv(int64_t a, int64_t b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

}  // namespace

// Where blocks and segments lie, so that a hit test looks at the few that can
// be hit instead of all of them; it returns what the plain scan would.
struct COstra_PLCDoc::HitIndex {
    std::unordered_map<uint64_t, std::vector<int32_t>> pins;   // pin point -> blocks
    std::unordered_map<int64_t, std::vector<int32_t>> bodies;  // cell -> blocks
    std::vector<int32_t> bigBodies;                            // too large to bucket
    bool segmentsValid = false;
    std::unordered_map<int32_t, std::vector<int32_t>> rows;     // y -> horizontal segments
    std::unordered_map<int32_t, std::vector<int32_t>> columns;  // x -> vertical segments
};

void COstra_PLCDoc::BuildHitIndex() {
    auto idx = std::make_shared<HitIndex>();
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const COxFunc& f = *blocks[i];
        const auto bi = static_cast<int32_t>(i);
        for (int k = 0; k <= f.LastPinSlot(); ++k)
            if (f.pins[k].type != 0) idx->pins[PointKey(f.PinPoint(k))].push_back(bi);
        const int64_t left = int64_t{f.position.x} + 1;
        const int64_t top = int64_t{f.position.y} - 1;
        const int64_t w = f.BodyWidth();
        const int64_t h = f.BodyHeight();
        if (w <= 0 || h <= 0) continue;
        const int64_t cx0 = FloorDiv(left, kCell), cx1 = FloorDiv(left + w - 1, kCell);
        const int64_t cy0 = FloorDiv(top, kCell), cy1 = FloorDiv(top + h - 1, kCell);
        if ((cx1 - cx0 + 1) * (cy1 - cy0 + 1) > 64) {
            idx->bigBodies.push_back(bi);
            continue;
        }
        for (int64_t cx = cx0; cx <= cx1; ++cx)
            for (int64_t cy = cy0; cy <= cy1; ++cy) idx->bodies[CellKey(cx, cy)].push_back(bi);
    }
    for (std::size_t j = 0; j < segments.size(); ++j) {
        const COxWireSeg& s = *segments[j];
        if (s.start.y == s.end.y)
            idx->rows[s.start.y].push_back(static_cast<int32_t>(j));
        else if (s.start.x == s.end.x)
            idx->columns[s.start.x].push_back(static_cast<int32_t>(j));
    }
    idx->segmentsValid = true;
    hitIndex_ = std::move(idx);
}

void COstra_PLCDoc::DropHitIndex() {
    hitIndex_.reset();
}

int32_t COstra_PLCDoc::HitTestBlocks(CPoint p) {
    const HitIndex& idx = *hitIndex_;
    hit = HitResult{};
    hit.point = p;
    // The first block in list order whose body or pin lies at p.
    int32_t best = -1;
    auto consider = [&](int32_t bi) {
        if (best != -1 && bi >= best) return;
        const COxFunc& f = *blocks[bi];
        bool at = f.BodyContains(p);
        for (int k = 0; !at && k <= f.LastPinSlot(); ++k)
            at = f.pins[k].type != 0 && f.PinPoint(k) == p;
        if (at) best = bi;
    };
    if (const auto it = idx.pins.find(PointKey(p)); it != idx.pins.end())
        for (int32_t bi : it->second) consider(bi);
    if (const auto it = idx.bodies.find(CellKey(FloorDiv(p.x, kCell), FloorDiv(p.y, kCell)));
        it != idx.bodies.end())
        for (int32_t bi : it->second) consider(bi);
    for (int32_t bi : idx.bigBodies) consider(bi);
    if (best == -1) return -1;
    const COxFunc& f = *blocks[best];
    lastBlockPos = best;
    if (f.BodyContains(p)) {
        hit = {kHitBody, best, f.refnum, -1, f.position};
        return f.refnum;
    }
    for (int k = 0; k <= f.LastPinSlot(); ++k) {
        if (f.pins[k].type != 0 && f.PinPoint(k) == p) {
            hit = {k == 0 ? kHitOutputPin : kHitInputPin, best, f.refnum, k, p};
            return f.refnum;
        }
    }
    return -1;  // not reached: the block was found at p
}

int32_t COstra_PLCDoc::HitTestIndexed(CPoint p) {
    const HitIndex& idx = *hitIndex_;
    const int32_t blockRef = HitTestBlocks(p);
    if (hit.kind != kHitNothing) return blockRef;
    // The first segment in list order that lies at p.
    int32_t bestSeg = -1;
    int32_t bestKind = kHitNothing;
    if (const auto it = idx.rows.find(p.y); it != idx.rows.end()) {
        for (int32_t j : it->second) {
            int32_t kind = kHitNothing;
            if (SegmentHitsHorizontally(*segments[j], p, kind)) {
                bestSeg = j, bestKind = kind;
                break;
            }
        }
    }
    if (const auto it = idx.columns.find(p.x); it != idx.columns.end()) {
        for (int32_t j : it->second) {
            if (bestSeg != -1 && j >= bestSeg) break;
            int32_t kind = kHitNothing;
            if (SegmentHitsVertically(*segments[j], p, kind)) {
                bestSeg = j, bestKind = kind;
                break;
            }
        }
    }
    if (bestSeg == -1) return -1;
    lastSegPos = bestSeg;
    hit = {bestKind, bestSeg, segments[bestSeg]->refnum, -1, p};
    return segments[bestSeg]->refnum;
}

bool COstra_PLCDoc::AnySegmentPassesThrough(CPoint p) const {
    if (!hitIndex_ || !hitIndex_->segmentsValid) return true;  // cannot tell: look
    if (const auto it = hitIndex_->rows.find(p.y); it != hitIndex_->rows.end())
        for (int32_t j : it->second)
            if (StrictlyBetween(p.x, segments[j]->start.x, segments[j]->end.x)) return true;
    if (const auto it = hitIndex_->columns.find(p.x); it != hitIndex_->columns.end())
        for (int32_t j : it->second)
            if (StrictlyBetween(p.y, segments[j]->start.y, segments[j]->end.y)) return true;
    return false;
}

COxWPoint* COstra_PLCDoc::FindPoint(CPoint p) const {
    const auto it = pointIndex_.find(PointKey(p));
    return it == pointIndex_.end() ? nullptr : it->second;
}

COxWPoint* COstra_PLCDoc::CreatePoint(CPoint p) {
    wirePoints.push_front(std::make_unique<COxWPoint>(p));
    COxWPoint* pt = wirePoints.front().get();
    pointIndex_[PointKey(p)] = pt;
    return pt;
}

int COstra_PLCDoc::DeleteAllPoints() {
    const int n = static_cast<int>(wirePoints.size());
    wirePoints.clear();
    pointIndex_.clear();
    return n;
}

bool COstra_PLCDoc::DeleteSegment(const COxWireSeg* seg) {
    if (hitIndex_) hitIndex_->segmentsValid = false;
    for (auto& pt : wirePoints) pt->RemoveSegment(seg);
    for (auto it = segments.begin(); it != segments.end(); ++it) {
        if (it->get() == seg) {
            segments.erase(it);
            modified = true;
            return true;
        }
    }
    return false;
}

int32_t COstra_PLCDoc::HitTest(CPoint p) {
    if (hitIndex_ && hitIndex_->segmentsValid) return HitTestIndexed(p);
    hit = HitResult{};
    hit.point = p;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const COxFunc& f = *blocks[i];
        lastBlockPos = static_cast<int32_t>(i);
        if (f.BodyContains(p)) {
            hit = {kHitBody, static_cast<int32_t>(i), f.refnum, -1, f.position};
            return f.refnum;
        }
        for (int k = 0; k <= f.LastPinSlot(); ++k) {
            if (f.pins[k].type != 0 && f.PinPoint(k) == p) {
                hit = {k == 0 ? kHitOutputPin : kHitInputPin, static_cast<int32_t>(i), f.refnum, k,
                       p};
                return f.refnum;
            }
        }
    }
    for (std::size_t j = 0; j < segments.size(); ++j) {
        const COxWireSeg& s = *segments[j];
        lastSegPos = static_cast<int32_t>(j);
        int32_t kind = kHitNothing;
        if (s.start.y == s.end.y) {
            if (p.y == s.start.y) SegmentHitsHorizontally(s, p, kind);
        } else if (s.start.x == s.end.x && p.x == s.start.x) {
            SegmentHitsVertically(s, p, kind);
        }
        if (kind != kHitNothing) {
            hit = {kind, static_cast<int32_t>(j), s.refnum, -1, p};
            return s.refnum;
        }
    }
    return -1;
}

bool COstra_PLCDoc::NormaliseSegments() {
    for (std::size_t i = segments.size(); i-- > 0;) {
        COxWireSeg& s = *segments[i];
        s.error = kWireOk;
        s.direction = kDirNone;
        if (s.start == s.end) {
            DeleteSegment(&s);
            return true;
        }
        s.direction = DirectionOf(s.start, s.end);
    }
    return false;
}

void COstra_PLCDoc::ReverseSegment(COxWireSeg& s) {
    std::swap(s.start, s.end);
    std::swap(s.startState, s.endState);
    switch (s.direction) {
        case kDirEast:
            s.direction = kDirWest;
            break;
        case kDirWest:
            s.direction = kDirEast;
            break;
        case kDirNorth:
            s.direction = kDirSouth;
            break;
        case kDirSouth:
            s.direction = kDirNorth;
            break;
        default:
            break;
    }
}

int COstra_PLCDoc::BuildWirePoints() {
    struct Store {
        COstra_PLCDoc& doc;
        int created = 0;
        COxWPoint* Find(CPoint p) { return doc.FindPoint(p); }
        COxWPoint* Create(CPoint p) {
            ++created;
            return doc.CreatePoint(p);
        }
        int32_t Hit(CPoint p, int32_t& kind) {
            const int32_t ref = doc.HitTest(p);
            kind = doc.hit.kind;
            return ref;
        }
    } store{*this};
    for (std::size_t i = segments.size(); i-- > 0;) BuildSegmentPoints(segments[i].get(), store);
    return store.created;
}

int COstra_PLCDoc::SplitAtJunction(COxWPoint& pt) {
    const CPoint p = pt.point;
    if (!AnySegmentPassesThrough(p)) return 0;
    int splits = 0;
    std::size_t i = 0;
    while (i < segments.size()) {
        COxWireSeg* s = segments[i].get();
        const bool horizontal = s->start.y == s->end.y && p.y == s->start.y &&
                                StrictlyBetween(p.x, s->start.x, s->end.x);
        const bool vertical = !horizontal && s->start.x == s->end.x && p.x == s->start.x &&
                              StrictlyBetween(p.y, s->start.y, s->end.y);
        if (!horizontal && !vertical) {
            ++i;
            continue;
        }
        // A segment of this point that lies along the same axis overlaps S.
        COxWireSeg* t = nullptr;
        for (int k = 0; k < 3 && !t; ++k) {
            COxWireSeg* c = pt.slots[k].seg;
            if (c && (horizontal ? c->start.y == c->end.y : c->start.x == c->end.x)) t = c;
        }
        auto n = CutAt(*s, p);
        COxWireSeg* nptr = n.get();
        segments.insert(segments.begin(), std::move(n));
        if (hitIndex_) hitIndex_->segmentsValid = false;
        modified = true;
        ++splits;
        if (!t) {
            i += 2;  // S moved one place back; go on after it
            continue;
        }
        DeleteSegment(OverlapVictim(*s, *nptr, *t, p));
        i = 0;
    }
    return splits;
}

void COstra_PLCDoc::RebuildPoints() {
    DeleteAllPoints();
    NormaliseSegments();
    if (hitIndex_) BuildHitIndex();
    BuildWirePoints();
}

void COstra_PLCDoc::MergeAt(COxWPoint& pt) {
    COxWireSeg* up = pt.slots[0].kind == WSlot::kEnds ? pt.slots[0].seg : pt.slots[1].seg;
    COxWireSeg* down = pt.slots[0].kind == WSlot::kStarts ? pt.slots[0].seg : pt.slots[1].seg;
    up->end = down->end;
    DeleteSegment(down);
}

int COstra_PLCDoc::ClassifyOutputPin(COxWPoint& pt) {
    int result = 0;
    COxWireSeg* first = pt.slots[0].seg;
    if (pt.state == kWpOneStart || pt.state == kWpOutputPin) {
        pt.state = kWpOutputPin;
        pt.fromSource = 1;
        if (first) {
            first->fromSource = 1;
            first->startState = kEndFromOutput;
            if (first->name.empty()) first->name = blocks[hit.listPos]->ident;
            pt.name = first->name;
        }
    } else {
        pt.state = kWpTooManyStarts;
        for (const WSlot& sl : pt.slots) {
            if (!sl.seg) continue;
            sl.seg->error = kWireMultipleSources;
            if (sl.kind == WSlot::kStarts) {
                sl.seg->startState = kEndFaulty;
                sl.seg->fromSource = 0;
            } else {
                sl.seg->endState = kEndFaulty;
            }
            ++result;
        }
    }
    if (first && first->direction != kDirEast) {
        first->error = kWireWrongDirection;
        ++result;
    }
    return result;
}

int COstra_PLCDoc::ClassifyInputPin(COxWPoint& pt) {
    int result = 0;
    COxWireSeg* first = pt.slots[0].seg;
    if (pt.state == kWpOneEnd || pt.state == kWpInputPin) {
        pt.state = kWpInputPin;
        if (first) first->endState = kEndToInput;
    } else {
        result = 1;
        for (const WSlot& sl : pt.slots) {
            if (!sl.seg) continue;
            pt.state = kWpTooManyEnds;
            sl.seg->error = kWireMultipleFinishes;
            if (sl.kind == WSlot::kStarts) {
                sl.seg->startState = kEndFaulty;
                sl.seg->fromSource = 0;
            } else {
                sl.seg->endState = kEndFaulty;
            }
        }
    }
    if (first && first->direction != kDirEast) {
        first->error = kWireWrongDirection;
        ++result;
    }
    return result;
}

int COstra_PLCDoc::ClassifyFreePoint(COxWPoint& pt) {
    int n = 0;
    int starts = 0;
    int ends = 0;
    while (n < 4 && pt.slots[n].seg) {
        (pt.slots[n].kind == WSlot::kStarts ? starts : ends)++;
        ++n;
    }
    auto each = [&](auto fn) {
        for (int k = 0; k < n; ++k) fn(*pt.slots[k].seg, pt.slots[k].kind == WSlot::kStarts);
    };
    switch (n) {
        case 1: {
            COxWireSeg& s = *pt.slots[0].seg;
            if (starts == 1) {
                // A wire that starts at nothing: a cross reference, named or in error.
                pt.state = kWpXrefSource;
                s.startState = kEndCrossRef;
                s.fromSource = 100;
                pt.fromSource = 100;
                pt.name = s.name;
                if (s.name.empty()) {
                    s.error = kWireNamingError;
                    s.refnum = 0;
                    return 1;
                }
                return 0;
            }
            pt.state = kWpXrefEnd;
            s.endState = kEndCrossRef;
            return 0;
        }
        case 2:
            if (starts == 1) {
                pt.state = kWpBend;
                each([](COxWireSeg& s, bool st) { (st ? s.startState : s.endState) = kEndBend; });
                return 0;
            }
            pt.state = starts == 2 ? kWpTooManyStarts : kWpTooManyEnds;
            each([](COxWireSeg& s, bool st) {
                (st ? s.startState : s.endState) = kEndFaulty;
                s.error = kWireMultipleFinishes;
            });
            return 1;
        case 3:
            if (ends == 1) {
                pt.state = kWpJunction;
                each([](COxWireSeg& s, bool st) {
                    (st ? s.startState : s.endState) = kEndJunction;
                });
                return 0;
            }
            if (starts == 3) {
                pt.state = kWpTooManyStarts;
                each([](COxWireSeg& s, bool) {
                    s.startState = kEndFaulty;
                    s.error = kWireMultipleSources;
                });
                return 1;
            }
            pt.state = kWpTooManyEnds;
            each([](COxWireSeg& s, bool st) {
                if (st) {
                    s.startState = kEndJunction;
                    s.error = kWireOk;
                } else {
                    s.endState = kEndFaulty;
                    s.error = kWireMultipleFinishes;
                }
            });
            return 1;
        case 4:
            each([&](COxWireSeg& s, bool st) {
                if (!st) return;
                s.startState = kEndFaulty;
                s.error = ends > 0 ? kWireMultipleFinishes : kWireMultipleSources;
            });
            return 1;
        default:
            return 0;
    }
}

int COstra_PLCDoc::CheckWirePoints() {
    int count = 0;
    // Every merge removes a segment and every split removes a segment end from
    // another segment's inside, so restarts come to an end; the bound only
    // guards against a damaged sheet that would make them cycle.
    std::size_t restartsLeft = 16 * (segments.size() + wirePoints.size()) + 1000;
    auto it = wirePoints.begin();
    while (it != wirePoints.end()) {
        const auto next = std::next(it);
        COxWPoint& pt = **it;
        const WSlot& s0 = pt.slots[0];
        const WSlot& s1 = pt.slots[1];
        const bool mayRestart = restartsLeft > 0;
        if (mayRestart && pt.state == kWpBend && s0.seg && s1.seg && s0.kind != s1.kind &&
            s0.seg->direction == s1.seg->direction) {
            --restartsLeft;
            // One segment continues the other: make them one.
            MergeAt(pt);
            RebuildPoints();
            count = 0;
            it = wirePoints.begin();
            continue;
        }
        if (mayRestart && SplitAtJunction(pt) > 0) {
            --restartsLeft;
            RebuildPoints();
            count = 0;
            it = wirePoints.begin();
            continue;
        }
        const int32_t ref = HitTest(pt.point);
        if (ref == -1 || hit.kind == kHitSegStart || hit.kind == kHitSegInterior ||
            hit.kind == kHitSegEnd || hit.kind == kHitNothing) {
            count += ClassifyFreePoint(pt);
        } else if (hit.kind == kHitBody) {
            for (const WSlot& sl : pt.slots) {
                if (!sl.seg) continue;
                sl.seg->error = kWireEndInBody;
                ++count;
            }
            count += ClassifyFreePoint(pt);
        } else if (hit.kind == kHitOutputPin) {
            count += ClassifyOutputPin(pt);
        } else if (hit.kind == kHitInputPin) {
            count += ClassifyInputPin(pt);
        }
        it = next;
    }
    return count;
}

int COstra_PLCDoc::PropagateSignalNames() {
    for (auto& ptr : wirePoints) {
        COxWPoint& pt = *ptr;
        if (pt.fromSource != 1 && pt.fromSource != 100) {
            pt.fromSource = 0;
            pt.name.clear();
        } else if (pt.fromSource == 1 && HitTest(pt.point) != -1 && hit.kind == kHitOutputPin) {
            blocks[hit.listPos]->pins[0].signal = Utf8Left(pt.name, kSignalKeep);
        }
    }
    for (auto& s : segments) {
        s->fromSource = 0;
        s->name.clear();
    }
    if (segments.empty()) {
        modified = true;
        return 0;
    }
    std::size_t previous = segments.size();
    std::size_t unresolved = 0;
    while (true) {
        unresolved = 0;
        for (auto& sp : segments) {
            COxWireSeg& s = *sp;
            if (s.fromSource != 0) continue;
            const COxWPoint* a = FindPoint(s.start);
            if (!a || a->fromSource == 0) {
                ++unresolved;
                continue;
            }
            s.name = a->name;
            s.fromSource = a->fromSource;
            if (COxWPoint* b = FindPoint(s.end)) {
                b->name = s.name;
                b->fromSource = s.fromSource + 1;
                if (HitTest(b->point) != -1 && hit.kind == kHitInputPin)
                    blocks[hit.listPos]->pins[hit.pin].signal = Utf8Left(b->name, kSignalKeep);
            }
        }
        if (unresolved == 0 || unresolved == previous) break;
        previous = unresolved;
    }
    modified = true;
    return static_cast<int>(unresolved);
}

WireCheckResult COstra_PLCDoc::WireCheck(IMessageBox& msg) {
    WireCheckResult r;
    for (auto& f : blocks)
        for (auto& pin : f->pins) pin.signal.clear();
    DeleteAllPoints();
    if (checkMethod == CheckMethod::kAuto) {
        BuildHitIndex();
        r.wiringErrors = CWireCheckEngine(*this).Run();
        BuildHitIndex();
    } else {
        NormaliseSegments();
        BuildHitIndex();
        BuildWirePoints();
        r.wiringErrors = CheckWirePoints();
    }
    if (r.wiringErrors > 0) {
        msg.Show(r.wiringErrors == 1 ? "1 Wiring Error"
                                     : std::to_string(r.wiringErrors) + " Wiring Errors",
                 "Wiring Errors", MsgIcon::Exclamation);
        checkState = -1;
        DropHitIndex();
        return r;
    }
    msg.Show("No Wiring Errors", "Wiring Check");
    if (!hitIndex_ || !hitIndex_->segmentsValid) BuildHitIndex();
    r.namingErrors = PropagateSignalNames();
    DropHitIndex();
    if (r.namingErrors == 0) {
        msg.Show("No Signal Naming Errors", "Signal Naming Check");
        checkState = 1;
        r.passed = true;
    } else {
        msg.Show(r.namingErrors == 1 ? "1 Signal Naming Error"
                                     : std::to_string(r.namingErrors) + " Signal Naming Errors",
                 "Signal Naming Errors", MsgIcon::Exclamation);
        checkState = -1;
    }
    return r;
}

}  // namespace ostra
