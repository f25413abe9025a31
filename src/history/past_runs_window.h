#pragma once

#include <string_view>

#include <QWidget>

class QPushButton;

namespace common {
class Host;
}

namespace ui {
class FlexGrid;
}

namespace history {

/// The past-runs window: every stored run of the horse that SelectedHorseFile names, newest
/// first, read once while it loads; a file it could not read whole is told through the host's
/// message box. Its button closes (unloads) it; only a new window shows another horse.
class Kakoso final : public QWidget {
    Q_OBJECT

public:
    explicit Kakoso(common::Host& host, QWidget* parent = nullptr);

private:
    void BuildControls();
    void Form_Load();
    void Command1_Click();

    common::Host& host_;
    QPushButton* Command1 = nullptr;
    ui::FlexGrid* EXFG1 = nullptr;
};

/// What a click on a race detail grid opens: SelectedHorseFile becomes `cellText`; the single
/// past-runs window is made and loaded when there is none, else only brought forward (it keeps
/// the horse it shows and reads nothing). Modeless, without an owner.
Kakoso& ShowPastRuns(common::Host& host, std::string_view cellText);

}  // namespace history
