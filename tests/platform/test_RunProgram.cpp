// Starting helper programs: exit codes pass through, arguments arrive whole,
// a missing program is an error rather than a crash.
#include <gtest/gtest.h>

#include "platform/RunProgram.h"
#include "support/TestFiles.h"

namespace ostra {
namespace {

#ifndef _WIN32
TEST(RunProgram, ExitCodesAndArgumentsWithBlanks) {
    std::string error;
    EXPECT_EQ(RunProgram("/bin/sh", {"-c", "exit 3"}, &error), 3);
    test::TempDir dir;
    const auto out = dir / "a file with blanks";
    EXPECT_EQ(RunProgram("/bin/sh", {"-c", "printf '%s' \"$1\" > \"$2\"", "sh", "x \"y\" $z",
                                     out.string()},
                         &error),
              0)
        << error;
    EXPECT_EQ(test::ReadBytes(out), "x \"y\" $z");
}

TEST(RunProgram, MissingProgramAndAbnormalEnd) {
    std::string error;
    EXPECT_EQ(RunProgram("/nonexistent/ostra-helper", {}, &error), -1);
    EXPECT_NE(error.find("cannot start /nonexistent/ostra-helper"), std::string::npos);
    error.clear();
    EXPECT_EQ(RunProgram("/bin/sh", {"-c", "kill -9 $$"}, &error), -1);
    EXPECT_NE(error.find("ended abnormally"), std::string::npos);
}
#endif

}  // namespace
}  // namespace ostra
