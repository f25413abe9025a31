#include "app/main_menu_window.h"
#include "common/weights_marker.h"

#include <algorithm>
#include <cstdlib>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLinearGradient>
#include <QMessageBox>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRect>
#include <QTimer>
#include <QUrl>

#include "acquisition/download_progress_window.h"
#include "acquisition/breaking_odds.h"
#include "acquisition/breaking_odds_window.h"
#include "acquisition/odds_tables.h"
#include "acquisition/odds_tables_window.h"
#include "acquisition/race_cancellation_window.h"
#include "acquisition/week_odds_window.h"
#include "workbench/breaking_payouts_window.h"
#include "acquisition/structure_building_window.h"
#include "acquisition/fetch_messages.h"
#include "acquisition/weekly_fetch.h"
#include "app/startup.h"
#include "ui/window_controls.h"
#include "common/error_log.h"
#include "common/long_step.h"
#include "common/paths.h"
#include "dataservice/settings_dialog.h"
#include "engine/computation.h"
#include "engine/expansion_window.h"
#include "factorview/factor_weights_window.h"
#include "history/atari_list_window.h"
#include "history/past_results_window.h"
#include "history/past_runs_window.h"
#include "workbench/prediction_window.h"
#include "writers/race_writers.h"

namespace app {

using namespace ui;

namespace {

// The logo: the program's name drawn at the size of the original bitmap.
QPixmap LogoPixmap() {
    QPixmap logo(172, 81);
    QPainter p(&logo);
    QLinearGradient sky(0, 0, 0, 81);
    sky.setColorAt(0.0, QColor(0x10, 0x50, 0x30));
    sky.setColorAt(1.0, QColor(0x30, 0x90, 0x50));
    p.fillRect(logo.rect(), sky);
    p.setPen(QColor(0xF0, 0xD0, 0x60));
    p.drawRect(logo.rect().adjusted(2, 2, -3, -3));
    p.setPen(Qt::white);
    QFont big(QStringLiteral("IPAGothic"));
    big.setPixelSize(28);
    big.setBold(true);
    p.setFont(big);
    p.drawText(QRect(0, 8, 172, 40), Qt::AlignCenter, QStringLiteral("TALMOR7"));
    QFont small(QStringLiteral("IPAGothic"));
    small.setPixelSize(12);
    p.setFont(small);
    p.drawText(QRect(0, 48, 172, 24), Qt::AlignCenter, QStringLiteral("VK31 今週予想"));
    return logo;
}

}  // namespace

TLMF1THISWEEKNVK31::TLMF1THISWEEKNVK31(Interaction interaction, QWidget* parent)
    : QWidget(parent), interaction_(interaction) {
    BuildControls();
    JVLink1 = dataservice::MakeLocalJVLink(this);
    runProgress_ = acquisition::DownloadProgressRunner(this);
    connect(Command1, &QPushButton::clicked, this, &TLMF1THISWEEKNVK31::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &TLMF1THISWEEKNVK31::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &TLMF1THISWEEKNVK31::Command3_Click);
    connect(Command7, &QPushButton::clicked, this, &TLMF1THISWEEKNVK31::Command7_Click);
    connect(Command12, &QPushButton::clicked, this, &TLMF1THISWEEKNVK31::Command12_Click);
    connect(Command13, &QPushButton::clicked, this, &TLMF1THISWEEKNVK31::Command13_Click);
    connect(Command4, &QPushButton::clicked, this, &TLMF1THISWEEKNVK31::Command4_Click);
    connect(Command6, &QPushButton::clicked, this, &TLMF1THISWEEKNVK31::Command6_Click);
    connect(Command8, &QPushButton::clicked, this, &TLMF1THISWEEKNVK31::Command8_Click);
    connect(Command14, &QPushButton::clicked, this, &TLMF1THISWEEKNVK31::Command14_Click);
    connect(Command16, &QPushButton::clicked, this, &TLMF1THISWEEKNVK31::Command16_Click);
    connect(Command5, &QPushButton::clicked, this, &TLMF1THISWEEKNVK31::Command5_Click);
    connect(Command9, &QPushButton::clicked, this, &TLMF1THISWEEKNVK31::Command9_Click);
    connect(Command10, &QPushButton::clicked, this, &TLMF1THISWEEKNVK31::Command10_Click);
    connect(Command11, &QPushButton::clicked, this, &TLMF1THISWEEKNVK31::Command11_Click);
    connect(Command15, &QPushButton::clicked, this, &TLMF1THISWEEKNVK31::Command15_Click);
    Form_Load();
    // Failures the log could not take are shown by a timer, so that a step in the middle of its
    // work is not stopped by a message box.
    auto* unwrittenTimer = new QTimer(this);
    connect(unwrittenTimer, &QTimer::timeout, this, &TLMF1THISWEEKNVK31::ShowUnwrittenLogEntries);
    unwrittenTimer->start(kUnwrittenLogPollMs);
}

// Absolute geometry, as the window was designed: three columns of frames over the status boxes,
// the state label and the logo at the foot.
void TLMF1THISWEEKNVK31::BuildControls() {
    setObjectName(QStringLiteral("TLMF1THISWEEKNVK31"));
    setWindowTitle(Qs("TALMOR7VK31 グラフ　今週予想    Ver.2025.8.31 (2014.1.1-2026.1.31　BASE)"));
    UseWindowFont(*this);
    setFixedSize(960, 656);

    Command1 = AddButton(this, "Command1", "設定", QRect(10, 10, 120, 32));
    Command14 = AddButton(this, "Command14", "回収率・的中率の検証ブログ", QRect(320, 10, 320, 32));
    Command16 = AddButton(this, "Command16", "最新予想因子ウエイトへの更新サイト", QRect(650, 10, 300, 32));

    QGroupBox* week = AddFrame("Frame1", "今週の予想  (金曜12時以降）", QRect(10, 52, 300, 234));
    Command2 = AddButton(week, "Command2", "①　　今週開催取得", QRect(15, 28, 270, 44));
    Command4 = AddButton(week, "Command4", "②　構造・中止処理", QRect(15, 80, 270, 44));
    Command6 = AddButton(week, "Command6", "③ 拡大構造体展開", QRect(15, 132, 270, 44));
    Label2 = AddLabel(week, "Label2", "今週の結果　(月曜14時以降）", QRect(15, 186, 270, 36));

    QGroupBox* anytime = AddFrame("Frame2", "随時  (予想支援の参考として使用）", QRect(320, 52, 320, 234));
    Command11 = AddButton(anytime, "Command11", "過去予想成績", QRect(15, 26, 290, 36));
    Command5 = AddButton(anytime, "Command5", "芝予想因子ウエイト", QRect(15, 67, 290, 36));
    Command9 = AddButton(anytime, "Command9", "ダート予想因子ウエイト", QRect(15, 108, 290, 36));
    Command10 = AddButton(anytime, "Command10", "障害予想因子ウエイト", QRect(15, 149, 290, 36));
    Command15 = AddButton(anytime, "Command15", "万馬券リスト", QRect(15, 190, 290, 36));

    QGroupBox* odds = AddFrame("Frame3", "今週のオッズ （月曜14時以降）", QRect(650, 52, 300, 234));
    Command3 = AddButton(odds, "Command3", "今週オッズ取得", QRect(15, 26, 270, 36));
    Command7 = AddButton(odds, "Command7", "オッズ処理", QRect(15, 67, 270, 36));
    Text2 = AddTextBox(odds, "Text2", QRect(15, 108, 270, 82));
    Label3 = AddLabel(odds, "Label3", "　注：オッズ情報が必要であれば行う", QRect(15, 196, 270, 30));

    Option1 = new QRadioButton(Qs(" 中止処理を選択。通常は何もしないでください。"), this);
    Option1->setObjectName(QStringLiteral("Option1"));
    Option1->setGeometry(324, 294, 316, 26);

    QGroupBox* predict = AddFrame("Frame4", "予想", QRect(320, 324, 320, 74));
    Command8 = AddButton(predict, "Command8", "⑥　***　予想・結果　***", QRect(15, 26, 290, 38));

    QGroupBox* breaking = AddFrame("Frame5", "速報　（予想・結果表示後使用）", QRect(320, 406, 320, 150));
    Command12 = AddButton(breaking, "Command12", "Ⅰ　速報情報(一括）", QRect(15, 26, 290, 34));
    Text3 = AddTextBox(breaking, "Text3", QRect(15, 64, 290, 40));
    Command13 = AddButton(breaking, "Command13", "Ⅳ　速報処理(一括）", QRect(15, 108, 290, 34));

    Text1 = AddTextBox(this, "Text1", QRect(10, 296, 300, 126));
    Text4 = AddTextBox(this, "Text4", QRect(10, 430, 300, 126));
    Text5 = AddTextBox(this, "Text5", QRect(650, 296, 300, 126));
    Text6 = AddTextBox(this, "Text6", QRect(650, 430, 300, 126));

    Label1 = AddLabel(this, "Label1", "", QRect(10, 566, 750, 81), LabelWrap::Words);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label1->setMargin(6);
    Label1->setAutoFillBackground(true);
    setLabelColour(common::kLabelMagenta);

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(778, 566, 172, 81);
    Picture1->setPixmap(LogoPixmap());
    Picture1->setCursor(Qt::PointingHandCursor);
    Picture1->installEventFilter(this);
}

QGroupBox* TLMF1THISWEEKNVK31::AddFrame(const char* name, const char* caption, QRect geometry) {
    auto* frame = new QGroupBox(QString::fromUtf8(caption), this);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setGeometry(geometry);
    return frame;
}

// AppFolder was set by main (or by a test) before the window was built.
void TLMF1THISWEEKNVK31::Form_Load() { MainMenuStartUp(*this); }

// Ends the run at once: no window has closing steps and nothing is saved. The lock goes first, so
// that its file goes with it. A step lets window events run only on this thread and never while
// work of it runs on other cores, so no worker is cut off halfway through a file.
void TLMF1THISWEEKNVK31::Picture1_Click() {
    instanceLock_.reset();
    std::exit(0);
}

// The main menu is the program: closed, it ends the event loop (the other windows go with the
// program; one left open would otherwise keep it running without a menu, and holding the folder),
// and the folder is free for the next start at once. A step still working finishes first.
void TLMF1THISWEEKNVK31::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    instanceLock_.reset();
    QCoreApplication::quit();
}

// "設定": the data service's own settings dialog.
void TLMF1THISWEEKNVK31::Command1_Click() {
    if (JVLink1->JVSetUIProperties() == dataservice::kRcSettingsFailed) messageBox(acquisition::kSettingsFailed);
}

// ①: the weekly fetch.
void TLMF1THISWEEKNVK31::Command2_Click() {
    BusyGuard busy(*this);
    if (!busy) return;
    acquisition::DownloadStarter starter{*JVLink1, DownloadCount, DialogResult, *this};
    acquisition::FetchThisWeek(starter, runProgress_);
}

// ②: structure building in a fresh window, which has done its work by the time it shows; race
// cancellation follows when Option1 is selected.
void TLMF1THISWEEKNVK31::Command4_Click() {
    BusyGuard busy(*this);
    if (!busy) return;
    ZansaFlag = Option1->isChecked() ? 0 : 1;
    (new acquisition::KOUZOUTAIVK31(*this))->show();
    if (ZansaFlag != 1) (new acquisition::CHUSIRIALTIME(*this))->show();
}

// ③: the expansion window, fresh on every click, once the weights are found; without them the
// computation cannot run, and the program ends after saying so.
void TLMF1THISWEEKNVK31::Command6_Click() {
    BusyGuard busy(*this);
    if (!busy) return;
    if (!common::ShowWeightsPresent(*this, common::WeightsNote::WithSupportSite)) {
        messageBox(common::AppFolder() + std::string(engine::kNoWeightsForExpansionMessage));
        EndProgram();
        return;
    }
    (new engine::TALMOR7EXPDTHISWEEKNVK31(*this))->show();
}

// ⑥: the weekly batch runs while a fresh prediction window loads; the window shows when it is
// done. A batch that found no race (① to ⑤ not run yet) shows no window: its end text names the
// steps to run first. Race cancellation has to be chosen again for the next structure building.
void TLMF1THISWEEKNVK31::Command8_Click() {
    BusyGuard busy(*this);
    if (!busy) return;
    setStatus(common::StatusBox::Text5, workbench::kBatchStartText);
    pumpEvents();
    auto* window = new workbench::YOSOKEKKATHISWEEKNVK31(*this, writers::kRaceWriters);
    const std::string endText = workbench::BatchEndText(window->Batch());
    if (window->Batch().RaceListLines.empty()) {
        delete window;
    } else {
        window->SetPastRunsOpener([this](std::string_view cellText) { history::ShowPastRuns(*this, cellText); });
        window->show();
    }
    setStatus(common::StatusBox::Text5, endText);
    // A lone option button cannot be cleared while it is exclusive.
    Option1->setAutoExclusive(false);
    Option1->setChecked(false);
    Option1->setAutoExclusive(true);
}

// "過去予想成績": the single past-results window. A new one lists the stored days and rebuilds the
// external index while it loads; one still open only comes forward.
void TLMF1THISWEEKNVK31::Command11_Click() {
    BusyGuard busy(*this);
    if (!busy) return;
    setStatus(common::StatusBox::Text6, history::kPastResultsStartText);
    pumpEvents();
    int failures = 0;
    std::vector<std::string> unfinished;
    if (!pastResultsWindow_) {
        pastResultsWindow_ = new history::KakoSeisekiVK31(*this, this);
        failures = pastResultsWindow_->Loaded().Failures();
        unfinished = pastResultsWindow_->Loaded().rebuild.unfinishedInputs;
    }
    BringForward(pastResultsWindow_);
    setStatus(common::StatusBox::Text6, history::PastResultsEndText(failures, unfinished));
}

// "万馬券リスト": the single big-payout window. A new one collects every past hit while it loads,
// letting window events run after each date's status; one still open only comes forward.
void TLMF1THISWEEKNVK31::Command15_Click() {
    BusyGuard busy(*this);
    if (!busy) return;
    setStatus(common::StatusBox::Text6, history::kAtariListStartText);
    pumpEvents();
    int failures = 0;
    std::vector<std::string> unfinished;
    if (!atariListWindow_) {
        atariListWindow_ = new history::TekichuListVK31(*this, this);
        failures = atariListWindow_->Loaded().passedOver;
        unfinished = atariListWindow_->Loaded().unfinishedInputs;
    }
    BringForward(atariListWindow_);
    setStatus(common::StatusBox::Text6, history::AtariListEndText(failures, unfinished));
}

// The two web pages open in the default browser; nothing is reported back.
void TLMF1THISWEEKNVK31::Command14_Click() { openUrl(kResultsBlogUrl); }
void TLMF1THISWEEKNVK31::Command16_Click() { openUrl(kWeightsUpdateUrl); }

// The model viewers of turf, dirt and hurdle races: single windows, no status text.
void TLMF1THISWEEKNVK31::Command5_Click() { factorview::OpenFactorWeights(engine::Surface::Siba, *this); }
void TLMF1THISWEEKNVK31::Command9_Click() { factorview::OpenFactorWeights(engine::Surface::Dirt, *this); }
void TLMF1THISWEEKNVK31::Command10_Click() { factorview::OpenFactorWeights(engine::Surface::Shog, *this); }

void TLMF1THISWEEKNVK31::EndProgram() {
    if (interaction_ == Interaction::Recorded) {
        endRecorded_ = true;
        return;
    }
    instanceLock_.reset();
    std::exit(0);
}

// "今週オッズ取得": this week's odds window, which waits for its own buttons.
void TLMF1THISWEEKNVK31::Command3_Click() {
    if (!weekOddsWindow_) weekOddsWindow_ = new acquisition::TLMFOTHISWEEKNVK31(*this, this);
    BringForward(weekOddsWindow_);
}

// "オッズ処理": odds tables from this week's odds.
void TLMF1THISWEEKNVK31::Command7_Click() {
    BusyGuard busy(*this);
    if (!busy) return;
    setStatus(common::StatusBox::Text2, acquisition::kWeekOddsTablesStart);
    pumpEvents();
    acquisition::OddsSource = acquisition::kOddsSourceThisWeek;
    setStatus(common::StatusBox::Text2, acquisition::OddsTablesEndText(acquisition::OddsSource, ShowOddsTables()));
}

// "Ⅰ　速報情報(一括）": the breaking-news window, which waits for its own buttons.
void TLMF1THISWEEKNVK31::Command12_Click() {
    if (!breakingOddsWindow_) {
        breakingOddsWindow_ = new acquisition::TLMP2RIALTIME(*this, this);
        breakingOddsWindow_->SetPayoutsOpener([this] { return OpenBreakingPayouts(); });
    }
    BringForward(breakingOddsWindow_);
}

// Ⅲ of the breaking-news window: the single breaking-payouts window. A new one works while it is
// made; an open one is only brought forward and fetches nothing.
std::string TLMF1THISWEEKNVK31::OpenBreakingPayouts() {
    if (breakingPayoutsWindow_) {
        BringForward(breakingPayoutsWindow_);
        return std::string(acquisition::BreakingPayoutsEndText(true));
    }
    breakingPayoutsWindow_ = new workbench::TLMHRRIALTIME(*this, this);
    BringForward(breakingPayoutsWindow_);
    return workbench::BreakingPayoutsEndText(breakingPayoutsWindow_->Loaded());
}

// "Ⅳ　速報処理(一括）": odds tables from the breaking odds.
void TLMF1THISWEEKNVK31::Command13_Click() {
    BusyGuard busy(*this);
    if (!busy) return;
    setStatus(common::StatusBox::Text3, acquisition::kBreakingOddsTablesStart);
    pumpEvents();
    acquisition::OddsSource = acquisition::kOddsSourceBreaking;
    setStatus(common::StatusBox::Text3, acquisition::OddsTablesEndText(acquisition::OddsSource, ShowOddsTables()));
}

acquisition::OddsTablesResult TLMF1THISWEEKNVK31::ShowOddsTables() {
    // A new window builds the tables while it loads, before it shows; one still open only comes
    // forward, and there is no build to report on.
    acquisition::OddsTablesResult built;
    if (!oddsTablesWindow_) {
        oddsTablesWindow_ = new acquisition::TALMOR7ODDSN(this);
        built = oddsTablesWindow_->Built();
    }
    BringForward(oddsTablesWindow_);
    return built;
}

void TLMF1THISWEEKNVK31::ShowUnwrittenLogEntries() {
    // A step lets events run while it works: the box would stop it halfway, and its later entries
    // would come in further boxes.
    if (showingUnwritten_ || common::LongStepWorking()) return;
    const std::vector<std::string> entries = common::TakeUnwrittenLogEntries();
    if (entries.empty()) return;
    std::string text(kUnwrittenLogMessage);
    const std::size_t shown = std::min(entries.size(), static_cast<std::size_t>(kUnwrittenLogShown));
    for (std::size_t i = 0; i < shown; ++i) text += "\n" + entries[i];
    if (entries.size() > shown) text += "\nほか" + std::to_string(entries.size() - shown) + "件";
    showingUnwritten_ = true;
    messageBox(text);
    showingUnwritten_ = false;
}

std::vector<QPushButton*> TLMF1THISWEEKNVK31::StepButtons() const {
    // The factor-weight viewers and the two web links only read or show: they stay usable.
    return {Command1, Command2, Command3, Command4, Command6, Command7,
            Command8, Command11, Command12, Command13, Command15};
}

// A step of the expansion window that is working holds the same flag: it reads the files these
// steps write.
TLMF1THISWEEKNVK31::BusyGuard::BusyGuard(TLMF1THISWEEKNVK31& menu) : menu_(menu) {
    if (!flag_) return;
    for (QPushButton* button : menu_.StepButtons()) button->setEnabled(false);
}

TLMF1THISWEEKNVK31::BusyGuard::~BusyGuard() {
    if (!flag_) return;
    for (QPushButton* button : menu_.StepButtons()) button->setEnabled(true);
}

bool TLMF1THISWEEKNVK31::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Picture1 && event->type() == QEvent::MouseButtonRelease) Picture1_Click();
    return QWidget::eventFilter(watched, event);
}

void TLMF1THISWEEKNVK31::messageBox(std::string_view text) {
    if (interaction_ == Interaction::Recorded) {
        recordedMessages_.emplace_back(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("TALMOR7"), Qs(text), QMessageBox::Ok, this);
    box.exec();
}

void TLMF1THISWEEKNVK31::setStatus(common::StatusBox box, std::string_view text) {
    QPlainTextEdit* target = nullptr;
    switch (box) {
        case common::StatusBox::Text1: target = Text1; break;
        case common::StatusBox::Text2: target = Text2; break;
        case common::StatusBox::Text3: target = Text3; break;
        case common::StatusBox::Text4: target = Text4; break;
        case common::StatusBox::Text5: target = Text5; break;
        case common::StatusBox::Text6: target = Text6; break;
        case common::StatusBox::Label1: Label1->setText(Qs(text)); return;
    }
    if (target) target->setPlainText(Qs(text));
}

void TLMF1THISWEEKNVK31::setLabelColour(std::uint32_t colour) {
    QPalette palette = Label1->palette();
    palette.setColor(QPalette::Window, ColourFromBgr(colour));
    Label1->setPalette(palette);
}

void TLMF1THISWEEKNVK31::pumpEvents() { QCoreApplication::processEvents(); }

std::chrono::year_month_day TLMF1THISWEEKNVK31::today() { return common::LocalToday(); }

void TLMF1THISWEEKNVK31::startProgram(const std::filesystem::path& program) {
    if (interaction_ == Interaction::Recorded) {
        recordedStarts_.push_back(program.string());
        return;
    }
    QProcess::startDetached(QString::fromStdString(program.string()), {});
}

void TLMF1THISWEEKNVK31::openUrl(std::string_view url) {
    if (interaction_ == Interaction::Recorded) {
        recordedStarts_.emplace_back(url);
        return;
    }
    QDesktopServices::openUrl(QUrl(Qs(url)));
}

}  // namespace app
