// Project folder commands: the control file (exact layout, fixed value positions, last wins),
// sheets of the folder, compiled image, New sheet numbering, and the status panes along the road
// folder -> processor -> wire check -> compile.
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/FileIO.h"
#include "platform/ISettings.h"
#include "platform/RunProgram.h"
#include "project/COstraProject.h"
#include "project/CProjCtrl.h"
#include "project/RecentFiles.h"
#include "project/Recovery.h"
#include "project/StatusPanes.h"
#include "project/TextLines.h"
#include "support/Recorders.h"
#include "support/TestFiles.h"

namespace ostra {
namespace {

using test::RecordingMessageBox;

class ProjectTest : public ::testing::Test {
  protected:
    ProjectTest() : project(box, settings, start.Path()) {
        project.ProgramFolder = test::Examples();
        std::filesystem::create_directory(folder);
    }
    void CopyExample() {
        std::filesystem::copy(test::Examples() / "TankPlant", folder,
                              std::filesystem::copy_options::overwrite_existing |
                                  std::filesystem::copy_options::recursive);
    }

    test::TempDir start;
    test::TempDir work;
    std::filesystem::path folder = work / "Plant";
    RecordingMessageBox box;
    MemorySettings settings;
    COstraProject project;
};

TEST_F(ProjectTest, MissingControlFileIsCreatedWithDefaults) {
    EXPECT_EQ(project.LoadProjectControl(folder / "project.oxp"), 1);
    EXPECT_EQ(test::ReadBytes(folder / "project.oxp"),
              "Folder = 1\r\nProcessor = \r\nWireCheck = 0\r\nCompile = 0\r\nCommPort = 0\r\n"
              "boX = 0\r\nSlot = 0\r\n");
    EXPECT_TRUE(project.ProjectFolder == folder && project.CurrentDir == folder && box.messages.empty());
    EXPECT_EQ(settings.GetString("Settings", "CWPath"), folder.string());
}

TEST_F(ProjectTest, ImageIsLoadedOnlyForACompiledProject) {
    CopyExample();
    for (const char* state : {"0", "-1"}) {
        std::string ctrl = test::ReadBytes(folder / "project.oxp");
        ctrl.replace(ctrl.find("Compile = "), 11, std::string("Compile = ") + state);
        test::WriteBytes(folder / "project.oxp", ctrl);
        project.OpenProjectFolder(folder / "project.oxp");
        EXPECT_TRUE(project.Tables.Empty()) << state;
    }
    EXPECT_TRUE(project.SerializeProjectImage(false) && !project.Tables.Empty());  // when asked
}

TEST_F(ProjectTest, CancelledChoiceReportsAndReopensTheCurrentFolder) {
    CopyExample();
    project.OpenProjectFolder(folder / "project.oxp");
    box.messages.clear();
    project.OpenProjectFolder({});
    ASSERT_EQ(box.messages.size(), 1u);
    EXPECT_EQ(box.messages[0].text.rfind("The project file could not be opened because: ", 0), 0u);
    EXPECT_EQ(box.messages[0].caption, "Ostra_PLC");
    // The sheets of the current folder again.
    EXPECT_TRUE(project.Sheets.size() == 2u && project.Menu.Checked(CProjectMenu::kFolder));
}

TEST_F(ProjectTest, DamagedFilesAreReportedAndTheRestOpens) {
    CopyExample();
    test::WriteBytes(folder / "Broken.oxd", "0\r\n\x01");
    test::WriteBytes(folder / "project.oxb", "garbage");
    project.OpenProjectFolder(folder / "project.oxp");
    ASSERT_EQ(box.messages.size(), 2u);
    EXPECT_NE(box.messages[0].text.find("Broken.oxd"), std::string::npos);
    EXPECT_NE(box.messages[1].text.find("project.oxb is damaged"), std::string::npos);
    EXPECT_TRUE(project.Sheets.size() == 2u && project.Tables.Empty());
}

TEST_F(ProjectTest, MissingLibraryClearsTheProcessor) {
    test::WriteBytes(folder / "project.oxp", "Processor = KMRU-77\r\n");
    project.OpenProjectFolder(folder / "project.oxp");
    ASSERT_EQ(box.messages.size(), 1u);
    EXPECT_EQ(box.messages[0].text.rfind("Could not open library file ", 0), 0u);
    EXPECT_TRUE(project.ProjCtrl.Processor.empty() && !project.Menu.Checked(CProjectMenu::kProcessor));
}

TEST_F(ProjectTest, NamedProjectUsesTheControlFileOfItsFolder) {
    CopyExample();
    project.OpenNamedProjectFile(folder / "project.oxp");
    EXPECT_TRUE(box.messages.empty() && project.Sheets.size() == 2u && project.ProjectFolder == folder &&
                !project.OpenNamedProject);
}

TEST_F(ProjectTest, NewSheetAfterFifteenIsSixteen) {
    project.CurrentDir = folder;
    for (int i = 1; i <= 15; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Sheet_%02d.oxd", i);
        test::WriteBytes(folder / name, "");
    }
    EXPECT_EQ(project.NewSheet().title, "Sheet_16");
    // Open sheets count by their path.
    project.Sheets.clear();
    std::filesystem::remove(folder / "Sheet_04.oxd");
    project.Sheets.push_back(std::make_unique<COstra_PLCDoc>());
    project.Sheets.back()->pathName = work / "elsewhere" / "Sheet_04.oxd";
    EXPECT_EQ(project.NewSheet().title, "Sheet_16");
}

// Copies of sheets with changes: this run's are its own until a clean exit
// removes them; a dead run's are offered with their origin, then discarded.
TEST(Recovery, CopiesOfThisRunAndOfARunThatDied) {
    test::TempDir dir;
    const auto folder = dir / "recovery";
    COstra_PLCDoc doc;
    doc.OnNewDocument("Sheet_07");
    doc.pathName = dir / "Sheet_07.oxd";
    {
        CRecovery run(folder);
        run.Open();
        ASSERT_TRUE(run.Keep(&doc, doc));
        run.Drop(&doc);  // the copy goes with where it came from
        EXPECT_TRUE(ListFolder(folder, ".oxd").empty() && ListFolder(folder, ".txt").empty());
        ASSERT_TRUE(run.Keep(&run, doc));
        run.Close();
        ASSERT_TRUE(run.Keep(&doc, doc));  // a change after a close marks the run again
        EXPECT_EQ(ListFolder(folder, ".run").size(), 1u);
        run.Close();
    }
    EXPECT_TRUE(ListFolder(folder, ".oxd").empty() && ListFolder(folder, ".run").empty());

    // What a run that died left: its mark, a copy and the copy's origin.
    const std::string dead = "2147483000";
    test::WriteBytes(folder / (dead + ".run"), dead);
    test::WriteBytes(folder / (dead + "-3.oxd"), doc.SaveToBytes());
    test::WriteBytes(folder / (dead + "-3.txt"), (dir / "Sheet_07.oxd").u8string() + "\nSheet_07\n");
    test::WriteBytes(folder / "2147483001.run", "2147483001");  // a mark without copies
    CRecovery next(folder);
    next.Open();
    EXPECT_FALSE(std::filesystem::exists(folder / "2147483001.run"));
    EXPECT_TRUE(std::filesystem::exists(folder / (dead + ".run")));  // kept with its copy
    EXPECT_TRUE(!ProcessIsRunning(0) && ProcessIsRunning(getpid()));  // no run is numbered 0
    const auto left = next.Left();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].original.string() + "|" + left[0].title,
              (dir / "Sheet_07.oxd").string() + "|Sheet_07");
    COstra_PLCDoc back;
    ASSERT_TRUE(back.OnOpenDocument(left[0].copy).ok);
    EXPECT_EQ(back.SaveToBytes(), doc.SaveToBytes());
    next.Discard(left);
    EXPECT_TRUE(next.Left().empty());
    EXPECT_FALSE(std::filesystem::exists(folder / (dead + ".run")) ||
                 std::filesystem::exists(folder / (dead + "-3.txt")));
}

// The recent-file list: one entry per file, A..Z folded (Windows' rule), kept
// as "File1".., and "&" doubled in the menu so that it shows as itself.
TEST(RecentFiles, EntriesKeysAndMenuTexts) {
    CRecentFileList list;
    for (const char* p :
         {"/w/az.oxd", "/w/B.oxd", "/w/AZ.OXD", "/w/\xC3\xA9.oxd", "/w/\xC3\x89.oxd"})
        list.Add(p);
    EXPECT_EQ(list.Entries(), (std::vector<std::string>{"/w/\xC3\x89.oxd", "/w/\xC3\xA9.oxd",
                                                        "/w/AZ.OXD", "/w/B.oxd"}));
    MemorySettings settings;
    list.Save(settings);
    EXPECT_EQ(settings.GetString("Recent File List", "File1"), "/w/\xC3\x89.oxd");
    EXPECT_EQ(settings.GetString("Recent File List", "File4"), "/w/B.oxd");
    EXPECT_EQ(CRecentFileList::MenuText(1, "/w/R&D.oxd", "/w"), "&2 R&&D.oxd");
    EXPECT_EQ(CRecentFileList::MenuText(0, "/x/R.oxd", "/w"), "&1 /x/R.oxd");
    for (int i = 0; i < 8; ++i) list.Add("/w/" + std::to_string(i) + ".oxd");
    EXPECT_TRUE(list.Entries().size() == 6u &&
                list.Entries().back() == "/w/2.oxd");  // the newest six
}

TEST(CProjCtrl, WrittenLayout) {
    CProjCtrl c;
    c.Folder = 1, c.Processor = "KMRU-01", c.Compile = -1, c.CommPort = 2, c.boX = 3, c.Slot = 12;
    EXPECT_EQ(c.Format(),
              "Folder = 1\r\nProcessor = KMRU-01\r\nWireCheck = 0\r\nCompile = -1\r\n"
              "CommPort = 2\r\nboX = 3\r\nSlot = 12\r\n");
    CProjCtrl d;
    EXPECT_TRUE(d.Read(c.Format()) == 1 && d.Format() == c.Format());
    // The processor's name: sixteen characters at most, one byte each.
    c.Processor = "ABCDEFGHIJKLMNOPQRST";
    EXPECT_NE(c.Format().find("Processor = ABCDEFGHIJKLMNOP\r\n"), std::string::npos);
    d.Read(c.Format());
    EXPECT_EQ(d.Processor, "ABCDEFGHIJKLMNOP");
    c.Processor = "K\xC3\xA9";  // Ké
    EXPECT_NE(c.Format().find("Processor = K\xE9\r\n"), std::string::npos);
    d.Read(c.Format());
    EXPECT_EQ(d.Processor, "K\xC3\xA9");
    // Stored as "project.oxp" in a folder; a folder that cannot take it is told.
    test::TempDir dir;
    test::RecordingMessageBox msg;
    EXPECT_TRUE(StoreProjectControl(c, msg, dir.Path()) == 1 && msg.messages.empty());
    EXPECT_EQ(test::ReadBytes(dir / "project.oxp"), c.Format());
    EXPECT_EQ(StoreProjectControl(c, msg, dir / "missing"), 0);
    EXPECT_EQ(test::Said(msg), "Project Control File cannot be written||0|0");
}

TEST(CProjCtrl, ValuesAreReadFromFixedPositions) {
    // Each value is read from the place after "Key =": glued to the "=" too.
    const struct {
        const char* key;
        int32_t CProjCtrl::*field;
    } keys[] = {{"Folder", &CProjCtrl::Folder},     {"WireCheck", &CProjCtrl::WireCheck},
                {"Compile", &CProjCtrl::Compile},   {"CommPort", &CProjCtrl::CommPort},
                {"boX", &CProjCtrl::boX},           {"Slot", &CProjCtrl::Slot}};
    for (const auto& k : keys) {
        CProjCtrl glued;
        glued.Read(std::string(k.key) + " =47\r\n");
        EXPECT_EQ(glued.*k.field, 47) << k.key;
    }
    // In turn on one control: a line that gives no value keeps the last.
    CProjCtrl c;
    c.Compile = 5;
    const std::pair<const char*, int32_t> compile[] = {
        {"Compile=1", 5},  // no blanks: read from the wrong place
        {"Compile = -1", -1}, {"Compile =", -1}, {"Compile = x", -1}, {"Compile =   7 trailing", 7}};
    for (const auto& [line, value] : compile) {
        c.Read(std::string(line) + "\r\n");
        EXPECT_EQ(c.Compile, value) << line;
    }
    const std::pair<const char*, const char*> processor[] = {
        {"Processor=KMRU-01", "RU-01"}, {"Processor = ", ""}, {"Processor =  X", " X"}};
    for (const auto& [line, value] : processor) {
        c.Read(std::string(line) + "\r\n");
        EXPECT_EQ(c.Processor, value) << line;
    }
}

TEST(CProjCtrl, LongLinesAreCutTo59Characters) {
    CProjCtrl c;
    c.Read("Processor = " + std::string(60, 'P') + "\r\nSlot = 3\r\n");
    EXPECT_TRUE(c.Processor == std::string(59 - 12, 'P') && c.Slot == 3);
    // Text lines with a limit go on in pieces, as a line read in chunks does.
    EXPECT_EQ(SplitTextLines("abcdefg\r\nhi\n\r\n\nj\r", 3),
              (std::vector<std::string>{"abc", "def", "g", "hi", "", "", "j\r"}));
    EXPECT_EQ(SplitTextLines("abc\ndef", 3), (std::vector<std::string>{"abc", "def"}));
}

TEST(StatusPanes, AlongTheRoad) {
    test::TempDir work;
    std::filesystem::copy(test::Examples() / "TankPlant", work.Path(),
                          std::filesystem::copy_options::recursive);
    // Unchecked sheets: drop their check state.
    for (const char* name : {"Sheet_01.oxd", "Sheet_02.oxd"}) {
        std::string bytes = test::ReadBytes(work / name);
        bytes[0] = '0';
        test::WriteBytes(work / name, bytes);
    }
    test::RecordingMessageBox box;
    MemorySettings settings;
    COstraProject p(box, settings, work.Path());
    p.ProgramFolder = test::Examples();
    StatusPanes panes;  // before the first update: texts as wide as the panes
    EXPECT_EQ(panes.texts[StatusPanes::kProc], "  PROC: ????  ");
    EXPECT_EQ(panes.texts[StatusPanes::kBlocks], "  FB's: 0    ");

    // The panes PROC, Sheets, Checked, WCHK, COMPILED and FB's as one text.
    const auto shown = [&](int32_t checkState) {
        panes.Update(p, checkState);
        std::string out;
        for (int k : {StatusPanes::kProc, StatusPanes::kSheets, StatusPanes::kChecked,
                      StatusPanes::kWireCheck, StatusPanes::kCompiled, StatusPanes::kBlocks})
            out += panes.texts[k] + "|";
        return out;
    };
    EXPECT_EQ(shown(0), "PROC: ?|Sheets: 0|Checked: 0|WCHK ???|COMPILED ??|FB's: 0|");

    p.OpenProjectFolder(work / "project.oxp");
    // Compiled before, but a sheet is unchecked: the state drops at once.
    EXPECT_EQ(shown(p.Sheets[0]->checkState), "KMRU-01|Sheets: 2|Checked: 0|WCHK ???|COMPILED ??|FB's: 0|");
    EXPECT_TRUE(p.Menu.Checked(CProjectMenu::kProcessor) &&
                !p.Menu.Checked(CProjectMenu::kWireCheck));
    EXPECT_EQ(p.Menu.words[CProjectMenu::kCompile], CProjectMenu::kDisabled);

    p.WireCheckSheet(*p.Sheets[0]);
    EXPECT_EQ(shown(p.Sheets[0]->checkState), "KMRU-01|Sheets: 2|Checked: 1|WCHK OK|COMPILED ??|FB's: 0|");
    EXPECT_FALSE(p.Menu.Enabled(CProjectMenu::kCompile));
    p.WireCheckSheet(*p.Sheets[1]);
    shown(p.Sheets[1]->checkState);
    EXPECT_TRUE(p.Menu.Enabled(CProjectMenu::kCompile));

    p.CompileAll();
    EXPECT_EQ(shown(p.Sheets[1]->checkState), "KMRU-01|Sheets: 2|Checked: 2|WCHK OK|COMPILED OK|FB's: 19|");
    EXPECT_TRUE(p.Menu.Checked(CProjectMenu::kCompile));
    EXPECT_EQ(shown(-1), "KMRU-01|Sheets: 2|Checked: 2|WCHK ERR|COMPILED OK|FB's: 19|");
    EXPECT_FALSE(p.Menu.Checked(CProjectMenu::kWireCheck));
    p.ProjCtrl.Compile = -1;  // a failed compile takes the mark off
    EXPECT_EQ(shown(1), "KMRU-01|Sheets: 2|Checked: 2|WCHK OK|COMPILE ERR|FB's: 19|");
    EXPECT_FALSE(p.Menu.Checked(CProjectMenu::kCompile));
}

}  // namespace
}  // namespace ostra
