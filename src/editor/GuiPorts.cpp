// Serial ports of the desktop application.
#include "editor/GuiPorts.h"

#include <QSerialPortInfo>

#include "platform/ISettings.h"
#include "platform/qt/QtSerialPort.h"
#include "sim/CSimController.h"
#include "sim/SimPort.h"

namespace ostra {

CGuiPorts::CGuiPorts(ISettings* settings) : settings_(settings) {}

CGuiPorts::~CGuiPorts() = default;

std::string CGuiPorts::SystemDevice(int portNumber) {
#ifdef _WIN32
    return "\\\\.\\COM" + std::to_string(portNumber);
#else
    return "/dev/ttyS" + std::to_string(portNumber - 1);
#endif
}

std::string CGuiPorts::DeviceFor(int portNumber) {
    if (allSimulated_) return kSimulator;
    const std::string chosen =
        settings_ ? settings_->GetString("Ports", "COM" + std::to_string(portNumber), "")
                  : std::string();
    return chosen.empty() ? SystemDevice(portNumber) : chosen;
}

void CGuiPorts::SetDevice(int portNumber, const std::string& device) {
    if (settings_) settings_->SetString("Ports", "COM" + std::to_string(portNumber), device);
}

std::vector<std::string> CGuiPorts::AvailableDevices() {
    std::vector<std::string> out;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        out.push_back(info.systemLocation().toStdString());
    return out;
}

sim::CSimController& CGuiPorts::Simulator() {
    if (!sim_) sim_ = std::make_unique<sim::CSimController>();
    return *sim_;
}

std::unique_ptr<ISerialPort> CGuiPorts::Create(const std::string& device) {
    if (device == kSimulator) return std::make_unique<sim::SimPort>(Simulator());
    return std::make_unique<QtSerialPort>();
}

}  // namespace ostra
