// The simulated controller as a serial port, for the built-in simulator: what
// is written reaches the controller at once, and its answer can be read back
// straight away. Simulated time follows the monotonic clock, or a clock the
// caller moves (tests).
#pragma once

#include <chrono>
#include <functional>

#include "platform/ISerialPort.h"
#include "sim/CSimController.h"

namespace ostra::sim {

class SimPort : public ISerialPort {
public:
    // `nowMs` gives the time in milliseconds; by default the steady clock.
    explicit SimPort(CSimController& controller, std::function<int64_t()> nowMs = {});

    bool Open(const std::string&, std::string*) override;
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    void Purge() override;
    std::size_t Write(const uint8_t* data, std::size_t n) override;
    ReadResult ReadByte(uint8_t& byte) override;
    bool Wired() const override { return false; }

private:
    void Tick();
    CSimController& c_;
    std::function<int64_t()> now_;
    int64_t last_ = 0;
    bool open_ = false;
};

}  // namespace ostra::sim
