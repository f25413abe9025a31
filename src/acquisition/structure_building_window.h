#pragma once

#include <QWidget>

#include "acquisition/structure_building.h"
#include "common/host.h"

class QPlainTextEdit;
class QPushButton;

namespace acquisition {

/// The structure-building window: builds the week's structures while it loads (before it is first
/// shown), reporting through the main menu's status board, then says what follows and only offers
/// to close. A fresh window is made for every run; closing it unloads it and does nothing else.
class KOUZOUTAIVK31 final : public QWidget {
    Q_OBJECT

public:
    /// Builds the window and runs its load; `host` is the main menu.
    explicit KOUZOUTAIVK31(common::Host& host, QWidget* parent = nullptr);

    /// What the load built.
    const StructureSummary& Built() const { return built_; }

private:
    void BuildControls();
    void Form_Load();
    void Command1_Click();

    common::Host& host_;
    StructureSummary built_;
    QPlainTextEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
};

}  // namespace acquisition
