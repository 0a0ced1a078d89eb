// Locating the program folder.
#include "platform/ProgramFolder.h"

#include <iterator>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace ostra {

namespace fs = std::filesystem;

fs::path ExecutableFolder() {
#ifdef _WIN32
    wchar_t buf[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameW(nullptr, buf, static_cast<DWORD>(std::size(buf)));
    if (n == 0 || n >= std::size(buf)) return {};
    return fs::path(std::wstring(buf, n)).parent_path();
#else
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : exe.parent_path();
#endif
}

fs::path FindProgramFolder(const std::string& libraryDirOption, const fs::path& executableFolder,
                           const fs::path& installedDataFolder) {
    if (!libraryDirOption.empty()) return libraryDirOption;
    const auto holdsLibrary = [](const fs::path& dir) {
        std::error_code ec;
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
            std::string ext = it->path().extension().string();
            for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
            if (ext == ".oxl") return true;
        }
        return false;
    };
    if (!executableFolder.empty()) {
        if (holdsLibrary(executableFolder)) return executableFolder;
        // An installation moved as a whole (a package unpacked elsewhere):
        // its data folder beside its bin folder.
        const fs::path beside = executableFolder.parent_path() / "share" / "ostra-plc";
        if (holdsLibrary(beside)) return beside;
    }
    return installedDataFolder;
}

}  // namespace ostra
