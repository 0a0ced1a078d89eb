// Incremental wiring step of the wire check; see the header for why its
// results equal those of the plain procedure.
#include "model/WireCheckEngine.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <map>

#include "model/BuildStep.h"
#include "model/WireTypes.h"

namespace ostra {
namespace {

CPoint FromKey(uint64_t k) {
    return {static_cast<int32_t>(static_cast<uint32_t>(k >> 32)),
            static_cast<int32_t>(static_cast<uint32_t>(k & 0xFFFFFFFFu))};
}

// A set that stays a plain vector while small, as the nets one merge or split
// touches are: no buckets to allocate for a handful of entries.
template <typename T>
class SmallSet {
  public:
    bool Insert(T v) {
        if (!big_.empty()) return big_.insert(v).second;
        if (std::find(flat_.begin(), flat_.end(), v) != flat_.end()) return false;
        flat_.push_back(v);
        if (flat_.size() > 32) big_.insert(flat_.begin(), flat_.end());
        return true;
    }
    std::vector<T> Items() const {
        return big_.empty() ? flat_ : std::vector<T>(big_.begin(), big_.end());
    }

  private:
    std::vector<T> flat_;
    std::unordered_set<T> big_;
};

bool Diagonal(const COxWireSeg& s) { return s.start.x != s.end.x && s.start.y != s.end.y; }

constexpr int64_t kNoKey = std::numeric_limits<int64_t>::min();
// Stands in a segment's error while a visit is recorded: no code has it.
constexpr int32_t kUnwritten = std::numeric_limits<int32_t>::min();

}  // namespace

struct CWireCheckEngine::PointRec {
    explicit PointRec(CPoint p) : build(p), out(p) {}
    COxWPoint build;  // as the rebuild leaves it
    COxWPoint out;    // as the last visit left it
    OrderKey key{0, 0, 0};
    std::array<int64_t, 4> slotKeys{kNoKey, kNoKey, kNoKey, kNoKey};
    uint64_t version = 0;
    uint64_t classifiedVersion = std::numeric_limits<uint64_t>::max();
    // The error codes its last visit wrote, by segment.
    std::vector<std::pair<COxWireSeg*, int32_t>> errorWrites;
    bool inActionable = false;
    bool inDirty = false;
    bool inWriters = false;
    bool hitNothing = false;  // the hit test's answer when the rebuild made it
};

CWireCheckEngine::CWireCheckEngine(COstra_PLCDoc& doc) : doc_(doc) {}
CWireCheckEngine::~CWireCheckEngine() = default;

void CWireCheckEngine::Touch(CPoint p, COxWireSeg* s) {
    touching_[PointKey(p)].push_back(s);
}

void CWireCheckEngine::Untouch(CPoint p, COxWireSeg* s) {
    auto it = touching_.find(PointKey(p));
    if (it == touching_.end()) return;
    auto& v = it->second;
    const auto f = std::find(v.begin(), v.end(), s);
    if (f != v.end()) v.erase(f);
    if (v.empty()) touching_.erase(it);
}

// Rows hold horizontal segments (and zero-length ones), columns vertical
// ones; a diagonal is in neither, as the hit test never finds it.
void CWireCheckEngine::IndexLine(COxWireSeg* s, bool add) {
    const bool row = s->start.y == s->end.y;
    if (!row && s->start.x != s->end.x) return;
    Line& line = row ? rows_[s->start.y] : cols_[s->start.x];
    const int32_t low = row ? std::min(s->start.x, s->end.x) : std::min(s->start.y, s->end.y);
    const int64_t length = row ? std::llabs(int64_t{s->end.x} - s->start.x)
                               : std::llabs(int64_t{s->end.y} - s->start.y);
    if (add) {
        line.byLow.emplace(low, s);
        line.lengths.insert(length);
        return;
    }
    for (auto [it, end] = line.byLow.equal_range(low); it != end; ++it) {
        if (it->second == s) {
            line.byLow.erase(it);
            break;
        }
    }
    if (const auto l = line.lengths.find(length); l != line.lengths.end()) line.lengths.erase(l);
}

void CWireCheckEngine::IndexSegment(COxWireSeg* s) {
    IndexLine(s, true);
    Touch(s->start, s);
    Touch(s->end, s);
}

void CWireCheckEngine::UnindexSegment(COxWireSeg* s) {
    IndexLine(s, false);
    Untouch(s->start, s);
    Untouch(s->end, s);
}

// Files the segment under zero length or stale direction, or neither.
void CWireCheckEngine::Reclass(COxWireSeg* s) {
    const std::pair<int64_t, COxWireSeg*> e{key_.at(s), s};
    zeros_.erase(e);
    stale_.erase(e);
    if (s->start == s->end)
        zeros_.insert(e);
    else if (s->direction != DirectionOf(s->start, s->end))
        stale_.insert(e);
}

void CWireCheckEngine::EraseSegment(COxWireSeg* s) {
    UnindexSegment(s);
    const std::pair<int64_t, COxWireSeg*> e{key_.at(s), s};
    zeros_.erase(e);
    stale_.erase(e);
    errorStamp_.erase(s);
    const int64_t k = key_.at(s);
    key_.erase(s);
    flipped_.erase(s);
    (k >= 0 ? pool_[static_cast<std::size_t>(k)] : front_[static_cast<std::size_t>(-k - 1)]).reset();
    doc_.modified = true;
}

COxWireSeg* CWireCheckEngine::FirstThrough(CPoint p, int64_t afterKey) const {
    COxWireSeg* best = nullptr;
    int64_t bestKey = std::numeric_limits<int64_t>::max();
    auto scan = [&](const std::unordered_map<int32_t, Line>& lines, int32_t at, int32_t v,
                    bool row) {
        const auto it = lines.find(at);
        if (it == lines.end() || it->second.byLow.empty()) return;
        const int64_t longest = *it->second.lengths.rbegin();
        auto e = it->second.byLow.lower_bound(v);
        while (e != it->second.byLow.begin()) {
            --e;
            if (int64_t{v} - e->first >= longest) break;
            COxWireSeg* s = e->second;
            const int32_t high = row ? std::max(s->start.x, s->end.x) : std::max(s->start.y, s->end.y);
            if (high <= v) continue;
            const int64_t k = key_.at(s);
            if (k > afterKey && k < bestKey) {
                best = s;
                bestKey = k;
            }
        }
    };
    scan(rows_, p.y, p.x, true);
    scan(cols_, p.x, p.y, false);
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
    const bool actionable = Mergeable(rec) || Splittable(rec.build.point);
    if (actionable == rec.inActionable) return;
    rec.inActionable = actionable;
    if (actionable)
        actionable_.insert(rec.key);
    else
        actionable_.erase(rec.key);
}

// Takes the point out of the ordered sets, and puts it back by its key.
void CWireCheckEngine::Unorder(PointRec& rec) {
    if (rec.inActionable) actionable_.erase(rec.key);
    if (rec.inDirty) dirty_.erase(rec.key);
    if (rec.inWriters) writers_.erase(rec.key);
    rec.inActionable = rec.inDirty = rec.inWriters = false;
}

void CWireCheckEngine::Order(PointRec& rec) {
    rec.inDirty = rec.version != rec.classifiedVersion;
    if (rec.inDirty) dirty_.insert(rec.key);
    rec.inWriters = !rec.errorWrites.empty();
    if (rec.inWriters) writers_.insert(rec.key);
    UpdateActionable(rec);
}

// The blocks never move during a check: each point's answer is asked once.
int32_t CWireCheckEngine::BlockHit(CPoint p) {
    const auto [it, fresh] = blockHits_.try_emplace(PointKey(p));
    if (fresh) it->second = {doc_.HitTestBlocks(p), doc_.hit};
    doc_.hit = it->second.second;
    return it->second.first;
}

// The first segment in list order that the hit test finds at p.
const COxWireSeg* CWireCheckEngine::FirstCovering(CPoint p) const {
    const COxWireSeg* best = nullptr;
    int64_t bestKey = std::numeric_limits<int64_t>::max();
    if (const auto it = touching_.find(PointKey(p)); it != touching_.end()) {
        for (const COxWireSeg* s : it->second) {
            const int64_t k = key_.at(s);
            if (!Diagonal(*s) && k < bestKey) {
                best = s;
                bestKey = k;
            }
        }
    }
    if (const COxWireSeg* t = FirstThrough(p, kNoKey); t && key_.at(t) < bestKey) best = t;
    return best;
}

int32_t CWireCheckEngine::BuildHit(CPoint p, int32_t& kind) {
    const int32_t ref = BlockHit(p);
    if (doc_.hit.kind != kHitNothing) {
        kind = doc_.hit.kind;
        return ref;
    }
    kind = kHitSegStart;
    // Without diagonals or refnums of -1, the segment being registered lies
    // there itself and the answer is not -1.
    if (!hitSensitive_) return 0;
    const COxWireSeg* s = FirstCovering(p);
    if (!s) kind = kHitNothing;
    return s ? s->refnum : -1;
}

// The wire points on the segment from a to b, ends included.
void CWireCheckEngine::PointsOn(CPoint a, CPoint b, std::vector<CPoint>& out) const {
    if (a.y == b.y) {
        const auto r = pointRows_.find(a.y);
        if (r == pointRows_.end()) return;
        for (auto x = r->second.lower_bound(std::min(a.x, b.x));
             x != r->second.end() && *x <= std::max(a.x, b.x); ++x)
            out.push_back({*x, a.y});
    } else if (a.x == b.x) {
        const auto c = pointCols_.find(a.x);
        if (c == pointCols_.end()) return;
        for (auto y = c->second.lower_bound(std::min(a.y, b.y));
             y != c->second.end() && *y <= std::max(a.y, b.y); ++y)
            out.push_back({a.x, *y});
    } else {
        out.push_back(a);
        out.push_back(b);
    }
}

void CWireCheckEngine::Normalise(std::vector<CPoint>& seeds, Extents& extents) {
    ++rebuild_;
    // It walks from the end of the list and stops at the first zero-length
    // segment, which it deletes.
    int64_t walkFrom = kNoKey;
    if (!zeros_.empty()) {
        COxWireSeg* z = zeros_.rbegin()->second;
        walkFrom = zeros_.rbegin()->first;
        seeds.push_back(z->start);
        extents.push_back({z->start, z->end});
        EraseSegment(z);
    }
    partial_ = walkFrom != kNoKey;
    while (!resets_.empty() && resets_.back().second >= walkFrom) resets_.pop_back();
    resets_.push_back({rebuild_, walkFrom});
    for (auto it = stale_.lower_bound({walkFrom, nullptr}); it != stale_.end();) {
        COxWireSeg* s = it->second;
        s->direction = DirectionOf(s->start, s->end);
        seeds.insert(seeds.end(), {s->start, s->end});
        forced_.insert(PointKey(s->start));
        forced_.insert(PointKey(s->end));
        it = stale_.erase(it);
    }
}

// Whether a normalising step walked the segment after its error was last written.
bool CWireCheckEngine::ResetSince(const COxWireSeg* s) const {
    const auto st = errorStamp_.find(s);
    const int stamp = st == errorStamp_.end() ? -1 : st->second;
    const auto it = std::upper_bound(
        resets_.begin(), resets_.end(), stamp,
        [](int v, const std::pair<int, int64_t>& e) { return v < e.first; });
    return it != resets_.end() && it->second <= key_.at(s);
}

void CWireCheckEngine::Resolve(COxWireSeg* s) {
    if (ResetSince(s)) s->error = kWireOk;
    errorStamp_[s] = rebuild_;
}

// The error codes the visit of the points before `before` writes, in order.
void CWireCheckEngine::Replay(const OrderKey& before) {
    for (auto it = writers_.begin(); it != writers_.end() && *it < before; ++it) {
        for (const auto& [seg, code] : points_.at(it->pos)->errorWrites) {
            seg->error = code;
            errorStamp_[seg] = rebuild_;
        }
    }
}


void CWireCheckEngine::Resimulate(std::vector<CPoint> seeds, const Extents& extents) {
    if (hitSensitive_) {
        // What the hit test finds at points under these segments may differ now.
        std::vector<CPoint> under;
        for (const auto& [a, b] : extents) PointsOn(a, b, under);
        for (const auto& [a, b] : pendingExtents_) PointsOn(a, b, under);
        for (CPoint p : under) {
            const auto it = points_.find(PointKey(p));
            int32_t kind = 0;
            if (it == points_.end() || it->second->hitNothing != (BuildHit(p, kind) == -1))
                seeds.push_back(p);
        }
    }
    pendingExtents_.clear();
    for (COxWireSeg* s : flipped_) {
        seeds.push_back(s->start);
        seeds.push_back(s->end);
    }
    flipped_.clear();

    // The nets around the seeds.
    SmallSet<uint64_t> visited;
    std::vector<uint64_t> stack;
    std::vector<COxWireSeg*> segs;
    SmallSet<COxWireSeg*> seen;
    for (CPoint p : seeds)
        if (visited.Insert(PointKey(p))) stack.push_back(PointKey(p));
    while (!stack.empty()) {
        const uint64_t k = stack.back();
        stack.pop_back();
        const auto it = touching_.find(k);
        if (it == touching_.end()) continue;
        for (COxWireSeg* s : it->second) {
            if (!seen.Insert(s)) continue;
            segs.push_back(s);
            for (CPoint e : {s->start, s->end})
                if (visited.Insert(PointKey(e))) stack.push_back(PointKey(e));
        }
    }

    // Build these nets again, in the order a full rebuild takes them.
    std::vector<std::pair<int64_t, COxWireSeg*>> byKey;
    byKey.reserve(segs.size());
    for (COxWireSeg* s : segs) byKey.push_back({key_.at(s), s});
    std::sort(byKey.begin(), byKey.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    // Few points as a rule: a flat table, unless the nets are large.
    std::vector<std::unique_ptr<PointRec>> fresh;
    std::unordered_map<uint64_t, PointRec*> freshIndex;
    const bool flat = segs.size() <= 16;
    struct Store {
        CWireCheckEngine& e;
        std::vector<std::unique_ptr<PointRec>>& fresh;
        std::unordered_map<uint64_t, PointRec*>& index;
        bool flat;
        int64_t creator = 0;
        int seq = 0;
        PointRec* last = nullptr;
        PointRec* At(uint64_t k) const {
            if (flat) {
                for (auto& r : fresh)
                    if (r->key.pos == k) return r.get();
                return nullptr;
            }
            const auto it = index.find(k);
            return it == index.end() ? nullptr : it->second;
        }
        COxWPoint* Find(CPoint p) {
            PointRec* r = At(PointKey(p));
            return r ? &r->build : nullptr;
        }
        COxWPoint* Create(CPoint p) {
            auto rec = std::make_unique<PointRec>(p);
            rec->key = {creator, seq++, PointKey(p)};
            last = rec.get();
            if (!flat) index[PointKey(p)] = last;
            fresh.push_back(std::move(rec));
            return &last->build;
        }
        int32_t Hit(CPoint p, int32_t& kind) {
            const int32_t ref = e.BuildHit(p, kind);
            last->hitNothing = ref == -1;
            return ref;
        }
    } store{*this, fresh, freshIndex, flat};
    for (const auto& [key, s] : byKey) {
        const CPoint before = s->start;
        store.creator = key;
        store.seq = 0;
        BuildSegmentPoints(s, store);
        if (s->start != before) flipped_.insert(s);
    }

    // Points that disappeared leave the order.
    for (uint64_t k : visited.Items()) {
        const auto it = points_.find(k);
        if (it == points_.end() || store.At(k)) continue;
        Unorder(*it->second);
        points_.erase(it);
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
    // A point that came out as it was keeps its record and its last visit;
    // one that changed is visited again.
    for (auto& rec : fresh) {
        const uint64_t k = rec->key.pos;
        for (int i = 0; i < 4; ++i)
            rec->slotKeys[i] = rec->build.slots[i].seg
                                   ? key_.at(rec->build.slots[i].seg) * 4 + rec->build.slots[i].kind
                                   : kNoKey;
        auto o = points_.find(k);
        if (o != points_.end() && o->second->build.state == rec->build.state &&
            o->second->slotKeys == rec->slotKeys && !forced_.count(k)) {
            PointRec& kept = *o->second;
            kept.build = rec->build;
            kept.hitNothing = rec->hitNothing;
            if (!(kept.key == rec->key)) {
                Unorder(kept);
                kept.key = rec->key;
                Order(kept);
            } else {
                UpdateActionable(kept);
            }
            continue;
        }
        rec->version = ++versionCounter_;
        if (o != points_.end()) {
            Unorder(*o->second);
            o->second = std::move(rec);
        } else {
            const CPoint p = FromKey(k);
            pointRows_[p.y].insert(p.x);
            pointCols_[p.x].insert(p.y);
            o = points_.emplace(k, std::move(rec)).first;
        }
        Order(*o->second);
    }
    forced_.clear();

    // Points on segments that changed may have become splittable or not.
    std::vector<CPoint> on;
    for (const auto& [a, b] : extents) PointsOn(a, b, on);
    for (CPoint p : on)
        if (auto it = points_.find(PointKey(p)); it != points_.end()) UpdateActionable(*it->second);
}

void CWireCheckEngine::Classify(PointRec& rec, int* count, bool record) {
    COxWPoint& pt = rec.out;
    pt = COxWPoint(rec.build.point);
    pt.state = rec.build.state;
    pt.slots = rec.build.slots;
    // The segments of the point with what they held before the visit.
    std::array<std::pair<COxWireSeg*, int32_t>, 4> errors{};
    std::array<int32_t, 4> refnums{};
    std::size_t n = 0;
    for (const WSlot& sl : pt.slots) {
        if (!sl.seg) continue;
        bool known = false;
        for (std::size_t i = 0; i < n; ++i) known = known || errors[i].first == sl.seg;
        if (known) continue;
        errors[n] = {sl.seg, sl.seg->error};
        refnums[n++] = sl.seg->refnum;
        if (record) sl.seg->error = kUnwritten;
    }

    int result = 0;
    const int32_t ref = BlockHit(pt.point);
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

    for (std::size_t i = 0; i < n; ++i) {
        COxWireSeg* seg = errors[i].first;
        // An unnamed cross reference loses its refnum, and the hit test reads
        // a refnum of -1 as nothing.
        if (hitSensitive_ && refnums[i] == -1 && seg->refnum != -1)
            pendingExtents_.push_back({seg->start, seg->end});
    }
    if (!record) return;
    if (rec.inWriters) writers_.erase(rec.key);
    rec.errorWrites.clear();
    for (std::size_t i = 0; i < n; ++i) {
        COxWireSeg* seg = errors[i].first;
        if (seg->error != kUnwritten) rec.errorWrites.push_back({seg, seg->error});
        seg->error = errors[i].second;
    }
    rec.inWriters = !rec.errorWrites.empty();
    if (rec.inWriters) writers_.insert(rec.key);
}

// At a bend: the segment that ends there and the one that starts there.
std::pair<COxWireSeg*, COxWireSeg*> CWireCheckEngine::UpDown(const PointRec& rec) {
    const WSlot& s0 = rec.build.slots[0];
    const WSlot& s1 = rec.build.slots[1];
    return s0.kind == WSlot::kEnds ? std::make_pair(s0.seg, s1.seg) : std::make_pair(s1.seg, s0.seg);
}

void CWireCheckEngine::Merge(PointRec& rec, std::vector<CPoint>& seeds, Extents& extents) {
    const auto [up, down] = UpDown(rec);
    const CPoint at = rec.build.point;
    seeds.insert(seeds.end(), {up->start, at, down->end});
    extents.push_back({up->start, at});
    extents.push_back({at, down->end});
    if (up == down) {  // a zero-length segment bending onto itself
        EraseSegment(down);
        return;
    }
    const CPoint end = down->end;
    EraseSegment(down);
    UnindexSegment(up);
    up->end = end;
    IndexSegment(up);
    Reclass(up);
    extents.push_back({up->start, up->end});
}

void CWireCheckEngine::Split(PointRec& rec, std::vector<CPoint>& seeds, Extents& extents) {
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
        Resolve(s);  // the new piece takes the error S has at this moment
        UnindexSegment(s);
        auto n = CutAt(*s, p);
        COxWireSeg* nptr = n.get();
        IndexSegment(s);
        key_[nptr] = --minKey_;
        errorStamp_[nptr] = rebuild_;
        front_.push_back(std::move(n));
        IndexSegment(nptr);
        Reclass(nptr);
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
    // The segments stay in place by their list key while the engine runs, so
    // that a deletion costs nothing; the list is put together at the end.
    pool_ = std::move(doc_.segments);
    doc_.segments.clear();
    key_.reserve(pool_.size() * 2);
    touching_.reserve(pool_.size() * 2);
    points_.reserve(pool_.size() * 2);
    blockHits_.reserve(pool_.size() * 2);
    minKey_ = 0;
    bool diagonal = false;
    for (std::size_t i = 0; i < pool_.size(); ++i) {
        COxWireSeg* s = pool_[i].get();
        key_[s] = static_cast<int64_t>(i);
        IndexSegment(s);
        Reclass(s);
        diagonal = diagonal || Diagonal(*s);
        hitSensitive_ = hitSensitive_ || s->refnum == -1;
    }
    hitSensitive_ = hitSensitive_ || diagonal;

    std::vector<CPoint> seeds;
    Extents extents;
    Normalise(seeds, extents);
    for (auto& s : pool_)
        if (s) seeds.push_back(s->start);
    Resimulate(seeds, extents);

    // The plain procedure's guard against endless restarts, counted the same way.
    std::size_t restartsLeft = 16 * (key_.size() + points_.size()) + 1000;
    while (!actionable_.empty() && restartsLeft > 0) {
        const OrderKey at = *actionable_.begin();
        // The visit up to this point, for the points that changed.
        while (!dirty_.empty() && *dirty_.begin() < at) {
            const OrderKey d = *dirty_.begin();
            dirty_.erase(dirty_.begin());
            PointRec& rec = *points_.at(d.pos);
            rec.inDirty = false;
            Classify(rec, nullptr, true);
        }
        PointRec& rec = *points_.at(at.pos);
        // A rebuild that walks every segment resets every error: the error
        // codes of a visit matter only next to a rebuild that does not.
        bool partialNext = !zeros_.empty();
        if (!partialNext && Mergeable(rec)) {
            const auto [up, down] = UpDown(rec);
            partialNext = up->start == down->end;  // the merge makes a zero-length segment
        }
        if (partial_ || partialNext) Replay(at);
        std::vector<CPoint> changedSeeds;
        Extents changedExtents;
        if (Mergeable(rec))
            Merge(rec, changedSeeds, changedExtents);
        else
            Split(rec, changedSeeds, changedExtents);
        --restartsLeft;
        Normalise(changedSeeds, changedExtents);
        Resimulate(std::move(changedSeeds), changedExtents);
    }

    auto& segs = doc_.segments;
    segs.reserve(key_.size());
    for (auto it = front_.rbegin(); it != front_.rend(); ++it)
        if (*it) segs.push_back(std::move(*it));
    for (auto& s : pool_)
        if (s) segs.push_back(std::move(s));
    front_.clear();
    pool_.clear();

    // The last, complete visit after the last rebuild.
    for (auto& s : segs) Resolve(s.get());
    std::vector<PointRec*> order;
    order.reserve(points_.size());
    for (auto& [k, rec] : points_) order.push_back(rec.get());
    std::sort(order.begin(), order.end(),
              [](const PointRec* a, const PointRec* b) { return a->key < b->key; });
    int count = 0;
    for (PointRec* rec : order) Classify(*rec, &count, false);

    doc_.DeleteAllPoints();
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        COxWPoint* wp = doc_.CreatePoint((*it)->out.point);
        *wp = (*it)->out;
    }
    return count;
}

}  // namespace ostra
