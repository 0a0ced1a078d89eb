// The editing logic of a sheet view: placement modes (each a tool, see
// EditTools.h), selection by click and rubber band, dragging, keyboard moves,
// the object menus and their commands, the object clipboard, and undo. It takes mouse, key and command inputs in
// logical pixels and acts through IEditorHost, so it runs without a window
// system; the GUI view only translates events and carries out the outputs.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/COstra_PLCDoc.h"
#include "model/EditDialogs.h"
#include "model/SheetHistory.h"
#include "platform/Geometry.h"

namespace ostra {

class IMessageBox;

enum EditModeValue : int32_t {
    kModeSelect = 0,
    kModeInsertBlock = 1,
    kModeWires = 2,
    kModeText = 3,
    kModeLines = 4,
    kModeBand = 5,
    kModeTrimLine = 6,
    kModeTrimWire = 7,
};

// Cursor resources of the modes; 0 is the ordinary cursor.
enum CursorId : int32_t {
    kCursorNormal = 0,
    kCursorLines = 165,
    kCursorBlock = 167,
    kCursorWires = 168,
    kCursorText = 169,
    kCursorTrim = 177,
};

// Kinds found by the view's hit test.
enum ViewHitKind : int32_t {
    kViewHitNone = 0,
    kViewHitPin = 3,
    kViewHitBlock = 4,
    kViewHitSegStart = 5,
    kViewHitSegInside = 6,
    kViewHitSegEnd = 7,
    kViewHitText = 8,
    kViewHitLine = 9,
};

// Command ids of the editing commands and the object menus.
enum EditCommand : int32_t {
    kCmdInsertText = 32781,
    kCmdInsertWires = 32794,
    kCmdInsertLines = 32796,
    kCmdInsertBlock = 32803,
    kCmdToolBlock = 32807,
    kCmdToolWires = 32808,
    kCmdToolText = 32809,
    kCmdToolLines = 32810,
    kCmdBlockDelete = 32817,
    kCmdBlockProps = 32818,
    kCmdBlockSelect = 32819,
    kCmdPinAdd = 32820,
    kCmdPinDelete = 32821,
    kCmdPinInvert = 32822,
    kCmdPinProps = 32823,
    kCmdWireDelete = 32824,
    kCmdWireTrim = 32825,
    kCmdWireProps = 32826,
    kCmdWireSelect = 32827,
    kCmdTextDelete = 32828,
    kCmdTextProps = 32829,
    kCmdTextSelect = 32830,
    kCmdLineDelete = 32831,
    kCmdLineTrim = 32832,
    kCmdLineProps = 32833,
    kCmdLineColour = 32834,
    kCmdLineSelect = 32835,
    kCmdSheetSave = 32837,
    kCmdSheetSaveAs = 32838,
    kCmdSheetWireCheck = 32839,
    kCmdSheetRedraw = 32840,
    kCmdDuplicate = 32850,  // ours: copy and paste in one, the clipboard untouched
    kCmdClear = 57632,
    kCmdCopy = 57634,
    kCmdCut = 57635,
    kCmdPaste = 57637,
    kCmdUndo = 57643,
    kCmdSelectAll = 57642,
    kCmdRedo = 57644,
};

enum class PopupMenu { FuncBlock, FBPin, Wire, Text, Line, ThisSheet };

// One item of a popup menu as shown.
struct MenuItem {
    int32_t id = 0;
    std::string text;
    bool enabled = true;
};
// The menu's name ("Func Block Menu" ...) and its items in order.
std::string PopupMenuName(PopupMenu menu);
std::vector<MenuItem> PopupMenuItems(PopupMenu menu);

// Keys that the editor handles; the GUI maps its own key codes onto these.
enum class EditKey { Up, Down, Left, Right, Delete, Other, Escape };

struct MouseFlags {
    bool shift = false;
    bool ctrl = false;
    bool leftButton = false;
};

// The application-wide object clipboard, shared by every view of every sheet.
struct CObjectClipboard {
    OwnedList<COxFunc> ClipFuncs;
    OwnedList<COxWireSeg> ClipSegs;
    OwnedList<COxText> ClipTexts;
    OwnedList<COxLine> ClipLines;
    // Pastes since the lists were last filled, for the growing offset.
    int32_t Pastes = 0;
    bool Empty() const {
        return ClipFuncs.empty() && ClipSegs.empty() && ClipTexts.empty() && ClipLines.empty();
    }
};

// What the editor asks of its window. Rectangles and points are logical pixels.
class IEditorHost {
  public:
    virtual ~IEditorHost() = default;
    virtual void InvalidateAll(bool erase) = 0;
    virtual void InvalidateRect(const CRect& r, bool erase) = 0;
    // Drawn straight onto the window without invalidating; a white line
    // erases the previous preview.
    virtual void DrawPreviewLine(CPoint from, CPoint to, Colour colour) = 0;
    // The inverting rubber band: `previous` erased (empty at first), `now` drawn.
    virtual void DrawDragRect(const CRect& now, const CRect& previous) = 0;
    virtual void SetCursor(int32_t cursorId) = 0;
    // Shows a popup at `where` and returns the chosen command id, 0 for none.
    virtual int32_t ShowPopupMenu(PopupMenu menu, const std::vector<MenuItem>& items,
                                  CPoint where) = 0;
    // "This Sheet" commands go to the main frame.
    virtual void SheetCommand(int32_t id) = 0;
    virtual IMessageBox& Msg() = 0;
    // The Function Block Library dialog; true for OK.
    virtual bool RunLibraryDialog() = 0;
    // The definition chosen in that dialog, or none.
    virtual const COxFunc* SelectedLibFunc() const = 0;
    virtual bool LibraryLoaded() const = 0;
    // Recounts the blocks of every open sheet and warns at the limit.
    virtual void CheckBlockCount() = 0;
    // Modal property dialogs; true for OK. The fields come back edited.
    virtual bool RunFBProps(FBPropsFields& fields) = 0;
    virtual bool RunPinProps(const PinPropsFields& fields) = 0;
    virtual bool RunWSProps(WSPropsFields& fields) = 0;
    virtual bool RunTextProps(TextPropsFields& fields) = 0;
    virtual bool RunLineProps(LinePropsFields& fields) = 0;
    virtual bool ChooseColour(Colour& colour) = 0;
    // The sheet changed (modified flag, check state or undo history).
    virtual void SheetChanged() {}
};

class CEditTool;

class CSheetEditor {
  public:
    CSheetEditor(COstra_PLCDoc& doc, IEditorHost& host, CObjectClipboard& clipboard);
    ~CSheetEditor();
    CSheetEditor(const CSheetEditor&) = delete;
    CSheetEditor& operator=(const CSheetEditor&) = delete;

    // Pixels per grid unit of the view; set by the view on every zoom.
    int32_t Scale = 8;
    // Moving blocks takes the ends of their wires along (off: the wires stay
    // where they are, as the sheet was first edited).
    bool WiresFollowBlocks = true;
    // Paste puts the objects' top-left at the grid point under the pointer,
    // or, with the pointer off the sheet, one step further at each paste so
    // copies never cover each other (off: every paste lands where the
    // clipboard holds them).
    bool PasteAtPointer = true;

    // --- inputs (logical pixels) ---
    void LeftPress(MouseFlags flags, CPoint p);
    void LeftRelease(MouseFlags flags, CPoint p);
    // `capture`: the window holds the mouse capture, the move is ignored.
    void MouseMove(MouseFlags flags, CPoint p, bool capture = false);
    void RightPress(MouseFlags flags, CPoint p);
    // The pointer went off the sheet (onto a menu, a toolbar, elsewhere).
    void PointerLeft() { pointerOver_ = false; }
    // Opens the properties of what is hit, as the object menu's Properties.
    void LeftDoubleClick(CPoint p);
    // True when the key was handled.
    bool KeyPress(EditKey key, MouseFlags flags);
    // Menu and toolbar commands; true when the command is one of the editor's.
    bool Command(int32_t id);
    bool CommandEnabled(int32_t id) const;

    // Fills `Hit` and the current positions; the refnum found or -1.
    int32_t ViewHitTest(CPoint p);

    // Mode entry and exit with the cursor rule.
    void EnterMode(int32_t mode);
    void LeaveMode();

    // The whole document was replaced or reloaded: drop references into it.
    void ResetForNewContent();

    // Panels and Find lead here: ends what is under way and selects just
    // this object, as a plain click on it would. False when the sheet has no
    // such object (the selection is then empty).
    bool SelectOnlyBlock(const std::string& ident);
    bool SelectOnlySegment(CPoint start, CPoint end);
    bool SelectOnlyText(std::size_t index);

    COstra_PLCDoc& Doc() { return doc_; }
    CSheetHistory& History() { return history_; }

    int32_t EditMode = kModeSelect;
    CPoint DownPoint;
    CPoint MenuPoint;
    CRect BandRect{-1, -1, -1, -1};
    int32_t Drawing = 0;
    std::unique_ptr<COxWireSeg> CurSeg;
    std::unique_ptr<COxLine> CurLine;
    TextPropsFields TextDialog;
    HitResult Hit;
    int32_t CurBlockPos = -1, CurSegPos = -1, CurTextPos = -1, CurLinePos = -1;
    int32_t SelCount = 0;
    int32_t CursorNow = kCursorNormal;

  private:
    // The mode tools work on the editor's state as its own code does.
    friend class CEditTool;
    friend class CSelectTool;
    friend class CBandTool;
    friend class CTextTool;
    friend class CTrimTool;

    // The tool of the current mode.
    CEditTool& Tool();
    // Logical pixels to grid units, rounded half away from zero.
    int32_t ToGrid(int64_t v) const;
    CPoint Grid(CPoint p) const;
    // ViewHitTest as its callers read it: the kind, or none for a negative result.
    int32_t HitKindAt(CPoint p);
    void LimitSelCount();
    static void Toggle(bool& sel, bool& mark, int32_t& selCount);
    bool HitFlags(int32_t kind, bool*& sel, bool*& mark, CRect& bounds);
    void DragSelection(int32_t dx, int32_t dy);
    // Moves the selection and, when they follow, the wires on its pins.
    bool MoveSelectionWithWires(int32_t dx, int32_t dy);
    void ShowObjectMenu(CPoint p);
    std::vector<MenuItem> PinMenuItems() const;

    // Object commands.
    void DeleteObject(int32_t kind);
    void SelectObject(int32_t kind);
    void AddPin();
    void DeletePin();
    void InvertPin();
    void BlockProperties();
    void PinProperties();
    void WireProperties();
    void TextProperties();
    void LineProperties();
    void LineColour();
    void Copy();
    void Cut();
    // `shift`: added to every pasted position.
    void Paste(CPoint shift = CPoint());
    // Where a Paste command puts the clipboard's objects, as a shift.
    CPoint PasteShift();
    // Undo (false) or redo (true) one step.
    void Travel(bool redo);
    void SelectAll();
    void SelectNothing();
    void Duplicate();
    // Escape: ends what is under way; false when nothing was.
    bool Cancel();

    // Before any change of the sheet: opens an undo step unless one is open.
    void Begin();
    // After a change: closes the step unless a drag keeps it open.
    void End();
    void MarkModified(bool wiring);
    // Wire points and the hit index refer into the lists; dropped before
    // objects move, go or come.
    void DropWiring();

    COxFunc* CurrentBlock();
    COxWireSeg* CurrentSegment();
    COxText* CurrentText();
    COxLine* CurrentLine();

    COstra_PLCDoc& doc_;
    IEditorHost& host_;
    CObjectClipboard& clip_;
    CSheetHistory history_;
    int32_t savedCursor_ = kCursorNormal;
    bool dragging_ = false;
    // A drag ended by Escape: the button's further moves drag nothing.
    bool dragCancelled_ = false;
    bool modifiedBeforeDrag_ = false;
    // The last pointer position over the sheet, while it is there.
    CPoint pointer_;
    bool pointerOver_ = false;
    // One tool per mode (indexed by EditMode); the idle one for any other.
    std::array<std::unique_ptr<CEditTool>, 8> tools_;
    std::unique_ptr<CEditTool> idleTool_;
};

}  // namespace ostra
