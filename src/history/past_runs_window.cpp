#include "history/past_runs_window.h"

#include <string>

#include <QPointer>
#include <QPushButton>

#include "history/past_runs.h"
#include "ui/flex_grid.h"
#include "ui/window_controls.h"

namespace history {

namespace {

constexpr std::string_view kCommand1 = "別の競走馬の全過去走を表示させたい場合、一旦終了（ここをクリック）させて下さい。";

QPointer<Kakoso>& TheWindow() {
    static QPointer<Kakoso> window;
    return window;
}

}  // namespace

Kakoso::Kakoso(QWidget* parent) : QWidget(parent, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
    BuildControls();
    Form_Load();
}

void Kakoso::BuildControls() {
    setObjectName(QStringLiteral("Kakoso"));
    setWindowTitle(ui::Qs("全過去走詳細  Ver.2024.6.29Z"));
    ui::UseWindowFont(*this);
    resize(ui::TwipsToPixels(14100), ui::TwipsToPixels(10050));
    Command1 = ui::AddButton(this, "Command1", kCommand1,
                             QRect(ui::TwipsToPixels(480), ui::TwipsToPixels(120), ui::TwipsToPixels(13335),
                                   ui::TwipsToPixels(375)));
    connect(Command1, &QPushButton::clicked, this, &Kakoso::Command1_Click);
}

// The grid takes as many columns as the horse has runs, so it is made once they are read.
void Kakoso::Form_Load() {
    common::GridCells cells = ListAllPastRuns(SelectedHorseFile);
    EXFG1 = new ui::FlexGrid(this, "EXFG1", cells.Rows(), cells.Cols(),
                             QRect(ui::TwipsToPixels(480), ui::TwipsToPixels(600), ui::TwipsToPixels(13335),
                                   ui::TwipsToPixels(9255)));
    EXFG1->Apply(std::move(cells));
}

void Kakoso::Command1_Click() { close(); }

Kakoso& ShowPastRuns(std::string_view cellText) {
    SelectedHorseFile = std::string(cellText);
    QPointer<Kakoso>& window = TheWindow();
    if (!window) window = new Kakoso();
    ui::BringForward(window);
    return *window;
}

}  // namespace history
