// Readable and JSON listings of the system's files for `ostra-plc-cli dump`.
#pragma once

#include <string>
#include <vector>

#include "project/Problems.h"

namespace ostra {
class COstra_PLCDoc;
class CProjCtrl;
class CFuncLibrary;
class CProcTable;
struct DownloadTables;
}  // namespace ostra

namespace ostra::cli {

std::string DumpSheet(const COstra_PLCDoc& doc, bool json);
std::string DumpImage(const DownloadTables& tables, bool json);
std::string DumpControl(const CProjCtrl& ctrl, bool json);
std::string DumpLibrary(const CFuncLibrary& lib, bool json);
std::string DumpProcessors(const CProcTable& table, bool json);
// One "sheet:x,y: severity: text" line per finding.
std::string ProblemLines(const std::vector<Problem>& rows);
// {"passed", "errors", "warnings", "problems": [...]} for scripts.
std::string ProblemsJson(const std::vector<Problem>& rows, bool passed);

}  // namespace ostra::cli
