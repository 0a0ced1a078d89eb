// The link against a scripted serial port: request bytes, acceptance rules, result codes, attempts,
// pauses, echo and messages; and the number tokens and checkword it speaks in.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "comm/COxComm.h"
#include "comm/NumberCodec.h"
#include "project/ProjectMenu.h"
#include "support/Recorders.h"
#include "support/ScriptedPort.h"

namespace ostra {
namespace {

using namespace test;  // the test doubles and helpers
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
    comm.Box = 1, comm.Slot = 2;
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
        comm.Subslot = 3, comm.BaseReg = 4, comm.NumRegs = 2, comm.RxFrame = c.answer;
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
    EXPECT_TRUE(comm.Transact('-', 0, 0, 1, values) == kLinkNoResponse &&
                port->written.size() == 3u);
    EXPECT_EQ(clock.sleeps, (std::vector<int>{10, 20}));
    EXPECT_EQ(test::Said(box), "Connection Failed||1|0");
    EXPECT_FALSE(comm.Connected || menu.Checked(CProjectMenu::kConnect) ||
                 menu.Enabled(CProjectMenu::kUpload) || menu.Enabled(CProjectMenu::kKFactorEdit));
}

// Three wrong answers name the direction: BAS for a read, BAK for a write.
// Input left over from an earlier exchange is purged first.
TEST_F(LinkTest, WrongAnswersEndInBasOrBakErrors) {
    port->input.assign({'!', 'o', '9', '9', '\r'});
    Answer("!jjjjno05\r");
    // At the first attempt.
    EXPECT_TRUE(comm.Transact('-', 0, 0, 1, values) == kLinkOk && values[0] == 5 &&
                port->written.size() == 1u);
    for (int i = 0; i < 3; ++i) Answer("!o09\r");
    EXPECT_EQ(comm.Transact('-', 0, 0, 1, values), kLinkBoxWrong);
    for (int i = 0; i < 3; ++i) Answer("*jjjjj\r");
    EXPECT_EQ(comm.Transact('+', 0, 0, 1, values), kLinkRegWrong);
    ASSERT_EQ(box.messages.size(), 2u);
    EXPECT_EQ(test::Said(box.messages[0]) + "; " + box.messages[1].text, "BAS error 4|Link with target failed|1|0; BAK error 10");
}

TEST_F(LinkTest, BadStartCharacterOrNegativeRangeTouchesNothing) {
    for (const auto& [start, base, count] : {std::tuple{'?', 0, 1}, {'-', -1, 1}, {'+', 0, -1}})
        EXPECT_EQ(comm.Transact(start, 0, base, count, values), kLinkBadStart) << start;
    EXPECT_TRUE(port->written.empty() && box.messages.empty());
}

TEST_F(LinkTest, OverlongAnswersAreRefusedWithoutOverrun) {
    Answer("!jjjjn" + std::string(300, '0') + "\r");
    Silence(2);
    comm.Transact('-', 0, 0, 1, values);
    comm.RxFrame.clear();
    Answer("!jjjjn" + std::string(300, '0') + "\r");
    comm.SendRead(0, 1);
    EXPECT_TRUE(comm.ReadResponse() == COxComm::kFrameMax && comm.RxOverflow &&
                comm.CheckReadResponse() == kLinkShort);
    Answer("!jjjjno05\r");  // the next answer is judged on its own
    EXPECT_EQ(comm.Transact('-', 0, 0, 1, values), kLinkOk);
    std::vector<double> none;  // too short for the answer: it grows
    EXPECT_TRUE(comm.ParseValues(none) == 1 && none == std::vector<double>{5});
}

double Decode(const std::string& token, int* length = nullptr) {
    double v = -12345;
    const int n = DecodeNumber(token.data(), 0, token.size(), v);
    if (length) *length = n;
    return v;
}

TEST(NumberCodec, WorkedExamples) {
    const std::pair<double, const char*> table[] = {
        {0, "j"},           {1, "n"},           {-1, "v"},          {100, "o64"},
        {-100, "w64"},      {1000, "p03E8"},    {100000, "q00186A0"}, {16777216, "q8098000"},
        {0.5, "q8F08000"},  {2.56, "q8F2A3D7"}, {255, "oFF"},       {256, "p0100"},
        {65535, "pFFFF"},   {65536, "q0010000"}, {16777215, "q0FFFFFF"}, {-2.56, "y8F2A3D7"},
    };
    for (const auto& [value, token] : table) {
        EXPECT_EQ(EncodeNumber(value), token) << value;
        int n = 0;
        const double back = Decode(token, &n);
        EXPECT_EQ(n, static_cast<int>(std::string(token).size())) << token;
        if (value == std::floor(value)) {
            EXPECT_EQ(back, value) << token;
        }
    }
    EXPECT_DOUBLE_EQ(Decode("q8F2A3D7"), 41943.0 / 16384.0);
}

TEST(NumberCodec, TinyHugeRoundedAndDenormalValues) {
    // Just below the smallest token; beyond the largest; not a number.
    for (const auto& [value, token] : {std::pair{1.4e-39, "j"}, {-1.4695e-39, "j"}, {1.2e43, "qC7FFFFF"},
                                       {-1e300, "yC7FFFFF"}, {INFINITY, "qC7FFFFF"}, {NAN, "j"}})
        EXPECT_EQ(EncodeNumber(value), token) << value;
    EXPECT_DOUBLE_EQ(Decode("qC7FFFFF"), 65535.0 * std::ldexp(1.0, 127));
    // Just below the huge limit the exponent would pass 127: the largest token.
    EXPECT_EQ(EncodeNumber(1.14e43), "qC7FFFFF");
    // A mantissa rounded past 65535 is renormalised: 65536 * 2^-20 is 32768 * 2^-19.
    EXPECT_EQ(EncodeNumber(65535.75 * std::ldexp(1.0, -20)), "q8ED8000");
    EXPECT_DOUBLE_EQ(Decode("q8ED8000"), std::ldexp(1.0, -4));
    // Below exponent -128 (0x80) the mantissa keeps what precision it can.
    const std::string t = EncodeNumber(3e-37);  // needs -136 at full mantissa
    EXPECT_EQ(t.substr(0, 4), "q880");
    EXPECT_NEAR(Decode(t), 3e-37, std::ldexp(1.0, -128));
    EXPECT_EQ(EncodeNumber(1.47e-39).substr(0, 4), "q880");  // the smallest that is not 0
    EXPECT_TRUE(SaturatedInt64(9223372036854775808.0) == INT64_MAX &&
                SaturatedInt64(-1e300) == INT64_MIN);
}

TEST(NumberCodec, IncompleteAndInvalidTokens) {
    int n = 9;
    Decode("p03", &n);
    EXPECT_EQ(n, 0);
    Decode("q8F2A", &n);
    EXPECT_EQ(n, 0);
    Decode("o6n", &n);
    EXPECT_EQ(n, 0);
    Decode("64", &n);
    EXPECT_EQ(n, -1);
    Decode("z", &n);
    EXPECT_EQ(n, -1);
    Decode("", &n);
    EXPECT_EQ(n, 0);
    // Letters the encoder never writes still decode: lower-case digits, class 1 without its bit.
    EXPECT_TRUE(Decode("s7f") == -127 && Decode("k1F") == 31);
}

}  // namespace
}  // namespace ostra
