// The recent sheet files: order, the limit of six, the store and menu texts.
#include <gtest/gtest.h>

#include "platform/ISettings.h"
#include "project/RecentFiles.h"

namespace ostra {
namespace {

TEST(RecentFiles, NewestFirstSixAtMostNoDuplicates) {
    CRecentFileList list;
    for (int i = 1; i <= 8; ++i) list.Add("/p/Sheet_0" + std::to_string(i) + ".oxd");
    ASSERT_EQ(list.Entries().size(), 6u);
    EXPECT_EQ(list.Entries().front(), "/p/Sheet_08.oxd");
    EXPECT_EQ(list.Entries().back(), "/p/Sheet_03.oxd");
    // Reopening a listed file, spelt in other case, moves it to the top.
    list.Add("/P/SHEET_05.OXD");
    ASSERT_EQ(list.Entries().size(), 6u);
    EXPECT_EQ(list.Entries().front(), "/P/SHEET_05.OXD");
    EXPECT_EQ(list.Entries()[1], "/p/Sheet_08.oxd");
    list.Remove("/p/sheet_08.oxd");
    EXPECT_EQ(list.Entries().size(), 5u);
    list.Add("");
    EXPECT_EQ(list.Entries().size(), 5u);
    // Case folds from A to Z, and nothing else is taken for a letter.
    CRecentFileList folded;
    folded.Add("/a/z.oxd");
    folded.Add("/A/Z.OXD");
    folded.Add("/a[.oxd");
    folded.Add("/a{.oxd");
    folded.Add("/a@.oxd");
    folded.Add("/a`.oxd");
    EXPECT_EQ(folded.Entries(),
              (std::vector<std::string>{"/a`.oxd", "/a@.oxd", "/a{.oxd", "/a[.oxd", "/A/Z.OXD"}));
}

TEST(RecentFiles, StoreRoundTripAndDamagedStore) {
    MemorySettings settings;
    CRecentFileList list;
    list.Add("/a/one.oxd");
    list.Add("/a/two.oxd");
    list.Save(settings);
    EXPECT_EQ(settings.GetString("Recent File List", "File1"), "/a/two.oxd");
    EXPECT_EQ(settings.GetString("Recent File List", "File3"), "");
    CRecentFileList loaded;
    loaded.Load(settings);
    EXPECT_EQ(loaded.Entries(), list.Entries());

    // Gaps and repeats left by another program are skipped.
    settings.SetString("Recent File List", "File3", "");
    settings.SetString("Recent File List", "File4", "/a/ONE.oxd");
    settings.SetString("Recent File List", "File5", "/b/three.oxd");
    loaded.Load(settings);
    EXPECT_EQ(loaded.Entries(),
              (std::vector<std::string>{"/a/two.oxd", "/a/one.oxd", "/b/three.oxd"}));
}

TEST(RecentFiles, MenuText) {
    EXPECT_EQ(CRecentFileList::MenuText(0, "/plant/Sheet_01.oxd", "/plant"), "&1 Sheet_01.oxd");
    EXPECT_EQ(CRecentFileList::MenuText(5, "/other/A&B.oxd", "/plant"), "&6 /other/A&&B.oxd");
}

}  // namespace
}  // namespace ostra
