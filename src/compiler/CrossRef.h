// Who drives and who reads every constant and signal of a compile, in table
// order. The wire list, the problem rows and the cross-reference panel all
// read it, so they cannot disagree.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "compiler/DownloadRecords.h"

namespace ostra {

struct PinUse {
    const CdldFB* rec;
    int slot;  // 0 the output, 1..15 the inputs
};

struct CrossRefEntry {
    bool constant = false;
    int32_t number = 0;
    std::string name;   // a signal's name (a second name of a bus has its own entry)
    double value = 0;   // a constant's value
    std::vector<PinUse> sources;
    std::vector<PinUse> sinks;
};

struct CrossReference {
    std::vector<CrossRefEntry> consts;   // in the constant table's order
    std::vector<CrossRefEntry> signals;  // in the signal table's order
};

// Pointers into `t`: valid while the tables are.
CrossReference BuildCrossReference(const DownloadTables& t);

}  // namespace ostra
