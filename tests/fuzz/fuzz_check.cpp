// Wire check and compile on arbitrary sheets: whatever a loadable sheet holds, the check ends, the
// incremental and the plain procedure leave the same sheet and counts, the result saves and loads,
// a second check of it ends too, and the compile of the checked sheet ends.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/COstra_PLCDoc.h"
#include "platform/IMessageBox.h"
#include "platform/ISettings.h"
#include "project/COstraProject.h"
#include "support/Recorders.h"

using namespace ostra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 20000) return 0;  // keeps a run's inputs to sheet-sized ones
    COstra_PLCDoc input;
    if (!input.LoadFromBytes(std::string(reinterpret_cast<const char*>(data), size)).ok) return 0;
    for (auto& f : input.blocks) {
        // Keep coordinates in a range where sheets are drawn; far-off values
        // only slow the run without reaching other code.
        f->position.x %= 4096;
        f->position.y %= 4096;
    }
    // Both checks start from the sheet as stored, which cuts over-long texts.
    const std::string stored = input.SaveToBytes();
    test::RecordingMessageBox quiet;
    COstra_PLCDoc doc, plain;
    if (!doc.LoadFromBytes(stored).ok || !plain.LoadFromBytes(stored).ok) std::abort();
    plain.checkMethod = COstra_PLCDoc::CheckMethod::kPlain;
    const WireCheckResult a = doc.WireCheck(quiet);
    const WireCheckResult b = plain.WireCheck(quiet);
    if (a.wiringErrors != b.wiringErrors || a.namingErrors != b.namingErrors) std::abort();
    const std::string once = doc.SaveToBytes();
    if (plain.SaveToBytes() != once) std::abort();
    COstra_PLCDoc again;
    if (!again.LoadFromBytes(once).ok) std::abort();
    again.WireCheck(quiet);

    MemorySettings settings;
    COstraProject project(quiet, settings, "/nonexistent-ostra-fuzz-dir");
    project.Sheets.push_back(std::make_unique<COstra_PLCDoc>());
    project.Sheets.back()->LoadFromBytes(once);
    project.CompileAll();
    return 0;
}
