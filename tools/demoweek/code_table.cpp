#include "code_table.h"

#include <string>
#include <vector>

#include "calendar.h"
#include "common/encoding.h"
#include "common/record_file.h"
#include "common/text_file.h"

namespace demoweek {

namespace {

struct Row {
    std::string kind, code, c2, c3, c4, c5, c6, c7;
};

}  // namespace

void WriteCodeTable(const std::filesystem::path& file) {
    std::vector<Row> rows;
    // 2001 racecourses: full name, one character, name, reading, Latin name, three letters.
    for (const Course& c : Courses()) {
        std::string latin = c.latin;
        std::string upper = latin.substr(0, 3);
        for (char& ch : upper) ch = static_cast<char>(ch >= 'a' && ch <= 'z' ? ch - 32 : ch);
        rows.push_back({"2001", c.code, std::string(c.name) + "競馬場", common::LeftChars(c.name, 1), c.name, c.kana, latin, upper});
    }
    // 2002 day of the week.
    const char* days[][2] = {{"1", "土曜日"}, {"2", "日曜日"}, {"3", "祝日"}, {"4", "月曜日"}, {"5", "火曜日"},
                             {"6", "水曜日"}, {"7", "木曜日"}, {"8", "金曜日"}};
    for (auto& d : days) rows.push_back({"2002", d[0], d[1], common::LeftChars(d[1], 1), d[1], "", "", ""});
    // 2003 grades: name, short name, ...
    const char* grades[][4] = {{"A", "Ｇ１　　", "G1", "Grade 1"},       {"B", "Ｇ２　　", "G2", "Grade 2"},
                               {"C", "Ｇ３　　", "G3", "Grade 3"},       {"D", "重賞　　", "重賞", "Graded"},
                               {"E", "特別　　", "特別", "Special"},     {"F", "Ｊ・Ｇ１", "JG1", "Jump Grade 1"},
                               {"G", "Ｊ・Ｇ２", "JG2", "Jump Grade 2"}, {"H", "Ｊ・Ｇ３", "JG3", "Jump Grade 3"},
                               {"L", "Ｌ　　　", "L", "Listed"},         {" ", "　　　　", "", ""}};
    for (auto& g : grades) rows.push_back({"2003", g[0], g[1], g[2], g[1], "", g[3], ""});
    // 2005 race kinds.
    const char* kinds[][3] = {{"11", "サラ系２歳", "２歳"},           {"12", "サラ系３歳", "３歳"},
                              {"13", "サラ系３歳以上", "３歳上"},     {"14", "サラ系４歳以上", "４歳上"},
                              {"18", "サラ障害３歳以上", "障害３上"}, {"19", "サラ障害４歳以上", "障害４上"}};
    for (auto& k : kinds) rows.push_back({"2005", k[0], k[1], k[2], k[2], k[1], "", ""});
    // 2006 race symbols.
    const char* symbols[][2] = {{"000", "　"}, {"A00", "（混合）"}, {"A01", "（混合）（特指）"}, {"B00", "（父）"},
                                {"C00", "（市）"}, {"E00", "（国際）"}, {"E01", "（国際）（特指）"}, {"F00", "（指定）"},
                                {"N00", "（特指）"}, {"N20", "牝（特指）"}, {"N21", "牝（混合）"}, {"N23", "牝（国際）"}};
    for (auto& s : symbols) rows.push_back({"2006", s[0], s[1], s[1], s[1], "", "", ""});
    // 2007 race conditions.
    const char* conditions[][2] = {{"701", "新馬"}, {"702", "未出走"}, {"703", "未勝利"}, {"005", "１勝クラス"},
                                   {"010", "２勝クラス"}, {"016", "３勝クラス"}, {"999", "オープン"}, {"000", "　"}};
    for (auto& c : conditions) rows.push_back({"2007", c[0], c[1], c[1], c[1], "", "", ""});
    // 2008 weight rules.
    const char* weights[][2] = {{"1", "ハンデ"}, {"2", "別定"}, {"3", "馬齢"}, {"4", "定量"}};
    for (auto& w : weights) rows.push_back({"2008", w[0], w[1], w[1], w[1], "", "", ""});
    // 2009 tracks: name, short, name with direction.
    const char* tracks[][3] = {
        {"10", "芝・直", "芝直線"},          {"11", "芝・左", "芝左"},          {"12", "芝・左外", "芝左外"},
        {"13", "芝・左内→外", "芝左内外"},  {"14", "芝・左外→内", "芝左外内"}, {"15", "芝・左内２周", "芝左内2"},
        {"16", "芝・左外２周", "芝左外2"},  {"17", "芝・右", "芝右"},          {"18", "芝・右外", "芝右外"},
        {"19", "芝・右内→外", "芝右内外"},  {"20", "芝・右外→内", "芝右外内"}, {"21", "芝・右内２周", "芝右内2"},
        {"22", "芝・右外２周", "芝右外2"},  {"23", "ダート・左", "ダ左"},      {"24", "ダート・右", "ダ右"},
        {"25", "ダート・左内", "ダ左内"},   {"26", "ダート・右外", "ダ右外"},  {"27", "サンド・左", "サ左"},
        {"28", "サンド・右", "サ右"},       {"29", "ダート・直", "ダ直線"},    {"51", "障害・芝・襷", "障芝襷"},
        {"52", "障害・芝→ダート", "障芝ダ"}, {"53", "障害・芝・左", "障芝左"}, {"54", "障害・芝", "障芝"},
        {"55", "障害・芝・外回り", "障芝外"}, {"56", "障害・芝・外→内", "障芝外内"}, {"57", "障害・芝・内→外", "障芝内外"},
        {"58", "障害・芝・内２周以上", "障芝内2"}, {"59", "障害・芝・外２周以上", "障芝外2"}};
    for (auto& t : tracks) rows.push_back({"2009", t[0], t[1], t[2], t[1], "", "", ""});
    // 2010 going, 2011 weather.
    const char* goings[][2] = {{"0", "未設定"}, {"1", "良"}, {"2", "稍重"}, {"3", "重"}, {"4", "不良"}};
    for (auto& g : goings) rows.push_back({"2010", g[0], g[1], g[1], g[1], "", "", ""});
    const char* weather[][2] = {{"0", "未設定"}, {"1", "晴"}, {"2", "曇"}, {"3", "雨"}, {"4", "小雨"}, {"5", "雪"}, {"6", "小雪"}};
    for (auto& w : weather) rows.push_back({"2011", w[0], w[1], w[1], w[1], "", "", ""});
    // 2202 sex, 2203 coat colours, 2301 stable region.
    const char* sexes[][2] = {{"1", "牡"}, {"2", "牝"}, {"3", "セン"}};
    for (auto& s : sexes) rows.push_back({"2202", s[0], s[1], s[1], s[1], "", "", ""});
    const char* coats[][2] = {{"01", "栗毛"}, {"02", "栃栗毛"}, {"03", "鹿毛"}, {"04", "黒鹿毛"}, {"05", "青鹿毛"},
                              {"06", "青毛"}, {"07", "芦毛"},   {"08", "栗粕毛"}, {"09", "鹿粕毛"}, {"10", "青粕毛"}, {"11", "白毛"}};
    for (auto& c : coats) rows.push_back({"2203", c[0], c[1], c[1], c[1], "", "", ""});
    const char* regions[][2] = {{"1", "美浦"}, {"2", "栗東"}, {"3", "地方招待"}, {"4", "外国招待"}};
    for (auto& r : regions) rows.push_back({"2301", r[0], r[1], r[1], r[1], "", "", ""});

    std::string out;
    for (const Row& r : rows)
        out += common::ToCp932(common::WrittenFields({r.kind, r.code, r.c2, r.c3, r.c4, r.c5, r.c6, r.c7})) + "\r\n";
    common::WriteFileAtomically(file, out);
}

}  // namespace demoweek
