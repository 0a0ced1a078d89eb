// The simulated controller: register map, silence on damaged frames, block
// semantics, and the example project running against the tank plant.
#include <gtest/gtest.h>

#include "comm/CTargetOps.h"
#include "comm/NumberCodec.h"
#include "support/SimRig.h"

namespace ostra {
namespace {

class Rig {
public:
    explicit Rig(sim::SimOptions o = {}) : controller(o), ports(controller), link(box, clock, ports) {
        link.Box = o.box, link.Slot = o.slot;
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

    test::RecordingMessageBox box;
    test::NoWait clock;
    sim::CSimController controller;
    test::SimPorts ports;
    COxComm link;
};

// Blocks alone, without the tank, the pump and the operator's buttons.
sim::SimOptions NoPlant() {
    sim::SimOptions o;
    o.plant = false;
    return o;
}

int Sig(int n, int type = 3) { return (type << 12) | n; }
int Const(int n) { return (4 << 12) | n; }
int Val(int v) { return (5 << 12) | v; }

TEST(SimController, IdentificationFirmwareAndSerial) {
    Rig rig;
    EXPECT_EQ(rig.Read(0, 0, 1)[0], 0xA501);
    EXPECT_TRUE(rig.Read(255, 0, 2) == (std::vector<double>{3 * 256 + 2, 1234567}) &&
                rig.box.messages.empty());
    sim::SimOptions echoing;
    echoing.echo = true;
    Rig echo(echoing);
    echo.link.Echo = true;
    EXPECT_EQ(echo.Read(0, 0, 1)[0], 0xA501);
}

TEST(SimController, SilentOnDamagedFramesAndOtherModules) {
    Rig rig;
    const std::pair<const char*, bool> frames[] = {
        {"-jjjjn\n0000\r", false},  // wrong checkword
        {"-o05njjn\r", false},       // box 5: another module
        {"-nnjjn\r", true},          // this module, short request
        {"-nnj\r", false},           // three tokens: a format error, counted
        {"-nnjjo\r", false},         // a token cut short: counted too
        {"-nnjjj\r", true}};         // no registers at all is a request still
    for (const auto& [frame, answered] : frames) {
        rig.controller.Receive(frame);
        EXPECT_EQ(rig.controller.HasOutput(), answered) << frame;
        while (rig.controller.HasOutput()) rig.controller.TakeOutput();
    }
    // errors, no answers, time-outs, sentinel, format, checkword
    EXPECT_EQ(rig.Read(2, 4, 6), (std::vector<double>{3, 0, 0, 0, 2, 1}));
}

// Every kind of fault in the answers: a read either fails or gives the true
// value; the link's checks must never take a damaged answer for a good one.
TEST(SimController, FaultyAnswersNeverGiveAWrongValue) {
    sim::SimOptions o;
    o.faults.rate = 0.4;
    Rig rig(o);
    int ok = 0;
    for (int i = 0; i < 300; ++i) {
        std::vector<double> v(2, 0.0);
        if (rig.link.Transact('-', i % 2 ? 0 : 255, 0, i % 2 ? 1 : 2, v) != kLinkOk) continue;
        ++ok;
        const std::vector<double> truth = {i % 2 ? 0xA501 : 3 * 256 + 2.0, i % 2 ? 0 : 1234567.0};
        EXPECT_EQ(v, truth) << i;
    }
    EXPECT_TRUE(ok > 100 && ok < 300) << ok;
    // The faults by their names on the command line.
    std::vector<sim::Fault> f;
    EXPECT_TRUE(sim::ParseFaults("all", f) && f.size() == 7u);
    EXPECT_TRUE(sim::ParseFaults("drop,late,echo", f));  // in place of what was there
    EXPECT_EQ(f, (std::vector<sim::Fault>{sim::Fault::kDrop, sim::Fault::kLate, sim::Fault::kEcho}));
    EXPECT_FALSE(sim::ParseFaults("drop,,late", f));
}

// Constants and blocks alike: register 0 selects, the value registers may
// also be written alone, from register 1, for the one selected before.
TEST(SimController, ConstantsAndBlocksWrittenWithTheirNumberOrFromRegisterOne) {
    Rig rig;
    ASSERT_TRUE(rig.Write(4, 0, {2}) == kLinkOk && rig.Write(4, 1, {23}) == kLinkOk);
    EXPECT_EQ(rig.Read(4, 0, 2), (std::vector<double>{2, 23}));
    ASSERT_EQ(rig.Write(4, 0, {3}), kLinkOk);  // the first block not there
    EXPECT_EQ(rig.Read(4, 0, 2), (std::vector<double>{3, 0}));
    ASSERT_EQ(rig.Write(4, 0, {65536, 23}), kLinkOk);  // past the last block there can be
    EXPECT_EQ(rig.Read(4, 0, 2), (std::vector<double>{65536, 0}));
    ASSERT_EQ(rig.Write(3, 0, {5, 2.5}), kLinkOk);
    EXPECT_EQ(rig.controller.Constants().at(5), 2.5);
    ASSERT_EQ(rig.Write(3, 1, {7.5}), kLinkOk);  // the number selected before
    EXPECT_EQ(rig.controller.Constants().at(5), 7.5);
    ASSERT_EQ(rig.Write(3, 0, {6}), kLinkOk);  // only selects
    EXPECT_TRUE(rig.controller.Constants().count(6) == 0u &&
                rig.Read(3, 0, 2) == (std::vector<double>{6, 0}));
    EXPECT_EQ(rig.Write(6, 0, {100000, 5}), kLinkOk);  // a K-factor past the table: ignored
}

// One block on constant inputs, the constants changed between scans: the
// block's output after each scan.
struct BlockCase {
    const char* name;
    int type;
    std::vector<std::vector<double>> inputs;  // per scan
    std::vector<double> outputs;
};

TEST(SimController, BlockSemantics) {
    const BlockCase cases[] = {
        {"NOT", 23, {{0}, {1}}, {1, 0}},
        {"DIV", 33, {{6, 3}, {5, 0}}, {2, 0}},
        {"SUB", 31, {{6, 8}}, {-2}},
        {"SCALE", 81, {{2, 3, 4}}, {10}},
        {"SRLATCH (set wins)", 50, {{1, 1}, {0, 1}}, {1, 0}},
        {"RSLATCH (reset wins)", 51, {{1, 0}, {1, 1}, {0, 0}}, {1, 0, 0}},
        {"TPULSE", 62, {{0, 0.03}, {1, 0.03}, {1, 0.03}, {1, 0.03}, {1, 0.03}}, {0, 1, 1, 1, 0}},
        {"CTD", 71, {{0, 1, 2}, {1, 0, 2}, {1, 0, 2}, {0, 0, 2}, {1, 0, 2}}, {0, 0, 0, 0, 1}},
        {"CTU", 70, {{1, 0, 2}, {1, 0, 2}, {0, 0, 2}, {1, 0, 2}, {1, 1, 2}}, {0, 0, 0, 1, 0}},
        {"TOF", 61, {{0, 0.02}, {1, 0.02}, {0, 0.02}, {0, 0.02}}, {0, 1, 1, 0}},
        {"FILTER", 83, {{10, 1}, {20, 1}}, {10, 10 + 10 * 0.01 / 1.01}},
        {"AND", 20, {{1, 1, 1}, {1, 0, 1}}, {1, 0}},
        {"AVG", 85, {{2, 4, 9}}, {5}},
        {"INHIBIT", 25, {{1, 1}, {1, 0}, {0, 1}}, {1, 0, 0}},
        {"MASKIN", 12, {{6, 4}, {6, 1}}, {1, 0}},
        {"MASKOUT", 13, {{1, 9}, {0, 9}}, {9, 0}},
        {"GE", 41, {{3, 3}, {2, 3}}, {1, 0}},
        {"LT", 42, {{3, 3}, {2, 3}}, {0, 1}},
        {"LE", 43, {{3, 3}, {4, 3}}, {1, 0}},
        {"SELECT", 82, {{0, 4, 9}, {1, 4, 9}}, {4, 9}},
        {"LIMIT", 80, {{7, 0, 5}, {-1, 0, 5}}, {5, 0}},
        {"ADD", 30, {{2, 3, 4}}, {9}},
        {"MULT", 32, {{2, 3, 4}}, {24}},
        {"MAX", 35, {{-3, -7, -5}}, {-3}},
        {"MIN", 36, {{3, 7, 5}}, {3}},
        {"RTRIG", 26, {{0}, {1}, {1}}, {0, 1, 0}},
        {"FTRIG", 27, {{1}, {0}, {0}}, {0, 1, 0}},
        {"HYST", 46, {{80, 70, 30}, {50, 70, 30}, {20, 70, 30}, {50, 70, 30}, {70, 70, 30}},
         {1, 1, 0, 0, 1}},
    };
    for (const BlockCase& c : cases) {
        Rig rig(NoPlant());
        rig.Stop();
        const std::size_t n = c.inputs[0].size();
        std::vector<int> pins = {Sig(0)};
        for (std::size_t k = 0; k < n; ++k) pins.push_back(Const(static_cast<int>(k)));
        rig.Block(0, c.type, pins);
        for (std::size_t k = 0; k < n; ++k) rig.Const(static_cast<int>(k), c.inputs[0][k]);
        rig.Start();
        for (std::size_t scan = 0; scan < c.inputs.size(); ++scan) {
            for (std::size_t k = 0; k < n; ++k)
                rig.Const(static_cast<int>(k), c.inputs[scan][k]);
            rig.controller.Scan();
            EXPECT_DOUBLE_EQ(rig.controller.Signal(0), c.outputs[scan]) << c.name << " scan " << scan;
        }
    }
}

TEST(SimController, BusOutputWritesItsFirstInputAndBusInputReads) {
    Rig rig(NoPlant());
    rig.Stop();
    rig.Const(0, 5);
    // BUSOUT In=c0 to X1 S3 U2 R0: the value is input 1, not the address.
    rig.Block(0, 3, {0xFFFF, Const(0), Val(1), Val(3), Val(2), Val(0)});
    // BUSIN from X1 S2 U0 R4 into signal 1 (U4 R4 holds something else).
    rig.Block(1, 2, {Sig(1), Val(1), Val(2), Val(0), Val(4)});
    rig.Start();
    rig.controller.SetRegister(1, 2, 0, 4, 6);
    rig.controller.SetRegister(1, 2, 4, 4, 9);
    rig.controller.Scan();
    EXPECT_TRUE(rig.controller.Register(1, 3, 2, 0) == 5 && rig.controller.Signal(1) == 6);
    // Monitor reads: register 0 selects a signal, the next ones read from it on.
    ASSERT_EQ(rig.Write(1, 0, {1}), kLinkOk);
    EXPECT_EQ(rig.Read(1, 0, 3), (std::vector<double>{1, 6, 0}));
    rig.Start();  // already running: nothing is reset
    EXPECT_EQ(rig.controller.Signal(1), 6);
    rig.Stop();
    EXPECT_EQ(rig.Read(2, 0, 2), (std::vector<double>{1, 0}));  // stopped, no time used
}

TEST(SimController, LatchHysteresisAndMasks) {
    Rig rig(NoPlant());
    rig.Stop();
    // 0: TERMIN X1 S2 U0 R1 mask 4 -> sig 0; 1: RSLATCH S=sig0 R=sig1 -> sig 2;
    // 2: HYST In=sig3 Hi=c0 Lo=c1 -> sig 4; 3: TERMOUT sig2 to X1 S3 U1 R0 mask 2.
    rig.Const(0, 70);
    rig.Const(1, 30);
    rig.Block(0, 4, {Sig(0), Val(1), Val(2), Val(0), Val(1), Val(4)});
    rig.Block(1, 51, {Sig(2, 1), Sig(0, 1), Sig(1, 1)});
    rig.Block(2, 46, {Sig(4, 1), Sig(3), Const(0), Const(1)});
    rig.Block(3, 5, {0xFFFF, Sig(2), Val(1), Val(3), Val(1), Val(0), Val(2)});
    rig.Start();
    rig.controller.SetRegister(1, 2, 0, 1, 4);
    rig.controller.Scan();
    EXPECT_TRUE(rig.controller.Signal(0) == 1 && rig.controller.Signal(2) == 1 &&
                rig.controller.Register(1, 3, 1, 0) == 2);  // the masked bit, as 1
    rig.controller.SetRegister(1, 2, 0, 1, 0);
    rig.controller.Scan();
    EXPECT_EQ(rig.controller.Signal(2), 1);  // latched
    rig.controller.SetRegister(1, 3, 1, 0, 1);
    rig.controller.Scan();
    EXPECT_EQ(rig.controller.Register(1, 3, 1, 0), 3);  // other bits kept
}

TEST(SimController, TheExampleRunsTheTank) {
    test::ExampleOnSim rig;
    COstraProject& project = rig.project;
    CTargetOps ops(project, rig.link, rig.clock);
    ASSERT_TRUE(ops.Connect());
    rig.box.answers.push_back(MsgResult::Ok);
    ASSERT_TRUE(ops.Upload());
    // The K-factors of KFTank.txt: HiAlarm 90, PumpOn 70, PumpOff 30.
    for (int i = 0; i < 3; ++i) {
        std::vector<double> kf = {double(i), i == 0 ? 90.0 : i == 1 ? 70.0 : 30.0};
        ASSERT_EQ(rig.link.Transact('+', 6, 0, 2, kf), kLinkOk);
    }
    auto signal = [&](const std::string& name) {
        return rig.controller.Signal(test::SignalNumber(project.Tables, name));
    };
    bool pumpRan = false, pumpStopped = false;
    double minLevel = 100, maxLevel = 0;
    std::vector<int> start, stop;  // when the simulated operator presses START and STOP
    for (int second = 0; second < 400; ++second) {
        uint32_t pressed = 0;
        for (int tenth = 0; tenth < 10; ++tenth) {
            rig.controller.Advance(100);
            const auto buttons = static_cast<uint32_t>(rig.controller.Register(1, 2, 0, 0));
            pressed |= (buttons & 1) | (buttons & 2 ? 0 : 2);
        }
        if (pressed & 1) start.push_back(second);
        if (pressed & 2) stop.push_back(second);
        const double level = signal("LEVEL");
        EXPECT_NEAR(level, rig.controller.Level(), 0.2);
        minLevel = std::min(minLevel, level);
        maxLevel = std::max(maxLevel, level);
        if (signal("PUMP") == 1) pumpRan = true;
        if (pumpRan && signal("PUMP") == 0) pumpStopped = true;
        EXPECT_EQ(signal("HIGH"), 0) << second;
    }
    EXPECT_TRUE(pumpRan && pumpStopped && start == (std::vector<int>{20, 110, 200, 290, 380}));
    EXPECT_EQ(stop, (std::vector<int>{60, 150, 240, 330}));
    // The automatic demand caps the level; the operator's manual runs drain it
    // further, so it moves over a wide band.
    EXPECT_TRUE(maxLevel < 80 && maxLevel - minLevel > 30) << minLevel << " " << maxLevel;
    EXPECT_EQ(rig.controller.Register(1, 0, 1, 0), signal("LEVEL"));  // the panel meter
}

}  // namespace
}  // namespace ostra
