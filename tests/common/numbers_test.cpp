#include "common/numbers.h"

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

TEST(NumberText, StrHasALeadingBlankAndTwoDigitsUsesPlus100) {
    EXPECT_EQ(common::StrText(12), " 12");
    EXPECT_EQ(common::StrText(0), " 0");
    EXPECT_EQ(common::StrText(-3), "-3");
    EXPECT_EQ(common::StrText(1.5), " 1.5");
    EXPECT_EQ(common::TwoDigits(1), "01");
    EXPECT_EQ(common::TwoDigits(12), "12");
    EXPECT_EQ(common::TwoDigits(0), "00");
    EXPECT_EQ(common::TwoDigits(118), "18");
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

}  // namespace
