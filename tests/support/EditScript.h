// Editing driven by a byte script: every event, menu choice, dialog entry and answer is read from
// the bytes. The fuzz target and the editing property test share it. Afterwards every step is
// undone; the sheet must be back as loaded, byte for byte, with its check state. (Between a press
// on empty sheet and its release the selection count may still name the objects that press
// deselected, as the editing rules have it.)
#pragma once

#include <cstdint>
#include <string>

#include "fuzz/NullSurface.h"
#include "model/COstra_PLCDoc.h"
#include "model/SheetDrawing.h"
#include "model/SheetEditor.h"
#include "platform/IMessageBox.h"

namespace ostra::test {

// Answers every question of the editor from the input bytes.
class Scripted : public IEditorHost, public IMessageBox {
  public:
    Scripted(const uint8_t* data, size_t size) : d_(data), n_(size) {}
    uint8_t Next() { return at_ < n_ ? d_[at_++] : 0; }
    bool More() const { return at_ < n_; }
    int32_t Number() {
        const int32_t v = static_cast<int8_t>(Next());
        return v * (Next() % 4 + 1);
    }

    void InvalidateAll(bool) override {}
    void InvalidateRect(const CRect&, bool) override {}
    void DrawPreviewLine(CPoint, CPoint, Colour) override {}
    void DrawDragRect(const CRect&, const CRect&) override {}
    void SetCursor(int32_t) override {}
    int32_t ShowPopupMenu(PopupMenu, const std::vector<MenuItem>& items, CPoint) override {
        const uint8_t pick = Next();
        if (items.empty() || pick % 8 == 7) return 0;
        return items[pick % items.size()].id;  // disabled items too: the commands refuse them
    }
    void SheetCommand(int32_t) override {}
    IMessageBox& Msg() override { return *this; }
    bool RunLibraryDialog() override { return Next() % 4 != 0; }
    const COxFunc* SelectedLibFunc() const override { return &def_; }
    bool LibraryLoaded() const override { return true; }
    void CheckBlockCount() override {}
    bool RunFBProps(FBPropsFields& f) override {
        f.actual = Number();
        f.x += Number();
        f.ident = std::string(Next() % 40, 'I');
        for (int32_t& v : f.values) v = Number();
        return Next() % 3 != 0;
    }
    bool RunPinProps(const PinPropsFields&) override { return true; }
    bool RunWSProps(WSPropsFields& f) override {
        f.name = std::string(Next() % 32, 'N');
        f.end.y += Number();
        f.showName = Next() & 1;
        return Next() % 3 != 0;
    }
    bool RunTextProps(TextPropsFields& f) override {
        f.text = std::string(Next() % 20, 'T');
        f.size = 4 + Next() % 21;
        return Next() % 3 != 0;
    }
    bool RunLineProps(LinePropsFields& f) override {
        f.start.x += Number();
        f.width = Next() % 9;
        return Next() % 3 != 0;
    }
    bool ChooseColour(Colour& c) override {
        const uint8_t r = Next();
        const uint8_t g = Next();
        c = Rgb(r, g, Next());
        return Next() % 3 != 0;
    }
    MsgResult Show(const std::string&, const std::string&, MsgIcon, MsgButtons) override {
        return Next() % 2 ? MsgResult::Ok : MsgResult::Cancel;
    }

  private:
    const uint8_t* d_;
    size_t n_;
    size_t at_ = 0;
    COxFunc def_{"AND", CPoint()};
};

// Runs the script on a sheet loaded from `sheet`; the reason it failed, or
// empty. `steps` receives the number of undo steps the script made.
inline std::string RunEditScript(const std::string& sheet, const uint8_t* data, size_t size,
                                 std::size_t* steps = nullptr) {
    COstra_PLCDoc doc;
    if (!doc.LoadFromBytes(sheet).ok) return "the sheet does not load";
    const int32_t check = doc.checkState;
    Scripted host(data, size);
    CObjectClipboard clip;
    CSheetEditor ed(doc, host, clip);
    fuzz::NullSurface dc;
    // Fewer events than undo steps are kept, so that all of them can be undone.
    for (int events = 0; events < 60 && host.More(); ++events) {
        DrawSheet(doc, dc, ed.Scale, false);
        const uint8_t kind = host.Next();
        const MouseFlags flags{(kind & 0x10) != 0, (kind & 0x20) != 0, (kind & 0x40) != 0};
        // One statement each: the order of reading the bytes is fixed.
        const int32_t x = host.Number() * 4 + 500;
        const int32_t y = host.Number() * 3 + 330;
        const CPoint p(x, y);
        switch (kind % 8) {
            case 0: ed.LeftPress(flags, p); break;
            case 1: ed.LeftRelease(flags, p); break;
            case 2: ed.MouseMove(flags, p); break;
            case 3: ed.RightPress(flags, p); break;
            case 4: ed.KeyPress(static_cast<EditKey>(host.Next() % 7), flags); break;
            case 5: ed.LeftDoubleClick(p); break;
            default: {
                static const int32_t kCommands[] = {
                    kCmdInsertBlock, kCmdInsertWires, kCmdInsertText, kCmdInsertLines,
                    kCmdCopy,        kCmdCut,         kCmdPaste,      kCmdUndo,
                    kCmdRedo,        kCmdBlockDelete, kCmdPinAdd,     kCmdWireTrim,
                    kCmdLineTrim,    kCmdTextProps,   kCmdLineColour, kCmdPinInvert,
                    kCmdSelectAll,   kCmdClear,       kCmdDuplicate};
                ed.Command(kCommands[host.Next() % 19]);
                break;
            }
        }
        if (ed.SelCount < 0) return "negative selection count";
        // Pasting doubles a sheet quickly; past this size the history's memory budget drops its
        // oldest steps, and then no undo can reach the loaded sheet. The script ends there.
        if (doc.blocks.size() + doc.segments.size() + doc.texts.size() + doc.lines.size() > 300)
            break;
    }
    ed.RightPress({}, CPoint(0, 0));  // ends a chain being drawn
    if (steps) *steps = ed.History().UndoCount();
    while (ed.CommandEnabled(kCmdUndo)) ed.Command(kCmdUndo);
    if (doc.SaveToBytes() != sheet) return "undo does not give back the sheet";
    if (doc.checkState != check) return "undo does not give back the check state";
    return {};
}

}  // namespace ostra::test
