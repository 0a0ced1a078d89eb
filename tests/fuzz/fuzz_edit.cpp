// Editing driven by arbitrary byte scripts on the example's first sheet:
// nothing crashes or hangs, and undo gives back the loaded sheet.
#include <cstdlib>

#include "support/EditScript.h"

using namespace ostra;

namespace {

const std::string& Example() {
    static const std::string bytes = [] {
        COstra_PLCDoc doc;
        if (!doc.OnOpenDocument(std::string(OSTRA_EXAMPLES_DIR) + "/TankPlant/Sheet_01.oxd").ok)
            std::abort();
        return doc.SaveToBytes();
    }();
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4000) return 0;
    if (!test::RunEditScript(Example(), data, size).empty()) std::abort();
    return 0;
}
