#pragma once

#include <QWidget>

#include "acquisition/odds_tables.h"

class QPushButton;

namespace acquisition {

/// The odds-table window: builds every race's odds tables from the odds files that OddsSource
/// names while it loads (before it is first shown), then only offers to close. Closing unloads
/// it, so the next opening builds again; a window still open is only brought forward.
class TALMOR7ODDSN final : public QWidget {
    Q_OBJECT

public:
    explicit TALMOR7ODDSN(QWidget* parent = nullptr);

    /// What the load's build did.
    const OddsTablesResult& Built() const { return built_; }

private:
    void BuildControls();
    void Form_Load();
    void Command1_Click();

    OddsTablesResult built_;
    QPushButton* Command1 = nullptr;
};

}  // namespace acquisition
