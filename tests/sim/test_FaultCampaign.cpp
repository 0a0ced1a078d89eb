// Thousands of exchanges with the simulator injecting faults at random: each
// ends with a result code and the message that goes with it, in bounded time,
// and Verify never passes a controller whose content differs.
#include <gtest/gtest.h>

#include "comm/COxComm.h"
#include "comm/CTargetOps.h"
#include "platform/ISettings.h"
#include "project/COstraProject.h"
#include "sim/SimPort.h"
#include "support/Recorders.h"
#include "support/TestFiles.h"

namespace ostra {
namespace {

// Simulated time: the link's waits and every silent read move it on.
struct Time {
    int64_t now = 0;
};

class TimedClock : public ILinkClock {
public:
    explicit TimedClock(Time& t) : t_(t) {}
    void BusyWaitMs(int ms) override { t_.now += ms; }
    void SleepMs(int ms) override { t_.now += ms; }

private:
    Time& t_;
};

class TimedPort : public ISerialPort {
public:
    TimedPort(sim::CSimController& c, Time& t) : t_(t), port_(c, [&t] { return t.now; }) {}
    bool Open(const std::string& d, std::string* e) override { return port_.Open(d, e); }
    void Close() override { port_.Close(); }
    bool IsOpen() const override { return port_.IsOpen(); }
    void Purge() override { port_.Purge(); }
    std::size_t Write(const uint8_t* data, std::size_t n) override { return port_.Write(data, n); }
    ReadResult ReadByte(uint8_t& b) override {
        const ReadResult r = port_.ReadByte(b);
        if (r == kTimeout) t_.now += 8;  // the link's read time-out
        return r;
    }

private:
    Time& t_;
    sim::SimPort port_;
};

class Ports : public IPortProvider {
public:
    Ports(sim::CSimController& c, Time& t) : c_(c), t_(t) {}
    std::string DeviceFor(int) override { return "simulator"; }
    std::unique_ptr<ISerialPort> Create(const std::string&) override {
        return std::make_unique<TimedPort>(c_, t_);
    }

private:
    sim::CSimController& c_;
    Time& t_;
};

sim::SimOptions Faulty(double rate, const std::string& kinds, uint32_t seed) {
    sim::SimOptions o;
    o.plant = false;
    o.faults.rate = rate;
    o.faults.seed = seed;
    EXPECT_TRUE(sim::ParseFaults(kinds, o.faults.kinds));
    return o;
}

// Every exchange ends with a code and its message; values are exact when the
// faults cannot change them.
void Campaign(const std::string& kinds, bool valuesExact) {
    Time time;
    sim::CSimController controller(Faulty(0.3, kinds, 11));
    Ports ports(controller, time);
    TimedClock clock(time);
    test::RecordingMessageBox box;
    COxComm link(box, clock, ports);
    link.Box = 1;
    link.Slot = 1;
    link.OpenPort(0);
    std::mt19937 rng(5);
    std::vector<double> kf(8, 0.0);
    int ok = 0, failed = 0, silent = 0;
    for (int i = 0; i < 3000; ++i) {
        box.messages.clear();
        const int64_t before = time.now;
        const int op = static_cast<int>(rng() % 3);
        std::vector<double> v(8, 0.0);
        char dir = '-';
        int r = 0;
        if (op == 0) {
            r = link.Transact('-', 255, 0, 2, v);
        } else if (op == 1) {
            dir = '+';
            const int k = static_cast<int>(rng() % 8);
            v[0] = k;
            v[1] = static_cast<double>(rng() % 1000);
            r = link.Transact('+', 6, 0, 2, v);
            // A write whose acknowledgement went wrong may still have landed.
            if (r == kLinkOk) kf[static_cast<std::size_t>(k)] = v[1];
        } else {
            r = link.Transact('-', 0, 0, 1, v);
        }
        ASSERT_LT(time.now - before, 200) << "exchange " << i << " took too long";
        ASSERT_GE(r, kLinkNoResponse);
        ASSERT_LE(r, kLinkCountWrong);
        ASSERT_NE(r, kLinkBadStart);
        if (r == kLinkOk) {
            ++ok;
            EXPECT_TRUE(box.messages.empty());
            if (valuesExact && op == 0) {
                EXPECT_EQ(v[0], 3 * 256 + 2) << i;
                EXPECT_EQ(v[1], 1234567) << i;
            }
            if (valuesExact && op == 2) {
                EXPECT_EQ(v[0], 0xA501) << i;
            }
        } else if (r == kLinkNoResponse) {
            ++silent;
            ASSERT_EQ(box.messages.size(), 1u);
            EXPECT_EQ(box.messages[0].text, "Connection Failed");
            EXPECT_FALSE(link.Connected);
            link.Connected = true;
        } else {
            ++failed;
            ASSERT_EQ(box.messages.size(), 1u);
            EXPECT_EQ(box.messages[0].text,
                      std::string(dir == '+' ? "BAK" : "BAS") + " error " + std::to_string(r));
            EXPECT_EQ(box.messages[0].caption, "Link with target failed");
        }
    }
    EXPECT_GT(ok, 2000) << kinds;  // three attempts get most exchanges through
    EXPECT_GT(failed + silent, 10) << kinds;  // and the faults did show
    ::testing::Test::RecordProperty("ok", ok);
    ::testing::Test::RecordProperty("failed", failed);
    ::testing::Test::RecordProperty("silent", silent);
}

TEST(FaultCampaign, EveryFaultKindAndThoseThatCannotChangeValues) {
    Campaign("all", false);
    Campaign("no-answer,late,header,echo", true);
}

TEST(FaultCampaign, VerifyNeverPassesADifferentController) {
    test::TempDir work;
    std::filesystem::copy(test::Examples() / "TankPlant", work.Path(),
                          std::filesystem::copy_options::recursive);
    Time time;
    sim::CSimController controller(Faulty(0.0, "all", 3));
    Ports ports(controller, time);
    TimedClock clock(time);
    test::RecordingMessageBox box;
    MemorySettings settings;
    COstraProject project(box, settings, work.Path());
    project.ProgramFolder = test::Examples();
    project.ProcTable.UseBuiltIn();
    project.OpenProjectFolder(work / "project.oxp");
    COxComm link(box, clock, ports);
    CTargetOps ops(project, link, clock);
    ASSERT_TRUE(ops.Connect());
    box.answers.push_back(MsgResult::Ok);
    ASSERT_TRUE(ops.Upload());
    // The controller now holds another block at position 4 (type and a pin).
    std::vector<double> v(18, 0.0);
    v[0] = 4;
    v[1] = 77;
    for (int k = 0; k < 16; ++k) v[2 + k] = 0x3001 + k;
    ASSERT_EQ(link.Transact('+', 4, 0, 18, v), kLinkOk);

    // Verify through a line that damages answers, many times: never a pass.
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        controller.SetFaults(Faulty(0.3, "all", seed).faults);
        box.messages.clear();
        EXPECT_FALSE(ops.Verify()) << "seed " << seed;
        for (const auto& m : box.messages) EXPECT_NE(m.text, "Verified OK") << "seed " << seed;
        link.Connected = true;
    }
}

}  // namespace
}  // namespace ostra
