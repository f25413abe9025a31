#include "history/past_runs.h"

#include <filesystem>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/paths.h"
#include "support/record_bytes.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using testsupport::FloatBytes;
using testsupport::Put;

constexpr std::size_t kExLength = 2603;
constexpr std::string_view kTokyo = "\x93\x8c\x8b\x9e";    // 東京
constexpr std::string_view kSaturday = "\x93\x79\x97\x6a";  // 土曜
constexpr std::string_view kTesuto = "\x83\x65\x83\x58\x83\x67";  // テスト

// The code table with one course and one day of the week (Shift-JIS).
std::string CodeTableBytes() {
    return "2001,05,,," + std::string(kTokyo) + ",,,\r\n2002,6,,," + std::string(kSaturday) + ",,,\r\n";
}

TEST(PastRunsFileName, OnlyTheEndOfANameCellNamesAFile) {
    struct Case {
        std::string selected;
        std::string name;  // "" for none
    };
    const std::string horse = "テスト         ";
    const std::vector<Case> cases = {
        {horse + "2019104321EX.dat", "2019104321EX.dat"},
        {"2019104321EX.dat", "2019104321EX.dat"},
        {"1.35.40", ""},                      // a time
        {"騎A・調B・父父C・母父D・生E", ""},  // the grades
        {"", ""},
        {horse + "201910432XEX.dat", ""},  // not ten digits
        {horse + "2019104321EX.txt", ""},
        {horse + "2019104321ex.dat", ""},
        {"../../etc/passwdEX.dat", ""},
        {"..\\..\\..\\xEX.dat", ""},
        {"./../../xxEX.dat", ""},
        {"019104321EX.dat", ""},              // fifteen characters
        {"名前名前名前名前名前EX.dat", ""},  // sixteen characters, no digits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.selected);
        const auto name = history::PastRunsFileName(c.selected);
        EXPECT_EQ(name.value_or(""), c.name);
    }
}

// A cell text of a runner's name cell.
std::string NameCell(std::string_view kettoNum) { return "テスト            " + std::string(kettoNum) + "EX.dat"; }

// Distinct text of `width` characters for the field of a row.
std::string FieldFill(int row, std::size_t width) {
    static const std::string kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string text;
    for (std::size_t i = 0; i < width; ++i) text += kAlphabet[(static_cast<std::size_t>(row) * 7 + i) % kAlphabet.size()];
    return text;
}

// Rows that show one field's stored text, with the field's position and width in the record.
struct StoredRow {
    int row;
    std::size_t at, width;
};

std::vector<StoredRow> StoredRows() {
    std::vector<StoredRow> rows = {
        {1, 1, 2},       {2, 3, 1},       {3, 4, 8},       {7, 789, 36},    {8, 207, 8},     {9, 215, 20},
        {10, 235, 8},    {11, 315, 20},   {12, 335, 10},   {13, 381, 4},    {14, 385, 20},   {15, 405, 10},
        {16, 415, 4},    {17, 419, 20},   {18, 509, 10},   {19, 555, 4},    {20, 559, 20},   {21, 826, 2},
        {22, 828, 1},    {23, 829, 1},    {24, 830, 2},    {25, 832, 1},    {26, 833, 5},    {27, 846, 6},
        {28, 916, 60},   {29, 976, 3},    {30, 979, 3},    {31, 982, 1},    {33, 984, 5},    {34, 1024, 8},
        {35, 989, 8},    {36, 997, 1},    {37, 1018, 1},   {38, 998, 20},   {39, 1019, 5},   {40, 1032, 8},
        {41, 1040, 1},   {42, 1041, 1},   {43, 1042, 3},   {44, 1045, 1},   {45, 1046, 3},   {46, 1049, 1},
        {48, 1052, 2},   {49, 1054, 1},   {50, 1055, 1},   {51, 1056, 4},   {52, 1060, 3},   {53, 1063, 3},
        {54, 1066, 3},   {55, 1069, 2},   {56, 1071, 2},   {57, 1073, 2},   {58, 1075, 2},   {59, 1077, 4},
        {60, 1081, 2},   {61, 1083, 8},   {62, 1091, 8},   {63, 1099, 3},   {64, 1102, 3},   {65, 1105, 3},
        {66, 1108, 3},   {67, 1115, 1},   {68, 1116, 1},   {69, 1117, 2},   {70, 1119, 3},   {71, 1122, 1},
        {77, 1138, 4},   {78, 1142, 4},   {79, 1146, 2},   {80, 1148, 2},   {81, 1150, 2},   {82, 1152, 2},
        {103, 1314, 4},  {104, 1318, 4},  {105, 1322, 2},  {106, 1324, 2},  {107, 1326, 2},  {108, 1328, 1},
        {109, 1329, 1},  {110, 1330, 1},  {112, 1406, 4},  {113, 1413, 3},  {114, 1410, 3},  {115, 1419, 3},
        {116, 1416, 3},  {121, 41, 2},    {133, 243, 72},  {134, 838, 8},   {135, 345, 36},  {136, 519, 36},
        {137, 54, 6},    {138, 60, 40},   {139, 100, 80},  {141, 197, 10},
    };
    for (int i = 0; i < 5; ++i) rows.push_back({72 + i, 1123 + 3 * static_cast<std::size_t>(i), 3});
    for (int i = 0; i < 7; ++i) rows.push_back({83 + i, 1154 + 8 * static_cast<std::size_t>(i), 8});
    for (int i = 0; i < 5; ++i) rows.push_back({90 + i, 1210 + 8 * static_cast<std::size_t>(i), 8});
    for (int i = 0; i < 5; ++i) rows.push_back({95 + i, 1250 + 8 * static_cast<std::size_t>(i), 8});
    for (int i = 0; i < 3; ++i) rows.push_back({100 + i, 1290 + 8 * static_cast<std::size_t>(i), 8});
    for (int i = 0; i < 4; ++i) rows.push_back({117 + i, 1422 + 72 * static_cast<std::size_t>(i), 72});
    for (int i = 0; i < 11; ++i) rows.push_back({122 + i, 1710 + 7 * static_cast<std::size_t>(i), 7});
    return rows;
}

// Rows whose cell joins fields or names a code, with the bytes they are made from.
struct JoinedRow {
    int row;
    std::vector<std::pair<std::size_t, std::string>> fields;  // position, bytes
    std::string cell;
};

const std::vector<JoinedRow>& JoinedRows() {
    static const std::vector<JoinedRow> rows = {
        {4, {{12, "2024"}, {16, "0505"}}, "20240505"},
        {5, {{20, "05"}, {22, "02"}, {24, "04"}, {26, "11"}}, "東京020411"},
        {6, {{28, "3"}, {29, "07"}, {31, "2019104321"}}, "3072019104321"},
        {32, {{43, "6"}}, "土曜"},
        {47, {{1050, "03"}, {1111, "0005"}}, "03 0005"},
        // Only the first four lap times.
        {111, {{1331, "120"}, {1334, "115"}, {1337, "118"}, {1340, "121"}, {1343, "999"}}, "120-115-118-121-"},
        {140, {{196, "3"}, {180, "20200701"}, {188, "20200710"}}, "3 2020070120200710"},
    };
    return rows;
}

// Floats at their positions and the cells that show them.
struct FloatRow {
    int row;
    std::size_t at;
    float value;
    std::string cell;
};

const std::vector<FloatRow>& FloatRows() {
    static const std::vector<FloatRow> rows = {
        {142, 2522, 57.1f, "57.0999"},  // 57.0999984...
        {143, 2526, -0.00005f, "-0.0001"},
        {144, 2530, 1234.56789f, "1234.568"},  // seven significant digits
        {145, 2534, 0.0f, "0"},
        {146, 2538, std::numeric_limits<float>::quiet_NaN(), ""},
        {147, 2542, std::numeric_limits<float>::infinity(), ""},
        {154, 2570, 12.5f, "12.5"},
        {155, 2574, 3.25f, "3.25"},  // not set by the engine, shown all the same
        {161, 2598, -7.0f, "-7"},
        {222, 2154, 0.12345f, "0.1234"},   // AgariFW 1
        {251, 2270, -2.0f, "-2"},          // AgariFW 30
        {252, 2278, -1.5f, "-1.5"},        // PaceFW 1
        {281, 2394, 61.25f, "61.25"},      // PaceFW 30
        {282, 2402, 2.0f, "2"},            // SohaFW 1
        {311, 2518, 100.00009f, "100"},    // SohaFW 30
    };
    return rows;
}

// Item labels and category numbers.
const std::vector<JoinedRow>& ItemRows() {
    static const std::vector<JoinedRow> rows = {
        {162, {{1850, "201905AB "}}, "201905AB "},  // F1
        {176, {{1928, "0123.4"}}, "0123.4"},        // F15
        {191, {{2022, "K30 "}}, "K30 "},            // F30
        {192, {{2026, "9999"}, {2030, "0012"}}, "0012"},  // FC1; index 0 is not shown
        {221, {{2146, "5999"}}, "5999"},            // FC30
    };
    return rows;
}

// One record with every shown field set: the stored rows to their own texts, the joined, float
// and item rows as in their tables. Unset bytes are zero bytes, as the builder leaves them.
std::string FullRecord() {
    std::string r(kExLength, '\0');
    for (const StoredRow& s : StoredRows()) Put(r, s.at, FieldFill(s.row, s.width));
    for (const auto* table : {&JoinedRows(), &ItemRows()})
        for (const JoinedRow& j : *table)
            for (const auto& [at, bytes] : j.fields) Put(r, at, bytes);
    for (const FloatRow& f : FloatRows()) Put(r, f.at, FloatBytes(f.value));
    Put(r, 1, "SE");
    Put(r, 2602, "\r\n");
    return r;
}

// A record of one run date and nothing else.
std::string DatedRecord(std::string_view yyyymmdd) {
    std::string r(kExLength, ' ');
    Put(r, 1, "SE");  // every expanded run begins with its run's tag and ends in CR LF
    Put(r, 12, yyyymmdd);
    Put(r, 2602, "\r\n");
    return r;
}

TEST(ListAllPastRuns, EveryRowOfARunFromItsPlaceInTheRecord) {
    testsupport::TempAppFolder dir;
    dir.Write("JRACODE/CodeTable.csv", CodeTableBytes());
    std::string older = DatedRecord("20231224");
    Put(older, 20, "99");  // a course without a name
    Put(older, 22, "010203");
    Put(older, 43, "9");  // a day without a name
    dir.Write("UMAGOTOEXTHISWEEKN/2019104321EX.dat", older + FullRecord());

    const history::PastRuns shown = history::ListAllPastRuns(NameCell("2019104321"));
    EXPECT_FALSE(shown.unreadable);
    const common::GridCells& grid = shown.EXFG1;
    ASSERT_EQ(grid.Rows(), 312);
    ASSERT_EQ(grid.Cols(), 3);
    EXPECT_EQ(grid.Text(0, 1), "前0走");
    EXPECT_EQ(grid.Text(0, 2), "前1走");

    // Row 1 is the record's tag, which every expanded run keeps as "SE".
    for (const StoredRow& s : StoredRows())
        EXPECT_EQ(grid.Text(s.row, 1), s.row == 1 ? "SE" : FieldFill(s.row, s.width)) << "row " << s.row;
    for (const auto* table : {&JoinedRows(), &ItemRows()})
        for (const JoinedRow& j : *table) EXPECT_EQ(grid.Text(j.row, 1), j.cell) << "row " << j.row;
    for (const FloatRow& f : FloatRows()) EXPECT_EQ(grid.Text(f.row, 1), f.cell) << "row " << f.row;
    // Floats the record leaves at zero bytes, and a name in Shift-JIS with its blanks.
    EXPECT_EQ(grid.Text(148, 1), "0");
    EXPECT_EQ(grid.Text(160, 1), "0");

    // The older run: names that the code table lacks are empty; zero bytes would read as blanks.
    EXPECT_EQ(grid.Text(4, 2), "20231224");
    EXPECT_EQ(grid.Text(5, 2), "010203");
    EXPECT_EQ(grid.Text(32, 2), "");
    EXPECT_EQ(grid.Text(7, 2), std::string(36, ' '));
    EXPECT_EQ(grid.Text(111, 2), "   -   -   -   -");

    for (int k = 1; k <= 2; ++k) {
        EXPECT_EQ(grid.ColWidth(k), 1500);
        EXPECT_EQ(grid.ColAlignment(k), common::flex_align::kLeftTop);
    }
    EXPECT_EQ(grid.ColWidth(0), 2000);
    EXPECT_EQ(grid.ColAlignment(0), common::flex_align::kNone);
}

TEST(ListAllPastRuns, ZeroBytesReadAsBlanksAndANameKeepsItsBlanks) {
    testsupport::TempAppFolder dir;
    dir.Write("JRACODE/CodeTable.csv", CodeTableBytes());
    std::string r(kExLength, '\0');
    Put(r, 1, "SE");
    Put(r, 2602, "\r\n");
    Put(r, 789, std::string(kTesuto) + std::string(30, ' '));
    dir.Write("UMAGOTOEXTHISWEEKN/2019104321EX.dat", r);

    const common::GridCells grid = history::ListAllPastRuns(NameCell("2019104321")).EXFG1;
    ASSERT_EQ(grid.Cols(), 2);
    EXPECT_EQ(grid.Text(7, 1), "テスト" + std::string(30, ' '));
    EXPECT_EQ(grid.Text(3, 1), std::string(8, ' '));
    EXPECT_EQ(grid.Text(47, 1), std::string(7, ' '));
    EXPECT_EQ(grid.Text(222, 1), "0");
}

TEST(ListAllPastRuns, CaptionsOfColumnZero) {
    testsupport::TempAppFolder dir;
    dir.Write("JRACODE/CodeTable.csv", CodeTableBytes());
    const common::GridCells grid = history::ListAllPastRuns(NameCell("2019104321")).EXFG1;
    ASSERT_EQ(grid.Cols(), 1);
    const std::vector<std::pair<int, std::string>> captions = {
        {0, ""},
        {1, "レコードスペック"},
        {5, "レース開催場所回日R"},
        {47, "入線順位　1着との秒差"},
        {63, "予備"},
        {64, "予備"},
        {88, "同着本賞金5着"},
        {89, "同着本賞金5着"},
        {111, "ハロン毎先頭馬タイム"},
        {121, "累計本賞金対数"},
        {132, "母父馬サンプル数"},
        {141, "市場取引価格"},
        {142, "上がり時速（単）"},
        {154, "100*(sps-spa)/(spp-spa)"},
        {155, ""},
        {161, ""},
        {162, "F1 年度"},
        {176, "F15 推定支持率（前前走）"},
        {191, "F30 馬主アーニング"},
        {192, "FC1 年度"},
        {221, "FC30 馬主アーニング"},
        {222, "AgariFW1 年度"},
        {246, "AgariFW25 生れ月"},
        {252, "PaceFW1 年度"},
        {281, "PaceFW30 馬主アーニング"},
        {282, "SohaFW1 年度"},
        {302, "SohaFW21 第何R"},
        {311, "SohaFW30 馬主アーニング"},
    };
    for (const auto& [row, caption] : captions) EXPECT_EQ(grid.Text(row, 0), caption) << "row " << row;
    std::set<int> uncaptioned;
    for (int row = 0; row < grid.Rows(); ++row)
        if (grid.Text(row, 0).empty()) uncaptioned.insert(row);
    EXPECT_EQ(uncaptioned, (std::set<int>{0, 155, 156, 157, 158, 159, 160, 161}));
}

// The run count is the whole records of the file; a torn end, or a file that is there but cannot
// be read, is logged and told.
TEST(ListAllPastRuns, WholeRecordsNewestFirst) {
    const std::vector<std::string> dates = {"20240106", "20240203", "20240302", "20240406"};
    struct Case {
        std::string name;
        double records;  // -1: missing, -2: a folder in its place, -3: a byte inserted after the first
        int runs;
        bool unreadable;
    };
    const std::vector<Case> cases = {
        {"three", 3, 3, false}, {"two and a half", 2.5, 2, true}, {"three and a half", 3.5, 3, true},
        {"empty", 0, 0, false}, {"missing", -1, 0, false},        {"a folder", -2, 0, true},
        // The runs after it are shifted: only the one before it is shown.
        {"a byte inserted", -3, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempAppFolder dir;
        dir.Write("JRACODE/CodeTable.csv", CodeTableBytes());
        const std::string file = "UMAGOTOEXTHISWEEKN/2019104321EX.dat";
        if (c.records == -2) {
            fs::create_directories(dir / file);
        } else if (c.records == -3) {
            std::string bytes;
            for (int i = 0; i < 4; ++i) bytes += DatedRecord(dates[static_cast<std::size_t>(i)]);
            bytes.insert(kExLength + 100, "x");
            dir.Write(file, bytes);
        } else if (c.records >= 0) {
            std::string bytes;
            for (int i = 0; i < 4; ++i) bytes += DatedRecord(dates[static_cast<std::size_t>(i)]);
            bytes.resize(static_cast<std::size_t>(c.records * kExLength));
            dir.Write(file, bytes);
        } else {
            fs::create_directories(dir / "UMAGOTOEXTHISWEEKN");
        }

        const history::PastRuns shown = history::ListAllPastRuns(NameCell("2019104321"));
        ASSERT_EQ(shown.EXFG1.Cols(), c.runs + 1);
        for (int k = 1; k <= c.runs; ++k) {
            EXPECT_EQ(shown.EXFG1.Text(0, k), "前" + std::to_string(k - 1) + "走");
            const int newest = c.records == -3 ? 1 : c.runs;  // the file's runs shown, newest first
            EXPECT_EQ(shown.EXFG1.Text(4, k), dates[static_cast<std::size_t>(newest - k)]);
        }
        EXPECT_EQ(shown.EXFG1.Text(7, 0), "馬名");
        EXPECT_EQ(shown.unreadable, c.unreadable);
        EXPECT_EQ(dir.Read("ERRORLOG.txt").find("ListAllPastRuns") != std::string::npos, c.unreadable);
        EXPECT_EQ(dir.Exists(file), c.records != -1);
    }
}

// Texts that are not a name cell read nothing and make nothing, wherever they point.
TEST(ListAllPastRuns, TextsThatAreNoNameCreateNoFile) {
    testsupport::TempAppFolder dir;
    // AppFolder deep inside the test's folder, so that climbing out of it stays in sight.
    const fs::path app = dir / "a/b/c";
    fs::create_directories(app / "UMAGOTOEXTHISWEEKN");
    common::SetAppFolder(app.string() + "/");
    const std::string table = CodeTableBytes();
    dir.Write("a/b/c/JRACODE/CodeTable.csv", table);
    const auto tree = [&] {
        std::set<std::string> paths;
        for (const auto& e : fs::recursive_directory_iterator(dir.Path())) paths.insert(e.path().string());
        return paths;
    };
    const std::set<std::string> before = tree();

    struct Case {
        std::string selected;
        int cols;
        std::string caption;  // of row 7
    };
    const std::vector<Case> cases = {
        {"1.34.56", 1, "馬名"},
        {"", 2, ""},
        {"テスト..\\..\\..\\xEX.dat", 1, "馬名"},
        {"テスト../../../2EX.dat", 1, "馬名"},
        {"./../../xxEX.dat", 1, "馬名"},
        {"テスト2019104321EX.dat", 1, "馬名"},  // a name, but the horse has no file
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.selected);
        const history::PastRuns shown = history::ListAllPastRuns(c.selected);
        EXPECT_EQ(shown.EXFG1.Rows(), 312);
        EXPECT_EQ(shown.EXFG1.Cols(), c.cols);
        EXPECT_EQ(shown.EXFG1.Text(7, 0), c.caption);
        EXPECT_EQ(shown.EXFG1.Text(1, 1), "");
        EXPECT_FALSE(shown.unreadable);
    }
    EXPECT_EQ(tree(), before);
}

// Without the code table the names are empty and the table's loading says so in the log.
TEST(ListAllPastRuns, WithoutACodeTableNamesAreEmpty) {
    testsupport::TempAppFolder dir;
    dir.Write("UMAGOTOEXTHISWEEKN/2019104321EX.dat", FullRecord());
    const history::PastRuns shown = history::ListAllPastRuns(NameCell("2019104321"));
    EXPECT_EQ(shown.EXFG1.Text(5, 1), "020411");
    EXPECT_EQ(shown.EXFG1.Text(32, 1), "");
    EXPECT_FALSE(shown.unreadable);
    EXPECT_NE(dir.Read("ERRORLOG.txt").find("CodeTable"), std::string::npos);
}

}  // namespace
