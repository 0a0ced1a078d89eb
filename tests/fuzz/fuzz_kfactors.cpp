// K-factor file: any input gives a table within its room, whose rows show,
// scroll and take edits without reading outside it.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "comm/CKFactorTable.h"

using namespace ostra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    // The first byte picks the room the library allows, up to a large one.
    const int room = data[0] == 255 ? 2147483647 : data[0];
    CKFactorTable t;
    t.Read(std::string(reinterpret_cast<const char*>(data + 1), size - 1), room);
    if (t.count < 0 || t.count > room || static_cast<std::size_t>(t.count) > t.records.size())
        std::abort();
    for (int step = 0; step < t.count + 2; ++step) {
        (void)t.ShowRows();
        t.EditActual(step % CKFactorTable::kRows,
                     std::string(reinterpret_cast<const char*>(data), size % 40));
        t.Down();
    }
    for (int step = 0; step < t.count + 2; ++step) t.Up();
    if (t.topRow != 0) std::abort();
    t.LoadStartVals();
    return 0;
}
