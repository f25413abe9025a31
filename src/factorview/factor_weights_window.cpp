#include "factorview/factor_weights_window.h"

#include <algorithm>
#include <string>
#include <utility>

#include <QChart>
#include <QChartView>
#include <QFont>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStringList>
#include <QValueAxis>

#include "ui/flex_grid.h"
#include "ui/tab_rows.h"
#include "ui/window_controls.h"

namespace factorview {

namespace {

using ui::TwipsToPixels;

constexpr int kAgeTab = 12;
constexpr int kTabRowHeight = 21;  // pixels; six rows of item tabs
// Help boxes: 240 twips below what they explain, 975 twips high at most, 360 twips from the
// page's left edge, at most 12495 twips wide.
constexpr int kBoxGap = 16;
constexpr int kBoxHeight = 65;
constexpr int kBoxLeft = 24;
constexpr int kBoxMaxWidth = 833;
constexpr int kMargin = 6;
// The grids' designed font is a 9 pt one: 12 pixels.
constexpr int kGridFontPixels = 12;
constexpr int kAgeLabelPixels = 10;  // 33 age labels side by side

QFont GridFont(const QWidget& window) {
    QFont font = window.font();
    font.setPixelSize(kGridFontPixels);
    return font;
}

QRect Pixels(const TwipsRect& r) {
    return QRect(TwipsToPixels(r.left), TwipsToPixels(r.top), TwipsToPixels(r.width), TwipsToPixels(r.height));
}

QStringList Captions(std::size_t count, auto captionOf) {
    QStringList list;
    for (std::size_t i = 0; i < count; ++i) list.append(ui::Qs(captionOf(i)));
    return list;
}

}  // namespace

FactorWeightsWindow::FactorWeightsWindow(engine::Surface surface, engine::ModelTables tables)
    : QWidget(nullptr, Qt::Window), design_(DesignOf(surface)), tables_(std::move(tables)) {
    setAttribute(Qt::WA_DeleteOnClose);
    BuildControls();
    ShowFactorWeights();
}

void FactorWeightsWindow::BuildControls() {
    setObjectName(ui::Qs(design_.window));
    setWindowTitle(ui::Qs(design_.caption));
    ui::UseWindowFont(*this);
    resize(TwipsToPixels(design_.clientWidth), TwipsToPixels(design_.clientHeight));

    const QRect tabRect = Pixels(design_.tabPlace);
    SSTab1 = new ui::TabRows(this, "SSTab1",
                             Captions(design_.tabs.size(), [&](std::size_t i) { return design_.tabs[i].caption; }),
                             kTabsPerRow, tabRect, kTabRowHeight);
    // Every page: the grid under the tab rows, its help box under the grid.
    const int gridTop = SSTab1->stripHeight() + kMargin;
    const int gridHeight = tabRect.height() - gridTop - kBoxGap - kBoxHeight - kMargin;
    const int gridWidth = tabRect.width() - 2 * kBoxLeft;
    for (int k = 1; k <= engine::kItemCount; ++k) {
        QWidget* page = SSTab1->page(k - 1);
        const ItemTab& tab = design_.tabs[static_cast<std::size_t>(k - 1)];
        const QWidget* above = nullptr;
        if (k == kAgeTab) {
            BuildAgeTab(page);
            above = ageTabs_;
        } else {
            auto* grid = new ui::FlexGrid(page, std::string(tab.grid).c_str(), 1, tab.cols,
                                          QRect(kBoxLeft, gridTop, gridWidth, gridHeight));
            grid->Model().SetFixed(1, tab.fixedCols);
            grid->setFont(GridFont(*this));
            grids_[static_cast<std::size_t>(k - 1)] = grid;
            above = grid;
        }
        if (const auto& box = design_.boxes[static_cast<std::size_t>(k - 1)])
            boxes_[static_cast<std::size_t>(k - 1)] = AddHelpBox(page, *box, above, tabRect.width(), tabRect.height());
    }
    SSTab1->setCurrentIndex(design_.openingTab);

    const Legend& legend = design_.legend;
    legend_ = new ui::FlexGrid(this, std::string(legend.grid).c_str(), legend.rows, static_cast<int>(legend.widths.size()),
                               Pixels(legend.place));
    legend_->Model().SetFixed(legend.fixed, legend.fixed);
    legend_->setFont(GridFont(*this));
    legend_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    legend_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void FactorWeightsWindow::BuildAgeTab(QWidget* page) {
    const AgeCharts& age = design_.age;
    const QRect nestedRect = Pixels(age.containerPlace);
    ageTabs_ = new ui::TabRows(page, std::string(age.container).c_str(),
                               Captions(age.captions.size(), [&](std::size_t i) { return age.captions[i]; }),
                               static_cast<int>(age.captions.size()), nestedRect, kTabRowHeight);
    auto addChart = [&](int tab, std::string_view name, const TwipsRect& place) {
        auto* chart = new QChartView(new QChart(), ageTabs_->page(tab));
        chart->setObjectName(ui::Qs(name));
        chart->setGeometry(Pixels(place));
        return chart;
    };
    maleChart_ = addChart(0, age.maleChart, age.malePlace);
    femaleChart_ = addChart(1, age.femaleChart, age.femalePlace);

    QWidget* gridPage = ageTabs_->page(2);
    const ItemTab& tab = design_.tabs[kAgeTab - 1];
    auto* grid = new ui::FlexGrid(gridPage, std::string(tab.grid).c_str(), 1, tab.cols, Pixels(age.gridPlace));
    grid->Model().SetFixed(1, tab.fixedCols);
    grid->setFont(GridFont(*this));
    grids_[kAgeTab - 1] = grid;
    if (design_.gridPageBox)
        gridPageBox_ = AddHelpBox(gridPage, *design_.gridPageBox, grid, nestedRect.width(), nestedRect.height());
    ageTabs_->setCurrentIndex(age.openingTab);
}

QPlainTextEdit* FactorWeightsWindow::AddHelpBox(QWidget* page, const HelpBox& box, const QWidget* above,
                                                int pageWidth, int pageHeight) {
    const int top = above->geometry().bottom() + 1 + kBoxGap;
    const int height = std::min(kBoxHeight, pageHeight - top - 4);
    const int width = std::min(kBoxMaxWidth, pageWidth - 2 * kBoxLeft);
    // A box the load never writes shows nothing rather than its design name.
    return ui::AddTextBox(page, std::string(box.name).c_str(), QRect(kBoxLeft, top, width, height));
}

// The load: legend, then item by item its grid and help text, the age charts before item 12.
void FactorWeightsWindow::ShowFactorWeights() {
    legend_->Apply(LegendCells(design_.legend));
    FitLegend();
    for (int k = 1; k <= engine::kItemCount; ++k) {
        if (k == kAgeTab) {
            FillAgeChart(maleChart_, AgeSex::Male);
            FillAgeChart(femaleChart_, AgeSex::Female);
        }
        const ItemTab& tab = design_.tabs[static_cast<std::size_t>(k - 1)];
        grids_[static_cast<std::size_t>(k - 1)]->Fill(ItemGridCells(tables_, k, tab));
        if (k == kAgeTab && design_.gridPageBox && design_.gridPageBox->text != 0)
            gridPageBox_->setPlainText(ui::Qs(HelpText(design_.gridPageBox->text)));
        WriteHelpText(k);
    }
}

// The legend names the chart lines' colours and the charts' unit: its texts are longer than its
// designed cells, and the hurdle legend's two rows are higher than its designed place. Its long
// texts wrap in their cells, every row as high as its text, and the grid, then the window, grow
// to hold every cell, so that nothing of it is cut at its own or the window's edge.
void FactorWeightsWindow::FitLegend() {
    legend_->setWordWrap(true);
    const int frame = 2 * legend_->frameWidth();
    int rowsHeight = frame;
    for (int row = 0; row < legend_->Model().rowCount(); ++row) {
        const int designed = legend_->rowHeight(row);
        legend_->resizeRowToContents(row);
        if (legend_->rowHeight(row) < designed) legend_->setRowHeight(row, designed);
        rowsHeight += legend_->rowHeight(row);
    }
    int colsWidth = frame;
    for (int col = 0; col < legend_->Model().columnCount(); ++col) colsWidth += legend_->columnWidth(col);
    QRect place = legend_->geometry();
    place.setHeight(std::max(place.height(), rowsHeight));
    place.setWidth(std::max(place.width(), colsWidth));
    legend_->setGeometry(place);
    resize(std::max(width(), place.right() + 1 + kMargin), std::max(height(), place.bottom() + 1 + kMargin));
}

void FactorWeightsWindow::FillAgeChart(QChartView* view, AgeSex sex) {
    const AgeChartData data = AgeChartPoints(tables_, sex, design_.age.firstAge);
    QChart* chart = view->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) chart->removeAxis(axis);

    // The rows are the age codes in steps of one, so a value axis with a tick per row labels them
    // (a category axis cuts 33 labels to "…" at this width).
    const int firstAge = design_.age.firstAge;
    const int rows = static_cast<int>(data.rowLabels.size());
    auto* x = new QValueAxis();
    x->setRange(firstAge, firstAge + rows - 1);
    x->setTickCount(rows);
    x->setLabelFormat(QStringLiteral("%d"));
    QFont labels = font();  // the window's font: the chart's own default measures wider
    labels.setPixelSize(kAgeLabelPixels);
    x->setLabelsFont(labels);
    auto* y = new QValueAxis();
    y->setRange(-2.5, 2.5);
    y->setTickCount(11);  // ten major divisions
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (std::size_t t = 0; t < data.values.size(); ++t) {
        auto* series = new QLineSeries();
        series->setName(ui::Qs(kSeriesNames[t]));
        series->setColor(ui::QBColour(kWeightColours[t]));
        const auto& values = data.values[t];
        for (std::size_t i = 0; i < values.size(); ++i) series->append(firstAge + static_cast<qreal>(i), values[i]);
        chart->addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
    }
    chart->legend()->setVisible(true);
    chart->legend()->setAlignment(Qt::AlignBottom);
}

void FactorWeightsWindow::WriteHelpText(int pageTab) {
    const auto& box = design_.boxes[static_cast<std::size_t>(pageTab - 1)];
    if (!box || box->text == 0) return;
    boxes_[static_cast<std::size_t>(pageTab - 1)]->setPlainText(ui::Qs(HelpText(box->text)));
}

FactorWeightsWindow* OpenFactorWeights(engine::Surface surface, common::Host& host) {
    static std::array<QPointer<FactorWeightsWindow>, 3> windows;
    QPointer<FactorWeightsWindow>& window = windows[static_cast<std::size_t>(engine::SurfaceIndex(surface))];
    if (!window) {
        // Read the whole model before anything is built: a file that fails leaves no half-filled window.
        try {
            window = new FactorWeightsWindow(surface, engine::LoadModelTables(surface, engine::ModelScope::Weights));
        } catch (const engine::ModelFileError& e) {
            host.messageBox(std::string(kModelUnreadable) + e.what());
            return nullptr;
        }
    }
    ui::BringForward(window);
    return window;
}

}  // namespace factorview
