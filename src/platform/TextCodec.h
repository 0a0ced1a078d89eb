// Conversions between the UTF-8 text held in memory and the 8-bit forms in
// files: Windows-1252 for text files and sheet records, and "low 8 bits of the
// character code" where a format stores characters that way.
#pragma once

#include <cstddef>
#include <string>

namespace ostra {

// Windows-1252 bytes to UTF-8. The five bytes without a 1252 character map to
// the C1 controls of the same code, so every byte string survives a round trip.
std::string Cp1252ToUtf8(const std::string& bytes);
// UTF-8 to Windows-1252; a character 1252 cannot hold, or a byte that is not
// valid UTF-8, becomes "?".
std::string Utf8ToCp1252(const std::string& utf8);

// Each byte is the character of that code (0 to 255).
std::string Low8ToUtf8(const std::string& bytes);
// Each character is stored as the low 8 bits of its code.
std::string Utf8ToLow8(const std::string& utf8);

// Number of characters (code points) in a UTF-8 text; an invalid byte counts as one.
std::size_t Utf8Length(const std::string& utf8);
// The first `count` characters of a UTF-8 text.
std::string Utf8Left(const std::string& utf8, std::size_t count);

// Decodes one character at `pos`, advancing it; an invalid byte gives U+FFFD.
char32_t DecodeUtf8(const std::string& s, std::size_t& pos);
void AppendUtf8(std::string& out, char32_t cp);

}  // namespace ostra
