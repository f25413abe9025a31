#include "workbench/prediction_window.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <cstring>
#include <map>
#include <string>
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
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <gtest/gtest.h>

#include "acquisition/download_starter.h"
#include "acquisition/odds_tables.h"
#include "acquisition/structure_building.h"
#include "acquisition/week_odds_fetch.h"
#include "acquisition/weekly_fetch.h"
#include "app/main_menu_window.h"
#include "common/encoding.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "dataservice/local_jvlink.h"
#include "engine/computation.h"
#include "generator.h"
#include "history/past_runs.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"
#include "ui/flex_grid.h"

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

class RaceDetailOfADemoWeek : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        const bool after = GetParam();
        demoweek::Options options;
        options.folder = folder.Path();
        options.scale = demoweek::SmallScale();
        options.scale.courses = 3;
        options.seed = 20250607;
        options.state = after ? demoweek::WeekState::After : demoweek::WeekState::Before;
        demoweek::GenerateWeek(options);

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

// The runner grids and the chart of every race, against its runner file read at byte positions.
TEST_P(RaceDetailOfADemoWeek, RunnerGridsAndChartShowTheRunnerFile) {
    auto* List1 = window->findChild<QListWidget*>("List1");
    auto* chartView = window->findChild<QChartView*>("YNjunMSChart");
    bool runnersSeen = false;
    for (int i = 0; i < List1->count(); ++i) {
        List1->setCurrentRow(i);
        const std::string line = Str(List1->item(i)->text());
        const std::string key = line.substr(line.size() - 12);
        SCOPED_TRACE(line);
        const auto& g1 = Grid("RACEDETAILGrid1");
        const auto& g2 = Grid("RACEDETAILGrid2");
        const auto runners = Records(folder.Read("RACE/" + key + ".dat"), 24022);
        EXPECT_EQ(Str(g1.Text(0, 0)), key);
        EXPECT_EQ(Str(g2.Text(0, 0)), key);
        std::vector<double> oddsOf(runners.size() + 1, 0.0);
        for (std::size_t h = 1; h <= runners.size(); ++h) {
            const std::string& r = runners[h - 1];
            const int row = static_cast<int>(h);
            if (r.substr(24020, 2) != "\r\n") continue;
            runnersSeen = true;
            const std::string horse = r.substr(1040, 1) + "    " + r.substr(1105, 2);
            const std::string name = common::LeftChars(common::FromCp932(r.substr(1885, 36)), 18) + r.substr(1235, 10) + "EX.dat";
            const double odds = std::stoi(r.substr(3611, 4)) * 0.1;
            oddsOf[h] = odds;
            for (const auto* g : {&g1, &g2}) {
                EXPECT_EQ(Str(g->Text(row, 0)), horse);
                EXPECT_EQ(Str(g->Text(row, 1)), r.substr(2961, 2));
                EXPECT_EQ(Str(g->Text(row, 3)), r.substr(3481, 2));
            }
            EXPECT_DOUBLE_EQ(std::stod(Str(g1.Text(row, 5))), odds);
            EXPECT_EQ(Str(g1.Text(row, 6)), name);
            EXPECT_EQ(Str(g2.Text(row, 5)), name);
            EXPECT_EQ(Str(g1.Text(row, 13)), common::FromCp932(r.substr(1921, 8)));
            for (int k = 0; k < 65; ++k) {
                float residual = 0;
                std::memcpy(&residual, r.data() + 18416 + 80 * k + 28, 4);
                EXPECT_EQ(Str(g2.Text(row, 11 + k)), common::WeightText(residual)) << k;
            }
        }
        for (int row = static_cast<int>(runners.size()) + 1; row <= 18; ++row) {
            EXPECT_EQ(Str(g1.Text(row, 2)), "");
            EXPECT_EQ(Str(g2.Text(row, 11)), "");
        }
        // Chart: one category per runner, each predicted rank's point the odds of its runner.
        QChart* chart = chartView->chart();
        ASSERT_EQ(chart->series().size(), 1);
        auto* series = qobject_cast<QBarSeries*>(chart->series().front());
        ASSERT_NE(series, nullptr);
        ASSERT_EQ(series->barSets().size(), 2);
        EXPECT_EQ(Str(series->barSets()[0]->label()), "予想順");
        EXPECT_EQ(Str(series->barSets()[1]->label()), "人気順");
        ASSERT_EQ(series->barSets()[0]->count(), static_cast<int>(runners.size()));
        const auto axes = chart->axes(Qt::Horizontal);
        ASSERT_EQ(axes.size(), 1);
        EXPECT_EQ(qobject_cast<QBarCategoryAxis*>(axes.front())->count(), static_cast<int>(runners.size()));
        auto* values = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).front());
        ASSERT_NE(values, nullptr);
        EXPECT_EQ(values->min(), 0);
        EXPECT_EQ(values->max(), 150);
        EXPECT_EQ(values->tickCount(), 11);
        for (std::size_t h = 1; h <= runners.size(); ++h) {
            const std::string rank = Str(g1.Text(static_cast<int>(h), 2));
            if (rank.empty() || rank == "00") continue;
            const int row = std::stoi(rank);
            bool shared = false;
            for (std::size_t o = h + 1; o <= runners.size(); ++o) shared = shared || Str(g1.Text(static_cast<int>(o), 2)) == rank;
            if (shared || row > static_cast<int>(runners.size())) continue;
            EXPECT_DOUBLE_EQ(series->barSets()[0]->at(row - 1), oddsOf[h]) << h;
            EXPECT_EQ(Str(qobject_cast<QBarCategoryAxis*>(axes.front())->at(row - 1)).substr(0, 2), Str(g1.Text(static_cast<int>(h), 0)).substr(5, 2));
        }
    }
    EXPECT_TRUE(runnersSeen);
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

}  // namespace
