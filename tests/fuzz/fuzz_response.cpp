// Answers of any bytes: reading, checking and parsing never overrun, and an
// accepted read answer gives exactly the values its tokens hold.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "comm/COxComm.h"
#include "comm/NumberCodec.h"
#include "platform/IMessageBox.h"

using namespace ostra;

namespace {

class Quiet : public IMessageBox {
public:
    MsgResult Show(const std::string&, const std::string&, MsgIcon, MsgButtons) override {
        return MsgResult::Ok;
    }
};
class NoWait : public ILinkClock {
public:
    void BusyWaitMs(int) override {}
    void SleepMs(int) override {}
};
class BytesPort : public ISerialPort {
public:
    std::string bytes;
    std::size_t pos = 0;
    bool Open(const std::string&, std::string*) override { return true; }
    void Close() override {}
    bool IsOpen() const override { return true; }
    void Purge() override {}
    std::size_t Write(const uint8_t*, std::size_t n) override { return n; }
    ReadResult ReadByte(uint8_t& b) override {
        if (pos >= bytes.size()) return kTimeout;
        b = static_cast<uint8_t>(bytes[pos++]);
        return kByte;
    }
};
class Provider : public IPortProvider {
public:
    BytesPort* port = nullptr;
    std::string DeviceFor(int) override { return "fuzz"; }
    std::unique_ptr<ISerialPort> Create(const std::string&) override {
        auto p = std::make_unique<BytesPort>();
        port = p.get();
        return p;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    Quiet quiet;
    NoWait clock;
    Provider ports;
    COxComm link(quiet, clock, ports);
    link.OpenPort(0);
    link.Box = data[0] % 4;
    link.Slot = data[1] % 4;
    link.NumRegs = data[2] % 12;
    link.Subslot = 1;
    ports.port->bytes.assign(reinterpret_cast<const char*>(data) + 3, size - 3);
    while (link.ReadResponse() > 0 || ports.port->pos < ports.port->bytes.size()) {
        if (link.RxFrame.size() > COxComm::kFrameMax) std::abort();
        link.CheckWriteResponse();
        if (link.CheckReadResponse() == kLinkOk) {
            std::vector<double> values;
            if (link.ParseValues(values) != link.NumRegs) std::abort();
        }
        if (ports.port->pos >= ports.port->bytes.size()) break;
    }
    double v = 0;
    const std::string raw(reinterpret_cast<const char*>(data), size);
    for (std::size_t pos = 0; pos < raw.size(); ++pos) DecodeNumber(raw.data(), pos, raw.size(), v);
    return 0;
}
