#include "workbench/prediction_window.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QEvent>
#include <QChartView>
#include <QHeaderView>
#include <QSet>
#include <QValueAxis>
#include <QLabel>
#include <QListWidget>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTabWidget>

#include "history/past_runs.h"
#include "ui/flex_grid.h"
#include "ui/window_controls.h"
#include "workbench/payout_grid.h"

namespace workbench {

namespace {

constexpr std::string_view kLabel1 = "馬名をクリックすればその馬の全過去走の予想因子詳細がご覧になれます。";
constexpr std::string_view kLabel2 =
    "信頼度はサンプル数を表しAが一番多くFはゼロ、左端より騎手・調教師・父馬・母父馬・生産牧場の信頼度となります";
constexpr std::string_view kLabel3 =
    "買い目及び順目は馬番A,B,Cが予想順位から得られた場合,第1順の買い目はA→B→Cとなり、買い目に表示されているものと一致します。"
    "第2順はA→C→B,第3順はB→A→C,第4順はB→C→A、第5順はC→A→B,第6順はC→B→Aとなります。"
    "順序を問わない場合はA,B,Cの3連単ボックスと同一になります。"
    "なお、準本線3点目第6順目までの買い目60点は上位5頭3連単ボックス買いの60点とは等価では有りません。"
    "理論的にはより最適化された買い目となります。";
constexpr std::string_view kLabel4 = "最上段は予想順位による馬番、中段段は着順  最下段は順位　縦軸は単勝オッズ";

QWidget* AddTab(QTabWidget* tabs, std::string_view caption) {
    auto* page = new QWidget(tabs);
    tabs->addTab(page, ui::Qs(caption));
    return page;
}

}  // namespace

YOSOKEKKATHISWEEKNVK31::YOSOKEKKATHISWEEKNVK31(common::Host& host, RaceWriterTable writers, QWidget* parent)
    : QWidget(parent), host_(host), writers_(writers) {
    setAttribute(Qt::WA_DeleteOnClose);
    BuildControls();
    Form_Load();
}

void YOSOKEKKATHISWEEKNVK31::BuildControls() {
    setObjectName(QStringLiteral("YOSOKEKKATHISWEEKNVK31"));
    setWindowTitle(ui::Qs("予想・結果"));
    ui::UseWindowFont(*this);
    resize(1280, 800);
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(10, 10, 330, 780);
    Text1 = ui::AddTextBox(this, "Text1", QRect(350, 10, 920, 50));

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->setGeometry(350, 70, 920, 720);
    constexpr int kWide = 905, kTall = 690;

    QWidget* factors = AddTab(SSTab1, "因子");
    RACEDETAILGrid1 = new ui::FlexGrid(factors, "RACEDETAILGrid1", 19, 25, QRect(5, 5, kWide, 440));
    Label2 = ui::AddLabel(factors, "Label2", kLabel2, QRect(5, 450, kWide, 40), ui::LabelWrap::Words);
    Label1_1 = ui::AddLabel(factors, "Label1_1", kLabel1, QRect(5, 495, kWide, 20));

    QWidget* residuals = AddTab(SSTab1, "残差");
    RACEDETAILGrid2 = new ui::FlexGrid(residuals, "RACEDETAILGrid2", 19, 80, QRect(5, 5, kWide, 440));

    Label1_0 = ui::AddLabel(residuals, "Label1_0", kLabel1, QRect(5, 450, kWide, 20));

    QWidget* pairs = AddTab(SSTab1, "馬連･馬単");
    UMARENGrid1 = new ui::FlexGrid(pairs, "UMARENGrid1", kUmarenRows, kUmarenCols, QRect(5, 5, 330, kTall - 10));
    UMATANGrid2 = new ui::FlexGrid(pairs, "UMATANGrid2", kUmatanRows, kUmatanCols, QRect(345, 5, 480, kTall - 10));

    QWidget* trios = AddTab(SSTab1, "3連複");
    SANRENGrid3 = new ui::FlexGrid(trios, "SANRENGrid3", kSanrenRows, kSanrenCols, QRect(5, 5, 360, kTall - 10));

    QWidget* trifectas = AddTab(SSTab1, "3連単");
    SANTANGrid4 = new ui::FlexGrid(trifectas, "SANTANGrid4", kSantanRows, kSantanCols, QRect(5, 5, 700, kTall - 10));
    Label3 = ui::AddLabel(trifectas, "Label3", kLabel3, QRect(715, 5, 190, kTall - 10), ui::LabelWrap::Words);
    Label3->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    QWidget* payouts = AddTab(SSTab1, "配当");
    HAITOGrid1 = new ui::FlexGrid(payouts, "HAITOGrid1", kHaitoRows, kHaitoCols, QRect(5, 5, kWide, 200));

    QWidget* order = AddTab(SSTab1, "予順・人気");
    Label4 = ui::AddLabel(order, "Label4", kLabel4, QRect(5, 5, kWide, 20));
    // Filled with the predicted order, the finishing order and the odds of the selected race.
    YNjunMSChart = new QChartView(new QChart(), order);
    YNjunMSChart->setObjectName(QStringLiteral("YNjunMSChart"));
    YNjunMSChart->setGeometry(5, 30, kWide, kTall - 40);

    connect(List1, &QListWidget::currentRowChanged, this, [this] { List1_Click(); });
    // A click on the race already shown shows it again: on race day its files change while it
    // stands selected (Ⅲ merges the breaking results). A click that changes the line is shown once.
    List1->viewport()->installEventFilter(this);
    connect(List1, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (List1->row(item) == rowAtPress_) List1_Click();
    });
    connect(RACEDETAILGrid1, &QTableView::clicked, this, [this] { RACEDETAILGrid1_Click(); });
    connect(RACEDETAILGrid2, &QTableView::clicked, this, [this] { RACEDETAILGrid2_Click(); });
}

// The whole batch runs here, so the window shows only once the week's files are written.
void YOSOKEKKATHISWEEKNVK31::Form_Load() {
    batch_ = WeeklyYosoBatch(host_, writers_);
    for (const std::string& line : batch_.RaceListLines) List1->addItem(ui::Qs(line));
}

bool YOSOKEKKATHISWEEKNVK31::eventFilter(QObject* watched, QEvent* event) {
    if (watched == List1->viewport() && event->type() == QEvent::MouseButtonPress) rowAtPress_ = List1->currentRow();
    return QWidget::eventFilter(watched, event);
}

void YOSOKEKKATHISWEEKNVK31::List1_Click() {
    const QListWidgetItem* item = List1->currentItem();
    if (item == nullptr) return;
    std::optional<RaceDetailView> view =
        ShowRaceDetail(List1->currentRow(), item->text().toStdString(), batch_.RaceInfoTable, detail_);
    if (!view) return;
    Text1->setPlainText(ui::Qs(view->Title.Text));
    QPalette palette = Text1->palette();
    palette.setColor(QPalette::Base, ui::QBColour(view->Title.BackColour));
    Text1->setPalette(palette);
    HAITOGrid1->Apply(std::move(view->HAITOGrid1));
    RACEDETAILGrid1->Apply(detail_.Runners.RACEDETAILGrid1);
    RACEDETAILGrid2->Apply(detail_.Runners.RACEDETAILGrid2);
    // The caption rows are two lines high.
    RACEDETAILGrid1->setRowHeight(0, ui::TwipsToPixels(500));
    RACEDETAILGrid2->setRowHeight(0, ui::TwipsToPixels(500));
    ShowRunnerChart(*YNjunMSChart->chart(), detail_.Runners.YNjunMSChart);
    if (view->Tickets) {
        UMARENGrid1->Apply(std::move(view->Tickets->UMARENGrid1));
        UMATANGrid2->Apply(std::move(view->Tickets->UMATANGrid2));
        SANRENGrid3->Apply(std::move(view->Tickets->SANRENGrid3));
        SANTANGrid4->Apply(std::move(view->Tickets->SANTANGrid4));
    }
}

void YOSOKEKKATHISWEEKNVK31::RACEDETAILGrid1_Click() { OpenPastRuns(*RACEDETAILGrid1); }
void YOSOKEKKATHISWEEKNVK31::RACEDETAILGrid2_Click() { OpenPastRuns(*RACEDETAILGrid2); }

// The click has just made the clicked cell current; its text goes to the past-runs window, which
// opens a file only for the text of a name cell.
void YOSOKEKKATHISWEEKNVK31::OpenPastRuns(const ui::FlexGrid& grid) {
    history::SelectedHorseFile.clear();
    const QModelIndex cell = grid.currentIndex();
    const std::string text = cell.isValid() ? grid.Model().Text(cell.row(), cell.column()).toStdString() : std::string();
    if (openPastRuns_) openPastRuns_(text);
}

// A 2-D bar chart of two series, one category per row, the value axis fixed from 0 to 150. The
// axis draws its labels as rich text, where a line break has to be a tag: with "\n" the three
// levels stood on one line and ran into each other from 16 runners on.
void ShowRunnerChart(QChart& c, const RunnerChart& chart) {
    auto* predicted = new QBarSet(ui::Qs("予想順"));
    auto* popular = new QBarSet(ui::Qs("人気順"));
    QStringList categories;
    QSet<QString> seen;
    for (int r = 0; r < chart.Rows(); ++r) {
        const auto i = static_cast<std::size_t>(r);
        predicted->append(chart.Predicted[i]);
        popular->append(chart.Popular[i]);
        QString label = ui::Qs(chart.Labels[i][0]).toHtmlEscaped() + "<br>" + ui::Qs(chart.Labels[i][1]).toHtmlEscaped() +
                        "<br>" + ui::Qs(chart.Labels[i][2]).toHtmlEscaped();
        // The category axis merges equal texts; an invisible mark keeps one category per row.
        while (seen.contains(label)) label += QChar(0x200B);
        seen.insert(label);
        categories << label;
    }
    auto* series = new QBarSeries();
    series->append(predicted);
    series->append(popular);
    c.removeAllSeries();
    // The axes stay from one race to the next: an axis taken away leaves its labels drawn until
    // the event loop deletes them, over the next race's labels.
    QBarCategoryAxis* rows = nullptr;
    QValueAxis* values = nullptr;
    for (QAbstractAxis* axis : c.axes()) {
        if (auto* r = qobject_cast<QBarCategoryAxis*>(axis)) rows = r;
        if (auto* v = qobject_cast<QValueAxis*>(axis)) values = v;
    }
    if (rows == nullptr) {
        rows = new QBarCategoryAxis();
        c.addAxis(rows, Qt::AlignBottom);
    }
    if (values == nullptr) {
        values = new QValueAxis();
        values->setRange(0, 150);
        values->setTickCount(11);  // 10 major divisions
        c.addAxis(values, Qt::AlignLeft);
    }
    rows->clear();
    rows->append(categories);
    c.addSeries(series);
    series->attachAxis(rows);
    series->attachAxis(values);
    c.legend()->setVisible(true);
}

}  // namespace workbench
