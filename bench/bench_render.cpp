// Repaint of a full sheet (225 blocks, about 3,000 wire segments, texts and
// lines) at the largest zoom into an offscreen image.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "SheetGenerator.h"
#include "model/SheetDrawing.h"
#include "platform/qt/QtDrawSurface.h"

namespace ostra {
namespace {

void BM_RepaintFullSheet(benchmark::State& state) {
    COstra_PLCDoc doc;
    bench::GeneratorOptions o;
    o.rows = 15;
    o.maxBlocks = 225;
    o.targetSegments = 3000;
    bench::SheetGenerator(o).Generate(doc);
    // More wire, up to 3,000 segments, in short orthogonal runs over the sheet.
    for (int i = 0; static_cast<int>(doc.segments.size()) < 3000; ++i) {
        const CPoint a(2 + (i * 7) % 120, 2 + (i * 11) % 80);
        doc.segments.push_back(
            std::make_unique<COxWireSeg>(a, i % 2 ? CPoint(a.x + 4, a.y) : CPoint(a.x, a.y + 3)));
        doc.segments.back()->name = i % 5 ? "" : "S" + std::to_string(i);
        doc.segments.back()->showName = i % 5 == 0;
    }
    for (int i = 0; i < 40; ++i) {
        doc.texts.push_back(
            std::make_unique<COxText>(CPoint(4 + 3 * i, 80), "Note " + std::to_string(i), 12));
        doc.lines.push_back(
            std::make_unique<COxLine>(CPoint(2, 2 * i), CPoint(120, 2 * i), 1, Rgb(128, 128, 128)));
    }
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

}  // namespace
}  // namespace ostra

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
