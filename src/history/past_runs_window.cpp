#include "history/past_runs_window.h"

#include <string>

#include <QFont>
#include <QPointer>
#include <QPushButton>

#include "common/host.h"
#include "history/past_runs.h"
#include "history/told_failures.h"
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

Kakoso::Kakoso(common::Host& host, QWidget* parent) : QWidget(parent, Qt::Window), host_(host) {
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
    PastRuns runs = ListAllPastRuns(SelectedHorseFile);
    EXFG1 = new ui::FlexGrid(this, "EXFG1", runs.EXFG1.Rows(), runs.EXFG1.Cols(),
                             QRect(ui::TwipsToPixels(480), ui::TwipsToPixels(600), ui::TwipsToPixels(13335),
                                   ui::TwipsToPixels(9255)));
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPointSize(9);
    EXFG1->setFont(font);
    EXFG1->Apply(std::move(runs.EXFG1));
    if (runs.unreadable) host_.messageBox(kUnreadableFileMessage);
}

void Kakoso::Command1_Click() { close(); }

Kakoso& ShowPastRuns(common::Host& host, std::string_view cellText) {
    SelectedHorseFile = std::string(cellText);
    QPointer<Kakoso>& window = TheWindow();
    if (!window) window = new Kakoso(host);
    ui::BringForward(window);
    return *window;
}

}  // namespace history
