// The link's clock on std::chrono's monotonic clock.
#include <chrono>
#include <thread>

#include "platform/ISerialPort.h"

namespace ostra {

void SteadyLinkClock::BusyWaitMs(int ms) {
    // A sleep lasts at least as long as asked, which is all the controller
    // needs; spinning would take the processor from a simulator or another
    // program on the same machine.
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void SteadyLinkClock::SleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace ostra
