#include "acquisition/odds_tables.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>
#include <memory>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/numbers.h"
#include "common/text_file.h"
#include "odds_fixtures.h"
#include "records/odds.h"
#include "support/temp_folder.h"

namespace acquisition {
namespace {

using namespace oddstest;

const std::string kRaceA = RaceId("1213", "05", 11);  // key 202612130511
const std::string kRaceB = RaceId("1213", "05", 12);  // key 202612130512

std::vector<std::string> Lines(const std::string& content) { return common::SplitLines(content); }

std::string TablePath(std::string_view raceId, std::string_view suffix) {
    return "KAIME/" + Key12(raceId) + std::string(suffix);
}

// Every line of a table file, checked for its count and its CR LF endings.
std::vector<std::string> TableLines(const testsupport::TempAppFolder& folder, std::string_view raceId,
                                    std::string_view suffix, std::size_t expectedLines) {
    const std::string content = folder.Read(TablePath(raceId, suffix));
    std::size_t crlf = 0;
    for (std::size_t at = content.find("\r\n"); at != std::string::npos; at = content.find("\r\n", at + 2)) ++crlf;
    EXPECT_EQ(crlf, expectedLines) << suffix;
    EXPECT_TRUE(content.ends_with("\r\n")) << suffix;
    return Lines(content);
}

TEST(OddsTables, TrifectaExampleLandsOnLine402) {
    testsupport::TempAppFolder folder;
    std::string o6 = OddsRecord(kO6, kRaceA);
    PutEntry(o6, kO6, 0, "010203", "0001234");
    folder.Write("O6THISWEEKN.dat", o6);

    const OddsTablesResult result = BuildOddsTables(kOddsSourceThisWeek);
    EXPECT_EQ(result.written, 1);
    const auto lines = TableLines(folder, kRaceA, "SANRENTANODDS.dat", 6859);
    ASSERT_EQ(lines.size(), 6859u);
    EXPECT_EQ(lines[402], "123.4");
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (i != 402) {
            ASSERT_EQ(lines[i], "0") << "line " << i;
        }
    EXPECT_FALSE(folder.Exists("KAIME/" + Key12(kRaceA) + "SANRENTANODDS.dat.partial"));
}

// Every kind, full-length records: each entry's value lands on the line its Kumi names, the
// last entries included, and the file has the table's size.
TEST(OddsTables, EveryEntryOfFullRecordsOfEachKind) {
    struct Case {
        Shape shape;
        std::string_view file;
        std::string_view suffix;
        std::size_t lines;
        bool ordered;
    };
    const Case cases[] = {
        {kO6, "O6THISWEEKN.dat", "SANRENTANODDS.dat", 6859, true},
        {kO5, "O5THISWEEKN.dat", "SANRENODDS.dat", 6859, false},
        {kO4, "O4THISWEEKN.dat", "UMATANODDS.dat", 361, true},
        {kO2, "O2THISWEEKN.dat", "UMARENODDS.dat", 361, false},
    };
    testsupport::TempAppFolder folder;
    for (const Case& c : cases) folder.Write(c.file, FullOddsRecord(c.shape, kRaceA));

    EXPECT_EQ(BuildOddsTables(kOddsSourceThisWeek).written, 4);

    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.suffix));
        const auto lines = TableLines(folder, kRaceA, c.suffix, c.lines);
        ASSERT_EQ(lines.size(), c.lines);
        const auto combos = Combinations(c.shape.kumi == 6 ? 3 : 2, c.ordered);
        std::vector<bool> listed(c.lines, false);
        for (std::size_t i = 0; i < combos.size(); ++i) {
            const auto& h = combos[i];
            const std::size_t line = h.size() == 3 ? h[0] * 361 + h[1] * 19 + h[2] : h[0] * 19 + h[1];
            listed[line] = true;
            ASSERT_EQ(lines[line], std::to_string(i + 1)) << "entry " << i;
        }
        std::size_t empty = 0;
        for (std::size_t line = 0; line < c.lines; ++line)
            if (!listed[line]) {
                ASSERT_EQ(lines[line], "0") << "line " << line;
                ++empty;
            }
        EXPECT_EQ(empty, c.lines - c.shape.entries);
    }
}

// The odds field's meanings, through an O2 (6 wide) and an O6 (7 wide) entry.
TEST(OddsTables, OddsFieldTexts) {
    struct Case {
        std::string_view o2;  // 6 wide
        std::string_view o2Text;
        std::string_view o6;  // 7 wide
        std::string_view o6Text;
    };
    const Case cases[] = {
        {"000123", "12.3", "0000123", "12.3"},    {"012345", "1234.5", "0012345", "1234.5"},
        {"999999", "99999.9", "9999999", "999999.9"}, {"000000", "0", "0000000", "0"},
        {"------", "0", "-------", "0"},          {"******", "0", "*******", "0"},
        {"      ", "0", "       ", "0"},          {"000010", "1", "0000010", "1"},
        {"  0123", "12.3", "   0123", "12.3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.o6));
        testsupport::TempAppFolder folder;
        std::string o2 = OddsRecord(kO2, kRaceA);
        PutEntry(o2, kO2, 0, "0311", c.o2);
        std::string o6 = OddsRecord(kO6, kRaceA);
        PutEntry(o6, kO6, 4895, "181716", c.o6);
        folder.Write("O2THISWEEKN.dat", o2);
        folder.Write("O6THISWEEKN.dat", o6);
        BuildOddsTables(kOddsSourceThisWeek);

        const auto pair = Lines(folder.Read(TablePath(kRaceA, "UMARENODDS.dat")));
        const auto triple = Lines(folder.Read(TablePath(kRaceA, "SANRENTANODDS.dat")));
        ASSERT_EQ(pair.size(), 361u);
        ASSERT_EQ(triple.size(), 6859u);
        EXPECT_EQ(pair[3 * 19 + 11], c.o2Text);
        EXPECT_EQ(triple[18 * 361 + 17 * 19 + 16], c.o6Text);
    }
}

// Cells are read from the fields without the lenient reading where the fields are digits: every
// cell must hold what the odds reading of its field gives (0 where it gives none), for fields of
// every shape, and the build writes the text of those values; tables of any values are written as
// their number texts, the longest among them.
TEST(OddsTables, CellsAreTheOddsReadingOfTheirFields) {
    const std::string_view fields[] = {"0000123", "9999999", "0000000", "0000001", "1234567", "-------", "*******",
                                       "       ", "   0123", "0123   ", "+000123", "-000123", "00012.5", "1e00003",
                                       "00/0123", "00:0123", "0000 12", "\x82\x4f" "00123", "0000010", " -00010"};
    std::string o6 = OddsRecord(kO6, kRaceA);
    std::string o2 = OddsRecord(kO2, kRaceA);
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        const int c = static_cast<int>(i) % 16 + 3;
        PutEntry(o6, kO6, i, "01" + Digits(static_cast<long>(i) / 16 + 1, 2) + Digits(c, 2), fields[i]);
        PutEntry(o2, kO2, i, "01" + Digits(c, 2), fields[i].substr(1));
    }
    TripleTable triple{};
    PairTable pair{};
    EXPECT_EQ(FillTripleTable(OddsKind::O6, o6, triple), static_cast<int>(std::size(fields)));
    // Kumi 0103 to 0118 come twice: the later entry is the cell.
    EXPECT_EQ(FillPairTable(OddsKind::O2, o2, pair), static_cast<int>(std::size(fields)));
    const auto expected = [](std::string_view field) {
        const float value = static_cast<float>(records::OddsValue(field));
        return value > 0 ? value : 0.0f;
    };
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        SCOPED_TRACE(std::string(fields[i]));
        const int c = static_cast<int>(i) % 16 + 3;
        EXPECT_EQ(triple[static_cast<std::size_t>(TripleLine(1, static_cast<int>(i) / 16 + 1, c))], expected(fields[i]));
        if (i >= 16) {
            EXPECT_EQ(pair[static_cast<std::size_t>(PairLine(1, c))], expected(fields[i].substr(1)));
        }
    }
    // The build writes these very tables, read from the same fields.
    testsupport::TempAppFolder folder;
    folder.Write("O6THISWEEKN.dat", o6);
    folder.Write("O2THISWEEKN.dat", o2);
    BuildOddsTables(kOddsSourceThisWeek);
    EXPECT_EQ(folder.Read(TablePath(kRaceA, "SANRENTANODDS.dat")), TripleTableText(triple));
    EXPECT_EQ(folder.Read(TablePath(kRaceA, "UMARENODDS.dat")), PairTableText(pair));

    pair.fill(0.0f);
    const float odd[] = {-std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::lowest(), 12.3f,
                         0.05f, -0.0f, std::numeric_limits<float>::quiet_NaN(), 1e-30f};
    for (std::size_t i = 0; i < pair.size(); ++i) pair[i] = odd[(i / 2) % std::size(odd)];
    const auto lines = Lines(PairTableText(pair));
    ASSERT_EQ(lines.size(), pair.size());
    for (std::size_t i = 0; i < pair.size(); ++i) ASSERT_EQ(lines[i], common::SingleText(pair[i])) << i;
}

// Kumi that cannot name a cell of the table are passed over; the other entries of the record
// still count, and nothing lands outside the table.
TEST(OddsTables, KumiOutsideTheTableIsPassedOver) {
    testsupport::TempAppFolder folder;
    std::string o4 = OddsRecord(kO4, kRaceA);
    PutEntry(o4, kO4, 0, "0119", "000500");  // horse 19
    PutEntry(o4, kO4, 1, "99 1", "000600");  // not digits
    PutEntry(o4, kO4, 2, "0 12", "000700");  // a blank in a pair
    PutEntry(o4, kO4, 3, "1801", "000800");  // the last horse: kept
    PutEntry(o4, kO4, 4, "0000", "000900");  // index 0 is in the table
    std::string o5 = OddsRecord(kO5, kRaceA);
    PutEntry(o5, kO5, 0, "010220", "000100");
    PutEntry(o5, kO5, 1, "01-203", "000200");
    PutEntry(o5, kO5, 2, "010203", "000300");
    folder.Write("O4THISWEEKN.dat", o4);
    folder.Write("O5THISWEEKN.dat", o5);

    BuildOddsTables(kOddsSourceThisWeek);
    const auto pair = Lines(folder.Read(TablePath(kRaceA, "UMATANODDS.dat")));
    ASSERT_EQ(pair.size(), 361u);
    std::vector<std::string> expected(361, "0");
    expected[18 * 19 + 1] = "80";
    expected[0] = "90";
    EXPECT_EQ(pair, expected);

    const auto triple = Lines(folder.Read(TablePath(kRaceA, "SANRENODDS.dat")));
    ASSERT_EQ(triple.size(), 6859u);
    std::vector<std::string> expectedTriple(6859, "0");
    expectedTriple[1 * 361 + 2 * 19 + 3] = "30";
    EXPECT_EQ(triple, expectedTriple);
}

// Each race's table starts empty: a race that does not list a combination shows no odds there,
// whatever the race before it had; and a race that comes twice keeps its later delivery.
TEST(OddsTables, RacesDoNotShareCellsAndLaterLinesWin) {
    testsupport::TempAppFolder folder;
    std::string a1 = OddsRecord(kO2, kRaceA);
    PutEntry(a1, kO2, 0, "0102", "000110");
    PutEntry(a1, kO2, 1, "0103", "000120");
    std::string b = OddsRecord(kO2, kRaceB);
    PutEntry(b, kO2, 0, "0104", "000210");
    std::string a2 = OddsRecord(kO2, kRaceA);
    PutEntry(a2, kO2, 0, "0102", "000130");
    folder.Write("O2THISWEEKN.dat", a1 + b + a2);

    EXPECT_EQ(BuildOddsTables(kOddsSourceThisWeek).written, 2);
    const auto tableA = Lines(folder.Read(TablePath(kRaceA, "UMARENODDS.dat")));
    const auto tableB = Lines(folder.Read(TablePath(kRaceB, "UMARENODDS.dat")));
    ASSERT_EQ(tableA.size(), 361u);
    ASSERT_EQ(tableB.size(), 361u);
    EXPECT_EQ(tableA[1 * 19 + 2], "13");
    EXPECT_EQ(tableA[1 * 19 + 3], "0");  // only in the earlier delivery
    EXPECT_EQ(tableA[1 * 19 + 4], "0");  // race B's
    EXPECT_EQ(tableB[1 * 19 + 4], "21");
    EXPECT_EQ(tableB[1 * 19 + 2], "0");  // race A's
    EXPECT_EQ(tableB[1 * 19 + 3], "0");
}

// A week of many races, more than are made ahead at once on any machine: each race's file is the
// text of the table filled from its own line, whichever thread made it, and a race whose line holds
// no odds amid them keeps its table and is logged once.
TEST(OddsTables, EveryRaceOfManyGetsTheTableOfItsOwnLine) {
    testsupport::TempAppFolder folder;
    struct Race {
        std::string id;
        std::string line;
    };
    std::vector<Race> races;
    std::string source;
    const int keptRace = 17;
    for (int r = 0; r < 40; ++r) {
        const std::string id = RaceId("1213", Digits(r / 10 + 1, 2), r % 10 + 1);
        std::string line = OddsRecord(kO6, id);
        if (r != keptRace) {
            PutEntry(line, kO6, 0, Kumi({1, 2, 3}), Digits(1000 + r, 7));
            PutEntry(line, kO6, 1, Kumi({r % 16 + 3, 2, 1}), Digits(50000 + 7 * r, 7));
        }
        source += line;
        races.push_back({id, line});
    }
    folder.Write("O6THISWEEKN.dat", source);
    std::string oldTable;
    for (int i = 0; i < kTripleCells; ++i) oldTable += i == TripleLine(4, 5, 6) ? "77.7\r\n" : "0\r\n";
    folder.Write(TablePath(races[keptRace].id, "SANRENTANODDS.dat"), oldTable);

    const OddsTablesResult result = BuildOddsTables(kOddsSourceThisWeek);

    EXPECT_EQ(result.written, 39);
    EXPECT_EQ(result.passedOver, 1);
    auto table = std::make_unique<TripleTable>();
    for (int r = 0; r < 40; ++r) {
        SCOPED_TRACE(r);
        const std::string written = folder.Read(TablePath(races[static_cast<std::size_t>(r)].id, "SANRENTANODDS.dat"));
        if (r == keptRace) {
            EXPECT_EQ(written, oldTable);
            continue;
        }
        FillTripleTable(OddsKind::O6, races[static_cast<std::size_t>(r)].line, *table);
        EXPECT_EQ(written, TripleTableText(*table));
        EXPECT_EQ(Lines(written)[TripleLine(1, 2, 3)], common::SingleText(static_cast<float>(1000 + r) / 10.0f));
    }
    const std::string log = folder.Read("ERRORLOG.txt");
    const std::string keptLine = "the O6 line of race " + Key12(races[keptRace].id) + " holds no odds";
    EXPECT_NE(log.find(keptLine), std::string::npos);
    EXPECT_EQ(log.find(keptLine), log.rfind(keptLine));
}

// OddsSource picks the files; a kind without a source file writes nothing and leaves the tables
// of earlier builds; a race the breaking files do not hold keeps its older tables.
TEST(OddsTables, SourceChoosesTheFilesAndMissingOnesLeaveOldTables) {
    testsupport::TempAppFolder folder;
    std::string week = OddsRecord(kO2, kRaceA);
    PutEntry(week, kO2, 0, "0102", "000110");
    std::string breaking = OddsRecord(kO2, kRaceA);
    PutEntry(breaking, kO2, 0, "0102", "000990");
    folder.Write("O2THISWEEKN.dat", week);
    folder.Write("O2RIALTIME.dat", breaking);
    folder.Write(TablePath(kRaceB, "UMARENODDS.dat"), "old\r\n");
    folder.Write(TablePath(kRaceA, "SANRENODDS.dat"), "old trio\r\n");

    EXPECT_EQ(BuildOddsTables(kOddsSourceBreaking).written, 1);
    EXPECT_EQ(Lines(folder.Read(TablePath(kRaceA, "UMARENODDS.dat")))[21], "99");
    EXPECT_EQ(BuildOddsTables(kOddsSourceThisWeek).written, 1);
    EXPECT_EQ(Lines(folder.Read(TablePath(kRaceA, "UMARENODDS.dat")))[21], "11");

    EXPECT_EQ(folder.Read(TablePath(kRaceB, "UMARENODDS.dat")), "old\r\n");
    EXPECT_EQ(folder.Read(TablePath(kRaceA, "SANRENODDS.dat")), "old trio\r\n");
    EXPECT_FALSE(folder.Exists(TablePath(kRaceA, "SANRENTANODDS.dat")));
}

// A line whose race key is not digits names no file (it could name one outside KAIME); it is
// passed over and logged, and the next line still builds.
TEST(OddsTables, LineWithoutADigitRaceKeyBuildsNoFile) {
    testsupport::TempAppFolder folder;
    std::string bad = OddsRecord(kO2, "2026/../../x0102");
    PutEntry(bad, kO2, 0, "0102", "000110");
    std::string foreign = OddsRecord(kO2, kRaceB);
    foreign.replace(0, 2, "O4");  // of the quinella's length, but an exacta's tag
    std::string good = OddsRecord(kO2, kRaceA);
    PutEntry(good, kO2, 0, "0102", "000120");
    folder.Write("O2THISWEEKN.dat", bad + foreign + good);

    const OddsTablesResult result = BuildOddsTables(kOddsSourceThisWeek);
    EXPECT_EQ(result.written, 1);
    EXPECT_EQ(result.passedOver, 1);
    EXPECT_EQ(result.recordsPassedOver, 1);
    EXPECT_EQ(Lines(folder.Read(TablePath(kRaceA, "UMARENODDS.dat")))[21], "12");
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.Path()))
        if (entry.is_regular_file()) ++files;
    EXPECT_EQ(files, 3u);  // the source, the one table, ERRORLOG.txt
    EXPECT_NE(folder.Read("ERRORLOG.txt").find("BuildOddsTables"), std::string::npos);
    EXPECT_EQ(OddsTablesEndText(kOddsSourceThisWeek, result),
              "今週のオッズ処理終了（3連単オッズがありません、3連複オッズがありません、馬単オッズがありません、"
              "処理できなかったオッズ 1 件、読み飛ばした壊れたレコード 1 件。ERRORLOG.txtを確認して下さい。）");
}

// Each line of a line file is a record of its kind's length. A file cut inside a record, bytes
// added at its end, a line without its CR LF (LF line ends, a short line): each is logged with the
// file and told, the whole records before the damage make their tables, and nothing after a shift
// is read. A table the damage hides stays as an earlier build left it.
TEST(OddsTables, DamagedLineFilesAreToldAndOnlyWholeRecordsMakeTables) {
    const std::vector<std::string> ids = {kRaceA, kRaceB, RaceId("1213", "05", 1)};
    std::vector<std::string> races;  // one O2 record of each
    for (const std::string& id : ids) {
        races.push_back(OddsRecord(kO2, id));
        PutEntry(races.back(), kO2, 0, "0102", "000120");
    }
    const std::string lf = [&] {
        std::string out;
        for (const std::string& r : races) out += r.substr(0, r.size() - 2) + "\n";
        return out;
    }();
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<int> tables;  // the races given tables
        std::string logged;       // after the file's path
    };
    const std::vector<Case> cases = {
        {"cut inside the third record", races[0] + races[1] + races[2].substr(0, 1000), {0, 1},
         ": 1000 bytes after record 2 are not a whole record (the file is cut or has bytes added): not read"},
        {"bytes added", races[0] + races[1] + races[2] + "junk", {0, 1, 2},
         ": 4 bytes after record 3 are not a whole record (the file is cut or has bytes added): not read"},
        {"a short line in the middle", races[0] + "O2\r\n" + races[1] + races[2], {0},
         " record 2: no CR LF at its end (byte 2041); the records after it are shifted"},
        {"LF line ends", lf, {}, " record 1: no CR LF at its end (byte 2041); the records after it are shifted"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempAppFolder folder;
        folder.Write("O2THISWEEKN.dat", c.bytes);
        const std::string earlier = TablePath(ids[2], "UMARENODDS.dat");
        folder.Write(earlier, "an earlier build's table");

        const OddsTablesResult result = BuildOddsTables(kOddsSourceThisWeek);

        std::vector<int> tables;
        for (int r = 0; r < 3; ++r) {
            const std::string table = folder.Read(TablePath(ids[static_cast<std::size_t>(r)], "UMARENODDS.dat"));
            if (table.empty() || table == "an earlier build's table") continue;
            tables.push_back(r);
            EXPECT_EQ(Lines(table)[21], "12");
        }
        EXPECT_EQ(tables, c.tables);
        if (c.tables.size() < 3) {
            EXPECT_EQ(folder.Read(earlier), "an earlier build's table");
        }
        EXPECT_EQ(result.written, static_cast<int>(c.tables.size()));
        EXPECT_GT(result.recordsPassedOver, 0);
        EXPECT_NE(folder.Read("ERRORLOG.txt").find("[BuildOddsTables] " + (folder / "O2THISWEEKN.dat").string() + c.logged),
                  std::string::npos)
            << folder.Read("ERRORLOG.txt");
        EXPECT_NE(OddsTablesEndText(kOddsSourceThisWeek, result).find("読み飛ばした壊れたレコード"), std::string::npos);
        EXPECT_TRUE(std::find(result.missingKinds.begin(), result.missingKinds.end(), OddsKind::O2) == result.missingKinds.end());
    }
}

// A build with no source line at all had nothing to work on (the odds were not fetched): the
// four files are named and the end text says so. With some of the four, each missing kind is
// named as well (see EachMissingOrEmptyKindIsNamed).
TEST(OddsTables, NoSourceLineAtAllIsNamedAndTold) {
    struct Case {
        std::string name;
        std::int16_t source;
        std::vector<std::string> present;  // source files written, each with the line below
        std::string line;
        std::string endText;
        std::string logged;  // how each of the four is named
    };
    const std::vector<Case> cases = {
        {"this week's, none fetched", kOddsSourceThisWeek, {}, "",
         "今週のオッズ処理終了（入力ファイルがありません。先に今週オッズ取得を実行して下さい。ERRORLOG.txtを確認して下さい。）", " is missing"},
        {"breaking, emptied but never filled", kOddsSourceBreaking,
         {"O6RIALTIME.dat", "O5RIALTIME.dat", "O4RIALTIME.dat", "O2RIALTIME.dat"}, "",
         "速報オッズ処理終了（入力ファイルがありません。先にⅡ速報オッズ情報を実行して下さい。ERRORLOG.txtを確認して下さい。）", " holds nothing to work on"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempAppFolder folder;
        for (const std::string& name : c.present) folder.Write(name, c.line);

        const OddsTablesResult result = BuildOddsTables(c.source);

        EXPECT_EQ(OddsTablesEndText(c.source, result), c.endText);
        const std::string log = folder.Read("ERRORLOG.txt");
        const std::string stem = c.source == kOddsSourceBreaking ? "RIALTIME.dat" : "THISWEEKN.dat";
        for (const char* kind : {"O6", "O5", "O4", "O2"})
            EXPECT_NE(log.find("[BuildOddsTables] " + std::string(kind) + stem + c.logged), std::string::npos) << kind;
        EXPECT_EQ(result.written, 0);
    }
}

// Each kind's source file missing or empty, the other three holding a race's odds: the kind is
// named in the log and in the end text, its table of an earlier build stays, and the other
// kinds are built. Every combination of source, kind and fault.
TEST(OddsTables, EachMissingOrEmptyKindIsNamed) {
    struct Kind {
        OddsKind kind;
        Shape shape;
        std::string_view suffix;
        std::string_view name;
    };
    const Kind kinds[] = {
        {OddsKind::O6, kO6, "SANRENTANODDS.dat", "3連単"},
        {OddsKind::O5, kO5, "SANRENODDS.dat", "3連複"},
        {OddsKind::O4, kO4, "UMATANODDS.dat", "馬単"},
        {OddsKind::O2, kO2, "UMARENODDS.dat", "馬連"},
    };
    for (std::int16_t source : {kOddsSourceThisWeek, kOddsSourceBreaking}) {
        const OddsStem stem = source == kOddsSourceBreaking ? OddsStem::Realtime : OddsStem::ThisWeek;
        const std::string end = source == kOddsSourceBreaking ? "速報オッズ処理終了" : "今週のオッズ処理終了";
        for (const Kind& missing : kinds) {
            for (const bool empty : {false, true}) {
                const std::string file = OddsLineFileName(missing.kind, stem);
                SCOPED_TRACE(file + (empty ? " empty" : " missing"));
                testsupport::TempAppFolder folder;
                for (const Kind& k : kinds)
                    if (k.kind != missing.kind) folder.Write(OddsLineFileName(k.kind, stem), FullOddsRecord(k.shape, kRaceA));
                if (empty) folder.Write(file, "");
                folder.Write(TablePath(kRaceA, missing.suffix), "12.3\r\n");

                const OddsTablesResult result = BuildOddsTables(source);

                EXPECT_EQ(result.written, 3);
                EXPECT_EQ(OddsTablesEndText(source, result),
                          end + "（" + std::string(missing.name) + "オッズがありません。ERRORLOG.txtを確認して下さい。）");
                EXPECT_NE(folder.Read("ERRORLOG.txt")
                              .find("[BuildOddsTables] " + file + (empty ? " holds nothing to work on" : " is missing")),
                          std::string::npos)
                    << folder.Read("ERRORLOG.txt");
                EXPECT_EQ(folder.Read(TablePath(kRaceA, missing.suffix)), "12.3\r\n");
            }
        }
    }
    // All four there: the plain end text, nothing logged.
    testsupport::TempAppFolder folder;
    for (const Kind& k : kinds) folder.Write(OddsLineFileName(k.kind, OddsStem::ThisWeek), FullOddsRecord(k.shape, kRaceA));
    const OddsTablesResult result = BuildOddsTables(kOddsSourceThisWeek);
    EXPECT_EQ(OddsTablesEndText(kOddsSourceThisWeek, result), "今週のオッズ処理終了");
    EXPECT_FALSE(folder.Exists("ERRORLOG.txt"));
}

// A race's line that holds no odds (a blank record, or one cut short when the odds file was
// damaged) never replaces a table that holds odds with an empty one: the table stays, the line
// is logged and counted. Where there is no table yet, or only an empty one, the empty table is
// written as before.
TEST(OddsTables, ALineWithoutOddsKeepsATableThatHoldsSome) {
    struct Case {
        std::string name;
        std::string line;    // the race's line in O2THISWEEKN.dat, CR LF included
        std::string before;  // its table before the build ("" for none)
        bool kept;
        bool damaged = false;  // no whole record: told as damaged rather than as a line without odds
    };
    std::string full = OddsRecord(kO2, kRaceA);
    PutEntry(full, kO2, 0, "0102", "000110");
    const std::string blank = OddsRecord(kO2, kRaceA);
    const std::string cut = full.substr(0, 40) + "\r\n";  // the race key and no entry
    const std::string filled = [] {
        std::string t;
        for (int i = 0; i < 361; ++i) t += i == 21 ? "55\r\n" : "0\r\n";
        return t;
    }();
    std::string emptyTable;
    for (int i = 0; i < 361; ++i) emptyTable += "0\r\n";
    const std::vector<Case> cases = {
        {"blank record over odds", blank, filled, true},
        {"cut-short record over odds", cut, filled, true, true},
        {"blank record, no table yet", blank, "", false},
        {"blank record over an empty table", blank, emptyTable, false},
        {"odds over odds", full, filled, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempAppFolder folder;
        folder.Write("O2THISWEEKN.dat", c.line);
        if (!c.before.empty()) folder.Write(TablePath(kRaceA, "UMARENODDS.dat"), c.before);

        const OddsTablesResult result = BuildOddsTables(kOddsSourceThisWeek);

        const auto table = Lines(folder.Read(TablePath(kRaceA, "UMARENODDS.dat")));
        ASSERT_EQ(table.size(), 361u);
        EXPECT_EQ(table[21], c.kept ? "55" : c.line == full ? "11" : "0");
        EXPECT_EQ(result.written, c.kept ? 0 : 1);
        EXPECT_EQ(result.passedOver, c.kept && !c.damaged ? 1 : 0);
        EXPECT_EQ(result.recordsPassedOver, c.damaged ? 1 : 0);
        EXPECT_EQ(folder.Read("ERRORLOG.txt").find("the O2 line of race " + Key12(kRaceA) + " holds no odds") !=
                      std::string::npos,
                  c.kept && !c.damaged);
    }
}

}  // namespace
}  // namespace acquisition
