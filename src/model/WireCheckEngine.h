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
// Sheets for which these facts do not hold (a zero-length or diagonal segment,
// a segment with a negative refnum) are checked by the plain procedure.
#pragma once

#include <cstdint>
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

    // Whether the sheet (already normalised) can take the incremental form.
    static bool Applicable(const COstra_PLCDoc& doc);

    // Builds the wire points and classifies them; returns the wiring error
    // count. Leaves the document's point list as the plain procedure does.
    int Run();

  private:
    struct PointRec;
    struct OrderKey {
        int64_t creator;  // list key of the segment that made the point
        int seq;          // 1 for the second point that segment made
        uint64_t pos;
        bool operator<(const OrderKey& o) const {
            if (creator != o.creator) return creator < o.creator;
            if (seq != o.seq) return seq > o.seq;
            return pos < o.pos;
        }
    };

    void IndexSegment(COxWireSeg* s);
    void UnindexSegment(COxWireSeg* s);
    void Touch(CPoint p, COxWireSeg* s);
    void Untouch(CPoint p, COxWireSeg* s);
    void EraseSegment(COxWireSeg* s);

    // Rebuilds the nets around the seed positions as a full rebuild would.
    void Resimulate(std::vector<CPoint> seeds,
                    const std::vector<std::pair<CPoint, CPoint>>& extents);
    void UpdateActionable(PointRec& rec);
    bool Splittable(CPoint p) const;
    bool Mergeable(const PointRec& rec) const;

    void Classify(PointRec& rec, int* count);
    void Merge(PointRec& rec, std::vector<CPoint>& seeds,
               std::vector<std::pair<CPoint, CPoint>>& extents);
    void Split(PointRec& rec, std::vector<CPoint>& seeds,
               std::vector<std::pair<CPoint, CPoint>>& extents);
    COxWireSeg* FirstThrough(CPoint p, int64_t afterKey) const;
    int32_t BuildHit(CPoint p, int32_t& kind);

    COstra_PLCDoc& doc_;
    std::unordered_map<uint64_t, std::unique_ptr<PointRec>> points_;
    std::unordered_map<uint64_t, std::vector<COxWireSeg*>> touching_;
    std::unordered_map<const COxWireSeg*, int64_t> key_;
    int64_t minKey_ = 0;
    // Segments by row (horizontal) and column (vertical), in list order.
    std::unordered_map<int32_t, std::set<std::pair<int64_t, COxWireSeg*>>> rows_, cols_;
    // Point coordinates by row and by column.
    std::unordered_map<int32_t, std::set<int32_t>> pointRows_, pointCols_;
    std::set<OrderKey> actionable_, dirty_;
    std::unordered_set<COxWireSeg*> flipped_;
    uint64_t versionCounter_ = 0;
};

}  // namespace ostra
