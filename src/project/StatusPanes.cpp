// Status pane handlers.
#include "project/StatusPanes.h"

#include "project/COstraProject.h"

namespace ostra {

std::array<std::string, StatusPanes::kCount> StatusPanes::InitialTexts() {
    return {"  PROC: ????  ", "  Sheets: 0  ", "  Checked: 0  ", "  WCHK: ??  ",
            "  COMPILED ??  ", "  FB's: 0    "};
}

void StatusPanes::Update(COstraProject& p, int32_t activeCheckState) {
    CProjectMenu& m = p.Menu;
    const std::string& proc = p.Library.ProcessorName;
    texts[kProc] = proc.empty() ? "PROC: ?" : proc;
    m.SetChecked(CProjectMenu::kProcessor, !proc.empty());

    sheetCount = static_cast<int32_t>(p.Sheets.size());
    checkedCount = 0;
    for (const auto& s : p.Sheets)
        if (s->checkState >= 1) ++checkedCount;
    if (checkedCount < sheetCount) {
        p.ProjCtrl.Compile = 0;
        m.words[CProjectMenu::kCompile] = CProjectMenu::kDisabled;
    } else {
        m.SetDisabled(CProjectMenu::kCompile, false);
    }
    texts[kSheets] = "Sheets: " + std::to_string(sheetCount);
    texts[kChecked] = "Checked: " + std::to_string(checkedCount);

    texts[kWireCheck] = activeCheckState < 0 ? "WCHK ERR" : activeCheckState == 0 ? "WCHK ???" : "WCHK OK";
    m.SetChecked(CProjectMenu::kWireCheck, activeCheckState > 0);

    const int32_t c = p.ProjCtrl.Compile;
    texts[kCompiled] = c == -1 ? "COMPILE ERR" : c == 1 ? "COMPILED OK" : "COMPILED ??";
    m.SetChecked(CProjectMenu::kCompile, c == 1);

    texts[kBlocks] = "FB's: " + std::to_string(p.FBCount);
}

}  // namespace ostra
