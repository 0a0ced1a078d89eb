// Where the program's libraries (".oxl") live: a folder given on the command
// line, else the executable's own folder when it holds a library, else the
// installed data folder.
#pragma once

#include <filesystem>
#include <string>

namespace ostra {

// The folder of the running executable, or empty when it cannot be found.
std::filesystem::path ExecutableFolder();

std::filesystem::path FindProgramFolder(const std::string& libraryDirOption,
                                        const std::filesystem::path& executableFolder,
                                        const std::filesystem::path& installedDataFolder);

}  // namespace ostra
