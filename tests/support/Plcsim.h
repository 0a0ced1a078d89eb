// Starts ostra-plcsim on a pseudo-terminal for a test and stops it after.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace ostra::test {

// ostra-plcsim on a pseudo-terminal, stopped when the test ends.
class Plcsim {
  public:
    explicit Plcsim(const std::string& args = {}, const std::string& program = OSTRA_PLCSIM_PATH) {
        int fds[2];
        if (pipe(fds) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(fds[1], 1);
            close(fds[0]);
            const std::string cmd = "exec '" + program + "' " + args;
            execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        char c = 0;
        while (read(fds[0], &c, 1) == 1 && c != '\n') device_ += c;
        close(fds[0]);
    }
    ~Plcsim() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int status = 0;
            waitpid(pid_, &status, 0);
        }
    }
    const std::string& Device() const { return device_; }

  private:
    pid_t pid_ = -1;
    std::string device_;
};

}  // namespace ostra::test
