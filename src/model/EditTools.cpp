// The editing tools of the sheet editor's modes.
#include "model/EditTools.h"

#include <cstdlib>

#include "model/EditHelpers.h"

namespace ostra {

using namespace edit;

// --- defaults ---

void CEditTool::Press(MouseFlags, CPoint, CPoint) {}

void CEditTool::Hover(int32_t, int32_t) {}

void CEditTool::Drag(int32_t dx, int32_t dy) {
    if (ed_.SelCount != 0) ed_.DragSelection(dx, dy);
}

void CEditTool::Release(MouseFlags flags, CPoint p) {
    const int32_t kind = ed_.HitKindAt(p);
    if (kind < kViewHitBlock || kind > kViewHitLine || !(flags.shift || flags.ctrl)) return;
    bool* sel = nullptr;
    bool* mark = nullptr;
    CRect bounds;
    if (!ed_.HitFlags(kind, sel, mark, bounds)) return;
    CSheetEditor::Toggle(*sel, *mark, ed_.SelCount);
    const int32_t s = ed_.Scale;
    Host().InvalidateRect(
        CRect(bounds.left - s - 3, bounds.top - 3, bounds.right + s + 3, bounds.bottom + 3), true);
}

void CEditTool::RightPress(CPoint) {}

// --- selection ---

void CSelectTool::Press(MouseFlags flags, CPoint p, CPoint) {
    const bool toggleKey = flags.shift || flags.ctrl;
    const int32_t kind = ed_.HitKindAt(p);
    if (kind == kViewHitNone) {
        if (!toggleKey) {
            Doc().ClearSelection();
            Host().InvalidateAll(true);
        }
        ed_.BandRect = CRect(p.x, p.y, p.x, p.y);
        ed_.EditMode = kModeBand;
        return;
    }
    if (kind == kViewHitPin) return;
    bool* sel = nullptr;
    bool* mark = nullptr;
    CRect bounds;
    if (!ed_.HitFlags(kind, sel, mark, bounds)) return;
    if (!toggleKey && !*sel && ed_.SelCount != 0) {
        Doc().ClearSelection();
        ed_.SelCount = 0;
        Host().InvalidateAll(true);
    }
    if (!*sel) ++ed_.SelCount;
    *sel = true;
    ed_.LimitSelCount();
    CRect r = bounds.Inflated(3);
    if (kind == kViewHitBlock) r.left -= ed_.Scale, r.right += ed_.Scale;
    Host().InvalidateRect(r, true);
}

void CSelectTool::RightPress(CPoint p) {
    ed_.ShowObjectMenu(p);
}

void CBandTool::Drag(int32_t dx, int32_t dy) {
    if (dx == 0 && dy == 0) {
        ed_.DragSelection(0, 0);
        return;
    }
    const CRect before = ed_.BandRect;
    ed_.BandRect.right = ed_.DownPoint.x;
    ed_.BandRect.bottom = ed_.DownPoint.y;
    Host().DrawDragRect(ed_.BandRect, before);
}

void CBandTool::Release(MouseFlags, CPoint) {
    const CRect band = ed_.BandRect.Normalized();
    COstra_PLCDoc& doc = Doc();
    int32_t count = 0;
    for (auto& b : doc.blocks)
        if (Intersects(b->bounds, band)) b->selected = b->mark = true, ++count;
    for (auto& s : doc.segments)
        if (Intersects(s->bounds, band)) s->selected = true, ++count;
    for (auto& t : doc.texts)
        if (Intersects(t->bounds, band)) t->selected = true, ++count;
    for (auto& l : doc.lines)
        if (Intersects(l->bounds, band)) l->selected = true, ++count;
    ed_.SelCount = count;
    ed_.EditMode = kModeSelect;
    ed_.BandRect = CRect(-1, -1, -1, -1);
    Host().DrawDragRect(CRect(), band);
    Host().InvalidateAll(true);
}

// --- placing ---

void CBlockTool::Press(MouseFlags, CPoint, CPoint g) {
    if (const COxFunc* def = Host().SelectedLibFunc()) {
        Begin();
        auto f = BlockFrom(*def, g);
        f->refnum = Doc().NextRefnum();
        f->ident = BlockIdent(f->refnum);
        PushFront(Doc().blocks, std::move(f));
        MarkModified(true);
        End();
    }
    ed_.LeaveMode();
    Host().InvalidateAll(true);
    Host().CheckBlockCount();
}

void CBlockTool::RightPress(CPoint) {
    ed_.LeaveMode();
}

void CTextTool::Press(MouseFlags, CPoint, CPoint g) {
    auto t = std::make_unique<COxText>(g, ed_.TextDialog.text, ed_.TextDialog.size);
    if (!t->text.empty()) {
        Begin();
        PushFront(Doc().texts, std::move(t));
        MarkModified(false);
        End();
        Host().InvalidateAll(true);
    }
    ed_.LeaveMode();
}

void CTextTool::RightPress(CPoint p) {
    ed_.ShowObjectMenu(p);
}

// --- wires and lines ---

void CChainTool::Hover(int32_t dx, int32_t dy) {
    if (!ed_.Drawing || (dx == 0 && dy == 0)) return;
    CPoint* start = nullptr;
    CPoint* end = nullptr;
    Colour colour = kBlack;
    if (!Piece(start, end, colour)) return;
    const DrawParams dp = Params();
    auto px = [&dp](CPoint g) { return PxPoint(g, dp); };
    Host().DrawPreviewLine(px(*end), px(*start), kWhite);
    *end = CPoint(end->x + dx, end->y + dy);
    Host().DrawPreviewLine(px(*start), px(*end), colour);
}

void CChainTool::RightPress(CPoint) {
    ed_.LeaveMode();
    Host().InvalidateAll(true);
}

bool CWireTool::Piece(CPoint*& start, CPoint*& end, Colour& colour) {
    if (!ed_.CurSeg) return false;
    start = &ed_.CurSeg->start, end = &ed_.CurSeg->end, colour = kBlack;
    return true;
}

// Each click ends the piece being drawn: a diagonal one is routed as one,
// two or three orthogonal segments.
void CWireTool::Press(MouseFlags, CPoint, CPoint g) {
    std::unique_ptr<COxWireSeg>& cur = ed_.CurSeg;
    if (ed_.Drawing && cur) {
        cur->end = g;
        const CPoint s = cur->start;
        const CPoint e = cur->end;
        if (s == e) {
            cur.reset();
        } else {
            Begin();
            OwnedList<COxWireSeg>& segments = Doc().segments;
            if (s.x != e.x && s.y != e.y) {
                if (std::abs(int64_t{e.x} - s.x) < 2) {
                    cur->end = CPoint(s.x, e.y);
                    PushFront(segments, std::move(cur));
                    cur = std::make_unique<COxWireSeg>(CPoint(s.x, e.y), e);
                } else {
                    const int32_t mx = static_cast<int32_t>((int64_t{s.x} + e.x) / 2);
                    cur->end = CPoint(mx, s.y);
                    PushFront(segments, std::move(cur));
                    PushFront(segments,
                              std::make_unique<COxWireSeg>(CPoint(mx, s.y), CPoint(mx, e.y)));
                    cur = std::make_unique<COxWireSeg>(CPoint(mx, e.y), e);
                }
            }
            PushFront(segments, std::move(cur));
            MarkModified(true);
            End();
            Host().InvalidateAll(true);
        }
    }
    cur = std::make_unique<COxWireSeg>(g, g);
    ed_.Drawing = 1;
}

bool CLineTool::Piece(CPoint*& start, CPoint*& end, Colour& colour) {
    if (!ed_.CurLine) return false;
    start = &ed_.CurLine->start, end = &ed_.CurLine->end, colour = kBlue;
    return true;
}

void CLineTool::Press(MouseFlags, CPoint, CPoint g) {
    std::unique_ptr<COxLine>& cur = ed_.CurLine;
    if (ed_.Drawing && cur) {
        cur->end = g;
        if (cur->end != cur->start) {
            Begin();
            PushFront(Doc().lines, std::move(cur));
            MarkModified(false);
            End();
            Host().InvalidateAll(true);
        }
    }
    cur = std::make_unique<COxLine>(g, g, 2, kBlue);
    ed_.Drawing = 1;
}

// --- trimming ---

void CTrimTool::Press(MouseFlags, CPoint, CPoint g) {
    const CPoint m = Grid(ed_.MenuPoint);
    const DrawParams dp = Params();
    if (ed_.EditMode == kModeTrimLine) {
        if (COxLine* l = ed_.CurrentLine()) {
            Begin();
            if (l->Trim(m, g) > 0) l->Draw(nullptr, dp);
            MarkModified(false);
            End();
            Host().InvalidateRect(l->bounds, true);
        }
    } else if (COxWireSeg* s = ed_.CurrentSegment()) {
        Begin();
        if (s->Trim(m, g) > 0) s->Draw(nullptr, dp);
        MarkModified(true);
        End();
        Host().InvalidateRect(s->bounds, true);
    }
    ed_.LeaveMode();
}

void CTrimTool::RightPress(CPoint) {
    ed_.LeaveMode();
}

}  // namespace ostra
