// The simulated controller: register map, silence on damaged frames, block
// semantics, and the example project running against the tank plant.
#include <gtest/gtest.h>

#include "comm/COxComm.h"
#include "comm/CTargetOps.h"
#include "comm/NumberCodec.h"
#include "platform/ISettings.h"
#include "project/COstraProject.h"
#include "sim/SimPort.h"
#include "support/Recorders.h"
#include "support/TestFiles.h"

namespace ostra {
namespace {

class NoWait : public ILinkClock {
public:
    void BusyWaitMs(int) override {}
    void SleepMs(int) override {}
};

class Rig {
public:
    explicit Rig(sim::SimOptions o = {}) : controller(o), ports(*this), link(box, clock, ports) {
        link.Box = o.box;
        link.Slot = o.slot;
        link.OpenPort(0);
    }
    int Write(int32_t sub, int32_t base, std::vector<double> v) {
        std::vector<double> regs(static_cast<std::size_t>(base), 0.0);
        regs.insert(regs.end(), v.begin(), v.end());
        return link.Transact('+', sub, base, static_cast<int32_t>(v.size()), regs);
    }
    std::vector<double> Read(int32_t sub, int32_t base, int32_t n) {
        std::vector<double> regs(static_cast<std::size_t>(base + n), 0.0);
        EXPECT_EQ(link.Transact('-', sub, base, n, regs), kLinkOk);
        return std::vector<double>(regs.begin() + base, regs.end());
    }
    // Block `i`: type and pin words (missing words: no pin).
    void Block(int i, int type, std::vector<int> pins) {
        std::vector<double> v = {static_cast<double>(i), static_cast<double>(type)};
        for (int k = 0; k < 16; ++k) v.push_back(k < static_cast<int>(pins.size()) ? pins[k] : 0xFFFF);
        ASSERT_EQ(Write(4, 0, v), kLinkOk);
    }
    void Const(int n, double v) { ASSERT_EQ(Write(3, 0, {static_cast<double>(n), v}), kLinkOk); }
    void Start() { ASSERT_EQ(Write(2, 0, {0}), kLinkOk); }
    void Stop() { ASSERT_EQ(Write(2, 0, {1}), kLinkOk); }

    class Ports : public IPortProvider {
    public:
        explicit Ports(Rig& r) : r_(r) {}
        std::string DeviceFor(int) override { return "simulator"; }
        std::unique_ptr<ISerialPort> Create(const std::string&) override {
            return std::make_unique<sim::SimPort>(r_.controller, [] { return int64_t{0}; });
        }

    private:
        Rig& r_;
    };

    test::RecordingMessageBox box;
    NoWait clock;
    sim::CSimController controller;
    Ports ports;
    COxComm link;
};

int Sig(int n, int type = 3) { return (type << 12) | n; }
int Const(int n) { return (4 << 12) | n; }
int Val(int v) { return (5 << 12) | v; }

TEST(SimController, IdentificationFirmwareAndSerial) {
    Rig rig;
    EXPECT_EQ(rig.Read(0, 0, 1)[0], 0xA501);
    const auto info = rig.Read(255, 0, 2);
    EXPECT_EQ(info[0], 3 * 256 + 2);
    EXPECT_EQ(info[1], 1234567);
    EXPECT_TRUE(rig.box.messages.empty());
}

TEST(SimController, SilentOnDamagedFramesAndOtherModules) {
    Rig rig;
    rig.controller.Receive("-jjjjn\n0000\r");  // wrong checkword
    EXPECT_FALSE(rig.controller.HasOutput());
    rig.controller.Receive("-o05njjn\r");  // box 5: another module
    EXPECT_FALSE(rig.controller.HasOutput());
    rig.controller.Receive("-nnjjn\r");  // this module, short request
    EXPECT_TRUE(rig.controller.HasOutput());
}

TEST(SimController, OnDelayTimerCountsScans) {
    Rig rig;
    rig.Stop();
    rig.Const(0, 1);
    rig.Const(1, 0.5);
    rig.Block(0, 60, {Sig(0, 1), Const(0), Const(1)});  // TON In=1, PT=0.5 s
    rig.Start();
    rig.controller.Advance(490);
    EXPECT_EQ(rig.controller.Signal(0), 0);
    rig.controller.Advance(10);
    EXPECT_EQ(rig.controller.Signal(0), 1);
}

TEST(SimController, LatchHysteresisAndMasks) {
    sim::SimOptions o;
    o.plant = false;
    Rig rig(o);
    rig.Stop();
    // 0: TERMIN X1 S2 U0 R0 mask 4 -> sig 0; 1: RSLATCH S=sig0 R=sig1 -> sig 2;
    // 2: HYST In=sig3 Hi=c0 Lo=c1 -> sig 4; 3: TERMOUT sig2 to X1 S3 U0 R0 mask 2.
    rig.Const(0, 70);
    rig.Const(1, 30);
    rig.Block(0, 4, {Sig(0), Val(1), Val(2), Val(0), Val(0), Val(4)});
    rig.Block(1, 51, {Sig(2, 1), Sig(0, 1), Sig(1, 1)});
    rig.Block(2, 46, {Sig(4, 1), Sig(3), Const(0), Const(1)});
    rig.Block(3, 5, {0xFFFF, Sig(2), Val(1), Val(3), Val(0), Val(0), Val(2)});
    rig.Start();
    rig.controller.SetRegister(1, 2, 0, 0, 4);
    rig.controller.Scan();
    EXPECT_EQ(rig.controller.Signal(2), 1);
    EXPECT_EQ(rig.controller.Register(1, 3, 0, 0), 2);
    rig.controller.SetRegister(1, 2, 0, 0, 0);
    rig.controller.Scan();
    EXPECT_EQ(rig.controller.Signal(2), 1);  // latched
    rig.controller.SetRegister(1, 3, 0, 0, 1);
    rig.controller.Scan();
    EXPECT_EQ(rig.controller.Register(1, 3, 0, 0), 3);  // other bits kept
}

TEST(SimController, KFactorPort) {
    Rig rig;
    ASSERT_EQ(rig.Write(6, 0, {2, 75.5}), kLinkOk);
    ASSERT_EQ(rig.Write(6, 0, {0}), kLinkOk);
    EXPECT_EQ(rig.Read(6, 0, 3)[0], 0);
    EXPECT_EQ(rig.Read(6, 0, 3)[0], 1);
    const auto third = rig.Read(6, 0, 3);
    EXPECT_EQ(third[0], 2);
    EXPECT_EQ(third[1], 75.5);
}

TEST(SimController, TheExampleRunsTheTank) {
    test::TempDir work;
    std::filesystem::copy(test::Examples() / "TankPlant", work.Path(),
                          std::filesystem::copy_options::recursive);
    Rig rig;
    MemorySettings settings;
    COstraProject project(rig.box, settings, work.Path());
    project.ProgramFolder = test::Examples();
    project.ProcTable.UseBuiltIn();
    project.OpenProjectFolder(work / "project.oxp");
    CTargetOps ops(project, rig.link, rig.clock);
    ASSERT_TRUE(ops.Connect());
    rig.box.answers.push_back(MsgResult::Ok);
    ASSERT_TRUE(ops.Upload());
    // The K-factors of KFTank.txt: HiAlarm 90, PumpOn 70, PumpOff 30.
    for (int i = 0; i < 3; ++i) ASSERT_EQ(rig.Write(6, 0, {double(i), i == 0 ? 90.0 : i == 1 ? 70.0 : 30.0}), kLinkOk);
    auto signal = [&](const std::string& name) {
        for (const auto& s : project.Tables.sigs)
            if (s->Name == name) return rig.controller.Signal(s->Number);
        return -1.0;
    };
    bool pumpRan = false;
    bool pumpStopped = false;
    double minLevel = 100, maxLevel = 0;
    for (int second = 0; second < 400; ++second) {
        rig.controller.Advance(1000);
        const double level = signal("LEVEL");
        EXPECT_NEAR(level, rig.controller.Level(), 0.2);
        minLevel = std::min(minLevel, level);
        maxLevel = std::max(maxLevel, level);
        if (signal("PUMP") == 1) pumpRan = true;
        if (pumpRan && signal("PUMP") == 0) pumpStopped = true;
        EXPECT_EQ(signal("HIGH"), 0) << second;
    }
    EXPECT_TRUE(pumpRan);
    EXPECT_TRUE(pumpStopped);
    // The automatic demand caps the level; the operator's manual runs drain it
    // further, so it moves over a wide band.
    EXPECT_LT(maxLevel, 80);
    EXPECT_GT(maxLevel - minLevel, 30);
    EXPECT_EQ(rig.controller.Register(1, 0, 1, 0), signal("LEVEL"));  // the panel meter
}

}  // namespace
}  // namespace ostra
