// Windows-1252 and low-8-bit conversions.
#include <gtest/gtest.h>

#include "platform/TextCodec.h"

namespace ostra {
namespace {

// Every Windows-1252 byte survives a round trip; then the conversions one
// text at a time: Windows-1252 to UTF-8 and back (characters outside it
// become "?"), and the low byte of each code.
TEST(TextCodec, Conversions) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
    EXPECT_EQ(Utf8Length(Cp1252ToUtf8(all)), 256u);
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
        {Utf8ToLow8, "\xED\xA0\x80", "\xFD\xFD\xFD"},  // a surrogate is no character: U+FFFD each
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
