#include "common/encoding.h"

#include <gtest/gtest.h>

namespace {

using common::FromCp932;
using common::ToCp932;

// Bytes of CP932 written by hand: the code points CP932 maps differently from plain Shift-JIS,
// NEC and IBM extensions, half-width katakana and ordinary kanji.
TEST(Cp932, RoundTripsCharactersThatDifferFromPlainShiftJis) {
    struct Case {
        const char* utf8;
        std::string cp932;
    };
    const Case cases[] = {
        {"～", "\x81\x60"},                    // U+FF5E, not U+301C
        {"－", "\x81\x7C"},                    // U+FF0D, not U+2212
        {"∥", "\x81\x61"},                     // U+2225, not U+2016
        {"￢", "\x81\xCA"},                    // U+FFE2
        {"①", "\x87\x40"},                     // NEC row 13
        {"Ⅰ", "\x87\x54"},
        {"髙", "\xFB\xFC"},                    // IBM extension
        {"ｱｲｳ", "\xB1\xB2\xB3"},               // half-width katakana, one byte each
        {"東京優駿", "\x93\x8C\x8B\x9E\x97\x44\x8F\x78"},
        {"A1 ", "A1 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(ToCp932(c.utf8), c.cp932);
        EXPECT_EQ(FromCp932(c.cp932), c.utf8);
    }
}

// Plain ASCII is the same bytes both ways, each character alone and among others (the backslash
// and the tilde, which some Shift-JIS tables turn into other characters, included); a zero byte
// still reads as a blank, and ASCII next to double-byte text still converts.
TEST(Cp932, AsciiIsTheSameBytesBothWays) {
    std::string all;
    for (int c = 1; c < 0x80; ++c) {
        const std::string one(1, static_cast<char>(c));
        EXPECT_EQ(ToCp932(one), one) << c;
        EXPECT_EQ(FromCp932(one), one) << c;
        all += one;
    }
    EXPECT_EQ(ToCp932(all), all);
    EXPECT_EQ(FromCp932(all), all);
    EXPECT_EQ(FromCp932(std::string("12\\0", 4)), "12\\0");
    EXPECT_EQ(FromCp932(std::string("1\0", 2)), "1 ");
    EXPECT_EQ(ToCp932(std::string("1\0", 2)), std::string("1\0", 2));
    EXPECT_EQ(FromCp932("~\\" "\x93\x8C"), "~\\東");
    EXPECT_EQ(ToCp932("~\\東"), "~\\" "\x93\x8C");
}

TEST(Cp932, BrokenBytesAreReplacedWithoutLosingWhatFollows) {
    // A lead byte followed by a byte that cannot trail it, a lone lead byte at the end.
    EXPECT_EQ(FromCp932("\x93" " A" "\x8C\x8B"), "\xEF\xBF\xBD" " A" "結");
    EXPECT_EQ(FromCp932("\xA0" "B"), "\xEF\xBF\xBD" "B");  // not a character in CP932
    EXPECT_EQ(FromCp932("AB\x93"), "AB\xEF\xBF\xBD");
    // Zero bytes read as blanks.
    EXPECT_EQ(FromCp932(std::string("A\0B", 3)), "A B");
    // Characters CP932 has no code for become "?".
    EXPECT_EQ(ToCp932("a😀b"), "a?b");
}

TEST(Characters, CountAndCutByCharactersNotBytes) {
    const std::string text = "ディープ1号";  // 6 characters, 16 bytes
    EXPECT_EQ(common::CharCount(text), 6u);
    EXPECT_EQ(common::LeftChars(text, 2), "ディ");
    EXPECT_EQ(common::LeftChars(text, 0), "");
    EXPECT_EQ(common::LeftChars(text, 99), text);
    EXPECT_EQ(common::MidChars(text, 4), "1号");
    EXPECT_EQ(common::MidChars(text, 1, 2), "ィー");
    EXPECT_EQ(common::RightChars(text, 2), "1号");
    EXPECT_EQ(common::RightChars(text, 10), text);
}

// The first n characters of CP932 bytes: a double-byte character counts once and is never split.
TEST(Characters, FirstCharactersOfCp932Bytes) {
    const std::string ab = "A\x82\xa0" "B";  // A, あ, B
    EXPECT_EQ(common::LeftCp932Chars(ab, 2), "A\x82\xa0");
    EXPECT_EQ(common::LeftCp932Chars(ab, 1), "A");
    EXPECT_EQ(common::LeftCp932Chars(ab, 9), ab);
    EXPECT_EQ(common::LeftCp932Chars(ab, 0), "");
    EXPECT_EQ(common::LeftCp932Chars("AB\x82", 3), "AB\x82") << "a lead byte at the end is a character of its own";
}

TEST(Bytes, LeadBytesAndTrimming) {
    EXPECT_TRUE(common::IsCp932LeadByte(0x81));
    EXPECT_TRUE(common::IsCp932LeadByte(0xFC));
    EXPECT_FALSE(common::IsCp932LeadByte(0xA0));
    EXPECT_FALSE(common::IsCp932LeadByte(0xB1));  // half-width katakana stands alone
    EXPECT_EQ(common::TrimRightBlanks("AB  "), "AB");
    EXPECT_EQ(common::TrimRightBlanks(std::string_view("A\0\0", 3)), "A");
    EXPECT_EQ(common::TrimRightBlanks("\x81\x40"), "\x81\x40");  // full-width blank is text
}

}  // namespace
