// Recent sheet files.
#include "project/RecentFiles.h"

#include <algorithm>
#include <filesystem>

#include "platform/ISettings.h"

namespace ostra {

namespace {

const char kSection[] = "Recent File List";

bool SameFile(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) {
                   return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
               };
               return lower(x) == lower(y);
           });
}

}  // namespace

void CRecentFileList::Add(const std::string& path) {
    if (path.empty()) return;
    Remove(path);
    entries_.insert(entries_.begin(), path);
    if (entries_.size() > static_cast<size_t>(kSize)) entries_.resize(kSize);
}

void CRecentFileList::Remove(const std::string& path) {
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [&path](const std::string& e) { return SameFile(e, path); }),
                   entries_.end());
}

void CRecentFileList::Load(const ISettings& settings) {
    entries_.clear();
    for (int i = 1; i <= kSize; ++i) {
        const std::string value = settings.GetString(kSection, "File" + std::to_string(i));
        if (value.empty()) continue;
        if (std::none_of(entries_.begin(), entries_.end(),
                         [&value](const std::string& e) { return SameFile(e, value); }))
            entries_.push_back(value);
    }
}

void CRecentFileList::Save(ISettings& settings) const {
    for (int i = 0; i < kSize; ++i)
        settings.SetString(kSection, "File" + std::to_string(i + 1),
                           i < static_cast<int>(entries_.size()) ? entries_[i] : std::string());
}

std::string CRecentFileList::MenuText(int index, const std::string& path,
                                      const std::string& currentDir) {
    const std::filesystem::path p(path);
    std::string shown = path;
    if (!currentDir.empty() && SameFile(p.parent_path().string(),
                                        std::filesystem::path(currentDir).string()))
        shown = p.filename().string();
    std::string escaped;
    for (char c : shown) {
        if (c == '&') escaped += '&';
        escaped += c;
    }
    return "&" + std::to_string(index + 1) + " " + escaped;
}

}  // namespace ostra
