// Load and save of large sheets and library parsing. The peak resident size
// of the process is reported beside the times (counter peak_rss_MB).
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <fstream>
#include <iterator>

#include "model/COstra_PLCDoc.h"
#include "project/CFuncLibrary.h"

namespace ostra {
namespace {

double PeakRssMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;
}

// A sheet of `n` blocks in a grid, each wired to its neighbour, with notes.
std::string MakeSheet(int n) {
    COstra_PLCDoc doc;
    doc.OnNewDocument("Sheet_01");
    for (int i = 0; i < n; ++i) {
        const CPoint at(10 * (i % 100), 8 * (i / 100));
        auto f = std::make_unique<COxFunc>(i % 2 ? "AND" : "ADD", at);
        f->refnum = 100 + i;
        f->ident = "F" + std::to_string(i);
        doc.blocks.push_back(std::move(f));
        auto s = std::make_unique<COxWireSeg>(CPoint(at.x + 6, at.y + 1), CPoint(at.x + 10, at.y));
        s->name = "SIG" + std::to_string(i);
        doc.segments.push_back(std::move(s));
        if (i % 50 == 0)
            doc.texts.push_back(std::make_unique<COxText>(at, "note " + std::to_string(i), 12));
    }
    return doc.SaveToBytes();
}

void BM_SheetLoad(benchmark::State& state) {
    const std::string bytes = MakeSheet(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        COstra_PLCDoc doc;
        benchmark::DoNotOptimize(doc.LoadFromBytes(bytes).ok);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
    state.counters["peak_rss_MB"] = PeakRssMb();
}
BENCHMARK(BM_SheetLoad)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_SheetSave(benchmark::State& state) {
    COstra_PLCDoc doc;
    doc.LoadFromBytes(MakeSheet(static_cast<int>(state.range(0))));
    for (auto _ : state) benchmark::DoNotOptimize(doc.SaveToBytes());
    state.counters["peak_rss_MB"] = PeakRssMb();
}
BENCHMARK(BM_SheetSave)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_LibraryParse(benchmark::State& state) {
    std::ifstream in(std::string(OSTRA_EXAMPLES_DIR) + "/KMRU-02.oxl", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    for (auto _ : state) {
        CFuncLibrary lib;
        lib.Parse(bytes);
        benchmark::DoNotOptimize(lib.LibFuncs.size());
    }
    state.counters["peak_rss_MB"] = PeakRssMb();
}
BENCHMARK(BM_LibraryParse)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace ostra
