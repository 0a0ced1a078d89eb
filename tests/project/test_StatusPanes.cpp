// The status panes and the menu bits they set, along the road folder ->
// processor -> wire check -> compile.
#include <gtest/gtest.h>

#include "platform/ISettings.h"
#include "project/COstraProject.h"
#include "project/StatusPanes.h"
#include "support/Recorders.h"
#include "support/TestFiles.h"

namespace ostra {
namespace {

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

    panes.Update(p, 0);
    EXPECT_EQ(panes.texts[StatusPanes::kProc], "PROC: ?");
    EXPECT_EQ(panes.texts[StatusPanes::kSheets], "Sheets: 0");
    EXPECT_TRUE(p.Menu.Enabled(CProjectMenu::kCompile));  // no sheet: all checked

    p.OpenProjectFolder(work / "project.oxp");
    panes.Update(p, p.Sheets[0]->checkState);
    EXPECT_EQ(panes.texts[StatusPanes::kProc], "KMRU-01");
    EXPECT_TRUE(p.Menu.Checked(CProjectMenu::kProcessor));
    EXPECT_EQ(panes.texts[StatusPanes::kSheets], "Sheets: 2");
    EXPECT_EQ(panes.texts[StatusPanes::kChecked], "Checked: 0");
    EXPECT_EQ(panes.texts[StatusPanes::kWireCheck], "WCHK ???");
    // Compiled before, but a sheet is unchecked: the state drops at once.
    EXPECT_EQ(panes.texts[StatusPanes::kCompiled], "COMPILED ??");
    EXPECT_EQ(p.Menu.words[CProjectMenu::kCompile], CProjectMenu::kDisabled);

    p.WireCheckSheet(*p.Sheets[0]);
    panes.Update(p, p.Sheets[0]->checkState);
    EXPECT_EQ(panes.texts[StatusPanes::kWireCheck], "WCHK OK");
    EXPECT_EQ(panes.texts[StatusPanes::kChecked], "Checked: 1");
    EXPECT_FALSE(p.Menu.Enabled(CProjectMenu::kCompile));
    p.WireCheckSheet(*p.Sheets[1]);
    panes.Update(p, p.Sheets[1]->checkState);
    EXPECT_TRUE(p.Menu.Enabled(CProjectMenu::kCompile));

    p.CompileAll();
    panes.Update(p, p.Sheets[1]->checkState);
    EXPECT_EQ(panes.texts[StatusPanes::kCompiled], "COMPILED OK");
    EXPECT_TRUE(p.Menu.Checked(CProjectMenu::kCompile));
    EXPECT_EQ(panes.texts[StatusPanes::kBlocks], "FB's: 19");
    panes.Update(p, -1);
    EXPECT_EQ(panes.texts[StatusPanes::kWireCheck], "WCHK ERR");
    EXPECT_FALSE(p.Menu.Checked(CProjectMenu::kWireCheck));
    p.ProjCtrl.Compile = -1;  // a failed compile takes the mark off
    panes.Update(p, 1);
    EXPECT_EQ(panes.texts[StatusPanes::kCompiled], "COMPILE ERR");
    EXPECT_FALSE(p.Menu.Checked(CProjectMenu::kCompile));
}

}  // namespace
}  // namespace ostra
