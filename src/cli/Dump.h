// Readable and JSON listings of the system's files for `ostra-plc-cli dump`.
#pragma once

#include <string>

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

}  // namespace ostra::cli
