// A simulated controller: answers the link's frames from its register map,
// runs the uploaded diagram every 10 ms scan with the block semantics of the
// shipped libraries (examples/README.md), keeps statistics and K-factors, and
// drives the example project's tank plant through its terminal registers.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

namespace ostra::sim {

// Faults the simulator injects into its answers, for tests of the link.
enum class Fault { kNoAnswer, kDrop, kCorrupt, kExtra, kLate, kWrongHeader, kEcho };

struct FaultOptions {
    double rate = 0;            // share of answers that get a fault
    uint32_t seed = 1;
    std::vector<Fault> kinds;   // chosen from at random; empty: all of them
};

// Parses "no-answer,drop,corrupt,extra,late,header,echo" (or "all"); false on
// an unknown name.
bool ParseFaults(const std::string& names, std::vector<Fault>& out);

struct SimOptions {
    int32_t procCode = 0xA501;  // KMRU-01
    int32_t box = 1;
    int32_t slot = 1;
    bool echo = false;           // an RS-485 line: every byte sent comes back
    bool plant = true;           // the TankPlant tank, pump and buttons
    int32_t firmware = 3 * 256 + 2;
    int32_t serial = 1234567;
    FaultOptions faults;
};

class CSimController {
public:
    static constexpr int kSignals = 4096;
    static constexpr int kScanMs = 10;

    explicit CSimController(const SimOptions& options = {});

    // Bytes from the line; answers go to the output queue.
    void Receive(const std::string& bytes);
    bool HasOutput() const { return !output_.empty(); }
    uint8_t TakeOutput();
    std::size_t OutputSize() const { return output_.size(); }

    // Changes the faults while running (a cable pulled, a noisy line).
    void SetFaults(const FaultOptions& faults);

    // Lets simulated time pass: runs a scan for every 10 ms.
    void Advance(int64_t ms);
    void Scan();

    bool Running() const { return running_; }
    double Signal(int n) const { return n >= 0 && n < kSignals ? signals_[n] : 0; }
    double Register(int32_t x, int32_t s, int32_t u, int32_t r) const;
    void SetRegister(int32_t x, int32_t s, int32_t u, int32_t r, double v);
    std::vector<double>& KFactors() { return kfactors_; }
    double Level() const { return level_; }
    // Frames received, whole or not: a test's measure of traffic.
    int64_t Transactions() const { return transactions_; }
    int64_t TimeMs() const { return timeMs_; }

    struct Block {
        int32_t typeNum = 0;
        std::array<int32_t, 16> pins{};
    };
    const std::vector<Block>& Blocks() const { return blocks_; }
    const std::map<int32_t, double>& Constants() const { return constants_; }

private:
    struct State {
        double q = 0;
        int64_t count = 0;
        bool prev = false;
        bool running = false;
        bool started = false;
    };

    void HandleFrame(const std::string& frame);
    void Emit(std::string frame);
    void Answer(const std::string& body);
    bool ReadRegs(int32_t sub, int32_t base, int32_t n, std::vector<double>& out);
    void WriteRegs(int32_t sub, int32_t base, const std::vector<double>& values);
    double In(const Block& b, int k) const;
    bool Digital(const Block& b, int k) const;
    bool Present(const Block& b, int k) const { return b.pins[k] != 0xFFFF; }
    void Out(const Block& b, double v);
    void Execute(std::size_t index);
    void Plant(double dt);
    void ResetRun();

    SimOptions o_;
    std::string input_;
    std::deque<uint8_t> output_;
    bool running_ = true;
    int64_t timeMs_ = 0;
    int64_t runMs_ = 0;  // time since the controller last started
    int64_t scanDebt_ = 0;

    std::array<double, kSignals> signals_{};
    std::map<int32_t, double> constants_;
    std::vector<Block> blocks_;
    std::vector<State> states_;
    std::unordered_map<uint64_t, double> registers_;
    std::vector<double> kfactors_;

    int32_t selSignal_ = 0, selConst_ = 0, selBlock_ = 0, kfNext_ = 0;
    // Statistics: transactions and their errors.
    int64_t transactions_ = 0;
    int64_t errors_ = 0, noResponses_ = 0, timeouts_ = 0, sentinel_ = 0, format_ = 0,
            checkword_ = 0;

    // Faults: answers held back until a time, and the random source.
    std::mt19937 faultRng_;
    std::deque<std::pair<int64_t, std::string>> late_;
    std::string lastRequest_;

    // The plant.
    double level_ = 45;  // percent
    std::mt19937 noise_{7};
};

}  // namespace ostra::sim
