#include "workbench/prediction_window.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QValueAxis>
#include <QChartView>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <gtest/gtest.h>

#include "acquisition/breaking_odds_window.h"
#include "acquisition/download_starter.h"
#include "acquisition/odds_tables.h"
#include "acquisition/structure_building.h"
#include "acquisition/week_odds_fetch.h"
#include "acquisition/weekly_fetch.h"
#include "app/main_menu_window.h"
#include "common/encoding.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "common/text_file.h"
#include "dataservice/local_jvlink.h"
#include "engine/computation.h"
#include "generator.h"
#include "history/past_runs.h"
#include "records/decoders.h"
#include "records/fields.h"
#include "records/keys.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"
#include "ui/flex_grid.h"
#include "workbench/ranking.h"

// The race detail view offscreen, on a small demo week of three courses taken through the fetch,
// the structures, the computation, the odds, the odds tables and button ⑥, before the races and
// after the results: each line of List1 is clicked and the controls are compared with the race's
// own files, read here at their byte positions.
namespace {

using Menu = app::TLMF1THISWEEKNVK31;
using Window = workbench::YOSOKEKKATHISWEEKNVK31;

std::string Str(const QString& s) { return s.toStdString(); }

std::vector<std::string> Records(const std::string& bytes, std::size_t length) {
    std::vector<std::string> out;
    for (std::size_t at = 0; at + length <= bytes.size(); at += length) out.push_back(bytes.substr(at, length));
    return out;
}

// Year, MonthDay, JyoCD and RaceNum of a record of the race, payout or runner kind.
std::string KeyOf(const std::string& record) { return record.substr(11, 10) + record.substr(25, 2); }

std::vector<std::string> Lines(const std::string& content) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t nl = content.find("\r\n", start);
        if (nl == std::string::npos) nl = content.size();
        lines.push_back(content.substr(start, nl - start));
        start = nl + 2;
    }
    return lines;
}

// The third comma-separated field of a sorted ticket line, without its quotes.
std::string TicketKey(const std::string& line) {
    std::size_t at = 0;
    for (int f = 0; f < 2; ++f) at = line.find(',', at) + 1;
    const std::string field = line.substr(at, line.find(',', at) - at);
    return field.substr(1, field.size() - 2);
}

std::string Digits(const std::string& field) {
    std::string d;
    for (char c : field)
        if (c != ' ') d += c;
    const auto first = d.find_first_not_of('0');
    return first == std::string::npos ? "0" : d.substr(first);
}

// What HAITOGrid1 shows of one payout record: per row, the cells of columns 1 to 21.
std::map<std::pair<int, int>, std::string> PayoutCells(const std::string& hr) {
    struct Block {
        int row;
        std::size_t start, count, entry, kumi, ninki;
        const char* sep;
        int horses;  // 0: a bracket pair
    };
    const std::vector<Block> blocks = {
        {1, 102, 3, 13, 2, 2, "", 1},    {2, 141, 5, 13, 2, 2, "", 1},     {3, 206, 3, 13, 2, 2, "-", 0},
        {4, 245, 3, 16, 4, 3, "-", 2},   {5, 293, 7, 16, 4, 3, "-", 2},    {6, 453, 6, 16, 4, 3, "→", 2},
        {7, 549, 3, 18, 6, 3, "-", 3},   {8, 603, 6, 19, 6, 4, "→", 3}};
    std::map<std::pair<int, int>, std::string> cells;
    for (const Block& b : blocks)
        for (std::size_t k = 0; k < b.count; ++k) {
            const std::size_t at = b.start + k * b.entry;
            const std::string kumi = hr.substr(at, b.kumi), pay = hr.substr(at + b.kumi, 9), ninki = hr.substr(at + b.kumi + 9, b.ninki);
            const bool shown = Digits(b.horses == 1 ? kumi : pay) != "0";
            if (!shown) continue;
            std::string text;
            if (b.horses == 0) text = kumi.substr(0, 1) + b.sep + kumi.substr(1, 1);
            for (int h = 0; h < b.horses; ++h) text += (h ? b.sep : "") + kumi.substr(2 * static_cast<std::size_t>(h), 2);
            const int col = 3 * static_cast<int>(k) + 1;
            cells[{b.row, col}] = text;
            cells[{b.row, col + 1}] = Digits(pay);
            cells[{b.row, col + 2}] = Digits(ninki);
        }
    return cells;
}

// A small demo week of three courses in the application folder, taken through the steps up to ⑥
// with the prediction window open.
class DemoWeekThroughSix : public ::testing::Test {
protected:
    static demoweek::Options WeekOptions(const std::filesystem::path& folder, bool after) {
        demoweek::Options options;
        options.folder = folder;
        options.scale = demoweek::SmallScale();
        options.scale.courses = 3;
        options.seed = 20250607;
        options.state = after ? demoweek::WeekState::After : demoweek::WeekState::Before;
        return options;
    }
    void Prepare(bool after) {
        demoweek::GenerateWeek(WeekOptions(folder.Path(), after));

        folder.Write("jvlink.settings", "pace=0\n");
        dataservice::LocalJVLink::Config config;
        config.settingsFile = folder / "jvlink.settings";
        dataservice::LocalJVLink link(std::move(config));
        std::int32_t downloadCount = 0;
        std::int16_t dialogResult = 0;
        acquisition::DownloadStarter starter{link, downloadCount, dialogResult, host};
        const auto done = [](acquisition::DownloadStarter& s) { s.DialogResult = acquisition::kDownloadDone; };
        acquisition::FetchThisWeek(starter, done);
        acquisition::BuildWeekStructures(host);
        engine::RunComputation(host);
        acquisition::FetchWeekOdds(starter, done, [](std::string_view) {});
        acquisition::FetchWeekTrifectaOdds(starter, done, [](std::string_view) {});
        acquisition::BuildOddsTables(acquisition::kOddsSourceThisWeek);

        menu = std::make_unique<Menu>(Menu::Interaction::Recorded);
        menu->findChild<QPushButton*>("Command8")->click();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<Window*>(w)) window = p;
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        if (window) window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    const ui::FlexGridModel& Grid(const char* name) const { return window->findChild<ui::FlexGrid*>(name)->Model(); }

    testsupport::TempAppFolder folder;
    testsupport::RecordingHost host;
    std::unique_ptr<Menu> menu;
    Window* window = nullptr;
};

class RaceDetailOfADemoWeek : public DemoWeekThroughSix, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override { Prepare(GetParam()); }
};

TEST_P(RaceDetailOfADemoWeek, LayoutOfTheWindow) {
    auto* SSTab1 = window->findChild<QTabWidget*>("SSTab1");
    ASSERT_NE(SSTab1, nullptr);
    const std::vector<std::string> tabs = {"因子", "残差", "馬連･馬単", "3連複", "3連単", "配当", "予順・人気"};
    ASSERT_EQ(SSTab1->count(), 7);
    for (int t = 0; t < 7; ++t) EXPECT_EQ(Str(SSTab1->tabText(t)), tabs[static_cast<std::size_t>(t)]);
    const std::vector<std::tuple<const char*, int, int, int>> grids = {
        {"HAITOGrid1", 10, 22, 5}, {"RACEDETAILGrid1", 19, 25, 0}, {"RACEDETAILGrid2", 19, 80, 1}, {"UMARENGrid1", 154, 3, 2},
        {"UMATANGrid2", 517, 4, 2}, {"SANRENGrid3", 817, 3, 3}, {"SANTANGrid4", 817, 8, 4}};
    for (const auto& [name, rows, cols, tab] : grids) {
        auto* grid = window->findChild<ui::FlexGrid*>(name);
        ASSERT_NE(grid, nullptr) << name;
        EXPECT_EQ(grid->model()->rowCount(), rows) << name;
        EXPECT_EQ(grid->model()->columnCount(), cols) << name;
        EXPECT_TRUE(SSTab1->widget(tab)->isAncestorOf(grid)) << name;
        EXPECT_FALSE(grid->horizontalHeader()->isVisible());
        EXPECT_FALSE(grid->model()->flags(grid->model()->index(1, 1)) & Qt::ItemIsEditable);
    }
    const std::vector<std::tuple<const char*, int, std::string>> labels = {
        {"Label1_1", 0, "馬名をクリックすればその馬の全過去走の予想因子詳細がご覧になれます。"},
        {"Label1_0", 1, "馬名をクリックすればその馬の全過去走の予想因子詳細がご覧になれます。"},
        {"Label2", 0, "信頼度はサンプル数を表しAが一番多くFはゼロ、左端より騎手・調教師・父馬・母父馬・生産牧場の信頼度となります"},
        {"Label4", 6, "最上段は予想順位による馬番、中段段は着順  最下段は順位　縦軸は単勝オッズ"}};
    for (const auto& [name, tab, text] : labels) {
        auto* label = window->findChild<QLabel*>(name);
        ASSERT_NE(label, nullptr) << name;
        EXPECT_EQ(Str(label->text()), text);
        EXPECT_TRUE(SSTab1->widget(tab)->isAncestorOf(label)) << name;
    }
    auto* Label3 = window->findChild<QLabel*>("Label3");
    ASSERT_NE(Label3, nullptr);
    EXPECT_TRUE(Str(Label3->text()).starts_with("買い目及び順目は馬番A,B,Cが予想順位から得られた場合,第1順の買い目はA→B→C"));
    EXPECT_TRUE(Str(Label3->text()).ends_with("理論的にはより最適化された買い目となります。"));
    auto* chart = window->findChild<QChartView*>("YNjunMSChart");
    ASSERT_NE(chart, nullptr);
    EXPECT_TRUE(SSTab1->widget(6)->isAncestorOf(chart));
    EXPECT_FALSE(SSTab1->widget(0)->isAncestorOf(window->findChild<QListWidget*>("List1")));
}

// Every race of the list, clicked in turn: its own title, its payouts, its tickets with their odds.
TEST_P(RaceDetailOfADemoWeek, EveryRaceShowsItsOwnFiles) {
    const bool after = GetParam();
    auto* List1 = window->findChild<QListWidget*>("List1");
    auto* Text1 = window->findChild<QPlainTextEdit*>("Text1");

    std::map<std::string, std::string> raceOf, payoutOf;
    bool kindTwo = false;
    for (const std::string& ra : Records(folder.Read("RATHISWEEKNNEW.dat"), 1272)) {
        raceOf[KeyOf(ra)] = ra;
        kindTwo = kindTwo || ra[2] == '2';
    }
    for (const std::string& hr : Records(folder.Read("HRTHISWEEKN.dat"), 719)) payoutOf[KeyOf(hr)] = hr;
    // Two days of three courses, three races each; after the results, the races that were paid out.
    ASSERT_EQ(List1->count(), after ? static_cast<int>(payoutOf.size()) : 18);

    for (int i = 0; i < List1->count(); ++i) {
        List1->setCurrentRow(i);
        const std::string line = Str(List1->item(i)->text());
        const std::string key = line.substr(line.size() - 12);
        SCOPED_TRACE(line);

        // The title: the line, then the race's own name (12 characters) and, later, its distance.
        ASSERT_TRUE(raceOf.count(key));
        const std::string& ra = raceOf[key];
        std::string name = common::LeftChars(common::FromCp932(ra.substr(32, 60)), 12);
        if (name.find_first_not_of("　") == std::string::npos) name.clear();
        const std::string title = Str(Text1->toPlainText());
        EXPECT_TRUE(title.starts_with(line + name)) << title;
        EXPECT_NE(title.find(ra.substr(697, 4) + "m SD="), std::string::npos) << title;
        EXPECT_EQ(Text1->palette().color(QPalette::Base), ui::QBColour(10));

        // Every cell of the payout grid: captions, and after the results the race's payouts.
        const auto& haito = Grid("HAITOGrid1");
        std::map<std::pair<int, int>, std::string> expected;
        if (after) {
            ASSERT_TRUE(payoutOf.count(key));
            expected = PayoutCells(payoutOf[key]);
            EXPECT_FALSE(expected.empty());
        }
        for (int r = 1; r <= 9; ++r)
            for (int c = 1; c <= 21; ++c) {
                const auto it = expected.find({r, c});
                EXPECT_EQ(Str(haito.Text(r, c)), it == expected.end() ? "" : it->second) << r << "," << c;
            }
        EXPECT_EQ(Str(haito.Text(0, 0)), "券種");
        EXPECT_EQ(Str(haito.Text(7, 0)), "３連複");

        // The ticket grids are filled when a record matches: the race's payout record after the
        // results, its race record in a week with race records of kind "2".
        EXPECT_EQ(Str(Grid("UMARENGrid1").Text(0, 0)), after || kindTwo ? "馬連" : "");
        EXPECT_EQ(Str(Grid("SANTANGrid4").Text(21, 0)), after || kindTwo ? "伏兵　7 点目" : "");
    }
}

// The ticket grids of every race: its tickets in the order of its sorted ticket files, with the
// odds of its odds tables, and after the results its quinella hit in light green.
TEST_P(RaceDetailOfADemoWeek, TicketGridsShowTheRaceFiles) {
    const bool after = GetParam();
    auto* List1 = window->findChild<QListWidget*>("List1");
    std::map<std::string, std::string> payoutOf;
    for (const std::string& hr : Records(folder.Read("HRTHISWEEKN.dat"), 719)) payoutOf[KeyOf(hr)] = hr;
    bool sortFilesSeen = false;
    for (int i = 0; i < List1->count(); ++i) {
        List1->setCurrentRow(i);
        const std::string line = Str(List1->item(i)->text());
        const std::string key = line.substr(line.size() - 12);
        SCOPED_TRACE(line);
        const auto& umaren = Grid("UMARENGrid1");
        const auto& santan = Grid("SANTANGrid4");
        const std::string sortFile = folder.Read("KAIME/" + key + "UMARENSORT.dat");
        if (sortFile.empty()) continue;
        sortFilesSeen = true;
        const auto pairs = Lines(sortFile);
        const auto pairOdds = Lines(folder.Read("KAIME/" + key + "UMARENODDS.dat"));
        ASSERT_EQ(pairOdds.size(), 361u);
        for (std::size_t r = 0; r < pairs.size(); ++r) {
            const std::string k = TicketKey(pairs[r]);
            const int row = static_cast<int>(r) + 1;
            EXPECT_EQ(Str(umaren.Text(row, 1)), k.substr(0, 2) + "-" + k.substr(2, 2));
            EXPECT_EQ(Str(umaren.Text(row, 2)), pairOdds[static_cast<std::size_t>(19 * std::stoi(k.substr(0, 2)) + std::stoi(k.substr(2, 2)))]);
            const bool won = after && payoutOf[key].substr(245, 4) == k;
            if (won) {
                EXPECT_EQ(umaren.BackColour(row, 1), ui::QBColour(10));
            }
        }
        EXPECT_EQ(Str(umaren.Text(static_cast<int>(pairs.size()) + 1, 1)), "");
        const auto trios = Lines(folder.Read("KAIME/" + key + "SANRENTANSORT.dat"));
        const auto trioOdds = Lines(folder.Read("KAIME/" + key + "SANRENTANODDS.dat"));
        ASSERT_EQ(trioOdds.size(), 6859u);
        for (std::size_t r = 0; r < trios.size(); ++r) {
            const std::string k = TicketKey(trios[r]);
            const int a = std::stoi(k.substr(0, 2)), b = std::stoi(k.substr(2, 2)), c = std::stoi(k.substr(4, 2));
            EXPECT_TRUE(Str(santan.Text(static_cast<int>(r) + 1, 1)).ends_with(k.substr(0, 2) + "→" + k.substr(2, 2) + "→" + k.substr(4, 2)));
            EXPECT_EQ(Str(santan.Text(static_cast<int>(r) + 1, 2)), trioOdds[static_cast<std::size_t>(361 * a + 19 * b + c)]);
            EXPECT_EQ(Str(santan.Text(static_cast<int>(r) + 1, 7)), trioOdds[static_cast<std::size_t>(361 * c + 19 * b + a)]);
        }
    }
    if (!sortFilesSeen) GTEST_SKIP() << "the batch wrote no sorted ticket files (KAIME/<key>UMARENSORT.dat): "
                                        "ticket rows and odds not checked";
}

// The runner record at its byte positions: element e of a per-run field, a single field, a float.
struct Runner {
    const std::string& bytes;
    std::string Raw(std::size_t at, std::size_t width, std::size_t element = 0) const { return bytes.substr(at + width * element, width); }
    std::string Text(std::size_t at, std::size_t width, std::size_t element = 0) const {
        return common::FromCp932(common::BlankZeros(Raw(at, width, element)));
    }
    float Float(std::size_t at) const {
        float v = 0;
        std::memcpy(&v, bytes.data() + at, 4);
        return v;
    }
    // SpeedBlock value v of element e; AgariWeight and PaceWeight index i of element 0.
    float Speed(int v, std::size_t e = 0) const { return Float(18416 + 80 * e + 4 * static_cast<std::size_t>(v)); }
    float Agari(int i) const { return Float(4976 + 4 * static_cast<std::size_t>(i)); }
    float Pace(int i) const { return Float(11696 + 4 * static_cast<std::size_t>(i)); }
    std::string Kyori() const { return Text(2441, 4); }
};

// What the grids show in each cell, worked out from the runner file and the sort file.
struct ExpectedGrids {
    std::map<std::pair<int, int>, std::string> text;
    std::map<std::pair<int, int>, int> colour;  // rows 1 to 18, columns 1 on; white unless listed
    std::vector<double> predicted, popular;
    std::vector<std::string> labels;
};

std::int8_t FirstPlaces(const std::string& text, int places) {
    const std::vector<std::string> texts = {"01", "02", "03", "04", "05"};
    const std::vector<int> colours = {14, 11, 10, 9, 13};
    for (int i = 0; i < places; ++i)
        if (text == texts[static_cast<std::size_t>(i)]) return static_cast<std::int8_t>(colours[static_cast<std::size_t>(i)]);
    return 15;
}

std::string Time(float speed, const std::string& metres) { return common::FormatYosoTime(speed, metres).value_or(""); }

ExpectedGrids Expect(const std::vector<std::string>& records, const std::vector<std::string>& yosoRank) {
    ExpectedGrids e;
    const int n = static_cast<int>(records.size());
    e.predicted.assign(records.size(), 0.0);
    e.popular.assign(records.size(), 0.0);
    // Labels are rich text on the axis: the three levels stand on lines of their own.
    e.labels.assign(records.size(), "<br><br>");
    std::vector<std::string> rankOf(records.size() + 1), horseOf(records.size() + 1), nyusenOf(records.size() + 1);
    for (int h = 1; h <= n; ++h) {
        const std::string& bytes = records[static_cast<std::size_t>(h - 1)];
        if (bytes.substr(24020, 2) != "\r\n") continue;  // a horse number without a runner
        const Runner r{bytes};
        auto put = [&](int grid, int col, std::string text) { e.text[{grid * 100 + h, col}] = std::move(text); };
        auto colour = [&](int grid, int col, int c) { e.colour[{grid * 100 + h, col}] = c; };
        const std::string horse = r.Text(1040, 1) + "    " + r.Text(1105, 2);
        const std::string nyusen = r.Text(2961, 2), ninki = r.Text(3481, 2);
        const std::string name = common::LeftChars(r.Text(1885, 36), 18) + r.Text(1235, 10) + "EX.dat";
        const auto R = common::StrictNumber(h < static_cast<int>(yosoRank.size()) ? yosoRank[static_cast<std::size_t>(h)] : "");
        std::string rank = R ? std::to_string(static_cast<int>(*R) + 100) : "";
        if (!rank.empty()) rank = rank.substr(rank.size() - 2);
        const double odds = common::Val(r.Text(3611, 4)) * 0.1;
        rankOf[static_cast<std::size_t>(h)] = rank;
        horseOf[static_cast<std::size_t>(h)] = horse;
        nyusenOf[static_cast<std::size_t>(h)] = nyusen;
        for (int g : {1, 2}) {
            put(g, 0, horse);
            put(g, 1, nyusen);
            put(g, 2, rank);
            put(g, 3, ninki);
            colour(g, 1, FirstPlaces(nyusen, 3));
            colour(g, 2, FirstPlaces(rank, 5));
            colour(g, 3, FirstPlaces(ninki, 5));
        }
        // The factor grid.
        if (R) {
            const double diff = common::Val(ninki) - *R;
            put(1, 4, common::NumberText(diff));
            colour(1, 4, diff >= 4 ? 14 : diff <= -7 ? 12 : 15);
        }
        put(1, 5, common::NumberText(odds));
        put(1, 6, name);
        std::array<std::string, 5> counts;
        for (std::size_t k = 0; k < 5; ++k) counts[k] = r.Text(4941, 7, k);
        const auto g = workbench::GradeShinraido(counts, r.Text(2701, 2));
        put(1, 7, "騎" + g[0] + "・調" + g[1] + "・父父" + g[2] + "・母父" + g[3] + "・生" + g[4]);
        const std::string soha = r.Text(3221, 4);
        put(1, 8, soha.substr(0, 1) + "." + soha.substr(1, 2) + "." + soha.substr(3, 1) + "0");
        if (const auto l3 = common::StrictNumber(r.Text(3871, 3))) put(1, 9, common::NumberText(*l3 * 0.1));
        put(1, 10, Time(r.Speed(6), r.Kyori()));
        if (r.Speed(3) != 0.0f) {
            const std::string t = common::SingleText(std::floor(2160.0f / r.Speed(3) * 100.0f));
            put(1, 11, t.substr(0, 2) + "." + t.substr(2, 2));
        }
        if (const auto metres = common::StrictNumber(r.Kyori())) put(1, 12, Time(r.Speed(4), std::to_string(static_cast<int>(*metres) - 600)));
        put(1, 13, r.Text(1921, 8));
        put(1, 16, r.Text(4586, 36));
        put(1, 19, r.Text(4066, 8));
        put(1, 22, r.Text(4692, 36));
        for (const auto& [col, item] : std::vector<std::pair<int, int>>{{14, 6}, {17, 23}, {20, 19}, {23, 21}}) {
            put(1, col, common::WeightText(r.Agari(item)));
            put(1, col + 1, common::WeightText(r.Pace(item)));
        }
        // The residual grid.
        if (ninki == "--" || ninki == "**")
            put(2, 4, ninki);
        else if (R)
            put(2, 4, common::NumberText(common::Val(ninki) - *R));
        put(2, 5, name);
        const float correction = r.Float(24016), estimated = r.Speed(6) + correction;
        put(2, 6, common::WeightText(estimated));
        put(2, 7, Time(estimated, r.Kyori()));
        put(2, 8, Time(r.Speed(6), r.Kyori()));
        // A residual needs a measured and a predicted speed of its run.
        const auto residual = [&r](std::size_t k) {
            return r.Speed(2, k) != 0.0f && r.Speed(6, k) != 0.0f ? common::WeightText(r.Speed(7, k)) : std::string();
        };
        put(2, 9, residual(0));
        put(2, 10, common::WeightText(correction));
        for (std::size_t k = 0; k < 65; ++k) {
            const int col = 11 + static_cast<int>(k);
            put(2, col, residual(k));
            const std::string jyo = r.Text(8, 2, 8 * k), track = r.Text(2701, 2, k);
            const bool course = jyo >= "01" && jyo <= "10";
            colour(2, col, !course ? 15 : track >= "00" && track <= "22" ? 10 : track >= "23" && track <= "29" ? 14 : track >= "30" && track <= "59" ? 11 : 15);
        }
        // The chart: a rank or popularity names its row ("00" and "**" row 1), later runners win.
        const auto row = [n](const std::string& t) -> int {
            if (t == "00" || t == "**") return 1;
            const auto v = common::StrictNumber(t);
            return v && *v >= 1 && *v <= n ? static_cast<int>(*v) : 0;
        };
        if (const int at = row(rank)) e.predicted[static_cast<std::size_t>(at - 1)] = odds;
        if (ninki != "--")
            if (const int at = row(ninki)) e.popular[static_cast<std::size_t>(at - 1)] = odds;
    }
    for (int j = 1; j <= n; ++j) {
        const auto v = common::StrictNumber(rankOf[static_cast<std::size_t>(j)]);
        if (!v || *v < 1 || *v > n) continue;
        const std::string& horse = horseOf[static_cast<std::size_t>(j)];
        e.labels[static_cast<std::size_t>(*v - 1)] = horse.substr(horse.size() - 2) + "<br>" + nyusenOf[static_cast<std::size_t>(j)] + "<br>" +
                                                     std::to_string(static_cast<int>(*v));
    }
    return e;
}

// The runner grids and the chart of every race, cell by cell, against its runner file read at
// byte positions and its sort file's predicted ranks.
TEST_P(RaceDetailOfADemoWeek, RunnerGridsAndChartShowTheRunnerFile) {
    auto* List1 = window->findChild<QListWidget*>("List1");
    auto* chartView = window->findChild<QChartView*>("YNjunMSChart");
    const std::vector<std::string> factorCaptions = {
        "入線", "予想順位", "単勝人気", "予想人気", "単勝オッズ", "馬名", "信頼度", "実タイム", "実上3Fタイム", "合成タイム",
        "予上3Fタイム", "予ペ-スタイム", "騎手", "騎手上がり時速", "騎手ペース時速", "父馬", "父馬上がり時速", "父馬ペース時速",
        "調教師", "調教師上がり時速", "調教師ペース時速", "母父馬", "母父馬上がり時速", "母父馬ペース時速"};
    const std::vector<std::string> residualCaptions = {"入線", "予想順位", "単勝人気", "人気-予想", "馬名", "推定時速",
                                                       "推定タイム", "合成タイム", "実-合成(時速）", "残差平均（時速）"};
    const std::map<int, int> factorWidths = {{1, 500}, {2, 500}, {3, 500}, {4, 500}, {5, 1700}, {6, 2500}, {15, 1700}, {21, 1700}};
    const std::map<int, int> residualWidths = {{1, 500}, {2, 500}, {3, 500}, {5, 1700}};
    auto* grid1 = window->findChild<ui::FlexGrid*>("RACEDETAILGrid1");
    auto* grid2 = window->findChild<ui::FlexGrid*>("RACEDETAILGrid2");
    int runnersSeen = 0;
    // Residuals of the past runs: only a horse's newest four runs (this race and the three before
    // it) have a measured speed.
    int newestResiduals = 0, olderResiduals = 0;
    for (int i = 0; i < List1->count(); ++i) {
        List1->setCurrentRow(i);
        const std::string line = Str(List1->item(i)->text());
        const std::string key = line.substr(line.size() - 12);
        SCOPED_TRACE(line);
        const auto runners = Records(folder.Read("RACE/" + key + ".dat"), 24022);
        std::vector<std::string> yosoRank(1);
        for (const std::string& sortLine : common::SplitLines(folder.Read("KAIME/" + key + "SORT.dat"))) {
            common::WrittenFieldReader fields{sortLine};
            std::string value;
            for (int f = 0; f < 4; ++f) fields.Next(value);
            yosoRank.push_back(value);
        }
        const ExpectedGrids e = Expect(runners, yosoRank);
        const auto& g1 = grid1->Model();
        const auto& g2 = grid2->Model();

        // Row 0: the race cell and the captions.
        // The race cell: the key, then the race of each runner shown (the last one stays).
        std::string raceCell = key;
        for (const std::string& r : runners)
            if (r.substr(24020, 2) == "\r\n") raceCell = r.substr(0, 10) + r.substr(14, 2);
        EXPECT_EQ(Str(g1.Text(0, 0)), raceCell);
        EXPECT_EQ(Str(g2.Text(0, 0)), raceCell);
        for (int c = 1; c <= 24; ++c) EXPECT_EQ(Str(g1.Text(0, c)), factorCaptions[static_cast<std::size_t>(c - 1)]) << c;
        for (int c = 1; c <= 10; ++c) EXPECT_EQ(Str(g2.Text(0, c)), residualCaptions[static_cast<std::size_t>(c - 1)]) << c;
        for (int k = 0; k < 65; ++k) EXPECT_EQ(Str(g2.Text(0, 11 + k)), "前" + std::to_string(k) + "残差");
        for (int c = 76; c <= 79; ++c) EXPECT_EQ(Str(g2.Text(0, c)), "");
        EXPECT_EQ(grid1->rowHeight(0), ui::TwipsToPixels(500));
        EXPECT_EQ(grid2->rowHeight(0), ui::TwipsToPixels(500));
        for (int c = 1; c <= 22; ++c) {
            const auto w = factorWidths.find(c);
            EXPECT_EQ(grid1->DesignedColWidth(c), w == factorWidths.end() ? 1000 : w->second) << c;
        }
        for (int c = 1; c <= 79; ++c) {
            const auto w = residualWidths.find(c);
            EXPECT_EQ(grid2->DesignedColWidth(c), w == residualWidths.end() ? 1000 : w->second) << c;
        }

        // Rows 1 to 18, every cell: runners as worked out, every other row empty and white.
        for (int h = 1; h <= 18; ++h) {
            for (const auto& [g, model, cols] : {std::tuple{1, &g1, 25}, std::tuple{2, &g2, 80}}) {
                for (int c = 0; c < cols; ++c) {
                    const auto t = e.text.find({g * 100 + h, c});
                    EXPECT_EQ(Str(model->Text(h, c)), t == e.text.end() ? "" : t->second) << "grid " << g << " cell " << h << "," << c;
                    if (c == 0) continue;
                    const auto k = e.colour.find({g * 100 + h, c});
                    EXPECT_EQ(model->BackColour(h, c), ui::QBColour(k == e.colour.end() ? 15 : k->second)) << "grid " << g << " cell " << h << "," << c;
                }
            }
            runnersSeen += e.text.count({100 + h, 6}) ? 1 : 0;
            for (int k = 1; k < 65; ++k) (k <= 3 ? newestResiduals : olderResiduals) += g2.Text(h, 11 + k).isEmpty() ? 0 : 1;
        }

        // The chart: two series, one category per row, the value axis fixed.
        QChart* chart = chartView->chart();
        ASSERT_EQ(chart->series().size(), 1);
        auto* series = qobject_cast<QBarSeries*>(chart->series().front());
        ASSERT_NE(series, nullptr);
        ASSERT_EQ(series->barSets().size(), 2);
        EXPECT_EQ(Str(series->barSets()[0]->label()), "予想順");
        EXPECT_EQ(Str(series->barSets()[1]->label()), "人気順");
        const auto axes = chart->axes(Qt::Horizontal);
        ASSERT_EQ(axes.size(), 1);
        auto* categories = qobject_cast<QBarCategoryAxis*>(axes.front());
        ASSERT_EQ(categories->count(), static_cast<int>(runners.size()));
        auto* values = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).front());
        ASSERT_NE(values, nullptr);
        EXPECT_EQ(values->min(), 0);
        EXPECT_EQ(values->max(), 150);
        EXPECT_EQ(values->tickCount(), 11);
        for (int s = 0; s < 2; ++s) ASSERT_EQ(series->barSets()[s]->count(), static_cast<int>(runners.size()));
        for (std::size_t r = 0; r < runners.size(); ++r) {
            const int row = static_cast<int>(r);
            EXPECT_DOUBLE_EQ(series->barSets()[0]->at(row), e.predicted[r]) << "row " << r + 1;
            EXPECT_DOUBLE_EQ(series->barSets()[1]->at(row), e.popular[r]) << "row " << r + 1;
            EXPECT_EQ(Str(categories->at(row).remove(QChar(0x200B))), e.labels[r]) << "row " << r + 1;
        }
    }
    EXPECT_GT(runnersSeen, 0);
    EXPECT_GT(newestResiduals, 0);
    EXPECT_EQ(olderResiduals, 0);
}

// The open past-runs windows.
std::vector<QWidget*> PastRunsWindows() {
    std::vector<QWidget*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "Kakoso" && w->isVisible()) found.push_back(w);
    return found;
}

// What a click does: the clicked cell becomes current, then the grid's click event.
void ClickCell(ui::FlexGrid& grid, int row, int col) {
    const QModelIndex cell = grid.model()->index(row, col);
    grid.setCurrentIndex(cell);
    Q_EMIT grid.clicked(cell);
}

std::vector<std::string> FilesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A click on a runner's name cell opens the single past-runs window on that horse's expanded runs,
// newest first; a second click only brings it forward; any other cell opens no file and makes none.
TEST_P(RaceDetailOfADemoWeek, GridClicksOpenThePastRunsOfTheHorse) {
    auto* List1 = window->findChild<QListWidget*>("List1");
    auto* grid1 = window->findChild<ui::FlexGrid*>("RACEDETAILGrid1");
    auto* grid2 = window->findChild<ui::FlexGrid*>("RACEDETAILGrid2");
    List1->setCurrentRow(0);
    const std::string line = Str(List1->item(0)->text());
    const auto runners = Records(folder.Read("RACE/" + line.substr(line.size() - 12) + ".dat"), 24022);
    ASSERT_GE(runners.size(), 2u);
    const std::vector<std::string> exFiles = FilesIn(folder / "UMAGOTOEXTHISWEEKN");

    const std::string first = Str(grid1->Model().Text(1, 6));
    ClickCell(*grid1, 1, 6);
    EXPECT_EQ(history::SelectedHorseFile, first);
    auto open = PastRunsWindows();
    ASSERT_EQ(open.size(), 1u);
    QWidget* kakoso = open.front();
    auto* EXFG1 = kakoso->findChild<ui::FlexGrid*>("EXFG1");
    ASSERT_NE(EXFG1, nullptr);
    // The horse's file, read here: its records newest first.
    const auto runs = Records(folder.Read("UMAGOTOEXTHISWEEKN/" + runners[0].substr(1235, 10) + "EX.dat"), 2603);
    ASSERT_FALSE(runs.empty());
    ASSERT_EQ(EXFG1->Model().columnCount(), static_cast<int>(runs.size()) + 1);
    EXPECT_EQ(Str(kakoso->findChild<QPushButton*>("Command1")->text()),
              "別の競走馬の全過去走を表示させたい場合、一旦終了（ここをクリック）させて下さい。");
    for (std::size_t k = 1; k <= runs.size(); ++k) {
        const std::string& run = runs[runs.size() - k];
        const int col = static_cast<int>(k);
        EXPECT_EQ(Str(EXFG1->Model().Text(0, col)), "前" + std::to_string(k - 1) + "走");
        EXPECT_EQ(Str(EXFG1->Model().Text(4, col)), run.substr(11, 8));
        EXPECT_EQ(Str(EXFG1->Model().Text(6, col)), run.substr(27, 13));
        EXPECT_EQ(Str(EXFG1->Model().Text(7, col)), common::FromCp932(run.substr(788, 36)));
    }

    // A second horse while the window is open: only brought forward, still the first horse.
    const std::string second = Str(grid2->Model().Text(2, 5));
    ClickCell(*grid2, 2, 5);
    EXPECT_EQ(history::SelectedHorseFile, second);
    open = PastRunsWindows();
    ASSERT_EQ(open.size(), 1u);
    EXPECT_EQ(open.front(), kakoso);
    EXPECT_EQ(EXFG1->Model().columnCount(), static_cast<int>(runs.size()) + 1);
    EXPECT_EQ(Str(EXFG1->Model().Text(6, 1)), runs.back().substr(27, 13));

    // Closed, then a time cell and an empty cell: no runs shown, no file made.
    kakoso->findChild<QPushButton*>("Command1")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(PastRunsWindows().empty());
    struct Case {
        int row, col;
        int columns;  // of EXFG1
        bool captions;
    };
    for (const Case c : {Case{1, 8, 1, true}, Case{18, 6, 2, false}}) {
        SCOPED_TRACE(c.col);
        ClickCell(*grid1, c.row, c.col);
        EXPECT_EQ(history::SelectedHorseFile, Str(grid1->Model().Text(c.row, c.col)));
        open = PastRunsWindows();
        ASSERT_EQ(open.size(), 1u);
        const auto& cells = open.front()->findChild<ui::FlexGrid*>("EXFG1")->Model();
        EXPECT_EQ(cells.columnCount(), c.columns);
        EXPECT_EQ(Str(cells.Text(7, 0)), c.captions ? "馬名" : "");
        open.front()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_EQ(FilesIn(folder / "UMAGOTOEXTHISWEEKN"), exFiles);
}

INSTANTIATE_TEST_SUITE_P(BeforeAndAfter, RaceDetailOfADemoWeek, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "AfterTheResults" : "BeforeTheRaces"; });

// Race day in the windows: the week taken through ⑥ before the races, then the stand-in's news of
// the results written into the same folder; Ⅲ of the breaking-news window merges them, and a new
// click on each race shows the finishing order and popularity, the breaking payouts and the
// light yellow title.
// A mouse click on a line of the list: the button goes down and up over the line.
void ClickLine(QListWidget& list, int row) {
    QWidget* viewport = list.viewport();
    list.scrollToItem(list.item(row));
    const QPointF at = list.visualItemRect(list.item(row)).center();
    const QPointF global = viewport->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &release);
}

class RaceDayInTheWindows : public DemoWeekThroughSix {
protected:
    void SetUp() override { Prepare(false); }
};

TEST_F(RaceDayInTheWindows, BreakingResultsShowAfterThree) {
    auto* List1 = window->findChild<QListWidget*>("List1");
    std::vector<std::string> keys;
    std::map<std::string, std::size_t> runnersOf;
    for (int i = 0; i < List1->count(); ++i) {
        const std::string line = Str(List1->item(i)->text());
        keys.push_back(line.substr(line.size() - 12));
        runnersOf[keys.back()] = folder.Read("RACE/" + keys.back() + ".dat").size() / 24022;
    }
    ASSERT_FALSE(keys.empty());
    window->show();
    ClickLine(*List1, 0);  // the first race stands shown while Ⅲ works
    ASSERT_EQ(List1->currentRow(), 0);
    auto options = WeekOptions(folder.Path(), true);
    options.replaceSupplied = true;
    demoweek::GenerateWeek(options);

    menu->findChild<QPushButton*>("Command12")->click();
    acquisition::TLMP2RIALTIME* breaking = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* b = qobject_cast<acquisition::TLMP2RIALTIME*>(w)) breaking = b;
    ASSERT_NE(breaking, nullptr);
    breaking->findChild<QPushButton*>("Command2")->click();
    EXPECT_EQ(Str(breaking->findChild<QPlainTextEdit*>("Text1")->toPlainText()), "速報払戻等取得及び処理完了");
    EXPECT_FALSE(folder.Exists("ERRORLOG.txt")) << folder.Read("ERRORLOG.txt");
    int payoutWindows = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) payoutWindows += w->objectName() == "TLMHRRIALTIME" && w->isVisible();
    EXPECT_EQ(payoutWindows, 1);

    // What the stand-in delivers, read from its own folder: finishing position and popularity of
    // each runner (the win odds line's popularity wins), the last payout record of each race.
    std::map<std::pair<std::string, int>, std::pair<std::string, std::string>> shown;  // nyusen, ninki
    std::map<std::string, std::string> lastPayout;
    for (const auto& entry : std::filesystem::directory_iterator(folder / "jvdata/realtime/0B12"))
        for (const std::string& record : common::SplitLines(common::ReadFileBytes(entry.path()))) {
            if (record.starts_with("SE")) {
                records::RecordSE se;
                records::DecodeSE(record, se);
                shown[{records::RaceKey12Of(se), std::stoi(std::string(se.Get(records::se::Umaban)))}] = {
                    std::string(se.Get(records::se::NyusenJyuni)), std::string(se.Get(records::se::Ninki))};
            } else if (record.starts_with("HR")) {
                records::RecordHR hr;
                records::DecodeHR(record, hr);
                lastPayout[records::RaceKey12Of(hr)] = record;
            }
        }
    for (const auto& entry : std::filesystem::directory_iterator(folder / "jvdata/realtime/0B30"))
        for (const std::string& record : common::SplitLines(common::ReadFileBytes(entry.path()))) {
            if (!record.starts_with("O1")) continue;
            records::RecordO1 o1;
            records::DecodeO1(record, o1);
            for (int e = 0; e < 28; ++e) {
                const std::string umaban(o1.Get(records::o1::TansyoUmaban, e));
                if (umaban == "  " || umaban == "00") continue;
                shown[{records::RaceKey12Of(o1), std::stoi(umaban)}].second = o1.Get(records::o1::TansyoNinki, e);
            }
        }
    ASSERT_FALSE(lastPayout.empty());

    auto* Text1 = window->findChild<QPlainTextEdit*>("Text1");
    int finished = 0, yellow = 0;
    // The first click is on the race already shown: it shows the race anew.
    for (int i = 0; i < List1->count(); ++i) {
        ClickLine(*List1, i);
        const std::string& key = keys[static_cast<std::size_t>(i)];
        SCOPED_TRACE(key);
        const auto& factors = Grid("RACEDETAILGrid1");
        for (int h = 1; h <= static_cast<int>(runnersOf[key]); ++h) {
            const auto it = shown.find({key, h});
            if (it == shown.end()) continue;
            if (!it->second.first.empty()) {
                EXPECT_EQ(Str(factors.Text(h, 1)), it->second.first) << h;
                finished += it->second.first != "00";
            }
            EXPECT_EQ(Str(factors.Text(h, 3)), it->second.second) << h;
        }
        const auto payout = lastPayout.find(key);
        if (payout == lastPayout.end()) continue;
        const auto cells = PayoutCells(payout->second);
        ASSERT_FALSE(cells.empty());
        for (const auto& [cell, text] : cells) EXPECT_EQ(Str(Grid("HAITOGrid1").Text(cell.first, cell.second)), text) << cell.first << "," << cell.second;
        EXPECT_EQ(Text1->palette().color(QPalette::Base), ui::QBColour(14));
        ++yellow;
    }
    EXPECT_GT(finished, 0);
    EXPECT_GT(yellow, 0);
}

}  // namespace
