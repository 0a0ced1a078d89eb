// Processor list: hexadecimal code and name per line; a code below 1 ends it.
#include "project/ProcessorList.h"

#include "platform/FileIO.h"
#include "platform/Scan.h"
#include "platform/TextCodec.h"
#include "project/TextLines.h"

namespace ostra {
namespace {

std::vector<std::string> Tokens(const std::string& line) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : line) {
        if (c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\n') {
            if (!cur.empty()) out.push_back(cur), cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) out.push_back(cur);
    return out;
}

}  // namespace

void CProcTable::UseBuiltIn() {
    ProcTable = {{0xA501, "KMRU-01"}, {0xA522, "KMRU-02"}, {0xA5FF, "KMRU-99"}, {0, ""}};
}

void CProcTable::ReadProcessorList(const std::filesystem::path& file) {
    std::string bytes;
    if (!ReadWholeFile(file, bytes)) {
        UseBuiltIn();
        return;
    }
    ParseProcessorList(bytes);
}

void CProcTable::ParseProcessorList(const std::string& bytes) {
    ProcTable.clear();
    for (const std::string& line : SplitTextLines(bytes, std::string::npos)) {
        if (ProcTable.size() >= kCapacity - 1) break;  // room for the terminator
        const std::vector<std::string> tok = Tokens(line);
        uint32_t code = 0;
        if (tok.empty() || ScanF(tok[0], "%x", {&code}) != 1) break;
        if (static_cast<int32_t>(code) < 1) break;
        ProcTable.push_back(
            {static_cast<int32_t>(code), tok.size() > 1 ? Cp1252ToUtf8(tok[1]) : ""});
    }
    ProcTable.push_back({0, ""});
}

const tProcIDs* CProcTable::Find(int32_t id) const {
    for (const auto& rec : ProcTable) {
        if (rec.ProcName.empty()) break;
        if (rec.ProcID == id) return &rec;
    }
    return nullptr;
}

}  // namespace ostra
