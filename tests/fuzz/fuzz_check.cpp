// Wire check and compile on arbitrary sheets: whatever a loadable sheet
// holds, the check ends, leaves a sheet that saves and loads, and a second
// check of its result ends too; the compile of the checked sheet ends.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/COstra_PLCDoc.h"
#include "platform/IMessageBox.h"
#include "platform/ISettings.h"
#include "project/COstraProject.h"

using namespace ostra;

namespace {
class Quiet : public IMessageBox {
public:
    MsgResult Show(const std::string&, const std::string&, MsgIcon, MsgButtons) override {
        return MsgResult::Ok;
    }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 20000) return 0;  // keeps a run's inputs to sheet-sized ones
    COstra_PLCDoc doc;
    if (!doc.LoadFromBytes(std::string(reinterpret_cast<const char*>(data), size)).ok) return 0;
    for (auto& f : doc.blocks) {
        // Keep coordinates in a range where sheets are drawn; far-off values
        // only slow the run without reaching other code.
        f->position.x %= 4096;
        f->position.y %= 4096;
    }
    Quiet quiet;
    doc.WireCheck(quiet);
    const std::string once = doc.SaveToBytes();
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
