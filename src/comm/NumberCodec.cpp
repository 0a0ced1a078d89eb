// Number tokens and the checkword of the controller link.
//
// Cases the token format leaves open, settled so that nothing overflows:
// - a mantissa that rounds up to 65536 is renormalised to 32768 with the
//   exponent one higher (the same value); past exponent 127 the value is sent
//   as the largest token, as values above 1.15e43 are;
// - a value too small for exponent -128 at full mantissa (below about
//   9.6e-35, down to 1.47e-39) is sent with exponent -128 and the smaller
//   mantissa, keeping as much precision as the token can;
// - NaN is sent as 0, infinities as the largest token of their sign.
#include "comm/NumberCodec.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace ostra {
namespace {

constexpr double kTiny = 1.47e-39;
constexpr double kHuge = 1.15e43;

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string Hex(uint32_t v, int digits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*X", digits, v);
    return buf;
}

char Letter(bool negative, bool nonZero, int sizeClass) {
    const int f = (negative ? 0x80 : 0) | (nonZero ? 0x40 : 0) | (sizeClass << 4);
    return static_cast<char>('j' + (f >> 4));
}

}  // namespace

bool IsTypeLetter(char c) { return c >= 'j' && c <= 'y'; }
bool IsHexDigit(char c) { return HexValue(c) >= 0; }

int32_t SaturatedInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(value);
}

int64_t SaturatedInt64(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 9223372036854775807.0) return INT64_MAX;
    if (value <= -9223372036854775808.0) return INT64_MIN;
    return static_cast<int64_t>(value);
}

std::string EncodeNumber(double value) {
    if (std::isnan(value)) return "j";
    const bool negative = value < 0;
    const double a = std::fabs(value);
    if (a == 0 || a < kTiny) return "j";
    if (a == 1) return std::string(1, Letter(negative, true, 0));
    const std::string largest = std::string(1, Letter(negative, true, 3)) + "C7FFFFF";
    if (a > kHuge) return largest;
    if (a == std::floor(a)) {
        if (a <= 255) return Letter(negative, true, 1) + Hex(static_cast<uint32_t>(a), 2);
        if (a <= 65535) return Letter(negative, true, 2) + Hex(static_cast<uint32_t>(a), 4);
        if (a <= 16777215) return Letter(negative, true, 3) + ("0" + Hex(static_cast<uint32_t>(a), 6));
    }
    int e = static_cast<int>(std::floor(std::log2(a)));
    // log2 may land one off for values next to a power of two.
    if (std::ldexp(1.0, e) > a) --e;
    if (std::ldexp(1.0, e + 1) <= a) ++e;
    int exponent = e - 15;
    if (exponent < -128) exponent = -128;
    double mantissa = std::floor(std::ldexp(a, -exponent) + 0.5);
    if (mantissa > 65535) {
        mantissa = 32768;
        ++exponent;
    }
    if (exponent > 127) return largest;
    if (mantissa < 1) return "j";
    return Letter(negative, true, 3) +
           ("8" + Hex(static_cast<uint32_t>(exponent) & 0xFF, 2) +
            Hex(static_cast<uint32_t>(mantissa), 4));
}

int DecodeNumber(const char* frame, std::size_t pos, std::size_t end, double& value) {
    if (pos >= end) return 0;
    const char c = frame[pos];
    if (!IsTypeLetter(c)) return -1;
    int flags = (c - 'j') << 4;
    const int sizeClass = (flags >> 4) & 3;
    static constexpr int kDigits[4] = {0, 2, 4, 7};
    const int digits = kDigits[sizeClass];
    if (pos + 1 + digits > end) return 0;
    int hex[7] = {};
    for (int i = 0; i < digits; ++i) {
        hex[i] = HexValue(frame[pos + 1 + i]);
        if (hex[i] < 0) return 0;  // the token stops short
    }
    double v = 0;
    switch (sizeClass) {
        case 0: v = (flags & 0x40) ? 1 : 0; break;
        case 1: v = hex[0] * 16 + hex[1]; break;
        case 2: v = ((hex[0] * 16 + hex[1]) * 16 + hex[2]) * 16 + hex[3]; break;
        default: {
            flags |= hex[0];
            if (flags & 0x08) {
                int exponent = hex[1] * 16 + hex[2];
                if (exponent >= 128) exponent -= 256;
                const int mantissa = ((hex[3] * 16 + hex[4]) * 16 + hex[5]) * 16 + hex[6];
                v = std::ldexp(static_cast<double>(mantissa), exponent);
            } else {
                int64_t n = 0;
                for (int i = 1; i < 7; ++i) n = n * 16 + hex[i];
                v = static_cast<double>(n);
            }
        }
    }
    value = (flags & 0x80) ? -v : v;
    return 1 + digits;
}

uint16_t Checkword(const std::string& frame) {
    if (frame.empty()) return 0xFFFF;
    uint16_t h = static_cast<uint16_t>(0xFFFF - static_cast<unsigned char>(frame[0]));
    for (std::size_t i = 1; i < frame.size(); ++i) {
        h = static_cast<uint16_t>((h << 3) | (h >> 13));
        h ^= static_cast<unsigned char>(frame[i]);
    }
    return h;
}

}  // namespace ostra
