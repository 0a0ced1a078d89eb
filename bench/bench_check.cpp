// Wire check of generated sheets and compile of generated projects.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <filesystem>

#include "SheetGenerator.h"
#include "platform/IMessageBox.h"
#include "platform/ISettings.h"
#include "project/COstraProject.h"

namespace ostra {
namespace {

class Quiet : public IMessageBox {
  public:
    MsgResult Show(const std::string&, const std::string&, MsgIcon, MsgButtons) override {
        return MsgResult::Ok;
    }
};

double PeakRssMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;
}

std::string GeneratedSheet(int segments, uint32_t seed, double faults = 0) {
    COstra_PLCDoc doc;
    bench::GeneratorOptions o;
    o.targetSegments = segments;
    o.seed = seed;
    o.faults = faults;
    bench::SheetGenerator(o).Generate(doc);
    return doc.SaveToBytes();
}

void CheckSheet(benchmark::State& state, const std::string& bytes) {
    Quiet quiet;
    int errors = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<COstra_PLCDoc>();
        doc->LoadFromBytes(bytes);
        state.ResumeTiming();
        const WireCheckResult r = doc->WireCheck(quiet);
        errors = r.wiringErrors + r.namingErrors;
        state.PauseTiming();
        doc.reset();  // the sheet's own teardown is not the check's
        state.ResumeTiming();
    }
    state.counters["errors"] = errors;
    state.counters["peak_rss_MB"] = PeakRssMb();
}

void BM_WireCheck(benchmark::State& state) {
    CheckSheet(state, GeneratedSheet(static_cast<int>(state.range(0)), 1));
}
BENCHMARK(BM_WireCheck)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

// Damaged sheets: range(1) damaged segments per hundred, over four seeds.
void BM_WireCheckDamaged(benchmark::State& state) {
    CheckSheet(state, GeneratedSheet(static_cast<int>(state.range(0)),
                                     static_cast<uint32_t>(state.range(2)),
                                     static_cast<double>(state.range(1)) / 100));
}
BENCHMARK(BM_WireCheckDamaged)
    ->ArgsProduct({{5000}, {2, 10, 30}, {1, 2, 3, 4}})
    ->Unit(benchmark::kMillisecond);

// A project of `sheets` checked sheets of `blocks` blocks each.
void BM_Compile(benchmark::State& state) {
    const int sheets = static_cast<int>(state.range(0));
    const int blocksPerSheet = static_cast<int>(state.range(1));
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / "ostra-bench-compile";
    std::filesystem::create_directories(dir);
    Quiet quiet;
    MemorySettings settings;
    COstraProject project(quiet, settings, dir);
    project.Library.MaxFBlocks = 1 << 30;
    for (int i = 0; i < sheets; ++i) {
        auto doc = std::make_unique<COstra_PLCDoc>();
        bench::GeneratorOptions o;
        o.seed = static_cast<uint32_t>(i + 1);
        o.rows = std::min(20, blocksPerSheet);
        o.targetSegments = 1 << 30;
        o.maxBlocks = blocksPerSheet;
        o.sheetNumber = i + 1;
        o.identPrefix = "S" + std::to_string(i + 1) + "F";
        bench::SheetGenerator(o).Generate(*doc);
        char title[32];
        std::snprintf(title, sizeof title, "Sheet_%02d", i + 1);
        doc->title = title;
        doc->WireCheck(quiet);
        project.Sheets.push_back(std::move(doc));
    }
    for (auto _ : state) project.CompileAll();
    state.counters["blocks"] = static_cast<double>(project.Tables.fbs.size());
    state.counters["peak_rss_MB"] = PeakRssMb();
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_Compile)
    ->Args({10, 20})
    ->Args({10, 200})
    ->Args({50, 200})
    ->Args({200, 200})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ostra
