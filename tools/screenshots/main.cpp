// screenshots: walks the program's windows on a demo week after its results and saves a PNG of
// each. The week goes through the main menu's own buttons (① ② ③ ⑤ ⑥), the windows are found
// and clicked by their objectNames, as a user would reach them.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include <QApplication>
#include <QImage>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

#include "app/main_menu_window.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "generator.h"
#include "ui/flex_grid.h"
#include "ui/tab_rows.h"

namespace fs = std::filesystem;

namespace {

using Menu = app::TLMF1THISWEEKNVK31;

const char* const kUsage =
    "usage: screenshots OUTDIR [--work DIR]\n"
    "Writes a demo week after its results (with four past weeks) into a scratch folder, runs it\n"
    "through the main menu's buttons offscreen and saves a PNG of each window into OUTDIR.\n"
    "  --work DIR   use DIR (empty or absent) as the application folder and keep it afterwards\n";

// Something the walk needed was not there: the windows changed, so the pictures would lie.
struct Missing : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void Settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

QWidget* TopLevel(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(name) && w->isVisible()) return w;
    throw Missing(std::string("no open window ") + name);
}

template <class T>
T* Child(QWidget* parent, const char* name) {
    T* found = parent->findChild<T*>(QLatin1String(name));
    if (found == nullptr) throw Missing(parent->objectName().toStdString() + " has no " + name);
    return found;
}

void Click(QWidget* window, const char* button) {
    Child<QPushButton>(window, button)->click();
    Settle();
}

class Shooter {
public:
    explicit Shooter(fs::path out) : out_(std::move(out)) {}

    void Save(QWidget* window, const std::string& name) {
        Settle();
        const QImage image = window->grab().toImage();
        const fs::path file = out_ / (name + ".png");
        if (!image.save(QString::fromStdString(file.string()), "PNG", 0)) throw Missing("cannot write " + file.string());
        std::cout << file.string() << "  " << window->objectName().toStdString() << "\n";
        ++saved_;
    }
    int Saved() const { return saved_; }

private:
    fs::path out_;
    int saved_ = 0;
};

int TabIndex(QTabWidget* tabs, const char* caption) {
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->tabText(i) == QString::fromUtf8(caption)) return i;
    throw Missing(std::string("no tab ") + caption);
}

// Rows of a ticket grid, down to the last one in sight without scrolling, whose ticket cell wears
// one of the hit colours. The captions are cells of the grid: a scrolled grid would hide them.
int HitsInSight(const ui::FlexGrid& grid) {
    const auto& m = grid.Model();
    int last = grid.rowAt(grid.viewport()->height() - 1);
    if (last < 0) last = m.rowCount() - 1;
    int hits = 0;
    for (int r = m.FixedRows(); r <= last; ++r) {
        const QColor c = m.BackColour(r, 1);
        if (c == ui::QBColour(10) || c == ui::QBColour(13) || c == ui::QBColour(14)) ++hits;
    }
    return hits;
}

const char* const kTicketGrids[] = {"UMARENGrid1", "UMATANGrid2", "SANRENGrid3", "SANTANGrid4"};

// The column of 因子 that holds the horse names.
int NameColumn(const ui::FlexGridModel& m) {
    for (int c = 0; c < m.columnCount(); ++c)
        if (m.Text(0, c) == QString::fromUtf8("馬名")) return c;
    throw Missing("RACEDETAILGrid1 has no 馬名 column");
}

// Runners of the shown race: the lines of 因子 with a horse name.
int Runners(QWidget* window) {
    const auto& m = Child<ui::FlexGrid>(window, "RACEDETAILGrid1")->Model();
    int runners = 0;
    for (int r = m.FixedRows(); r < m.rowCount(); ++r)
        if (!m.Text(r, NameColumn(m)).trimmed().isEmpty()) ++runners;
    return runners;
}

// The race that shows a hit on every ticket grid without scrolling, the most hits in sight first,
// then the fullest field; the first race when none does.
int RaceWithHits(QWidget* window, QListWidget* list) {
    int best = 0, bestHits = -1, bestRunners = -1;
    for (int i = 0; i < list->count(); ++i) {
        list->setCurrentRow(i);
        int hits = 0;
        bool everyGrid = true;
        for (const char* name : kTicketGrids) {
            const int inSight = HitsInSight(*Child<ui::FlexGrid>(window, name));
            everyGrid = everyGrid && inSight > 0;
            hits += inSight;
        }
        if (!everyGrid) continue;
        const int runners = Runners(window);
        if (hits > bestHits || (hits == bestHits && runners > bestRunners)) {
            best = i;
            bestHits = hits;
            bestRunners = runners;
        }
    }
    if (bestHits < 0) std::cerr << "screenshots: no race shows a hit on every ticket tab; showing the first race\n";
    return best;
}

void Walk(Shooter& shots) {
    Menu menu(Menu::Interaction::Recorded);
    menu.show();
    Settle();
    shots.Save(&menu, "main_menu_start");

    // The week as the main menu runs it: ①, ② (no cancellation), the odds and their tables, ③
    // and its ⑤, then ⑥.
    Click(&menu, "Command2");
    Click(&menu, "Command4");
    QWidget* structures = TopLevel("KOUZOUTAIVK31");
    shots.Save(structures, "structures");
    Click(structures, "Command1");
    Click(&menu, "Command3");
    QWidget* odds = TopLevel("TLMFOTHISWEEKNVK31");
    Click(odds, "Command2");
    Click(odds, "Command3");
    shots.Save(odds, "week_odds");
    odds->close();
    Click(&menu, "Command7");
    Click(TopLevel("TALMOR7ODDSN"), "Command1");
    Click(&menu, "Command6");
    QWidget* expansion = TopLevel("TALMOR7EXPDTHISWEEKNVK31");
    Click(expansion, "Command1");
    shots.Save(expansion, "expansion");
    Click(expansion, "Command2");
    Click(&menu, "Command8");

    QWidget* prediction = TopLevel("YOSOKEKKATHISWEEKNVK31");
    auto* races = Child<QListWidget>(prediction, "List1");
    auto* tabs = Child<QTabWidget>(prediction, "SSTab1");
    // Every tab once, so that every grid is laid out before its rows in sight are counted.
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        Settle();
    }
    races->setCurrentRow(RaceWithHits(prediction, races));
    races->scrollToItem(races->currentItem(), QAbstractItemView::PositionAtCenter);
    const struct {
        const char* tab;
        const char* file;
    } kTabs[] = {{"配当", "prediction_payouts"},  {"馬連･馬単", "prediction_quinella_exacta"},
                 {"3連複", "prediction_trio"},     {"3連単", "prediction_trifecta"},
                 {"因子", "prediction_factors"},   {"残差", "prediction_residuals"},
                 {"予順・人気", "prediction_chart"}};
    for (const auto& t : kTabs) {
        tabs->setCurrentIndex(TabIndex(tabs, t.tab));
        shots.Save(prediction, t.file);
    }

    // A click on the first runner's name in 因子 opens the past runs of that horse.
    tabs->setCurrentIndex(TabIndex(tabs, "因子"));
    auto* factors = Child<ui::FlexGrid>(prediction, "RACEDETAILGrid1");
    const QModelIndex cell = factors->model()->index(1, NameColumn(factors->Model()));
    factors->setCurrentIndex(cell);
    Q_EMIT factors->clicked(cell);
    Settle();
    QWidget* pastRuns = TopLevel("Kakoso");
    shots.Save(pastRuns, "past_runs");
    Click(pastRuns, "Command1");
    prediction->close();

    // 過去予想成績 on the newest stored day: this week's, after the results.
    Click(&menu, "Command11");
    QWidget* past = TopLevel("KakoSeisekiVK31");
    Child<QListWidget>(past, "List1")->setCurrentRow(0);
    auto* pastTabs = Child<QTabWidget>(past, "SSTab1");
    pastTabs->setCurrentIndex(TabIndex(pastTabs, "的中状況"));
    shots.Save(past, "past_results");
    pastTabs->setCurrentIndex(TabIndex(pastTabs, "的中率・回収率"));
    shots.Save(past, "past_results_rates");
    pastTabs->setCurrentIndex(TabIndex(pastTabs, "レース詳細"));
    shots.Save(past, "past_results_race");
    past->close();

    Click(&menu, "Command15");
    QWidget* atari = TopLevel("TekichuListVK31");
    shots.Save(atari, "big_payouts");
    atari->close();

    // The model viewers: turf on F12 (its age charts), dirt on the tab it opens with.
    Click(&menu, "Command5");
    QWidget* turf = TopLevel("FactorTURFZP");
    Child<ui::TabRows>(turf, "SSTab1")->setCurrentIndex(11);
    shots.Save(turf, "weights_turf_f12");
    turf->close();
    Click(&menu, "Command9");
    QWidget* dirt = TopLevel("FactorDIRTZP");
    shots.Save(dirt, "weights_dirt");
    dirt->close();

    shots.Save(&menu, "main_menu");
    // What the menu would have said in its message boxes: a hint when a picture looks wrong.
    for (const std::string& message : menu.RecordedMessages()) std::cerr << "message: " << message << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    fs::path out, work;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help") {
            std::cout << kUsage;
            return 0;
        }
        if (args[i] == "--work" && i + 1 < args.size()) work = args[++i];
        else if (out.empty() && !args[i].starts_with("--")) out = args[i];
        else {
            std::cerr << kUsage;
            return 2;
        }
    }
    if (out.empty()) {
        std::cerr << kUsage;
        return 2;
    }
    // Offscreen renders the same pictures as a screen, fonts included, and needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    const bool keep = !work.empty();
    if (!keep) {
        std::string pattern = (fs::temp_directory_path() / "talmor7-screenshots-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::cerr << "screenshots: cannot make a scratch folder\n";
            return 1;
        }
        work = pattern;
    }
    int rc = 0;
    try {
        fs::create_directories(out);
        fs::create_directories(work);
        work = fs::absolute(work);
        demoweek::Options week;
        week.folder = work;
        week.state = demoweek::WeekState::After;
        week.pastWeeks = 4;
        demoweek::GenerateWeek(week);
        common::SetAppFolder(work.string());
        Shooter shots(out);
        Walk(shots);
        // A step that passed something over shows it in the pictures too: say so.
        if (fs::exists(work / "ERRORLOG.txt"))
            std::cerr << "screenshots: the steps wrote ERRORLOG.txt:\n" << common::ReadFileBytes(work / "ERRORLOG.txt");
        std::cout << shots.Saved() << " pictures in " << out.string() << "\n";
    } catch (const std::exception& e) {
        std::cerr << "screenshots: " << e.what() << "\n";
        rc = 1;
    }
    if (!keep) {
        std::error_code ec;
        fs::remove_all(work, ec);
    }
    return rc;
}
