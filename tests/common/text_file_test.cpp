#include "common/text_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <limits>
#include <span>
#include <random>
#include <string>
#include <string_view>
#include <vector>

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

TEST(WrittenFields, AppendedAfterWhatTheLineHolds) {
    std::string line = "\"x\",";
    const common::Field fields[] = {std::string("a"), common::Single{1.5f}, common::NoValue{}};
    common::AppendWrittenFields(line, fields);
    EXPECT_EQ(line, "\"x\",\"a\",1.5,");
    common::AppendWrittenFields(line, {});
    EXPECT_EQ(line, "\"x\",\"a\",1.5,") << "no field adds nothing";
}

TEST(WrittenFields, ReaderTakesValuesOneByOneAcrossLines) {
    // The first line ends in an empty field: it is a value of its own, before the second line's "".
    common::WrittenFieldReader in("\"a,b\",12,  x y ,\r\n\"\",-0.5\r\n3\r\n");
    std::string v;
    std::vector<std::string> values;
    while (in.Next(v)) values.push_back(v);
    EXPECT_EQ(values, (std::vector<std::string>{"a,b", "12", "x y", "", "", "-0.5", "3"}));
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
    common::WrittenFieldReader in("\"56  \",\"56\"\r\n\"  \" , \"7417K      \",\r\n\r\n1.5E-02,\r\n-.5\r\n",
                                  common::FieldLines::Spread);
    std::string v;
    std::vector<std::string> values;
    while (in.Next(v)) values.push_back(v);
    EXPECT_EQ(values, (std::vector<std::string>{"56  ", "56", "  ", "7417K      ", "1.5E-02", "-.5"}));
}

// Each case: the content, its values line by line, and the lines of the values that cannot be
// read. Every line keeps its number of values, so a reader that takes a fixed count per line
// finds every later value where it was written.
TEST(WrittenFields, ReaderKeepsEveryFieldInItsPlace) {
    struct Case {
        const char* what;
        std::string content;
        std::vector<std::vector<std::string>> lines;
        std::vector<int> unreadableLines;
    };
    const std::vector<Case> cases = {
        {"text after a closing quote", "\"R\"x,\"5\",12\r\n\"a\" ;b ,\"c\"\r\n",
         {{"", "5", "12"}, {"", "c"}}, {1, 2}},
        {"blanks after a closing quote", "\"a\"  ,\"b\" \r\n", {{"a", "b"}}, {}},
        {"a line ending in an empty field", "\"\x94\x6E\",1,0,\r\n\"b\",2,\r\n3,4,5\r\n",
         {{"\x94\x6E", "1", "0", ""}, {"b", "2", ""}, {"3", "4", "5"}}, {}},
        {"empty fields between commas", ",\"\",,x\r\n", {{"", "", "", "x"}}, {}},
        {"a quoted comma", "\"a,b\",\"c\",1\r\n", {{"a,b", "c", "1"}}, {}},
        {"LF line ends", "\"a\",1\n2,\n\"b\"\n", {{"a", "1"}, {"2", ""}, {"b"}}, {}},
        {"CR LF line ends", "\"a\",1\r\n2,\r\n\"b\"\r\n", {{"a", "1"}, {"2", ""}, {"b"}}, {}},
        {"no line end at the end", "\"a\",1\r\n\"b\",", {{"a", "1"}, {"b", ""}}, {}},
        {"a quote the line never closes", "\"a,1\r\n2,\"b\r\n3\r\n", {{"", "1"}, {"2", ""}, {"3"}}, {1, 2}},
        {"a text after the quote at the end", "1,\"a\"b", {{"1", ""}}, {1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        common::WrittenFieldReader in(c.content);
        std::vector<std::vector<std::string>> lines;
        std::vector<int> unreadable;
        std::string v;
        while (in.Next(v)) {
            if (static_cast<int>(lines.size()) < in.Line()) lines.resize(static_cast<std::size_t>(in.Line()));
            lines.back().push_back(v);
            if (in.Unreadable()) unreadable.push_back(in.Line());
        }
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(unreadable, c.unreadableLines);
        EXPECT_EQ(in.UnreadableFields(), static_cast<int>(c.unreadableLines.size()));
        EXPECT_TRUE(in.AtEnd());
    }
}

TEST(WrittenFields, ReaderLogsTheFileAndLineOfAFieldItCannotRead) {
    testsupport::TempAppFolder dir;
    common::WrittenFieldReader in("\"a\",1\r\n\"b\"x,2\r\n");
    in.LogUnreadableFields("step", "TEKICHU/x.txt", 10);
    std::string v;
    while (in.Next(v)) {
    }
    const std::string log = dir.Read("ERRORLOG.txt");
    EXPECT_NE(log.find("[step] TEKICHU/x.txt line 11:"), std::string::npos) << log;
    EXPECT_EQ(log.find("line 10"), std::string::npos);

    // A quote that its line never closes too; the reasons in the order of their lines, one each.
    std::filesystem::remove(dir / "ERRORLOG.txt");
    common::WrittenFieldReader more("\"a\"x,1\r\n\"b\",2\r\n\"c\r\n");
    more.LogUnreadableFields("step", "TEKICHU/x.txt", 10);
    while (more.Next(v)) {
    }
    std::vector<std::string> reasons;
    for (const std::string& line : common::SplitLines(dir.Read("ERRORLOG.txt")))
        reasons.push_back(line.substr(line.find("[step] ") + 7));
    EXPECT_EQ(reasons, (std::vector<std::string>{common::UnreadableFieldReason("TEKICHU/x.txt", 10),
                                                 common::UnreadableFieldReason("TEKICHU/x.txt", 12)}));
}

TEST(WrittenFields, ReaderIsAtEndOnlyWhenNoValueIsLeft) {
    common::WrittenFieldReader in("\"a\",\r\n\r\n");
    std::string v;
    EXPECT_FALSE(in.AtEnd());
    ASSERT_TRUE(in.Next(v));
    EXPECT_FALSE(in.AtEnd());  // the empty last field
    ASSERT_TRUE(in.Next(v));
    EXPECT_EQ(v, "");
    EXPECT_TRUE(in.AtEnd());
    v = "kept";
    EXPECT_FALSE(in.Next(v));
    EXPECT_EQ(v, "kept");

    // Values spread over lines: a line end after a comma adds nothing.
    common::WrittenFieldReader spread("1,\r\n2,", common::FieldLines::Spread);
    std::vector<std::string> values;
    while (spread.Next(v)) values.push_back(v);
    EXPECT_EQ(values, (std::vector<std::string>{"1", "2"}));
}

// The view overload reads what the copying one reads, value for value, and flags and lines alike.
TEST(WrittenFields, ReaderGivesViewsOfTheSameValues) {
    const char* const contents[] = {
        "\"a\",1, 2 ,\"\"\r\n\"b\" x,\"c\r\n,,\r\n \"q,w\" ,last",
        "\"RC\",\"1\",\"2\",\r\n\r\n\"HS\",\" 7\",\"1.12.3\"\n\"open",
        "1,\r\n2\r\n,3,\n\n",
        "",
        "\t \"x\"\t,\"y\"z\"",
    };
    for (const char* content : contents) {
        for (const auto lines : {common::FieldLines::Records, common::FieldLines::Spread}) {
            SCOPED_TRACE(content);
            common::WrittenFieldReader copying(content, lines);
            common::WrittenFieldReader viewing(content, lines);
            std::string copied = "before";
            std::string_view viewed = "before";
            for (;;) {
                const bool more = copying.Next(copied);
                ASSERT_EQ(viewing.Next(viewed), more);
                EXPECT_EQ(viewed, copied);
                if (!more) break;
                EXPECT_EQ(viewing.Unreadable(), copying.Unreadable());
                EXPECT_EQ(viewing.Line(), copying.Line());
            }
            EXPECT_EQ(viewing.UnreadableFields(), copying.UnreadableFields());
        }
    }
}

// The reader as it was first written, one byte at a time through its members: the reader's
// faster scan must give the same values, flags and lines on any content.
class ByteByByteReader {
public:
    ByteByByteReader(std::string content, common::FieldLines lines) : content_(std::move(content)), lines_(lines) {}

    bool Next(std::string_view& value) {
        for (;;) {
            SkipBlanks();
            if (pos_ < content_.size() && !AtLineEnd(pos_)) break;
            if (fieldOwed_ && lines_ == common::FieldLines::Records) {
                fieldOwed_ = false;
                unreadable_ = false;
                fieldLine_ = line_;
                value = {};
                return true;
            }
            fieldOwed_ = false;
            if (pos_ >= content_.size()) return false;
            if (content_[pos_] == '\r' && pos_ + 1 < content_.size() && content_[pos_ + 1] == '\n') ++pos_;
            ++pos_;
            ++line_;
        }
        fieldOwed_ = false;
        unreadable_ = false;
        fieldLine_ = line_;
        value = {};
        if (content_[pos_] == '"') {
            std::size_t close = pos_ + 1;
            while (close < content_.size() && content_[close] != '"' && !AtLineEnd(close)) ++close;
            const bool closed = close < content_.size() && content_[close] == '"';
            if (closed) {
                value = std::string_view(content_).substr(pos_ + 1, close - pos_ - 1);
                pos_ = close + 1;
                SkipBlanks();
            } else {
                ++pos_;
            }
            if (!closed || (pos_ < content_.size() && content_[pos_] != ',' && !AtLineEnd(pos_))) {
                unreadable_ = true;
                value = {};
                while (pos_ < content_.size() && content_[pos_] != ',' && !AtLineEnd(pos_)) ++pos_;
            }
        } else {
            std::size_t end = pos_;
            while (end < content_.size() && content_[end] != ',' && !AtLineEnd(end)) ++end;
            std::size_t last = end;
            while (last > pos_ && Blank(content_[last - 1])) --last;
            value = std::string_view(content_).substr(pos_, last - pos_);
            pos_ = end;
        }
        if (pos_ < content_.size() && content_[pos_] == ',') {
            ++pos_;
            fieldOwed_ = true;
        }
        if (unreadable_) ++unreadableFields_;
        return true;
    }

    bool Unreadable() const { return unreadable_; }
    int Line() const { return fieldLine_; }
    int UnreadableFields() const { return unreadableFields_; }

private:
    static bool Blank(char c) { return c == ' ' || c == '\t'; }
    bool AtLineEnd(std::size_t at) const { return content_[at] == '\r' || content_[at] == '\n'; }
    void SkipBlanks() {
        while (pos_ < content_.size() && Blank(content_[pos_])) ++pos_;
    }

    std::string content_;
    common::FieldLines lines_;
    std::size_t pos_ = 0;
    int line_ = 1;
    bool fieldOwed_ = false;
    bool unreadable_ = false;
    int fieldLine_ = 0;
    int unreadableFields_ = 0;
};

// Every value, flag, line and count of the reader against the byte-by-byte reader.
void ExpectReadAsByteByByte(const std::string& content) {
    for (const auto lines : {common::FieldLines::Records, common::FieldLines::Spread}) {
        common::WrittenFieldReader reader(content, lines);
        ByteByByteReader reference(content, lines);
        std::string_view got = "before", want = "before";
        for (int read = 0;; ++read) {
            const bool more = reference.Next(want);
            ASSERT_EQ(reader.Next(got), more) << "read " << read << " of \"" << content << "\"";
            ASSERT_EQ(got, want) << "read " << read << " of \"" << content << "\"";
            if (!more) break;
            ASSERT_EQ(reader.Unreadable(), reference.Unreadable()) << "read " << read << " of \"" << content << "\"";
            ASSERT_EQ(reader.Line(), reference.Line()) << "read " << read << " of \"" << content << "\"";
        }
        ASSERT_EQ(reader.UnreadableFields(), reference.UnreadableFields()) << content;
    }
}

// Checks every content of up to six bytes of `alphabet`, stopping at the first fatal failure.
template <class Check>
void ForEveryShortContent(const std::string& alphabet, Check check) {
    std::string content;
    const auto all = [&](const auto& self, std::size_t length) -> void {
        check(content);
        if (::testing::Test::HasFatalFailure() || length == 6) return;
        for (const char c : alphabet) {
            content.push_back(c);
            self(self, length + 1);
            content.pop_back();
            if (::testing::Test::HasFatalFailure()) return;
        }
    };
    all(all, 0);
}

TEST(WrittenFields, ReaderReadsEveryShortContentAsTheByteByByteReader) {
    // Every content of up to six bytes made of the bytes that steer the reading.
    ForEveryShortContent("\",\r\n \ta", [](const std::string& content) { ExpectReadAsByteByByte(content); });
}

TEST(WrittenFields, ReaderReadsLongFieldsAsTheByteByByteReader) {
    // Fields longer than the eight bytes the reader looks at together, with the bytes that end
    // them at every place of such a block, and Shift-JIS bytes (high bit set) around them.
    const std::string pieces[] = {"\"", ",", "\r\n", "\n", "\r", " ", "\t", "x", "0123456789", "\x82\xa0\x93\xfa",
                                  "\xff\x80\x7f", "\"HS\",\"1\",\" 4\"", "\"abcdefghij\"", "\"open line\r\n", "\"abc\"def,"};
    std::mt19937 random(20250510);
    for (int round = 0; round < 3000; ++round) {
        std::string content;
        const std::size_t count = random() % 24;
        for (std::size_t i = 0; i < count; ++i) content += pieces[random() % std::size(pieces)];
        ExpectReadAsByteByByte(content);
        if (HasFatalFailure()) return;
    }
    for (std::size_t before = 0; before <= 17; ++before)
        for (const char stop : std::string("\",\r\n")) {
            ExpectReadAsByteByByte("\"" + std::string(before, 'y') + stop + "\"z\",w");
            ExpectReadAsByteByByte(std::string(before, '\x8a') + stop + "1,\"2\"");
        }
}

// NextTag against the loop of Next it stands for: every call gives the same answer, value,
// budget, line and unreadable count, whatever the consumer reads between the calls.
struct TagRead {
    std::vector<std::string_view> tags;
    int budget;           // per call; 0: no budget
    int readsAfterTag;    // values the consumer takes with Next after each tag
};

void ExpectTagsReadAsByNext(const std::string& content, const TagRead& how) {
    common::WrittenFieldReader reader(content);
    common::WrittenFieldReader reference(content);
    const auto referenceNextTag = [&](std::string_view& value, int& budget) {
        while (budget > 0) {
            if (!reference.Next(value)) return false;
            --budget;
            for (std::string_view tag : how.tags)
                if (value == tag) return true;
        }
        return false;
    };
    const std::span<const std::string_view> tags(how.tags);
    for (int call = 0; call < 10000; ++call) {
        std::string_view got = "before", want = "before";
        int gotBudget = how.budget, wantBudget = how.budget;
        bool found;
        if (how.budget == 0) {
            int unlimited = std::numeric_limits<int>::max();
            found = referenceNextTag(want, unlimited);
            ASSERT_EQ(reader.NextTag(tags, got), found) << "call " << call << " of \"" << content << "\"";
        } else {
            found = referenceNextTag(want, wantBudget);
            ASSERT_EQ(reader.NextTag(tags, got, gotBudget), found) << "call " << call << " of \"" << content << "\"";
            ASSERT_EQ(gotBudget, wantBudget) << "call " << call << " of \"" << content << "\"";
        }
        if (found) {
            ASSERT_EQ(got, want) << "call " << call << " of \"" << content << "\"";
        }
        ASSERT_EQ(reader.Line(), reference.Line()) << "call " << call << " of \"" << content << "\"";
        ASSERT_EQ(reader.Unreadable(), reference.Unreadable()) << "call " << call << " of \"" << content << "\"";
        ASSERT_EQ(reader.UnreadableFields(), reference.UnreadableFields()) << "call " << call << " of \"" << content << "\"";
        if (!found && (how.budget == 0 || wantBudget > 0)) break;
        for (int read = 0; read < how.readsAfterTag; ++read) {
            ASSERT_EQ(reader.Next(got), reference.Next(want));
            ASSERT_EQ(got, want) << "call " << call << " of \"" << content << "\"";
            ASSERT_EQ(reader.Line(), reference.Line()) << "call " << call << " of \"" << content << "\"";
        }
    }
    ASSERT_EQ(reader.AtEnd(), reference.AtEnd()) << content;
}

TEST(WrittenFields, NextTagReadsAsALoopOfNext) {
    // Plain lines long and short, tags at the start, in the middle and at the end of lines and as
    // parts of other values, and every way a line can fail to be plain: text after a closing
    // quote, an open quote, a bare or blank-padded value, a comma inside quotes, a trailing
    // comma, an empty line, a lone LF or CR, Shift-JIS bytes.
    const std::string pieces[] = {
        "\"RC\",\"1\",\"1000\",\"01\",\"\",\"name\"\r\n",
        "\"HS\",\"1\",\"2\",\" 4\",\" 1\",\"\x83\x65\x83\x43\x83\x49\",\"57.0\",\"1.12.18\",\"1.14.9 \"\r\n",
        "\"Q1\",\" 4\",\"11\"\r\n",
        "\"AT\",\"1\",\"2\",\"3\",\"12210\"\r\n",
        "\"KK\",\"1\",\"11\",\"670\",\"\",\"\"\r\n",
        "\"ATQ1\",\"**\",\"RCX\",\"R\",\"xRC\"\r\n",
        "\"MUH1\",\"1\",\" 4-11\"\r\n",
        "\"x\",\"RC\",\"y\"\r\n",
        "\"x\",\"HS\"\r\n",
        "\"\"\r\n",
        "\"\",\"\"\r\n",
        "\"PSF1\",\"0123456789\",\"abcdefghijklmnopqrstuvwxyz\",\"0123456789\",\"abcdefghijklmnopqrstuvwxyz\"\r\n",
        "\"a\"b,\"c\"\r\n",
        "\"open,\"x\"\r\n",
        "\"open\r\n",
        "1,2,RC\r\n",
        " \"RC\" ,\"z\"\r\n",
        "\"q,w\",\"e\"\r\n",
        "\"a\",\r\n",
        "\r\n",
        "\"a\",\"b\"\n",
        "\"a\"\r\"b\"\r\n",
        "\"a\"\"b\"\r\n",
        "\",\"\r\n",
        "\"\x82\xa0\",\"\x93\xfa\"\r\n",
        "\"RC\"",
    };
    const TagRead ways[] = {
        {{"RC"}, 0, 9},
        {{"RC"}, 0, 0},
        {{"HS", "Q1"}, 1000, 13},
        {{"HS", "Q1"}, 7, 1},
        {{"RC", "AT", "KK"}, 0, 3},
        {{"RC", "AT"}, 0, 5},
        {{"R"}, 3, 0},
        {{"RCX", "xRC"}, 0, 2},
        {{"RC", "AT", "KK", "Q1"}, 0, 1},  // more tags than the plain runs look for
    };
    std::mt19937 random(20250608);
    for (int round = 0; round < 4000; ++round) {
        std::string content;
        const std::size_t count = random() % 40;
        for (std::size_t i = 0; i < count; ++i) {
            // Mostly plain lines, as the reports hold.
            const std::size_t piece = random() % 3 == 0 ? random() % std::size(pieces) : random() % 12;
            content += pieces[piece];
        }
        ExpectTagsReadAsByNext(content, ways[random() % std::size(ways)]);
        if (HasFatalFailure()) return;
    }
}

TEST(WrittenFields, NextTagReadsEveryShortContentAsALoopOfNext) {
    // Every content of up to six bytes made of the bytes that steer the reading and a tag's.
    ForEveryShortContent("\",\r\nRC ", [](const std::string& content) {
        ExpectTagsReadAsByNext(content, {{"RC"}, 0, 1});
        ExpectTagsReadAsByNext(content, {{"R", "C"}, 2, 0});
    });
}

TEST(WrittenFields, NextTagLogsUnreadableFieldsOfPassedLinesAsNextDoes) {
    // A plain run before and after a line with a value that cannot be read: the line is named
    // with its number, as a loop of Next names it.
    std::string content;
    for (int i = 0; i < 30; ++i) content += "\"MU\",\"1\",\" 4-11\"\r\n";
    content += "\"MU\",\"1\"x,\"2\"\r\n";
    for (int i = 0; i < 30; ++i) content += "\"MU\",\"1\",\" 4-11\"\r\n";
    content += "\"RC\",\"5\"\r\n";
    common::WrittenFieldReader reader(content);
    const std::string_view tags[] = {"RC"};
    std::string_view value;
    ASSERT_TRUE(reader.NextTag(tags, value));
    EXPECT_EQ(value, "RC");
    EXPECT_EQ(reader.Line(), 62);
    EXPECT_EQ(reader.UnreadableFields(), 1);
    ASSERT_TRUE(reader.Next(value));
    EXPECT_EQ(value, "5");
    EXPECT_FALSE(reader.NextTag(tags, value));
}

// Skip against the loop of Next it stands for, skips of `counts` taken in turn with one Next
// after each: the same answers, values, lines and unreadable fields.
void ExpectSkipsAsNext(const std::string& content, std::span<const int> counts) {
    common::WrittenFieldReader reader(content);
    common::WrittenFieldReader reference(content);
    for (std::size_t turn = 0; turn < 10000; ++turn) {
        const int count = counts[turn % counts.size()];
        std::string_view got = "before", want = "before", skipped;
        bool more = true;
        for (int i = 0; i < count && more; ++i) more = reference.Next(skipped);
        ASSERT_EQ(reader.Skip(count), more) << "turn " << turn << " of \"" << content << "\"";
        ASSERT_EQ(reader.Line(), reference.Line()) << "turn " << turn << " of \"" << content << "\"";
        ASSERT_EQ(reader.Unreadable(), reference.Unreadable()) << "turn " << turn << " of \"" << content << "\"";
        ASSERT_EQ(reader.UnreadableFields(), reference.UnreadableFields()) << "turn " << turn << " of \"" << content << "\"";
        more = reference.Next(want);
        ASSERT_EQ(reader.Next(got), more) << "turn " << turn << " of \"" << content << "\"";
        ASSERT_EQ(got, want) << "turn " << turn << " of \"" << content << "\"";
        ASSERT_EQ(reader.Line(), reference.Line()) << "turn " << turn << " of \"" << content << "\"";
        if (!more) break;
    }
    ASSERT_EQ(reader.AtEnd(), reference.AtEnd()) << content;
}

TEST(WrittenFields, SkipPassesValuesAsALoopOfNext) {
    // Plain values next to every way a value can fail to be one: blanks around quotes, text after
    // a closing quote, an open quote, a bare or empty value, a quote last in the content, the
    // line's last value, an empty line.
    const std::string pieces[] = {"\"HS\",\"1\",\" 4\",\"\x83\x65\x83\x43\",\"1.12.18\",\"1.14.9 \"\r\n",
                                  "\"a\",\"\",\"bcdefghijklmn\",", "\"x\"y,", " \"z\" ,", "\"open,", "7,", ",", "\"",
                                  "\"last\"\r\n", "\"lf\"\n", "\r\n", "\"a\"\"b\","};
    std::mt19937 random(20251211);
    for (int round = 0; round < 4000; ++round) {
        std::string content;
        const std::size_t count = random() % 30;
        for (std::size_t i = 0; i < count; ++i)
            content += pieces[random() % 3 == 0 ? random() % std::size(pieces) : random() % 2];
        const int counts[] = {static_cast<int>(random() % 10), static_cast<int>(random() % 4), 0};
        ExpectSkipsAsNext(content, std::span(counts).first(1 + random() % 3));
        if (HasFatalFailure()) return;
    }
}

TEST(WrittenFields, SkipPassesEveryShortContentAsALoopOfNext) {
    ForEveryShortContent("\",\r\n a", [](const std::string& content) {
        for (const int count : {1, 2, 3}) ExpectSkipsAsNext(content, std::span(&count, 1));
    });
}

TEST(WrittenFields, ReaderOfABufferReadsItsSizeOnlyAndHandsTheBufferBack) {
    // The bytes past the size are an older, longer file's: none of them is read.
    std::string buffer = "\"a\",\"b\",\r\n\"older\",\"file\"\r\n";
    const char* const bytes = buffer.data();
    common::WrittenFieldReader reader(std::move(buffer), 8);
    std::string_view value;
    ASSERT_TRUE(reader.Next(value));
    EXPECT_EQ(value, "a");
    ASSERT_TRUE(reader.Next(value));
    EXPECT_EQ(value, "b");
    EXPECT_FALSE(reader.AtEnd());  // the comma owes an empty last value
    std::string back = std::move(reader).Release();
    EXPECT_EQ(back.data(), bytes);
    EXPECT_EQ(back.size(), 26u);
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_FALSE(reader.Next(value));

    common::WrittenFieldReader again(std::move(back), 9);
    ASSERT_TRUE(again.Next(value));
    ASSERT_TRUE(again.Next(value));
    ASSERT_TRUE(again.Next(value));
    EXPECT_EQ(value, "");
    EXPECT_TRUE(again.AtEnd());
    EXPECT_FALSE(again.Next(value));
    const std::string_view tags[] = {"older"};
    EXPECT_FALSE(again.NextTag(tags, value));

    // A size past the buffer reads the buffer whole.
    common::WrittenFieldReader whole(std::string("\"x\""), 100);
    ASSERT_TRUE(whole.Next(value));
    EXPECT_EQ(value, "x");
    EXPECT_FALSE(whole.Next(value));
}

TEST(TextFiles, SplitLines) {
    EXPECT_EQ(common::SplitLines("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(common::SplitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_TRUE(common::SplitLines("").empty());
}

TEST(TextFiles, LineViewsAreTheSplitLinesInPlace) {
    struct Case {
        const char* content;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r", {"a"}},
        {"a\r\r\nb", {"a\r", "b"}},
        {"\r\n", {""}},
        {"\n\n", {"", ""}},
        {"a\nb\r\n\r\nc\r\n", {"a", "b", "", "c"}},
        {"\r", {""}},
        {"x\ry\n", {"x\ry"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        const std::string_view content(c.content);
        EXPECT_EQ(common::SplitLines(content), c.lines);
        const std::vector<std::string_view> views = common::LineViews(content);
        EXPECT_EQ(std::vector<std::string>(views.begin(), views.end()), c.lines);
        // Views into the content itself, not copies.
        for (std::string_view view : views)
            EXPECT_TRUE(view.data() >= content.data() && view.data() + view.size() <= content.data() + content.size());
    }
}

}  // namespace
