// The compile listings "wires.lst" (who drives and who reads every constant
// and signal) and "fblock.lst" (every block in execution order with its pins).
#pragma once

#include <string>

#include "compiler/DownloadRecords.h"

namespace ostra {

class CFuncLibrary;

struct WireListCounts {
    int constErrors = 0;
    int unsourced = 0;
    int multiSourced = 0;
    int Sum() const { return constErrors + unsourced + multiSourced; }
};

// Texts with "\n" line ends; the files hold them with CR LF.
std::string WireListText(const DownloadTables& t, WireListCounts& counts);
std::string FBlockListText(const DownloadTables& t, const CFuncLibrary& lib);
// "\n" -> CR LF.
std::string CrLf(const std::string& text);
// printf's "%f", independent of the locale.
std::string FormatF(double v);

constexpr const char* kWireListFile = "wires.lst";
constexpr const char* kFBlockListFile = "fblock.lst";

}  // namespace ostra
