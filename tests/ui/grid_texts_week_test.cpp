#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/wait.h>

#include <QApplication>
#include <QFontMetrics>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <gtest/gtest.h>

#include "grid_probe.h"
#include "history/past_results_window.h"
#include "history/past_runs.h"
#include "history/past_runs_window.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"
#include "ui/flex_grid.h"
#include "workbench/prediction_window.h"
#include "writers/race_writers.h"

// The grid windows over the full demo week after the results, with five past weeks stored: every
// text a grid shows fits its cell, and the fixed cells stay in place however far a grid scrolls.
namespace {

int RunCommand(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Str(const QString& s) { return s.toStdString(); }

// Every cell of `grid` whose text is wider than the cell, as "where name (row,col) [text] need >
// room". A text has the column's width less the delegate's margins and the grid line; in a row
// two text lines high (a caption row designed so) it wraps and must fit both lines.
void CollectCutTexts(const ui::FlexGrid& grid, const std::string& where, std::vector<std::string>& cut) {
    const QFontMetrics metrics(grid.font());
    const int margin = grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1;
    const int line = grid.showGrid() ? 1 : 0;
    const ui::FlexGridModel& m = grid.Model();
    for (int c = 0; c < m.columnCount(); ++c) {
        if (grid.isColumnHidden(c) || grid.columnWidth(c) == 0) continue;
        const int room = grid.columnWidth(c) - 2 * margin - line;
        const QVariant align = m.data(m.index(0, c), Qt::TextAlignmentRole);
        const bool leftAligned = !align.isValid() || (align.value<Qt::Alignment>() & Qt::AlignLeft);
        for (int r = 0; r < m.rowCount(); ++r) {
            QString text = m.Text(r, c);
            // Blanks at the end of a left-aligned text show nothing.
            if (leftAligned)
                while (!text.isEmpty() && (text.back() == ' ' || text.back() == QChar(0x3000))) text.chop(1);
            if (text.isEmpty()) continue;
            const int height = grid.rowHeight(r) - line;
            int need = metrics.horizontalAdvance(text);
            bool fits = need <= room;
            if (height >= 2 * metrics.height()) {
                const QRect used = metrics.boundingRect(QRect(0, 0, room, 1 << 20), Qt::TextWordWrap, text);
                need = used.width();
                fits = used.width() <= room && used.height() <= height;
            }
            if (!fits)
                cut.push_back(where + " " + Str(grid.objectName()) + " (" + std::to_string(r) + "," + std::to_string(c) +
                              ") [" + Str(text) + "] " + std::to_string(need) + " > " + std::to_string(room));
        }
    }
}

std::string FirstOf(const std::vector<std::string>& cut) {
    std::string out;
    for (std::size_t i = 0; i < cut.size() && i < 25; ++i) out += "\n  " + cut[i];
    return out;
}

// Scrolled to its last cell, the grid still draws its fixed cells in the corner, along the top and
// down the left (for those it has).
void ExpectFixedCellsInPlace(ui::FlexGrid& grid, const std::string& where) {
    SCOPED_TRACE(where + " " + Str(grid.objectName()));
    const int lastRow = grid.model()->rowCount() - 1, lastCol = grid.model()->columnCount() - 1;
    grid.scrollTo(grid.model()->index(lastRow, lastCol));
    QApplication::processEvents();
    const QRect area = grid.viewport()->geometry();
    // The last cell's corner, or the viewport's when the cells reach beyond it.
    const QRect lastCell = grid.visualRect(grid.model()->index(lastRow, lastCol)).translated(area.topLeft());
    const QPoint bottomRight(std::min(area.right(), lastCell.right()) - 3, std::min(area.bottom(), lastCell.bottom()) - 3);
    const QModelIndex last = gridprobe::CellShownAt(grid, bottomRight);
    EXPECT_EQ(last.row(), lastRow);
    EXPECT_EQ(last.column(), lastCol);
    const int rows = grid.Model().FixedRows(), cols = grid.Model().FixedCols();
    if (rows > 0 && cols > 0) {
        EXPECT_EQ(gridprobe::CellShownAt(grid, area.topLeft() + QPoint(3, 3)), grid.model()->index(0, 0));
    }
    if (rows > 0) {
        EXPECT_EQ(gridprobe::CellShownAt(grid, QPoint(bottomRight.x(), area.top() + 3)), grid.model()->index(0, lastCol));
    }
    if (cols > 0) {
        EXPECT_EQ(gridprobe::CellShownAt(grid, QPoint(area.left() + 3, bottomRight.y())), grid.model()->index(lastRow, 0));
    }
}

class FullWeekAfterTheResults : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = new testsupport::TempAppFolder();
        const std::string dir = folder->Path().string();
        ASSERT_EQ(RunCommand(std::string(DEMOWEEK_PROGRAM) + " " + dir + " --full --state after --past-weeks 5 >/dev/null"), 0);
        const std::string weekrun = std::string(WEEKRUN_PROGRAM) + " --app " + dir +
                                    " --quiet fetch structures cancel dayfix compute odds odds-tables batch breaking-payouts >" +
                                    dir + "/weekrun.log 2>&1";
        ASSERT_EQ(RunCommand(weekrun), 0) << folder->Read("weekrun.log");
    }
    static void TearDownTestSuite() {
        delete folder;
        folder = nullptr;
    }
    void SetUp() override { ASSERT_NE(folder, nullptr); }

    static testsupport::TempAppFolder* folder;
    testsupport::RecordingHost host;
};

testsupport::TempAppFolder* FullWeekAfterTheResults::folder = nullptr;

// The prediction window, every race: its seven grids on their seven tabs; and the past runs of
// every runner of each day's first race at every course.
TEST_F(FullWeekAfterTheResults, PredictionWindowAndPastRunsShowEveryTextWhole) {
    workbench::YOSOKEKKATHISWEEKNVK31 window(host, writers::kRaceWriters);
    window.show();
    auto* List1 = window.findChild<QListWidget*>("List1");
    auto* SSTab1 = window.findChild<QTabWidget*>("SSTab1");
    ASSERT_GE(List1->count(), 90);  // 96 races, less those called off
    const auto grids = window.findChildren<ui::FlexGrid*>();
    ASSERT_EQ(grids.size(), 7);
    auto* factors = window.findChild<ui::FlexGrid*>("RACEDETAILGrid1");

    std::vector<std::string> cut;
    std::vector<std::string> nameCells;
    for (int i = 0; i < List1->count(); ++i) {
        List1->setCurrentRow(i);
        const std::string line = Str(List1->item(i)->text());
        for (const ui::FlexGrid* grid : grids) CollectCutTexts(*grid, line, cut);
        if (line.ends_with("01"))
            for (int h = 1; h <= 18; ++h)
                if (const std::string name = Str(factors->Model().Text(h, 6)); history::PastRunsFileName(name)) nameCells.push_back(name);
        if (i == 0)
            for (int t = 0; t < SSTab1->count(); ++t) {
                SSTab1->setCurrentIndex(t);
                QApplication::processEvents();
                for (ui::FlexGrid* grid : grids)
                    if (grid->isVisible()) ExpectFixedCellsInPlace(*grid, line);
            }
    }
    EXPECT_TRUE(cut.empty()) << cut.size() << " texts cut in the prediction window:" << FirstOf(cut);

    ASSERT_GE(nameCells.size(), 8u * 8u);
    cut.clear();
    for (const std::string& name : nameCells) {
        history::Kakoso& runs = history::ShowPastRuns(host, name);
        auto* EXFG1 = runs.findChild<ui::FlexGrid*>("EXFG1");
        CollectCutTexts(*EXFG1, name, cut);
        if (&name == &nameCells.front()) {
            ASSERT_GT(EXFG1->model()->columnCount(), 2);
            ExpectFixedCellsInPlace(*EXFG1, name);
        }
        runs.findChild<QPushButton*>("Command1")->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_TRUE(cut.empty()) << cut.size() << " texts cut in the past runs:" << FirstOf(cut);
}

// The past-results window, every stored day: the day's hit table, rates, PC tables and the race
// cards and hits of its twelve race tabs.
TEST_F(FullWeekAfterTheResults, PastDayViewShowsEveryTextWhole) {
    history::KakoSeisekiVK31 window(host);
    window.show();
    auto* List1 = window.findChild<QListWidget*>("List1");
    ASSERT_GE(List1->count(), 5 * 8);
    const auto grids = window.findChildren<ui::FlexGrid*>();
    ASSERT_EQ(grids.size(), 4 + 2 * 12);
    std::vector<std::string> cut;
    for (int i = 0; i < List1->count(); ++i) {
        List1->setCurrentRow(i);
        const std::string line = Str(List1->item(i)->text());
        for (const ui::FlexGrid* grid : grids) CollectCutTexts(*grid, line, cut);
    }
    EXPECT_TRUE(cut.empty()) << cut.size() << " texts cut in the past-day view:" << FirstOf(cut);

    auto* SSTab1 = window.findChild<QTabWidget*>("SSTab1");
    for (int t = 0; t < SSTab1->count(); ++t) {
        SSTab1->setCurrentIndex(t);
        QApplication::processEvents();
        for (ui::FlexGrid* grid : grids)
            if (grid->isVisible()) ExpectFixedCellsInPlace(*grid, Str(SSTab1->tabText(t)));
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
