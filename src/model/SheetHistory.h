// Snapshots of a sheet's content for undo and redo, sharing what did not
// change between them.
#pragma once

#include <cstddef>
#include <memory>
#include <unordered_map>
#include <vector>

#include "model/COstra_PLCDoc.h"

namespace ostra {

// Snapshots of a sheet's content for undo and redo. Objects that did not
// change between snapshots are shared, so a step that moves one block costs
// one block's copy, not a sheet's; past a memory budget the oldest steps go.
class CSheetHistory {
  public:
    static constexpr std::size_t kDepth = 100;
    static constexpr std::size_t kBudgetBytes = std::size_t{8} << 20;

    template <typename T>
    using Shared = std::vector<std::shared_ptr<const T>>;
    struct Snapshot {
        Shared<COxFunc> blocks;
        Shared<COxWireSeg> segments;
        Shared<COxText> texts;
        Shared<COxLine> lines;
        int32_t checkState = 0;
    };

    CSheetHistory();
    // The sheet's content now; unchanged objects shared with the last one taken.
    Snapshot Take(const COstra_PLCDoc& doc);
    // Puts a snapshot's content into the sheet (fresh objects, modified set).
    void Restore(COstra_PLCDoc& doc, const Snapshot& snap);

    // Called before a change; a second call before EndStep keeps the first.
    void BeginStep(const COstra_PLCDoc& doc);
    void EndStep() { open_ = false; }
    // Forgets the open step: the change did not happen after all.
    void DropStep();
    // Takes the sheet back to the open step's start and forgets the step.
    bool CancelStep(COstra_PLCDoc& doc);
    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    bool Undo(COstra_PLCDoc& doc);
    bool Redo(COstra_PLCDoc& doc);
    void Clear();
    std::size_t UndoCount() const { return undo_.size(); }
    // Memory held by the kept copies and the snapshots' lists, about.
    std::size_t KeptBytes() const { return *objectBytes_ + listBytes_; }

  private:
    template <typename T>
    using Index = std::unordered_map<const T*, std::shared_ptr<const T>>;
    template <typename T>
    Shared<T> Share(const OwnedList<T>& list, Index<T>& index);
    template <typename T>
    void Adopt(OwnedList<T>& list, const Shared<T>& from, Index<T>& index);
    static std::size_t ListBytes(const Snapshot& s);
    // Restores the newest snapshot of `from`, keeping the present in `to`.
    bool Travel(std::vector<Snapshot>& from, std::vector<Snapshot>& to, COstra_PLCDoc& doc);
    void Push(std::vector<Snapshot>& stack, Snapshot s);
    Snapshot Pop(std::vector<Snapshot>& stack);
    void Limit();

    std::vector<Snapshot> undo_;
    std::vector<Snapshot> redo_;
    bool open_ = false;
    // The copy last taken of each object now in the sheet, by address.
    Index<COxFunc> blockIndex_;
    Index<COxWireSeg> segIndex_;
    Index<COxText> textIndex_;
    Index<COxLine> lineIndex_;
    std::shared_ptr<std::size_t> objectBytes_;
    std::size_t listBytes_ = 0;
};

}  // namespace ostra
