// A seeded generator of realistic, densely wired sheets for benchmarks and
// tests: a grid of two-input blocks, each input fed from an output in the
// column before through its own vertical lane, with the habits of people
// drawing by hand: wires drawn in several clicks along one line (the check
// merges them), wires drawn backwards (it reverses them), branches that start
// inside another wire (it splits them), and named cross references. With
// `faults`, the sheet is damaged afterwards as a hand-edited or broken file
// can be: zero-length and diagonal segments, refnums of -1, and stray pieces
// that overlap, branch off or run back over existing wire.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "model/COstra_PLCDoc.h"

namespace ostra::bench {

struct GeneratorOptions {
    uint32_t seed = 1;
    int targetSegments = 1000;
    int rows = 25;             // blocks per column
    double multiClick = 0.25;  // share of horizontal runs drawn in several pieces
    double backwards = 0.15;   // share of segments drawn from their far end
    double branch = 0.2;       // share of inputs fed by a branch of another wire
    double crossRef = 0.1;     // share of inputs fed by a named cross reference
    int maxBlocks = 200000;    // stop adding columns at this many blocks
    double faults = 0;         // damaged segments per generated segment
    std::string identPrefix = "F";
    int sheetNumber = 1;
};

class SheetGenerator {
  public:
    explicit SheetGenerator(const GeneratorOptions& o) : o_(o), rng_(o.seed) {}

    // Fills `doc` (expected empty) and returns the number of segments made.
    int Generate(COstra_PLCDoc& doc) {
        doc_ = &doc;
        const int gap = 4 * o_.rows + 16;  // room for a lane per wire in each gap
        const int colWidth = 8 + gap;
        int refnum = 100 * o_.sheetNumber + 1;
        // Damage adds segments; the sheet ends with about the target count.
        const int target = static_cast<int>(o_.targetSegments / (1 + o_.faults));
        for (int col = 0; Segments() < target; ++col) {
            // Lanes of the gap before this column's inputs: branches, then main wires.
            branchLane_ = col * colWidth + 8 + 2;
            mainLane_ = branchLane_ + 2 * o_.rows;
            const int x = col * colWidth + 8 + gap;
            std::vector<COxFunc*> column;
            for (int r = 0; r < o_.rows; ++r) {
                auto f = std::make_unique<COxFunc>("AND", CPoint(x, 10 * r + 10));
                f->refnum = refnum++;
                f->ident = o_.identPrefix + std::to_string(f->refnum);
                column.push_back(f.get());
                doc.blocks.push_back(std::move(f));
            }
            if (col > 0) WireColumn(column);
            previous_ = column;
            if (static_cast<int>(doc.blocks.size()) >= o_.maxBlocks) break;
        }
        Damage();
        return Segments();
    }

  private:
    void Damage() {
        const int count = static_cast<int>(o_.faults * Segments());
        auto& segs = doc_->segments;
        for (int i = 0; i < count && !segs.empty(); ++i) {
            std::uniform_int_distribution<std::size_t> any(0, segs.size() - 1);
            std::uniform_int_distribution<int> kind(0, 5), step(1, 3);
            const COxWireSeg& base = *segs[any(rng_)];
            const CPoint a = Chance(0.5) ? base.start : base.end;
            const int d = step(rng_);
            std::unique_ptr<COxWireSeg> s;
            switch (kind(rng_)) {
                case 0:  // zero length, on a wire end
                    s = std::make_unique<COxWireSeg>(a, a);
                    break;
                case 1:  // diagonal from a wire end
                    s = std::make_unique<COxWireSeg>(a, CPoint(a.x + d, a.y + (Chance(0.5) ? d : -d)));
                    break;
                case 2:  // a refnum the hit test reads as nothing
                    segs[any(rng_)]->refnum = -1;
                    continue;
                case 3: {  // overlapping a wire along its line
                    const CPoint m((base.start.x + base.end.x) / 2, (base.start.y + base.end.y) / 2);
                    s = std::make_unique<COxWireSeg>(
                        m, base.start.y == base.end.y ? CPoint(m.x + 3 * d, m.y) : CPoint(m.x, m.y + 3 * d));
                    break;
                }
                case 4: {  // a branch starting inside a wire
                    const CPoint m((base.start.x + base.end.x) / 2, (base.start.y + base.end.y) / 2);
                    s = std::make_unique<COxWireSeg>(
                        m, base.start.y == base.end.y ? CPoint(m.x, m.y + d) : CPoint(m.x + d, m.y));
                    break;
                }
                default:  // the same wire once more, drawn backwards
                    s = std::make_unique<COxWireSeg>(base.end, base.start);
                    break;
            }
            segs.insert(segs.begin() + static_cast<std::ptrdiff_t>(any(rng_)), std::move(s));
        }
    }

    int Segments() const { return static_cast<int>(doc_->segments.size()); }
    bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }

    void Add(CPoint a, CPoint b, const std::string& name = {}) { pending_.push_back({a, b, name}); }
    // Adds the pieces of one wire as drawn: from the output, or as a whole
    // from the input back to the output.
    void Flush(bool mayReverse) {
        const bool backwards = mayReverse && Chance(o_.backwards);
        if (backwards) std::reverse(pending_.begin(), pending_.end());
        for (const Piece& p : pending_) {
            doc_->segments.push_back(
                std::make_unique<COxWireSeg>(backwards ? p.b : p.a, backwards ? p.a : p.b));
            doc_->segments.back()->name = p.name;
        }
        pending_.clear();
    }
    // A horizontal run from a to b, maybe in several clicks.
    void Run(CPoint a, CPoint b, const std::string& name = {}) {
        const int len = b.x - a.x;
        if (len >= 6 && Chance(o_.multiClick)) {
            const int m1 = a.x + len / 3;
            const int m2 = a.x + 2 * len / 3;
            Add(a, {m1, a.y}, name);
            Add({m1, a.y}, {m2, a.y});
            Add({m2, a.y}, b);
            return;
        }
        Add(a, b, name);
    }

    // A cross reference picks up the output of a block of the column before.
    template <typename Dist>
    std::string XrefName(Dist& pick) {
        ++xref_;
        return previous_[pick(rng_)]->ident;
    }

    void WireColumn(const std::vector<COxFunc*>& column) {
        // Each output of the previous column gets at most one main wire;
        // the horizontal runs of main wires are remembered for branches.
        struct Main {
            CPoint from;
            int lane;
        };
        std::vector<Main> mains;
        std::uniform_int_distribution<std::size_t> pick(0, previous_.size() - 1);
        std::vector<bool> used(previous_.size(), false);
        for (COxFunc* f : column) {
            for (int k = 1; k <= 2; ++k) {
                const CPoint in = f->PinPoint(k);
                if (Chance(o_.crossRef)) {
                    Add({in.x - 6, in.y}, in, XrefName(pick));
                    Flush(false);
                    continue;
                }
                if (!mains.empty() && Chance(o_.branch)) {
                    // Branch from inside a main wire's first run, down its own lane.
                    const Main& m = mains[std::uniform_int_distribution<std::size_t>(
                        0, mains.size() - 1)(rng_)];
                    const int lane = branchLane_++;
                    if (lane < m.lane) {
                        Add({lane, m.from.y}, {lane, in.y});
                        Run({lane, in.y}, in);
                        Flush(false);
                        continue;
                    }
                }
                std::size_t src = pick(rng_);
                for (std::size_t t = 0; t < used.size() && used[src]; ++t)
                    src = (src + 1) % used.size();
                if (used[src]) {
                    Add({in.x - 6, in.y}, in, XrefName(pick));
                    Flush(false);
                    continue;
                }
                used[src] = true;
                const CPoint out = previous_[src]->PinPoint(0);
                const int lane = mainLane_++;
                Run(out, {lane, out.y});
                Add({lane, out.y}, {lane, in.y});
                Run({lane, in.y}, in);
                Flush(true);
                mains.push_back({out, lane});
            }
        }
    }

    struct Piece {
        CPoint a, b;
        std::string name;
    };
    std::vector<Piece> pending_;
    GeneratorOptions o_;
    std::mt19937 rng_;
    COstra_PLCDoc* doc_ = nullptr;
    std::vector<COxFunc*> previous_;
    int branchLane_ = 0;
    int mainLane_ = 0;
    int xref_ = 0;
};

// A full sheet as the benchmarks use it: 225 blocks, 3,000 wire segments in
// all, 40 texts and 40 decorative lines.
inline void MakeFullSheet(COstra_PLCDoc& doc) {
    GeneratorOptions o;
    o.rows = 15;
    o.maxBlocks = 225;
    o.targetSegments = 3000;
    SheetGenerator(o).Generate(doc);
    // More wire, up to 3,000 segments, in short orthogonal runs over the sheet.
    for (int i = 0; static_cast<int>(doc.segments.size()) < 3000; ++i) {
        const CPoint a(2 + (i * 7) % 120, 2 + (i * 11) % 80);
        doc.segments.push_back(
            std::make_unique<COxWireSeg>(a, i % 2 ? CPoint(a.x + 4, a.y) : CPoint(a.x, a.y + 3)));
        doc.segments.back()->name = i % 5 ? "" : "S" + std::to_string(i);
        doc.segments.back()->showName = i % 5 == 0;
    }
    for (int i = 0; i < 40; ++i) {
        doc.texts.push_back(
            std::make_unique<COxText>(CPoint(4 + 3 * i, 80), "Note " + std::to_string(i), 12));
        doc.lines.push_back(
            std::make_unique<COxLine>(CPoint(2, 2 * i), CPoint(120, 2 * i), 1, Rgb(128, 128, 128)));
    }
}

}  // namespace ostra::bench
