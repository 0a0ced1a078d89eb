// Starting another program of this system and waiting for it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace ostra {

// Runs `program` with `args` (no shell in between, so arguments need no
// quoting) and waits for it. Returns its exit code, or -1 with `error` set when
// it could not be started or did not end normally.
int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
               std::string* error);

// This program's process id, and whether a process of that id still runs
// (as far as this user may know).
long long CurrentProcessId();
bool ProcessIsRunning(long long pid);

}  // namespace ostra
