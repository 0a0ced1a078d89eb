// The sheet editor's commands: the object menus and what their items do,
// the clipboard, and undo and redo.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "model/DrawHelpers.h"
#include "model/EditHelpers.h"
#include "model/SheetEditor.h"
#include "model/WireTypes.h"
#include "platform/IMessageBox.h"

namespace ostra {

using namespace edit;

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
        case kCmdClear:
        case kCmdDuplicate:
            return SelCount != 0;
        case kCmdSelectAll:
            return !doc_.blocks.empty() || !doc_.segments.empty() || !doc_.texts.empty() ||
                   !doc_.lines.empty();
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
            Paste(PasteShift());
            return true;
        case kCmdSelectAll:
            SelectAll();
            return true;
        case kCmdDuplicate:
            if (SelCount != 0) Duplicate();
            return true;
        case kCmdClear:
            KeyPress(EditKey::Delete, {});
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
    clip_.Pastes = 0;
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
    clip_.Pastes = 0;
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

namespace {

CPoint Shifted(CPoint p, CPoint d) {
    return {ClampPx(int64_t{p.x} + d.x), ClampPx(int64_t{p.y} + d.y)};
}

}  // namespace

CPoint CSheetEditor::PasteShift() {
    if (!PasteAtPointer || clip_.Empty()) return CPoint();
    if (!pointerOver_) {
        const int32_t step = 2 * std::min<int32_t>(clip_.Pastes++, 1000);
        return CPoint(step, step);
    }
    // The top-left of everything on the clipboard goes under the pointer.
    CPoint low(INT32_MAX, INT32_MAX);
    const auto take = [&low](CPoint p) { low = CPoint(std::min(low.x, p.x), std::min(low.y, p.y)); };
    for (const auto& f : clip_.ClipFuncs) take(f->position);
    for (const auto& s : clip_.ClipSegs) take(s->start), take(s->end);
    for (const auto& t : clip_.ClipTexts) take(t->position);
    for (const auto& l : clip_.ClipLines) take(l->start), take(l->end);
    const CPoint at = Grid(pointer_);
    return CPoint(ClampPx(int64_t{at.x} - low.x), ClampPx(int64_t{at.y} - low.y));
}

void CSheetEditor::Paste(CPoint d) {
    if (clip_.Empty()) return;
    Begin();
    DropWiring();
    doc_.ClearSelection();
    SelCount = 0;
    bool wiring = false;
    for (const auto& c : clip_.ClipFuncs) {
        auto f = BlockFrom(*c, Shifted(c->position, d));
        f->selected = true;
        ++SelCount;
        f->refnum = doc_.NextRefnum();
        f->ident = BlockIdent(f->refnum);
        PushFront(doc_.blocks, std::move(f));
        wiring = true;
    }
    for (const auto& c : clip_.ClipSegs) {
        auto s = std::make_unique<COxWireSeg>(Shifted(c->start, d), Shifted(c->end, d));
        s->showName = c->showName;
        s->selected = true;
        ++SelCount;
        PushFront(doc_.segments, std::move(s));
        wiring = true;
    }
    for (const auto& c : clip_.ClipTexts) {
        auto t = std::make_unique<COxText>(Shifted(c->position, d), c->text, c->size);
        t->selected = true;
        ++SelCount;
        PushFront(doc_.texts, std::move(t));
    }
    for (const auto& c : clip_.ClipLines) {
        auto l = std::make_unique<COxLine>(Shifted(c->start, d), Shifted(c->end, d), c->width, c->colour);
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

void CSheetEditor::Duplicate() {
    // Through a clipboard of its own: what the user copied stays copied.
    CObjectClipboard own;
    const auto swapLists = [&own, this] {
        std::swap(own.ClipFuncs, clip_.ClipFuncs);
        std::swap(own.ClipSegs, clip_.ClipSegs);
        std::swap(own.ClipTexts, clip_.ClipTexts);
        std::swap(own.ClipLines, clip_.ClipLines);
    };
    swapLists();
    Copy();
    Paste();
    swapLists();
}

void CSheetEditor::SelectAll() {
    // As a rubber band over the whole sheet selects.
    SelCount = 0;
    for (auto& b : doc_.blocks) b->selected = b->mark = true, ++SelCount;
    for (auto& s : doc_.segments) s->selected = true, ++SelCount;
    for (auto& t : doc_.texts) t->selected = true, ++SelCount;
    for (auto& l : doc_.lines) l->selected = true, ++SelCount;
    host_.InvalidateAll(true);
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

namespace {

template <class List>
void Unselect(List& list) {
    for (auto& o : list) o->selected = false;
}

}  // namespace

void CSheetEditor::SelectNothing() {
    Cancel();
    Unselect(doc_.blocks), Unselect(doc_.segments), Unselect(doc_.texts), Unselect(doc_.lines);
    for (auto& b : doc_.blocks) b->mark = false;
    SelCount = 0;
    host_.InvalidateAll(true);
}

bool CSheetEditor::SelectOnlyBlock(const std::string& ident) {
    SelectNothing();
    for (auto& b : doc_.blocks) {
        if (b->ident != ident) continue;
        b->selected = true;
        SelCount = 1;
        break;
    }
    return SelCount == 1;
}

bool CSheetEditor::SelectOnlySegment(CPoint start, CPoint end) {
    SelectNothing();
    for (auto& s : doc_.segments) {
        if (s->start != start || s->end != end) continue;
        s->selected = true;
        SelCount = 1;
        break;
    }
    return SelCount == 1;
}

bool CSheetEditor::SelectOnlyText(std::size_t index) {
    SelectNothing();
    if (index >= doc_.texts.size()) return false;
    doc_.texts[index]->selected = true;
    SelCount = 1;
    return true;
}

}  // namespace ostra
