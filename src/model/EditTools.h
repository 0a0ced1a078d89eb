// The sheet editor's modes, one tool each: what a left press, a pointer move
// without or with the left button, a release and a right press do. The tools
// act on the editor's shared state (the sheet, the host, the undo step, the
// selection count), as the tools of schematic editors share their context.
#pragma once

#include <cstdint>

#include "model/SheetEditor.h"

namespace ostra {

class CEditTool {
  public:
    explicit CEditTool(CSheetEditor& ed) : ed_(ed) {}
    virtual ~CEditTool() = default;

    // Left press at `p` (pixels); `g` is the grid point under it.
    virtual void Press(MouseFlags flags, CPoint p, CPoint g);
    // The pointer moved by whole grid steps (dx, dy may both be 0).
    virtual void Hover(int32_t dx, int32_t dy);
    // ... with the left button held: the selection is dragged.
    virtual void Drag(int32_t dx, int32_t dy);
    // Left release: Shift or Ctrl toggles the object under the pointer.
    virtual void Release(MouseFlags flags, CPoint p);
    virtual void RightPress(CPoint p);

  protected:
    // What the tools need of the editor beyond its public state.
    COstra_PLCDoc& Doc() { return ed_.doc_; }
    IEditorHost& Host() { return ed_.host_; }
    void Begin() { ed_.Begin(); }
    void End() { ed_.End(); }
    void MarkModified(bool wiring) { ed_.MarkModified(wiring); }
    CPoint Grid(CPoint p) const { return ed_.Grid(p); }
    DrawParams Params() const { return {ed_.Scale, {}, false}; }

    CSheetEditor& ed_;
};

// Selection: a press selects what it hits, or begins a rubber band.
class CSelectTool : public CEditTool {
  public:
    using CEditTool::CEditTool;
    void Press(MouseFlags flags, CPoint p, CPoint g) override;
    void RightPress(CPoint p) override;
};

// The rubber band between press and release.
class CBandTool : public CSelectTool {
  public:
    using CSelectTool::CSelectTool;
    void Drag(int32_t dx, int32_t dy) override;
    void Release(MouseFlags flags, CPoint p) override;
};

class CBlockTool : public CEditTool {
  public:
    using CEditTool::CEditTool;
    void Press(MouseFlags flags, CPoint p, CPoint g) override;
    void RightPress(CPoint p) override;
};

class CTextTool : public CEditTool {
  public:
    using CEditTool::CEditTool;
    void Press(MouseFlags flags, CPoint p, CPoint g) override;
    void RightPress(CPoint p) override;
};

// Wires and decorative lines are drawn click by click, the piece being
// drawn following the pointer; a right press ends the chain.
class CChainTool : public CEditTool {
  public:
    using CEditTool::CEditTool;
    void Hover(int32_t dx, int32_t dy) override;
    void RightPress(CPoint p) override;

  protected:
    // The piece being drawn (none: nothing follows) and its colour.
    virtual bool Piece(CPoint*& start, CPoint*& end, Colour& colour) = 0;
};

class CWireTool : public CChainTool {
  public:
    using CChainTool::CChainTool;
    void Press(MouseFlags flags, CPoint p, CPoint g) override;

  protected:
    bool Piece(CPoint*& start, CPoint*& end, Colour& colour) override;
};

class CLineTool : public CChainTool {
  public:
    using CChainTool::CChainTool;
    void Press(MouseFlags flags, CPoint p, CPoint g) override;

  protected:
    bool Piece(CPoint*& start, CPoint*& end, Colour& colour) override;
};

// Trimming the wire or line of the object menu to the pressed point.
class CTrimTool : public CEditTool {
  public:
    using CEditTool::CEditTool;
    void Press(MouseFlags flags, CPoint p, CPoint g) override;
    void RightPress(CPoint p) override;
};

}  // namespace ostra
