// A scripted window for the sheet editor: records what the editor asks for
// and answers menus and dialogs from queues.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "model/SheetDrawing.h"
#include "model/SheetEditor.h"
#include "support/Recorders.h"
#include "support/SheetBuilder.h"

namespace ostra::test {

class RecordingEditorHost : public IEditorHost {
  public:
    void InvalidateAll(bool erase) override { calls.push_back(erase ? "all erase" : "all"); }
    void InvalidateRect(const CRect& r, bool erase) override {
        calls.push_back(std::string("rect ") + RectText(r) + (erase ? " erase" : ""));
    }
    void DrawPreviewLine(CPoint a, CPoint b, Colour c) override {
        calls.push_back("preview " + std::to_string(a.x) + "," + std::to_string(a.y) + " " +
                        std::to_string(b.x) + "," + std::to_string(b.y) + " " + std::to_string(c));
    }
    void DrawDragRect(const CRect& now, const CRect& before) override {
        calls.push_back("band " + RectText(now) + " was " + RectText(before));
    }
    void SetCursor(int32_t id) override {
        cursor = id;
        calls.push_back("cursor " + std::to_string(id));
    }
    int32_t ShowPopupMenu(PopupMenu, const std::vector<MenuItem>& items, CPoint) override {
        lastItems = items;
        if (menuAnswers.empty()) return 0;
        const int32_t id = menuAnswers.front();
        menuAnswers.pop_front();
        return id;
    }
    void SheetCommand(int32_t) override {}
    void SheetChanged() override { ++changes; }
    IMessageBox& Msg() override { return msg; }
    bool RunLibraryDialog() override {
        selected = libraryChoice.empty() ? nullptr : Kmru01().FindFunc(libraryChoice);
        return true;
    }
    const COxFunc* SelectedLibFunc() const override { return selected; }
    bool LibraryLoaded() const override { return true; }
    void CheckBlockCount() override { ++blockChecks; }
    bool RunFBProps(FBPropsFields& f) override {
        fbShown = f;
        if (fbEdit) fbEdit(f);
        return true;
    }
    bool RunPinProps(const PinPropsFields& f) override {
        pinShown = f;
        return true;
    }
    bool RunWSProps(WSPropsFields& f) override {
        wsShown = f;
        if (wsEdit) wsEdit(f);
        return true;
    }
    bool RunTextProps(TextPropsFields& f) override {
        textShown = f;
        if (textEdit) textEdit(f);
        return true;
    }
    bool RunLineProps(LinePropsFields& f) override {
        if (lineEdit) lineEdit(f);
        return true;
    }
    bool ChooseColour(Colour& c) override {
        c = colourAnswer;
        return true;
    }

    std::vector<std::string> calls;
    std::vector<MenuItem> lastItems;
    std::deque<int32_t> menuAnswers;
    RecordingMessageBox msg;
    std::string libraryChoice;
    const COxFunc* selected = nullptr;
    int blockChecks = 0;
    int changes = 0;
    int32_t cursor = 0;
    FBPropsFields fbShown;
    PinPropsFields pinShown;
    WSPropsFields wsShown;
    TextPropsFields textShown;
    Colour colourAnswer = 0;
    std::function<void(FBPropsFields&)> fbEdit;
    std::function<void(WSPropsFields&)> wsEdit;
    std::function<void(TextPropsFields&)> textEdit;
    std::function<void(LinePropsFields&)> lineEdit;
};

}  // namespace ostra::test
