// The six project panes of the status bar (PROC, Sheets, Checked, WCHK,
// COMPILED, FB's) and the "&Project" menu bits their update sets, computed
// from the project when the application is idle.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace ostra {

class COstraProject;

struct StatusPanes {
    enum Pane { kProc, kSheets, kChecked, kWireCheck, kCompiled, kBlocks, kCount };
    // The texts before the first update; they also set the panes' widths.
    static std::array<std::string, kCount> InitialTexts();

    // Runs the pane handlers in their order; `activeCheckState` is the check
    // state of the active view's sheet (0 when none).
    void Update(COstraProject& project, int32_t activeCheckState);

    std::array<std::string, kCount> texts = InitialTexts();
    int32_t sheetCount = 0;
    int32_t checkedCount = 0;
};

}  // namespace ostra
