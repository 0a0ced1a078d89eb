// The processor table: identification code reported by a controller -> model
// name, read from "processors.lst" or taken from the built-in list.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace ostra {

struct tProcIDs {
    int32_t ProcID = 0;
    std::string ProcName;
};

class CProcTable {
  public:
    static constexpr std::size_t kCapacity = 64;  // records, terminator included

    // Reads the list from `file` (normally "processors.lst" in the start-up
    // folder); when it cannot be opened, the built-in table is used. Silent.
    void ReadProcessorList(const std::filesystem::path& file);
    // Parses the content of a processor list.
    void ParseProcessorList(const std::string& bytes);
    void UseBuiltIn();

    // The record whose ProcID equals `id`, or null; the search stops at the
    // first record without a name.
    const tProcIDs* Find(int32_t id) const;

    // Always ends with the terminator {0, ""}.
    std::vector<tProcIDs> ProcTable = {{}};
};

}  // namespace ostra
