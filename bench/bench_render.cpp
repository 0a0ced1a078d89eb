// Repaint of a full sheet (225 blocks, about 3,000 wire segments, texts and
// lines) at the largest zoom into an offscreen image.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <filesystem>

#include "SheetGenerator.h"
#include "editor/CMainFrame.h"
#include "model/SheetDrawing.h"
#include "platform/IMessageBox.h"
#include "platform/ISettings.h"
#include "platform/qt/QtDrawSurface.h"
#include "project/COstraProject.h"

namespace ostra {
namespace {

void BM_RepaintFullSheet(benchmark::State& state) {
    COstra_PLCDoc doc;
    bench::MakeFullSheet(doc);
    const int scale = 16;
    QImage img(126 * scale, 84 * scale, QImage::Format_RGB32);
    for (auto _ : state) {
        img.fill(Qt::white);
        QPainter p(&img);
        QtDrawSurface dc(p);
        DrawSheet(doc, dc, scale, false);
        p.end();
        benchmark::DoNotOptimize(img.constBits());
    }
    state.counters["blocks"] = static_cast<double>(doc.blocks.size());
    state.counters["segments"] = static_cast<double>(doc.segments.size());
}
BENCHMARK(BM_RepaintFullSheet)->Unit(benchmark::kMillisecond);

class Quiet : public IMessageBox {
  public:
    MsgResult Show(const std::string&, const std::string&, MsgIcon, MsgButtons) override {
        return MsgResult::Ok;
    }
};

// From nothing to the main window shown with the example project open: the
// project folder read, both sheets loaded, the library, the image, the frame.
void BM_StartupWithTheExample(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path() / "ostra-bench-startup";
    std::filesystem::remove_all(dir);
    std::filesystem::copy(std::filesystem::path(OSTRA_EXAMPLES_DIR) / "TankPlant", dir,
                          std::filesystem::copy_options::recursive);
    for (auto _ : state) {
        Quiet quiet;
        MemorySettings settings;
        COstraProject project(quiet, settings, dir);
        project.ProgramFolder = OSTRA_EXAMPLES_DIR;
        project.ProcTable.ReadProcessorList(std::filesystem::path(OSTRA_EXAMPLES_DIR) /
                                            "processors.lst");
        project.OpenNamedProjectFile(dir / "project.oxp");
        CMainFrame frame(project, quiet);
        frame.RebuildTabs();
        frame.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(frame.grab());
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_StartupWithTheExample)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ostra

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
