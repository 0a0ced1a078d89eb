// Sheet editing: modes, hit testing, selection, the mouse and the keys.
#include "model/SheetEditor.h"

#include "model/EditHelpers.h"
#include "model/EditTools.h"
#include "model/WireFollow.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "model/WireTypes.h"
#include "platform/IMessageBox.h"

namespace ostra {

using namespace edit;


// --- editor ---

CSheetEditor::CSheetEditor(COstra_PLCDoc& doc, IEditorHost& host, CObjectClipboard& clipboard)
    : doc_(doc), host_(host), clip_(clipboard), idleTool_(std::make_unique<CEditTool>(*this)) {
    tools_[kModeSelect] = std::make_unique<CSelectTool>(*this);
    tools_[kModeInsertBlock] = std::make_unique<CBlockTool>(*this);
    tools_[kModeWires] = std::make_unique<CWireTool>(*this);
    tools_[kModeText] = std::make_unique<CTextTool>(*this);
    tools_[kModeLines] = std::make_unique<CLineTool>(*this);
    tools_[kModeBand] = std::make_unique<CBandTool>(*this);
    tools_[kModeTrimLine] = std::make_unique<CTrimTool>(*this);
    tools_[kModeTrimWire] = std::make_unique<CTrimTool>(*this);
}

CSheetEditor::~CSheetEditor() = default;

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

CEditTool& CSheetEditor::Tool() {
    if (EditMode >= 0 && static_cast<std::size_t>(EditMode) < tools_.size() &&
        tools_[static_cast<std::size_t>(EditMode)])
        return *tools_[static_cast<std::size_t>(EditMode)];
    return *idleTool_;
}

void CSheetEditor::LeftPress(MouseFlags flags, CPoint p) {
    if (dragging_) {
        dragging_ = false;
        history_.EndStep();
    }
    dragCancelled_ = false;
    DownPoint = p;
    Tool().Press(flags, p, Grid(p));
}

void CSheetEditor::MouseMove(MouseFlags flags, CPoint p, bool capture) {
    pointer_ = p;
    pointerOver_ = true;
    if (capture) return;
    const int32_t dx = ToGrid(int64_t{p.x} - DownPoint.x);
    const int32_t dy = ToGrid(int64_t{p.y} - DownPoint.y);
    if (dx != 0 || dy != 0)
        DownPoint = CPoint(ClampPx(int64_t{DownPoint.x} + int64_t{dx} * Scale),
                           ClampPx(int64_t{DownPoint.y} + int64_t{dy} * Scale));
    if (!flags.leftButton)
        Tool().Hover(dx, dy);
    else if (!dragCancelled_)
        Tool().Drag(dx, dy);
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
        if (!dragging_) modifiedBeforeDrag_ = doc_.modified;
        history_.BeginStep(doc_);
        dragging_ = true;
        MoveSelectionWithWires(dx, dy);
        MarkModified(wiring);
        host_.SheetChanged();
    }
    host_.InvalidateAll(false);
}

bool CSheetEditor::MoveSelectionWithWires(int32_t dx, int32_t dy) {
    const std::vector<CPoint> pins =
        WiresFollowBlocks ? SelectedPinPoints(doc_) : std::vector<CPoint>();
    if (!doc_.MoveSelection(dx, dy)) return false;
    if (!pins.empty()) {
        DropWiring();  // wire points refer into the list that changes
        FollowPins(doc_, pins, dx, dy);
        CurSegPos = -1;
    }
    return true;
}

void CSheetEditor::LeftRelease(MouseFlags flags, CPoint p) {
    if (dragging_) {
        dragging_ = false;
        history_.EndStep();
    }
    if (dragCancelled_) {
        dragCancelled_ = false;
        return;
    }
    Tool().Release(flags, p);
}

void CSheetEditor::LeftDoubleClick(CPoint p) {
    if (EditMode != kModeSelect) return;
    int32_t command = 0;
    switch (HitKindAt(p)) {
        case kViewHitBlock: command = kCmdBlockProps; break;
        case kViewHitPin: command = kCmdPinProps; break;
        case kViewHitSegStart:
        case kViewHitSegInside:
        case kViewHitSegEnd: command = kCmdWireProps; break;
        case kViewHitText: command = kCmdTextProps; break;
        case kViewHitLine: command = kCmdLineProps; break;
        default: return;  // empty sheet
    }
    MenuPoint = p;
    Command(command);
}

bool CSheetEditor::Cancel() {
    if (dragging_) {
        // The drag goes back to where it began, and is no undo step.
        dragging_ = false;
        dragCancelled_ = true;
        if (history_.CancelStep(doc_)) {
            ResetForNewContent();
            doc_.modified = modifiedBeforeDrag_;
            host_.SheetChanged();
        }
        host_.InvalidateAll(true);
        return true;
    }
    switch (EditMode) {
        case kModeSelect:
            return false;
        case kModeBand: {
            const CRect band = BandRect.Normalized();
            BandRect = CRect(-1, -1, -1, -1);
            EditMode = kModeSelect;
            dragCancelled_ = true;
            host_.DrawDragRect(CRect(), band);
            return true;
        }
        default:
            // As a right press ends the mode: placed wire segments stay.
            LeaveMode();
            host_.InvalidateAll(true);
            return true;
    }
}

void CSheetEditor::RightPress(MouseFlags, CPoint p) {
    MenuPoint = p;
    Tool().RightPress(p);
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
    if (key == EditKey::Escape) return Cancel();
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
        case EditKey::Escape:
            return false;
    }
    Begin();
    if (!MoveSelectionWithWires(dx, dy)) {
        history_.DropStep();
        return true;
    }
    MarkModified(true);
    End();
    host_.InvalidateAll(true);
    return true;
}

}  // namespace ostra
