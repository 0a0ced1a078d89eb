// The link against a scripted serial port: request bytes, acceptance rules,
// result codes, attempts, pauses, echo and messages.
#include <gtest/gtest.h>

#include "comm/COxComm.h"
#include "comm/NumberCodec.h"
#include "project/ProjectMenu.h"
#include "support/Recorders.h"
#include "support/ScriptedPort.h"

namespace ostra {
namespace {

using test::FakeClock;
using test::FakePort;

class LinkTest : public ::testing::Test {
protected:
    LinkTest() : comm(box, clock, ports) {
        comm.SetMenu(&menu);
        comm.OpenPort(0);
        port = ports.last;
    }
    void Answer(const std::string& a, bool late = false) { port->answers.push_back({a, late}); }
    void Silence(int n = 1) {
        for (int i = 0; i < n; ++i) port->answers.push_back({std::nullopt, false});
    }

    test::RecordingMessageBox box;
    FakeClock clock;
    test::ScriptedPorts ports;
    CProjectMenu menu;
    COxComm comm;
    FakePort* port = nullptr;
    std::vector<double> values = std::vector<double>(32, 0.0);
};

struct CodeCase {
    char dir;
    const char* answer;
    int code;
};

TEST_F(LinkTest, ResultCodesOfWrongAnswers) {
    comm.Box = 1;
    comm.Slot = 2;
    // Reading subslot 3, registers 4 and 5; writing the same.
    const CodeCase cases[] = {
        {'-', "*no02o03o04o02oAAoBB", kLinkBadSentinel},
        {'-', "!", kLinkBoxMissing},
        {'-', "!o0", kLinkBoxMissing},  // ends inside the box token
        {'-', "!o02", kLinkBoxWrong},
        {'-', "!q854C9F3", kLinkBoxWrong},  // 1e30: far outside any whole number
        {'+', "*no02o03y854C9F3j", kLinkRegWrong},
        {'-', "!n", kLinkSlotMissing},
        {'-', "!no03", kLinkSlotWrong},
        {'-', "!no02", kLinkSubslotMissing},
        {'-', "!no02o04", kLinkSubslotWrong},
        {'-', "!no02o03", kLinkRegMissing},
        {'-', "!no02o03o05", kLinkRegWrong},
        {'-', "!no02o03o04", kLinkCountMissing},
        {'-', "!no02o03o04o03", kLinkCountWrong},
        {'-', "!no02o03o04o02oAA", kLinkShort},  // one value too few
        {'-', "!no02o03o04o02oAAoBBoCC", kLinkShort},
        {'-', "!no02o03o04o02oAAoBB x", kLinkShort},  // a bad character ends the tokens
        {'-', "!no02o03o04o02oAAoBB\n", kLinkOk},
        {'-', "!no02o03o04o02oAAoBB-", kLinkOk},
        {'-', "!no02o03o04o02oAAoBB*", kLinkOk},
        {'+', "!no02o03o06j", kLinkBadSentinel},
        {'+', "*no02o03o06", kLinkShort},
        {'+', "*no02o03o0", kLinkShort},  // incomplete token: count first
        {'+', "*o02o02o03o06j", kLinkBoxWrong},
        {'+', "*nno03o06j", kLinkSlotWrong},
        {'+', "*no02o04o06j", kLinkSubslotWrong},
        {'+', "*no02o03o05j", kLinkRegWrong},  // base + count - 1
        {'+', "*no02o03o07j", kLinkOk},        // more is accepted
        {'+', "*no02o03o06n", kLinkCountWrong},
        {'+', "*no02o03o07j5", kLinkShort},  // a digit where a token begins
    };
    for (const CodeCase& c : cases) {
        comm.Subslot = 3;
        comm.BaseReg = 4;
        comm.NumRegs = 2;
        comm.RxFrame = c.answer;
        comm.RxOverflow = false;
        const int code = c.dir == '-' ? comm.CheckReadResponse() : comm.CheckWriteResponse();
        EXPECT_EQ(code, c.code) << c.dir << " " << c.answer;
    }
    EXPECT_STREQ(LinkResultText(kLinkSlotMissing), "Slot field in response faulty");
    EXPECT_STREQ(LinkResultText(kLinkNoResponse), "No response from target");
}

TEST_F(LinkTest, ThreeSilentAttemptsAreConnectionFailed) {
    Silence(3);
    menu.SetChecked(CProjectMenu::kConnect, true);
    for (int p : {CProjectMenu::kUpload, CProjectMenu::kVerify}) menu.SetDisabled(p, false);
    EXPECT_EQ(comm.Transact('-', 0, 0, 1, values), kLinkNoResponse);
    EXPECT_EQ(port->written.size(), 3u);
    EXPECT_EQ(clock.sleeps, (std::vector<int>{10, 20}));
    ASSERT_EQ(box.messages.size(), 1u);
    EXPECT_EQ(box.messages[0].text, "Connection Failed");
    EXPECT_EQ(box.messages[0].caption, "");
    EXPECT_EQ(box.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_FALSE(comm.Connected);
    EXPECT_FALSE(menu.Checked(CProjectMenu::kConnect));
    EXPECT_FALSE(menu.Enabled(CProjectMenu::kUpload));
    EXPECT_FALSE(menu.Enabled(CProjectMenu::kKFactorEdit));
}

// Three wrong answers name the direction: BAS for a read, BAK for a write.
// Input left over from an earlier exchange is purged first.
TEST_F(LinkTest, WrongAnswersEndInBasOrBakErrors) {
    port->input.assign({'!', 'o', '9', '9', '\r'});
    Answer("!jjjjno05\r");
    EXPECT_EQ(comm.Transact('-', 0, 0, 1, values), kLinkOk);
    EXPECT_EQ(values[0], 5);
    EXPECT_EQ(port->written.size(), 1u);  // at the first attempt
    for (int i = 0; i < 3; ++i) Answer("!o09\r");
    EXPECT_EQ(comm.Transact('-', 0, 0, 1, values), kLinkBoxWrong);
    for (int i = 0; i < 3; ++i) Answer("*jjjjj\r");
    EXPECT_EQ(comm.Transact('+', 0, 0, 1, values), kLinkRegWrong);
    ASSERT_EQ(box.messages.size(), 2u);
    EXPECT_EQ(box.messages[0].text, "BAS error 4");
    EXPECT_EQ(box.messages[1].text, "BAK error 10");
    EXPECT_EQ(box.messages[0].caption, "Link with target failed");
}

TEST_F(LinkTest, BadStartCharacterOrNegativeRangeTouchesNothing) {
    EXPECT_EQ(comm.Transact('?', 0, 0, 1, values), kLinkBadStart);
    EXPECT_EQ(comm.Transact('-', 0, -1, 1, values), kLinkBadStart);
    EXPECT_EQ(comm.Transact('+', 0, 0, -1, values), kLinkBadStart);
    EXPECT_TRUE(port->written.empty());
    EXPECT_TRUE(box.messages.empty());
}

TEST_F(LinkTest, OverlongAnswersAreRefusedWithoutOverrun) {
    Answer("!jjjjn" + std::string(300, '0') + "\r");
    Silence(2);
    comm.Transact('-', 0, 0, 1, values);
    comm.RxFrame.clear();
    Answer("!jjjjn" + std::string(300, '0') + "\r");
    comm.SendRead(0, 1);
    EXPECT_EQ(comm.ReadResponse(), COxComm::kFrameMax);
    EXPECT_TRUE(comm.RxOverflow);
    EXPECT_EQ(comm.CheckReadResponse(), kLinkShort);
    Answer("!jjjjno05\r");  // the next answer is judged on its own
    EXPECT_EQ(comm.Transact('-', 0, 0, 1, values), kLinkOk);
    std::vector<double> none;  // too short for the answer: it grows
    EXPECT_TRUE(comm.ParseValues(none) == 1 && none == std::vector<double>{5});
}

}  // namespace
}  // namespace ostra
