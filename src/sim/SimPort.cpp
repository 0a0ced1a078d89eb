// The built-in simulator port.
#include "sim/SimPort.h"

namespace ostra::sim {

SimPort::SimPort(CSimController& controller, std::function<int64_t()> nowMs)
    : c_(controller), now_(std::move(nowMs)) {
    if (!now_) {
        now_ = [] {
            return std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now().time_since_epoch())
                .count();
        };
    }
    last_ = now_();
}

bool SimPort::Open(const std::string&, std::string*) {
    open_ = true;
    last_ = now_();
    return true;
}

void SimPort::Tick() {
    const int64_t now = now_();
    if (now > last_) c_.Advance(now - last_);
    last_ = now;
}

void SimPort::Purge() {
    Tick();
    while (c_.HasOutput()) c_.TakeOutput();
}

std::size_t SimPort::Write(const uint8_t* data, std::size_t n) {
    if (!open_) return 0;
    Tick();
    c_.Receive(std::string(reinterpret_cast<const char*>(data), n));
    return n;
}

ISerialPort::ReadResult SimPort::ReadByte(uint8_t& byte) {
    if (!open_) return kFailed;
    Tick();
    if (!c_.HasOutput()) return kTimeout;
    byte = c_.TakeOutput();
    return kByte;
}

}  // namespace ostra::sim
