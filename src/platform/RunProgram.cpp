// Starting a helper program.
#include "platform/RunProgram.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#else
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace ostra {

#ifdef _WIN32

namespace {

// The C runtime joins the arguments with blanks, so each is quoted by the
// rules that the receiving program's argument parser undoes.
std::wstring Quoted(const std::wstring& arg) {
    std::wstring out = L"\"";
    size_t slashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++slashes;
            continue;
        }
        if (c == L'"') out.append(slashes * 2 + 1, L'\\');
        else out.append(slashes, L'\\');
        slashes = 0;
        out += c;
    }
    out.append(slashes * 2, L'\\');
    return out + L"\"";
}

}  // namespace

int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
               std::string* error) {
    std::vector<std::wstring> quoted{Quoted(program.wstring())};
    for (const std::string& a : args) quoted.push_back(Quoted(std::filesystem::u8path(a).wstring()));
    std::vector<const wchar_t*> argv;
    for (const std::wstring& q : quoted) argv.push_back(q.c_str());
    argv.push_back(nullptr);
    const intptr_t code = _wspawnv(_P_WAIT, program.wstring().c_str(), argv.data());
    if (code == -1) {
        if (error) *error = std::string("cannot start ") + program.string() + ": " + std::strerror(errno);
        return -1;
    }
    return static_cast<int>(code);
}

#else

int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
               std::string* error) {
    std::vector<std::string> owned{program.string()};
    owned.insert(owned.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : owned) argv.push_back(s.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, owned[0].c_str(), nullptr, nullptr, argv.data(), environ);
    if (rc != 0) {
        if (error) *error = "cannot start " + owned[0] + ": " + std::strerror(rc);
        return -1;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            if (error) *error = "lost " + owned[0] + ": " + std::strerror(errno);
            return -1;
        }
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (error) *error = owned[0] + " ended abnormally";
    return -1;
}

#endif

#ifdef _WIN32

long long CurrentProcessId() { return static_cast<long long>(GetCurrentProcessId()); }

bool ProcessIsRunning(long long pid) {
    HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (!h) return GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool running = GetExitCodeProcess(h, &code) && code == STILL_ACTIVE;
    CloseHandle(h);
    return running;
}

#else

long long CurrentProcessId() { return static_cast<long long>(getpid()); }

bool ProcessIsRunning(long long pid) {
    if (pid <= 0) return false;
    return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

#endif

}  // namespace ostra
