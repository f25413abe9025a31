#include "common/numbers.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstddef>
#include <iterator>
#include <optional>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

TEST(Val, ReadsTheLeadingNumberLeniently) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {" 12abc", 12},  {"", 0},        {"   ", 0},     {"1e3", 1000}, {"1e", 1},     {"0355", 355},
        {"----", 0},     {"-12.5x", -12.5}, {"+7", 7},   {".5", 0.5},   {"12 3", 12},  {"abc", 0},
        {"2.5E-1", 0.25}, {"-", 0},      {"\t 8", 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_DOUBLE_EQ(common::Val(c.text), c.value);
    }
}

// Whole numbers are read without a conversion; the value must be the one the C library reads,
// bit for bit (the sign of a zero included), and longer or non-whole texts still go the long way.
TEST(Val, WholeNumbersReadAsTheLibraryReadsThem) {
    const char* const cases[] = {
        "0",      "-0",       "+0",        "-000",      "0355",   "  42",  "\t-7x",  "12.",
        "12.0",   "-12.5",    "1e3",       "12e",       "12e+",   "007x",  "5-3",    "999999999999999",
        "-999999999999999",   "000000000000000000012",  "9999999999999999",  "9007199254740993",
        "123456789012345678901234567890", "+123", "1E-2", "  -0.0",
    };
    for (const char* text : cases) {
        SCOPED_TRACE(text);
        const double expected = std::strtod(text, nullptr);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(common::Val(text)), std::bit_cast<std::uint64_t>(expected));
    }
    // Every length of whole number, with leading zeros and signs, against the library.
    std::mt19937_64 random(36);
    for (int i = 0; i < 20000; ++i) {
        const int length = 1 + i % 20;
        std::string text = i % 3 == 0 ? "-" : "";
        for (int d = 0; d < length; ++d) text += static_cast<char>('0' + random() % 10);
        if (i % 5 == 0) text += "x";
        const double expected = std::strtod(text.c_str(), nullptr);
        ASSERT_EQ(std::bit_cast<std::uint64_t>(common::Val(text)), std::bit_cast<std::uint64_t>(expected)) << text;
    }
}

TEST(Rounding, CIntRoundsHalfToEvenIntAndFixDiffer) {
    struct Case {
        double v;
        int cint;
        double intv;
        double fix;
    };
    const Case cases[] = {
        {0.5, 0, 0, 0},   {1.5, 2, 1, 1},    {2.5, 2, 2, 2},     {3.5, 4, 3, 3},   {-0.5, 0, -1, 0},
        {-1.5, -2, -2, -1}, {-2.5, -2, -3, -2}, {2.4999, 2, 2, 2}, {-2.7, -3, -3, -2}, {7, 7, 7, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.v);
        EXPECT_EQ(common::CInt(c.v), c.cint);
        EXPECT_EQ(common::CLng(c.v), c.cint);
        EXPECT_DOUBLE_EQ(common::Int(c.v), c.intv);
        EXPECT_DOUBLE_EQ(common::Fix(c.v), c.fix);
    }
    EXPECT_EQ(common::CInt(1e12), 2147483647);  // clamped, not undefined
}

TEST(NumberText, ShortestDecimalWithoutExponent) {
    struct Case {
        double v;
        int digits;
        const char* text;
    };
    const Case cases[] = {
        {0, 15, "0"},          {12.3, 15, "12.3"},      {100, 15, "100"},       {0.5, 15, "0.5"},
        {-0.25, 15, "-0.25"},  {1234567.0, 7, "1234567"}, {12345678.0, 7, "12345680"},
        {0.00001, 15, "0.00001"}, {1e20, 15, "100000000000000000000"}, {2.0 / 3.0, 7, "0.6666667"},
        {1234.56789, 7, "1234.568"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(common::NumberText(c.v, c.digits), c.text);
    }
    // A single keeps 7 digits: 57.1f is 57.0999984... and shows as 57.1.
    EXPECT_EQ(common::SingleText(57.1f), "57.1");
    EXPECT_EQ(common::SingleText(0.1f), "0.1");
    EXPECT_EQ(common::NumberText(static_cast<double>(0.1f)), "0.100000001490116");
    EXPECT_EQ(common::NumberText(-42), "-42");
}

// Whole tenths (odds, weights) are most of the singles written: every tenth up to a million is
// compared with the general seven-digit text, written from the single and from the tenths.
TEST(NumberText, SingleTextOfTenthsIsTheSevenDigitText) {
    const auto general = [](float v) { return common::NumberText(static_cast<double>(v), 7); };
    int differing = 0;
    std::string first;
    for (std::int64_t tenths = 0; tenths <= 9999999; ++tenths) {
        for (const std::int64_t n : {tenths, -tenths}) {
            if (n < 0 && tenths % 7 != 0) continue;  // the sign is the same code: a sample is enough
            const float v = static_cast<float>(static_cast<double>(n) / 10.0);
            if (common::SingleText(v) != general(v) && differing++ == 0) first = general(v);
        }
        // The odds tables write fields of seven and six digits straight from their digits.
        char digits[9];
        char room[8];
        std::snprintf(digits, sizeof digits, "%07lld", static_cast<long long>(tenths));
        const float v = static_cast<float>(static_cast<double>(tenths) / 10.0);
        if (std::string_view(room, common::TenthsDigitsTextTo<7>(room, digits)) != general(v) && differing++ == 0)
            first = "7 digits: " + general(v);
        if (tenths <= 999999 &&
            std::string_view(room, common::TenthsDigitsTextTo<6>(room, digits + 1)) != general(v) && differing++ == 0)
            first = "6 digits: " + general(v);
    }
    EXPECT_EQ(differing, 0) << "first: " << first;

    struct Case {
        float v;
        const char* text;
    };
    const Case cases[] = {
        {0.0f, "0"},         {-0.0f, "0"},          {0.1f, "0.1"},          {-0.5f, "-0.5"},
        {1.0f, "1"},         {12.3f, "12.3"},       {-12.0f, "-12"},        {999999.9f, "999999.9"},
        {1000000.0f, "1000000"}, {1000000.1f, "1000000"}, {12345678.0f, "12345680"}, {0.05f, "0.05"},
        {0.123f, "0.123"},   {1234.567f, "1234.567"}, {57.1f, "57.1"},      {16777217.0f, "16777220"},
        // Half way between two tenths: the rounding to tenths goes either way, and neither is the value.
        {0.25f, "0.25"},     {-2.75f, "-2.75"},     {600000.25f, "600000.2"}, {999999.75f, "999999.8"},
        // Six whole digits and the tenth, and each place that can be 0.
        {100000.1f, "100000.1"}, {909090.9f, "909090.9"}, {100000.0f, "100000"}, {10.5f, "10.5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(common::SingleText(c.v), c.text);
        EXPECT_EQ(common::SingleText(c.v), general(c.v));
    }
    // Any single at all, tenths or not, the huge, the tiny, infinities and NaN among them.
    std::mt19937 random(36);
    for (int i = 0; i < 200000; ++i) {
        const float v = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        ASSERT_EQ(common::SingleText(v), general(v)) << std::bit_cast<std::uint32_t>(v);
    }
    for (float v : {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                    std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::denorm_min(),
                    std::numeric_limits<float>::max(), std::numeric_limits<float>::lowest()})
        EXPECT_EQ(common::SingleText(v), general(v));
}

// Singles from 0.001 to ten million are written by whole-number arithmetic:
// every single near each power of ten (where the digits move to the next decade, or rounding
// carries into it) and the exact halves of the seventh digit, which round to an even digit.
TEST(NumberText, SingleTextOfSevenDigitsIsTheGeneralText) {
    const auto general = [](float v) { return common::NumberText(static_cast<double>(v), 7); };
    for (double power = 1e-4; power <= 1e8; power *= 10) {
        const auto at = std::bit_cast<std::uint32_t>(static_cast<float>(power));
        for (std::uint32_t bits = at - 30000; bits <= at + 30000; ++bits) {
            for (const float v : {std::bit_cast<float>(bits), -std::bit_cast<float>(bits)})
                ASSERT_EQ(common::SingleText(v), general(v)) << bits;
        }
    }
    struct Case {
        float v;
        const char* text;
    };
    const Case cases[] = {
        {1234567.5f, "1234568"},  {1234568.5f, "1234568"},  {9999999.5f, "10000000"}, {-2345678.5f, "-2345678"},
        {0.001f, "0.001"},        {0.0123456789f, "0.01234568"}, {9999999.0f, "9999999"}, {123.456789f, "123.4568"},
        {8388608.5f, "8388608"},  {1000.0001f, "1000"},     {0.00099999f, "0.00099999"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(common::SingleText(c.v), c.text);
        EXPECT_EQ(common::SingleText(c.v), general(c.v));
    }
}

// The digits' text takes the first bytes of the eight it writes, and nothing past them.
TEST(NumberText, TenthsDigitsWriteEightBytesAtMost) {
    struct Case {
        const char* digits;
        const char* text;
    };
    for (const Case& c : {Case{"9999999", "999999.9"}, Case{"0000005", "0.5"}, Case{"0000010", "1"},
                          Case{"1000000", "100000"}, Case{"0100001", "10000.1"}}) {
        SCOPED_TRACE(c.digits);
        char room[10];
        std::memset(room, '#', sizeof room);
        const char* end = common::TenthsDigitsTextTo<7>(room, c.digits);
        EXPECT_EQ(std::string_view(room, end), c.text);
        EXPECT_EQ(std::string_view(room + 8, 2), "##");
    }
}

// Tenths become singles by a product, not a division: every count of up to seven digits gives the
// single the division gives, and past them the division itself is used.
TEST(NumberText, SingleOfTenthsIsTheSingleOfTheDivision) {
    const auto divided = [](std::int64_t t) { return static_cast<float>(static_cast<double>(t) / 10.0); };
    std::int64_t differing = 0;
    for (std::int64_t t = -9999999; t <= 9999999; ++t)
        if (common::SingleOfTenths(t) != divided(t)) ++differing;
    EXPECT_EQ(differing, 0);
    for (std::int64_t t : {std::int64_t{10000000}, std::int64_t{-10000000}, std::int64_t{123456789},
                           std::int64_t{999999999999999999}, std::numeric_limits<std::int64_t>::min()})
        EXPECT_EQ(common::SingleOfTenths(t), divided(t)) << t;
}

// SingleTextTo writes SingleText's text and no more than kSingleTextMax bytes, the longest texts
// (the smallest subnormals, the largest singles) included.
TEST(NumberText, SingleTextToStaysInItsRoom) {
    for (float v : {std::numeric_limits<float>::denorm_min(), -std::numeric_limits<float>::denorm_min(),
                    -std::numeric_limits<float>::min(), std::numeric_limits<float>::lowest(), -123.4f, 0.0f}) {
        char room[common::kSingleTextMax + 8];
        std::fill(std::begin(room), std::end(room), '#');
        char* end = common::SingleTextTo(room, v);
        ASSERT_LE(end - room, static_cast<std::ptrdiff_t>(common::kSingleTextMax));
        EXPECT_EQ(std::string(room, end), common::NumberText(static_cast<double>(v), 7));
        EXPECT_TRUE(std::all_of(end, std::end(room), [](char c) { return c == '#'; }));
    }
    EXPECT_EQ(common::SingleText(-std::numeric_limits<float>::denorm_min()).size(), 54u);
}

TEST(NumberText, StrHasALeadingBlankAndTwoDigitsUsesPlus100) {
    EXPECT_EQ(common::StrText(12), " 12");
    EXPECT_EQ(common::StrText(0), " 0");
    EXPECT_EQ(common::StrText(-3), "-3");
    EXPECT_EQ(common::StrText(1.5), " 1.5");
    EXPECT_EQ(common::TwoDigits(1), "01");
    EXPECT_EQ(common::TwoDigits(12), "12");
    EXPECT_EQ(common::TwoDigits(0), "00");
    EXPECT_EQ(common::TwoDigits(118), "18");
    EXPECT_EQ(common::RightAlignedTwo(7), " 7");
    EXPECT_EQ(common::RightAlignedTwo(0), " 0");
    EXPECT_EQ(common::RightAlignedTwo(12), "12");
    EXPECT_EQ(common::RightAlignedTwo(123), "23");
    // Both as their definitions make them, negatives (which keep a sign or a single digit) too.
    const auto lastTwo = [](const std::string& text) { return text.size() <= 2 ? text : text.substr(text.size() - 2); };
    for (std::int64_t n = -250; n <= 1250; ++n) {
        ASSERT_EQ(common::TwoDigits(n), lastTwo(std::to_string(n + 100))) << n;
        ASSERT_EQ(common::RightAlignedTwo(n), lastTwo(" " + std::to_string(n))) << n;
    }
}

TEST(Floats, LittleEndianBytesOfSinglePrecision) {
    char bytes[4];
    common::FloatToLittleEndian(1.0f, bytes);
    EXPECT_EQ(std::string(bytes, 4), std::string("\x00\x00\x80\x3f", 4));
    common::FloatToLittleEndian(-2.5f, bytes);
    EXPECT_EQ(std::string(bytes, 4), std::string("\x00\x00\x20\xc0", 4));
    EXPECT_EQ(common::FloatFromLittleEndian("\x00\x00\xf4\x42"), 122.0f);
}

TEST(Digits, WholeTextMustBeDigits) {
    EXPECT_TRUE(common::IsDigits("0123"));
    EXPECT_FALSE(common::IsDigits(""));
    EXPECT_FALSE(common::IsDigits("12a"));
    EXPECT_FALSE(common::IsDigits(" 12"));
}

// DigitsValue reads digits without a branch per character: it must give what the plain check
// and sum give (the lenient reading as well, up to 15 digits), for 1 to 18 digits, and nothing
// for anything else, bytes just beside '0' and '9' and bytes above 0x7F among them.
TEST(Digits, DigitsValueIsTheLenientValueOfDigitsOnly) {
    // The plain reading it replaces: the check, then the digits added up.
    const auto reference = [](std::string_view text) -> std::optional<std::int64_t> {
        if (text.size() > 18 || !common::IsDigits(text)) return std::nullopt;
        std::int64_t v = 0;
        for (char c : text) v = v * 10 + (c - '0');
        if (text.size() <= 15) {
            EXPECT_EQ(static_cast<double>(v), common::Val(text));
        }
        return v;
    };
    std::vector<std::string> texts = {"",          "0",        "7",          "0512",    "0000000",  "9999999",
                                      "123456789012345678", "999999999999999999", "1234567890123456789",
                                      "12a",       " 12",      "12 ",        "-1",      "+1",       "1.5",
                                      "/",         ":",        "0/",         ":9",      "\x80""1", "1\xff"};
    // Every byte in every place of a short text.
    for (int b = 0; b < 256; ++b)
        for (std::size_t at = 0; at < 3; ++at) {
            std::string text = "123";
            text[at] = static_cast<char>(b);
            texts.push_back(text);
        }
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        EXPECT_EQ(common::DigitsValue(text), reference(text));
    }
    EXPECT_EQ(common::DigitsValue("999999999999999999"), 999999999999999999LL);
}

TEST(StrictNumber, TheWholeTrimmedTextMustBeOneNumber) {
    struct Case {
        const char* text;
        bool number;
        double value;
    };
    const Case cases[] = {
        {"1600", true, 1600}, {" 1600 ", true, 1600}, {"-2.5", true, -2.5}, {"+7", true, 7},
        {"1e3", true, 1000},  {".5", true, 0.5},      {"", false, 0},       {"    ", false, 0},
        {"16a0", false, 0},   {"12 3", false, 0},     {"1e", false, 0},     {"-", false, 0},
        {"\t8", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto value = common::StrictNumber(c.text);
        ASSERT_EQ(value.has_value(), c.number);
        if (c.number) {
            EXPECT_DOUBLE_EQ(*value, c.value);
        }
    }
    // Whole numbers as from_chars reads them, up to the digits that take the general parse.
    for (const char* text : {"0", "007", " 18", "999999", "1234567", "999999999999999", "9999999999999999", "-0", "-12"}) {
        SCOPED_TRACE(text);
        const std::string_view body = std::string_view(text).substr(std::string_view(text).find_first_not_of(' '));
        double wantDouble = 0;
        float wantSingle = 0;
        std::from_chars(body.data(), body.data() + body.size(), wantDouble);
        std::from_chars(body.data(), body.data() + body.size(), wantSingle);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(*common::StrictNumber(text)), std::bit_cast<std::uint64_t>(wantDouble));
        EXPECT_EQ(std::bit_cast<std::uint32_t>(*common::StrictSingle(text)), std::bit_cast<std::uint32_t>(wantSingle));
    }
    // Single precision straight from the text: one rounding, not two.
    EXPECT_EQ(common::StrictSingle("0.1"), 0.1f);
    EXPECT_FALSE(common::StrictSingle("1e39").has_value());
    EXPECT_THROW(common::StrictNumberOf("x", "Kyori"), std::runtime_error);
}

TEST(FormatYosoTime, TruncatesEverySinglePrecisionStep) {
    struct Case {
        float speed;
        const char* distance;
        const char* text;  // nullptr: no text
    };
    const Case cases[] = {
        {60.0f, "1600", "1.35.99"},   // 1.36.00 in exact arithmetic, a hundredth short in singles
        {60.0f, "2000", "1.59.99"},
        {60.9f, "1600", "1.34.58"},
        {65.5f, "1200", "1.05.95"},
        {59.9f, "1000", "1.00.10"},
        {60.1f, "2400", "2.23.76"},
        {62.0f, "600", "0.34.83"},    // under a minute
        {20.0f, "3600", "10.48.00"},  // ten minutes and more
        {60.0f, "0000", "0.00.00"},
        {60.0f, " 1600 ", "1.35.99"},  // blanks around the distance
        {0.0f, "1600", nullptr},       // speed 0
        {0.0f, "0000", nullptr},       // 0 / 0 is no number
        {60.0f, "    ", nullptr},      // a distance of blanks
        {60.0f, "", nullptr},
        {60.0f, "16OO", nullptr},
        {1e-36f, "1600", nullptr},     // the quotient overflows
        {std::numeric_limits<float>::quiet_NaN(), "1600", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.distance) + " at " + std::to_string(c.speed));
        const auto text = common::FormatYosoTime(c.speed, c.distance);
        if (c.text == nullptr) {
            EXPECT_FALSE(text.has_value()) << *text;
        } else {
            ASSERT_TRUE(text.has_value());
            EXPECT_EQ(*text, c.text);
        }
    }
}

}  // namespace

// Weights are shown floored to 3 decimals of their single-precision value.
TEST(Numbers, WeightTextFloorsTheStoredFloat) {
    const std::vector<std::pair<float, std::string>> cases = {
        {56.1f, "56.099"}, {-1.2f, "-1.201"}, {0.7f, "0.699"}, {0.0f, "0"},
        {61.25f, "61.25"}, {-0.0005f, "-0.001"}, {1234.5678f, "1234.567"}, {2.0f, "2"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(common::WeightText(value), text) << value;
}
