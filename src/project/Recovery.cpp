// Crash recovery copies.
#include "project/Recovery.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

#include "model/COstra_PLCDoc.h"
#include "platform/FileIO.h"
#include "platform/RunProgram.h"

namespace fs = std::filesystem;

namespace ostra {
namespace {

// A copy "<run>-<n>.oxd" has its origin in "<run>-<n>.txt": the original
// path on the first line (UTF-8, empty for a sheet never saved) and the
// title on the second. A run is marked by "<run>.run" while it lasts.
constexpr const char* kRunSuffix = ".run";

std::string RunOf(const std::string& fileName) {
    const auto dash = fileName.find('-');
    return dash == std::string::npos ? std::string() : fileName.substr(0, dash);
}

}  // namespace

CRecovery::CRecovery(fs::path folder)
    : folder_(std::move(folder)), run_(std::to_string(CurrentProcessId())) {}

CRecovery::~CRecovery() = default;

void CRecovery::Open() {
    if (!Enabled()) return;
    std::error_code ec;
    fs::create_directories(folder_, ec);
    // Marks of runs that ended badly but left no copy have nothing to offer.
    for (const std::string& name : ListFolder(folder_, kRunSuffix)) {
        const std::string run = name.substr(0, name.size() - 4);
        bool copies = false;
        for (const std::string& copy : ListFolder(folder_, ".oxd")) copies |= RunOf(copy) == run;
        if (!copies && run != run_ && !ProcessIsRunning(std::atoll(run.c_str())))
            fs::remove(folder_ / name, ec);
    }
    open_ = WriteFileAtomic(folder_ / (run_ + kRunSuffix), run_ + "\n");
}

void CRecovery::Close() {
    if (!Enabled()) return;
    for (const void* key : std::vector<const void*>(keys_)) Drop(key);
    std::error_code ec;
    fs::remove(folder_ / (run_ + kRunSuffix), ec);
    open_ = false;
}

fs::path CRecovery::CopyPath(const void* key) const {
    const auto it = std::find(keys_.begin(), keys_.end(), key);
    const std::size_t n = static_cast<std::size_t>(it - keys_.begin());
    return folder_ / (run_ + "-" + std::to_string(n) + ".oxd");
}

bool CRecovery::Keep(const void* key, COstra_PLCDoc& doc, std::string* error) {
    if (!Enabled()) return true;
    if (!open_) Open();
    if (std::find(keys_.begin(), keys_.end(), key) == keys_.end()) keys_.push_back(key);
    const fs::path copy = CopyPath(key);
    fs::path origin = copy;
    origin.replace_extension(".txt");
    // The copy first: an origin without its copy is never offered.
    return WriteFileAtomic(copy, doc.SaveToBytes(), error) &&
           WriteFileAtomic(origin, doc.pathName.u8string() + "\n" + doc.title + "\n", error);
}

void CRecovery::Drop(const void* key) {
    const auto it = std::find(keys_.begin(), keys_.end(), key);
    if (it == keys_.end()) return;
    const fs::path copy = CopyPath(key);
    fs::path origin = copy;
    origin.replace_extension(".txt");
    std::error_code ec;
    fs::remove(origin, ec);
    fs::remove(copy, ec);
    *it = nullptr;  // the slot's number stays taken for this run
}

std::vector<RecoveredSheet> CRecovery::Left() const {
    std::vector<RecoveredSheet> out;
    if (!Enabled()) return out;
    for (const std::string& name : ListFolder(folder_, ".oxd")) {
        const std::string run = RunOf(name);
        if (run.empty() || run == run_) continue;
        std::error_code ec;
        if (fs::exists(folder_ / (run + kRunSuffix), ec) &&
            ProcessIsRunning(std::atoll(run.c_str())))
            continue;  // another window of the program has it open
        RecoveredSheet s;
        s.copy = folder_ / name;
        fs::path origin = s.copy;
        origin.replace_extension(".txt");
        std::string text;
        if (!ReadWholeFile(origin, text)) continue;
        const auto eol = text.find('\n');
        s.original = fs::u8path(text.substr(0, eol));
        if (eol != std::string::npos) {
            s.title = text.substr(eol + 1);
            s.title.erase(std::find(s.title.begin(), s.title.end(), '\n'), s.title.end());
        }
        out.push_back(std::move(s));
    }
    return out;
}

void CRecovery::Discard(const std::vector<RecoveredSheet>& sheets) const {
    std::vector<std::string> runs;
    for (const RecoveredSheet& s : sheets) {
        fs::path origin = s.copy;
        origin.replace_extension(".txt");
        std::error_code ec;
        fs::remove(s.copy, ec);
        fs::remove(origin, ec);
        runs.push_back(RunOf(s.copy.filename().string()));
    }
    // A run none of whose copies is left has nothing more to offer.
    for (const std::string& run : runs) {
        bool more = false;
        for (const std::string& name : ListFolder(folder_, ".oxd")) more |= RunOf(name) == run;
        std::error_code ec;
        if (!more) fs::remove(folder_ / (run + kRunSuffix), ec);
    }
}

}  // namespace ostra
