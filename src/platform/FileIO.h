// File-system access for the core: whole-file reads, writes that replace a file
// only once the new content is complete, and folder listings in the order a
// Windows file system returns them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace ostra {

namespace fs = std::filesystem;

// Files read whole are refused beyond this size: far more than any real
// sheet, library, image or list, and a bound for a device read by mistake.
constexpr std::size_t kReadLimitBytes = std::size_t{64} << 20;

// Reads the whole file; on failure returns false and the operating system's
// reason (or the size limit) in `error`. A folder is refused.
bool ReadWholeFile(const fs::path& path, std::string& bytes, std::string* error = nullptr);

// Writes `bytes` to a temporary file beside `path` and renames it over `path`,
// so that a failed write leaves the old file untouched.
bool WriteFileAtomic(const fs::path& path, const std::string& bytes, std::string* error = nullptr);

// Several files that belong together: every one is written to its temporary
// first, and only when all are complete do they replace the old ones. On
// failure nothing is replaced; `failed` names the file that could not be
// written.
bool WriteFilesAtomic(const std::vector<std::pair<fs::path, std::string>>& files,
                      fs::path* failed = nullptr, std::string* error = nullptr);

// What tells one state of a file from another: its time of last change and
// its size. `exists` is false when there is no file to stamp.
struct FileStamp {
    bool exists = false;
    int64_t changed = 0;
    uintmax_t size = 0;
    bool operator==(const FileStamp& o) const {
        return exists == o.exists && changed == o.changed && size == o.size;
    }
    bool operator!=(const FileStamp& o) const { return !(*this == o); }
};
FileStamp StampOf(const fs::path& path);

// Names of the regular files in `dir` whose extension equals `ext` (".oxd"),
// compared without regard to case, sorted as Windows lists them: by the
// upper-cased name, then by the name itself.
std::vector<std::string> ListFolder(const fs::path& dir, const std::string& ext);

// Case-insensitive ordering of file names used by ListFolder.
bool FolderOrderLess(const std::string& a, const std::string& b);

// Text of a path in the platform's own spelling, for messages.
std::string PathText(const fs::path& p);

}  // namespace ostra
