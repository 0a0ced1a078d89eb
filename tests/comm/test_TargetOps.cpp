// Connect, Upload and Verify against the simulated controller, in process.
#include <gtest/gtest.h>

#include "comm/CTargetOps.h"
#include "comm/NumberCodec.h"
#include "support/ScriptedPort.h"
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
    ASSERT_TRUE(ops.Connect());
    box.answers.push_back(MsgResult::Cancel);  // Cancel at the question writes nothing
    EXPECT_FALSE(ops.Upload());
    EXPECT_TRUE(controller.Blocks().empty());
    EXPECT_TRUE(controller.Running());
    box.messages.erase(box.messages.begin() + 1, box.messages.end());
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Connected to KMRU-01 OK"}));
    EXPECT_EQ(ops.ConnectedProc, "KMRU-01");
    const CProjectMenu& m = project.Menu;
    EXPECT_TRUE(m.Checked(CProjectMenu::kConnect));
    for (int p : {CProjectMenu::kUpload, CProjectMenu::kVerify, CProjectMenu::kMonitor,
                  CProjectMenu::kStatistics, CProjectMenu::kKFactorEdit})
        EXPECT_TRUE(m.Enabled(p)) << p;

    box.messages.clear();
    box.answers.push_back(MsgResult::Ok);
    ports.sent.clear();
    ASSERT_TRUE(ops.Upload());
    // The traffic as it goes on the line: stop, then the first constant (0.025).
    EXPECT_EQ(ports.sent.rfind("+nno02jnn\n2963\r+nno03jo02jq8EBCCCD\n4D22\r", 0), 0u);
    const auto texts = Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].rfind("Uploading a new diagram requires that the\nCONTROLLER WILL BE "
                             "STOPPED !!\n",
                             0),
              0u);
    EXPECT_EQ(texts[1], "Verified OK");
    EXPECT_TRUE(controller.Running());
    EXPECT_EQ(controller.Blocks().size(), project.Tables.fbs.size());
    EXPECT_EQ(controller.Constants().size(), project.Tables.consts.size());
    EXPECT_NEAR(controller.Constants().at(0), 0.025, 0.025 * 3.2e-5);  // 16-bit mantissa
    EXPECT_EQ(progress.log,
              (std::vector<std::string>{"Uploading Constants 3", "Uploading Func Blocks 19", "end",
                                        "Checking Constants 3", "Checking Func Blocks 19", "end"}));
    EXPECT_EQ(clock.slept, 300);  // 100 ms after each constant
    EXPECT_TRUE(m.Checked(CProjectMenu::kUpload) && m.Enabled(CProjectMenu::kUpload));
    EXPECT_TRUE(m.Checked(CProjectMenu::kVerify));
    EXPECT_TRUE(m.Enabled(CProjectMenu::kMonitor));
}

// Verify names what differs: another diagram's block, a constant, an answer
// for another block than the one selected.
TEST_F(TargetTest, VerifyNamesWhatDiffers) {
    ASSERT_TRUE(ops.Connect());
    box.answers.push_back(MsgResult::Ok);
    ASSERT_TRUE(ops.Upload());
    box.messages.clear();
    std::vector<double> v(18, 0.0);
    v[0] = 4;
    v[1] = 99;
    ASSERT_EQ(link.Transact('+', 4, 0, 18, v), kLinkOk);
    EXPECT_FALSE(ops.Verify());
    EXPECT_EQ(Texts(), (std::vector<std::string>{
                           "Location 4 : Wrote typenum " +
                           std::to_string(project.Tables.fbs[4]->TypeNum) + " : Read back 99"}));
    EXPECT_FALSE(project.Menu.Checked(CProjectMenu::kVerify));
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
    v[0] = 1;
    v[1] = 7.5;
    ASSERT_EQ(link.Transact('+', 3, 0, 2, v), kLinkOk);
    EXPECT_FALSE(ops.Verify());
    EXPECT_EQ(box.messages[0].caption, "Constant Failed to Load");
    EXPECT_EQ(box.messages[0].text, "Wrote           0    : Read back         7.5   ");

    test::ScriptedPorts ports;
    COxComm line(box, clock, ports);
    ASSERT_TRUE(line.OpenPort(0));
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
    EXPECT_EQ(o.VerifyBlock(rec, 4), 0);
    EXPECT_EQ(o.VerifyBlock(rec, 4), -3);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Location 4 : Selected 4 : Read back location 5"}));
    // Whole numbers below 2^24 print as integers, larger ones with an exponent.
    EXPECT_EQ(CTargetOps::FormatValue(16777215), "   16777215   ");
    EXPECT_EQ(CTargetOps::FormatValue(16777216), "   1.6777E+07   ");
    EXPECT_EQ(CTargetOps::FormatValue(-1e300), "    -1E+300   ");
    EXPECT_EQ(CTargetOps::FormatValue(-1.2345e300), "   -1.2345E+30   ");  // eleven characters at most
}

TEST_F(TargetTest, ALongerProjectNameIsNoMismatchAndAnUnknownCodeIsReported) {
    // The table ends at the first record without a name.
    auto& table = project.ProcTable.ProcTable;
    table.insert(table.begin(), tProcIDs{7, ""});
    project.ProjCtrl.Compile = 0;  // nothing to upload yet
    EXPECT_TRUE(ops.Connect());  // the port stays open and connected
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Unrecognised Response"}));
    EXPECT_TRUE(project.Connected && project.Menu.Checked(CProjectMenu::kConnect));
    EXPECT_FALSE(project.Menu.Enabled(CProjectMenu::kUpload));
    project.ProjCtrl.Compile = 1;
    table.erase(table.begin());
    box.messages.clear();
    project.ProjCtrl.Processor = "KMRU-01-special";
    EXPECT_TRUE(ops.Connect());
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Connected to KMRU-01 OK"}));
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
    ASSERT_EQ(box.messages.size(), 1u);
    EXPECT_EQ(box.messages[0].text, "Project is for KMRU-01 but connected to KMRU-02");
    EXPECT_EQ(box.messages[0].caption, "Processor Mismatch");
    EXPECT_EQ(box.messages[0].buttons, MsgButtons::OkCancel);
    EXPECT_FALSE(link.Connected);
    EXPECT_FALSE(project.Menu.Enabled(CProjectMenu::kUpload));
    EXPECT_EQ(project.ProjCtrl.Processor, "KMRU-01");
    box.answers.push_back(MsgResult::Ok);
    EXPECT_TRUE(ops.Connect());
    EXPECT_EQ(box.messages.back().text, "Connected to KMRU-02 OK");
    EXPECT_EQ(project.ProjCtrl.Processor, "KMRU-02");
    EXPECT_EQ(ops.ConnectedProc, "KMRU-02");
}

}  // namespace
}  // namespace ostra
