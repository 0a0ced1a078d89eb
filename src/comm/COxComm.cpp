// The controller link.
#include "comm/COxComm.h"

#include <cmath>
#include <cstdio>

#include "comm/NumberCodec.h"
#include "platform/IMessageBox.h"
#include "project/ProjectMenu.h"

namespace ostra {
namespace {

// A babbling line must not keep a read going for ever.
constexpr std::size_t kMaxAnswerBytes = 4096;

bool IsTerminator(char c) {
    return c == '-' || c == '!' || c == '+' || c == '*' || c == '\r' || c == '\n';
}

}  // namespace

const char* LinkResultText(int code) {
    switch (code) {
        case kLinkNoResponse: return "No response from target";
        case kLinkBadStart: return "Invalid sentinel pushed in";
        case kLinkOk: return "";
        case kLinkBadSentinel: return "Invalid sentinel received";
        case kLinkShort: return "Short response";
        case kLinkBoxMissing:
        case kLinkBoxWrong: return "boX field in response faulty";
        case kLinkSlotMissing:
        case kLinkSlotWrong: return "Slot field in response faulty";
        case kLinkSubslotMissing:
        case kLinkSubslotWrong: return "sUbslot field in response faulty";
        case kLinkRegMissing:
        case kLinkRegWrong: return "Base reg field in response faulty";
        case kLinkCountMissing:
        case kLinkCountWrong: return "Numregs field in response faulty";
        default: return "Unknown link error";
    }
}

// The complete tokens of the answer's token region, and whether the region
// ended properly.
struct COxComm::Tokens {
    std::vector<double> values;
    bool malformed = false;
};

COxComm::COxComm(IMessageBox& msg, ILinkClock& clock, IPortProvider& ports)
    : msg_(msg), clock_(clock), ports_(ports) {}

COxComm::~COxComm() = default;

void COxComm::ClosePort() {
    if (port_) port_->Close();
    port_.reset();
}

bool COxComm::OpenPort(int32_t portIndex) {
    ClosePort();
    Connected = false;
    int portNumber = portIndex + 1;
    OpenCancelled = dialog_ && !dialog_->Show(portNumber, Echo, Box, Slot);
    if (OpenCancelled) return false;
    PortIndex = portNumber - 1;
    const std::string device = ports_.DeviceFor(portNumber);
    port_ = ports_.Create(device);
    std::string error;
    if (!port_ || !port_->Open(device, &error)) {
        msg_.Show("Device Not Found", "Opening COM Port", MsgIcon::Exclamation);
        if (port_) port_.reset();
    }
    if (portNumber < 1) return false;
    Connected = true;
    return true;
}

std::string COxComm::BuildRequest(char direction, const std::vector<double>& values) const {
    std::string f(1, direction);
    for (int32_t v : {Box, Slot, Subslot, BaseReg, NumRegs}) f += EncodeNumber(v);
    if (direction == '+')
        for (int32_t r = 0; r < NumRegs; ++r) {
            const std::size_t at = static_cast<std::size_t>(BaseReg) + static_cast<std::size_t>(r);
            f += EncodeNumber(at < values.size() ? values[at] : 0.0);
        }
    f += '\n';
    char check[8];
    std::snprintf(check, sizeof check, "%04X", Checkword(f));
    return f + check + "\r";
}

std::size_t COxComm::SendFrame(const std::string& frame) {
    if (!port_) return 0;
    port_->Purge();
    const std::size_t written =
        port_->Write(reinterpret_cast<const uint8_t*>(frame.data()), frame.size());
    // The controller needs about a millisecond per byte before it answers.
    if (port_->Wired()) clock_.BusyWaitMs(static_cast<int>(written));
    if (Echo) {
        uint8_t b = 0;
        for (std::size_t i = 0; i < written; ++i)
            if (port_->ReadByte(b) != ISerialPort::kByte) break;
    }
    return written;
}

std::size_t COxComm::SendRead(int32_t base, int32_t count) {
    BaseReg = base;
    NumRegs = count;
    std::string f(1, '-');
    for (int32_t v : {Box, Slot, Subslot, BaseReg, NumRegs}) f += EncodeNumber(v);
    f += '\r';
    TxFrame = f;
    return SendFrame(f);
}

std::size_t COxComm::ReadResponse() {
    RxFrame.clear();
    RxOverflow = false;
    if (!port_) return 0;
    uint8_t b = 0;
    for (std::size_t n = 0; n < kMaxAnswerBytes; ++n) {
        if (port_->ReadByte(b) != ISerialPort::kByte || b == '\r') return RxFrame.size();
        // What does not fit the frame is read and dropped; the answer is then
        // refused as malformed.
        if (RxFrame.size() < kFrameMax)
            RxFrame += static_cast<char>(b);
        else
            RxOverflow = true;
    }
    RxOverflow = true;
    return RxFrame.size();
}

COxComm::Tokens COxComm::Scan() const {
    Tokens t;
    const std::string& f = RxFrame;
    std::size_t end = 1;
    while (end < f.size() && (IsTypeLetter(f[end]) || IsHexDigit(f[end]))) ++end;
    // The CR that ended the answer ends the region too.
    t.malformed = RxOverflow || (end < f.size() && !IsTerminator(f[end]));
    std::size_t pos = 1;
    while (pos < end) {
        double v = 0;
        const int len = DecodeNumber(f.data(), pos, end, v);
        if (len <= 0) {
            if (len < 0) t.malformed = true;
            break;
        }
        t.values.push_back(v);
        pos += static_cast<std::size_t>(len);
    }
    return t;
}

int COxComm::CheckWriteResponse() const {
    if (RxFrame.empty() || RxFrame[0] != '*') return kLinkBadSentinel;
    const Tokens t = Scan();
    if (t.malformed || t.values.size() != 5) return kLinkShort;
    auto whole = [&](int i) { return SaturatedInt64(t.values[i]); };
    if (whole(0) != Box) return kLinkBoxWrong;
    if (whole(1) != Slot) return kLinkSlotWrong;
    if (whole(2) != Subslot) return kLinkSubslotWrong;
    if (whole(3) < int64_t{BaseReg} + NumRegs) return kLinkRegWrong;
    if (whole(4) != 0) return kLinkCountWrong;
    return kLinkOk;
}

int COxComm::CheckReadResponse() const {
    if (RxFrame.empty() || RxFrame[0] != '!') return kLinkBadSentinel;
    const Tokens t = Scan();
    const int32_t expected[5] = {Box, Slot, Subslot, BaseReg, NumRegs};
    for (int i = 0; i < 5; ++i) {
        if (static_cast<int>(t.values.size()) <= i) return kLinkBoxMissing + 2 * i;
        if (SaturatedInt64(t.values[i]) != expected[i])
            return kLinkBoxWrong + 2 * i;
    }
    if (t.malformed || t.values.size() != static_cast<std::size_t>(NumRegs) + 5)
        return kLinkShort;
    return kLinkOk;
}

int COxComm::ParseValues(std::vector<double>& values) const {
    const Tokens t = Scan();
    const std::size_t need = static_cast<std::size_t>(BaseReg) + static_cast<std::size_t>(NumRegs);
    if (values.size() < need) values.resize(need);
    for (int32_t i = 0; i < NumRegs && static_cast<std::size_t>(i) + 5 < t.values.size(); ++i)
        values[static_cast<std::size_t>(BaseReg + i)] = t.values[static_cast<std::size_t>(i) + 5];
    return NumRegs;
}

void COxComm::LinkLost() {
    Connected = false;
    if (!menu_) return;
    menu_->SetChecked(CProjectMenu::kConnect, false);
    for (int p : {CProjectMenu::kUpload, CProjectMenu::kVerify, CProjectMenu::kMonitor,
                  CProjectMenu::kStatistics, CProjectMenu::kKFactorEdit})
        menu_->SetDisabled(p, true);
}

int COxComm::Transact(char direction, int32_t subslot, int32_t base, int32_t count,
                      std::vector<double>& values) {
    if (direction != '+' && direction != '-') return kLinkBadStart;
    if (base < 0 || count < 0) return kLinkBadStart;
    Subslot = subslot;
    BaseReg = base;
    NumRegs = count;
    TxFrame = BuildRequest(direction, values);

    int result = kLinkOk;
    bool received = false;
    int pause = 0;
    for (int attempt = 1; attempt <= 3; ++attempt) {
        SendFrame(TxFrame);
        if (attempt > 1) clock_.SleepMs(pause);
        received = ReadResponse() > 0;
        if (received) {
            result = direction == '+' ? CheckWriteResponse() : CheckReadResponse();
            if (result == kLinkOk) {
                if (direction == '-') ParseValues(values);
                return kLinkOk;
            }
        }
        pause += 10;
    }
    if (!received) {
        msg_.Show("Connection Failed", {}, MsgIcon::Exclamation);
        LinkLost();
        return kLinkNoResponse;
    }
    msg_.Show(std::string(direction == '+' ? "BAK" : "BAS") + " error " + std::to_string(result),
              "Link with target failed", MsgIcon::Exclamation);
    return result;
}

}  // namespace ostra
