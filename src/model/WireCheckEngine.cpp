// Incremental wiring step of the wire check; see the header for why its
// results equal those of the plain procedure.
#include "model/WireCheckEngine.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "model/BuildStep.h"
#include "model/WireTypes.h"

namespace ostra {
namespace {

uint64_t Key(CPoint p) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(p.x)) << 32) | static_cast<uint32_t>(p.y);
}

CPoint FromKey(uint64_t k) {
    return {static_cast<int32_t>(static_cast<uint32_t>(k >> 32)),
            static_cast<int32_t>(static_cast<uint32_t>(k & 0xFFFFFFFFu))};
}

bool StrictlyBetween(int32_t v, int32_t a, int32_t b) {
    return a < b ? (a < v && v < b) : (b < v && v < a);
}

constexpr int64_t kNoKey = std::numeric_limits<int64_t>::min();

}  // namespace

struct CWireCheckEngine::PointRec {
    explicit PointRec(CPoint p) : build(p), out(p) {}
    COxWPoint build;  // as the rebuild leaves it
    COxWPoint out;    // as the last visit left it
    OrderKey key{0, 0, 0};
    std::array<int64_t, 4> slotKeys{kNoKey, kNoKey, kNoKey, kNoKey};
    uint64_t version = 0;
    uint64_t classifiedVersion = std::numeric_limits<uint64_t>::max();
    bool inActionable = false;
    bool inDirty = false;
};

CWireCheckEngine::CWireCheckEngine(COstra_PLCDoc& doc) : doc_(doc) {}
CWireCheckEngine::~CWireCheckEngine() = default;

bool CWireCheckEngine::Applicable(const COstra_PLCDoc& doc) {
    for (const auto& s : doc.segments) {
        if (s->start == s->end || (s->start.x != s->end.x && s->start.y != s->end.y) ||
            s->refnum < 0)
            return false;
    }
    return true;
}

void CWireCheckEngine::Touch(CPoint p, COxWireSeg* s) {
    touching_[Key(p)].push_back(s);
}

void CWireCheckEngine::Untouch(CPoint p, COxWireSeg* s) {
    auto it = touching_.find(Key(p));
    if (it == touching_.end()) return;
    auto& v = it->second;
    const auto f = std::find(v.begin(), v.end(), s);
    if (f != v.end()) v.erase(f);
    if (v.empty()) touching_.erase(it);
}

void CWireCheckEngine::IndexSegment(COxWireSeg* s) {
    const int64_t k = key_.at(s);
    if (s->start.y == s->end.y)
        rows_[s->start.y].insert({k, s});
    else
        cols_[s->start.x].insert({k, s});
    Touch(s->start, s);
    Touch(s->end, s);
}

void CWireCheckEngine::UnindexSegment(COxWireSeg* s) {
    const int64_t k = key_.at(s);
    if (s->start.y == s->end.y)
        rows_[s->start.y].erase({k, s});
    else
        cols_[s->start.x].erase({k, s});
    Untouch(s->start, s);
    Untouch(s->end, s);
}

void CWireCheckEngine::EraseSegment(COxWireSeg* s) {
    UnindexSegment(s);
    key_.erase(s);
    flipped_.erase(s);
    auto& segs = doc_.segments;
    for (auto it = segs.begin(); it != segs.end(); ++it) {
        if (it->get() == s) {
            segs.erase(it);
            break;
        }
    }
    doc_.modified = true;
}

COxWireSeg* CWireCheckEngine::FirstThrough(CPoint p, int64_t afterKey) const {
    COxWireSeg* best = nullptr;
    int64_t bestKey = std::numeric_limits<int64_t>::max();
    if (const auto it = rows_.find(p.y); it != rows_.end()) {
        for (auto e = it->second.upper_bound({afterKey, nullptr}); e != it->second.end(); ++e) {
            if (e->first <= afterKey) continue;
            if (StrictlyBetween(p.x, e->second->start.x, e->second->end.x)) {
                best = e->second;
                bestKey = e->first;
                break;
            }
        }
    }
    if (const auto it = cols_.find(p.x); it != cols_.end()) {
        for (auto e = it->second.upper_bound({afterKey, nullptr}); e != it->second.end(); ++e) {
            if (e->first <= afterKey) continue;
            if (e->first >= bestKey) break;
            if (StrictlyBetween(p.y, e->second->start.y, e->second->end.y)) {
                best = e->second;
                break;
            }
        }
    }
    return best;
}

bool CWireCheckEngine::Splittable(CPoint p) const {
    return FirstThrough(p, kNoKey) != nullptr;
}

bool CWireCheckEngine::Mergeable(const PointRec& rec) const {
    const WSlot& s0 = rec.build.slots[0];
    const WSlot& s1 = rec.build.slots[1];
    return rec.build.state == kWpBend && s0.seg && s1.seg && s0.kind != s1.kind &&
           s0.seg->direction == s1.seg->direction;
}

void CWireCheckEngine::UpdateActionable(PointRec& rec) {
    if (rec.inActionable) actionable_.erase(rec.key);
    rec.inActionable = Mergeable(rec) || Splittable(rec.build.point);
    if (rec.inActionable) actionable_.insert(rec.key);
}

int32_t CWireCheckEngine::BuildHit(CPoint p, int32_t& kind) {
    const int32_t ref = doc_.HitTestBlocks(p);
    if (doc_.hit.kind != kHitNothing) {
        kind = doc_.hit.kind;
        return ref;
    }
    // The segment being registered lies there itself, and no segment's refnum
    // is negative: the hit test finds a segment.
    kind = kHitSegStart;
    return 0;
}

void CWireCheckEngine::Resimulate(std::vector<CPoint> seeds,
                                  const std::vector<std::pair<CPoint, CPoint>>& extents) {
    for (COxWireSeg* s : flipped_) {
        seeds.push_back(s->start);
        seeds.push_back(s->end);
    }
    flipped_.clear();

    // The nets around the seeds.
    std::unordered_set<uint64_t> visited;
    std::vector<uint64_t> stack;
    std::vector<COxWireSeg*> segs;
    std::unordered_set<COxWireSeg*> seen;
    for (CPoint p : seeds)
        if (visited.insert(Key(p)).second) stack.push_back(Key(p));
    while (!stack.empty()) {
        const uint64_t k = stack.back();
        stack.pop_back();
        const auto it = touching_.find(k);
        if (it == touching_.end()) continue;
        for (COxWireSeg* s : it->second) {
            if (!seen.insert(s).second) continue;
            segs.push_back(s);
            for (CPoint e : {s->start, s->end})
                if (visited.insert(Key(e)).second) stack.push_back(Key(e));
        }
    }

    // Take the old points out of the order.
    std::unordered_map<uint64_t, std::unique_ptr<PointRec>> old;
    for (uint64_t k : visited) {
        auto it = points_.find(k);
        if (it == points_.end()) continue;
        PointRec& rec = *it->second;
        if (rec.inActionable) actionable_.erase(rec.key);
        if (rec.inDirty) dirty_.erase(rec.key);
        rec.inActionable = rec.inDirty = false;
        old.emplace(k, std::move(it->second));
        points_.erase(it);
    }

    // Build these nets again, in the order a full rebuild takes them.
    std::sort(segs.begin(), segs.end(),
              [&](COxWireSeg* a, COxWireSeg* b) { return key_.at(a) > key_.at(b); });
    std::unordered_map<uint64_t, std::unique_ptr<PointRec>> fresh;
    struct Store {
        CWireCheckEngine& e;
        std::unordered_map<uint64_t, std::unique_ptr<PointRec>>& fresh;
        int64_t creator = 0;
        int seq = 0;
        COxWPoint* Find(CPoint p) {
            const auto it = fresh.find(Key(p));
            return it == fresh.end() ? nullptr : &it->second->build;
        }
        COxWPoint* Create(CPoint p) {
            auto rec = std::make_unique<PointRec>(p);
            rec->key = {creator, seq++, Key(p)};
            COxWPoint* wp = &rec->build;
            fresh[Key(p)] = std::move(rec);
            return wp;
        }
        int32_t Hit(CPoint p, int32_t& kind) { return e.BuildHit(p, kind); }
    } store{*this, fresh};
    for (COxWireSeg* s : segs) {
        const CPoint before = s->start;
        store.creator = key_.at(s);
        store.seq = 0;
        BuildSegmentPoints(s, store);
        if (s->start != before) flipped_.insert(s);
    }

    // Points that disappeared; points that changed are visited again.
    for (auto& [k, rec] : old) {
        if (fresh.count(k)) continue;
        const CPoint p = FromKey(k);
        if (auto r = pointRows_.find(p.y); r != pointRows_.end()) {
            r->second.erase(p.x);
            if (r->second.empty()) pointRows_.erase(r);
        }
        if (auto c = pointCols_.find(p.x); c != pointCols_.end()) {
            c->second.erase(p.y);
            if (c->second.empty()) pointCols_.erase(c);
        }
    }
    for (auto& [k, rec] : fresh) {
        for (int i = 0; i < 4; ++i)
            rec->slotKeys[i] = rec->build.slots[i].seg
                                   ? key_.at(rec->build.slots[i].seg) * 4 + rec->build.slots[i].kind
                                   : kNoKey;
        const auto o = old.find(k);
        if (o != old.end() && o->second->build.state == rec->build.state &&
            o->second->slotKeys == rec->slotKeys) {
            rec->version = o->second->version;
            rec->classifiedVersion = o->second->classifiedVersion;
            rec->out = o->second->out;
        } else {
            rec->version = ++versionCounter_;
            if (o == old.end()) {
                const CPoint p = FromKey(k);
                pointRows_[p.y].insert(p.x);
                pointCols_[p.x].insert(p.y);
            }
        }
        if (rec->version != rec->classifiedVersion) {
            rec->inDirty = true;
            dirty_.insert(rec->key);
        }
        PointRec& ref = *rec;
        points_[k] = std::move(rec);
        UpdateActionable(ref);
    }

    // Points inside segments that changed may have become splittable or not.
    for (const auto& [a, b] : extents) {
        if (a.y == b.y) {
            const auto r = pointRows_.find(a.y);
            if (r == pointRows_.end()) continue;
            for (auto x = r->second.upper_bound(std::min(a.x, b.x));
                 x != r->second.end() && *x < std::max(a.x, b.x); ++x)
                if (auto it = points_.find(Key({*x, a.y})); it != points_.end())
                    UpdateActionable(*it->second);
        } else if (a.x == b.x) {
            const auto c = pointCols_.find(a.x);
            if (c == pointCols_.end()) continue;
            for (auto y = c->second.upper_bound(std::min(a.y, b.y));
                 y != c->second.end() && *y < std::max(a.y, b.y); ++y)
                if (auto it = points_.find(Key({a.x, *y})); it != points_.end())
                    UpdateActionable(*it->second);
        }
    }
}

void CWireCheckEngine::Classify(PointRec& rec, int* count) {
    COxWPoint& pt = rec.out;
    pt = COxWPoint(rec.build.point);
    pt.state = rec.build.state;
    pt.slots = rec.build.slots;
    int result = 0;
    const int32_t ref = doc_.HitTestBlocks(pt.point);
    const int32_t kind = ref == -1 ? kHitNothing : doc_.hit.kind;
    if (kind == kHitBody) {
        for (const WSlot& sl : pt.slots) {
            if (!sl.seg) continue;
            sl.seg->error = kWireEndInBody;
            ++result;
        }
        result += doc_.ClassifyFreePoint(pt);
    } else if (kind == kHitOutputPin) {
        result += doc_.ClassifyOutputPin(pt);
    } else if (kind == kHitInputPin) {
        result += doc_.ClassifyInputPin(pt);
    } else {
        result += doc_.ClassifyFreePoint(pt);
    }
    rec.classifiedVersion = rec.version;
    if (count) *count += result;
}

void CWireCheckEngine::Merge(PointRec& rec, std::vector<CPoint>& seeds,
                             std::vector<std::pair<CPoint, CPoint>>& extents) {
    const WSlot& s0 = rec.build.slots[0];
    const WSlot& s1 = rec.build.slots[1];
    COxWireSeg* up = s0.kind == WSlot::kEnds ? s0.seg : s1.seg;
    COxWireSeg* down = s0.kind == WSlot::kStarts ? s0.seg : s1.seg;
    const CPoint at = rec.build.point;
    seeds.insert(seeds.end(), {up->start, at, down->end});
    extents.push_back({up->start, down->end});
    if (up == down) {  // one segment registered twice cannot happen without zero length
        EraseSegment(down);
        return;
    }
    Untouch(up->end, up);
    up->end = down->end;
    Touch(up->end, up);
    EraseSegment(down);
}

void CWireCheckEngine::Split(PointRec& rec, std::vector<CPoint>& seeds,
                             std::vector<std::pair<CPoint, CPoint>>& extents) {
    const CPoint p = rec.build.point;
    COxWPoint& pt = rec.build;
    int64_t after = kNoKey;
    while (COxWireSeg* s = FirstThrough(p, after)) {
        const bool horizontal = s->start.y == s->end.y;
        COxWireSeg* t = nullptr;
        for (int k = 0; k < 3 && !t; ++k) {
            COxWireSeg* c = pt.slots[k].seg;
            if (c && (horizontal ? c->start.y == c->end.y : c->start.x == c->end.x)) t = c;
        }
        extents.push_back({s->start, s->end});
        seeds.insert(seeds.end(), {s->start, s->end, p});
        const CPoint oldEnd = s->end;
        auto n = CutAt(*s, p);
        COxWireSeg* nptr = n.get();
        Untouch(oldEnd, s);
        Touch(p, s);
        key_[nptr] = --minKey_;
        doc_.segments.insert(doc_.segments.begin(), std::move(n));
        IndexSegment(nptr);
        doc_.modified = true;
        if (!t) {
            after = key_.at(s);
            continue;
        }
        COxWireSeg* victim = OverlapVictim(*s, *nptr, *t, p);
        seeds.insert(seeds.end(), {victim->start, victim->end});
        extents.push_back({victim->start, victim->end});
        pt.RemoveSegment(victim);
        EraseSegment(victim);
        after = kNoKey;
    }
}

int CWireCheckEngine::Run() {
    auto& segs = doc_.segments;
    minKey_ = 0;
    std::vector<CPoint> seeds;
    for (std::size_t i = 0; i < segs.size(); ++i) {
        key_[segs[i].get()] = static_cast<int64_t>(i);
        IndexSegment(segs[i].get());
        seeds.push_back(segs[i]->start);
    }
    Resimulate(seeds, {});

    // The plain procedure's guard against endless restarts, counted the same way.
    std::size_t restartsLeft = 16 * (segs.size() + points_.size()) + 1000;
    while (!actionable_.empty() && restartsLeft > 0) {
        const OrderKey at = *actionable_.begin();
        // The visit up to this point, for the points that changed.
        while (!dirty_.empty() && *dirty_.begin() < at) {
            const OrderKey d = *dirty_.begin();
            dirty_.erase(dirty_.begin());
            PointRec& rec = *points_.at(d.pos);
            rec.inDirty = false;
            Classify(rec, nullptr);
        }
        PointRec& rec = *points_.at(at.pos);
        std::vector<CPoint> changedSeeds;
        std::vector<std::pair<CPoint, CPoint>> extents;
        if (Mergeable(rec))
            Merge(rec, changedSeeds, extents);
        else
            Split(rec, changedSeeds, extents);
        --restartsLeft;
        Resimulate(std::move(changedSeeds), extents);
    }

    // The last, complete visit after the last rebuild.
    for (auto& s : segs) s->error = kWireOk;
    std::vector<PointRec*> order;
    order.reserve(points_.size());
    for (auto& [k, rec] : points_) order.push_back(rec.get());
    std::sort(order.begin(), order.end(),
              [](const PointRec* a, const PointRec* b) { return a->key < b->key; });
    int count = 0;
    for (PointRec* rec : order) Classify(*rec, &count);

    doc_.DeleteAllPoints();
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        COxWPoint* wp = doc_.CreatePoint((*it)->out.point);
        *wp = (*it)->out;
    }
    return count;
}

}  // namespace ostra
