// Windows-1252 and low-8-bit conversions.
#include <gtest/gtest.h>

#include "platform/TextCodec.h"

namespace ostra {
namespace {

TEST(TextCodec, EveryCp1252ByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
    EXPECT_EQ(Utf8Length(Cp1252ToUtf8(all)), 256u);
}

TEST(TextCodec, KnownCharacters) {
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");  // euro sign
    EXPECT_EQ(Cp1252ToUtf8("\x96"), "\xE2\x80\x93");  // en dash
    EXPECT_EQ(Cp1252ToUtf8("\xE9"), "\xC3\xA9");      // e acute
    EXPECT_EQ(Utf8ToCp1252("\xE2\x80\x93"), "\x96");
    EXPECT_EQ(Utf8ToCp1252("caf\xC3\xA9"), "caf\xE9");
}

TEST(TextCodec, CharactersOutside1252BecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1252("\xE2\x86\x92"), "?");  // rightwards arrow
    EXPECT_EQ(Utf8ToCp1252("a\xF0\x9F\x98\x80"
                           "b"),
              "a?b");                           // emoji
    EXPECT_EQ(Utf8ToCp1252("\xFF\xFE"), "??");  // not UTF-8 at all
    EXPECT_EQ(Utf8ToCp1252("\xC3"), "?");       // cut sequence
}

TEST(TextCodec, Low8StoresTheLowByteOfTheCode) {
    EXPECT_EQ(Utf8ToLow8("\xC3\xA9"), "\xE9");
    EXPECT_EQ(Utf8ToLow8("\xE2\x82\xAC"), "\xAC");  // U+20AC keeps 0xAC
    EXPECT_EQ(Low8ToUtf8("\xE9"), "\xC3\xA9");
    EXPECT_EQ(Low8ToUtf8("\x80"), "\xC2\x80");  // the character of code 0x80
}

TEST(TextCodec, LengthAndLeftCountCharacters) {
    const std::string s = "\xC3\xA9t\xC3\xA9";  // 3 characters, 5 bytes
    EXPECT_EQ(Utf8Length(s), 3u);
    EXPECT_EQ(Utf8Left(s, 2), "\xC3\xA9t");
    EXPECT_EQ(Utf8Left(s, 10), s);
    EXPECT_EQ(Utf8Left("", 3), "");
}

}  // namespace
}  // namespace ostra
