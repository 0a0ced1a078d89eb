// The scanf stand-in and the whole-text number rule.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/Scan.h"

namespace ostra {
namespace {

TEST(Scan, IntegersWithCommaAndBlank) {
    int32_t a = 7, b = 7;
    EXPECT_EQ(ScanF("12, -34", "%d, %d", {&a, &b}), 2);
    EXPECT_EQ(a, 12);
    EXPECT_EQ(b, -34);
    // A blank in the format matches any run of blanks, also none.
    EXPECT_EQ(ScanF("5,6", "%d, %d", {&a, &b}), 2);
    EXPECT_EQ(b, 6);
    EXPECT_EQ(ScanF("  +9 ,10", "%d, %d", {&a, &b}), 1);  // blank before the comma
    EXPECT_EQ(a, 9);
    // Fields not reached keep their values.
    a = 1;
    EXPECT_EQ(ScanF("x, 3", "%d, %d", {&a, &b}), 0);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(ScanF("", "%d", {&a}), -1);
    EXPECT_EQ(ScanF("   ", "%d", {&a}), -1);
    EXPECT_EQ(ScanF("-", "%d", {&a}), 0);
    EXPECT_EQ(a, 1);
    // Huge numbers are clamped.
    ASSERT_EQ(ScanF("99999999999999999999999", "%d", {&a}), 1);
    EXPECT_EQ(a, 2147483647);
    ASSERT_EQ(ScanF("-99999999999999999999999", "%d", {&a}), 1);
    EXPECT_EQ(a, -2147483647 - 1);
}

TEST(Scan, Hexadecimal) {
    uint32_t v = 0;
    EXPECT_EQ(ScanF("A501", "%x", {&v}), 1);
    EXPECT_EQ(v, 0xA501u);
    EXPECT_EQ(ScanF("a5ff", "%x", {&v}), 1);
    EXPECT_EQ(v, 0xA5FFu);
    EXPECT_EQ(ScanF("0x1F", "%x", {&v}), 1);
    EXPECT_EQ(v, 0x1Fu);
    EXPECT_EQ(ScanF("0X0a", "%x", {&v}), 1);
    EXPECT_EQ(v, 0xAu);
    EXPECT_TRUE(ScanF("0a5", "%x", {&v}) == 1 && v == 0xA5u);  // "0a" is no prefix
    EXPECT_TRUE(ScanF("0x1", "%x", {&v}) == 1 && v == 1u);
    EXPECT_EQ(ScanF("KMRU", "%x", {&v}), 0);
}

TEST(Scan, Doubles) {
    double d = 0;
    EXPECT_EQ(ScanF("2.5", "%lf", {&d}), 1);
    EXPECT_EQ(d, 2.5);
    EXPECT_EQ(ScanF(" -1e3x", "%lf", {&d}), 1);
    EXPECT_EQ(d, -1000.0);
    EXPECT_EQ(ScanF(".5", "%lf", {&d}), 1);
    EXPECT_EQ(d, 0.5);
    EXPECT_EQ(ScanF("1e999", "%lf", {&d}), 1);
    EXPECT_TRUE(std::isinf(d));
    EXPECT_EQ(ScanF("1e-999", "%lf", {&d}), 1);  // underflow is zero
    EXPECT_EQ(d, 0.0);
    EXPECT_EQ(ScanF("\r\n\t 4", "%lf", {&d}), 1);  // CR is white space too
    EXPECT_EQ(d, 4.0);
    int32_t a = 0, b = 0;  // a word after other fields, "nan(chars)" taken whole
    EXPECT_EQ(ScanF("1, nan(Aa_0), 3", "%d, %lf, %d", {&a, &d, &b}), 3);
    EXPECT_TRUE(std::isnan(d));
    EXPECT_EQ(b, 3);
    // The text ends where its view ends, whatever follows in memory.
    const std::string buffer = "1e5";
    EXPECT_EQ(ScanF(std::string_view(buffer.data(), 2), "%lf", {&d}), 1);
    EXPECT_EQ(d, 1.0);
    EXPECT_TRUE(IsCSpace('\r') && IsCSpace('\v') && IsCSpace('\f') && !IsCSpace('\0'));
}

TEST(Scan, WholeTextNumberRule) {
    struct Case {
        const char* text;
        bool number;
        double value;
    };
    const Case cases[] = {
        {"2.5", true, 2.5},   {"2.50", true, 2.5},     {"  7", true, 7},
        {"-3", true, -3},     {"+4.", true, 4},        {"1e2", true, 100},
        {"1E-2", true, 0.01}, {"inf", true, INFINITY}, {"-Infinity", true, -INFINITY},
        {"7 ", false, 0},     {"0x10", false, 0},      {"", false, 0},
        {"  ", false, 0},     {"A1", false, 0},        {"1e", false, 0},
        {".", false, 0},      {"ina", false, 0},       {"LEVEL", false, 0},
        {"5V", false, 0},
    };
    for (const Case& c : cases) {
        double v = 0;
        EXPECT_EQ(ParseWholeDouble(c.text, v), c.number) << c.text;
        if (c.number) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
    double v = 0;
    EXPECT_TRUE(ParseWholeDouble("nan", v));
    EXPECT_TRUE(std::isnan(v));
    EXPECT_TRUE(ParseWholeDouble("NaN(x_7)", v));
    EXPECT_FALSE(ParseWholeDouble("nan(x", v));
}

}  // namespace
}  // namespace ostra
