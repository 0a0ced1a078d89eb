// Crash recovery: while the application runs, each sheet with unsaved
// changes is copied now and then into a recovery folder of its own (never
// over the user's file). A clean exit empties it; after an unclean one the
// next start finds the copies and offers them back.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace ostra {

class COstra_PLCDoc;

struct RecoveredSheet {
    std::filesystem::path copy;      // the recovery file
    std::filesystem::path original;  // where the sheet came from (empty: never saved)
    std::string title;
};

class CRecovery {
  public:
    // `folder` is created when needed; empty switches recovery off.
    explicit CRecovery(std::filesystem::path folder = {});
    ~CRecovery();
    CRecovery(const CRecovery&) = delete;
    CRecovery& operator=(const CRecovery&) = delete;

    bool Enabled() const { return !folder_.empty(); }
    const std::filesystem::path& Folder() const { return folder_; }

    // Marks this run as begun: until Close(), its copies count as left by
    // an unclean exit should the program end without it.
    void Open();
    // A clean exit: this run's copies go.
    void Close();

    // Keeps a copy of `doc` as it is now; `key` tells the sheets of this run
    // apart. False (with the reason) when it cannot be written.
    bool Keep(const void* key, COstra_PLCDoc& doc, std::string* error = nullptr);
    // The sheet was saved or closed: its copy goes.
    void Drop(const void* key);

    // Copies left by runs that are no longer running.
    std::vector<RecoveredSheet> Left() const;
    // Those copies are dealt with (restored or refused): they go.
    void Discard(const std::vector<RecoveredSheet>& sheets) const;

  private:
    std::filesystem::path CopyPath(const void* key) const;
    std::filesystem::path folder_;
    std::string run_;  // this run's name: its process id
    std::vector<const void*> keys_;
    bool open_ = false;
};

}  // namespace ostra
