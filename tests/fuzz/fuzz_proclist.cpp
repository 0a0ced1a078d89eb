// Processor list: any input gives a table that ends with its terminator.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "project/ProcessorList.h"

using namespace ostra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CProcTable t;
    t.ParseProcessorList(std::string(reinterpret_cast<const char*>(data), size));
    if (t.ProcTable.empty() || t.ProcTable.size() > CProcTable::kCapacity) std::abort();
    if (t.ProcTable.back().ProcID != 0 || !t.ProcTable.back().ProcName.empty()) std::abort();
    for (const auto& r : t.ProcTable) (void)t.Find(r.ProcID);
    return 0;
}
