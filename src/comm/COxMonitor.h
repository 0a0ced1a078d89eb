// Monitor mode: polls the controller's signal values, one block of up to 8
// consecutive signal numbers per 100 ms tick, the request sent in one tick and
// its answer read in the next, and gives the labels to draw under the wires.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Geometry.h"
#include "platform/IDrawSurface.h"

namespace ostra {

class COstra_PLCDoc;
class COstraProject;
class COxComm;
class COxWireSeg;
struct DownloadTables;

struct CMonBlock {
    int32_t first = 0;
    int32_t count = 0;
};

// A value to write on the sheet: at a grid point, in size 12, until the next repaint.
struct MonitorLabel {
    CPoint at;
    TextAlign align = TextAlign::Left;
    std::string text;
    const COxWireSeg* segment = nullptr;
};

// The view's 100 ms timer.
class IMonitorTimer {
  public:
    virtual ~IMonitorTimer() = default;
    virtual bool Start(int periodMs) = 0;
    virtual void Stop() = 0;
};

class COxMonitor {
  public:
    enum Activation { kCommand = 0, kActivate = 1, kDeactivate = 2 };

    // Signal numbers of the sheet's named wires, ascending, no repeats.
    static std::vector<int32_t> CollectMonSignals(const COstra_PLCDoc& sheet,
                                                  const DownloadTables& tables);
    static std::vector<CMonBlock> MakeBlocks(const std::vector<int32_t>& signals);
    // Signal numbers that a digital output pin drives, by the compiled blocks,
    // ascending.
    static std::vector<int32_t> DigitalSignals(const DownloadTables& tables);
    // The digital signals of the sheet's named wires, ascending: polled too
    // when `pollLiveWires` is set, so that a window can show which wires are on
    // even where no value is written.
    static std::vector<int32_t> CollectLiveSignals(const COstra_PLCDoc& sheet,
                                                   const DownloadTables& tables);

    // The Monitor command, or a view's activation or deactivation.
    void ToggleMonitor(Activation activation, const COstra_PLCDoc& sheet, COstraProject& project,
                       COxComm& link, IMonitorTimer& timer);
    // One timer tick. `values` receives the signals read (number, value).
    std::vector<MonitorLabel> MonitorTick(
        const COstra_PLCDoc& sheet, COstraProject& project, COxComm& link, IMonitorTimer& timer,
        std::vector<std::pair<int32_t, double>>* values = nullptr);

    bool monitoring = false;
    bool pollLiveWires = false;
    std::vector<int32_t> monSignals;
    // What the blocks poll: monSignals and, with pollLiveWires, the live ones.
    std::vector<int32_t> polledSignals;
    std::vector<CMonBlock> blocks;
    int nextBlock = -1;  // none before the first tick
    int numSignals = 0;
};

}  // namespace ostra
