// Sheet editing: modes, selection, dragging, keys, object commands, clipboard
// and undo.
#include "model/SheetEditor.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "model/WireTypes.h"
#include "platform/IMessageBox.h"

namespace ostra {

namespace {

constexpr Colour kWhite = Rgb(255, 255, 255);

std::string BlockIdent(int32_t refnum) {
    char buf[24];
    // "F%04.4d": the precision already pads to four digits.
    std::snprintf(buf, sizeof buf, "F%.4d", static_cast<int>(refnum));
    return buf;
}

bool Intersects(const CRect& a, const CRect& b) {
    return std::max(a.left, b.left) < std::min(a.right, b.right) &&
           std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

template <typename T>
void PushFront(OwnedList<T>& list, std::unique_ptr<T> obj) {
    list.insert(list.begin(), std::move(obj));
}

template <typename T>
T* At(OwnedList<T>& list, int32_t pos) {
    return pos >= 0 && static_cast<std::size_t>(pos) < list.size() ? list[pos].get() : nullptr;
}

// A block made from a definition at `pt`: the library part copied.
std::unique_ptr<COxFunc> BlockFrom(const COxFunc& def, CPoint pt) {
    auto f = std::make_unique<COxFunc>(def.functionType, pt);
    f->CopyFrom(def);
    return f;
}

bool IsCursorMode(int32_t mode) {
    return mode == kModeInsertBlock || mode == kModeWires || mode == kModeText ||
           mode == kModeLines || mode == kModeTrimLine || mode == kModeTrimWire;
}

int32_t CursorOf(int32_t mode) {
    switch (mode) {
        case kModeInsertBlock:
            return kCursorBlock;
        case kModeWires:
            return kCursorWires;
        case kModeText:
            return kCursorText;
        case kModeLines:
            return kCursorLines;
        case kModeTrimLine:
        case kModeTrimWire:
            return kCursorTrim;
        default:
            return kCursorNormal;
    }
}

}  // namespace

std::string PopupMenuName(PopupMenu menu) {
    switch (menu) {
        case PopupMenu::FuncBlock:
            return "Func Block Menu";
        case PopupMenu::FBPin:
            return "FB Pin Menu";
        case PopupMenu::Wire:
            return "Wire Menu";
        case PopupMenu::Text:
            return "Text Menu";
        case PopupMenu::Line:
            return "Line Menu";
        case PopupMenu::ThisSheet:
            return "This Sheet";
    }
    return {};
}

std::vector<MenuItem> PopupMenuItems(PopupMenu menu) {
    switch (menu) {
        case PopupMenu::FuncBlock:
            return {{kCmdBlockDelete, "&Delete"},
                    {kCmdBlockProps, "Pr&operties"},
                    {kCmdBlockSelect, "&Select"}};
        case PopupMenu::FBPin:
            return {{kCmdPinAdd, "&Add pin"},
                    {kCmdPinDelete, "&Delete pin"},
                    {kCmdPinInvert, "&Invert pin"},
                    {kCmdPinProps, "Pr&operties"}};
        case PopupMenu::Wire:
            return {{kCmdWireDelete, "&Delete"},
                    {kCmdWireTrim, "&Trim"},
                    {kCmdWireProps, "Pr&operties"},
                    {kCmdWireSelect, "&Select"}};
        case PopupMenu::Text:
            return {{kCmdTextDelete, "&Delete"},
                    {kCmdTextProps, "Pr&operties"},
                    {kCmdTextSelect, "&Select"}};
        case PopupMenu::Line:
            return {{kCmdLineDelete, "&Delete"},
                    {kCmdLineTrim, "&Trim"},
                    {kCmdLineProps, "Pr&operties"},
                    {kCmdLineColour, "&Colour"},
                    {kCmdLineSelect, "&Select"}};
        case PopupMenu::ThisSheet:
            return {{kCmdSheetRedraw, "&Redraw"},
                    {kCmdSheetWireCheck, "&Wire Check"},
                    {kCmdSheetSave, "&Save"},
                    {kCmdSheetSaveAs, "Save &As"}};
    }
    return {};
}

// --- history ---

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

// --- editor ---

CSheetEditor::CSheetEditor(COstra_PLCDoc& doc, IEditorHost& host, CObjectClipboard& clipboard)
    : doc_(doc), host_(host), clip_(clipboard) {}

int32_t CSheetEditor::ToGrid(int64_t v) const {
    const int64_t s = Scale > 0 ? Scale : 1;
    const int64_t q = (std::llabs(v) * 2 + s) / (2 * s);  // half away from zero
    return static_cast<int32_t>(v < 0 ? -q : q);
}

CPoint CSheetEditor::Grid(CPoint p) const {
    return {ToGrid(p.x), ToGrid(p.y)};
}

void CSheetEditor::Begin() {
    history_.BeginStep(doc_);
}

void CSheetEditor::End() {
    if (!dragging_) history_.EndStep();
    host_.SheetChanged();
}

void CSheetEditor::DropWiring() {
    doc_.DeleteAllPoints();
    doc_.DropHitIndex();
}

void CSheetEditor::MarkModified(bool wiring) {
    doc_.modified = true;
    if (wiring) {
        doc_.checkState = 0;
        DropWiring();
    }
}

void CSheetEditor::ResetForNewContent() {
    CurBlockPos = CurSegPos = CurTextPos = CurLinePos = -1;
    Hit = HitResult{};
    SelCount = 0;
    for (const auto& b : doc_.blocks) SelCount += b->selected ? 1 : 0;
    for (const auto& s : doc_.segments) SelCount += s->selected ? 1 : 0;
    for (const auto& t : doc_.texts) SelCount += t->selected ? 1 : 0;
    for (const auto& l : doc_.lines) SelCount += l->selected ? 1 : 0;
    dragging_ = false;
}

void CSheetEditor::EnterMode(int32_t mode) {
    if (IsCursorMode(mode)) {
        if (!IsCursorMode(EditMode)) savedCursor_ = CursorNow;
        CursorNow = CursorOf(mode);
        host_.SetCursor(CursorNow);
    }
    if (mode == kModeWires || mode == kModeLines) {
        Drawing = 0;
        CurSeg.reset();
        CurLine.reset();
    }
    EditMode = mode;
}

void CSheetEditor::LeaveMode() {
    if (IsCursorMode(EditMode)) {
        CursorNow = savedCursor_;
        host_.SetCursor(CursorNow);
    }
    EditMode = kModeSelect;
    Drawing = 0;
    CurSeg.reset();
    CurLine.reset();
}

COxFunc* CSheetEditor::CurrentBlock() {
    return At(doc_.blocks, CurBlockPos);
}
COxWireSeg* CSheetEditor::CurrentSegment() {
    return At(doc_.segments, CurSegPos);
}
COxText* CSheetEditor::CurrentText() {
    return At(doc_.texts, CurTextPos);
}
COxLine* CSheetEditor::CurrentLine() {
    return At(doc_.lines, CurLinePos);
}

int32_t CSheetEditor::ViewHitTest(CPoint p) {
    Hit = HitResult{};
    Hit.kind = kViewHitNone;
    Hit.refnum = 0;
    Hit.pin = 0;
    Hit.point = p;
    for (std::size_t i = 0; i < doc_.blocks.size(); ++i) {
        CurBlockPos = static_cast<int32_t>(i);
        const COxFunc& f = *doc_.blocks[i];
        if (f.bounds.Contains(p)) {
            Hit = {kViewHitBlock, CurBlockPos, f.refnum, -1, p};
            return f.refnum;
        }
        const int last = std::min(std::max(f.actualInputs, 0), kPinSlots - 1);
        for (int k = 0; k <= last; ++k) {
            if (f.pins[k].type != kPinNone && f.pins[k].bounds.Contains(p)) {
                Hit = {kViewHitPin, CurBlockPos, f.refnum, k, p};
                return f.refnum;
            }
        }
    }
    for (std::size_t i = 0; i < doc_.segments.size(); ++i) {
        CurSegPos = static_cast<int32_t>(i);
        const COxWireSeg& s = *doc_.segments[i];
        if (!s.bounds.Contains(p)) continue;
        const CRect box(p.x - 3, p.y - 3, p.x + 3, p.y + 3);
        const DrawParams dp{Scale, {}, false};
        const CPoint a = PxPoint(s.start, dp);
        const CPoint b = PxPoint(s.end, dp);
        const int32_t kind = box.Contains(a)   ? kViewHitSegStart
                             : box.Contains(b) ? kViewHitSegEnd
                                               : kViewHitSegInside;
        Hit = {kind, CurSegPos, s.refnum, -1, p};
        return s.refnum;
    }
    for (std::size_t i = 0; i < doc_.texts.size(); ++i) {
        CurTextPos = static_cast<int32_t>(i);
        if (doc_.texts[i]->bounds.Contains(p)) {
            Hit = {kViewHitText, CurTextPos, 0, -1, p};
            return 0;
        }
    }
    for (std::size_t i = 0; i < doc_.lines.size(); ++i) {
        CurLinePos = static_cast<int32_t>(i);
        if (doc_.lines[i]->bounds.Contains(p)) {
            Hit = {kViewHitLine, CurLinePos, 0, -1, p};
            return 0;
        }
    }
    return -1;
}

void CSheetEditor::LimitSelCount() {
    // A release lost between two presses (a window taking the mouse) can
    // leave the count stale; it never counts more objects than there are.
    const auto total =
        doc_.blocks.size() + doc_.segments.size() + doc_.texts.size() + doc_.lines.size();
    if (SelCount > static_cast<int64_t>(total)) SelCount = static_cast<int32_t>(total);
}

int32_t CSheetEditor::HitKindAt(CPoint p) {
    // An object whose refnum is -1 counts as nothing hit.
    return ViewHitTest(p) < 0 ? kViewHitNone : Hit.kind;
}

// The flags and bounds of the object of the last hit.
bool CSheetEditor::HitFlags(int32_t kind, bool*& sel, bool*& mark, CRect& bounds) {
    switch (kind) {
        case kViewHitBlock:
            if (COxFunc* f = CurrentBlock()) {
                sel = &f->selected, mark = &f->mark, bounds = f->bounds;
                return true;
            }
            return false;
        case kViewHitSegStart:
        case kViewHitSegInside:
        case kViewHitSegEnd:
            if (COxWireSeg* s = CurrentSegment()) {
                sel = &s->selected, mark = &s->mark, bounds = s->bounds;
                return true;
            }
            return false;
        case kViewHitText:
            if (COxText* t = CurrentText()) {
                sel = &t->selected, mark = &t->mark, bounds = t->bounds;
                return true;
            }
            return false;
        case kViewHitLine:
            if (COxLine* l = CurrentLine()) {
                sel = &l->selected, mark = &l->mark, bounds = l->bounds;
                return true;
            }
            return false;
        default:
            return false;
    }
}

void CSheetEditor::Toggle(bool& sel, bool& mark, int32_t& selCount) {
    if (sel && mark && selCount > 0) --selCount;
    if (!sel && !mark) ++selCount;
    const bool now = !mark;
    sel = mark = now;
}

// --- mouse ---

void CSheetEditor::LeftPress(MouseFlags flags, CPoint p) {
    if (dragging_) {
        dragging_ = false;
        history_.EndStep();
    }
    DownPoint = p;
    const CPoint g = Grid(p);
    switch (EditMode) {
        case kModeInsertBlock: {
            if (const COxFunc* def = host_.SelectedLibFunc()) {
                Begin();
                auto f = BlockFrom(*def, g);
                f->refnum = doc_.NextRefnum();
                f->ident = BlockIdent(f->refnum);
                PushFront(doc_.blocks, std::move(f));
                MarkModified(true);
                End();
            }
            LeaveMode();
            host_.InvalidateAll(true);
            host_.CheckBlockCount();
            return;
        }
        case kModeWires:
            AddWireStep(g);
            return;
        case kModeText: {
            auto t = std::make_unique<COxText>(g, TextDialog.text, TextDialog.size);
            if (!t->text.empty()) {
                Begin();
                PushFront(doc_.texts, std::move(t));
                MarkModified(false);
                End();
                host_.InvalidateAll(true);
            }
            LeaveMode();
            return;
        }
        case kModeLines:
            if (Drawing && CurLine) {
                CurLine->end = g;
                if (CurLine->end != CurLine->start) {
                    Begin();
                    PushFront(doc_.lines, std::move(CurLine));
                    MarkModified(false);
                    End();
                    host_.InvalidateAll(true);
                }
            }
            CurLine = std::make_unique<COxLine>(g, g, 2, kBlue);
            Drawing = 1;
            return;
        case kModeTrimLine:
        case kModeTrimWire: {
            const CPoint m = Grid(MenuPoint);
            const DrawParams dp{Scale, {}, false};
            if (EditMode == kModeTrimLine) {
                if (COxLine* l = CurrentLine()) {
                    Begin();
                    if (l->Trim(m, g) > 0) l->Draw(nullptr, dp);
                    MarkModified(false);
                    End();
                    host_.InvalidateRect(l->bounds, true);
                }
            } else if (COxWireSeg* s = CurrentSegment()) {
                Begin();
                if (s->Trim(m, g) > 0) s->Draw(nullptr, dp);
                MarkModified(true);
                End();
                host_.InvalidateRect(s->bounds, true);
            }
            LeaveMode();
            return;
        }
        case kModeSelect:
        case kModeBand:
            Select(flags, p);
            return;
        default:
            return;
    }
}

void CSheetEditor::Select(MouseFlags flags, CPoint p) {
    const bool toggleKey = flags.shift || flags.ctrl;
    const int32_t kind = HitKindAt(p);
    if (kind == kViewHitNone) {
        if (!toggleKey) {
            doc_.ClearSelection();
            host_.InvalidateAll(true);
        }
        BandRect = CRect(p.x, p.y, p.x, p.y);
        EditMode = kModeBand;
        return;
    }
    if (kind == kViewHitPin) return;
    bool* sel = nullptr;
    bool* mark = nullptr;
    CRect bounds;
    if (!HitFlags(kind, sel, mark, bounds)) return;
    if (!toggleKey && !*sel && SelCount != 0) {
        doc_.ClearSelection();
        SelCount = 0;
        host_.InvalidateAll(true);
    }
    if (!*sel) ++SelCount;
    *sel = true;
    LimitSelCount();
    CRect r = bounds.Inflated(3);
    if (kind == kViewHitBlock) r.left -= Scale, r.right += Scale;
    host_.InvalidateRect(r, true);
}

void CSheetEditor::AddWireStep(CPoint g) {
    if (Drawing && CurSeg) {
        CurSeg->end = g;
        const CPoint s = CurSeg->start;
        const CPoint e = CurSeg->end;
        if (s == e) {
            CurSeg.reset();
        } else {
            Begin();
            if (s.x != e.x && s.y != e.y) {
                if (std::abs(int64_t{e.x} - s.x) < 2) {
                    CurSeg->end = CPoint(s.x, e.y);
                    PushFront(doc_.segments, std::move(CurSeg));
                    CurSeg = std::make_unique<COxWireSeg>(CPoint(s.x, e.y), e);
                } else {
                    const int32_t mx = static_cast<int32_t>((int64_t{s.x} + e.x) / 2);
                    CurSeg->end = CPoint(mx, s.y);
                    PushFront(doc_.segments, std::move(CurSeg));
                    PushFront(doc_.segments,
                              std::make_unique<COxWireSeg>(CPoint(mx, s.y), CPoint(mx, e.y)));
                    CurSeg = std::make_unique<COxWireSeg>(CPoint(mx, e.y), e);
                }
            }
            PushFront(doc_.segments, std::move(CurSeg));
            MarkModified(true);
            End();
            host_.InvalidateAll(true);
        }
    }
    CurSeg = std::make_unique<COxWireSeg>(g, g);
    Drawing = 1;
}

void CSheetEditor::MouseMove(MouseFlags flags, CPoint p, bool capture) {
    if (capture) return;
    const int32_t dx = ToGrid(int64_t{p.x} - DownPoint.x);
    const int32_t dy = ToGrid(int64_t{p.y} - DownPoint.y);
    if (dx != 0 || dy != 0)
        DownPoint = CPoint(ClampPx(int64_t{DownPoint.x} + int64_t{dx} * Scale),
                           ClampPx(int64_t{DownPoint.y} + int64_t{dy} * Scale));

    if (!flags.leftButton) {
        if ((EditMode == kModeWires || EditMode == kModeLines) && Drawing && (dx != 0 || dy != 0)) {
            CPoint* start = nullptr;
            CPoint* end = nullptr;
            if (EditMode == kModeWires && CurSeg) start = &CurSeg->start, end = &CurSeg->end;
            if (EditMode == kModeLines && CurLine) start = &CurLine->start, end = &CurLine->end;
            if (!start) return;
            const DrawParams dp{Scale, {}, false};
            auto px = [&dp](CPoint g) { return PxPoint(g, dp); };
            host_.DrawPreviewLine(px(*end), px(*start), kWhite);
            *end = CPoint(end->x + dx, end->y + dy);
            host_.DrawPreviewLine(px(*start), px(*end), EditMode == kModeWires ? kBlack : kBlue);
        }
        return;
    }
    if (EditMode == kModeBand) {
        if (dx != 0 || dy != 0) {
            const CRect before = BandRect;
            BandRect.right = DownPoint.x;
            BandRect.bottom = DownPoint.y;
            host_.DrawDragRect(BandRect, before);
        } else {
            DragSelection(0, 0);
        }
        return;
    }
    if (SelCount != 0) DragSelection(dx, dy);
}

void CSheetEditor::DragSelection(int32_t dx, int32_t dy) {
    if (SelCount == 0) return;
    bool any = false;
    bool wiring = false;
    for (auto& b : doc_.blocks) any |= b->selected, wiring |= b->selected;
    for (auto& s : doc_.segments) any |= s->selected, wiring |= s->selected;
    for (auto& t : doc_.texts) any |= t->selected;
    for (auto& l : doc_.lines) any |= l->selected;
    if (any) {
        // One drag is one undo step, from the first move to the release; a
        // move below one grid step still drops the check state, so it counts.
        history_.BeginStep(doc_);
        dragging_ = true;
        doc_.MoveSelection(dx, dy);
        MarkModified(wiring);
        host_.SheetChanged();
    }
    host_.InvalidateAll(false);
}

void CSheetEditor::LeftRelease(MouseFlags flags, CPoint p) {
    if (dragging_) {
        dragging_ = false;
        history_.EndStep();
    }
    if (EditMode == kModeBand) {
        const CRect band = BandRect.Normalized();
        int32_t count = 0;
        for (auto& b : doc_.blocks)
            if (Intersects(b->bounds, band)) b->selected = b->mark = true, ++count;
        for (auto& s : doc_.segments)
            if (Intersects(s->bounds, band)) s->selected = true, ++count;
        for (auto& t : doc_.texts)
            if (Intersects(t->bounds, band)) t->selected = true, ++count;
        for (auto& l : doc_.lines)
            if (Intersects(l->bounds, band)) l->selected = true, ++count;
        SelCount = count;
        EditMode = kModeSelect;
        BandRect = CRect(-1, -1, -1, -1);
        host_.DrawDragRect(CRect(), band);
        host_.InvalidateAll(true);
        return;
    }
    const int32_t kind = HitKindAt(p);
    if (kind < kViewHitBlock || kind > kViewHitLine || !(flags.shift || flags.ctrl)) return;
    bool* sel = nullptr;
    bool* mark = nullptr;
    CRect bounds;
    if (!HitFlags(kind, sel, mark, bounds)) return;
    Toggle(*sel, *mark, SelCount);
    host_.InvalidateRect(
        CRect(bounds.left - Scale - 3, bounds.top - 3, bounds.right + Scale + 3, bounds.bottom + 3),
        true);
}

void CSheetEditor::RightPress(MouseFlags, CPoint p) {
    MenuPoint = p;
    switch (EditMode) {
        case kModeInsertBlock:
        case kModeTrimLine:
        case kModeTrimWire:
            LeaveMode();
            return;
        case kModeWires:
        case kModeLines:
            LeaveMode();
            host_.InvalidateAll(true);
            return;
        case kModeSelect:
        case kModeText:
        case kModeBand:
            ShowObjectMenu(p);
            return;
        default:
            return;
    }
}

std::vector<MenuItem> CSheetEditor::PinMenuItems() const {
    std::vector<MenuItem> items = PopupMenuItems(PopupMenu::FBPin);
    const COxFunc* f = At(const_cast<OwnedList<COxFunc>&>(doc_.blocks), CurBlockPos);
    if (!f) return items;
    const int slot = Hit.pin;
    const int32_t type = slot >= 0 && slot < kPinSlots ? f->pins[slot].type : kPinNone;
    items[0].enabled = f->canChange && f->actualInputs < 15;
    items[1].enabled = f->canChange && f->actualInputs > f->minInputs;
    items[2].enabled = type != kPinAnalogue;
    return items;
}

void CSheetEditor::ShowObjectMenu(CPoint p) {
    PopupMenu menu = PopupMenu::ThisSheet;
    switch (HitKindAt(p)) {
        case kViewHitPin:
            menu = PopupMenu::FBPin;
            break;
        case kViewHitBlock:
            menu = PopupMenu::FuncBlock;
            break;
        case kViewHitSegStart:
        case kViewHitSegInside:
        case kViewHitSegEnd:
            menu = PopupMenu::Wire;
            break;
        case kViewHitText:
            menu = PopupMenu::Text;
            break;
        case kViewHitLine:
            menu = PopupMenu::Line;
            break;
        default:
            break;
    }
    const std::vector<MenuItem> items =
        menu == PopupMenu::FBPin ? PinMenuItems() : PopupMenuItems(menu);
    const int32_t id = host_.ShowPopupMenu(menu, items, p);
    if (id == 0) return;
    if (menu == PopupMenu::ThisSheet)
        host_.SheetCommand(id);
    else
        Command(id);
}

// --- keys ---

bool CSheetEditor::KeyPress(EditKey key, MouseFlags flags) {
    if (SelCount == 0) return false;
    const int32_t step = flags.ctrl ? 8 : 1;
    int32_t dx = 0, dy = 0;
    switch (key) {
        case EditKey::Up:
            dy = -step;
            break;
        case EditKey::Down:
            dy = step;
            break;
        case EditKey::Left:
            dx = -step;
            break;
        case EditKey::Right:
            dx = step;
            break;
        case EditKey::Delete: {
            if (host_.Msg().Show("Are you sure you want to delete these items?",
                                 "Delete Selected Items", MsgIcon::Question,
                                 MsgButtons::OkCancelDefCancel) != MsgResult::Ok)
                return true;
            Begin();
            DropWiring();
            const bool changed = doc_.DeleteSelection();
            SelCount = 0;
            CurBlockPos = CurSegPos = CurTextPos = CurLinePos = -1;
            if (!changed) {
                history_.DropStep();
                return true;
            }
            MarkModified(true);
            End();
            host_.InvalidateAll(true);
            host_.CheckBlockCount();
            return true;
        }
        case EditKey::Other:
            return false;
    }
    Begin();
    if (!doc_.MoveSelection(dx, dy)) {
        history_.DropStep();
        return true;
    }
    MarkModified(true);
    End();
    host_.InvalidateAll(true);
    return true;
}

// --- commands ---

bool CSheetEditor::CommandEnabled(int32_t id) const {
    switch (id) {
        case kCmdInsertBlock:
        case kCmdToolBlock:
            return host_.LibraryLoaded();
        case kCmdCopy:
        case kCmdCut:
            return SelCount != 0;
        case kCmdPaste:
            return !clip_.Empty();
        case kCmdUndo:
            return history_.CanUndo();
        case kCmdRedo:
            return history_.CanRedo();
        default:
            return true;
    }
}

bool CSheetEditor::Command(int32_t id) {
    switch (id) {
        case kCmdInsertBlock:
        case kCmdToolBlock:
            if (!host_.LibraryLoaded()) return true;
            if (host_.RunLibraryDialog() && host_.SelectedLibFunc()) EnterMode(kModeInsertBlock);
            return true;
        case kCmdInsertWires:
        case kCmdToolWires:
            EnterMode(kModeWires);
            return true;
        case kCmdInsertLines:
        case kCmdToolLines:
            EnterMode(kModeLines);
            return true;
        case kCmdInsertText:
        case kCmdToolText:
            EnterMode(kModeText);
            if (!host_.RunTextProps(TextDialog)) LeaveMode();
            return true;
        case kCmdBlockDelete:
            DeleteObject(kViewHitBlock);
            return true;
        case kCmdWireDelete:
            DeleteObject(kViewHitSegInside);
            return true;
        case kCmdTextDelete:
            DeleteObject(kViewHitText);
            return true;
        case kCmdLineDelete:
            DeleteObject(kViewHitLine);
            return true;
        case kCmdBlockSelect:
            SelectObject(kViewHitBlock);
            return true;
        case kCmdWireSelect:
            SelectObject(kViewHitSegInside);
            return true;
        case kCmdTextSelect:
            SelectObject(kViewHitText);
            return true;
        case kCmdLineSelect:
            SelectObject(kViewHitLine);
            return true;
        case kCmdPinAdd:
            AddPin();
            return true;
        case kCmdPinDelete:
            DeletePin();
            return true;
        case kCmdPinInvert:
            InvertPin();
            return true;
        case kCmdBlockProps:
            BlockProperties();
            return true;
        case kCmdPinProps:
            PinProperties();
            return true;
        case kCmdWireProps:
            WireProperties();
            return true;
        case kCmdTextProps:
            TextProperties();
            return true;
        case kCmdLineProps:
            LineProperties();
            return true;
        case kCmdLineColour:
            LineColour();
            return true;
        case kCmdWireTrim:
            if (CurrentSegment()) EnterMode(kModeTrimWire);
            return true;
        case kCmdLineTrim:
            if (CurrentLine()) EnterMode(kModeTrimLine);
            return true;
        case kCmdCopy:
            if (SelCount != 0) Copy();
            return true;
        case kCmdCut:
            if (SelCount != 0) Cut();
            return true;
        case kCmdPaste:
            Paste();
            return true;
        case kCmdUndo:
            Travel(false);
            return true;
        case kCmdRedo:
            Travel(true);
            return true;
        default:
            return false;
    }
}

void CSheetEditor::DeleteObject(int32_t kind) {
    std::string text, title;
    bool selected = false;
    switch (kind) {
        case kViewHitBlock: {
            const COxFunc* f = CurrentBlock();
            if (!f) return;
            text = "Delete Function Block?", title = f->ident, selected = f->selected;
            break;
        }
        case kViewHitSegInside: {
            const COxWireSeg* s = CurrentSegment();
            if (!s) return;
            text = "Delete Wire Segment?", title = s->name, selected = s->selected;
            break;
        }
        case kViewHitText: {
            const COxText* t = CurrentText();
            if (!t) return;
            text = "Delete Text?", title = t->text, selected = t->selected;
            break;
        }
        case kViewHitLine: {
            const COxLine* l = CurrentLine();
            if (!l) return;
            text = "Delete Line?", title = "Decorative Line", selected = l->selected;
            break;
        }
        default:
            return;
    }
    if (host_.Msg().Show(text, title, MsgIcon::Question, MsgButtons::OkCancel) != MsgResult::Ok)
        return;
    if (selected && SelCount > 0) --SelCount;
    Begin();
    const bool wiring = kind == kViewHitBlock || kind == kViewHitSegInside;
    if (wiring) DropWiring();
    switch (kind) {
        case kViewHitBlock:
            doc_.blocks.erase(doc_.blocks.begin() + CurBlockPos);
            CurBlockPos = -1;
            break;
        case kViewHitSegInside:
            doc_.segments.erase(doc_.segments.begin() + CurSegPos);
            CurSegPos = -1;
            break;
        case kViewHitText:
            doc_.texts.erase(doc_.texts.begin() + CurTextPos);
            CurTextPos = -1;
            break;
        default:
            doc_.lines.erase(doc_.lines.begin() + CurLinePos);
            CurLinePos = -1;
            break;
    }
    MarkModified(wiring);
    End();
    LimitSelCount();
    host_.InvalidateAll(true);
    if (kind == kViewHitBlock) host_.CheckBlockCount();
}

void CSheetEditor::SelectObject(int32_t kind) {
    bool* sel = nullptr;
    bool* mark = nullptr;
    CRect bounds;
    if (!HitFlags(kind, sel, mark, bounds)) return;
    Toggle(*sel, *mark, SelCount);
    LimitSelCount();
    host_.InvalidateAll(true);
}

void CSheetEditor::AddPin() {
    COxFunc* f = CurrentBlock();
    if (!f) return;
    if (!f->canChange) {
        host_.Msg().Show("Sorry, this FB has fixed pins", "Add Pin", MsgIcon::Exclamation);
        return;
    }
    if (f->actualInputs >= 15) {
        host_.Msg().Show("Sorry, maximum number of pins in use", "Add Pin", MsgIcon::Exclamation);
        return;
    }
    Begin();
    ++f->actualInputs;
    f->Draw(nullptr, DrawParams{Scale, {}, false});
    MarkModified(true);
    End();
    host_.InvalidateRect(f->bounds.Inflated(Scale * 3), true);
}

void CSheetEditor::DeletePin() {
    COxFunc* f = CurrentBlock();
    if (!f) return;
    if (!f->canChange) {
        host_.Msg().Show("Sorry, this FB has fixed pins", "Delete Pin", MsgIcon::Exclamation);
        return;
    }
    if (f->actualInputs > f->minInputs) {
        Begin();
        --f->actualInputs;
        MarkModified(true);
        End();
        host_.InvalidateAll(true);
        return;
    }
    host_.Msg().Show("Sorry, down to minimum pins", "Delete Pin", MsgIcon::Exclamation);
}

void CSheetEditor::InvertPin() {
    COxFunc* f = CurrentBlock();
    if (!f) return;
    const int slot = Hit.pin;
    const int32_t type = slot >= 0 && slot < kPinSlots ? f->pins[slot].type : kPinNone;
    if (type == kPinDigital || type == kPinInverted) {
        Begin();
        f->pins[slot].type = type == kPinDigital ? kPinInverted : kPinDigital;
        MarkModified(false);
        End();
        f->Draw(nullptr, DrawParams{Scale, {}, false});
        host_.InvalidateRect(f->bounds.Inflated(Scale * 3), true);
        return;
    }
    host_.Msg().Show(type == kPinAnalogue ? "Sorry, Can't invert analog pin" : "No pin selected",
                     "Invert Pin", MsgIcon::Exclamation);
}

void CSheetEditor::BlockProperties() {
    COxFunc* f = CurrentBlock();
    if (!f) return;
    FBPropsFields fields = FBPropsFields::From(*f);
    if (!host_.RunFBProps(fields)) return;
    f = CurrentBlock();
    if (!f) return;
    Begin();
    fields.ApplyTo(*f);
    MarkModified(true);
    End();
    host_.InvalidateAll(true);
}

void CSheetEditor::PinProperties() {
    const COxFunc* f = CurrentBlock();
    if (!f) return;
    host_.RunPinProps(PinPropsFields::From(*f, Hit.pin));
}

void CSheetEditor::WireProperties() {
    COxWireSeg* s = CurrentSegment();
    if (!s) return;
    const COxWireSeg before = *s;
    WSPropsFields fields = WSPropsFields::From(*s);
    if (!host_.RunWSProps(fields)) return;
    s = CurrentSegment();
    if (!s) return;
    Begin();
    fields.ApplyTo(*s);
    if (!s->Differs(before)) {
        // Only the show-name flag (or nothing) changed: kept, but the sheet
        // is not marked and no undo step is made.
        history_.DropStep();
        return;
    }
    MarkModified(true);
    End();
    host_.InvalidateAll(true);
}

void CSheetEditor::TextProperties() {
    COxText* t = CurrentText();
    if (!t) return;
    TextDialog.text = t->text;
    TextDialog.size = t->size;
    if (!host_.RunTextProps(TextDialog)) return;
    t = CurrentText();
    if (!t) return;
    if (t->text == TextDialog.text && t->size == TextDialog.size) return;
    Begin();
    t->size = TextDialog.size;
    t->text = TextDialog.text;
    MarkModified(false);
    End();
    host_.InvalidateAll(true);
}

void CSheetEditor::LineProperties() {
    COxLine* l = CurrentLine();
    if (!l) return;
    LinePropsFields fields = LinePropsFields::From(*l);
    if (!host_.RunLineProps(fields)) return;
    l = CurrentLine();
    if (!l) return;
    Begin();
    fields.ApplyTo(*l);
    MarkModified(false);
    End();
    host_.InvalidateAll(true);
}

void CSheetEditor::LineColour() {
    COxLine* l = CurrentLine();
    if (!l) return;
    Colour c = l->colour;
    if (!host_.ChooseColour(c) || c == 0) return;
    l = CurrentLine();
    if (!l) return;
    Begin();
    l->colour = c;
    MarkModified(false);
    End();
    host_.InvalidateRect(l->bounds, true);
}

void CSheetEditor::Copy() {
    const CPoint d(2, 2);
    clip_.ClipFuncs.clear();
    for (const auto& b : doc_.blocks) {
        if (!b->selected) continue;
        auto f = BlockFrom(*b, b->position + d);
        f->ident = "F";
        f->refnum = 0;
        PushFront(clip_.ClipFuncs, std::move(f));
    }
    clip_.ClipSegs.clear();
    for (const auto& s : doc_.segments)
        if (s->selected)
            PushFront(clip_.ClipSegs, std::make_unique<COxWireSeg>(s->start + d, s->end + d));
    clip_.ClipTexts.clear();
    for (const auto& t : doc_.texts)
        if (t->selected)
            PushFront(clip_.ClipTexts,
                      std::make_unique<COxText>(t->position + d, t->text, t->size));
    clip_.ClipLines.clear();
    for (const auto& l : doc_.lines)
        if (l->selected)
            PushFront(clip_.ClipLines,
                      std::make_unique<COxLine>(l->start + d, l->end + d, l->width, l->colour));
}

namespace {

// Moves the selected objects of one list to the front of `clip`, in list order.
template <typename T, typename Shift>
bool CutList(OwnedList<T>& list, OwnedList<T>& clip, Shift shift) {
    clip.clear();
    bool any = false;
    for (auto it = list.begin(); it != list.end();) {
        if ((*it)->selected) {
            shift(**it);
            PushFront(clip, std::move(*it));
            it = list.erase(it);
            any = true;
        } else {
            ++it;
        }
    }
    return any;
}

}  // namespace

void CSheetEditor::Cut() {
    const CPoint d(2, 2);
    Begin();
    DropWiring();
    const bool b =
        CutList(doc_.blocks, clip_.ClipFuncs, [&](COxFunc& f) { f.position = f.position + d; });
    const bool s = CutList(doc_.segments, clip_.ClipSegs,
                           [&](COxWireSeg& w) { w.start = w.start + d, w.end = w.end + d; });
    const bool t =
        CutList(doc_.texts, clip_.ClipTexts, [&](COxText& x) { x.position = x.position + d; });
    const bool l = CutList(doc_.lines, clip_.ClipLines,
                           [&](COxLine& x) { x.start = x.start + d, x.end = x.end + d; });
    CurBlockPos = CurSegPos = CurTextPos = CurLinePos = -1;
    if (b || s || t || l) {
        MarkModified(b || s);
        End();
    } else {
        history_.DropStep();
    }
    SelCount = 0;
    host_.InvalidateAll(true);
    host_.CheckBlockCount();
}

void CSheetEditor::Paste() {
    if (clip_.Empty()) return;
    Begin();
    DropWiring();
    doc_.ClearSelection();
    SelCount = 0;
    bool wiring = false;
    for (const auto& c : clip_.ClipFuncs) {
        auto f = BlockFrom(*c, c->position);
        f->selected = true;
        ++SelCount;
        f->refnum = doc_.NextRefnum();
        f->ident = BlockIdent(f->refnum);
        PushFront(doc_.blocks, std::move(f));
        wiring = true;
    }
    for (const auto& c : clip_.ClipSegs) {
        auto s = std::make_unique<COxWireSeg>(c->start, c->end);
        s->showName = c->showName;
        s->selected = true;
        ++SelCount;
        PushFront(doc_.segments, std::move(s));
        wiring = true;
    }
    for (const auto& c : clip_.ClipTexts) {
        auto t = std::make_unique<COxText>(c->position, c->text, c->size);
        t->selected = true;
        ++SelCount;
        PushFront(doc_.texts, std::move(t));
    }
    for (const auto& c : clip_.ClipLines) {
        auto l = std::make_unique<COxLine>(c->start, c->end, c->width, c->colour);
        l->selected = true;
        ++SelCount;
        PushFront(doc_.lines, std::move(l));
    }
    CurBlockPos = CurSegPos = CurTextPos = CurLinePos = -1;
    MarkModified(wiring);
    End();
    host_.InvalidateAll(false);
    host_.CheckBlockCount();
}

void CSheetEditor::Travel(bool redo) {
    if (Drawing) LeaveMode();
    dragging_ = false;
    if (!(redo ? history_.Redo(doc_) : history_.Undo(doc_))) return;
    ResetForNewContent();
    host_.SheetChanged();
    host_.InvalidateAll(true);
    host_.CheckBlockCount();
}

}  // namespace ostra
