#include "common/text_file.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace {

TEST(TextFiles, TruncateAndAppendLinesWithCrLf) {
    testsupport::TempAppFolder dir;
    dir.Write("t.txt", "old content");
    common::TruncateFile(dir / "t.txt");
    EXPECT_EQ(dir.Read("t.txt"), "");
    common::AppendLine(dir / "t.txt", "one");
    {
        common::TextAppender out(dir / "t.txt");
        out.Line("two");
        out.Line("");
        out.Close();
    }
    EXPECT_EQ(dir.Read("t.txt"), "one\r\ntwo\r\n\r\n");
    common::TextAppender fresh(dir / "t.txt", true);
    fresh.Line("new");
    fresh.Close();
    EXPECT_EQ(dir.Read("t.txt"), "new\r\n");
}

TEST(WrittenFields, TextsQuotedNumbersBare) {
    using common::Field;
    using common::Single;
    const std::string line = common::WrittenFields(
        {Field{std::string("\x93\x8C")}, Field{Single{57.1f}}, Field{0.5}, Field{std::int64_t{-3}}, Field{7},
         Field{std::string("")}, Field{common::NoValue{}}, Field{1}});
    EXPECT_EQ(line, "\"\x93\x8C\",57.1,0.5,-3,7,\"\",,1");
    EXPECT_EQ(common::WrittenFields({Field{common::NoValue{}}}), "");
}

TEST(WrittenFields, ReaderTakesValuesOneByOneAcrossLines) {
    common::WrittenFieldReader in("\"a,b\",12,  x y ,\r\n\"\",-0.5\r\n3\r\n");
    std::string v;
    std::vector<std::string> values;
    while (in.Next(v)) values.push_back(v);
    EXPECT_EQ(values, (std::vector<std::string>{"a,b", "12", "x y", "", "-0.5", "3"}));
    EXPECT_TRUE(in.AtEnd());

    common::WrittenFieldReader numbers("\"RC\",1,2.5\r\n");
    EXPECT_TRUE(numbers.Next(v));
    EXPECT_DOUBLE_EQ(numbers.NextNumber(), 1);
    EXPECT_DOUBLE_EQ(numbers.NextNumber(), 2.5);
    EXPECT_DOUBLE_EQ(numbers.NextNumber(), 0);  // past the end
    EXPECT_FALSE(numbers.Next(v));
}

// The supplied model files: labels whose trailing blanks are part of the label, values spread
// over lines in any mix of commas and line ends, blank lines between them.
TEST(WrittenFields, ReaderKeepsBlanksInsideQuotesAndMixesSeparators) {
    common::WrittenFieldReader in("\"56  \",\"56\"\r\n\"  \" , \"7417K      \",\r\n\r\n1.5E-02,\r\n-.5\r\n");
    std::string v;
    std::vector<std::string> values;
    while (in.Next(v)) values.push_back(v);
    EXPECT_EQ(values, (std::vector<std::string>{"56  ", "56", "  ", "7417K      ", "1.5E-02", "-.5"}));
}

TEST(TextFiles, SplitLines) {
    EXPECT_EQ(common::SplitLines("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(common::SplitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_TRUE(common::SplitLines("").empty());
}

}  // namespace
