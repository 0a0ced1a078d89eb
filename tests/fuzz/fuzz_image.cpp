// Compiled-image loader: any input loads or is refused with emptied tables;
// what loads stores to the same bytes and loads again.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "compiler/DownloadRecords.h"

using namespace ostra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    DownloadTables t;
    std::string reason;
    if (!LoadImage(bytes, t, &reason)) {
        if (!t.Empty() || reason.empty()) std::abort();
        return 0;
    }
    const std::string stored = StoreImage(t);
    DownloadTables u;
    if (!LoadImage(stored, u, nullptr)) std::abort();
    if (StoreImage(u) != stored) std::abort();
    return 0;
}
