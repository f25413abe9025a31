#pragma once

#include <functional>
#include <string_view>

#include <QWidget>

#include "common/host.h"
#include "workbench/race_detail.h"
#include "workbench/weekly_batch.h"

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QTabWidget;

class QChart;
class QChartView;

namespace ui {
class FlexGrid;
}

namespace workbench {

/// Fills the 予順・人気 chart: the odds of each row's predicted and popular runner as two bar
/// series, each row's category labelled with its three levels on three lines.
void ShowRunnerChart(QChart& chart, const RunnerChart& rows);

/// The prediction window (button ⑥): runs the weekly batch while it loads, before it is first
/// shown, and lists the week's races. A fresh window is made for every run; it keeps what the
/// batch left for the race detail view, which a click on a race of List1 fills.
class YOSOKEKKATHISWEEKNVK31 final : public QWidget {
    Q_OBJECT

public:
    /// Builds the window and runs its load (the batch with `writers`); `host` is the main menu.
    YOSOKEKKATHISWEEKNVK31(common::Host& host, RaceWriterTable writers, QWidget* parent = nullptr);

    const WeekBatch& Batch() const { return batch_; }
    /// What the race detail view keeps between clicks (predicted ranks, runner count, payout record).
    const RaceDetailState& Detail() const { return detail_; }

    /// How a click on a runner grid opens the past-runs window with the clicked cell's text (the
    /// main menu hands it in; the window belongs to another folder).
    using PastRunsOpener = std::function<void(std::string_view cellText)>;
    void SetPastRunsOpener(PastRunsOpener open) { openPastRuns_ = std::move(open); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void Form_Load();
    /// The race detail view of the selected race (nothing while no line is selected).
    void List1_Click();
    /// A click on a cell of either runner grid, whatever the cell.
    void RACEDETAILGrid1_Click();
    void RACEDETAILGrid2_Click();
    void OpenPastRuns(const ui::FlexGrid& grid);

    common::Host& host_;
    RaceWriterTable writers_;
    WeekBatch batch_;
    RaceDetailState detail_;
    PastRunsOpener openPastRuns_;
    int rowAtPress_ = -1;  // List1's selected line when the mouse button last went down on it
    QListWidget* List1 = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QTabWidget* SSTab1 = nullptr;
    ui::FlexGrid* HAITOGrid1 = nullptr;
    ui::FlexGrid* RACEDETAILGrid1 = nullptr;
    ui::FlexGrid* RACEDETAILGrid2 = nullptr;
    ui::FlexGrid* UMARENGrid1 = nullptr;
    ui::FlexGrid* UMATANGrid2 = nullptr;
    ui::FlexGrid* SANRENGrid3 = nullptr;
    ui::FlexGrid* SANTANGrid4 = nullptr;
    QLabel* Label1_0 = nullptr;
    QLabel* Label1_1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QChartView* YNjunMSChart = nullptr;
};

}  // namespace workbench
