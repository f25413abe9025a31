#pragma once

#include <QWidget>

#include "common/host.h"
#include "workbench/weekly_batch.h"

class QListWidget;
class QPlainTextEdit;

namespace workbench {

/// The prediction window (button ⑥): runs the weekly batch while it loads, before it is first
/// shown, and lists the week's races. A fresh window is made for every run; it keeps what the
/// batch left for the race detail view.
class YOSOKEKKATHISWEEKNVK31 final : public QWidget {
    Q_OBJECT

public:
    /// Builds the window and runs its load (the batch with `writers`); `host` is the main menu.
    YOSOKEKKATHISWEEKNVK31(common::Host& host, RaceWriterTable writers, QWidget* parent = nullptr);

    const WeekBatch& Batch() const { return batch_; }

private:
    void BuildControls();
    void Form_Load();

    common::Host& host_;
    RaceWriterTable writers_;
    WeekBatch batch_;
    QListWidget* List1 = nullptr;
    QPlainTextEdit* Text1 = nullptr;
};

}  // namespace workbench
