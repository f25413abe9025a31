#pragma once

#include <array>

#include <QWidget>

#include "common/host.h"
#include "history/past_day_view.h"
#include "history/past_results.h"

class QListWidget;
class QPlainTextEdit;
class QTabWidget;

namespace ui {
class FlexGrid;
}

namespace history {

/// The past-results window: while it loads it lists every stored meeting day and rebuilds the
/// external index (no window events run meanwhile); a click on a day shows that day.
class KakoSeisekiVK31 final : public QWidget {
    Q_OBJECT

public:
    /// Builds the window and runs its load; `host` is the main menu (Text6, message boxes).
    explicit KakoSeisekiVK31(common::Host& host, QWidget* parent = nullptr);

    /// What the load did.
    const PastResultsLoad& Loaded() const { return loaded_; }

private:
    void BuildControls();
    void Form_Load();
    void List1_Click();
    void Show(const PastDay& day);

    common::Host& host_;
    PastResultsLoad loaded_;

    QListWidget* List1 = nullptr;
    QTabWidget* SSTab1 = nullptr;
    ui::FlexGrid* KakoSeiFG = nullptr;
    ui::FlexGrid* TekiKaiFG = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    ui::FlexGrid* TanFukuFG = nullptr;
    ui::FlexGrid* TFTekiKaiFG = nullptr;
    QTabWidget* SSTab2 = nullptr;
    std::array<QPlainTextEdit*, kPastRaceTabs> Text2{};
    std::array<ui::FlexGrid*, kPastRaceTabs> RACEFG{};
    std::array<ui::FlexGrid*, kPastRaceTabs> TKFG{};
};

}  // namespace history
