// "COM n" in the desktop application: the device named by the setting
// Ports/COM<n> (a device path, or "simulator" for the built-in simulated
// controller), else the system's port of that number. One simulated
// controller serves the whole session, so a program loaded into it stays.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "comm/COxComm.h"

namespace ostra {

class ISettings;
namespace sim {
class CSimController;
}

class CGuiPorts : public IPortProvider {
  public:
    static constexpr const char* kSimulator = "simulator";

    explicit CGuiPorts(ISettings* settings);
    ~CGuiPorts() override;

    // Every port stands for the built-in simulator this session (the
    // settings are left as they are).
    void SetAllSimulated(bool on) { allSimulated_ = on; }
    bool AllSimulated() const { return allSimulated_; }
    void SetSettings(ISettings* settings) { settings_ = settings; }

    std::string DeviceFor(int portNumber) override;
    std::unique_ptr<ISerialPort> Create(const std::string& device) override;
    // Remembers the device of a port number in the settings.
    void SetDevice(int portNumber, const std::string& device);
    // The system's default device of a port number.
    static std::string SystemDevice(int portNumber);
    // The serial ports the system offers, by device path.
    static std::vector<std::string> AvailableDevices();

    sim::CSimController& Simulator();

  private:
    ISettings* settings_;
    bool allSimulated_ = false;
    std::unique_ptr<sim::CSimController> sim_;
};

}  // namespace ostra
