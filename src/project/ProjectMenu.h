// The state of the "&Project" menu: one word per item position, with a checked
// and a disabled bit. The project, compile and controller operations change it
// as the work proceeds; the GUI only shows it.
#pragma once

#include <array>
#include <cstdint>

namespace ostra {

class CProjectMenu {
public:
    static constexpr uint32_t kChecked = 0x10000;
    static constexpr uint32_t kDisabled = 0x40000;

    enum Position : int {
        kFolder = 0,
        kProcessor = 1,
        kWireCheck = 2,
        kCompile = 3,
        kConnect = 5,
        kUpload = 6,
        kVerify = 7,
        kMonitor = 8,
        kStatistics = 10,
        kKFactorEdit = 11,
        kCount = 12,
    };

    CProjectMenu() { Reset(); }
    // The words at start-up: Compile, Upload, Verify, Monitor, Statistics and
    // K-Factor Edit disabled, nothing checked.
    void Reset() {
        words.fill(0);
        for (int p : {kCompile, kUpload, kVerify, kMonitor, kStatistics, kKFactorEdit})
            words[p] = kDisabled;
    }
    // A sheet was edited: its wire check no longer holds, and neither does
    // anything compiled or loaded from it.
    void SheetEdited() {
        SetChecked(kWireCheck, false);
        for (int p : {kCompile, kUpload, kVerify, kMonitor}) SetDisabled(p, true);
    }
    void SetChecked(int pos, bool on) { on ? words[pos] |= kChecked : words[pos] &= ~kChecked; }
    void SetDisabled(int pos, bool on) { on ? words[pos] |= kDisabled : words[pos] &= ~kDisabled; }
    bool Checked(int pos) const { return (words[pos] & kChecked) != 0; }
    bool Enabled(int pos) const { return (words[pos] & kDisabled) == 0; }

    std::array<uint32_t, kCount> words{};
};

}  // namespace ostra
