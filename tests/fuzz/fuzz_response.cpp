// Answers of any bytes: reading, checking and parsing never overrun, and an
// accepted read answer gives exactly the values its tokens hold.
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

#include "comm/COxComm.h"
#include "comm/NumberCodec.h"
#include "support/Recorders.h"
#include "support/ScriptedPort.h"

using namespace ostra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    test::RecordingMessageBox quiet;
    test::FakeClock clock;
    test::ScriptedPorts ports;
    COxComm link(quiet, clock, ports);
    link.OpenPort(0);
    link.Box = data[0] % 4, link.Slot = data[1] % 4, link.NumRegs = data[2] % 12, link.Subslot = 1;
    std::deque<char>& input = ports.last->input;
    input.assign(reinterpret_cast<const char*>(data) + 3, reinterpret_cast<const char*>(data) + size);
    while (link.ReadResponse() > 0 || !input.empty()) {
        if (link.RxFrame.size() > COxComm::kFrameMax) std::abort();
        link.CheckWriteResponse();
        if (link.CheckReadResponse() == kLinkOk) {
            std::vector<double> values;
            if (link.ParseValues(values) != link.NumRegs) std::abort();
        }
        if (input.empty()) break;
    }
    double v = 0;
    const std::string raw(reinterpret_cast<const char*>(data), size);
    for (std::size_t pos = 0; pos < raw.size(); ++pos) DecodeNumber(raw.data(), pos, raw.size(), v);
    return 0;
}
