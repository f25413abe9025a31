#include "history/past_results_window.h"

#include <string>

#include <QListWidget>
#include <QPlainTextEdit>
#include <QTabWidget>

#include "history/past_day_view.h"
#include "history/told_failures.h"
#include "ui/flex_grid.h"
#include "ui/window_controls.h"

namespace history {

namespace {

QWidget* AddTab(QTabWidget* tabs, std::string_view caption) {
    auto* page = new QWidget(tabs);
    tabs->addTab(page, ui::Qs(caption));
    return page;
}

std::string Utf8(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace

KakoSeisekiVK31::KakoSeisekiVK31(common::Host& host, QWidget* parent) : QWidget(parent, Qt::Window), host_(host) {
    setAttribute(Qt::WA_DeleteOnClose);
    BuildControls();
    Form_Load();
}

void KakoSeisekiVK31::BuildControls() {
    setObjectName(QStringLiteral("KakoSeisekiVK31"));
    setWindowTitle(ui::Qs("過去の予想成績 Ver.2024.8.12A"));
    ui::UseWindowFont(*this);
    resize(1290, 780);

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(10, 10, 330, 760);
    connect(List1, &QListWidget::itemSelectionChanged, this, &KakoSeisekiVK31::List1_Click);

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->setGeometry(350, 10, 930, 760);
    constexpr int kWide = 915, kTall = 720;

    QWidget* hits = AddTab(SSTab1, "的中状況");
    KakoSeiFG = new ui::FlexGrid(hits, "KakoSeiFG", 50, 8, QRect(5, 5, kWide - 10, kTall - 10));
    KakoSeiFG->SetFixed(2, 1);

    QWidget* rates = AddTab(SSTab1, "的中率・回収率");
    TekiKaiFG = new ui::FlexGrid(rates, "TekiKaiFG", 9, 7, QRect(5, 5, kWide - 10, 260));
    TekiKaiFG->SetFixed(2, 1);
    Text1 = ui::AddTextBox(rates, "Text1", QRect(5, 275, kWide - 10, 200));

    QWidget* races = AddTab(SSTab1, "レース詳細");
    SSTab2 = new QTabWidget(races);
    SSTab2->setObjectName(QStringLiteral("SSTab2"));
    SSTab2->setGeometry(5, 5, kWide - 10, kTall - 10);
    for (int t = 0; t < kPastRaceTabs; ++t) {
        const auto i = static_cast<std::size_t>(t);
        const std::string suffix = "_" + std::to_string(t);
        QWidget* page = AddTab(SSTab2, RaceTabCaption(t));
        Text2[i] = ui::AddTextBox(page, ("Text2" + suffix).c_str(), QRect(5, 5, kWide - 30, 40));
        RACEFG[i] = new ui::FlexGrid(page, ("RACEFG" + suffix).c_str(), kRaceCardRows, kRaceCardCols,
                                     QRect(5, 50, kWide - 30, 420));
        RACEFG[i]->setRowHeight(0, ui::TwipsToPixels(kRaceCardCaptionHeight));
        TKFG[i] = new ui::FlexGrid(page, ("TKFG" + suffix).c_str(), kHitGridRows, kHitGridCols,
                                   QRect(5, 480, 560, 175));
    }

    QWidget* pc = AddTab(SSTab1, "単複的中状況");
    TanFukuFG = new ui::FlexGrid(pc, "TanFukuFG", 38, 12, QRect(5, 5, kWide - 10, 500));
    TanFukuFG->SetFixed(2, 1);
    TFTekiKaiFG = new ui::FlexGrid(pc, "TFTekiKaiFG", 7, 12, QRect(5, 515, kWide - 10, 180));

    SSTab1->setCurrentIndex(0);
    SSTab2->setCurrentIndex(0);
}

// Scan and rebuild run inside the load, before the window shows.
void KakoSeisekiVK31::Form_Load() {
    loaded_ = LoadPastResults(host_);
    for (const std::string& line : loaded_.days.lines) List1->addItem(ui::Qs(line));
}

void KakoSeisekiVK31::List1_Click() {
    const QList<QListWidgetItem*> chosen = List1->selectedItems();
    if (chosen.isEmpty()) return;
    const PastDay day = ShowPastDay(Utf8(chosen.front()->text()));
    Show(day);
    if (day.unreadable > 0) host_.messageBox(kUnreadableFileMessage);
}

void KakoSeisekiVK31::Show(const PastDay& day) {
    KakoSeiFG->Apply(day.KakoSeiFG);
    TekiKaiFG->Apply(day.TekiKaiFG);
    Text1->setPlainText(ui::Qs(day.Text1));
    TanFukuFG->Apply(day.TanFukuFG);
    TFTekiKaiFG->Apply(day.TFTekiKaiFG);
    for (std::size_t t = 0; t < day.races.tabs.size(); ++t) {
        const PastRaceTab& tab = day.races.tabs[t];
        Text2[t]->setPlainText(ui::Qs(tab.Text2));
        RACEFG[t]->Apply(tab.RACEFG);
        TKFG[t]->Apply(tab.TKFG);
    }
}

}  // namespace history
