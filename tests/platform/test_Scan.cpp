// Text primitives: the scanf stand-in, the whole-text number rule, and the
// Windows-1252 and low-8-bit conversions.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "platform/Scan.h"
#include "platform/TextCodec.h"

namespace ostra {
namespace {

// Each scan as "count: fields", the fields as they stand afterwards.
std::string Ints(std::string_view text, int32_t a = 7, int32_t b = 7) {
    const int n = ScanF(text, "%d, %d", {&a, &b});
    return std::to_string(n) + ": " + std::to_string(a) + " " + std::to_string(b);
}
std::string Hex(std::string_view text) {
    uint32_t v = 0;
    const int n = ScanF(text, "%x", {&v});
    return std::to_string(n) + ": " + std::to_string(v);
}
std::string Dbl(std::string_view text) {
    double d = 0;
    const int n = ScanF(text, "%lf", {&d});
    char value[32];
    std::snprintf(value, sizeof value, "%d: %.17g", n, d);
    return value;
}

TEST(Scan, IntegersHexadecimalAndDoubles) {
    EXPECT_EQ(Ints("12, -34"), "2: 12 -34");
    EXPECT_EQ(Ints("5,6"), "2: 5 6");  // a blank in the format matches any run, also none
    EXPECT_EQ(Ints("  +9 ,10"), "1: 9 7");  // but not a blank before the comma
    EXPECT_EQ(Ints("x, 3", 1), "0: 1 7");  // fields not reached keep their values
    EXPECT_EQ(Ints("") + "|" + Ints("   ") + "|" + Ints("-", 1), "-1: 7 7|-1: 7 7|0: 1 7");
    // Clamped.
    EXPECT_EQ(Ints("99999999999999999999999") + "|" + Ints("-99999999999999999999999"),
              "1: 2147483647 7|1: -2147483648 7");
    // "0a" is no prefix, nor "0x" alone.
    std::string hex;
    for (const char* t : {"A501", "a5ff", "0x1F", "0X0a", "0a5", "0x1", "KMRU", "0x"})
        hex += Hex(t) + "|";
    EXPECT_EQ(hex, "1: 42241|1: 42495|1: 31|1: 10|1: 165|1: 1|0: 0|1: 0|");
    // Underflow is zero; CR is white space too.
    std::string dbl;
    for (const char* t : {"2.5", " -1e3x", ".5", "1e999", "1e-999", "\r\n\t 4"})
        dbl += Dbl(t) + "|";
    EXPECT_EQ(dbl, "1: 2.5|1: -1000|1: 0.5|1: inf|1: 0|1: 4|");
    const std::string buffer = "1e5";  // the text ends where its view ends
    EXPECT_EQ(Dbl(std::string_view(buffer.data(), 2)), "1: 1");
    double d = 0;
    int32_t a = 0, b = 0;  // a word after other fields, "nan(chars)" taken whole
    EXPECT_TRUE(ScanF("1, nan(Aa_0), 3", "%d, %lf, %d", {&a, &d, &b}) == 3 && std::isnan(d) &&
                b == 3);
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
    EXPECT_TRUE(ParseWholeDouble("nan", v) && std::isnan(v) && ParseWholeDouble("NAN(x_7)", v));
    EXPECT_FALSE(ParseWholeDouble("nan(x", v) || ParseWholeDouble("inf(x)", v));
}

// Every Windows-1252 byte survives a round trip; then the conversions one text at a time:
// Windows-1252 to UTF-8 and back (characters outside it become "?"), and the low byte of each code.
TEST(TextCodec, Conversions) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_TRUE(Utf8ToCp1252(Cp1252ToUtf8(all)) == all && Utf8Length(Cp1252ToUtf8(all)) == 256u);
    using Fn = std::string (*)(const std::string&);
    const struct {
        Fn fn;
        const char* in;
        const char* out;
    } cases[] = {
        {Cp1252ToUtf8, "\x80", "\xE2\x82\xAC"},      // euro sign
        {Cp1252ToUtf8, "\x96", "\xE2\x80\x93"},      // en dash
        {Cp1252ToUtf8, "\xE9", "\xC3\xA9"},          // e acute
        {Utf8ToCp1252, "\xE2\x80\x93", "\x96"},
        {Utf8ToCp1252, "caf\xC3\xA9", "caf\xE9"},
        {Utf8ToCp1252, "\xE2\x86\x92", "?"},         // rightwards arrow
        {Utf8ToCp1252, "a\xF0\x9F\x98\x80" "b", "a?b"},  // emoji
        {Utf8ToCp1252, "\xFF\xFE", "??"},            // not UTF-8 at all
        {Utf8ToCp1252, "\xC3", "?"},                 // cut sequence
        {Utf8ToCp1252, "\xC2\x80", "?"},         // U+0080: 0x80 is the euro sign
        {Utf8ToLow8, "\xC3\xA9", "\xE9"},
        {Utf8ToLow8, "\xC2\x80\xF4\x8F\xBF\xBF", "\x80\xFF"},  // the first and last of their lengths
        {Utf8ToLow8, "\xE2\x82\xAC", "\xAC"},        // U+20AC keeps 0xAC
        {Utf8ToLow8, "\xED\xA0\x80\xED\xBF\xBF", "\xFD\xFD\xFD\xFD\xFD\xFD"},  // surrogates are no characters: U+FFFD each
        {Utf8ToLow8, "\xE0\x80\x80\xF4\x90\x80\x80", "\xFD\xFD\xFD\xFD\xFD\xFD\xFD"},  // overlong; past U+10FFFF
        {Low8ToUtf8, "\xE9", "\xC3\xA9"},
        {Low8ToUtf8, "\x80", "\xC2\x80"},            // the character of code 0x80
    };
    for (const auto& c : cases) EXPECT_EQ(c.fn(c.in), c.out) << c.in;
    std::string four;
    AppendUtf8(four, 0x1F600);  // beyond the 16-bit plane: four bytes
    AppendUtf8(four, 0x10FFFF);
    AppendUtf8(four, 0x800);
    EXPECT_EQ(four, "\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF\xE0\xA0\x80");
}

}  // namespace
}  // namespace ostra
