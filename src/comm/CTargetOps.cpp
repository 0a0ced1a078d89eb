// Connect, Upload and Verify.
#include "comm/CTargetOps.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "comm/COxComm.h"
#include "comm/NumberCodec.h"
#include "compiler/DownloadRecords.h"
#include "platform/IMessageBox.h"
#include "platform/TextCodec.h"
#include "project/COstraProject.h"

namespace ostra {

CTargetOps::CTargetOps(COstraProject& project, COxComm& link, ILinkClock& clock,
                       IProgress* progress)
    : p_(project), link_(link), clock_(clock), progress_(progress) {}

void CTargetOps::Begin(const std::string& text, int range) {
    if (progress_) progress_->Begin(text, range);
}
void CTargetOps::Step() {
    if (progress_) progress_->Step();
}
void CTargetOps::End() {
    if (progress_) progress_->End();
}

std::string CTargetOps::FormatValue(double v) {
    char buf[64];
    if (v == std::floor(v) && v < 16777215.5 && v >= -2147483648.0)
        std::snprintf(buf, sizeof buf, "%8d", static_cast<int>(v));
    else
        std::snprintf(buf, sizeof buf, "%8.5G", v);
    std::string number = buf;
    if (number.size() > 11) number.resize(11);
    return "   " + number + "   ";
}

int32_t CTargetOps::PinWord(const CdldFB& rec, int k) {
    if (rec.PinType[k] == 0) return 0xFFFF;
    return (rec.PinRef[k] & 0xFFF) | (rec.PinType[k] << 12);
}

void CTargetOps::SetConnectStates() {
    CProjectMenu& m = p_.Menu;
    p_.Connected = link_.Connected;
    if (!link_.Connected) {
        m.SetChecked(CProjectMenu::kConnect, false);
        for (int pos : {CProjectMenu::kUpload, CProjectMenu::kVerify, CProjectMenu::kMonitor,
                        CProjectMenu::kStatistics, CProjectMenu::kKFactorEdit})
            m.SetDisabled(pos, true);
        return;
    }
    m.SetChecked(CProjectMenu::kConnect, true);
    if (p_.ProjCtrl.Compile == 0) return;
    for (int pos : {CProjectMenu::kUpload, CProjectMenu::kVerify, CProjectMenu::kMonitor,
                    CProjectMenu::kStatistics})
        m.SetDisabled(pos, false);
    m.SetDisabled(CProjectMenu::kKFactorEdit, p_.Library.MaxKFacts < 1);
}

bool CTargetOps::Connect() {
    IMessageBox& msg = p_.Msg();
    link_.Box = p_.ProjCtrl.boX;
    link_.Slot = p_.ProjCtrl.Slot;
    if (!link_.OpenPort(p_.ProjCtrl.CommPort)) {
        // Cancel in the Comm Port dialog ends Connect without a word.
        if (!link_.OpenCancelled) msg.Show("Failed to open COM port", {}, MsgIcon::Exclamation);
        link_.Connected = false;
        p_.Connected = false;
        return false;
    }
    if (link_.PortIndex != p_.ProjCtrl.CommPort || link_.Box != p_.ProjCtrl.boX ||
        link_.Slot != p_.ProjCtrl.Slot) {
        p_.ProjCtrl.CommPort = link_.PortIndex;
        p_.ProjCtrl.boX = link_.Box;
        p_.ProjCtrl.Slot = link_.Slot;
        p_.StoreProjectControl();
    }
    std::vector<double> v(1, 0.0);
    const int r = link_.Transact('-', 0, 0, 1, v);
    if (r != kLinkOk) {
        msg.Show(LinkResultText(r), {}, MsgIcon::Exclamation);
        SetConnectStates();
        return link_.Connected;
    }
    const int32_t code = SaturatedInt32(v[0]);
    const tProcIDs* found = nullptr;
    for (const auto& rec : p_.ProcTable.ProcTable) {
        if (rec.ProcName.empty()) break;
        if (rec.ProcID == code) {
            found = &rec;
            break;
        }
    }
    if (!found) {
        msg.Show("Unrecognised Response", {}, MsgIcon::Exclamation);
        SetConnectStates();
        return link_.Connected;
    }
    const std::string& name = found->ProcName;
    const std::string cut = Utf8Left(p_.ProjCtrl.Processor, Utf8Length(name));
    if (cut != name) {
        const MsgResult answer =
            msg.Show("Project is for " + cut + " but connected to " + name, "Processor Mismatch",
                     MsgIcon::Exclamation, MsgButtons::OkCancel);
        if (answer != MsgResult::Ok) {
            link_.Connected = false;
            SetConnectStates();
            return false;
        }
    }
    ConnectedProc = name;
    p_.ProjCtrl.Processor = name;
    msg.Show("Connected to " + name + " OK");
    link_.Connected = true;
    SetConnectStates();
    return true;
}

bool CTargetOps::Upload() {
    IMessageBox& msg = p_.Msg();
    if (msg.Show("Uploading a new diagram requires that the\nCONTROLLER WILL BE STOPPED !!\n"
                 "Are you sure that it is safe to do this?",
                 {}, MsgIcon::Question, MsgButtons::OkCancel) != MsgResult::Ok)
        return false;
    std::vector<double> v(18, 0.0);
    v[0] = 1;
    if (link_.Transact('+', 2, 0, 1, v) != kLinkOk) return false;
    p_.Menu.SetDisabled(CProjectMenu::kUpload, false);
    p_.Menu.SetChecked(CProjectMenu::kUpload, false);

    const auto& consts = p_.Tables.consts;
    Begin("Uploading Constants", static_cast<int>(consts.size()));
    for (const auto& c : consts) {
        v[0] = c->Number;
        v[1] = c->Value;
        if (link_.Transact('+', 3, 0, 2, v) != kLinkOk) {
            End();
            return false;
        }
        Step();
        if (link_.Wired()) clock_.SleepMs(100);
    }
    const auto& fbs = p_.Tables.fbs;
    Begin("Uploading Func Blocks", static_cast<int>(fbs.size()));
    for (std::size_t i = 0; i < fbs.size(); ++i) {
        v[0] = static_cast<double>(i);
        v[1] = fbs[i]->TypeNum;
        for (int k = 0; k < 16; ++k) v[2 + k] = PinWord(*fbs[i], k);
        link_.Transact('+', 4, 0, 18, v);  // a failure has been reported; go on
        Step();
    }
    End();
    const bool verified = Verify();
    v[0] = 0;
    link_.Transact('+', 2, 0, 1, v);
    return verified;
}

bool CTargetOps::Verify() {
    IMessageBox& msg = p_.Msg();
    CProjectMenu& m = p_.Menu;
    for (int pos : {CProjectMenu::kUpload, CProjectMenu::kVerify}) {
        m.SetDisabled(pos, false);
        m.SetChecked(pos, false);
    }
    std::vector<double> v(18, 0.0);
    const auto& consts = p_.Tables.consts;
    Begin("Checking Constants", static_cast<int>(consts.size()));
    for (const auto& c : consts) {
        v[0] = c->Number;
        if (link_.Transact('+', 3, 0, 1, v) != kLinkOk || link_.Transact('-', 3, 1, 1, v) != kLinkOk) {
            End();
            return false;
        }
        const double read = v[1];
        const bool same = read == c->Value ||
                          (c->Value != 0 && std::fabs(c->Value - read) / std::fabs(c->Value) <= 3.2e-5);
        if (!same) {
            std::string text = "Wrote " + FormatValue(c->Value) + " : Read back " + FormatValue(read);
            if (text.size() > 63) text.resize(63);
            msg.Show(text, "Constant Failed to Load", MsgIcon::Exclamation);
            End();
            return false;
        }
        Step();
    }
    const auto& fbs = p_.Tables.fbs;
    Begin("Checking Func Blocks", static_cast<int>(fbs.size()));
    for (std::size_t i = 0; i < fbs.size(); ++i) {
        if (VerifyBlock(*fbs[i], static_cast<int32_t>(i)) != 0) {
            End();
            return false;
        }
        Step();
    }
    End();
    msg.Show("Verified OK");
    m.SetDisabled(CProjectMenu::kMonitor, false);
    m.SetChecked(CProjectMenu::kVerify, true);
    m.SetChecked(CProjectMenu::kUpload, true);
    return true;
}

int CTargetOps::VerifyBlock(const CdldFB& rec, int32_t i) {
    std::vector<double> v(18, 0.0);
    v[0] = i;
    int r = link_.Transact('+', 4, 0, 1, v);
    if (r != kLinkOk) return r;
    r = link_.Transact('-', 4, 0, 18, v);
    if (r != kLinkOk) return r;
    char text[128];
    // Register 0 echoes the block selected: another index means the values
    // read are another block's (a late or damaged answer), not this one's.
    const int32_t selected = SaturatedInt32(v[0]);
    if (selected != i) {
        std::snprintf(text, sizeof text, "Location %d : Selected %d : Read back location %d", i, i,
                      selected);
        p_.Msg().Show(text, "Func Block Error", MsgIcon::Exclamation);
        return -3;
    }
    const int32_t type = SaturatedInt32(v[1]);
    if (type != rec.TypeNum) {
        std::snprintf(text, sizeof text, "Location %d : Wrote typenum %d : Read back %d", i,
                      rec.TypeNum, type);
        p_.Msg().Show(text, "Func Block Error", MsgIcon::Exclamation);
        return -1;
    }
    for (int k = 0; k < 16; ++k) {
        const int32_t expected = PinWord(rec, k);
        const int32_t read = SaturatedInt32(std::floor(v[2 + k]));
        if (read != expected) {
            std::snprintf(text, sizeof text, "Location %d  Pin no. %d\nWrote x%4.4X : Read back x%4.4X",
                          i, k, static_cast<unsigned>(expected), static_cast<unsigned>(read));
            p_.Msg().Show(text, "Func Block Error", MsgIcon::Exclamation);
            return -2;
        }
    }
    return 0;
}

}  // namespace ostra
