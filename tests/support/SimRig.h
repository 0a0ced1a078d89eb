// The simulated controller in process: a link to it that never waits, and
// the example project opened on a copy.
#pragma once

#include <filesystem>

#include "comm/COxComm.h"
#include "platform/ISettings.h"
#include "project/COstraProject.h"
#include "sim/SimPort.h"
#include "support/Recorders.h"
#include "support/TestFiles.h"

namespace ostra::test {

// The number the compile gave the signal `name`, or -1.
inline int32_t SignalNumber(const DownloadTables& tables, const std::string& name) {
    for (const auto& s : tables.sigs)
        if (s->Name == name) return s->Number;
    return -1;
}

class NoWait : public ILinkClock {
  public:
    void BusyWaitMs(int ms) override { busy += ms; }
    void SleepMs(int ms) override { slept += ms; }
    int busy = 0, slept = 0;
};

// Every port leads to `controller`, as if over a line (so that the link
// keeps its waits); `now` is the time its port sees, `sent` what went to it.
class SimPorts : public IPortProvider {
  public:
    explicit SimPorts(sim::CSimController& c) : c_(c) {}
    std::string DeviceFor(int) override { return "simulator"; }
    std::unique_ptr<ISerialPort> Create(const std::string&) override {
        struct OnALine : sim::SimPort {
            OnALine(sim::CSimController& c, SimPorts& p)
                : SimPort(c, [&p] { return p.now; }), ports(p) {}
            bool Wired() const override { return true; }
            std::size_t Write(const uint8_t* data, std::size_t n) override {
                ports.sent.append(reinterpret_cast<const char*>(data), n);
                return SimPort::Write(data, n);
            }
            SimPorts& ports;
        };
        return std::make_unique<OnALine>(c_, *this);
    }
    int64_t now = 0;
    std::string sent;

  private:
    sim::CSimController& c_;
};

// The example project on a copy, linked to a simulated controller.
class ExampleOnSim {
  public:
    explicit ExampleOnSim(sim::SimOptions o = {})
        : controller(o), ports(controller), project(box, settings, work.Path()),
          link(box, clock, ports) {
        std::filesystem::copy(Examples() / "TankPlant", work.Path(),
                              std::filesystem::copy_options::recursive);
        project.ProgramFolder = Examples();
        project.ProcTable.UseBuiltIn();
        project.OpenProjectFolder(work / "project.oxp");
        link.SetMenu(&project.Menu);
        box.messages.clear();
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const auto& m : box.messages) out.push_back(m.text);
        return out;
    }

    TempDir work;
    RecordingMessageBox box;
    MemorySettings settings;
    NoWait clock;
    sim::CSimController controller;
    SimPorts ports;
    COstraProject project;
    COxComm link;
};

}  // namespace ostra::test
