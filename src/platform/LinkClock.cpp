// The link's clock on std::chrono's monotonic clock.
#include <chrono>
#include <thread>

#include "platform/ISerialPort.h"

namespace ostra {

void SteadyLinkClock::BusyWaitMs(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
    }
}

void SteadyLinkClock::SleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace ostra
