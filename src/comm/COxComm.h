// The serial link to the controller: request frames "+" (write registers) and
// "-" (read registers) with a header of box, slot, subslot, first register and
// count, number tokens, a checkword and CR; answers "*" and "!". Three attempts
// per exchange, with a growing pause, a 1 ms per byte wait after writing, and
// the echo of an RS-485 line swallowed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/ISerialPort.h"

namespace ostra {

class IMessageBox;
class CProjectMenu;

// Gives the serial port behind a "COM n" number (a device path, or the
// built-in simulated controller).
class IPortProvider {
public:
    virtual ~IPortProvider() = default;
    virtual std::string DeviceFor(int portNumber) = 0;
    virtual std::unique_ptr<ISerialPort> Create(const std::string& device) = 0;
};

// The Comm Port dialog: shows the values and gives back what the user chose;
// false when the user cancelled, and nothing is to be opened.
class ICommPortDialog {
public:
    virtual ~ICommPortDialog() = default;
    virtual bool Show(int& portNumber, bool& echo, int32_t& box, int32_t& slot) = 0;
};

// Result codes of an exchange.
enum LinkResult : int {
    kLinkNoResponse = -2,
    kLinkBadStart = -1,
    kLinkOk = 0,
    kLinkBadSentinel = 1,
    kLinkShort = 2,
    kLinkBoxMissing = 3,
    kLinkBoxWrong = 4,
    kLinkSlotMissing = 5,
    kLinkSlotWrong = 6,
    kLinkSubslotMissing = 7,
    kLinkSubslotWrong = 8,
    kLinkRegMissing = 9,
    kLinkRegWrong = 10,
    kLinkCountMissing = 11,
    kLinkCountWrong = 12,
};
// "No response from target", "Short response", ...; empty for success.
const char* LinkResultText(int code);

class COxComm {
public:
    static constexpr std::size_t kFrameMax = 127;  // frames are 128 bytes with their NUL

    COxComm(IMessageBox& msg, ILinkClock& clock, IPortProvider& ports);
    ~COxComm();

    // Optional collaborators.
    void SetDialog(ICommPortDialog* dialog) { dialog_ = dialog; }
    void SetMenu(CProjectMenu* menu) { menu_ = menu; }

    // False, and no port opened, also when the Comm Port dialog was cancelled
    // (then `OpenCancelled` is set).
    bool OpenPort(int32_t portIndex);
    bool OpenCancelled = false;
    void ClosePort();
    // Whether the open port leads to a controller on a line (see ISerialPort).
    bool Wired() const { return port_ && port_->Wired(); }
    // Not connected any more: the commands that need the controller go off.
    void LinkLost();
    // One exchange with up to three attempts; on a successful read the values
    // of registers base .. base + count - 1 land in values[base ..].
    int Transact(char direction, int32_t subslot, int32_t base, int32_t count,
                 std::vector<double>& values);
    std::size_t SendRead(int32_t base, int32_t count);
    std::size_t SendFrame(const std::string& frame);
    std::size_t ReadResponse();
    int CheckReadResponse() const;
    int CheckWriteResponse() const;
    int ParseValues(std::vector<double>& values) const;

    // The request frame `Transact` sends.
    std::string BuildRequest(char direction, const std::vector<double>& values) const;

    int32_t Box = 0;
    int32_t Slot = 0;
    int32_t Subslot = 0;
    int32_t BaseReg = 0;
    int32_t NumRegs = 0;
    int32_t PortIndex = -1;
    bool Echo = false;
    bool Connected = false;
    std::string TxFrame;
    std::string RxFrame;
    bool RxOverflow = false;  // the last answer was longer than a frame holds

private:
    struct Tokens;
    Tokens Scan() const;

    IMessageBox& msg_;
    ILinkClock& clock_;
    IPortProvider& ports_;
    ICommPortDialog* dialog_ = nullptr;
    CProjectMenu* menu_ = nullptr;
    std::unique_ptr<ISerialPort> port_;
};

}  // namespace ostra
