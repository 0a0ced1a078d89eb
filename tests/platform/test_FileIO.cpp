// Atomic writes, the Windows order of folder listings, running another
// program, and where the program finds its libraries.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "platform/FileIO.h"
#include "platform/ProgramFolder.h"
#include "platform/RunProgram.h"
#include "support/TestFiles.h"

namespace ostra {
namespace {

TEST(FileIO, AtomicWriteReplacesAndFailureKeepsTheOldFile) {
    test::TempDir dir;
    const auto p = dir / "f.bin";
    ASSERT_TRUE(WriteFileAtomic(p, "old"));
    ASSERT_TRUE(WriteFileAtomic(p, "new\r\n"));  // what a failed write below must leave
    std::string error;
    EXPECT_FALSE(WriteFileAtomic(dir / "missing" / "f.bin", "x", &error) || error.empty());
#ifndef _WIN32
    // A disk that fills up half way through the write.
    rlimit was{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &was), 0);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit full = was;
    full.rlim_cur = 4;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
    const bool written = WriteFileAtomic(p, std::string(100, 'x'), &error);
    setrlimit(RLIMIT_FSIZE, &was);
    EXPECT_EQ(std::to_string(written) + error + "|" + test::ReadBytes(p),
              "0write error (disk full?)|new\r\n");
#endif
    // No temporary files are left behind.
    EXPECT_EQ(ListFolder(dir.Path(), ".bin").size(), 1u);
    std::size_t n = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.Path())) (void)e, ++n;
    EXPECT_EQ(n, 1u);
}

#ifndef _WIN32
// A save goes through a symbolic link to its file, keeps the file's mode, works for names near the
// system's limit, and clears out temporaries that a killed program left an hour ago or more.
TEST(FileIO, SavesKeepLinksModesAndLongNames) {
    namespace fs = std::filesystem;
    test::TempDir dir;
    fs::create_directory(dir / "real");
    const auto file = dir / "real" / "Sheet_01.oxd";
    test::WriteBytes(file, "old");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(file, dir / "link.oxd");
    ASSERT_TRUE(WriteFileAtomic(dir / "link.oxd", "new"));
    EXPECT_TRUE(fs::is_symlink(dir / "link.oxd") && test::ReadBytes(file) == "new");
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    // A second name for the file sees the new content too, and a stamp
    // tells the file after from the file before, by its size alone too.
    fs::create_hard_link(file, dir / "second.oxd");
    const FileStamp before = StampOf(file);
    ASSERT_TRUE(WriteFileAtomic(file, "newer"));
    fs::last_write_time(file, fs::file_time_type(fs::file_time_type::duration(before.changed)));
    EXPECT_EQ(test::ReadBytes(dir / "second.oxd"), "newer");
    EXPECT_TRUE(fs::hard_link_count(file) == 2u && StampOf(file) != before &&
                StampOf(file) == StampOf(dir / "second.oxd") && !StampOf(dir / "none.oxd").exists);

    const auto longName = dir / (std::string(251, 'n') + ".oxd");  // 255 bytes
    EXPECT_TRUE(WriteFileAtomic(longName, "x") && test::ReadBytes(longName) == "x");

    const auto stale = dir / ".ostra-0abc12.tmp", fresh = dir / ".ostra-0abc13.tmp",
               foreign = dir / "notes.tmp";
    for (const auto& f : {stale, fresh, foreign}) test::WriteBytes(f, "left");
    for (const auto& f : {stale, foreign})
        fs::last_write_time(f, fs::file_time_type::clock::now() - std::chrono::hours(2));
    ASSERT_TRUE(WriteFileAtomic(dir / "other.oxd", "y"));
    EXPECT_TRUE(!fs::exists(stale) && fs::exists(fresh) && fs::exists(foreign));
}

// Another program's exit code comes back; one killed or not started gives -1 and why.
TEST(RunProgram, ExitCodeOrWhyNot) {
    std::string why;
    EXPECT_TRUE(RunProgram("/bin/sh", {"-c", "exit 3"}, &why) == 3 &&
                RunProgram("/bin/sh", {"-c", "kill -9 $$"}, &why) == -1 &&
                why == "/bin/sh ended abnormally");
    EXPECT_TRUE(RunProgram("/nonexistent/x", {}, &why) == -1 && why.rfind("cannot start", 0) == 0);
}
#endif

// A folder's files of one extension, in any case, sorted without regard to case.
TEST(FileIO, ListingIsCaseInsensitiveAndFiltersTheExtension) {
    test::TempDir dir;
    for (const char* n : {"z.oxd", "A.oxd", "Z2.OXD", "c.txt", "Sheet_10.oxd", "sheet_02.oxd"})
        test::WriteBytes(dir / n, "x");
    std::filesystem::create_directory(dir / "folder.oxd");
    EXPECT_EQ(ListFolder(dir.Path(), ".oxd"),
              (std::vector<std::string>{"A.oxd", "sheet_02.oxd", "Sheet_10.oxd", "z.oxd", "Z2.OXD"}));
}

// What stands where a file is expected: each read fails with the reason and
// leaves the caller's bytes alone, in bounded time and memory.
TEST(FileIO, ReadsThatCannotBeDoneSayWhy) {
    test::TempDir dir;
    const struct {
        std::string path;
        const char* reason;
    } cases[] = {
        {"/nonexistent/ostra/file", "No such file or directory"},
        {dir.Path().string(), "Is a directory"},
#ifdef __linux__
        {"/dev/zero", "larger than the 64 MB"},
        {"/proc/self/mem", "Input/output error"},
#endif
    };
    for (const auto& c : cases) {
        std::string bytes = "keep";
        std::string error;
        EXPECT_FALSE(ReadWholeFile(c.path, bytes, &error)) << c.path;
        EXPECT_EQ(bytes, "keep") << c.path;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.path << ": " << error;
    }
}

TEST(ProgramFolder, OptionThenExecutableFolderWithALibraryThenInstalled) {
    test::TempDir root;
    const auto exe = root / "bin";
    const auto share = root / "share" / "ostra-plc";
    std::filesystem::create_directories(exe);
    std::filesystem::create_directories(share);
    test::WriteBytes(share / "KMRU-01.oxl", "");  // an installation moved as a whole
    EXPECT_EQ(FindProgramFolder("", exe, "/usr/share/ostra-plc"), share);
    test::WriteBytes(exe / "KMRU-01.OXL", "");
    EXPECT_TRUE(FindProgramFolder("", exe, "/usr/share/ostra-plc") == exe &&
                !ExecutableFolder().empty());
}

}  // namespace
}  // namespace ostra
