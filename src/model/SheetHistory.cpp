// The undo history of a sheet.
#include "model/SheetHistory.h"

#include <utility>

namespace ostra {

namespace {

std::size_t HeapBytes(const std::string& s) {
    return s.capacity() > 15 ? s.capacity() + 1 : 0;
}
std::size_t CopyBytes(const COxFunc& f) {
    std::size_t n = sizeof f + HeapBytes(f.ident) + HeapBytes(f.functionType);
    for (const PinSlot& p : f.pins) n += HeapBytes(p.name) + HeapBytes(p.signal);
    return n;
}
std::size_t CopyBytes(const COxWireSeg& s) {
    return sizeof s + HeapBytes(s.name);
}
std::size_t CopyBytes(const COxText& t) {
    return sizeof t + HeapBytes(t.text);
}
std::size_t CopyBytes(const COxLine& l) {
    return sizeof l;
}

}  // namespace

CSheetHistory::CSheetHistory() : objectBytes_(std::make_shared<std::size_t>(0)) {}

template <typename T>
CSheetHistory::Shared<T> CSheetHistory::Share(const OwnedList<T>& list, Index<T>& index) {
    Shared<T> out;
    out.reserve(list.size());
    Index<T> next;
    next.reserve(list.size());
    for (const auto& o : list) {
        std::shared_ptr<const T> copy;
        const auto it = index.find(o.get());
        if (it != index.end() && it->second->SameContent(*o)) {
            copy = it->second;
        } else {
            // The copy tells the counter when the last snapshot holding it goes.
            const std::size_t bytes = CopyBytes(*o);
            *objectBytes_ += bytes;
            copy = std::shared_ptr<const T>(new T(*o), [counter = objectBytes_, bytes](const T* p) {
                *counter -= bytes;
                delete p;
            });
        }
        next.emplace(o.get(), copy);
        out.push_back(std::move(copy));
    }
    index = std::move(next);
    return out;
}

template <typename T>
void CSheetHistory::Adopt(OwnedList<T>& list, const Shared<T>& from, Index<T>& index) {
    list.clear();
    list.reserve(from.size());
    index.clear();
    for (const auto& copy : from) {
        list.push_back(std::make_unique<T>(*copy));
        index.emplace(list.back().get(), copy);
    }
}

CSheetHistory::Snapshot CSheetHistory::Take(const COstra_PLCDoc& doc) {
    Snapshot s;
    s.blocks = Share(doc.blocks, blockIndex_);
    s.segments = Share(doc.segments, segIndex_);
    s.texts = Share(doc.texts, textIndex_);
    s.lines = Share(doc.lines, lineIndex_);
    s.checkState = doc.checkState;
    return s;
}

void CSheetHistory::Restore(COstra_PLCDoc& doc, const Snapshot& snap) {
    doc.DeleteAllPoints();
    doc.DropHitIndex();
    Adopt(doc.blocks, snap.blocks, blockIndex_);
    Adopt(doc.segments, snap.segments, segIndex_);
    Adopt(doc.texts, snap.texts, textIndex_);
    Adopt(doc.lines, snap.lines, lineIndex_);
    doc.checkState = snap.checkState;
    doc.modified = true;
}

std::size_t CSheetHistory::ListBytes(const Snapshot& s) {
    const std::size_t entry = sizeof(std::shared_ptr<const COxFunc>);
    return sizeof s + entry * (s.blocks.capacity() + s.segments.capacity() + s.texts.capacity() +
                               s.lines.capacity());
}

void CSheetHistory::Push(std::vector<Snapshot>& stack, Snapshot s) {
    listBytes_ += ListBytes(s);
    stack.push_back(std::move(s));
}

CSheetHistory::Snapshot CSheetHistory::Pop(std::vector<Snapshot>& stack) {
    Snapshot s = std::move(stack.back());
    stack.pop_back();
    listBytes_ -= ListBytes(s);
    return s;
}

void CSheetHistory::Limit() {
    // The oldest steps go first; the latest one is always kept.
    while (undo_.size() > 1 && (undo_.size() > kDepth || KeptBytes() > kBudgetBytes)) {
        listBytes_ -= ListBytes(undo_.front());
        undo_.erase(undo_.begin());
    }
}

void CSheetHistory::BeginStep(const COstra_PLCDoc& doc) {
    if (open_) return;
    while (!redo_.empty()) Pop(redo_);
    Push(undo_, Take(doc));
    Limit();
    open_ = true;
}

void CSheetHistory::DropStep() {
    if (!open_) return;
    if (!undo_.empty()) Pop(undo_);
    open_ = false;
}

bool CSheetHistory::CancelStep(COstra_PLCDoc& doc) {
    if (!open_ || undo_.empty()) return false;
    open_ = false;
    Restore(doc, Pop(undo_));
    return true;
}

bool CSheetHistory::Travel(std::vector<Snapshot>& from, std::vector<Snapshot>& to,
                           COstra_PLCDoc& doc) {
    open_ = false;
    if (from.empty()) return false;
    Push(to, Take(doc));
    const Snapshot s = Pop(from);
    Restore(doc, s);
    return true;
}

bool CSheetHistory::Undo(COstra_PLCDoc& doc) {
    return Travel(undo_, redo_, doc);
}

bool CSheetHistory::Redo(COstra_PLCDoc& doc) {
    return Travel(redo_, undo_, doc);
}

void CSheetHistory::Clear() {
    while (!undo_.empty()) Pop(undo_);
    while (!redo_.empty()) Pop(redo_);
    open_ = false;
}

}  // namespace ostra
