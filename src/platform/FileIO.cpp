// Whole-file reads, atomic writes and sorted folder listings.
#include "platform/FileIO.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
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

// Writes `bytes` to a new temporary file beside `path`; its name, or empty.
fs::path WriteTemporary(const fs::path& path, const std::string& bytes, std::string* error) {
    const fs::path dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
    std::random_device rd;
    const fs::path tmp =
        dir / ("." + path.filename().string() + ".tmp" + std::to_string(rd() % 1000000));
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) {
        if (error) *error = std::strerror(errno);
        return {};
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
        if (error) *error = "write error (disk full?)";
        out.close();
        std::error_code ec;
        fs::remove(tmp, ec);
        return {};
    }
    return tmp;
}

}  // namespace

bool WriteFileAtomic(const fs::path& path, const std::string& bytes, std::string* error) {
    return WriteFilesAtomic({{path, bytes}}, nullptr, error);
}

bool WriteFilesAtomic(const std::vector<std::pair<fs::path, std::string>>& files,
                      fs::path* failed, std::string* error) {
    std::vector<fs::path> temps;
    const auto dropTemps = [&temps] {
        std::error_code ec;
        for (const fs::path& t : temps) fs::remove(t, ec);
    };
    for (const auto& [path, bytes] : files) {
        std::error_code ec;
        fs::path tmp;
        // Checked first: a rename over a folder would fail after others were done.
        if (fs::is_directory(path, ec)) {
            if (error) *error = std::strerror(EISDIR);
        } else {
            tmp = WriteTemporary(path, bytes, error);
        }
        if (tmp.empty()) {
            if (failed) *failed = path;
            dropTemps();
            return false;
        }
        temps.push_back(std::move(tmp));
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::error_code ec;
        fs::rename(temps[i], files[i].first, ec);
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
