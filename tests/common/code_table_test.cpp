#include "common/code_table.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_folder.h"

namespace {

using common::CodeTable;

// "東京" and "良" in CP932.
constexpr std::string_view kTokyo = "\x93\x8c\x8b\x9e";
constexpr std::string_view kGood = "\x97\xc7";

std::string Line(std::string_view text) { return std::string(text) + "\r\n"; }

TEST(CodeTable, LooksUpByKindCodeAndColumnWithTheFileDecodedOnce) {
    const std::string file =
        Line("2001,01,a2,a3,SAPPORO,a5,sapporo,a7") +
        Line("\"2001\",\"05\",\"b2\",\"b3\",\"" + std::string(kTokyo) + "\",\"b5\",\"tokyo\",\"b7\"") +
        Line("2010,1,  " + std::string(kGood) + "  ,x3,x4,x5,x6,x7");
    const CodeTable table = CodeTable::FromCp932(file);
    ASSERT_EQ(table.RowCount(), 3);

    struct Case {
        std::string_view kind, code;
        int column;
        std::string expected;
    };
    const Case cases[] = {
        {"2001", "05", 4, "東京"},     // the fifth field, quotes removed, decoded
        {"2001", "05", 6, "tokyo"},
        {"2001", "05", 0, "2001"},
        {"2001", "01", 4, "SAPPORO"},
        {"2010", "1", 2, "良"},        // blanks around a bare field are not part of it
        {"2001", "5", 4, ""},          // "5" is not "05"
        {"2001", "05 ", 4, ""},        // no trimming of the asked code
        {"2002", "05", 4, ""},         // no such kind
        {"2001", "05", 8, ""},         // no such column
        {"2001", "05", -1, ""},
        {"", "", 2, ""},               // the rows the file did not reach match nothing useful
    };
    for (const Case& c : cases)
        EXPECT_EQ(table.LookupCode(c.kind, c.code, c.column), c.expected) << c.kind << "/" << c.code << "/" << c.column;
}

TEST(CodeTable, AShortOrLongLineStaysOneRowAndLaterRowsKeepTheirPlaces) {
    const std::string file = Line("2003,A,G1,x3,x4,x5,x6") +               // seven fields
                             Line("2003,B,G2,x3,x4,x5,x6,x7,extra,more") +  // ten fields
                             Line("") +                                     // an empty line is no row
                             Line("2003,C,G3,x3,x4,x5,x6,x7");
    const CodeTable table = CodeTable::FromCp932(file);
    EXPECT_EQ(table.RowCount(), 3);
    EXPECT_EQ(table.LookupCode("2003", "A", 2), "G1");
    EXPECT_EQ(table.LookupCode("2003", "A", 7), "");  // not the next line's first field
    EXPECT_EQ(table.LookupCode("2003", "B", 7), "x7");
    EXPECT_EQ(table.LookupCode("2003", "C", 2), "G3");
    EXPECT_EQ(table.Cell(2, 0), "2003");
    EXPECT_EQ(table.Cell(2, 1), "C");
    EXPECT_EQ(table.Cell(3, 0), "");  // beyond the rows read
}

// Text after a closing quote loses that one field, which Load logs with the file's line; the other
// fields of the row stay in their columns.
TEST(CodeTable, AFieldThatCannotBeReadLeavesItsCellEmptyAndIsLogged) {
    testsupport::TempAppFolder dir;
    dir.Write("JRACODE/CodeTable.csv", Line("2001,01,a2,a3,SAPPORO,a5,a6,a7") +
                                           Line("\"2001\",\"05\"x,\"b2\",\"b3\",\"" + std::string(kTokyo) +
                                                "\",\"b5\",\"b6\",\"b7\""));
    const CodeTable table = CodeTable::Load();
    EXPECT_EQ(table.RowCount(), 2);
    EXPECT_EQ(table.UnreadableFields(), 1);
    EXPECT_EQ(table.Cell(1, 1), "");
    EXPECT_EQ(table.Cell(1, 2), "b2");
    EXPECT_EQ(table.Cell(1, 4), "東京");
    EXPECT_EQ(table.Cell(1, 7), "b7");
    EXPECT_EQ(table.LookupCode("2001", "05", 4), "");
    EXPECT_EQ(table.LookupCode("2001", "01", 4), "SAPPORO");
    const std::string log = dir.Read("ERRORLOG.txt");
    EXPECT_NE(log.find("CodeTable.csv line 2:"), std::string::npos) << log;
}

TEST(CodeTable, TheLastMatchingRowWins) {
    const std::string file = Line("2011,1,first,keep,,,,") + Line("2011,2,other,,,,,") + Line("2011,1,second,,,,,") +
                             Line("2011,1,third,,,,,");
    const CodeTable table = CodeTable::FromCp932(file);
    EXPECT_EQ(table.LookupCode("2011", "1", 2), "third");
    EXPECT_EQ(table.LookupCode("2011", "2", 2), "other");
    EXPECT_EQ(table.LookupCode("2011", "1", 3), "");  // the last row's own empty cell, not an earlier one's
}

TEST(CodeTable, HoldsAtMost501RowsAndLaterLinesCannotOverrideThem) {
    std::string file;
    for (int r = 0; r < 600; ++r) file += Line("9000," + std::to_string(r) + ",row" + std::to_string(r) + ",,,,,");
    file += Line("9000,7,late,,,,,");  // after the table is full: not a row
    const CodeTable table = CodeTable::FromCp932(file);
    EXPECT_EQ(table.RowCount(), 501);
    EXPECT_EQ(table.RowsDropped(), 100);
    EXPECT_EQ(table.LookupCode("9000", "0", 2), "row0");
    EXPECT_EQ(table.LookupCode("9000", "500", 2), "row500");
    EXPECT_EQ(table.LookupCode("9000", "501", 2), "");
    EXPECT_EQ(table.LookupCode("9000", "7", 2), "row7");

    // When the file fills every row, an empty kind and code find the last such row of the file.
    std::string full;
    for (int r = 0; r < 501; ++r) full += Line(r == 499 ? ",,filled,,,,," : "1,2,x,,,,,");
    EXPECT_EQ(CodeTable::FromCp932(full).LookupCode("", "", 2), "filled");
}

TEST(CodeTable, LoadFindsTheFileWithoutRegardToLetterCase) {
    testsupport::TempAppFolder dir;
    dir.Write("jracode/codetable.CSV", Line("2001,05,x2,x3," + std::string(kTokyo) + ",x5,tokyo,x7"));
    const CodeTable table = CodeTable::Load();
    EXPECT_TRUE(table.FileFound());
    EXPECT_EQ(table.LookupCode("2001", "05", 4), "東京");
    EXPECT_FALSE(dir.Exists("ERRORLOG.txt"));
}

TEST(CodeTable, AMissingFileGivesAnEmptyTableAndIsLogged) {
    testsupport::TempAppFolder dir;
    const CodeTable table = CodeTable::Load();
    EXPECT_FALSE(table.FileFound());
    EXPECT_EQ(table.RowCount(), 0);
    EXPECT_EQ(table.LookupCode("2001", "05", 4), "");
    EXPECT_NE(dir.Read("ERRORLOG.txt").find("[CodeTable]"), std::string::npos);
    EXPECT_FALSE(dir.Exists("JRACODE"));  // reading created nothing

    EXPECT_EQ(CodeTable().LookupCode("2001", "05", 4), "");
}

// A table there but not read whole cannot name every code it is asked for: empty, or a line cut
// short (fewer than eight fields, or inside a field). Each is logged with the file when loaded.
TEST(CodeTable, AFileThereButNotReadWholeIsDamaged) {
    const std::string tokyo = "\"2001\",\"05\",\"x\",\"x\",\"" + std::string(kTokyo) + "\",\"x\",\"tokyo\",\"x\"";
    const std::string other = Line("2001,01,a2,a3,SAPPORO,a5,a6,a7");
    struct Case {
        const char* name;
        std::string file;
        bool damaged;
        const char* logged;  // "" for nothing
    };
    const Case cases[] = {
        {"whole", Line(tokyo) + other, false, ""},
        {"more than eight fields", Line(tokyo + ",extra") + other, false, ""},
        {"empty", "", true, "holds no row"},
        {"blank lines only", Line("") + Line("  "), true, "holds no row"},
        {"a line cut after a field", Line(tokyo.substr(0, 12)) + other, true, "CodeTable.csv line 1 holds fewer than 8 fields"},
        {"the last line cut after a field", other + tokyo.substr(0, 16), true, "CodeTable.csv line 2 holds fewer than 8 fields"},
        {"a line cut inside a field", Line(tokyo.substr(0, 21)) + other, true, "CodeTable.csv line 1:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempAppFolder dir;
        dir.Write("JRACODE/CodeTable.csv", c.file);
        const CodeTable table = CodeTable::Load();
        EXPECT_TRUE(table.FileFound());
        EXPECT_EQ(table.Damaged(), c.damaged);
        if (*c.logged) EXPECT_NE(dir.Read("ERRORLOG.txt").find(c.logged), std::string::npos) << dir.Read("ERRORLOG.txt");
        else EXPECT_FALSE(dir.Exists("ERRORLOG.txt"));
    }
    EXPECT_FALSE(CodeTable().Damaged());  // a missing file is told as missing, not as damaged
}

TEST(CodeTable, RowsPastTheTableAreLoggedWhenLoaded) {
    testsupport::TempAppFolder dir;
    std::string file;
    for (int r = 0; r < 503; ++r) file += Line("1," + std::to_string(r) + ",,,,,,");
    dir.Write("JRACODE/CodeTable.csv", file);
    EXPECT_EQ(CodeTable::Load().RowsDropped(), 2);
    EXPECT_NE(dir.Read("ERRORLOG.txt").find("2 lines after row 501"), std::string::npos);
}

}  // namespace
