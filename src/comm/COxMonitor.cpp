// Monitor mode.
#include "comm/COxMonitor.h"

#include <algorithm>

#include "comm/COxComm.h"
#include "comm/NumberCodec.h"
#include "comm/CTargetOps.h"
#include "compiler/DownloadRecords.h"
#include "model/COstra_PLCDoc.h"
#include "model/WireTypes.h"
#include "platform/IMessageBox.h"
#include "platform/Scan.h"
#include "project/COstraProject.h"

namespace ostra {

std::vector<int32_t> COxMonitor::CollectMonSignals(const COstra_PLCDoc& sheet,
                                                   const DownloadTables& tables) {
    std::vector<int32_t> out;
    for (const auto& s : sheet.segments) {
        if (!s->showName && s->startState != kEndCrossRef && s->endState != kEndCrossRef) continue;
        double number = 0;
        if (s->name.empty() || ParseWholeDouble(s->name, number)) continue;  // constants
        const CdldSig* sig = nullptr;
        for (const auto& rec : tables.sigs)
            if (rec->Name == s->name) {
                sig = rec.get();
                break;
            }
        if (!sig || sig->Number < 0) continue;
        const auto at = std::lower_bound(out.begin(), out.end(), sig->Number);
        if (at == out.end() || *at != sig->Number) out.insert(at, sig->Number);
    }
    return out;
}

std::vector<CMonBlock> COxMonitor::MakeBlocks(const std::vector<int32_t>& signals) {
    std::vector<CMonBlock> out;
    for (int32_t n : signals) {
        if (out.empty() || n >= out.back().first + 8)
            out.push_back({n, 1});
        else
            out.back().count = n - out.back().first + 1;
    }
    return out;
}

std::vector<int32_t> COxMonitor::DigitalSignals(const DownloadTables& tables) {
    std::vector<int32_t> out;
    for (const auto& fb : tables.fbs) {
        const int32_t type = fb->PinType[0];
        if (type != kPinDigital && type != kPinInverted) continue;
        const int32_t n = fb->PinRef[0];
        const auto at = std::lower_bound(out.begin(), out.end(), n);
        if (at == out.end() || *at != n) out.insert(at, n);
    }
    return out;
}

std::vector<int32_t> COxMonitor::CollectLiveSignals(const COstra_PLCDoc& sheet,
                                                    const DownloadTables& tables) {
    const std::vector<int32_t> digital = DigitalSignals(tables);
    std::vector<int32_t> out;
    for (const auto& s : sheet.segments) {
        if (s->name.empty()) continue;
        for (const auto& rec : tables.sigs) {
            if (rec->Name != s->name) continue;
            const int32_t n = rec->Number;
            if (n >= 0 && std::binary_search(digital.begin(), digital.end(), n)) {
                const auto at = std::lower_bound(out.begin(), out.end(), n);
                if (at == out.end() || *at != n) out.insert(at, n);
            }
            break;
        }
    }
    return out;
}

void COxMonitor::ToggleMonitor(Activation activation, const COstra_PLCDoc& sheet,
                               COstraProject& project, COxComm& link, IMonitorTimer& timer) {
    CProjectMenu& m = project.Menu;
    if (!monitoring || activation == kActivate) {
        if (!link.Connected) {
            monitoring = false;
            m.SetDisabled(CProjectMenu::kMonitor, true);
            m.SetChecked(CProjectMenu::kMonitor, false);
            project.Msg().Show("Sorry! Can't go into Monitor mode\nTarget is not connected");
            return;
        }
        monitoring = true;
        m.SetChecked(CProjectMenu::kMonitor, true);
        for (int p : {CProjectMenu::kUpload, CProjectMenu::kVerify, CProjectMenu::kStatistics,
                      CProjectMenu::kKFactorEdit})
            m.SetDisabled(p, true);
        monSignals = CollectMonSignals(sheet, project.Tables);
        polledSignals = monSignals;
        if (pollLiveWires) {
            for (int32_t n : CollectLiveSignals(sheet, project.Tables)) {
                const auto at = std::lower_bound(polledSignals.begin(), polledSignals.end(), n);
                if (at == polledSignals.end() || *at != n) polledSignals.insert(at, n);
            }
        }
        blocks = MakeBlocks(polledSignals);
        numSignals = static_cast<int>(monSignals.size());
        nextBlock = -1;
        if (blocks.empty()) {
            timer.Stop();
            return;
        }
        if (!timer.Start(100)) {
            monitoring = false;
            m.SetChecked(CProjectMenu::kMonitor, false);
            project.Msg().Show("Sorry! Can't go into Monitor mode\nSystem Timer not available");
        }
        return;
    }
    if (activation != kDeactivate) monitoring = false;
    m.SetChecked(CProjectMenu::kMonitor, false);
    for (int p : {CProjectMenu::kUpload, CProjectMenu::kVerify, CProjectMenu::kStatistics})
        m.SetDisabled(p, false);
    m.SetDisabled(CProjectMenu::kKFactorEdit, project.Library.MaxKFacts < 1);
    timer.Stop();
}

std::vector<MonitorLabel> COxMonitor::MonitorTick(const COstra_PLCDoc& sheet,
                                                  COstraProject& project, COxComm& link,
                                                  IMonitorTimer& timer,
                                                  std::vector<std::pair<int32_t, double>>* values) {
    std::vector<MonitorLabel> labels;
    // The answer to the request of the previous tick.
    if (link.ReadResponse() > 0 && link.CheckReadResponse() == kLinkOk) {
        std::vector<double> regs(static_cast<std::size_t>(link.BaseReg + link.NumRegs), 0.0);
        link.ParseValues(regs);
        const int32_t first = SaturatedInt32(regs[0]);
        for (int32_t k = 0; k + 1 < link.NumRegs; ++k) {
            const int32_t number = first + k;
            const double v = regs[static_cast<std::size_t>(1 + k)];
            if (values) values->push_back({number, v});
            // Every record of that number: a bus input's second name too.
            for (const auto& rec : project.Tables.sigs) {
                if (rec->Number != number) continue;
                for (const auto& s : sheet.segments) {
                    if (s->name != rec->Name) continue;
                    MonitorLabel l;
                    l.segment = s.get();
                    l.text = CTargetOps::FormatValue(v);
                    if (s->startState == kEndCrossRef) {
                        l.at = {s->start.x, s->start.y + 2};
                        l.align = TextAlign::Left;
                    } else if (s->endState == kEndCrossRef) {
                        l.at = {s->end.x, s->end.y + 2};
                        l.align = TextAlign::Right;
                    } else if (s->showName) {
                        l.at = {(s->start.x + s->end.x) / 2, (s->start.y + s->end.y) / 2 + 2};
                        l.align = TextAlign::Center;
                    } else {
                        continue;
                    }
                    labels.push_back(l);
                }
            }
        }
    }
    if (!link.Connected) {
        project.Menu.SetDisabled(CProjectMenu::kMonitor, true);
        timer.Stop();
        return labels;
    }
    if (blocks.empty()) return labels;
    nextBlock =
        nextBlock < 0 || nextBlock + 1 >= static_cast<int>(blocks.size()) ? 0 : nextBlock + 1;
    const CMonBlock& b = blocks[static_cast<std::size_t>(nextBlock)];
    std::vector<double> sel(1, static_cast<double>(b.first));
    link.Transact('+', 1, 0, 1, sel);
    link.Subslot = 1;
    link.SendRead(0, b.count + 1);
    return labels;
}

}  // namespace ostra
