// Number tokens and the checkword of the controller link.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "comm/NumberCodec.h"

namespace ostra {
namespace {

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
    EXPECT_EQ(EncodeNumber(1.4e-39), "j");  // just below the smallest token
    EXPECT_EQ(EncodeNumber(-1.4e-39), "j");
    EXPECT_EQ(EncodeNumber(1.2e43), "qC7FFFFF");
    EXPECT_EQ(EncodeNumber(-1e300), "yC7FFFFF");
    EXPECT_EQ(EncodeNumber(INFINITY), "qC7FFFFF");
    EXPECT_EQ(EncodeNumber(NAN), "j");
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
    EXPECT_EQ(EncodeNumber(1.5e-39).substr(0, 4), "q880");
}

TEST(NumberCodec, LettersTheEncoderNeverWritesDecodeByTheirClass) {
    EXPECT_EQ(Decode("k1F"), 31);         // class 1 without the not-zero bit
    EXPECT_EQ(Decode("l00FF"), 255);      // class 2
    EXPECT_EQ(Decode("m0000010"), 16);    // class 3
    EXPECT_EQ(Decode("r"), 0);            // negative, class 0, zero
    EXPECT_EQ(Decode("s7f"), -127);   // lower-case digits
    EXPECT_EQ(Decode("t1234"), -4660);
    EXPECT_EQ(Decode("u0000010"), -16);
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
}

TEST(NumberCodec, RoundTripProperty) {
    std::mt19937_64 rng(42);
    for (int64_t v = -300; v <= 70000; ++v) ASSERT_EQ(Decode(EncodeNumber(v)), v) << v;
    std::uniform_int_distribution<int64_t> whole(-16777215, 16777215);
    for (int i = 0; i < 100000; ++i) {
        const int64_t v = whole(rng);
        ASSERT_EQ(Decode(EncodeNumber(static_cast<double>(v))), v);
    }
    std::uniform_real_distribution<double> mant(-1, 1);
    std::uniform_int_distribution<int> expo(-100, 120);
    for (int i = 0; i < 200000; ++i) {
        const double x = std::ldexp(mant(rng), expo(rng));
        const double back = Decode(EncodeNumber(x));
        ASSERT_LE(std::fabs(back - x), std::fabs(x) * std::ldexp(1.0, -16)) << x;
        ASSERT_EQ(std::signbit(back) && back != 0, x < 0 && back != 0) << x;
    }
}

TEST(NumberCodec, WholeNumbersAtTheirLimitsAndTheCheckword) {
    EXPECT_EQ(SaturatedInt32(-7.9), -7);
    EXPECT_EQ(SaturatedInt32(1e30), INT32_MAX);
    EXPECT_EQ(SaturatedInt32(-1e30), INT32_MIN);
    EXPECT_EQ(SaturatedInt32(std::nan("")), 0);
    EXPECT_EQ(SaturatedInt64(1e30), INT64_MAX);
    EXPECT_EQ(SaturatedInt64(-1e300), INT64_MIN);
    EXPECT_EQ(SaturatedInt64(4294967296.5), 4294967296);
    // The checkword.
    EXPECT_EQ(Checkword("-jjjjn\n"), 0x9282);
    // Hand-computed: start 0xFFFF - '+' = 0xFFD4; rotate left 3 -> 0xFEA7; ^ 'n'.
    EXPECT_EQ(Checkword("+n"), 0xFEA7 ^ 'n');
}

}  // namespace
}  // namespace ostra
