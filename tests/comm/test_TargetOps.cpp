// The controller commands against the simulated controller, in process: Connect, Upload, Verify,
// monitor blocks and ticks, statistics texts, and the K-factor table.
#include <gtest/gtest.h>

#include <algorithm>

#include "comm/CKFactorTable.h"
#include "comm/COxComm.h"
#include "comm/COxMonitor.h"
#include "comm/CProcStats.h"
#include "comm/CTargetOps.h"
#include "comm/NumberCodec.h"
#include "comm/TrendLog.h"
#include "model/WireTypes.h"
#include "support/ScriptedPort.h"
#include "support/SheetBuilder.h"
#include "support/SimRig.h"

namespace ostra {
namespace {

using test::ExampleOnSim;

class Progress : public IProgress {
public:
    void Begin(const std::string& text, int range) override {
        log.push_back(text + " " + std::to_string(range));
    }
    void Step() override { ++steps; }
    void End() override { log.push_back("end"); }
    std::vector<std::string> log;
    int steps = 0;
};

class TargetTest : public ::testing::Test, public ExampleOnSim {
protected:
    explicit TargetTest(sim::SimOptions o = {})
        : ExampleOnSim(o), ops(project, link, clock, &progress) {}
    Progress progress;
    CTargetOps ops;
};

TEST_F(TargetTest, ConnectUploadAndVerifyTheExample) {
    project.Library.MaxKFacts = 1;  // one is enough for the editor
    ASSERT_TRUE(ops.Connect());
    box.answers.push_back(MsgResult::Cancel);  // Cancel at the question writes nothing
    EXPECT_TRUE(!ops.Upload() && controller.Blocks().empty() && controller.Running());
    box.messages.erase(box.messages.begin() + 1, box.messages.end());
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Connected to KMRU-01 OK"}));
    const CProjectMenu& m = project.Menu;
    EXPECT_TRUE(ops.ConnectedProc == "KMRU-01" && m.Checked(CProjectMenu::kConnect));
    for (int p : {CProjectMenu::kUpload, CProjectMenu::kVerify, CProjectMenu::kMonitor,
                  CProjectMenu::kStatistics, CProjectMenu::kKFactorEdit})
        EXPECT_TRUE(m.Enabled(p)) << p;

    box.messages.clear();
    box.answers.push_back(MsgResult::Ok);
    ports.sent.clear();
    project.Menu.SetDisabled(CProjectMenu::kMonitor, true);  // a good Verify offers it again
    ASSERT_TRUE(ops.Upload());
    // The traffic as it goes on the line: stop, then the first constant (0.025).
    EXPECT_EQ(ports.sent.rfind("+nno02jnn\n2963\r+nno03jo02jq8EBCCCD\n4D22\r", 0), 0u);
    const auto texts = Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(
        texts[0].substr(0, 72) + "|" + texts[1],
        "Uploading a new diagram requires that the\nCONTROLLER WILL BE STOPPED !!\n|Verified OK");
    EXPECT_TRUE(controller.Running() && controller.Blocks().size() == project.Tables.fbs.size() &&
                controller.Constants().size() == project.Tables.consts.size());
    EXPECT_NEAR(controller.Constants().at(0), 0.025, 0.025 * 3.2e-5);  // 16-bit mantissa
    EXPECT_EQ(progress.log,
              (std::vector<std::string>{"Uploading Constants 3", "Uploading Func Blocks 19", "end",
                                        "Checking Constants 3", "Checking Func Blocks 19", "end"}));
    // 100 ms after each constant; a progress step for each record.
    EXPECT_TRUE(clock.slept == 300 && progress.steps == 2 * (3 + 19))
        << clock.slept << " " << progress.steps;
    EXPECT_TRUE(m.Checked(CProjectMenu::kUpload) && m.Enabled(CProjectMenu::kUpload) &&
                m.Checked(CProjectMenu::kVerify) && m.Enabled(CProjectMenu::kMonitor));
}

// Verify names what differs: another diagram's block, a constant, an answer
// for another block than the one selected.
TEST_F(TargetTest, VerifyNamesWhatDiffers) {
    ASSERT_TRUE(ops.Connect());
    box.answers.push_back(MsgResult::Ok);
    ASSERT_TRUE(ops.Upload());
    box.messages.clear();
    std::vector<double> v(18, 0.0);
    v[0] = 4, v[1] = 99;
    ASSERT_EQ(link.Transact('+', 4, 0, 18, v), kLinkOk);
    EXPECT_FALSE(ops.Verify() || project.Menu.Checked(CProjectMenu::kVerify));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Location 4 : Wrote typenum " +
                                                 std::to_string(project.Tables.fbs[4]->TypeNum) +
                                                 " : Read back 99"}));
    box.messages.clear();
    v[1] = project.Tables.fbs[4]->TypeNum;
    for (int k = 0; k < 16; ++k) v[2 + k] = CTargetOps::PinWord(*project.Tables.fbs[4], k);
    v[2] = 0x3123;
    ASSERT_EQ(link.Transact('+', 4, 0, 18, v), kLinkOk);
    EXPECT_FALSE(ops.Verify());
    char pin[96];
    std::snprintf(pin, sizeof pin, "Location 4  Pin no. 0\nWrote x%4.4X : Read back x3123",
                  static_cast<unsigned>(CTargetOps::PinWord(*project.Tables.fbs[4], 0)));
    EXPECT_EQ(Texts(), (std::vector<std::string>{pin}));
    box.messages.clear();
    v[0] = 1, v[1] = 7.5;
    ASSERT_EQ(link.Transact('+', 3, 0, 2, v), kLinkOk);
    EXPECT_FALSE(ops.Verify());
    EXPECT_EQ(test::Said(box.messages[0]), "Wrote           0    : Read back         7.5   |Constant Failed to Load|1|0");

    test::ScriptedPorts ports;
    COxComm line(box, clock, ports);
    ASSERT_TRUE(!line.OpenPort(-1) && line.OpenPort(0));  // there is no port before the first
    const CdldFB& rec = *project.Tables.fbs[4];
    const auto header = [&](char start, int32_t base, int32_t count) {
        std::string f(1, start);
        for (int32_t x : {line.Box, line.Slot, 4, base, count}) f += EncodeNumber(x);
        return f;
    };
    for (int32_t echoed : {4, 5}) {
        std::string f = header('!', 0, 18) + EncodeNumber(echoed) + EncodeNumber(rec.TypeNum);
        for (int k = 0; k < 16; ++k) f += EncodeNumber(CTargetOps::PinWord(rec, k));
        ports.last->answers.push_back({header('*', 1, 0) + "\r"});
        ports.last->answers.push_back({f + "\r"});
    }
    CTargetOps o(project, line, clock, nullptr);
    box.messages.clear();
    EXPECT_TRUE(o.VerifyBlock(rec, 4) == 0 && o.VerifyBlock(rec, 4) == -3);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Location 4 : Selected 4 : Read back location 5"}));
    // Whole numbers below 2^24 print as integers, larger ones with an exponent,
    // in eleven characters at most.
    EXPECT_EQ(CTargetOps::FormatValue(16777215) + "|" + CTargetOps::FormatValue(16777216) + "|" +
                  CTargetOps::FormatValue(-1e300) + "|" + CTargetOps::FormatValue(-1.2345e300) + "|" +
                  CTargetOps::FormatValue(-2147483648.0),
              "   16777215   |   1.6777E+07   |    -1E+300   |   -1.2345E+30   |   -2147483648   ");
}

TEST_F(TargetTest, ALongerProjectNameIsNoMismatchAndAnUnknownCodeIsReported) {
    // The table ends at the first record without a name.
    auto& table = project.ProcTable.ProcTable;
    table.insert(table.begin(), tProcIDs{7, ""});
    project.ProjCtrl.Compile = 0;  // nothing to upload yet
    // The port stays open and connected.
    EXPECT_TRUE(ops.Connect() && Texts() == std::vector<std::string>{"Unrecognised Response"});
    EXPECT_TRUE(project.Connected && project.Menu.Checked(CProjectMenu::kConnect) &&
                !project.Menu.Enabled(CProjectMenu::kUpload));
    project.ProjCtrl.Compile = 1;
    table.erase(table.begin());
    box.messages.clear();
    project.ProjCtrl.Processor = "KMRU-01-special";
    struct : ICommPortDialog {  // the port chosen alone is kept in the project too
        bool Show(int& port, bool&, int32_t&, int32_t&) override { return (port = 3) > 0; }
    } third;
    link.SetDialog(&third);
    EXPECT_TRUE(ops.Connect() && Texts() == std::vector<std::string>{"Connected to KMRU-01 OK"});
    EXPECT_NE(test::ReadBytes(work / "project.oxp").find("CommPort = 2\r\n"), std::string::npos);
}

class MismatchTest : public TargetTest {
protected:
    MismatchTest() : TargetTest(Options()) {}
    static sim::SimOptions Options() {
        sim::SimOptions o;
        o.procCode = 0xA522;
        return o;
    }
};

TEST_F(MismatchTest, RefusedMismatchDisconnectsAndAnAcceptedOneTakesTheName) {
    box.answers.push_back(MsgResult::Cancel);
    EXPECT_FALSE(ops.Connect());
    EXPECT_EQ(test::Said(box),
              "Project is for KMRU-01 but connected to KMRU-02|Processor Mismatch|1|1");
    EXPECT_FALSE(link.Connected || project.Menu.Enabled(CProjectMenu::kUpload) ||
                 project.ProjCtrl.Processor != "KMRU-01" ||
                 project.Menu.Checked(CProjectMenu::kConnect));
    box.answers.push_back(MsgResult::Ok);
    EXPECT_TRUE(ops.Connect());
    EXPECT_EQ(box.messages.back().text + project.ProjCtrl.Processor + ops.ConnectedProc,
              "Connected to KMRU-02 OKKMRU-02KMRU-02");
}

class Timer : public IMonitorTimer {
public:
    bool Start(int ms) override {
        period = ms;
        return ok;
    }
    void Stop() override { period = 0; }
    int period = 0;
    bool ok = true;
};

class MonitorTest : public ::testing::Test, public test::ExampleOnSim {
protected:
    MonitorTest() : ops(project, link, clock) {}
    CTargetOps ops;
    Timer timer;
};

TEST_F(MonitorTest, NotConnectedOrNoTimer) {
    COxMonitor m;
    m.ToggleMonitor(COxMonitor::kCommand, *project.Sheets[0], project, link, timer);
    EXPECT_FALSE(m.monitoring || project.Menu.Enabled(CProjectMenu::kMonitor));
    EXPECT_EQ(box.messages.back().text,
              "Sorry! Can't go into Monitor mode\nTarget is not connected");
    ASSERT_TRUE(ops.Connect());
    timer.ok = false;
    m.ToggleMonitor(COxMonitor::kCommand, *project.Sheets[0], project, link, timer);
    EXPECT_TRUE(!m.monitoring && !project.Menu.Checked(CProjectMenu::kMonitor));
    EXPECT_EQ(box.messages.back().text,
              "Sorry! Can't go into Monitor mode\nSystem Timer not available");
}

TEST_F(MonitorTest, TicksShowTheValuesUnderTheWires) {
    ASSERT_TRUE(ops.Connect());
    box.answers.push_back(MsgResult::Ok);
    ASSERT_TRUE(ops.Upload());
    controller.Advance(5000);
    std::vector<double> stop = {1};  // frozen signals: what a tick reads is what they hold
    ASSERT_EQ(link.Transact('+', 2, 0, 1, stop), kLinkOk);
    COxMonitor m;
    COstra_PLCDoc& sheet2 = *project.Sheets[1];
    // Reads go in blocks of up to eight consecutive numbers: 3..10 is one, 3..11 two.
    EXPECT_TRUE(COxMonitor::MakeBlocks({3, 5, 10}).size() == 1u &&
                COxMonitor::MakeBlocks({3, 5, 11}).size() == 2u);
    // A wire of the last signal too, so that the sheet polls more than one block.
    const auto last = std::max_element(
        project.Tables.sigs.begin(), project.Tables.sigs.end(),
        [](const auto& a, const auto& b) { return a->Number < b->Number; });
    test::SheetBuilder(sheet2).Seg({1, 1}, {9, 1}, (*last)->Name).showName = true;
    m.pollLiveWires = true;  // the digital wires too, to be drawn live
    m.ToggleMonitor(COxMonitor::kCommand, sheet2, project, link, timer);
    ASSERT_TRUE(m.monitoring);
    EXPECT_TRUE(timer.period == 100 && project.Menu.Checked(CProjectMenu::kMonitor) &&
                !project.Menu.Enabled(CProjectMenu::kUpload) && !m.monSignals.empty());
    EXPECT_TRUE(std::adjacent_find(m.polledSignals.begin(), m.polledSignals.end(),
                                   std::greater_equal<>()) == m.polledSignals.end() &&
                m.polledSignals.size() > m.monSignals.size());  // ascending, once each; live too
    // The constant "2" on sheet 2 is not monitored.
    for (const auto& s : project.Tables.sigs) EXPECT_NE(s->Name, "2");

    m.MonitorTick(sheet2, project, link, timer);  // the first tick only sends the request
    const int n = static_cast<int>(m.blocks.size());
    ASSERT_GE(n, 2);
    bool levelSeen = false;
    std::vector<std::pair<int32_t, double>> values;
    for (int tick = 1; tick <= 2 * n; ++tick) {
        ports.now += 100;
        EXPECT_EQ(m.nextBlock, (tick - 1) % n);  // each tick asks for the next block, round
        for (const MonitorLabel& l : m.MonitorTick(sheet2, project, link, timer, &values)) {
            const double v = controller.Signal(test::SignalNumber(project.Tables, l.segment->name));
            EXPECT_EQ(l.text, CTargetOps::FormatValue(v)) << l.segment->name;
            EXPECT_TRUE(l.segment->start != CPoint(1, 1) ||  // under the middle
                        (l.at == CPoint(5, 3) && l.align == TextAlign::Center));
            if (l.segment->name != "LEVEL") continue;
            levelSeen = true;
        }
    }
    EXPECT_TRUE(levelSeen);
    for (int32_t number : m.polledSignals)
        EXPECT_TRUE(std::any_of(values.begin(), values.end(), [&](auto& p) { return p.first == number; }));
    // A sheet with nothing to poll stops the timer and keeps the mode.
    m.ToggleMonitor(COxMonitor::kActivate, COstra_PLCDoc(), project, link, timer);
    EXPECT_TRUE(m.monitoring && timer.period == 0);
    // A wire whose name the compile does not know is not polled.
    COstra_PLCDoc unknown;
    test::SheetBuilder(unknown).Seg({1, 1}, {9, 1}, "NOT_COMPILED").showName = true;
    m.ToggleMonitor(COxMonitor::kActivate, unknown, project, link, timer);
    EXPECT_EQ(timer.period, 0);
    m.ToggleMonitor(COxMonitor::kActivate, sheet2, project, link, timer);
    m.MonitorTick(sheet2, project, link, timer);
    // A new sheet starts again at the first block.
    EXPECT_TRUE(timer.period == 100 && m.nextBlock == 0);

    m.ToggleMonitor(COxMonitor::kCommand, sheet2, project, link, timer);
    EXPECT_TRUE(!m.monitoring && timer.period == 0 && project.Menu.Enabled(CProjectMenu::kUpload) &&
                project.Menu.Enabled(CProjectMenu::kKFactorEdit) &&
                !project.Menu.Checked(CProjectMenu::kMonitor));
    // A link that died stops the ticks.
    m.ToggleMonitor(COxMonitor::kCommand, sheet2, project, link, timer);
    link.LinkLost();
    m.MonitorTick(sheet2, project, link, timer);
    EXPECT_TRUE(timer.period == 0 && !project.Menu.Enabled(CProjectMenu::kMonitor));
    // Live wires are those that a digital output drives.
    const std::vector<int32_t> digital = COxMonitor::DigitalSignals(project.Tables);
    const auto live = [&digital, this](const char* name) {
        return std::binary_search(digital.begin(), digital.end(),
                                  test::SignalNumber(project.Tables, name));
    };
    EXPECT_TRUE(live("HIGH") && !live("LEVEL"));
}

// The table against the controller: read back only while connected, and an
// update writes every value with the controller stopped, then starts it.
TEST_F(MonitorTest, KFactorsReadBackAndUpdated) {
    CKFactorTable t;
    t.Read("0 HiAlarm 0 100 90\r\n1 PumpOn 0 100 70\r\n", 225);
    controller.KFactors()[1] = 33;
    t.RefreshFromPLC(link, 225);
    EXPECT_TRUE(t.records[1].actual == 0 && !t.UpdateToPLC(link));  // not connected: nothing read
    ASSERT_TRUE(ops.Connect());
    t.RefreshFromPLC(link, 225);
    EXPECT_EQ(t.records[1].actual, 33);
    t.EditActual(0, "95");
    ASSERT_TRUE(t.UpdateToPLC(link));
    EXPECT_TRUE(controller.KFactors()[0] == 95 && controller.KFactors()[1] == 33 &&
                controller.Running() && !t.changed);
}

TEST(Statistics, Formats) {
    test::ScriptedPorts ports;
    test::RecordingMessageBox box;
    test::NoWait clock;
    COxComm link(box, clock, ports);
    link.OpenPort(0);
    // Every attempt of the next read gets this answer; none: silence.
    const auto answer = [&ports](const std::string& a) {
        ports.last->answers.assign(a.empty() ? 0 : 3, {a, false});
    };
    ProcStatsTexts t;
    // Serial 163840 is undefined, 163841 is written with seven digits.
    answer("!jjoFFjo02p0302q0028000\r");
    EXPECT_EQ(ReadProcInfo(link, "KMRU-01", t), 2);
    EXPECT_EQ(t.processorType + t.firmware + "|" + t.serialNo, "KMRU-01 3.02|Undefined");
    answer("!jjoFFjo02p0302q0028001\r");
    ReadProcInfo(link, "P", t);
    EXPECT_EQ(t.serialNo, "0163841");
    answer("!jjoFFjo02p0302\r");  // a value short
    EXPECT_TRUE(ReadProcInfo(link, "P", t) == 0 && t.firmware == "??.??");
    // Time used 128 -> 50 %; totals 2 and 345678.
    answer("!jjo02no09o80o02q005464Ejjjjjj\r");
    EXPECT_EQ(ReadBackplaneStats(link, t), 9);
    EXPECT_EQ(t.timeUsed + "|" + t.totalTransactions, "50|2,345678");
    // Each counter from its own register.
    std::string counters = "!jjo02no09";
    for (double v : {128.0, 0.0, 12.0, 4.0, 5.0, 6.0, 7.0, 8.0, 9.0}) counters += EncodeNumber(v);
    answer(counters + "\r");
    ReadBackplaneStats(link, t);
    EXPECT_EQ((std::vector<std::string>{t.totalTransactions, t.totalErrors, t.noResponses,
                                        t.timeouts, t.sentinelErrors, t.formatErrors,
                                        t.checkwordErrors}),
              (std::vector<std::string>{"12", "4", "5", "6", "7", "8", "9"}));
    for (const auto& [frame, total] : {std::pair{"!jjo02no09o80jq00F423Fjjjjjj\r", "999999"},
                                       {"!jjo02no09o80njjjjjjj\r", "1,000000"}}) {
        answer(frame);
        ReadBackplaneStats(link, t);
        EXPECT_EQ(t.totalTransactions, total);
    }
    answer({});
    EXPECT_TRUE(ReadBackplaneStats(link, t) == -2 && !link.Connected);
}

std::string KfFile(int lines) {
    std::string s;
    for (int i = 0; i < lines; ++i)
        s += std::to_string(100 + i) + "\tK" + std::to_string(i) + " 0 100 " + std::to_string(i * 10) +
             "\r\n";
    return s;
}

TEST(KFactorTable, EditingWithItsTolerance) {
    CKFactorTable t;
    t.Read("1 A 0 100 12.345678\r\n2 B\r\n3 C 1 9\r\n", 225);
    // The last line has no start value.
    EXPECT_TRUE(t.records[2].maximum == 9 && t.records[2].address == 3 &&
                t.records[2].minimum == 1 && t.records[2].startValue == 0);
    t.topRow = 1;  // the rows past the last record stay empty and take no edit
    EXPECT_EQ(t.ShowRows()[1][1] + "|" + t.ShowRows()[2][1], "C|");
    t.EditActual(2, "4");
    EXPECT_FALSE(t.changed);
    t.topRow = 0, t.records[0].actual = 12.345678;
    t.EditActual(0, "12.346");  // the shown, rounded value
    EXPECT_TRUE(!t.changed && t.records[0].actual == 12.345678);
    t.records[0].actual = 0;
    t.EditActual(0, "0");  // zero has no tolerance, and zero is no change
    EXPECT_FALSE(t.changed);
    t.EditActual(0, "13");
    EXPECT_TRUE(t.changed && t.records[0].actual == 13);
    CKFactorTable many;
    many.Read(KfFile(12), 225);
    many.EditActual(9, "55");  // nine rows are shown: row 9 is none of them
    for (const auto& r : many.records) EXPECT_NE(r.actual, 55);
    many.Down();
    many.Read(KfFile(12), 225);  // a table read again shows its first rows
    EXPECT_TRUE(many.topRow == 0 && t.records[1].name == "B" && t.records[1].maximum == 0);
    CKFactorTable s;
    s.Read("1 A 0 100 5\r\n7\r\n", 225);  // and an address alone
    s.LoadStartVals();
    EXPECT_TRUE(s.records[0].actual == 5 && !s.changed && s.records[1].address == 7);
    CKFactorTable room;
    room.Read(KfFile(10), 4);
    const int32_t four = room.count;
    room.Read(KfFile(3), INT32_MAX);  // a library's room, whatever it says
    EXPECT_TRUE(four == 4 && room.count == 3);
    std::string error;
    EXPECT_TRUE(room.ReadFile(test::Examples() / "TankPlant" / "KFTank.txt", 225) && room.count == 3 &&
                !room.ReadFile(test::Examples() / "none.txt", 225, &error) && !error.empty());
}

// Trend samples: rows at each read time, the last value held between reads
// of a signal, the window's first row holding what was read before it.
TEST(TrendLog, CsvHoldsTheLastValueAndOldSamplesGo) {
    CTrendLog log;
    log.Add(0, {{3, 1.5}});
    log.Add(100, {{4, 0}, {3, 2}});
    log.Add(100, {{4, 1}});  // the same tick: replaced
    log.Add(50, {{3, 0.1}});  // a clock step back counts as the newest time
    const std::vector<std::pair<int32_t, std::string>> cols = {{3, "LEVEL"}, {4, "PUMP, \"on\""}};
    EXPECT_EQ(log.Csv(cols, 0, 1000),
              "time_ms,LEVEL,\"PUMP, \"\"on\"\"\"\r\n0,1.5,\r\n100,0.1,1\r\n");
    EXPECT_EQ(log.Csv(cols, 50, 1000), "time_ms,LEVEL,\"PUMP, \"\"on\"\"\"\r\n100,0.1,1\r\n");
    EXPECT_EQ(log.Csv({{9, "NONE"}}, 0, 1000), "time_ms,NONE\r\n");
    EXPECT_EQ(CsvNumber(0.1) + " " + CsvNumber(1e30) + " " + CsvNumber(1.0 / 3), "0.1 1e+30 0.3333333333333333");
    // Ten minutes on, only the sample that holds the window's start stays.
    log.Add(CTrendLog::kKeepMs + 150, {{3, 7}});
    ASSERT_EQ(log.Of(3).size(), 2u);
    EXPECT_TRUE(log.Of(3).front().ms == 100 && log.LastMs() == CTrendLog::kKeepMs + 150);
    log.Clear();
    EXPECT_TRUE(log.Empty() && log.LastMs() == 0);
}

}  // namespace
}  // namespace ostra
