// A small, locale-independent stand-in for sscanf over the formats that the
// system's text files use ("%d, %d", "%c, %d", "%d,%s", "%x", "%lf"). It never
// reads past its input and clamps numbers instead of overflowing.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace ostra {

// %d int32_t*, %x uint32_t*, %c char*, %s std::string*, %lf double*.
using ScanArg = std::variant<int32_t*, uint32_t*, char*, std::string*, double*>;

// Returns the number of fields assigned, or -1 when the input ended before the
// first conversion, as the C library does. Fields not reached keep their values.
int ScanF(std::string_view input, std::string_view format, std::initializer_list<ScanArg> args);

// The whole text is one decimal number as strtod accepts it (leading blanks,
// sign, digits with optional point and exponent, inf/infinity/nan), nothing after.
bool ParseWholeDouble(std::string_view text, double& value);

bool IsCSpace(char c);

}  // namespace ostra
