// The Compile command: turns the blocks of all open sheets into the download
// tables, expands bus terminals, orders execution, reports, and writes the
// listings, the compiled image and the control file.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "compiler/DownloadRecords.h"

namespace ostra {

class COstraProject;
class COxFunc;

// A reference value: -1 none, 0..0xFFFF a signal number, 0x10000 + n constant n.
constexpr int32_t kConstRef = 0x10000;

class CCompiler {
public:
    // Builds into the project's tables, or into `into` when given.
    explicit CCompiler(COstraProject& project, DownloadTables* into = nullptr);

    void CompileAll();
    // The tables as the open sheets give them, before the blocks are
    // ordered: no messages, no menu change, no files.
    void BuildTables();

    int32_t ResolveRef(const std::string& text, bool create);
    void FillPins(CdldFB& rec, const COxFunc& block);
    void ExpandBusOut(const COxFunc& block);
    void ExpandBusIn(const COxFunc& block);
    // Orders the function-block table; returns the number of unresolved blocks.
    int32_t ScheduleBlocks();

private:
    void AddSignal(std::unique_ptr<CdldSig> sig);
    void Renumber(const std::string& name, int32_t number);
    void MarkSourced(int32_t number);
    CdldFB* FindBus(int32_t typeNum, const std::array<int32_t, 4>& address);

    COstraProject& p_;
    DownloadTables& t_;
    int32_t signalCounter_ = 0;
    int32_t constCounter_ = 0;
    std::map<double, int32_t> constByValue_;             // value -> Number (no NaN)
    std::unordered_map<std::string, CdldSig*> sigByName_;  // first record of a name
    std::unordered_map<int32_t, std::vector<CdldSig*>> sigsByNumber_;  // in table order
};

// "%sX%dS%dU%dR%d", at most 31 characters.
std::string BusName(const char* prefix, const std::array<int32_t, 4>& address);

}  // namespace ostra
