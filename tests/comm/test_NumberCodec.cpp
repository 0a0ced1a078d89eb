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
    EXPECT_EQ(EncodeNumber(1.47e-39).substr(0, 4), "q880");  // the smallest that is not 0
    EXPECT_EQ(SaturatedInt64(9223372036854775808.0), INT64_MAX);
    EXPECT_EQ(SaturatedInt64(-1e300), INT64_MIN);
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
    EXPECT_EQ(Decode("s7f"), -127);
    EXPECT_EQ(Decode("k1F"), 31);
}

}  // namespace
}  // namespace ostra
