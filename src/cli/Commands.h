// The commands of ostra-plc-cli. Each returns the process exit code: 0
// success, 1 the operation failed (check or compile found errors), 2 the
// command could not run (with a one-line reason on standard error).
#pragma once

#include <iosfwd>

#include "cli/Options.h"

namespace ostra::cli {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitCannotRun = 2;

int CannotRun(const std::string& reason);

int Dump(const Options& opt);
int Resave(const Options& opt);
int Check(const Options& opt);
int Compile(const Options& opt);
int Export(const Options& opt);
// connect, upload or verify, by opt.command.
int Target(const Options& opt);

}  // namespace ostra::cli
