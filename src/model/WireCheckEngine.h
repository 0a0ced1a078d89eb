// The incremental form of the wire check's wiring step: the same merges,
// splits, point states and segment results as rebuilding every wire point
// after each merge or split and visiting the points again from the front,
// without that cost.
//
// It rests on three facts of the plain procedure:
// - A full rebuild gives each point an order, a state and slots that depend
//   only on the segments touching it and, through them, on its connected net;
//   nets that a merge or split did not touch come out of a rebuild unchanged,
//   unless the previous rebuild turned one of their segments round.
// - A point's place in the list follows from the segment that created it: the
//   list is ordered by that segment's list position, a segment's end point
//   before its start point.
// - Visiting a point whose inputs did not change since its last visit writes
//   the values it wrote then; so only changed points need visiting before the
//   next merge or split, and one full visit at the end gives every result.
// Damaged sheets bend these facts in three ways, and the engine follows:
// - A zero-length segment is removed by the normalising step of a rebuild,
//   one per rebuild, the last in the list first; that step resets the error
//   and direction only of the segments from the end of the list down to it.
//   Segments before it keep their direction (even a stale one from the file)
//   and the error codes of earlier visits, so the error codes each visit
//   writes are recorded per point and replayed in visiting order, and a
//   segment's error is reset lazily from a record of which rebuilds walked it.
// - A diagonal segment is never hit, and a hit on a segment whose refnum is
//   -1 reads as nothing: a point's state then depends on the segments that
//   merely pass over it, so points under a changed segment are rebuilt too.
// - A merge of diagonals or of segments with stale directions can make a new
//   zero-length segment.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "model/COstra_PLCDoc.h"

namespace ostra {

class CWireCheckEngine {
  public:
    explicit CWireCheckEngine(COstra_PLCDoc& doc);
    ~CWireCheckEngine();

    // Normalises the segments, builds the wire points and classifies them;
    // returns the wiring error count. Leaves the segments and the document's
    // point list as the plain procedure does.
    int Run();

  private:
    struct PointRec;
    struct OrderKey {
        int64_t creator;  // list key of the segment that made the point
        int seq;          // 1 for the second point that segment made
        uint64_t pos;
        bool operator==(const OrderKey& o) const {
            return creator == o.creator && seq == o.seq && pos == o.pos;
        }
        bool operator<(const OrderKey& o) const {
            if (creator != o.creator) return creator < o.creator;
            if (seq != o.seq) return seq > o.seq;
            return pos < o.pos;
        }
    };

    using Extents = std::vector<std::pair<CPoint, CPoint>>;
    using SegSet = std::set<std::pair<int64_t, COxWireSeg*>>;

    void IndexSegment(COxWireSeg* s);
    void IndexLine(COxWireSeg* s, bool add);
    void Reclass(COxWireSeg* s);
    void UnindexSegment(COxWireSeg* s);
    void Touch(CPoint p, COxWireSeg* s);
    void Untouch(CPoint p, COxWireSeg* s);
    void EraseSegment(COxWireSeg* s);

    // Rebuilds the nets around the seed positions as a full rebuild would.
    void Resimulate(std::vector<CPoint> seeds, const Extents& extents);
    // The normalising step that opens every rebuild.
    void Normalise(std::vector<CPoint>& seeds, Extents& extents);
    void PointsOn(CPoint a, CPoint b, std::vector<CPoint>& out) const;
    const COxWireSeg* FirstCovering(CPoint p) const;
    bool ResetSince(const COxWireSeg* s) const;
    void Resolve(COxWireSeg* s);
    void Replay(const OrderKey& before);
    void UpdateActionable(PointRec& rec);
    void Unorder(PointRec& rec);
    void Order(PointRec& rec);
    bool Splittable(CPoint p) const;
    bool Mergeable(const PointRec& rec) const;

    // An intermediate visit records the error codes it writes instead of
    // leaving them; the last, complete visit writes them.
    void Classify(PointRec& rec, int* count, bool record);
    static std::pair<COxWireSeg*, COxWireSeg*> UpDown(const PointRec& rec);
    void Merge(PointRec& rec, std::vector<CPoint>& seeds, Extents& extents);
    void Split(PointRec& rec, std::vector<CPoint>& seeds, Extents& extents);
    COxWireSeg* FirstThrough(CPoint p, int64_t afterKey) const;
    int32_t BuildHit(CPoint p, int32_t& kind);
    int32_t BlockHit(CPoint p);

    COstra_PLCDoc& doc_;
    // The sheet's segments while the engine runs: those of the list (key =
    // index) and the pieces splits put in front of it (key = -1 - index).
    std::vector<std::unique_ptr<COxWireSeg>> pool_, front_;
    std::unordered_map<uint64_t, std::unique_ptr<PointRec>> points_;
    std::unordered_map<uint64_t, std::vector<COxWireSeg*>> touching_;
    std::unordered_map<const COxWireSeg*, int64_t> key_;
    int64_t minKey_ = 0;
    // The segments of one row (horizontal) or column (vertical), by their
    // lower coordinate, with their lengths: a point lies inside at most the
    // segments that begin less than the longest length before it.
    struct Line {
        std::multimap<int32_t, COxWireSeg*> byLow;
        std::multiset<int64_t> lengths;
    };
    std::unordered_map<int32_t, Line> rows_, cols_;
    // Point coordinates by row and by column.
    std::unordered_map<int32_t, std::set<int32_t>> pointRows_, pointCols_;
    std::set<OrderKey> actionable_, dirty_;
    std::unordered_set<COxWireSeg*> flipped_;
    uint64_t versionCounter_ = 0;

    SegSet zeros_;  // zero-length segments
    SegSet stale_;  // segments whose direction is not the one their ends give
    std::set<OrderKey> writers_;  // points whose last visit wrote an error code
    // The rebuild after which a segment's error was last written (-1: the file's).
    std::unordered_map<const COxWireSeg*, int> errorStamp_;
    // (rebuild, first list key its normalising step walked), kept as suffix
    // minima so that "was S walked since rebuild r" is one search.
    std::vector<std::pair<int, int64_t>> resets_;
    int rebuild_ = -1;
    bool partial_ = false;       // the last rebuild left segments unwalked
    bool hitSensitive_ = false;  // diagonals or refnums of -1 on the sheet
    std::unordered_set<uint64_t> forced_;  // points whose segments' direction changed
    Extents pendingExtents_;               // segments whose refnum a visit changed
    std::unordered_map<uint64_t, std::pair<int32_t, HitResult>> blockHits_;
};

}  // namespace ostra
