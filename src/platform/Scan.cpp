// scanf-like field scanning without locale, overflow or over-read.
#include "platform/Scan.h"

#include <charconv>
#include <cstring>
#include <limits>

namespace ostra {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (x != b[i]) return false;
    }
    return true;
}

// Reads a floating-point number at `pos` in the form strtod accepts; returns
// the number of characters used (0 when none).
std::size_t ReadDouble(std::string_view in, std::size_t pos, double& out) {
    std::size_t p = pos;
    bool negative = false;
    if (p < in.size() && (in[p] == '+' || in[p] == '-')) negative = in[p++] == '-';
    // Words first: from_chars knows them, but spelled in any case.
    for (const char* word : {"infinity", "inf", "nan"}) {
        const std::size_t n = std::strlen(word);
        if (p + n <= in.size() && EqualNoCase(in.substr(p, n), word)) {
            const bool isNan = word[0] == 'n';
            double v = isNan ? std::numeric_limits<double>::quiet_NaN()
                             : std::numeric_limits<double>::infinity();
            std::size_t end = p + n;
            // "nan(chars)" is accepted as well.
            if (isNan && end < in.size() && in[end] == '(') {
                std::size_t q = end + 1;
                while (q < in.size() && (IsDigit(in[q]) || (in[q] >= 'a' && in[q] <= 'z') ||
                                         (in[q] >= 'A' && in[q] <= 'Z') || in[q] == '_'))
                    ++q;
                if (q < in.size() && in[q] == ')') end = q + 1;
            }
            out = negative ? -v : v;
            return end - pos;
        }
    }
    // Decimal form: digits [. digits] [e [sign] digits], at least one digit.
    std::size_t q = p;
    std::size_t digits = 0;
    while (q < in.size() && IsDigit(in[q])) ++q, ++digits;
    if (q < in.size() && in[q] == '.') {
        ++q;
        while (q < in.size() && IsDigit(in[q])) ++q, ++digits;
    }
    if (digits == 0) return 0;
    if (q < in.size() && (in[q] == 'e' || in[q] == 'E')) {
        std::size_t e = q + 1;
        if (e < in.size() && (in[e] == '+' || in[e] == '-')) ++e;
        if (e < in.size() && IsDigit(in[e])) {
            while (e < in.size() && IsDigit(in[e])) ++e;
            q = e;
        }
    }
    double v = 0;
    const auto res = std::from_chars(in.data() + p, in.data() + q, v);
    if (res.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone; strtod gives HUGE_VAL or 0.
        const std::string_view mant = in.substr(p, q - p);
        const auto epos = mant.find_first_of("eE");
        const bool negExp =
            epos != std::string_view::npos && epos + 1 < mant.size() && mant[epos + 1] == '-';
        v = negExp ? 0.0 : std::numeric_limits<double>::infinity();
    }
    out = negative ? -v : v;
    return q - pos;
}

}  // namespace

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int ScanF(std::string_view in, std::string_view fmt, std::initializer_list<ScanArg> args) {
    std::size_t pos = 0;
    int assigned = 0;
    auto arg = args.begin();
    bool anyConversion = false;
    auto eofResult = [&]() { return (!anyConversion && assigned == 0) ? -1 : assigned; };
    auto skipSpace = [&]() {
        while (pos < in.size() && IsCSpace(in[pos])) ++pos;
    };
    for (std::size_t f = 0; f < fmt.size(); ++f) {
        const char fc = fmt[f];
        if (IsCSpace(fc)) {
            skipSpace();
            continue;
        }
        if (fc != '%') {
            if (pos >= in.size()) return eofResult();
            if (in[pos] != fc) return assigned;
            ++pos;
            continue;
        }
        // A conversion.
        ++f;
        if (f < fmt.size() && fmt[f] == 'l') ++f;
        if (f >= fmt.size() || arg == args.end()) return assigned;
        const char conv = fmt[f];
        if (conv != 'c') skipSpace();
        if (pos >= in.size()) return eofResult();
        anyConversion = true;
        switch (conv) {
            case 'd': {
                std::size_t p = pos;
                bool negative = false;
                if (in[p] == '+' || in[p] == '-') negative = in[p++] == '-';
                if (p >= in.size() || !IsDigit(in[p])) return assigned;
                int64_t v = 0;
                while (p < in.size() && IsDigit(in[p])) {
                    if (v <= (int64_t{1} << 40)) v = v * 10 + (in[p] - '0');
                    ++p;
                }
                if (negative) v = -v;
                if (v > std::numeric_limits<int32_t>::max())
                    v = std::numeric_limits<int32_t>::max();
                if (v < std::numeric_limits<int32_t>::min())
                    v = std::numeric_limits<int32_t>::min();
                *std::get<int32_t*>(*arg) = static_cast<int32_t>(v);
                pos = p;
                break;
            }
            case 'x': {
                std::size_t p = pos;
                bool negative = false;
                if (in[p] == '+' || in[p] == '-') negative = in[p++] == '-';
                if (p + 1 < in.size() && in[p] == '0' && (in[p + 1] == 'x' || in[p + 1] == 'X') &&
                    p + 2 < in.size() && HexValue(in[p + 2]) >= 0)
                    p += 2;
                if (p >= in.size() || HexValue(in[p]) < 0) return assigned;
                uint32_t v = 0;
                while (p < in.size() && HexValue(in[p]) >= 0) v = v * 16 + HexValue(in[p++]);
                *std::get<uint32_t*>(*arg) = negative ? 0u - v : v;
                pos = p;
                break;
            }
            case 'c':
                *std::get<char*>(*arg) = in[pos++];
                break;
            case 's': {
                std::size_t p = pos;
                while (p < in.size() && !IsCSpace(in[p])) ++p;
                *std::get<std::string*>(*arg) = std::string(in.substr(pos, p - pos));
                pos = p;
                break;
            }
            case 'f': {
                double v = 0;
                const std::size_t used = ReadDouble(in, pos, v);
                if (used == 0) return assigned;
                *std::get<double*>(*arg) = v;
                pos += used;
                break;
            }
            default:
                return assigned;
        }
        ++assigned;
        ++arg;
    }
    return assigned;
}

bool ParseWholeDouble(std::string_view text, double& value) {
    std::size_t pos = 0;
    while (pos < text.size() && IsCSpace(text[pos])) ++pos;
    double v = 0;
    const std::size_t used = ReadDouble(text, pos, v);
    if (used == 0 || pos + used != text.size()) return false;
    value = v;
    return true;
}

}  // namespace ostra
