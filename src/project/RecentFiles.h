// The list of the most recently opened or saved sheet files, newest first,
// kept in the settings store as "File1".."File6" of "Recent File List".
#pragma once

#include <string>
#include <vector>

namespace ostra {

class ISettings;

class CRecentFileList {
  public:
    static constexpr int kSize = 6;

    // Puts `path` at the top; an entry naming the same file moves up instead
    // of appearing twice (compared without regard to case, as on Windows).
    void Add(const std::string& path);
    void Remove(const std::string& path);
    const std::vector<std::string>& Entries() const { return entries_; }

    // Empty and missing keys are skipped, so a damaged store gives a shorter list.
    void Load(const ISettings& settings);
    void Save(ISettings& settings) const;

    // The menu text: "&1 name" with the folder left out when the file lies in
    // `currentDir`, and "&" doubled so that it is not taken for a mnemonic.
    static std::string MenuText(int index, const std::string& path, const std::string& currentDir);

  private:
    std::vector<std::string> entries_;
};

}  // namespace ostra
