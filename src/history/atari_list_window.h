#pragma once

#include <QWidget>

#include "common/host.h"
#include "history/atari_list.h"

class QLabel;

namespace ui {
class FlexGrid;
}

namespace history {

/// The big-payout window: while it loads it copies every past hit into ATARILIST.txt and lists the
/// big payouts; window events run after each date's status in the main menu's Text6.
class TekichuListVK31 final : public QWidget {
    Q_OBJECT

public:
    /// Builds the window and runs its load; `host` is the main menu (Text6, pending events).
    explicit TekichuListVK31(common::Host& host, QWidget* parent = nullptr);

    /// What the load did (its counts; the grid's cells are in tekichuFG).
    const AtariList& Loaded() const { return loaded_; }

private:
    void BuildControls();
    void Form_Load();

    common::Host& host_;
    AtariList loaded_;

    QLabel* Label1 = nullptr;
    ui::FlexGrid* tekichuFG = nullptr;
};

}  // namespace history
