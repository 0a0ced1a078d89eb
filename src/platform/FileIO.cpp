// Whole-file reads, atomic writes and sorted folder listings.
#include "platform/FileIO.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cstdio>
#include <chrono>
#include <fstream>
#include <random>
#include <system_error>
#include <vector>

namespace ostra {
namespace {

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

}  // namespace

bool ReadWholeFile(const fs::path& path, std::string& bytes, std::string* error) {
    const auto fail = [error](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    std::error_code ec;
    if (fs::is_directory(path, ec)) return fail(std::strerror(EISDIR));
    // A device or a damaged file system may go on for ever: read in pieces,
    // up to the limit, and say why a read stopped.
    std::string data;
    try {
        std::ifstream in(path, std::ios::binary);
        if (!in) return fail(std::strerror(errno));
        std::vector<char> buffer(std::size_t{1} << 16);
        for (;;) {
            errno = 0;
            in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            data.append(buffer.data(), static_cast<std::size_t>(in.gcount()));
            if (data.size() > kReadLimitBytes)
                return fail("larger than the " + std::to_string(kReadLimitBytes >> 20) +
                            " MB such a file may hold");
            if (in.bad()) return fail(errno ? std::strerror(errno) : "read error");
            if (in.eof()) break;
        }
    } catch (const std::exception&) {
        return fail(errno ? std::strerror(errno) : "read error");
    }
    bytes.swap(data);
    return true;
}

namespace {

constexpr char kTempPrefix[] = ".ostra-";
constexpr char kTempSuffix[] = ".tmp";

// Temporaries of ours that a killed program left behind, an hour old or
// more (a younger one may belong to a save under way).
void RemoveStaleTemporaries(const fs::path& dir) {
    std::error_code ec;
    const auto limit = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const bool ours = name.rfind(kTempPrefix, 0) == 0 && name.size() > sizeof kTempSuffix &&
                          name.compare(name.size() - 4, 4, kTempSuffix) == 0;
        std::error_code e2;
        if (ours && it->is_regular_file(e2) && it->last_write_time(e2) < limit && !e2)
            fs::remove(it->path(), e2);
    }
}

// Writes `bytes` to a new temporary file in `dir`, with the permissions of
// `target` when it exists; its name, or empty. The name is short whatever
// the target's length, so that a name near the system's limit still saves.
fs::path WriteTemporary(const fs::path& dir, const fs::path& target, const std::string& bytes,
                        std::string* error) {
    std::random_device rd;
    char tag[16];
    std::snprintf(tag, sizeof tag, "%06x", static_cast<unsigned>(rd() & 0xFFFFFF));
    const fs::path tmp = dir / (std::string(kTempPrefix) + tag + kTempSuffix);
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) {
        if (error) *error = std::strerror(errno);
        return {};
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    std::error_code ec;
    if (!out) {
        if (error) *error = "write error (disk full?)";
        out.close();
        fs::remove(tmp, ec);
        return {};
    }
    out.close();
    const fs::file_status old = fs::status(target, ec);
    if (!ec && fs::exists(old)) fs::permissions(tmp, old.permissions(), ec);
    return tmp;
}

// The file a write replaces: through a symbolic link to what it names, so
// that the link stays a link.
bool RewriteInPlace(const fs::path& path, const std::string& bytes, std::string* error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (out) return true;
    if (error) *error = std::strerror(errno);
    return false;
}

fs::path Target(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_symlink(path, ec)) return path;
    const fs::path resolved = fs::weakly_canonical(path, ec);
    return ec ? path : resolved;
}

}  // namespace

bool WriteFileAtomic(const fs::path& path, const std::string& bytes, std::string* error) {
    return WriteFilesAtomic({{path, bytes}}, nullptr, error);
}

bool WriteFilesAtomic(const std::vector<std::pair<fs::path, std::string>>& files,
                      fs::path* failed, std::string* error) {
    std::vector<fs::path> temps;
    std::vector<fs::path> targets;
    const auto dropTemps = [&temps] {
        std::error_code ec;
        for (const fs::path& t : temps) fs::remove(t, ec);
    };
    for (const auto& [path, bytes] : files) {
        std::error_code ec;
        fs::path tmp;
        const fs::path target = Target(path);
        const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
        RemoveStaleTemporaries(dir);
        // Checked first: a rename over a folder would fail after others were done.
        if (fs::is_directory(target, ec)) {
            if (error) *error = std::strerror(EISDIR);
        } else {
            tmp = WriteTemporary(dir, target, bytes, error);
        }
        if (tmp.empty()) {
            if (failed) *failed = path;
            dropTemps();
            return false;
        }
        temps.push_back(std::move(tmp));
        targets.push_back(target);
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::error_code ec;
        // A file with other names (hard links) is rewritten in place, so that
        // every name sees the new content; should that fail, the old content
        // goes back.
        if (fs::hard_link_count(targets[i], ec) > 1 && !ec) {
            std::string old;
            std::string why;
            if (ReadWholeFile(targets[i], old, &why) && RewriteInPlace(targets[i], files[i].second, &why)) {
                fs::remove(temps[i], ec);
                continue;
            }
            RewriteInPlace(targets[i], old, nullptr);
            if (error) *error = why;
            if (failed) *failed = files[i].first;
            temps.erase(temps.begin(), temps.begin() + static_cast<std::ptrdiff_t>(i));
            dropTemps();
            return false;
        }
        fs::rename(temps[i], targets[i], ec);
        if (ec) {
            if (error) *error = ec.message();
            if (failed) *failed = files[i].first;
            temps.erase(temps.begin(), temps.begin() + static_cast<std::ptrdiff_t>(i));
            dropTemps();
            return false;
        }
    }
    return true;
}

FileStamp StampOf(const fs::path& path) {
    FileStamp s;
    std::error_code ec;
    const auto time = fs::last_write_time(path, ec);
    if (ec) return s;
    const uintmax_t size = fs::file_size(path, ec);
    if (ec) return s;
    s.exists = true;
    s.changed = static_cast<int64_t>(time.time_since_epoch().count());
    s.size = size;
    return s;
}

bool FolderOrderLess(const std::string& a, const std::string& b) {
    const std::string ua = Upper(a);
    const std::string ub = Upper(b);
    if (ua != ub) return ua < ub;
    return a < b;
}

std::vector<std::string> ListFolder(const fs::path& dir, const std::string& ext) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code fec;
        if (!it->is_regular_file(fec)) continue;
        const std::string name = it->path().filename().string();
        if (Upper(it->path().extension().string()) == Upper(ext)) names.push_back(name);
    }
    std::sort(names.begin(), names.end(), FolderOrderLess);
    return names;
}

std::string PathText(const fs::path& p) {
    fs::path q = p;
    return q.make_preferred().string();
}

}  // namespace ostra
