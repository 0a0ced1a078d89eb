// Numbers on the controller link: one token per number, a type letter from
// "j" to "y" (the high nibble of a flags byte) followed by 0, 2, 4 or 7
// hexadecimal digits; and the frame checkword.
#pragma once

#include <cstdint>
#include <string>

namespace ostra {

// The token of a value.
std::string EncodeNumber(double value);

// A value from the line as a whole number (truncated), held at the type's
// limits, NaN as 0: a token may carry any float, and converting one outside
// the range would be undefined.
int32_t SaturatedInt32(double value);
int64_t SaturatedInt64(double value);

// Decodes the token at `pos` of `frame` (reading stops at `end`). Returns its
// length (1, 3, 5 or 8) and the value, 0 when the frame ends before the token
// is complete, -1 when the character there is not a type letter.
int DecodeNumber(const char* frame, std::size_t pos, std::size_t end, double& value);

bool IsTypeLetter(char c);
bool IsHexDigit(char c);

// The 16-bit checkword of a request: starts as the complement of the start
// character; each further character up to and including the line feed
// rotates it left by 3 bits and is XORed in.
uint16_t Checkword(const std::string& frameUpToLineFeed);

}  // namespace ostra
