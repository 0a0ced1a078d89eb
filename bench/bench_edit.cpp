// Editing on a full sheet (225 blocks, 3,000 wire segments, texts and lines):
// the undo snapshot taken before every change, one grid step of a drag of
// everything, and the hit test under the pointer.
#include <benchmark/benchmark.h>

#include <fstream>

#include "SheetGenerator.h"
#include "model/SheetDrawing.h"
#include "model/SheetEditor.h"
#include "platform/IMessageBox.h"

namespace ostra {
namespace {

class NoWindow : public IEditorHost, public IMessageBox {
  public:
    void InvalidateAll(bool) override {}
    void InvalidateRect(const CRect&, bool) override {}
    void DrawPreviewLine(CPoint, CPoint, Colour) override {}
    void DrawDragRect(const CRect&, const CRect&) override {}
    void SetCursor(int32_t) override {}
    int32_t ShowPopupMenu(PopupMenu, const std::vector<MenuItem>&, CPoint) override { return 0; }
    void SheetCommand(int32_t) override {}
    IMessageBox& Msg() override { return *this; }
    bool RunLibraryDialog() override { return false; }
    const COxFunc* SelectedLibFunc() const override { return nullptr; }
    bool LibraryLoaded() const override { return false; }
    void CheckBlockCount() override {}
    bool RunFBProps(FBPropsFields&) override { return false; }
    bool RunPinProps(const PinPropsFields&) override { return false; }
    bool RunWSProps(WSPropsFields&) override { return false; }
    bool RunTextProps(TextPropsFields&) override { return false; }
    bool RunLineProps(LinePropsFields&) override { return false; }
    bool ChooseColour(Colour&) override { return false; }
    MsgResult Show(const std::string&, const std::string&, MsgIcon, MsgButtons) override {
        return MsgResult::Ok;
    }
};

// Bounds as a repaint leaves them; texts measured roughly.
class Measure : public IDrawSurface {
  public:
    bool SetPen(PenStyle, int, Colour) override { return true; }
    void DrawLine(CPoint, CPoint) override {}
    void DrawRect(const CRect&) override {}
    void FillRect(const CRect&, Colour) override {}
    void SetFont(const FontSpec&) override {}
    void DrawText(CPoint, const std::string&, TextAlign) override {}
    CSize TextExtent(const std::string& t) override {
        return {static_cast<int32_t>(t.size()) * 6, 12};
    }
    void DrawImage(int, const CRect&, const CRect&) override {}
};

// A full sheet laid out as a repaint leaves it, with an editor on it.
struct EditedSheet {
    EditedSheet() : ed(doc, host, clip) {
        bench::MakeFullSheet(doc);
        Measure m;
        DrawSheet(doc, m, ed.Scale, false);
    }
    COstra_PLCDoc doc;
    NoWindow host;
    CObjectClipboard clip;
    CSheetEditor ed;
};

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        long kb = 0;
        if (key == "VmRSS:" && status >> kb) return kb;
        status.ignore(256, '\n');
    }
    return 0;
}

// The first snapshot copies the whole sheet.
void BM_UndoFirstSnapshotFullSheet(benchmark::State& state) {
    COstra_PLCDoc doc;
    bench::MakeFullSheet(doc);
    for (auto _ : state) {
        CSheetHistory history;
        CSheetHistory::Snapshot s = history.Take(doc);
        benchmark::DoNotOptimize(s.blocks.data());
    }
}
BENCHMARK(BM_UndoFirstSnapshotFullSheet)->Unit(benchmark::kMicrosecond);

// A step after one block moved: the rest is shared with the step before.
void BM_UndoStepOneBlockMovedFullSheet(benchmark::State& state) {
    COstra_PLCDoc doc;
    bench::MakeFullSheet(doc);
    CSheetHistory history;
    int step = 0;
    for (auto _ : state) {
        doc.blocks[static_cast<std::size_t>(step) % doc.blocks.size()]->position.x += 1;
        ++step;
        history.BeginStep(doc);
        history.EndStep();
    }
    state.counters["kept_MB"] = static_cast<double>(history.KeptBytes()) / (1 << 20);
    state.counters["steps"] = static_cast<double>(history.UndoCount());
}
BENCHMARK(BM_UndoStepOneBlockMovedFullSheet)->Unit(benchmark::kMicrosecond);

// The worst case: every step moves everything; the budget bounds the memory.
void BM_UndoStepEverythingMovedFullSheet(benchmark::State& state) {
    COstra_PLCDoc doc;
    bench::MakeFullSheet(doc);
    CSheetHistory history;
    const long before = ResidentKb();
    for (auto _ : state) {
        doc.MoveSelection(0, 0);
        for (auto& b : doc.blocks) b->position.x ^= 1;
        for (auto& s : doc.segments) s->start.x ^= 1;
        history.BeginStep(doc);
        history.EndStep();
    }
    state.counters["kept_MB"] = static_cast<double>(history.KeptBytes()) / (1 << 20);
    state.counters["rss_growth_MB"] = static_cast<double>(ResidentKb() - before) / 1024.0;
    state.counters["steps"] = static_cast<double>(history.UndoCount());
}
BENCHMARK(BM_UndoStepEverythingMovedFullSheet)->Unit(benchmark::kMicrosecond)->Iterations(300);

void BM_DragStepEverythingFullSheet(benchmark::State& state) {
    EditedSheet sheet;
    CSheetEditor& ed = sheet.ed;
    // Select everything with a band, then drag it to and fro.
    ed.LeftPress({}, {-8, -8});
    ed.MouseMove({false, false, true}, {2000, 2000});
    ed.LeftRelease({}, {2000, 2000});
    const CRect& b = sheet.doc.blocks.front()->bounds;
    const CPoint grip((b.left + b.right) / 2, (b.top + b.bottom) / 2);
    ed.LeftPress({}, grip);
    int step = 0;
    for (auto _ : state) {
        const int dx = (++step % 2) ? ed.Scale : 0;
        ed.MouseMove({false, false, true}, {grip.x + dx, grip.y});
    }
    ed.LeftRelease({}, grip);
    state.counters["selected"] = ed.SelCount;
}
BENCHMARK(BM_DragStepEverythingFullSheet)->Unit(benchmark::kMicrosecond);

void BM_HitTestFullSheet(benchmark::State& state) {
    EditedSheet sheet;
    // A point on empty sheet: every list is searched to its end.
    for (auto _ : state) benchmark::DoNotOptimize(sheet.ed.ViewHitTest({1007, 671}));
}
BENCHMARK(BM_HitTestFullSheet)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace ostra
